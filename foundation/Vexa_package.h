#pragma once
/// @file
/// Start-up and shut-down of the numerics package calcora_rt.
///
/// The package initialises its units in a fixed order the first time it is
/// loaded (a static initialiser calls InitializeCalcora) and finalises them
/// in reverse order when it is unloaded. Calling InitializeCalcora again does
/// nothing but count: every unit initialises once, and its finalisation runs
/// when FinalizeCalcora has been called as often as InitializeCalcora (as
/// when a package is loaded and unloaded twice).

#include <cstdint>
#include <span>

namespace vexa {

/// One row of a start-up table: a unit, its hooks (null when the unit has
/// nothing to do) and how often it was initialised without being finalised.
struct TPackageUnit {
  const char* Name;
  void (*Initialize)();
  void (*Finalize)();
  int32_t InitCount;
};

/// Runs the unit initialisations of calcora_rt that have not run yet.
void InitializeCalcora();
/// Undoes one InitializeCalcora: in reverse order, a unit's finalisation
/// runs when its last initialisation is undone (each once).
void FinalizeCalcora();
/// The start-up table of calcora_rt, in initialisation order.
std::span<const TPackageUnit> CalcoraUnits() noexcept;

/// Initialises Units in table order. Each unit counts the calls; its hook
/// runs only on the first one.
void InitializeUnits(std::span<TPackageUnit> Units);
/// Finalises Units in reverse table order. Each call undoes one
/// initialisation; the hook runs when the last one is undone. Units that are
/// not initialised are left alone.
void FinalizeUnits(std::span<TPackageUnit> Units);

}  // namespace vexa
