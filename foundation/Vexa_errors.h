#pragma once
/// @file
/// Error classes of the numerics units and the builders of their messages.
///
/// Messages about a component read: Component "<Name>" + a suffix that
/// begins with the closing quote, e.g. ComponentMessage(m, "\": not enough
/// memory on heap"). Messages of free routines begin with the routine's name
/// and a colon.

#include <string>

#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_classes.h"

namespace vexa {

VEXA_DECLARE_EXCEPTION(EVexaMath1Error, EVexaError);      ///< Vexa_math1
VEXA_DECLARE_EXCEPTION(EVexaComplexError, EVexaError);    ///< Vexa_complex
VEXA_DECLARE_EXCEPTION(EVexaVectorError, EVexaError);     ///< Vexa_vector
VEXA_DECLARE_EXCEPTION(EVexaMatrixError, EVexaError);     ///< Vexa_matrix
VEXA_DECLARE_EXCEPTION(EVexaDataTableError, EVexaError);  ///< Vexa_datatable
VEXA_DECLARE_EXCEPTION(EVexaStatisError, EVexaError);     ///< Vexa_statis
VEXA_DECLARE_EXCEPTION(EVexaMath2Error, EVexaError);      ///< Vexa_math2
VEXA_DECLARE_EXCEPTION(EVexaMathExp, EVexaError);         ///< Vexa_math2, expression evaluation
VEXA_DECLARE_EXCEPTION(EVexaFourierError, EVexaError);    ///< Vexa_fourier
VEXA_DECLARE_EXCEPTION(EVexaWaveletError, EVexaError);    ///< Vexa_wavelet
VEXA_DECLARE_EXCEPTION(EVexaSLineError, Exception);       ///< Vexa_sline (derives from Exception)

/// "Component \"" + Name + Suffix; Suffix starts with the closing quote.
std::string ComponentMessage(const TComponent& Component, const std::string& Suffix);
/// Routine + ": " + Text, e.g. "Polynomial: invalid order of polynomial".
std::string RoutineMessage(const std::string& Routine, const std::string& Text);

}  // namespace vexa
