#include "foundation/Vexa_errors.h"

namespace vexa {

std::string ComponentMessage(const TComponent& Component, const std::string& Suffix) {
  return "Component \"" + Component.Name() + Suffix;
}

std::string RoutineMessage(const std::string& Routine, const std::string& Text) {
  return Routine + ": " + Text;
}

}  // namespace vexa
