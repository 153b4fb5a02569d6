// Vectors: arithmetic with another vector, search, extremes and integration.

#include <algorithm>
#include <cmath>
#include <limits>

#include "linalg/internal/Vexa_vector_detail.h"

namespace vexa {

using namespace vector_detail;

namespace {

/// Running sums of Pearson's coefficient, taken as deviations from the first
/// pair so that a large common offset does not cancel.
struct TPairSums {
  double ShiftX = 0.0, ShiftY = 0.0;
  double Dx = 0.0, Dy = 0.0, Dxx = 0.0, Dyy = 0.0, Dxy = 0.0;
  bool AnyNonZeroX = false, AnyNonZeroY = false;

  void Add(double x, double y) noexcept {
    AnyNonZeroX = AnyNonZeroX || x != 0.0;
    AnyNonZeroY = AnyNonZeroY || y != 0.0;
    const double dx = x - ShiftX;
    const double dy = y - ShiftY;
    Dx += dx;
    Dy += dy;
    Dxx += dx * dx;
    Dyy += dy * dy;
    Dxy += dx * dy;
  }
};

}  // namespace

// ---------------------------------------------------------------- arithmetic

template <class Self, class TElem>
void TVectorBase<Self, TElem>::CheckSameLength(const Self& OtherVec) const {
  if (OtherVec.NrOfElem() != FNElem) {
    throw EVexaVectorError(ComponentMessage(*this, "\": vectors have different dimensions"));
  }
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Add(const Self* OtherVec) {
  if (OtherVec == nullptr) {
    return;
  }
  CheckSameLength(*OtherVec);
  for (int32_t i = 0; i < FNElem; ++i) {
    FVec[static_cast<size_t>(i)] = AddElems(FVec[static_cast<size_t>(i)], OtherVec->Elem(i + 1));
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Subtract(const Self* OtherVec) {
  if (OtherVec == nullptr) {
    return;
  }
  CheckSameLength(*OtherVec);
  for (int32_t i = 0; i < FNElem; ++i) {
    FVec[static_cast<size_t>(i)] = SubElems(FVec[static_cast<size_t>(i)], OtherVec->Elem(i + 1));
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SMult(TElem Scalar) {
  for (TElem& x : FVec) {
    x = MulElems(x, Scalar);
  }
  Changed();
}

template <class Self, class TElem>
typename TVectorBase<Self, TElem>::TAccum TVectorBase<Self, TElem>::DotProduct(const Self* OtherVec) const {
  if (OtherVec == nullptr) {
    return TAccum{0};
  }
  CheckSameLength(*OtherVec);
  TAccum Sum{0};
  for (int32_t i = 1; i <= FNElem; ++i) {
    Sum = AddElems(Sum, MulElems(Elem(i), OtherVec->Elem(i)));
  }
  return Sum;
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::EuclideanDistance(const Self* OtherVec) const {
  if (OtherVec == nullptr) {
    return 0.0;
  }
  if (OtherVec->NrOfElem() != FNElem) {
    throw EVexaVectorError(RoutineMessage("EuclideanDistance", "dimensions of vectors do not match"));
  }
  double Sum = 0.0;
  for (int32_t i = 1; i <= FNElem; ++i) {
    const double d = static_cast<double>(Elem(i)) - static_cast<double>(OtherVec->Elem(i));
    Sum += d * d;
  }
  return std::sqrt(Sum);
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::PearsonCorrCoeff(const Self* OtherVec) const {
  if (OtherVec == nullptr || OtherVec->NrOfElem() != FNElem || FNElem < 2) {
    return 0.0;
  }
  TPairSums Sums;
  Sums.ShiftX = static_cast<double>(Elem(1));
  Sums.ShiftY = static_cast<double>(OtherVec->Elem(1));
  for (int32_t i = 1; i <= FNElem; ++i) {
    Sums.Add(static_cast<double>(Elem(i)), static_cast<double>(OtherVec->Elem(i)));
  }
  if (!Sums.AnyNonZeroX || !Sums.AnyNonZeroY) {
    return 0.0;
  }
  const double n = FNElem;
  const double Sxx = Sums.Dxx - Sums.Dx * Sums.Dx / n;
  const double Syy = Sums.Dyy - Sums.Dy * Sums.Dy / n;
  if (Sxx == 0.0 || Syy == 0.0) {
    return 0.0;
  }
  const double Sxy = Sums.Dxy - Sums.Dx * Sums.Dy / n;
  return Sxy / (std::sqrt(std::fabs(Sxx)) * std::sqrt(std::fabs(Syy)));
}

template <class Self, class TElem>
typename TVectorBase<Self, TElem>::TAccum TVectorBase<Self, TElem>::Correlate(const Self* OtherVec,
                                                                             int32_t ElemShift) const {
  if (OtherVec == nullptr) {
    return TAccum{0};
  }
  const int64_t Shift = ElemShift;
  if constexpr (kIsReal<TElem>) {
    // Σ xᵢ·y(i−shift) over the indices where both exist.
    const int64_t Lower = std::max<int64_t>(1, Shift + 1);
    const int64_t Upper = std::min<int64_t>(FNElem, OtherVec->NrOfElem() + Shift);
    if (Upper <= Lower) {
      return 0.0;
    }
    double Sum = 0.0;
    for (int64_t i = Lower; i <= Upper; ++i) {
      Sum += FVec[static_cast<size_t>(i - 1)] * OtherVec->Elem(static_cast<int32_t>(i - Shift));
    }
    return Sum;
  } else {
    // Σ xᵢ·y(i+shift) over all i; an index outside the other vector adds 0.
    int32_t Sum = 0;
    for (int64_t i = 1; i <= FNElem; ++i) {
      const int64_t j = i + Shift;
      if (j >= 1 && j <= OtherVec->NrOfElem()) {
        Sum = WrapAdd32(Sum, WrapMul32(FVec[static_cast<size_t>(i - 1)], OtherVec->Elem(static_cast<int32_t>(j))));
      }
    }
    return Sum;
  }
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::IsDichotomous(TElem& v1, TElem& v2) const {
  if (FNElem < 2) {
    v1 = TElem{0};
    v2 = TElem{0};
    return false;
  }
  v1 = FVec[0];
  v2 = v1;
  bool HaveSecond = false;
  for (const TElem x : FVec) {
    if (x == v1 || (HaveSecond && x == v2)) {
      continue;
    }
    if (HaveSecond || !(x == x)) {  // a third value, or a NaN (equal to nothing)
      return false;
    }
    v2 = x;
    HaveSecond = true;
  }
  return true;
}

// ---------------------------------------------------------------- search

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::Find(int32_t LowElem, int32_t HighElem, TElem Value) const {
  MakeValidElemRange(LowElem, HighElem);
  int32_t Best = LowElem;
  double BestDistance = std::numeric_limits<double>::infinity();
  for (int32_t i = LowElem; i <= HighElem; ++i) {
    const double d = Distance(FVec[static_cast<size_t>(i - 1)], Value);
    if (d < BestDistance) {
      BestDistance = d;
      Best = i;
    }
  }
  return Best;
}

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::FindExact(int32_t LowElem, int32_t HighElem, TElem Value) const {
  MakeValidElemRange(LowElem, HighElem);
  for (int32_t i = LowElem; i <= HighElem; ++i) {
    if (FVec[static_cast<size_t>(i - 1)] == Value) {
      return i;
    }
  }
  return 0;
}

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::FindInSortedVector(bool Ascending, TElem Value) const {
  int32_t Lo = 1;
  int32_t Hi = FNElem;
  while (Hi - Lo > 1) {
    const int32_t Mid = Lo + (Hi - Lo) / 2;
    const TElem x = Elem(Mid);
    if (x == Value) {
      return Mid;
    }
    if ((Value < x) == Ascending) {
      Hi = Mid;
    } else {
      Lo = Mid;
    }
  }
  // The tie between the final pair goes to the higher index.
  return Distance(Elem(Hi), Value) > Distance(Elem(Lo), Value) ? Lo : Hi;
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::MinMax(int32_t LowElem, int32_t HighElem, TElem& Minimum,
                                      TElem& Maximum) const {
  int32_t MinIx = 0, MaxIx = 0;
  MinMax(LowElem, HighElem, Minimum, Maximum, MinIx, MaxIx);
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::MinMax(int32_t LowElem, int32_t HighElem, TElem& Minimum, TElem& Maximum,
                                      int32_t& MinIx, int32_t& MaxIx) const {
  MakeValidElemRange(LowElem, HighElem);
  // Start at the first number of the range, so that ±Inf are found and the
  // indices are always set; NaNs take no part.
  int32_t Start = LowElem;
  while (Start <= HighElem && !(FVec[static_cast<size_t>(Start - 1)] == FVec[static_cast<size_t>(Start - 1)])) {
    ++Start;
  }
  MinIx = LowElem;
  MaxIx = LowElem;
  if constexpr (kIsReal<TElem>) {
    if (Start > HighElem) {  // only NaNs
      Minimum = 1.7e308;
      Maximum = -1.7e308;
      return;
    }
  }
  Minimum = Maximum = FVec[static_cast<size_t>(Start - 1)];
  MinIx = MaxIx = Start;
  for (int32_t i = Start + 1; i <= HighElem; ++i) {
    const TElem x = FVec[static_cast<size_t>(i - 1)];
    if (x < Minimum) {
      Minimum = x;
      MinIx = i;
    }
    if (x > Maximum) {
      Maximum = x;
      MaxIx = i;
    }
  }
}

// ---------------------------------------------------------------- integration

namespace {

/// Samples at the abscissae 1..n with linear interpolation between them.
class TSampledCurve {
public:
  explicit TSampledCurve(std::span<const double> Samples) : FSamples(Samples) {}
  /// Sample k (1-based).
  double x(int64_t k) const { return FSamples[static_cast<size_t>(k - 1)]; }
  /// Straight line between the two samples that bracket t (1 ≤ t ≤ n).
  double y(double t) const {
    const double Floor = std::floor(t);
    const auto k = static_cast<int64_t>(Floor);
    const double f = t - Floor;
    if (f == 0.0) {
      return x(k);  // exactly on a sample: never read past the last one
    }
    return x(k) + (x(k + 1) - x(k)) * f;
  }
  /// Mean of the samples a..b.
  double Mean(int64_t a, int64_t b) const {
    double Sum = 0.0;
    for (int64_t k = a; k <= b; ++k) {
      Sum += x(k);
    }
    return Sum / static_cast<double>(b - a + 1);
  }
  /// Trapezoids over the unit intervals a..b.
  double Trapezoids(int64_t a, int64_t b) const {
    double Sum = 0.0;
    for (int64_t k = a; k < b; ++k) {
      Sum += (x(k) + x(k + 1)) / 2.0;
    }
    return Sum;
  }
  /// The closed Newton–Cotes rule for m = b − a unit intervals (m ≤ 4),
  /// or the extended rule with end weights 3/8, 7/6, 23/24 for m ≥ 5.
  double Simpson(int64_t a, int64_t b) const {
    switch (b - a) {
      case 0: return 0.0;
      case 1: return (x(a) + x(a + 1)) / 2.0;
      case 2: return (x(a) + 4.0 * x(a + 1) + x(a + 2)) / 3.0;
      case 3: return 3.0 / 8.0 * (x(a) + 3.0 * x(a + 1) + 3.0 * x(a + 2) + x(a + 3));
      case 4:
        return 2.0 / 45.0 * (7.0 * x(a) + 32.0 * x(a + 1) + 12.0 * x(a + 2) + 32.0 * x(a + 3) + 7.0 * x(a + 4));
      default: break;
    }
    double Sum = 3.0 / 8.0 * x(a) + 7.0 / 6.0 * x(a + 1) + 23.0 / 24.0 * x(a + 2);
    for (int64_t k = a + 3; k <= b - 3; ++k) {
      Sum += x(k);
    }
    return Sum + 23.0 / 24.0 * x(b - 2) + 7.0 / 6.0 * x(b - 1) + 3.0 / 8.0 * x(b);
  }

private:
  std::span<const double> FSamples;
};

}  // namespace

double TVector::Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const {
  if (std::isnan(BoundLow) || std::isnan(BoundHigh)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (Method > imSimpson) {
    return 0.0;
  }
  const double Last = FNElem;
  BoundLow = std::clamp(BoundLow, 1.0, Last);
  BoundHigh = std::clamp(BoundHigh, 1.0, Last);
  if (BoundLow > BoundHigh) {
    std::swap(BoundLow, BoundHigh);
  }
  const double Width = BoundHigh - BoundLow;
  const TSampledCurve Curve(FVec);
  const auto a = static_cast<int64_t>(std::ceil(BoundLow));  // bounds lie in 1..n
  const auto b = static_cast<int64_t>(std::floor(BoundHigh));

  if (Method == imSimple) {
    if (a > b) {
      return (Curve.x(static_cast<int64_t>(std::floor(BoundLow))) + Curve.x(a)) / 2.0 * Width;
    }
    return Curve.Mean(a, b) * Width;
  }
  if (a > b) {
    return (Curve.y(BoundLow) + Curve.y(BoundHigh)) / 2.0 * Width;
  }
  // Head and tail pieces between the bounds and the first and last sample inside.
  double Result = 0.0;
  if (static_cast<double>(a) > BoundLow) {
    Result += (Curve.y(BoundLow) + Curve.x(a)) / 2.0 * (static_cast<double>(a) - BoundLow);
  }
  if (BoundHigh > static_cast<double>(b)) {
    Result += (Curve.x(b) + Curve.y(BoundHigh)) / 2.0 * (BoundHigh - static_cast<double>(b));
  }
  return Result + (Method == imTrapezoidal ? Curve.Trapezoids(a, b) : Curve.Simpson(a, b));
}

// ---------------------------------------------------------------- instantiation

#define VEXA_VECTOR_ARITH(Self, TElem)                                                            \
  template void TVectorBase<Self, TElem>::CheckSameLength(const Self&) const;                     \
  template void TVectorBase<Self, TElem>::Add(const Self*);                                       \
  template void TVectorBase<Self, TElem>::Subtract(const Self*);                                  \
  template void TVectorBase<Self, TElem>::SMult(TElem);                                           \
  template TVectorTraits<TElem>::Accum TVectorBase<Self, TElem>::DotProduct(const Self*) const;   \
  template double TVectorBase<Self, TElem>::EuclideanDistance(const Self*) const;                 \
  template double TVectorBase<Self, TElem>::PearsonCorrCoeff(const Self*) const;                  \
  template TVectorTraits<TElem>::Accum TVectorBase<Self, TElem>::Correlate(const Self*, int32_t) const; \
  template bool TVectorBase<Self, TElem>::IsDichotomous(TElem&, TElem&) const;                    \
  template int32_t TVectorBase<Self, TElem>::Find(int32_t, int32_t, TElem) const;                 \
  template int32_t TVectorBase<Self, TElem>::FindExact(int32_t, int32_t, TElem) const;            \
  template int32_t TVectorBase<Self, TElem>::FindInSortedVector(bool, TElem) const;               \
  template void TVectorBase<Self, TElem>::MinMax(int32_t, int32_t, TElem&, TElem&) const;         \
  template void TVectorBase<Self, TElem>::MinMax(int32_t, int32_t, TElem&, TElem&, int32_t&, int32_t&) const;

VEXA_FOR_BOTH_VECTORS(VEXA_VECTOR_ARITH)

}  // namespace vexa
