#include "foundation/Vexa_package.h"

namespace vexa {

void InitializeCalcora() {}
void FinalizeCalcora() {}

}  // namespace vexa
