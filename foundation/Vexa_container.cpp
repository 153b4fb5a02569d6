#include "foundation/Vexa_container.h"

namespace vexa {

void TContainer::Changed() {
  if (OnChange) {
    OnChange(this);
  }
}

void TContainer::Resized() {
  if (OnResize) {
    OnResize(this);
  }
}

}  // namespace vexa
