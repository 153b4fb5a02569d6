#pragma once
/// @file
/// Start-up and shut-down of the numerics package calcora_rt.
///
/// The package initialises its units in a fixed order the first time it is
/// loaded (a static initialiser calls InitializeCalcora) and finalises them
/// in reverse order when it is unloaded. Calling InitializeCalcora again does
/// nothing: every unit initialises once.

namespace vexa {

/// Runs the unit initialisations of calcora_rt that have not run yet.
void InitializeCalcora();
/// Runs the unit finalisations in reverse order (each once).
void FinalizeCalcora();

}  // namespace vexa
