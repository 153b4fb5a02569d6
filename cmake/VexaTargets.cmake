# Build helpers shared by the whole tree.

# Compiler flags every target of the project gets.
function(vexa_setup_compiler_flags)
  add_compile_options(-Wall -Wextra -Wpedantic -Wno-psabi
                      # Reproducible floating point: no fused multiply-add contraction.
                      -ffp-contract=off)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # g++ 12 reports false -Wrestrict overlaps inside libstdc++'s std::string
    # code at -O3 (fixed in g++ 13); the warning says nothing about our code.
    add_compile_options(-Wno-restrict)
  endif()
  if(VEXA_WERROR)
    add_compile_options(-Werror)
  endif()
  if(VEXA_SANITIZE)
    set(flags -fsanitize=address,undefined -fsanitize=float-cast-overflow
              -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${flags})
    add_link_options(${flags})
    set(VEXA_SANITIZER_FLAGS "${flags}" PARENT_SCOPE)
  endif()
endfunction()

# vexa_add_runtime(<target> [EXPORT_NAME <name>] DIRS <folders...> [LINKS <targets...>])
# One shared library from every .cpp in the named source folders. Headers are
# included as "<folder>/<Unit>.h" and installed under include/vexa/<folder>/.
function(vexa_add_runtime target)
  cmake_parse_arguments(ARG "" "EXPORT_NAME" "DIRS;LINKS" ${ARGN})
  set(sources "")
  set(headers "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    file(GLOB dir_headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.h")
    list(APPEND sources ${dir_sources})
    list(APPEND headers ${dir_headers})
  endforeach()
  add_library(${target} SHARED ${sources})
  if(NOT ARG_EXPORT_NAME)
    set(ARG_EXPORT_NAME ${target})
  endif()
  add_library(Vexa::${ARG_EXPORT_NAME} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${ARG_EXPORT_NAME}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    # Installed libraries find their sibling libraries next to themselves.
    INSTALL_RPATH "$ORIGIN")
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vexa>)
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  target_sources(${target} PUBLIC FILE_SET HEADERS
    BASE_DIRS ${PROJECT_SOURCE_DIR} FILES ${headers})
  install(TARGETS ${target} EXPORT VexaTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexa)
  set_property(GLOBAL APPEND PROPERTY VEXA_RUNTIMES ${target})
  # A pkg-config file per deliverable.
  set(VEXA_PC_NAME ${target})
  set(VEXA_PC_REQUIRES "")
  get_property(known_runtimes GLOBAL PROPERTY VEXA_RUNTIMES)
  foreach(dep IN LISTS ARG_LINKS)
    if(dep IN_LIST known_runtimes)
      string(APPEND VEXA_PC_REQUIRES " ${dep}")
    endif()
  endforeach()
  file(RELATIVE_PATH VEXA_PC_TO_PREFIX "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vexa.pc.in
                 ${PROJECT_BINARY_DIR}/pkgconfig/${target}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${target}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# The exported CMake package: find_package(Vexa) gives Vexa::platform,
# Vexa::fundora_rt, Vexa::calcora_rt, ...
function(vexa_install_package)
  include(CMakePackageConfigHelpers)
  set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vexa)
  install(EXPORT VexaTargets NAMESPACE Vexa:: DESTINATION ${cmake_dir})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VexaConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VexaConfig.cmake INSTALL_DESTINATION ${cmake_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/VexaConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/VexaConfig.cmake
                ${PROJECT_BINARY_DIR}/VexaConfigVersion.cmake
          DESTINATION ${cmake_dir})
endfunction()
