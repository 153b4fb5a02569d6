// A program outside the Vexa tree that uses the installed library.
#include <cstdio>

#include "foundation/Vexa_package.h"
#include "platform/Vexa_classes.h"

int main() {
  vexa::TComponent owner(nullptr);
  auto* child = new vexa::TComponent(&owner);
  child->SetName("Child1");
  vexa::InitializeCalcora();
  if (owner.ComponentCount() != 1 || owner.FindComponent("Child1") != child) return 1;
  std::printf("downstream ok\n");
  return 0;
}
