#pragma once
/// @file
/// The matrix of 32-bit integers, TIntMatrix, addressed by (column, row),
/// both 1-based, in a dense or a sparse form.
///
/// The dense form shares storage, structure, fills, copies and search with
/// TMatrix through the class template TMatrixBase; what differs is in
/// TMatrixTraits<int32_t>: sums and products wrap in 32 bits, doubles become
/// cells rounded to nearest (ties to even, saturated, NaN 0), the content
/// fingerprint has four CRC lanes, Resize fires OnResize before OnChange.
///
/// The sparse form keeps an ordered list of stored cells (TSpMatElemInt,
/// sorted by column, then row) for large, mostly empty matrices. A cell
/// without an entry reads 0; writing a cell (any Col ≥ 1, Row ≥ 1) stores or
/// overwrites an entry (writing 0 keeps the entry), widens the bounding box
/// of the entries, and makes the dimensions the box's high corner. Which
/// operations work on the sparse form, and which refuse it, is listed in
/// docs/MATRIX.md; refusing operations change nothing and fire nothing.
///
/// @code
/// vexa::TIntMatrix counts(nullptr, vexa::SparseForm, 1000);
/// counts.SetElem(5, 3, 7);   // now 5 columns × 3 rows, one stored entry
/// counts.SetElem(2, 7, 1);   // 5 × 7
/// int32_t total = counts.Sum(0, 0, 0, 0);   // 8
/// counts.SparseToArray();    // dense 5 × 7
/// @endcode

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "linalg/Vexa_matrix.h"
#include "linalg/Vexa_vector.h"
#include "platform/Vexa_intmath.h"

namespace vexa {

/// One stored cell of a sparse TIntMatrix.
struct TSpMatElemInt {
  int32_t colidx = 0;
  int32_t rowidx = 0;
  int32_t value = 0;
};

/// Differences of TIntMatrix.
template <>
struct TMatrixTraits<int32_t> {
  using Elem = int32_t;
  using Array = TIntArray;
  using Array2D = TInt2DArray;
  using Vector = TIntVector;
  /// Start of the MinMax scan: Minimum from 2147483647, Maximum from −2147483647.
  static constexpr int32_t kMinMaxStart = 2147483647;
  /// CRC-32 lanes of CRCofData: one per byte of the value.
  static constexpr int kCRCLanes = 4;
  static constexpr const char* kClassName = "TIntMatrix";
  /// Resize fires OnResize before OnChange.
  static constexpr bool kResizedBeforeChanged = true;
  /// A double from an array or vector becomes a cell rounded to nearest, ties
  /// to even, saturated to the int32 range, NaN 0.
  static int32_t FromDouble(double x) noexcept { return RoundToInt32(x); }
};

/// Result code of the array copies into a sparse TIntMatrix (refused).
inline constexpr int32_t mcSparseForm = -6;

/// Tag of the constructor that creates a sparse TIntMatrix.
struct TSparseForm {
  explicit TSparseForm() = default;
};
/// TIntMatrix m(owner, SparseForm, AllocBy): the sparse constructor.
inline constexpr TSparseForm SparseForm{};

/// Matrix of 32-bit integers, dense or sparse.
class TIntMatrix : public TMatrixBase<TIntMatrix, int32_t> {
  using Base = TMatrixBase<TIntMatrix, int32_t>;
  friend Base;

public:
  /// Dense, one column of one row, 0; DataID empty.
  explicit TIntMatrix(TComponent* AOwner) : TMatrixBase(AOwner) {}
  /// Sparse, no entries, 0 × 0, room for AllocBy entries (at least 1), which
  /// is also the smallest growth step of the entry list. Raises
  /// EVexaMatrixError "...\": not enough memory on heap" when that room
  /// cannot be had.
  TIntMatrix(TComponent* AOwner, TSparseForm, int32_t AllocBy);

  /// Free identifier of the data; no operation changes it.
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// From a TIntMatrix: form, dimensions, DataID, cells (or entries, box and
  /// growth step) and the four handlers, firing nothing. Otherwise the
  /// inherited assignment.
  void Assign(const TPersistent& Source) override;

  // ------------------------------------------------------------ form

  /// True while the sparse form is in use.
  bool IsSparse() const { return FIsSparse; }
  /// Switches to the sparse form (nothing if already sparse): every non-zero
  /// cell becomes an entry, in column-major order; the dimensions stay;
  /// OnResize. AllocBy (at least 1) is the initial room and growth step.
  void ArrayToSparse(int32_t AllocBy);
  /// Switches to the dense form (nothing if already dense) with the
  /// bounding box's high corner as dimensions (1 × 1 without entries);
  /// OnResize. Raises "...\": not enough memory on heap" (state kept) when
  /// the dense cells cannot be had.
  void SparseToArray();
  /// The stored entries in order (empty for the dense form).
  std::span<const TSpMatElemInt> SparseEntries() const;
  /// Number of stored entries (0 for the dense form).
  int32_t SparseNumElem() const { return FSparseNumElem; }
  /// Entries the list has room for before it grows.
  int32_t SparseAllocated() const { return static_cast<int32_t>(FSpMat.size()); }
  /// Smallest growth step of the entry list.
  int32_t SparseAllocBy() const { return FAllocBy; }
  /// Bounding box of the entries; without entries (2147483647, 1, 2147483647, 1).
  void SparseBox(int32_t& LowCol, int32_t& HighCol, int32_t& LowRow, int32_t& HighRow) const;

  // ------------------------------------------------------------ structure

  /// Resize(NC, NrOfRows); a value ≤ 0 is ignored.
  void SetNrOfColumns(int32_t NC);
  /// Resize(NrOfColumns, NR); a value ≤ 0 is ignored.
  void SetNrOfRows(int32_t NR);
  /// Cell (Col, Row); 0 outside the matrix (sparse: outside the bounding box
  /// or without an entry).
  int32_t Elem(int32_t Col, int32_t Row) const;
  /// Writes cell (Col, Row) and fires OnChange. Dense: ignored outside the
  /// matrix. Sparse: any Col, Row ≥ 1 is stored (see the file comment);
  /// raises "...\": not enough memory on heap" (nothing changed) when the
  /// list cannot grow.
  void SetElem(int32_t Col, int32_t Row, int32_t Value);

  /// New dimensions (false for a dimension ≤ 0 or the current size). Dense:
  /// keeps the top-left block, new cells 0; OnResize, then OnChange. Sparse:
  /// drops the entries outside and cuts the bounding box; OnResize, OnChange.
  bool Resize(int32_t Nc, int32_t Nr);
  /// Resize, and only if that changed the size: all cells 0 (sparse: no
  /// entries), OnChange and OnResize again.
  bool ResizeAndClear(int32_t Nc, int32_t Nr);
  /// Swaps rows and columns (always true); OnChange, OnResize. Sparse: the
  /// entries are swapped and sorted again by column, then row.
  bool Transpose();
  /// Dense only (sparse: false).
  bool RemoveColumn(int32_t Col);
  bool RemoveRow(int32_t Row);
  /// Becomes a copy of MatSource's dimensions and cells, then OnChange and
  /// OnResize; nothing for nullptr or when the two are in different forms.
  void Clone(const TIntMatrix* MatSource);

  // ------------------------------------------------------------ filling, reordering

  /// Every cell := Value; OnChange. Sparse: every entry := Value, or for 0
  /// no entries at all (room back to the growth step, empty box).
  void Fill(int32_t Value);
  // Dense only; on the sparse form these do nothing and fire nothing.
  void Fill(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value);
  void FillDiag(int32_t Value);
  void FillSerial(int32_t Offset, int32_t Diff);
  void ExchangeColumns(int32_t c1, int32_t c2);
  void ExchangeRows(int32_t r1, int32_t r2);
  void MirrorColumns();
  void MirrorRows();
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow);

  // ------------------------------------------------------------ copies
  // Copies out of the matrix read either form; copies into it need the dense
  // form (sparse: nothing happens, the array copies return mcSparseForm).

  void CopyFrom(const TIntMatrix* MatSource, int32_t SourceColLo, int32_t SourceRowLo, int32_t SourceColHi,
                int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  void CopyFromVec(const TIntVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol, int32_t DestRow);
  void CopyFromVec(const TIntVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol, int32_t DestRow,
                   bool AsColumn);
  void CopyFromVec(TDims Dim, const TIntVector* Src, int32_t FirstElem, int32_t LastElem, int32_t DestCol,
                   int32_t DestRow);
  void CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol) const;
  void CopyRowToVec(TIntVector* DestVec, int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t DestElem) const;
  void CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow) const;
  void CopyColToVec(TIntVector* DestVec, int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t DestElem) const;
  void CopyRowTo1DArray(TIntArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t DestElem) const;
  void CopyColTo1DArray(TIntArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t DestElem) const;
  int32_t CopyToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                      int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  int32_t CopyToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi, int32_t SrcRowHi,
                      int32_t DestCol, int32_t DestRow) const;
  /// Doubles are rounded to nearest, ties to even (2.5 → 2, 3.5 → 4).
  int32_t CopyFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col, int32_t Row,
                        bool AsColumn);
  int32_t CopyFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col, int32_t Row,
                        bool AsColumn);
  int32_t CopyFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                        int32_t SrcRowHi, int32_t Col, int32_t Row);
  int32_t CopyFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                        int32_t SrcRowHi, int32_t Col, int32_t Row);
  int32_t DuplicateDataAsArray(TInt2DArray& Dest) const;

  // ------------------------------------------------------------ search

  /// Cell of the validated rectangle closest to Value; 0, 0 for a matrix
  /// without cells.
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t Value, int32_t& ColIx,
            int32_t& RowIx) const;
  int32_t FindInSortedColumn(int32_t Col, bool ColIsAscending, int32_t Value) const;
  /// Extremes of the validated rectangle from 2147483647 / −2147483647
  /// (sparse: of the stored entries inside it only).
  void MinMax(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, int32_t& Minimum,
              int32_t& Maximum) const;
  /// Four CRC-32 lanes of the cells' little-endian bytes in storage order
  /// (32 hex digits).
  std::string CRCofData() const;

  // ------------------------------------------------------------ arithmetic
  // 32-bit arithmetic that wraps on overflow. Products: false (nothing
  // changed) for nullptr, unfit dimensions or a sparse result container; an
  // operand may be sparse. Results are computed into a temporary, resized
  // first and written cell by cell.

  /// Self := Self + MatB; OnChange. False for a sparse Self. A dense MatB
  /// needs the same dimensions; a sparse MatB's bounding box must fit into
  /// Self, and only its entries are added.
  bool Add(const TIntMatrix* MatB);
  /// Self := Self − MatB, under the rules of Add.
  bool Subtract(const TIntMatrix* MatB);
  /// Every cell (sparse: every entry) times Scalar; OnChange.
  void SMult(int32_t Scalar);
  /// Every cell plus Scalar; OnChange. Dense only.
  void SAdd(int32_t Scalar);
  /// MatRes := Self · MatB (NrOfColumns = MatB.NrOfRows); then Self's OnChange.
  bool Multiply(const TIntMatrix* MatB, TIntMatrix* MatRes);
  /// VecRes := Self · VecB (NrOfColumns = VecB.NrOfElem); then Self's OnChange.
  bool Multiply(const TIntVector* VecB, TIntVector* VecRes);
  /// MatRes := Self · MatBᵀ (NrOfColumns = MatB.NrOfColumns); then Self's OnChange.
  bool MultiplyTransposed(const TIntMatrix* MatB, TIntMatrix* MatRes);
  /// MatRes := Selfᵀ · MatB (NrOfRows = MatB.NrOfRows); no event of Self.
  bool TransposeAndMultiply(const TIntMatrix* MatB, TIntMatrix* MatRes) const;
  /// VecRes := Selfᵀ · VecB (NrOfRows = VecB.NrOfElem); no event of Self.
  bool TransposeAndMultiply(const TIntVector* VecB, TIntVector* VecRes) const;
  /// MatRes := element-wise product (same dimensions); then Self's OnChange.
  bool EMult(const TIntMatrix* MatB, TIntMatrix* MatRes);
  /// Wrapped sum of the diagonal of a square matrix, 0 otherwise.
  int32_t Trace() const;

  // ------------------------------------------------------------ statistics
  // Ranges (LowCol, LowRow, HighCol, HighRow) unless stated; validated. Cells
  // are taken as doubles. On the sparse form the missing cells count as
  // zeros; a matrix without cells gives 0 results.

  /// Mean and the family's variance (1.0 for n ≤ 2).
  void MeanVar(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, double& Mean,
               double& Variance) const;
  /// Wrapped 32-bit sum.
  int32_t Sum(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// Value of rank round(prob·n/100) (ties to even, at most n − 1).
  double Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  /// The same on SampleSize cells drawn with replacement (re-seeding the
  /// generator); SampleSize ≤ 0 or ≥ n: full selection.
  double Percentile(double prob, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                    int32_t SampleSize) const;
  /// Quartiles by the (n + 1)·q rule; false (all 0) for a matrix without cells.
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
  /// Cells with RangeLow ≤ v ≤ RangeHigh; ranges (LowCol, HighCol, LowRow, HighRow).
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t RangeLow,
                      int32_t RangeHigh) const;
  /// Cells v with (v and Bitmask) = 0; ranges (LowCol, HighCol, LowRow, HighRow).
  int32_t CountMaskedZeros(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                           uint32_t Bitmask) const;
  /// Column means (dimColumns) or row means (dimRows) into Means; nothing for nullptr.
  void MeanVec(TDims Dim, TVector* Means) const;

  // ------------------------------------------------------------ aggregates

  /// One aggregate per row (orVertical) or per column (orHorizontal) into
  /// Dest (resized, written by its setter). 0; −1 nullptr.
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, TVector* Dest) const;
  /// The same over the listed 1-based columns (rows) only; empty EdgeIx:
  /// all. Listed indices outside the matrix are skipped and give −2.
  int32_t EdgeVector(TOrientation Orient, TEdgeOp EdgeOp, const TIntArray& EdgeIx, TVector* Dest) const;
  /// ResultArray := [NrOfColumns][NrOfRows] of cell > Threshold; returns the
  /// number of true entries.
  int32_t Dichotomize(int32_t Threshold, TBool2DArray& ResultArray) const;

  // ---- binary files (defined in Vexa_intmatrix_binary.cpp)
  // Block files (docs/FORMATS.md): the header, then the cells row by row
  // (column fastest), 32-bit integers, format 2.

  /// Reads the header of block file FName into the outputs (whatever it
  /// holds) and tells whether it describes a TIntMatrix: at least one column
  /// and row, no layers, no time slots, format 2. False (outputs unchanged)
  /// for a missing file; EInOutError when the file cannot be opened or is
  /// shorter than one record.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               std::string& DataID, int32_t& Format);
  /// Writes the cells (a sparse matrix through its entries, missing cells 0)
  /// and DataID (cut to 255 bytes) as a block file; false when the matrix has
  /// no cells or the file cannot be created or written.
  bool SaveBinary(const std::string& FName) const;
  /// Replaces dimensions, cells and DataID by those of block file FName,
  /// then OnChange and OnResize; 0. On failure nothing changes: −2 the
  /// header does not describe a TIntMatrix, −3 the file ends before its
  /// header or its values, −4 it cannot be opened or read (or the cells do
  /// not fit into memory), −5 the matrix is sparse (the file is not opened).
  int32_t LoadBinary(const std::string& FName);
  // ---- end of binary files

  // ---- text, stream and XML files (defined in Vexa_intmatrix_text.cpp / Vexa_intmatrix_xml.cpp)
  // The formats of TMatrix with 32-bit integer values (docs/FORMATS.md).
  // Readers check every size against the input before allocating, read into
  // a temporary and commit on success at once: OnChange, then OnResize when
  // the dimensions or the form changed. On failure the matrix (and every
  // output argument) is unchanged and no event fires. The stream, text and
  // ASC readers refuse a sparse matrix; the writers read it through its
  // getter (missing cells 0).

  /// Writes LoC, LoR, HiC, HiR (validated) and the cells of that rectangle
  /// column by column, all as int32. Creates a TMemoryStream when OutStream
  /// is nullptr (the caller owns it).
  void SaveToStream(TMemoryStream*& OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// The same into a file stream; nothing for nullptr.
  void SaveToStream(TFileStream* OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const;
  /// Reads a rectangle written by SaveToStream into its cells; with
  /// AdjustMatrixSize the matrix becomes HiC × HiR first (cells kept where
  /// both shapes overlap), without it it must hold the rectangle. False for
  /// nullptr, 1 ≤ low ≤ high violated, a short stream, a refused size or
  /// the sparse form.
  bool LoadFromStream(TStream* InStream, bool AdjustMatrixSize);
  /// Plain text: "LoC LoR HiC HiR", then one line per row of blank-separated
  /// integers. False when the file cannot be written.
  bool StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR, const std::string& FileName) const;
  /// Reads a StoreOnFile file (exactly the promised integers); the rules of LoadFromStream.
  bool LoadFromFile(const std::string& FileName, bool AdjustMatrixSize);
  /// ASC file with one line of tab-separated integers per row; 0, or −1
  /// when the file cannot be written.
  int32_t ExportAsASC(const std::string& FName, const std::string& Comment) const;
  /// The same with the custom-data block of TMatrix::ExportAsASC.
  int32_t ExportAsASC(const std::string& FName, const std::string& Comment, const TStr2DArray& CustData) const;
  /// Reads an ASC file (reals rounded to nearest, ties to even, saturated):
  /// the codes of TMatrix::ImportASC, and −10 for a sparse matrix.
  int32_t ImportASC(const std::string& FName, std::string& Comment);
  /// The same with the custom-data block (−9 when malformed).
  int32_t ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData);
  /// Sparse text file: "cols rows entries", then "col row value" per entry
  /// in list order (the dense form: its non-zero cells column by column).
  /// False when the file cannot be written.
  bool StoreSparseMat(const std::string& FileName) const;
  /// Reads a StoreSparseMat file and switches to the sparse form with its
  /// dimensions and entries (room and growth step FAllocBy). False for a
  /// count that the file cannot hold, an index outside 1 … dimensions, a
  /// value outside int32, entries not strictly increasing in (col, row), or
  /// anything after the last entry.
  bool LoadSparseMat(const std::string& FileName);

  /// The tag handler of TMatrix::ProcessXmlTag with integer values; a sparse
  /// matrix stores the cells as entries and keeps the pending dimensions.
  int32_t ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents);
  /// The XML readers of TMatrix; a sparse matrix reads into the sparse form.
  bool ReadFromXMLStream(TStream* InStream, const std::string& DataID);
  bool ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID);
  bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  /// The XML writers of TMatrix; a sparse matrix writes its entries only.
  bool WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const;
  bool WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const;
  bool SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;

private:
  /// Takes Cells (Nc × Nr, column by column) as the new dense storage;
  /// OnChange, then OnResize when the dimensions changed.
  void CommitLoaded(int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells);
  /// Takes form, dimensions and cells or entries of Loaded (DataID aside);
  /// OnChange, then OnResize when the dimensions or the form changed.
  void TakeLoaded(TIntMatrix& Loaded);

  TMatXmlPending FXmlPending;

public:
  // ---- end of text, stream and XML files

protected:
  /// Cell (Col, Row) within the dimensions, as the template's read-only
  /// members see it (sparse: looked up in the entry list).
  int32_t StoredCell(int32_t Col, int32_t Row) const;

private:
  /// Position (0-based) of the first entry not less than (Col, Row).
  size_t SparseLowerBound(int32_t Col, int32_t Row) const;
  /// Makes room for at least Needed entries: geometric growth, never by
  /// less than FAllocBy; raises "...on heap" (list unchanged) on failure.
  void SparseReserve(int64_t Needed);
  /// A new zero-filled entry list of Count entries (guarded).
  std::vector<TSpMatElemInt> NewEntryList(int64_t Count) const;
  /// The box without entries.
  void EmptySparseBox();
  /// Empties the list (room back to FAllocBy) and the box.
  void ClearSparse();
  /// Visits the validated rectangle's cells in storage order as runs
  /// Visit(value, count): a run of count > 1 only for consecutive zeros
  /// (stored or missing), so both forms give the same runs.
  template <class TVisit>
  void ForEachRun(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, TVisit&& Visit) const;
  /// The cells of the validated rectangle as doubles in a guarded copy.
  std::vector<double> RectangleCopy(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  /// Sparse Add/Subtract (Sign +1 or −1) of MatB into the dense Self.
  bool AddSigned(const TIntMatrix* MatB, bool Negate);
  /// Column Col (within the matrix): the dense cells themselves, or the
  /// sparse column expanded into Scratch.
  std::span<const int32_t> ReadColumn(int32_t Col, std::vector<int32_t>& Scratch) const;
  /// True when there is no cell to read (a sparse matrix with a 0 dimension).
  bool HasNoCells() const { return FNCol < 1 || FNRow < 1; }

  std::string FDataID;
  bool FIsSparse = false;
  /// The entry list; its size is the number of entries allocated.
  std::vector<TSpMatElemInt> FSpMat;
  int32_t FSparseNumElem = 0;
  int32_t FAllocBy = 1;
  int32_t FSparseLowCol = 2147483647;
  int32_t FSparseHighCol = 1;
  int32_t FSparseLowRow = 2147483647;
  int32_t FSparseHighRow = 1;
};

extern template class TMatrixBase<TIntMatrix, int32_t>;

}  // namespace vexa
