#pragma once
/// @file
/// Vectors: TVector (double elements) and TIntVector (32-bit integers).
///
/// Both classes come from one class template, TVectorBase, which holds the
/// elements, the notifications, arithmetic, search, sorting, copies,
/// descriptive statistics and the file and stream formats. A small traits
/// class, TVectorTraits, holds what differs between the two element types.
/// Elements are numbered from 1; (0, 0) as a range means the whole vector.
///
/// @code
/// vexa::TVector v(nullptr);
/// v.LoadFromFile("data.txt", true);
/// double Mean = 0, Variance = 0;
/// v.MeanVar(0, 0, Mean, Variance);
/// v.StoreOnFile(0, 0, 6, "copy.txt");
/// @endcode

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "foundation/Vexa_container.h"
#include "foundation/Vexa_errors.h"
#include "fundora/Vexa_vexabase.h"
#include "platform/Vexa_datastreams.h"

namespace vexa {

class TVector;
class TIntVector;

/// Integration rule of TVector::Integrate.
enum TIntegMethod : uint8_t { imSimple, imTrapezoidal, imSimpson };

/// What differs between the element types of the two vector classes.
template <class TElem>
struct TVectorTraits;

/// Differences of TVector.
template <>
struct TVectorTraits<double> {
  using Elem = double;
  using Array = TDoubleArray;
  using Array2D = TDouble2DArray;
  /// Result type of Sum, DotProduct, Correlate and Mode.
  using Accum = double;
  /// Type of the bin arguments of Histogram.
  using Bin = double;
  /// CRC-32 lanes of CRCofData: one per byte of the value.
  static constexpr int kCRCLanes = 8;
  static constexpr const char* kClassName = "TVector";
};

/// Differences of TIntVector.
template <>
struct TVectorTraits<int32_t> {
  using Elem = int32_t;
  using Array = TIntArray;
  using Array2D = TInt2DArray;
  using Accum = int32_t;
  using Bin = int32_t;
  static constexpr int kCRCLanes = 4;
  static constexpr const char* kClassName = "TIntVector";
};

/// Result codes of the vector copies.
inline constexpr int32_t vcSourceMissing = -1;   ///< nil source vector or empty array
inline constexpr int32_t vcSourceRange = -2;     ///< a source index outside the source
inline constexpr int32_t vcDestRange = -3;       ///< the destination index outside this vector

/// Result codes of ImportASC beyond those of ReadHeaderOfASC (-1..-4).
inline constexpr int32_t ascBadRowAttribute = -5;  ///< a row attribute is not a number
inline constexpr int32_t ascBadValue = -6;         ///< a value is missing or not a number
inline constexpr int32_t ascTooManyColumns = -7;   ///< more than one column
inline constexpr int32_t ascFileNotFound = -8;     ///< the file does not exist

/// The class template of the two vector classes. Self is the derived class
/// (TVector or TIntVector), TElem its element type.
template <class Self, class TElem>
class TVectorBase : public TContainer, public TSortExchangeEvents<Self> {
public:
  using Traits = TVectorTraits<TElem>;
  using TArray = typename Traits::Array;
  using TArray2D = typename Traits::Array2D;
  using TAccum = typename Traits::Accum;
  using TBin = typename Traits::Bin;

  /// One element, 0; IsEmpty true.
  explicit TVectorBase(TComponent* AOwner);

  // ------------------------------------------------------------ structure

  int32_t NrOfElem() const { return FNElem; }
  /// Calls Resize unless the value is <= 0 or the current size.
  void SetNrOfElem(int32_t NE);
  /// Element ix (1-based); 0 outside the vector.
  TElem Elem(int32_t ix) const;
  /// Writes element ix, clears IsEmpty and fires OnChange; ignored outside.
  void SetElem(int32_t ix, TElem Value);
  /// Euclidean length √Σx², as double (no overflow for large elements).
  double Leng() const;
  /// True after construction and Clear, false after an element write or a fill.
  bool IsEmpty() const { return FIsEmpty; }

  /// New size keeping the leading elements, new ones 0; false for NE <= 0.
  /// Raises EVexaVectorError "...\": not enough memory" (vector unchanged).
  bool Resize(int32_t NE);
  /// Becomes a copy of VecSource (through the element setter); nothing for nullptr.
  void Clone(const Self* VecSource);
  /// From a vector of the same class: size, values, IsEmpty, event handlers;
  /// fires nothing. Otherwise the inherited assignment.
  void Assign(const TPersistent& Source) override;
  /// Dest.Assign(*this) when Dest is of the same class.
  void AssignTo(TPersistent& Dest) const override;
  /// Range validation (0, 0 = whole vector); see MakeValidElemRangeOfVector.
  bool MakeValidElemRange(int32_t& LowElem, int32_t& HighElem) const;

  void Fill(TElem Value);
  /// Element i = Offset + (i−1)·Diff, by repeated addition (integers wrap).
  void FillSerial(TElem Offset, TElem Diff);
  /// All 0 and IsEmpty true.
  void Clear();
  /// Absolute values (TVector: sign bit cleared; TIntVector: −2³¹ stays).
  void AbsVal();
  /// Reverses the order.
  void Mirror();
  /// Uniform random permutation (Fisher–Yates on the platform generator). No event.
  void ShuffleElems();
  /// Comb sort of the range; OnSortExchange (kind 0) per exchange, OnChange once.
  void SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast);

  // ------------------------------------------------------------ arithmetic

  /// Element-wise sum; "...\": vectors have different dimensions" for
  /// different lengths; nothing for nullptr.
  void Add(const Self* OtherVec);
  void Subtract(const Self* OtherVec);
  void SMult(TElem Scalar);
  /// Σxᵢyᵢ (TIntVector wraps); 0 for nullptr.
  TAccum DotProduct(const Self* OtherVec) const;
  /// √Σ(xᵢ−yᵢ)²; "EuclideanDistance: dimensions of vectors do not match";
  /// 0 for nullptr.
  double EuclideanDistance(const Self* OtherVec) const;
  /// Pearson's r for equal lengths > 1, else 0.
  double PearsonCorrCoeff(const Self* OtherVec) const;
  /// Lagged cross product. TVector: Σ xᵢ·y(i−ElemShift) over the overlap (0
  /// for fewer than two overlapping elements); TIntVector: Σ xᵢ·y(i+ElemShift)
  /// over all i, wrapping. 0 for nullptr.
  TAccum Correlate(const Self* OtherVec, int32_t ElemShift) const;
  /// True when every element is one of at most two values v1, v2.
  bool IsDichotomous(TElem& v1, TElem& v2) const;

  // ------------------------------------------------------------ search

  /// Index of the element closest to Value (lowest on ties); always in the range.
  int32_t Find(int32_t LowElem, int32_t HighElem, TElem Value) const;
  /// Lowest index whose element equals Value, else 0.
  int32_t FindExact(int32_t LowElem, int32_t HighElem, TElem Value) const;
  /// Binary search in a vector sorted in the stated direction.
  int32_t FindInSortedVector(bool Ascending, TElem Value) const;
  /// Extremes of the range (NaNs skipped).
  void MinMax(int32_t LowElem, int32_t HighElem, TElem& Minimum, TElem& Maximum) const;
  /// Extremes and the lowest index of each.
  void MinMax(int32_t LowElem, int32_t HighElem, TElem& Minimum, TElem& Maximum, int32_t& MinIx,
              int32_t& MaxIx) const;

  // ------------------------------------------------------------ statistics

  /// Mean Σx/n and the family's variance (1.0 for n ≤ 2).
  void MeanVar(int32_t LowElem, int32_t HighElem, double& Mean, double& Variance) const;
  /// Plain sum (TIntVector: wrapping 32-bit).
  TAccum Sum(int32_t LowElem, int32_t HighElem) const;
  /// Raises "...\": negative argument passed to GeometricMean".
  double GeometricMean(int32_t LowElem, int32_t HighElem) const;
  /// Raises "...\": negative or zero argument passed to HarmonicMean".
  double HarmonicMean(int32_t LowElem, int32_t HighElem) const;
  /// Most frequent value (smaller one on ties).
  TAccum Mode(int32_t LowElem, int32_t HighElem) const;
  /// Quartiles by the (n + 1)·q position rule; always true.
  bool Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2, double& Q3) const;
  /// Interpolating percentile, prob in percent (NaN gives NaN).
  double Percentile(double prob, int32_t LowElem, int32_t HighElem) const;
  /// Skewness and excess kurtosis (0, 0 for n ≤ 3).
  void SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  /// The same with the small-sample corrections.
  void SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness, double& Kurtosis) const;
  /// Histogram of the elements FirstElem..LastElem (not validated: indices
  /// outside the vector count as the value 0, a reversed range counts
  /// nothing). TVector: false for bad bins (outputs unchanged); TIntVector:
  /// raises "...Histogram\": invalid number of bins".
  bool Histogram(int32_t FirstElem, int32_t LastElem, TBin FirstBin, TBin LastBin, TBin BinWidth,
                 TIntArray& Histo, int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) const;
  /// The same into a TIntVector (resized to the bin count); false for nullptr.
  bool Histogram(int32_t FirstElem, int32_t LastElem, TBin FirstBin, TBin LastBin, TBin BinWidth,
                 TIntVector* Histo, int32_t& Underflow, int32_t& Overflow, int32_t& MaxCnt) const;

  // ------------------------------------------------------------ copies

  /// Copies Src's range to DestElem.. (0: done, −1 nil, −2 source range, −3 destination).
  int32_t CopyFrom(const Self* Src, int32_t SrcElemLo, int32_t SrcElemHi, int32_t DestElem);
  /// Copies array entries (0-based) to DestElem.. (−1 empty, −2, −3; later checks win).
  int32_t CopyFrom(const TArray& Src, int32_t SrcElemLo, int32_t SrcElemHi, int32_t DestElem);
  /// Part of row Row of a [column][row] array (clamped; nothing for an empty
  /// or ragged array).
  void CopyFrom2DArrayRow(const TArray2D& SrcArray, int32_t Row, int32_t FirstCol, int32_t LastCol,
                          int32_t DestElem);
  /// Part of column Col of a [column][row] array.
  void CopyFrom2DArrayColumn(const TArray2D& SrcArray, int32_t Col, int32_t FirstRow, int32_t LastRow,
                             int32_t DestElem);
  /// Range to DestArray[DestElem..], growing the array (guarded: "...on heap").
  void CopyToArray(TArray& DestArray, int32_t LowElem, int32_t HighElem, int32_t DestElem) const;
  /// Range down column DestCol or along row DestRow of an existing array.
  void CopyToArray(TArray2D& DestArray, int32_t LowElem, int32_t HighElem, int32_t DestCol,
                   int32_t DestRow, bool AsColumn) const;

  // ------------------------------------------------------------ formats

  /// Low index, high index and the elements of the range (docs/FORMATS.md);
  /// creates a memory stream (owned by the caller) when OutStream is nullptr.
  /// Raises EWriteError when the stream takes fewer bytes.
  void SaveToStream(TMemoryStream*& OutStream, int32_t LowElem, int32_t HighElem) const;
  /// The same to a file stream; nothing for nullptr.
  void SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const;
  /// Reads what SaveToStream wrote. False for nullptr, a bad header, a vector
  /// too short for it, or values missing (the rest is left unchanged).
  bool LoadFromStream(TStream* InStream, bool AdjustVectorSize);
  /// Plain text: "first last", then the elements one per line.
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize);
  /// 64 (TVector) or 32 (TIntVector) hex digits: one CRC-32 per byte lane.
  std::string CRCofData() const;
  /// Reads the one-column ASC format: 0, or −1..−4 (header), −5..−8.
  int32_t ImportASC(const std::string& FName, std::string& Comment);

protected:
  /// The plain-text and ASC writers shared by the two classes.
  bool StoreOnFileImpl(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                       const std::string& FileName) const;
  int32_t ExportAsASCImpl(const std::string& FName, int32_t Precision, const std::string& Comment) const;
  /// Resize that reports a refused allocation as false instead of raising.
  bool TryResize(int32_t NE);

  int32_t FNElem = 1;
  std::vector<TElem> FVec;
  bool FIsEmpty = true;

private:
  /// The elements of the range after validation.
  std::span<const TElem> RangeValues(int32_t LowElem, int32_t HighElem) const;
  void SaveRange(TStream& OutStream, int32_t LowElem, int32_t HighElem) const;
  void CheckSameLength(const Self& OtherVec) const;
  std::vector<double> SortableCopy(int32_t LowElem, int32_t HighElem) const;
  void ShrinkAfterFailedRow(int32_t Row);
};

/// Vector of doubles.
class TVector : public TVectorBase<TVector, double> {
public:
  explicit TVector(TComponent* AOwner) : TVectorBase(AOwner) {}

  using TVectorBase::LoadFromFile;

  /// Scales every element by Value/Leng and fires OnChange; nothing when the length is 0.
  void SetLeng(double Value);
  /// RangeLow + (RangeHigh − RangeLow)·u, u uniform in [0, 1).
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// Mean + StdDev·g, g standard normal (GRandom).
  void FillRandomGauss(double Mean, double StdDev);
  /// Integral of the samples at the abscissae 1..NrOfElem between two real
  /// bounds. NaN bound: NaN; unknown Method: 0.
  double Integrate(double BoundLow, double BoundHigh, TIntegMethod Method) const;

  /// (x − mean)/stddev of the whole vector when stddev > 0. No OnChange.
  void Standardize(double& Mean, double& StdDev);
  /// (x − median)/|median − Percentile(RefQuant)| when that is > 0. No OnChange.
  void QNormalize(double RefQuant, double& Median, double& QuantDiff);
  /// Subtracts the mean and returns it. No OnChange.
  double MeanCenter();

  /// Plain text with Precision decimals (−1, −2: exponent form; below −2 is 2,
  /// above 20 is 20). False when the file cannot be written.
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                   const std::string& FileName) const;
  /// With AutoDetect: one number per line, counting the non-empty lines
  /// that contain "//dig". Without: the plain-text LoadFromFile.
  bool LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect);
  /// ASC text, values with Precision decimals in 12 characters; 0 or −1.
  int32_t ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment) const;
};

/// Vector of 32-bit integers.
class TIntVector : public TVectorBase<TIntVector, int32_t> {
public:
  explicit TIntVector(TComponent* AOwner) : TVectorBase(AOwner) {}

  /// Plain text of integers. False when the file cannot be written.
  bool StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const;
  /// ASC text of integers; 0 or −1.
  int32_t ExportAsASC(const std::string& FName, const std::string& Comment) const;
};

extern template class TVectorBase<TVector, double>;
extern template class TVectorBase<TIntVector, int32_t>;

}  // namespace vexa
