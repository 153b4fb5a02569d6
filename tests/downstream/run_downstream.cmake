# Script run by the downstream_package test (cmake -P).
string(REPLACE ";" " " CXX_FLAGS "${CXX_FLAGS}")
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${VEXA_BUILD_DIR} --prefix ${prefix})

# 1. find_package(Vexa)
run(${CMAKE_COMMAND} -S ${PROJECT_DIR} -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/downstream_app)
if(NOT last_output MATCHES "downstream ok")
  message(FATAL_ERROR "unexpected output: ${last_output}")
endif()

# 2. pkg-config
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
file(GLOB libdirs ${prefix}/lib*/pkgconfig)
list(JOIN libdirs ":" pcpath)
set(ENV{PKG_CONFIG_PATH} "${pcpath}")
run(${PKG_CONFIG} --cflags --libs calcora_rt)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
list(GET libdirs 0 pcdir)
get_filename_component(libdir ${pcdir} DIRECTORY)
run(${CXX_COMPILER} -std=c++20 ${extra} ${PROJECT_DIR}/main.cpp ${pc_flags}
    -Wl,-rpath,${libdir} -o ${WORK_DIR}/pkgconfig_app)
run(${WORK_DIR}/pkgconfig_app)
if(NOT last_output MATCHES "downstream ok")
  message(FATAL_ERROR "unexpected output: ${last_output}")
endif()
