#pragma once
/// @file
/// The matrix of doubles, TMatrix, addressed by (column, row), both 1-based.
///
/// Storage, structure, filling, reordering, copies and search live in the
/// class template TMatrixBase, shared with the integer matrix; a traits class,
/// TMatrixTraits, holds what differs between the element types. The cells are
/// kept in one contiguous buffer, column by column (column c is contiguous):
/// cell (c, r) is at (c − 1)·NrOfRows + (r − 1).
///
/// The argument order of cell ranges differs between operations and is part
/// of the interface: MinMax, CopyFrom, CopyToArray, the statistics take
/// (LowCol, LowRow, HighCol, HighRow); Fill, FillRandom*, Find and CountValues
/// take (LowCol, HighCol, LowRow, HighRow). (0, 0) means a whole axis.
///
/// @code
/// vexa::TMatrix a(nullptr), b(nullptr), product(nullptr);
/// a.Resize(3, 2);            // 3 columns, 2 rows
/// a.FillSerial(1, 1);        // column 1 holds 1, 2; column 2 holds 3, 4 ...
/// b.Resize(2, 3);
/// b.Fill(1.0);
/// a.Multiply(&b, &product);  // 2 columns, 2 rows
/// @endcode

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "foundation/Vexa_container.h"
#include "foundation/Vexa_errors.h"
#include "fundora/Vexa_univconst.h"
#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_matxmltag.h"
#include "linalg/Vexa_vector.h"
#include "platform/Vexa_textfile.h"

namespace vexa {

class TMatrix;
class TIntMatrix;
class TMat3D;

/// Handler of TMatrix::OnCalcDistance: leaves the distance of the objects
/// (rows) Row1 and Row2 in Distance, which starts at 0.
using TOnCalcDistanceEvent =
    std::function<void(TObject* Sender, int32_t Row1, int32_t Row2, double& Distance)>;

/// The matrix norms of TMatrix::Norm: largest column sum of |cells|, largest
/// row sum of |cells|, largest singular value, √(sum of squared cells).
enum TNormType : uint8_t { ntColwise, ntRowwise, ntSpectral, ntFrobenius };

/// What differs between the element types of the matrices.
template <class TElem>
struct TMatrixTraits;

/// Differences of TMatrix.
template <>
struct TMatrixTraits<double> {
  using Elem = double;
  using Array = TDoubleArray;
  using Array2D = TDouble2DArray;
  using Vector = TVector;
  /// Start of the MinMax scan: Minimum from +kMinMaxStart, Maximum from −kMinMaxStart.
  static constexpr double kMinMaxStart = uc_MaxReal;
  /// CRC-32 lanes of CRCofData: one per byte of the value.
  static constexpr int kCRCLanes = 8;
  static constexpr const char* kClassName = "TMatrix";
  /// Resize fires OnChange, then OnResize.
  static constexpr bool kResizedBeforeChanged = false;
  /// A double from an array or vector becomes a cell unchanged.
  static double FromDouble(double x) noexcept { return x; }
};

/// Result codes of the copies between matrices and arrays.
inline constexpr int32_t mcDestEmpty = -1;      ///< empty (or unassigned) array argument
inline constexpr int32_t mcColRange = -2;       ///< column range outside or reversed
inline constexpr int32_t mcRowRange = -3;       ///< row range outside or reversed
inline constexpr int32_t mcElemRange = -4;      ///< element range or destination position outside the array
inline constexpr int32_t mcCellOutside = -5;    ///< destination cell outside the matrix

/// The class template of the matrices. Self is the derived class, TElem its
/// element type.
template <class Self, class TElem>
class TMatrixBase : public TContainer,
                    public TSortExchangeEvents<Self>,
                    public TPercentDoneEvents<Self> {
public:
  using Traits = TMatrixTraits<TElem>;
  using TArray = typename Traits::Array;
  using TArray2D = typename Traits::Array2D;
  using TVec = typename Traits::Vector;

  /// One column of one row, 0.
  explicit TMatrixBase(TComponent* AOwner);

  // ------------------------------------------------------------ structure

  int32_t NrOfColumns() const { return FNCol; }
  int32_t NrOfRows() const { return FNRow; }
  /// Resize(NC, NrOfRows); a value ≤ 0 is ignored.
  void SetNrOfColumns(int32_t NC);
  /// Resize(NrOfColumns, NR); a value ≤ 0 is ignored.
  void SetNrOfRows(int32_t NR);
  /// Cell (Col, Row); 0 outside the matrix.
  TElem Elem(int32_t Col, int32_t Row) const;
  /// Writes cell (Col, Row) and fires OnChange; ignored outside the matrix.
  void SetElem(int32_t Col, int32_t Row, TElem Value);

  /// New dimensions keeping the top-left block, new cells 0; OnChange, OnResize.
  /// False for a dimension ≤ 0 or the current size. Raises EVexaMatrixError
  /// "...\": not enough memory on heap" (matrix unchanged).
  bool Resize(int32_t Nc, int32_t Nr);
  /// Resize, and only if that changed the size: all cells 0, OnChange and OnResize again.
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  /// Swaps rows and columns (always true); OnChange, OnResize.
  bool Transpose();
  /// Removes a column; false outside 1..NrOfColumns or for the last column.
  bool RemoveColumn(int32_t Col);
  /// Removes a row; false outside 1..NrOfRows or for the last row.
  bool RemoveRow(int32_t Row);
  /// Becomes a copy of MatSource's dimensions and values through the element
  /// setter, then OnChange and OnResize; nothing for nullptr.
  void Clone(const Self* MatSource);
  /// Dest.Assign(*this) when Dest is of the same class.
  void AssignTo(TPersistent& Dest) const override;
  /// Range validation of an axis (0, 0 = whole axis); true when corrected.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const;
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const;

  // ------------------------------------------------------------ filling, reordering

  /// Every cell := Value; OnChange.
  void Fill(TElem Value);
  /// Cells of the validated rectangle := Value; OnChange.
  void Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, TElem Value);
  /// Cells (i, i) := Value; OnChange.
  void FillDiag(TElem Value);
  /// Cells in storage order := Offset, Offset + Diff, ... by repeated
  /// addition. Fires no event.
  void FillSerial(TElem Offset, TElem Diff);
  /// Swaps two columns; indices outside the matrix are ignored (no event).
  void ExchangeColumns(int32_t c1, int32_t c2);
  /// Swaps two rows; indices outside the matrix are ignored (no event).
  void ExchangeRows(int32_t r1, int32_t r2);
  /// Reverses the order of the columns; OnChange.
  void MirrorColumns();
  /// Reverses the order of the rows; OnChange.
  void MirrorRows();
  /// Comb sort of the rows LowRow..HighRow by the cells of column SortColIx;
  /// moves the columns LowCol..HighCol and the key column; OnSortExchange
  /// (kind 2) per exchange, OnChange at the end. A key column outside the
  /// matrix reads as 0: nothing is exchanged.
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);
  /// The same for columns, keyed by row SortRowIx (OnSortExchange kind 1).
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);

  // ------------------------------------------------------------ copies

  /// Copies MatSource's clamped rectangle so that its top-left cell lands on
  /// (DestCol, DestRow); cells outside Self are dropped; the source may be
  /// Self (overlap handled). Per-element OnChange, then OnChange once.
  void CopyFrom(const Self* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  /// The vector's validated range down column DestCol from row DestRow.
  void CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol, int32_t DestRow);
  /// Down the column (AsColumn) or along row DestRow from column DestCol.
  void CopyFromVec(const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol, int32_t DestRow,
                   bool AsColumn);
  /// dimColumns: along the row (varying the column); dimRows: down the column.
  void CopyFromVec(TDims Dim, const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                   int32_t DestRow);
  /// Part of row Row into DestVec from element 1 (DestVec zero-filled first, never resized).
  void CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  /// Part of row Row into DestVec from element DestElem.
  void CopyRowToVec(TVec* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t DestElem) const;
  /// Part of column Col into DestVec from element 1.
  void CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  /// Part of column Col into DestVec from element DestElem.
  void CopyColToVec(TVec* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t DestElem) const;
  /// Part of a row into an existing array (zeroed first, length kept).
  void CopyRowTo1DArray(TArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t DestElem) const;
  /// Part of a column into an existing array (zeroed first, length kept).
  void CopyColTo1DArray(TArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t DestElem) const;
  /// Rectangle into an existing [column][row] array from (DestCol, DestRow):
  /// 0, or −1 empty Dest, −2/−3 column/row range corrected, −4 destination
  /// outside. Cells beyond a shorter inner array are dropped.
  int32_t CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  /// The same, each value rounded to the nearest integer (ties to even, NaN 0, saturated).
  int32_t CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  /// Array positions FirstElem..LastElem (0, 0: all) to (Col, Row + i) or
  /// (Col + i, Row): 0, −1 empty, −4 position outside, −5 cell outside.
  int32_t CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                        int32_t Row, bool AsColumn);
  int32_t CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col, int32_t Row,
                        bool AsColumn);
  /// Array cell [i][j] to (Col + i, Row + j), offsets from position 0 as in
  /// the 1-D copy (a reversed range copies nothing): 0, −1
  /// empty, −2 column outside, −3 row outside (of any inner array read),
  /// −5 cell outside.
  int32_t CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                        int32_t SrcRowHi, int32_t Col, int32_t Row);
  int32_t CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                        int32_t SrcRowHi, int32_t Col, int32_t Row);
  /// Dest := all cells as [column][row]; −1 (Dest untouched) when Dest is empty.
  int32_t DuplicateDataAsArray(TArray2D& Dest) const;

  // ------------------------------------------------------------ search

  /// Cell of the validated rectangle closest to Value (first in storage order on ties).
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, TElem Value, int32_t& ColIx,
            int32_t& RowIx) const;
  /// Binary search in column Col sorted in the stated direction; 0 for a
  /// column outside the matrix.
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, TElem Value) const;
  /// Extremes of the validated rectangle (strict comparisons from ±the largest value).
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, TElem& Minimum,
              TElem& Maximum) const;
  /// One CRC-32 per byte lane of the cells in storage order, as hex digits.
  std::string CRCofData() const;

protected:
  /// Offset of cell (Col, Row), both within the matrix.
  size_t CellIndex(int32_t Col, int32_t Row) const {
    return static_cast<size_t>(Col - 1) * static_cast<size_t>(FNRow) + static_cast<size_t>(Row - 1);
  }
  TElem& Cell(int32_t Col, int32_t Row) { return FData[CellIndex(Col, Row)]; }
  const TElem& Cell(int32_t Col, int32_t Row) const { return FData[CellIndex(Col, Row)]; }
  /// Cell (Col, Row) within the matrix as the read-only members see it: the
  /// derived class's StoredCell (the sparse integer matrix looks the cell up
  /// in its entry list instead of the dense buffer).
  TElem CellValue(int32_t Col, int32_t Row) const { return static_cast<const Self*>(this)->StoredCell(Col, Row); }
  /// The dense cell; a derived class with another storage hides it.
  TElem StoredCell(int32_t Col, int32_t Row) const { return Cell(Col, Row); }
  /// The cells of column Col (within the matrix).
  std::span<TElem> Column(int32_t Col) {
    return std::span<TElem>(FData).subspan(CellIndex(Col, 1), static_cast<size_t>(FNRow));
  }
  std::span<const TElem> Column(int32_t Col) const {
    return std::span<const TElem>(FData).subspan(CellIndex(Col, 1), static_cast<size_t>(FNRow));
  }
  /// Copies dimensions, cells and the four common handlers of Other; fires nothing.
  void AssignCommon(const Self& Other);
  /// Writes a result of Nc × Nr cells given in storage order: resizes
  /// first (its own events), then per-element OnChange when a handler is
  /// assigned; without one the cells are copied directly.
  void StoreResult(int32_t Nc, int32_t Nr, std::span<const TElem> Cells);
  /// A zero-filled guarded buffer (EVexaMatrixError "...on heap" on failure).
  std::vector<TElem> NewBuffer(int64_t Nc, int64_t Nr) const;
  /// CopyFrom from a matrix of any class with NrOfColumns, NrOfRows and
  /// Elem (Self's own class reads its cells directly).
  template <class TSource>
  void CopyFromMatrix(const TSource* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                      int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);

  int32_t FNCol = 1;
  int32_t FNRow = 1;
  std::vector<TElem> FData;

private:
  template <class TSrc>
  int32_t CopyFromArray1D(const std::vector<TSrc>& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                          int32_t Row, bool AsColumn);
  template <class TSrc>
  int32_t CopyFromArray2D(const std::vector<std::vector<TSrc>>& Src, int32_t SrcColLo, int32_t SrcRowLo,
                          int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row);
  template <class TDst>
  int32_t CopyToArray2D(std::vector<std::vector<TDst>>& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                        int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  void CopyLineToVec(TVec* DestVec, bool AlongRow, int32_t Line, int32_t First, int32_t Last,
                     int32_t DestElem) const;
  template <class TDst>
  void CopyLineToArray(std::vector<TDst>& Dest, bool AlongRow, int32_t Line, int32_t First, int32_t Last,
                       int32_t DestElem) const;
};

/// Matrix of doubles.
class TMatrix : public TMatrixBase<TMatrix, double> {
public:
  /// One column of one row, 0; DataID empty; Precision 15 and −1.
  explicit TMatrix(TComponent* AOwner) : TMatrixBase(AOwner) {}

  /// Free identifier of the data; no operation changes it.
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }
  /// Index ≤ 1: the first value (initially 15); > 1: the second (initially −1).
  int32_t Precision(int32_t ix) const { return ix <= 1 ? FPrecis[0] : FPrecis[1]; }
  /// Stores Value clamped to −1..25.
  void SetPrecision(int32_t ix, int32_t Value);

  /// Computes the distance of two objects for the user-defined distance mode.
  TOnCalcDistanceEvent OnCalcDistance;

  /// From a TMatrix: dimensions, DataID, cells, both precision values and the
  /// five handlers, firing nothing. Otherwise the inherited assignment.
  void Assign(const TPersistent& Source) override;

  using TMatrixBase::CopyFrom;
  /// CopyFrom of a rectangle of layer SourceLayer of a 3-D matrix; the layer
  /// is clamped to 1 … NrOfLayers like the corners. Nothing for nullptr.
  void CopyFrom(const TMat3D* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                int32_t SourceRowHi, int32_t SourceLayer, int32_t DestCol, int32_t DestRow);

  /// The same from an integer matrix of either form (read through its getter).
  void CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  /// A nil source of any class: nothing happens (keeps CopyFrom(nullptr, ...) unambiguous).
  void CopyFrom(std::nullptr_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}

  // ------------------------------------------------------------ random fills

  /// RangeLow + (RangeHigh − RangeLow)·u, u uniform in [0, 1), column by column; OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  void FillRandomUniform(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double RangeLow,
                         double RangeHigh);
  /// Mean + StdDev·g, g standard normal (GRandom); OnChange.
  void FillRandomGauss(double Mean, double StdDev);
  void FillRandomGauss(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double Mean,
                       double StdDev);

  // ------------------------------------------------------------ arithmetic
  // Products: false (nothing changed) for nullptr or unfit dimensions. The
  // result is resized first, then written cell by cell (its OnChange fires
  // per cell when assigned); a result that is an operand is computed into a
  // temporary first.

  /// Self := Self + MatB (same dimensions); OnChange.
  bool Add(const TMatrix* MatB);
  /// Self := Self − MatB (same dimensions); OnChange.
  bool Subtract(const TMatrix* MatB);
  /// Every cell times Scalar; OnChange.
  void SMult(double Scalar);
  /// Every cell plus Scalar; OnChange.
  void SAdd(double Scalar);
  /// MatRes := Self · MatB (NrOfColumns = MatB.NrOfRows); then Self's OnChange.
  bool Multiply(const TMatrix* MatB, TMatrix* MatRes);
  /// VecRes := Self · VecB (NrOfColumns = VecB.NrOfElem); then Self's OnChange.
  bool Multiply(const TVector* VecB, TVector* VecRes);
  /// MatRes := Self · MatBᵀ (NrOfColumns = MatB.NrOfColumns); then Self's OnChange.
  bool MultiplyTransposed(const TMatrix* MatB, TMatrix* MatRes);
  /// MatRes := Selfᵀ · MatB (NrOfRows = MatB.NrOfRows); no event of Self.
  bool TransposeAndMultiply(const TMatrix* MatB, TMatrix* MatRes) const;
  /// VecRes := Selfᵀ · VecB (NrOfRows = VecB.NrOfElem); no event of Self.
  bool TransposeAndMultiply(const TVector* VecB, TVector* VecRes) const;
  /// MatRes := element-wise product (same dimensions); then Self's OnChange.
  bool EMult(const TMatrix* MatB, TMatrix* MatRes);
  /// Sum of the diagonal of a square matrix, 0 otherwise.
  double Trace() const;

  // ------------------------------------------------------------ statistics
  // Ranges (LowCol, LowRow, HighCol, HighRow) unless stated; validated.

  /// Mean and the family's variance (1.0 for n ≤ 2).
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  /// Plain sum in storage order.
  double Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// Value of rank round(prob·n/100) (ties to even, at most n − 1), prob in
  /// percent; NaN prob gives NaN.
  double Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  /// The same on SampleSize cells drawn with replacement (re-seeding the
  /// generator); 0 when prob falls among the drawn zeros. SampleSize ≤ 0 or
  /// ≥ n: full selection.
  double Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  /// Quartiles by the (n + 1)·q position rule; true.
  bool Quartiles(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Q1, double& Q2,
                 double& Q3) const;
  /// Skewness and excess kurtosis (n ≥ 2; 0, 0 without spread).
  void SkewKurt(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                double& Kurtosis) const;
  /// The same with the small-sample corrections (0, 0 for n < 4).
  void SkewKurtSample(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Skewness,
                      double& Kurtosis) const;
  /// Raises "...\": negative argument passed to GeometricMean".
  double GeometricMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  /// Raises "...\": negative or zero argument passed to HarmonicMean".
  double HarmonicMean(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  /// Histogram of the rectangle; false (nothing written) for a BinWidth ≤ 0,
  /// non-finite bins or more than 500 bins. NaN cells count nowhere.
  bool Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin, double LastBin,
                 double BinWidth, TIntArray& Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;
  /// The same into a TIntVector (resized to the bin count); false for nullptr.
  bool Histogram(int32_t LoX, int32_t LoY, int32_t HiX, int32_t HiY, double FirstBin, double LastBin,
                 double BinWidth, TIntVector* Histo, int32_t& Underflow, int32_t& Overflow,
                 int32_t& MaxCnt) const;
  /// Cells with RangeLow ≤ v ≤ RangeHigh; ranges (LowCol, HighCol, LowRow, HighRow).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, double RangeLow,
                      double RangeHigh) const;
  /// Column means (dimColumns) or row means (dimRows) into Means; nothing for nullptr.
  void MeanVec(TDims Dim, TVector* Means) const;
  /// (x − mean)/√variance per column where the variance is > 0; optional outputs; OnChange.
  void StandardizeColumns(TVector* Means, TVector* StdDevs);
  void StandardizeRows(TVector* Means, TVector* StdDevs);
  /// (x − median)/|median − Percentile(RefQuant)| per column where that is > 0; OnChange.
  void QNormalizeColumns(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  void QNormalizeRows(double RefQuant, TVector* Medians, TVector* QuantDiffs);
  /// Subtracts each column's mean; optional output; OnChange.
  void MeanCenterColumns(TVector* Means);
  void MeanCenterRows(TVector* Means);

  // ---- linear algebra, distances, resampling (Vexa_matrix_linalg.cpp ...)
  // Self is only read unless stated. A result matrix may be Self or an
  // operand: results are computed into a temporary first, and a failure
  // leaves every matrix unchanged.

  /// Inverts Self in place (scaled partial pivoting on a working copy);
  /// false, Self unchanged, if not square, singular, out of memory or
  /// aborted through AbortMathProc. Fires no event.
  bool Invert();
  /// sign(P)·Π U_ii of a partial-pivoting LU; 0 if not square or singular.
  double Determinant() const;
  /// MatL·MatU = Self (MatL unit lower triangular with its rows permuted,
  /// MatU upper); both resized to n × n and written cell by cell. False,
  /// nothing changed, if not square, a pointer is nullptr or MatL = MatU.
  bool LUdecomposition(TMatrix* MatL, TMatrix* MatU) const;
  /// Cholesky factor of a symmetric positive-definite matrix: MatL is
  /// resized to n × n, its cells (c, r ≥ c) receive the factor and the others
  /// 0, so that MatL·MatLᵀ = Self. Only the cells (c, r ≥ c) of Self are
  /// read; the factor's off-diagonal values are also left in Self's cells
  /// (c, r < c). False, Self and MatL unchanged, if not square, MatL is
  /// nullptr, or a pivot is not positive (not positive definite, or NaN).
  bool CholeskyDecomp(TMatrix* MatL);
  /// One of the four norms. ntSpectral raises EVexaMatrixError "near
  /// singular covariance matrix" when the decomposition fails to converge,
  /// meets NaN or infinite cells, or is aborted.
  double Norm(TNormType nt) const;
  /// Diagonal similarity scaling (eigenvalues kept): passes while the
  /// largest factor exceeds min(max(Tolerance, 1.000001), 1.05), at most
  /// 100; an index whose off-diagonal row or column sum is 0 is skipped.
  /// True if it settled before 100 passes; false if not square. OnChange
  /// is not fired.
  bool Balance(double Tolerance);
  /// MatRes := SelfᵀSelf / Norm (NrOfColumns × NrOfColumns) with
  /// processors − 1 worker threads (at least 1); see the other overload.
  bool Square(TMatrix* MatRes, double Norm) const;
  /// MatRes := SelfᵀSelf / Norm with min(NThreads, NrOfColumns) workers
  /// (NThreads < 1 counts as 1) that take the columns in increasing order.
  /// Results are bitwise the same for every thread count. The calling thread
  /// does one ProgressStep per finished column; on an abort it stops handing
  /// out columns, joins every worker and returns false (MatRes then holds
  /// the finished columns and their mirrors, the others 0; an aliased Self
  /// stays unchanged). MatRes fires its resize events and one OnChange, from
  /// the calling thread. False, MatRes unchanged, for nullptr or Norm = 0.
  bool Square(TMatrix* MatRes, double Norm, int32_t NThreads) const;
  /// Pearson correlation of the paired cells of Self and OtherMat (sums
  /// about a shift); 0 for n ≤ 2 or no spread. Raises EVexaMatrixError
  /// "...\": matrices do not match" for other dimensions or nullptr.
  double Correlate(const TMatrix* OtherMat) const;
  /// Order-fold differences of adjacent cells down the columns (acrColumns,
  /// removes Order rows) or along the rows (acrRows, removes Order columns);
  /// OnChange and OnResize. −1 Order outside 1..10, −2 Order not below the
  /// line length; 0 (nothing changed) for another mode.
  int32_t Diff(int32_t Order, TApplyColRow Mode);
  /// Distance or similarity between rows obj1 and obj2 over all columns (an
  /// invalid row reads as zeros); dmUserDefined asks OnCalcDistance (0
  /// without a handler). Zero denominators of Tanimoto and Dice give 0.
  double DistanceOfObjects(TDistMode Mode, int32_t obj1, int32_t obj2);
  /// DMat (not resized) := distances of all pairs of rows, diagonal 0,
  /// written as by its element setter (one OnChange per cell when a handler
  /// is assigned). −2 DMat.NrOfColumns ≠ NrOfRows, then −1 nullptr or DMat
  /// not square (nothing written).
  int32_t CalcDistMat(TDistMode Mode, TMatrix* DMat);
  /// HatMat := X (XᵀX)⁻¹ Xᵀ (NrOfRows × NrOfRows; rows are objects): resize
  /// events only. −1 nullptr, −2 out of memory, −3 more columns than rows or
  /// XᵀX singular, −4 aborted; HatMat unchanged on failure.
  int32_t CalcHatMatrix(TMatrix* HatMat) const;
  /// Self := random sub-matrix of SrcMat: round(colpct % of its columns)
  /// distinct columns (all in order for 100 %) and round(rowpct % of its
  /// rows) rows, with repetition when BootStrap; RndColIx, RndRowIx receive
  /// the 1-based indices. −3 nullptr, −5 an empty index array, −1 bad colpct,
  /// −2 bad rowpct (NaN, above 100 or less than one index; −2 wins), −6 the
  /// draw failed; nothing changed on failure. OnChange and OnResize on success.
  int32_t ResampleExtMat(const TMatrix* SrcMat, double colpct, double rowpct, bool BootStrap,
                         TIntArray& RndColIx, TIntArray& RndRowIx);
  /// One aggregate per row (orVertical) or per column (orHorizontal) into
  /// Dest (resized, written by its setter). 0; −1 nullptr.
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* Dest) const;
  /// The same over the listed 1-based columns (rows) only; empty EdgeIx:
  /// all. Listed indices outside the matrix are skipped and give −2.
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx, TVector* Dest) const;
  /// ResultArray := [NrOfColumns][NrOfRows] of cell > Threshold; returns the
  /// number of true entries.
  int32_t Dichotomize(double Threshold, TBool2DArray& ResultArray) const;

private:
  /// The cells as a [column][row] array (guarded).
  TDouble2DArray CellsAsArray() const;
  /// Writes a [column][row] array of Nc × Nr cells into Dest, resizing first
  /// (its own events), without per-cell events.
  static void WriteCellsQuietly(TMatrix& Dest, const TDouble2DArray& Cells);

public:
  // ---- end of linear algebra, distances, resampling

  // ---- binary files (defined in Vexa_matrix_binary.cpp)
  // Block files (docs/FORMATS.md): the header, then the cells row by row
  // (column fastest), 8-byte doubles, format 1.

  /// Reads the header of block file FName into the outputs (whatever it
  /// holds) and tells whether it describes a TMatrix: at least one column and
  /// row, no layers, no time slots, format 1. False (outputs unchanged) for a
  /// missing file; EInOutError when the file cannot be opened or is shorter
  /// than one record.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               std::string& DataID, int32_t& Format);
  /// Writes the matrix and its DataID (cut to 255 bytes) as a block file;
  /// false when the file cannot be created or written.
  bool SaveBinary(const std::string& FName) const;
  /// Replaces dimensions, cells and DataID by those of block file FName,
  /// then OnChange and OnResize; 0. On failure nothing changes: −2 the
  /// header does not describe a TMatrix, −3 the file ends before its header
  /// or its values, −4 it cannot be opened or read (or the cells do not fit
  /// into memory).
  int32_t LoadBinary(const std::string& FName);
  // ---- end of binary files

  // ---- text, stream and XML files (defined in Vexa_matrix_text.cpp / Vexa_matrix_xml.cpp)
  // Readers check every size against the input (and the storage limit)
  // before allocating, read into a temporary and commit on success at once:
  // OnChange, then OnResize when the dimensions changed. On failure the
  // matrix (and every output argument) is unchanged and no event fires.
  // Layouts and codes: docs/FORMATS.md.

  /// Writes LoC, LoR, HiC, HiR (validated; extended reals) and the cells of
  /// that rectangle column by column. Creates a TMemoryStream when OutStream
  /// is nullptr (the caller owns it).
  void SaveToStream(TMemoryStream*& OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// The same into a file stream; nothing for nullptr.
  void SaveToStream(TFileStream* OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// Reads a rectangle written by SaveToStream into its cells. With
  /// AdjustMatrixSize the matrix becomes HiC × HiR first (cells kept where
  /// both shapes overlap, new ones 0); without it the matrix must hold the
  /// rectangle. False for nullptr, indices that are not finite integers with
  /// 1 ≤ low ≤ high, a short stream or a refused size.
  bool LoadFromStream(TStream* InStream, bool AdjustMatrixSize);
  /// Plain text: the line "LoC LoR HiC HiR" (validated rectangle), then one
  /// line per row, values separated by blanks, written with Precision(1) by
  /// the vector's rules (decimals; −1 the 13-character exponent form; NaN and
  /// infinities as Nan, +Inf, -Inf). False when the file cannot be written.
  bool StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR, const std::string& FileName) const;
  /// Reads a StoreOnFile file (exactly the promised values); the size rule
  /// of LoadFromStream.
  bool LoadFromFile(const std::string& FileName, bool AdjustMatrixSize);
  /// With AutoDetect: every non-empty line is a row (text from "//" on is
  /// ignored), the first row gives the number of columns and every row must
  /// have that many numbers. The data go to the top-left cells; with
  /// AdjustMatrixSize the matrix takes the data's size, without it it must
  /// hold them. Without AutoDetect the two-argument LoadFromFile.
  bool LoadFromFile(const std::string& FileName, bool AdjustMatrixSize, bool AutoDetect);
  /// ASC file: the vector's header with NrOfColumns and NrOfRows, then one
  /// line per row with the values separated by tabs (strff, width 12,
  /// Precision decimals; NaN as NAN and infinities as ###, both read back
  /// as 0). 0, or −1 when the file cannot be written.
  int32_t ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment) const;
  /// The same followed by the block "CUSTDATA<tab>columns<tab>rows" and one
  /// line of tab-separated fields per row of CustData ([column][row]; fields
  /// in double quotes, quotes doubled, line ends as blanks; short columns
  /// padded with empty fields).
  int32_t ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment,
                      const TStr2DArray& CustData) const;
  /// Reads an ASC file (row attributes, column and row names are read and
  /// skipped): 0; −8 no such file; −1 … −4 the header's codes; −7 nominal
  /// variables flagged; −5 a row attribute that is not a number; −6 a name
  /// or value missing or unreadable, or a row with another number of values.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// The same, also reading the custom-data block into CustData (empty when
  /// the file has none); −9 for a malformed block.
  int32_t ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData);

  /// Handles one tag of a matrix XML file: the dimension tags store their
  /// count as pending; the first cell after xmlMatBegin resizes the matrix to
  /// the pending dimensions and sets every cell to 0, then each cell with
  /// attributes ix and iy inside the matrix is written through the element
  /// setter (cells with missing or overflowing indices or values are
  /// skipped); xmlMatEnd without any cell zero-fills as well. Returns 1 for
  /// xmlMatEnd, −1 for xmlInvalid, 0 otherwise. Raises the "not enough memory
  /// on heap" error of Resize.
  int32_t ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents);
  /// Reads the first matrix element whose id equals DataID (any when empty)
  /// from the stream's position, also inside enclosing elements. It must
  /// give numcols and numrows (> 0) before its first cell, numplanes and
  /// numtimeslots at most 1, and hold nothing but these elements and cells.
  /// On success the matrix takes its cells (omitted ones 0) and DataID its
  /// id. False for nullptr, no such element or a malformed one.
  bool ReadFromXMLStream(TStream* InStream, const std::string& DataID);
  /// The same from an open text file; reading stops after the element.
  bool ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID);
  /// The same from the file FName.
  bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  /// Writes the matrix element (after the XML declaration when CreateHeader)
  /// with the id DataID: numcols, numrows, then every cell; values as the
  /// shortest text that reads back exactly, or with Precision(2) decimals
  /// when that is ≥ 0; INF, -INF, NAN. False when a write fails.
  bool WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const;
  /// The same into a stream; false for nullptr.
  bool WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const;
  /// The same into the new file FName, with the declaration.
  bool SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;

private:
  /// Takes Cells (Nc × Nr, column by column) as the new storage; OnChange,
  /// then OnResize when the dimensions changed.
  void CommitLoaded(int32_t Nc, int32_t Nr, std::vector<double>& Cells);

  TMatXmlPending FXmlPending;

public:
  // ---- end of text, stream and XML files

private:
  /// The cells of a validated rectangle, column by column, as a guarded copy.
  std::vector<double> RectangleCopy(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  void StandardizeLines(bool Rows, TVector* Means, TVector* StdDevs);
  void QNormalizeLines(bool Rows, double RefQuant, TVector* Medians, TVector* QuantDiffs);
  void MeanCenterLines(bool Rows, TVector* Means);

  std::string FDataID;
  int32_t FPrecis[2] = {15, -1};
};

extern template class TMatrixBase<TMatrix, double>;

}  // namespace vexa
