// Vectors: construction, element access, size, assignment, fills and sorting.
// The other topics are in Vexa_vector_*.cpp.

#include "linalg/Vexa_vector.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/Vexa_combsort.h"
#include "foundation/Vexa_math1.h"
#include "foundation/Vexa_ranges.h"
#include "linalg/internal/Vexa_vector_detail.h"
#include "platform/Vexa_random.h"

namespace vexa {

using namespace vector_detail;

namespace {

/// √Σx² of values scaled by their largest magnitude: no overflow or underflow
/// of the squares. Infinite elements give Inf, NaN elements NaN.
template <class TElem>
double ScaledLength(std::span<const TElem> Values) {
  double Largest = 0.0;
  for (const TElem x : Values) {
    Largest = std::max(Largest, std::fabs(static_cast<double>(x)));
  }
  if (Largest == 0.0 || !std::isfinite(Largest)) {
    return Largest;
  }
  double Sum = 0.0;
  for (const TElem x : Values) {
    const double Scaled = static_cast<double>(x) / Largest;
    Sum += Scaled * Scaled;
  }
  return Largest * std::sqrt(Sum);
}

}  // namespace

// ---------------------------------------------------------------- structure

template <class Self, class TElem>
TVectorBase<Self, TElem>::TVectorBase(TComponent* AOwner)
    : TContainer(AOwner), FVec(NewStorage<EVexaVectorError, std::vector<TElem>>(*this, {1})) {}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SetNrOfElem(int32_t NE) {
  if (NE > 0 && NE != FNElem) {
    Resize(NE);
  }
}

template <class Self, class TElem>
TElem TVectorBase<Self, TElem>::Elem(int32_t ix) const {
  if (ix < 1 || ix > FNElem) {
    return TElem{0};
  }
  return FVec[static_cast<size_t>(ix - 1)];
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SetElem(int32_t ix, TElem Value) {
  if (ix < 1 || ix > FNElem) {
    return;
  }
  FVec[static_cast<size_t>(ix - 1)] = Value;
  FIsEmpty = false;
  Changed();
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::Leng() const {
  double Sum = 0.0;
  bool AnyNonZero = false;
  for (const TElem x : FVec) {
    const double v = static_cast<double>(x);
    Sum += v * v;
    AnyNonZero = AnyNonZero || v != 0.0;
  }
  // The plain sum overflows near 1e154 per element and underflows near
  // 1e-162; only then is the slower scaled sum needed.
  if (std::isinf(Sum) || (Sum == 0.0 && AnyNonZero)) {
    return ScaledLength<TElem>(FVec);
  }
  return std::sqrt(Sum);
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::Resize(int32_t NE) {
  if (NE == FNElem) {
    return true;
  }
  if (NE <= 0) {
    return false;
  }
  ResizeStorage<EVexaVectorError>(*this, FVec, {NE}, sNotEnoughMemory);
  FNElem = NE;
  Changed();
  Resized();
  return true;
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Clone(const Self* VecSource) {
  if (VecSource == nullptr || VecSource == this) {
    return;
  }
  Resize(VecSource->NrOfElem());
  for (int32_t i = 1; i <= FNElem; ++i) {
    SetElem(i, VecSource->Elem(i));
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const Self*>(&Source);
  if (Other == nullptr) {
    TContainer::Assign(Source);
    return;
  }
  if (Other == this) {
    return;
  }
  FVec = CopyStorage<EVexaVectorError>(*this, Other->FVec);
  FNElem = Other->FNElem;
  FIsEmpty = Other->FIsEmpty;
  OnChange = Other->OnChange;
  OnResize = Other->OnResize;
  this->OnSortExchange = Other->OnSortExchange;
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::AssignTo(TPersistent& Dest) const {
  if (auto* Target = dynamic_cast<Self*>(&Dest)) {
    Target->Assign(*this);
    return;
  }
  TContainer::AssignTo(Dest);
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::MakeValidElemRange(int32_t& LowElem, int32_t& HighElem) const {
  return MakeValidElemRangeOfVector(LowElem, HighElem, FNElem);
}

template <class Self, class TElem>
std::span<const TElem> TVectorBase<Self, TElem>::RangeValues(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  return std::span<const TElem>(FVec).subspan(static_cast<size_t>(LowElem - 1),
                                               static_cast<size_t>(HighElem - LowElem + 1));
}

// ---------------------------------------------------------------- fills

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Fill(TElem Value) {
  std::fill(FVec.begin(), FVec.end(), Value);
  FIsEmpty = false;
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::FillSerial(TElem Offset, TElem Diff) {
  // Repeated addition, as the library has always filled (not Offset + i·Diff).
  TElem Value = Offset;
  for (TElem& x : FVec) {
    x = Value;
    Value = AddElems(Value, Diff);
  }
  FIsEmpty = false;
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Clear() {
  std::fill(FVec.begin(), FVec.end(), TElem{0});
  FIsEmpty = true;
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::AbsVal() {
  for (TElem& x : FVec) {
    if constexpr (kIsReal<TElem>) {
      x = std::fabs(x);  // clears the sign bit: -0 and negative NaNs too
    } else {
      x = WrapAbs32(x);
    }
  }
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::Mirror() {
  std::reverse(FVec.begin(), FVec.end());
  Changed();
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::ShuffleElems() {
  // Fisher–Yates: every permutation equally likely. The generator is not
  // re-seeded, so two calls in quick succession do not repeat each other.
  for (int32_t i = FNElem - 1; i > 0; --i) {
    const int32_t j = Random(i + 1);
    std::swap(FVec[static_cast<size_t>(i)], FVec[static_cast<size_t>(j)]);
  }
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast) {
  if (RangeFirst == 0 && RangeLast == 0) {
    RangeFirst = 1;
    RangeLast = FNElem;
  }
  if (RangeFirst > RangeLast) {
    std::swap(RangeFirst, RangeLast);
  }
  RangeFirst = std::clamp(RangeFirst, 1, FNElem);
  RangeLast = std::clamp(RangeLast, 1, FNElem);
  if (RangeLast - RangeFirst < 1) {
    return;
  }
  auto At = [this](int32_t ix) -> TElem& { return FVec[static_cast<size_t>(ix - 1)]; };
  int32_t Gap = RangeLast - RangeFirst;
  bool Exchanged = false;
  do {
    Gap = NextCombGap(Gap);
    Exchanged = false;
    for (int32_t i = RangeFirst; i <= RangeLast - Gap; ++i) {
      // Comparisons with NaN are false: NaNs are never moved, and the sort ends.
      const bool OutOfOrder = Ascending ? At(i) > At(i + Gap) : At(i + Gap) > At(i);
      if (OutOfOrder) {
        std::swap(At(i), At(i + Gap));
        this->SortExchange(sekElems, i, i + Gap, 0, 0);
        Exchanged = true;
      }
    }
  } while (Gap > 1 || Exchanged);
  Changed();
}

// ---------------------------------------------------------------- TVector only

void TVector::SetLeng(double Value) {
  const double Length = Leng();
  if (Length == 0.0) {
    return;
  }
  const double Factor = Value / Length;
  for (double& x : FVec) {
    x *= Factor;
  }
  Changed();
}

void TVector::FillRandomUniform(double RangeLow, double RangeHigh) {
  for (double& x : FVec) {
    x = RangeLow + (RangeHigh - RangeLow) * Random();
  }
  FIsEmpty = false;
  Changed();
}

void TVector::FillRandomGauss(double Mean, double StdDev) {
  for (double& x : FVec) {
    x = Mean + StdDev * GRandom();
  }
  FIsEmpty = false;
  Changed();
}

// Members defined in this file and the inline ones; the other topic files
// instantiate their own members.
template class TVectorBase<TVector, double>;
template class TVectorBase<TIntVector, int32_t>;

}  // namespace vexa
