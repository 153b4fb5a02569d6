#include "platform/graphics/Vexa_raster.h"

#include <algorithm>
#include <cmath>

namespace vexa::raster {

TDeviceRect TDeviceRect::Intersect(const TDeviceRect& R) const {
  return {std::max(Left, R.Left), std::max(Top, R.Top), std::min(Right, R.Right),
          std::min(Bottom, R.Bottom)};
}

// ---------------------------------------------------------------- span sets

void TSpanSet::Add(int64_t Y, int64_t X0, int64_t X1) {
  if (X1 > X0) FRows[Y].emplace_back(X0, X1);
}

void TSpanSet::AddRect(const TDeviceRect& R, const TDeviceRect& Clip) {
  const TDeviceRect visible = R.Intersect(Clip);
  if (visible.IsEmpty()) return;
  for (int64_t y = visible.Top; y < visible.Bottom; ++y) Add(y, visible.Left, visible.Right);
}

void TSpanSet::Normalize() {
  for (auto& [y, spans] : FRows) {
    std::sort(spans.begin(), spans.end());
    std::vector<TSpan> merged;
    for (const auto& span : spans) {
      if (!merged.empty() && span.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, span.second);
      else
        merged.push_back(span);
    }
    spans.swap(merged);
  }
}

TSpanSet TSpanSet::Minus(const TSpanSet& Other) const {
  TSpanSet result;
  for (const auto& [y, spans] : FRows) {
    const auto found = Other.FRows.find(y);
    if (found == Other.FRows.end()) {
      result.FRows[y] = spans;
      continue;
    }
    const auto& holes = found->second;
    for (auto [x0, x1] : spans) {
      for (const auto& hole : holes) {
        if (hole.second <= x0 || hole.first >= x1) continue;
        result.Add(y, x0, hole.first);
        x0 = std::max(x0, hole.second);
        if (x0 >= x1) break;
      }
      result.Add(y, x0, x1);
    }
  }
  return result;
}

void TSpanSet::ClipTo(const TDeviceRect& Clip) {
  for (auto row = FRows.begin(); row != FRows.end();) {
    if (row->first < Clip.Top || row->first >= Clip.Bottom) {
      row = FRows.erase(row);
      continue;
    }
    std::vector<TSpan> kept;
    for (const auto& [x0, x1] : row->second) {
      const int64_t a = std::max(x0, Clip.Left);
      const int64_t b = std::min(x1, Clip.Right);
      if (a < b) kept.emplace_back(a, b);
    }
    if (kept.empty()) {
      row = FRows.erase(row);
    } else {
      row->second.swap(kept);
      ++row;
    }
  }
}

// ---------------------------------------------------------------- raster operations

namespace {

/// Truth tables of the pen modes in TPenMode order: bit (2p + d) is the result
/// for pen bit p and destination bit d.
constexpr uint8_t kPenModeTables[16] = {
    0x0,  // black
    0xF,  // white
    0xA,  // nop: D
    0x5,  // not: ~D
    0xC,  // copy: P
    0x3,  // not copy: ~P
    0xD,  // merge pen not: P | ~D
    0x4,  // mask pen not: P & ~D
    0xB,  // merge not pen: ~P | D
    0x2,  // mask not pen: ~P & D
    0xE,  // merge: P | D
    0x1,  // not merge: ~(P | D)
    0x8,  // mask: P & D
    0x7,  // not mask: ~(P & D)
    0x6,  // xor: P ^ D
    0x9,  // not xor: ~(P ^ D)
};

constexpr uint32_t kColorBits = 0x00FFFFFFu;

}  // namespace

uint32_t ApplyPenMode(uint8_t Mode, uint32_t Pen, uint32_t Dest) {
  const uint8_t table = kPenModeTables[Mode & 0xF];
  uint32_t result = 0;
  for (int bit = 0; bit < 4; ++bit) {
    if (((table >> bit) & 1) == 0) continue;
    const uint32_t p = (bit & 2) ? Pen : ~Pen;
    const uint32_t d = (bit & 1) ? Dest : ~Dest;
    result |= p & d;
  }
  return result & kColorBits;
}

uint32_t ApplyRop3(uint8_t Rop, uint32_t Pattern, uint32_t Source, uint32_t Dest) {
  switch (Rop) {  // the frequent ones directly
    case 0xCC: return Source & kColorBits;
    case 0x88: return Source & Dest & kColorBits;
    case 0xEE: return (Source | Dest) & kColorBits;
    case 0x66: return (Source ^ Dest) & kColorBits;
    default: break;
  }
  uint32_t result = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (((Rop >> bit) & 1) == 0) continue;
    const uint32_t p = (bit & 4) ? Pattern : ~Pattern;
    const uint32_t s = (bit & 2) ? Source : ~Source;
    const uint32_t d = (bit & 1) ? Dest : ~Dest;
    result |= p & s & d;
  }
  return result & kColorBits;
}

// ---------------------------------------------------------------- lines

TLineWalk::TLineWalk(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1)
    : FX0(X0), FY0(Y0), FSx(X1 >= X0 ? 1 : -1), FSy(Y1 >= Y0 ? 1 : -1) {
  const int64_t adx = X1 >= X0 ? X1 - X0 : X0 - X1;
  const int64_t ady = Y1 >= Y0 ? Y1 - Y0 : Y0 - Y1;
  FXMajor = adx >= ady;
  FMajor = std::max(adx, ady);
  FMinor = std::min(adx, ady);
}

int64_t TLineWalk::Minor(int64_t i) const {
  // floor((2 i minor + major) / (2 major)): the nearest integer to
  // i minor / major, halves rounded up. 128 bits: i and minor may each reach 2^34.
  const int128 numerator = int128{2} * i * FMinor + FMajor;
  return static_cast<int64_t>(numerator / (int128{2} * FMajor));
}

template <class Coord>
std::pair<int64_t, int64_t> TLineWalk::StepsWithCoordIn(Coord coord, int64_t Sign, int64_t Lo,
                                                        int64_t Hi) const {
  // coord(i) moves monotonically in the direction Sign; find the indices with
  // Lo <= coord(i) < Hi by two binary searches.
  auto firstWhere = [&](auto predicate) {
    int64_t lo = 0, hi = FMajor;  // predicate false ... true over [0, FMajor)
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (predicate(mid)) hi = mid; else lo = mid + 1;
    }
    return lo;
  };
  if (Sign > 0) {
    return {firstWhere([&](int64_t i) { return coord(i) >= Lo; }),
            firstWhere([&](int64_t i) { return coord(i) >= Hi; })};
  }
  return {firstWhere([&](int64_t i) { return coord(i) < Hi; }),
          firstWhere([&](int64_t i) { return coord(i) < Lo; })};
}

std::pair<int64_t, int64_t> TLineWalk::StepsWithYIn(int64_t Y0, int64_t Y1) const {
  return StepsWithCoordIn([this](int64_t i) { return Y(i); }, FSy, Y0, Y1);
}

std::pair<int64_t, int64_t> TLineWalk::StepsInside(const TDeviceRect& R) const {
  if (FMajor == 0 || R.IsEmpty()) return {0, 0};
  const auto xs = StepsWithCoordIn([this](int64_t i) { return X(i); }, FSx, R.Left, R.Right);
  const auto ys = StepsWithYIn(R.Top, R.Bottom);
  const int64_t first = std::max(xs.first, ys.first);
  const int64_t last = std::min(xs.second, ys.second);
  return first < last ? std::make_pair(first, last) : std::make_pair(int64_t{0}, int64_t{0});
}

// ---------------------------------------------------------------- ellipses

bool EllipseRowSpan(int64_t L, int64_t T, int64_t R, int64_t B, int64_t Y, int64_t& X0,
                    int64_t& X1) {
  // Pixel (x, y) is inside when, with dx = 2x+1-(L+R) and dy = 2y+1-(T+B),
  // dx^2 H^2 + dy^2 W^2 <= W^2 H^2 (W = R-L, H = B-T; all doubled).
  const int64_t W = R - L, H = B - T;
  if (W <= 0 || H <= 0 || Y < T || Y >= B) return false;
  const int64_t dy = 2 * Y + 1 - (T + B);
  const int64_t cx2 = L + R;
  // The largest |dx| allowed: D with D^2 H^2 <= W^2 (H^2 - dy^2).
  int64_t D = 0;
  constexpr int64_t kExactLimit = int64_t{1} << 28;
  const long double ratio = 1.0L - (static_cast<long double>(dy) * dy) /
                                       (static_cast<long double>(H) * H);
  if (ratio < 0) return false;
  D = static_cast<int64_t>(std::floor(static_cast<long double>(W) * std::sqrt(ratio)));
  if (W <= kExactLimit && H <= kExactLimit) {
    // Correct the estimate exactly (the products stay below 2^120).
    const int128 w2 = int128{W} * W, h2 = int128{H} * H;
    const int128 bound = w2 * (h2 - int128{dy} * dy);
    if (bound < 0) return false;
    while (D > 0 && int128{D} * D * h2 > bound) --D;
    while (int128{D + 1} * (D + 1) * h2 <= bound) ++D;
  }
  // |2x + 1 - cx2| <= D  <=>  (cx2 - 1 - D) / 2 <= x <= (cx2 - 1 + D) / 2.
  auto floorDiv2 = [](int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); };
  X0 = -floorDiv2(-(cx2 - 1 - D));  // ceil
  X1 = floorDiv2(cx2 - 1 + D) + 1;
  X0 = std::max(X0, L);
  X1 = std::min(X1, R);
  return X0 < X1;
}

}  // namespace vexa::raster
