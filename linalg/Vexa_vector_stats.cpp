// Vectors: descriptive statistics and the normalisations of TVector, on the
// shared rules of the statistics family.

#include <algorithm>
#include <cmath>

#include "foundation/internal/Vexa_statcore.h"
#include "linalg/internal/Vexa_vector_detail.h"

namespace vexa {

using namespace vector_detail;

namespace {

/// Skewness and kurtosis of a vector are computed only for more than three values.
constexpr int64_t kVectorSkewKurtMinCount = 4;

}  // namespace

template <class Self, class TElem>
std::vector<double> TVectorBase<Self, TElem>::SortableCopy(int32_t LowElem, int32_t HighElem) const {
  return statcore::GuardedCopy<EVexaVectorError>(*this, RangeValues(LowElem, HighElem));
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::MeanVar(int32_t LowElem, int32_t HighElem, double& Mean, double& Variance) const {
  statcore::MeanVar(RangeValues(LowElem, HighElem), Mean, Variance);
}

template <class Self, class TElem>
typename TVectorBase<Self, TElem>::TAccum TVectorBase<Self, TElem>::Sum(int32_t LowElem, int32_t HighElem) const {
  if constexpr (kIsReal<TElem>) {
    return statcore::SumDouble(RangeValues(LowElem, HighElem));
  } else {
    return statcore::SumWrapped(RangeValues(LowElem, HighElem));
  }
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::GeometricMean(int32_t LowElem, int32_t HighElem) const {
  return statcore::GeometricMean<EVexaVectorError>(*this, "GeometricMean", RangeValues(LowElem, HighElem));
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::HarmonicMean(int32_t LowElem, int32_t HighElem) const {
  return statcore::HarmonicMean<EVexaVectorError>(*this, "HarmonicMean", RangeValues(LowElem, HighElem));
}

template <class Self, class TElem>
typename TVectorBase<Self, TElem>::TAccum TVectorBase<Self, TElem>::Mode(int32_t LowElem, int32_t HighElem) const {
  std::vector<double> Copy = SortableCopy(LowElem, HighElem);
  // The mode is one of the values, so the conversion back is exact.
  return static_cast<TAccum>(statcore::Mode(Copy));
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2,
                                         double& Q3) const {
  std::vector<double> Copy = SortableCopy(LowElem, HighElem);
  statcore::Quartiles(Copy, Q1, Q2, Q3);
  return true;
}

template <class Self, class TElem>
double TVectorBase<Self, TElem>::Percentile(double prob, int32_t LowElem, int32_t HighElem) const {
  std::vector<double> Copy = SortableCopy(LowElem, HighElem);
  return statcore::InterpolatingPercentile(Copy, prob);
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness,
                                        double& Kurtosis) const {
  int64_t NumData = 0;
  statcore::SkewKurtIntern(RangeValues(LowElem, HighElem), kVectorSkewKurtMinCount, Skewness, Kurtosis,
                           NumData);
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness,
                                              double& Kurtosis) const {
  int64_t NumData = 0;
  const bool Computed = statcore::SkewKurtIntern(RangeValues(LowElem, HighElem), kVectorSkewKurtMinCount,
                                                 Skewness, Kurtosis, NumData);
  statcore::SampleCorrection(Computed, NumData, Skewness, Kurtosis);
}

// ---------------------------------------------------------------- histograms

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::Histogram(int32_t FirstElem, int32_t LastElem, TBin FirstBin, TBin LastBin,
                                         TBin BinWidth, TIntArray& Histo, int32_t& Underflow,
                                         int32_t& Overflow, int32_t& MaxCnt) const {
  using TBins = std::conditional_t<kIsReal<TElem>, statcore::TDoubleBins, statcore::TIntBins>;
  TBins Bins;
  if (!Bins.Setup(FirstBin, LastBin, BinWidth)) {
    if constexpr (kIsReal<TElem>) {
      return false;
    } else {
      throw EVexaVectorError(ComponentMessage(*this, ".Histogram\": invalid number of bins"));
    }
  }
  statcore::THistoCounts Counts(Bins.NrBins());
  // The element range is taken as given: the part inside the vector is
  // counted value by value, the indices outside it all read as the value 0.
  const int64_t First = FirstElem, Last = LastElem;
  if (Last >= First) {
    const int64_t Inside0 = std::max<int64_t>(First, 1);
    const int64_t Inside1 = std::min<int64_t>(Last, FNElem);
    const int64_t InsideCount = Inside1 >= Inside0 ? Inside1 - Inside0 + 1 : 0;
    for (int64_t i = Inside0; i <= Inside1; ++i) {
      statcore::CountValue(Bins, FVec[static_cast<size_t>(i - 1)], 1, Counts);
    }
    const int64_t OutsideCount = (Last - First + 1) - InsideCount;
    if (OutsideCount > 0) {
      statcore::CountValue(Bins, TElem{0}, OutsideCount, Counts);
    }
  }
  Counts.WriteOut(Histo, Underflow, Overflow, MaxCnt);
  return true;
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::Histogram(int32_t FirstElem, int32_t LastElem, TBin FirstBin, TBin LastBin,
                                         TBin BinWidth, TIntVector* Histo, int32_t& Underflow,
                                         int32_t& Overflow, int32_t& MaxCnt) const {
  if (Histo == nullptr) {
    return false;
  }
  TIntArray Bins;
  int32_t Under = 0, Over = 0, Max = 0;
  if (!Histogram(FirstElem, LastElem, FirstBin, LastBin, BinWidth, Bins, Under, Over, Max)) {
    return false;
  }
  Histo->SetNrOfElem(static_cast<int32_t>(Bins.size()));
  for (size_t i = 0; i < Bins.size(); ++i) {
    Histo->SetElem(static_cast<int32_t>(i + 1), Bins[i]);
  }
  Underflow = Under;
  Overflow = Over;
  MaxCnt = Max;
  return true;
}

// ---------------------------------------------------------------- TVector normalisations

void TVector::Standardize(double& Mean, double& StdDev) {
  double Variance = 0.0;
  MeanVar(0, 0, Mean, Variance);
  StdDev = std::sqrt(Variance);
  if (StdDev > 0.0) {
    for (double& x : FVec) {
      x = (x - Mean) / StdDev;
    }
  }
}

void TVector::QNormalize(double RefQuant, double& Median, double& QuantDiff) {
  const double Quantile = Percentile(RefQuant, 0, 0);
  Median = Percentile(50.0, 0, 0);
  QuantDiff = std::fabs(Median - Quantile);
  if (QuantDiff > 0.0) {
    for (double& x : FVec) {
      x = (x - Median) / QuantDiff;
    }
  }
}

double TVector::MeanCenter() {
  double Mean = 0.0, Variance = 0.0;
  MeanVar(0, 0, Mean, Variance);
  for (double& x : FVec) {
    x -= Mean;
  }
  return Mean;
}

#define VEXA_VECTOR_STATS(Self, TElem)                                                                 \
  template std::vector<double> TVectorBase<Self, TElem>::SortableCopy(int32_t, int32_t) const;         \
  template void TVectorBase<Self, TElem>::MeanVar(int32_t, int32_t, double&, double&) const;           \
  template TVectorTraits<TElem>::Accum TVectorBase<Self, TElem>::Sum(int32_t, int32_t) const;          \
  template double TVectorBase<Self, TElem>::GeometricMean(int32_t, int32_t) const;                     \
  template double TVectorBase<Self, TElem>::HarmonicMean(int32_t, int32_t) const;                      \
  template TVectorTraits<TElem>::Accum TVectorBase<Self, TElem>::Mode(int32_t, int32_t) const;         \
  template bool TVectorBase<Self, TElem>::Quartiles(int32_t, int32_t, double&, double&, double&) const; \
  template double TVectorBase<Self, TElem>::Percentile(double, int32_t, int32_t) const;                \
  template void TVectorBase<Self, TElem>::SkewKurt(int32_t, int32_t, double&, double&) const;          \
  template void TVectorBase<Self, TElem>::SkewKurtSample(int32_t, int32_t, double&, double&) const;    \
  template bool TVectorBase<Self, TElem>::Histogram(int32_t, int32_t, TVectorTraits<TElem>::Bin,       \
                                                    TVectorTraits<TElem>::Bin, TVectorTraits<TElem>::Bin, \
                                                    TIntArray&, int32_t&, int32_t&, int32_t&) const;   \
  template bool TVectorBase<Self, TElem>::Histogram(int32_t, int32_t, TVectorTraits<TElem>::Bin,       \
                                                    TVectorTraits<TElem>::Bin, TVectorTraits<TElem>::Bin, \
                                                    TIntVector*, int32_t&, int32_t&, int32_t&) const;

VEXA_FOR_BOTH_VECTORS(VEXA_VECTOR_STATS)

}  // namespace vexa
