#include "platform/graphics/Vexa_graphtypes.h"

#include <algorithm>

namespace vexa {

TRect IntersectRect(const TRect& A, const TRect& B) {
  const TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                std::min(A.Bottom, B.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

}  // namespace vexa
