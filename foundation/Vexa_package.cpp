#include "foundation/Vexa_package.h"

#include <cstdint>

namespace vexa {

// ---------------------------------------------------------------- hooks
// A unit with work to do at start-up or shut-down defines its hooks in its
// own .cpp, inside namespace vexa::package_hooks:
//
//   namespace vexa::package_hooks {
//   void InitializeMath1() { /* seed LongRand, reset MathFeedBackProc ... */ }
//   void FinalizeMath1() { /* ... */ }
//   }
//
// declares them in the block below and puts their addresses into its row of
// CalcoraUnitTable. The hooks run from a static initialiser, in an order
// relative to other files' globals that C++ leaves unspecified, and again
// from static destruction: every variable a hook reads or writes must be
// constant-initialised (literals, constexpr constructors, std::atomic,
// zero-initialised arrays), never an object with a dynamic initialiser of
// another file. Hooks must not throw: an exception at load time ends the
// program.
namespace package_hooks {
// Vexa_math1 and Vexa_complex add their declarations here.
void InitializeMath1();    // foundation/Vexa_math1_random.cpp
void InitializeComplex();  // foundation/Vexa_complex.cpp
}  // namespace package_hooks

namespace {

// The units of calcora_rt in initialisation order; finalisation runs in
// reverse. Function pointers and literals keep the table constant-initialised.
TPackageUnit CalcoraUnitTable[] = {
    {"Vexa_math1", package_hooks::InitializeMath1, nullptr, 0},  // its tables need no release
    {"Vexa_complex", package_hooks::InitializeComplex, nullptr, 0},
    {"Vexa_openarrays", nullptr, nullptr, 0},
    {"Vexa_vector", nullptr, nullptr, 0},
    {"Vexa_matrix", nullptr, nullptr, 0},
    {"Vexa_datatable", nullptr, nullptr, 0},
    {"Vexa_statis", nullptr, nullptr, 0},
    {"Vexa_math2", nullptr, nullptr, 0},
    {"Vexa_fourier", nullptr, nullptr, 0},
    {"Vexa_wavelet", nullptr, nullptr, 0},
    {"Vexa_membl", nullptr, nullptr, 0},
    {"Vexa_sline", nullptr, nullptr, 0},
    {"Vexa_kohonen", nullptr, nullptr, 0},
};

/// Initialises the package when the shared library is loaded and finalises
/// it when the library is unloaded.
struct TCalcoraLifetime {
  TCalcoraLifetime() { InitializeCalcora(); }
  ~TCalcoraLifetime() { FinalizeCalcora(); }
  TCalcoraLifetime(const TCalcoraLifetime&) = delete;
  TCalcoraLifetime& operator=(const TCalcoraLifetime&) = delete;
};

const TCalcoraLifetime CalcoraLifetime;

}  // namespace

void InitializeUnits(std::span<TPackageUnit> Units) {
  for (TPackageUnit& Unit : Units) {
    if (Unit.InitCount == INT32_MAX) {
      continue;  // cannot count further; the unit is initialised anyway
    }
    ++Unit.InitCount;
    if (Unit.InitCount == 1 && Unit.Initialize != nullptr) {
      Unit.Initialize();
    }
  }
}

void FinalizeUnits(std::span<TPackageUnit> Units) {
  for (auto Unit = Units.rbegin(); Unit != Units.rend(); ++Unit) {
    if (Unit->InitCount == 0) {
      continue;
    }
    --Unit->InitCount;
    if (Unit->InitCount == 0 && Unit->Finalize != nullptr) {
      Unit->Finalize();
    }
  }
}

void InitializeCalcora() { InitializeUnits(CalcoraUnitTable); }

void FinalizeCalcora() { FinalizeUnits(CalcoraUnitTable); }

std::span<const TPackageUnit> CalcoraUnits() noexcept { return CalcoraUnitTable; }

}  // namespace vexa
