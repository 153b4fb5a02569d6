// Vexa demo: a tour of what the library offers so far.
#include <cstdio>

#include "foundation/Vexa_package.h"
#include "platform/Vexa_classes.h"

int main() {
  vexa::InitializeCalcora();
  vexa::TComponent form(nullptr);
  form.SetName("Form1");
  auto* part = new vexa::TComponent(&form);
  part->SetName("Part1");
  std::printf("%s owns %d component(s): %s\n", form.Name().c_str(), form.ComponentCount(),
              form.Components(0)->Name().c_str());
  return 0;
}
