#pragma once
/// @file
/// The four-dimensional matrix of doubles, TMat4D, addressed by (column,
/// row, layer, time slot), all 1-based.
///
/// The cells are kept in one contiguous buffer in the order time slot
/// (slowest), layer, row, column (fastest), the order of the block files:
/// cell (c, r, l, t) is at (((t − 1)·NrOfLayers + (l − 1))·NrOfRows +
/// (r − 1))·NrOfColumns + (c − 1), so one layer of one time slot is a
/// contiguous block of rows.
///
/// Range arguments come as (LowCol, HighCol, LowRow, HighRow, LowLayer,
/// HighLayer, LowTimeSlot, HighTimeSlot); each pair is made valid before use
/// ((0, 0) = the whole axis).
///
/// @code
/// vexa::TMat4D movie(nullptr);
/// movie.Resize(320, 240, 3, 25);   // 25 time slots of 3 layers of 320 × 240
/// movie.FillLayer(2, 0.0);         // layer 2 of every time slot
/// movie.Cut(0, 0, 0, 0, 1, 1, 1, 10);  // keep layer 1 of the first 10 slots
/// @endcode

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "foundation/Vexa_container.h"
#include "foundation/Vexa_errors.h"
#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_matrix.h"
#include "linalg/Vexa_vector.h"

namespace vexa {

/// Handler of TMat4D::OnReadElement: one value (ix, iy, il, it) delivered by a reader.
using TOnReadMat4DElementEvent =
    std::function<void(TObject* Sender, int32_t ix, int32_t iy, int32_t il, int32_t it, double Value)>;

/// Matrix of doubles with columns, rows, layers and time slots.
class TMat4D : public TContainer, public TPercentDoneEvents<TMat4D> {
public:
  /// One cell (1 × 1 × 1 × 1), 0; DataID empty.
  explicit TMat4D(TComponent* AOwner);

  // ------------------------------------------------------------ structure

  int32_t NrOfColumns() const { return FNumX; }
  int32_t NrOfRows() const { return FNumY; }
  int32_t NrOfLayers() const { return FNumZ; }
  int32_t NrOfTimeSlots() const { return FNumT; }
  /// Resize with the other dimensions unchanged; a value ≤ 0 is ignored.
  void SetNrOfColumns(int32_t Value);
  void SetNrOfRows(int32_t Value);
  void SetNrOfLayers(int32_t Value);
  void SetNrOfTimeSlots(int32_t Value);
  /// Free identifier of the data; only the file loaders change it.
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// Cell (Col, Row, Layer, TimeSlot); 0 outside the matrix.
  double Elem(int32_t Col, int32_t Row, int32_t Layer, int32_t TimeSlot) const;
  /// Writes a cell and fires OnChange; ignored outside the matrix.
  void SetElem(int32_t Col, int32_t Row, int32_t Layer, int32_t TimeSlot, double Value);

  /// New dimensions keeping the overlapping block, new cells 0; OnChange,
  /// OnResize. False for a dimension ≤ 0 or the current size. Raises
  /// EVexaMatrixError "...\": not enough memory on heap" (matrix unchanged).
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  /// Resize, and only if that changed the size: all cells 0, OnChange and OnResize again.
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);
  /// From a TMat4D: dimensions, DataID, cells and the four handlers, firing
  /// nothing. Otherwise the inherited assignment.
  void Assign(const TPersistent& Source) override;
  /// Dest.Assign(*this) when Dest is a TMat4D.
  void AssignTo(TPersistent& Dest) const override;
  /// Becomes a copy of MatSource's dimensions and cells (not DataID or
  /// handlers), then OnChange and OnResize; nothing for nullptr.
  void Clone(const TMat4D* MatSource);
  /// Range validation of an axis (0, 0 = whole axis); true when corrected.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const;
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const;
  bool MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const;
  bool MakeValidTSlotRange(int32_t& LowTSlot, int32_t& HighTSlot) const;
  /// Size of the cells in mebibytes: cells·8 / 1048576.
  double MemoryConsumed() const;

  /// Offset of cell (Col, Row, Layer, TimeSlot), all within the matrix, in Data().
  size_t CellIndex(int32_t Col, int32_t Row, int32_t Layer, int32_t TimeSlot) const {
    const auto Slot = static_cast<size_t>(TimeSlot - 1) * static_cast<size_t>(FNumZ) + static_cast<size_t>(Layer - 1);
    return (Slot * static_cast<size_t>(FNumY) + static_cast<size_t>(Row - 1)) * static_cast<size_t>(FNumX) +
           static_cast<size_t>(Col - 1);
  }
  /// The cells in storage order (column fastest, then row, layer, time slot).
  std::span<const double> Data() const { return FData; }
  /// Writable cells; the writer fires the events itself.
  std::span<double> Data() { return FData; }

  /// Fires OnReadElement(this, ix, iy, il, it, Value) if assigned; Sender is ignored.
  void ReadElement(TObject* Sender, int32_t ix, int32_t iy, int32_t il, int32_t it, double Value);
  /// Receives every value a reader delivers (ReadBinary).
  TOnReadMat4DElementEvent OnReadElement;

  // ------------------------------------------------------------ 3-D addresses of a time slot

  /// ((iy − 1)·NrOfColumns + (ix − 1))·NrOfLayers + (il − 1), the 0-based
  /// address of a voxel in a layer-fastest order; −2 when columns·rows·layers
  /// exceeds 2147483647 (tested first), −1 for an index outside its axis.
  int32_t Lin3DAddr(int32_t ix, int32_t iy, int32_t il) const;
  /// Inverse of Lin3DAddr; false (outputs unchanged) for LinAddr < 0 or ≥
  /// columns·rows·layers.
  bool ConvertLinTo3DAddr(int32_t LinAddr, int32_t& ix, int32_t& iy, int32_t& il) const;

  // ------------------------------------------------------------ filling and layer operations

  /// Every cell := Value; OnChange.
  void Fill(double Value);
  /// Cells (i, i, i, i) for i up to the smallest dimension := Value; OnChange.
  void FillDiag(double Value);
  /// Cells in storage order := Offset, Offset + Diff, ... by repeated
  /// addition. Fires no event.
  void FillSerial(double Offset, double Diff);
  /// RangeLow + (RangeHigh − RangeLow)·u, u uniform in [0, 1), in storage order; OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// Mean + StdDev·g, g standard normal (GRandom), in storage order; OnChange.
  void FillRandomGauss(double Mean, double StdDev);
  /// Every cell of layer Layer in all time slots := Value; OnChange. Nothing
  /// for a layer outside.
  void FillLayer(int32_t Layer, double Value);
  /// Layer Layer of time slot TimeSlot: Mode 0 := par1, 1 uniform par1 +
  /// (par2 − par1)·u, 2 normal par1 + par2·g; OnChange; 0. −3 bad Mode
  /// (wins), −2 time slot outside, −1 layer outside; nothing changed then.
  int32_t FillLayer(int32_t Layer, int32_t TimeSlot, int32_t Mode, double par1, double par2);
  /// Adds SrcArray[c][r] to cell (c + 1, r + 1, Layer, TimeSlot); OnChange; 0.
  /// −1 SrcArray not [NrOfColumns][NrOfRows] (also ragged), −2 layer
  /// outside, −3 time slot outside.
  int32_t AccumulateLayer(int32_t Layer, int32_t TimeSlot, const TDouble2DArray& SrcArray);
  /// Multiplies every cell (c, r, l, t) of the ranges by FactorArray[c − 1][r − 1];
  /// OnChange; 0. −1 FactorArray not [NrOfColumns][NrOfRows] (also ragged),
  /// −2 … −5 column, row, layer, time-slot range outside its axis ((0, 0) =
  /// the whole axis, a reversed pair is exchanged).
  int32_t MultiplyLayersByArray(const TDouble2DArray& FactorArray, int32_t LowCol, int32_t HighCol,
                                int32_t LowRow, int32_t HighRow, int32_t LowLayer, int32_t HighLayer,
                                int32_t LowTimeSlot, int32_t HighTimeSlot);

  // ------------------------------------------------------------ search and statistics
  // Ranges (LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer,
  // LowTimeSlot, HighTimeSlot), validated.

  /// Cell closest to Value (first in storage order on ties).
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double Value, int32_t& ColIx,
            int32_t& RowIx, int32_t& LayerIx, int32_t& TimeSlotIx) const;
  /// Extremes (strict comparisons from ±the largest value).
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Minimum,
              double& Maximum) const;
  /// Mean and the family's variance (1.0 for n ≤ 2). Reports progress about
  /// a hundred times through ProgressStep (ProcStat, MathFeedBackProc).
  void MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
               int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double& Mean,
               double& Variance) const;
  /// Selection for data with a frequent background value A: A is the first
  /// of 15 randomly drawn cells that occurs at least 7 times among them, else
  /// their smallest. With m cells equal to A and k = round(prob·n/100): the
  /// value of rank k (at most n − 1) when k ≥ m, else A.
  double Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  /// Rank round(prob·SampleSize/100) of SampleSize cells drawn with
  /// replacement (re-seeding the generator); SampleSize ≤ 0 or ≥ n: all cells.
  double Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    int32_t SampleSize) const;
  /// As the sample overload, selecting with AbundantVal set aside (cells
  /// equal to it are counted, not copied).
  double Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                    int32_t SampleSize, double AbundantVal) const;
  /// Plain sum in storage order.
  double Sum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
             int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  /// Σx² in storage order.
  double SquaredSum(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                    int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  /// Cells with RangeLow ≤ v ≤ RangeHigh.
  int32_t CountValues(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
                      int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot, double RangeLow,
                      double RangeHigh) const;

  // ------------------------------------------------------------ reshaping

  /// The selected block becomes the whole matrix; OnChange, OnResize.
  void Cut(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
           int32_t HighLayer, int32_t LowTimeslot, int32_t HighTimeslot);
  /// Keeps every Div-th cell per axis from Offset (or, with Average, the sum
  /// of each Div box divided by the box volume). A Div < 1 counts as 1, an
  /// offset is taken modulo its Div (floored, so −1 means Div − 1); an
  /// offset ≥ the axis length changes nothing. OnPercentDone per result
  /// (time slot, layer); OnChange, OnResize.
  void Resample(int32_t XDiv, int32_t XOffset, int32_t YDiv, int32_t YOffset, int32_t ZDiv, int32_t ZOffset,
                int32_t TDiv, int32_t TOffset, bool Average);
  /// Cell (c, r, l, t) goes to (r, c, l, t); OnPercentDone per old column,
  /// OnChange, OnResize, true. Tests AbortMathProc before each old column:
  /// an abort gives false with the matrix unchanged and no event.
  bool Transpose();
  /// Reverses the order along one axis; OnChange.
  void MirrorColumns();
  void MirrorRows();
  void MirrorLayers();
  void MirrorTimeSlots();

  // ------------------------------------------------------------ fingerprint

  /// CRCofData(1): all layers.
  std::string CRCofData();
  /// Eight CRC-32 (one per byte of the doubles) over every column, row,
  /// time slot and every layer whose index is a multiple of Sample (limited
  /// to 1 … NrOfLayers div 2, at least 1); 64 hex digits. OnPercentDone
  /// every max(1, columns·rows/100) pixels.
  std::string CRCofData(int32_t Sample);

  // ---- copies and reductions (defined in Vexa_mat4d_copy.cpp / Vexa_mat4d_reduce.cpp)
  // Source ranges are made valid ((0, 0) = the whole axis, clamped, a
  // reversed pair exchanged). A nullptr container does nothing. Then a
  // single Layer or TimeSlot argument of the 4-D matrix is checked before
  // anything is copied: outside its axis it raises EVexaMatrixError
  // "...\": specified layer beyond data range" or "...\": specified time slot
  // beyond data range" (FirstLayer and the Dest* positions are not checked:
  // cells that land outside are dropped). Cells written
  // into a container go through its element setter (OnChange per cell);
  // destinations outside it are dropped. Copies into Self fire OnChange once
  // more at the end.

  /// The block of MatSource at (DestCol, DestRow, DestLayer, DestTSlot) of
  /// Self; MatSource may be Self (the block is read from a snapshot).
  void CopyFrom(const TMat4D* MatSource, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                int32_t SrcHighRow, int32_t SrcLowLayer, int32_t SrcHighLayer, int32_t SrcLowTSlot,
                int32_t SrcHighTSlot, int32_t DestCol, int32_t DestRow, int32_t DestLayer, int32_t DestTSlot);
  /// DestMat := the rectangle of (Layer, TimeSlot), resized to it.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                         int32_t Layer, int32_t TimeSlot) const;
  /// DestArray := the rectangle of (Layer, TimeSlot) as [column][row] from 0.
  void CopyLayerToArray(TDouble2DArray& DestArray, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                        int32_t HighRow, int32_t Layer, int32_t TimeSlot) const;
  /// The rectangle of SrcMat into (Layer, TimeSlot) from (LayLowCol, LayLowRow).
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                         int32_t SrcHighRow, int32_t Layer, int32_t TimeSlot, int32_t LayLowCol,
                         int32_t LayLowRow);
  /// The whole [column][row] array (rows may differ in length) into (Layer,
  /// TimeSlot): Src2D[i][j] goes to (LayLowCol + i, LayLowRow + j).
  void CopyArrayToLayer(const TDouble2DArray& Src2D, int32_t Layer, int32_t TimeSlot, int32_t LayLowCol,
                        int32_t LayLowRow);
  /// DestMat := the block of time slot TimeSlot, resized to it.
  void CopyTimeSlotToMat3D(TMat3D* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                           int32_t LowLay, int32_t HighLay, int32_t TimeSlot) const;
  /// Dest3D := the block of time slot TimeSlot as [column][row][layer] from 0.
  void CopyTimeSlotToArray(TDouble3DArray& Dest3D, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                           int32_t HighRow, int32_t LowLay, int32_t HighLay, int32_t TimeSlot) const;
  /// The block of SrcMat into time slot TimeSlot from (DestCol, DestRow, DestLayer).
  void CopyMat3DToTimeSlot(const TMat3D* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                           int32_t SrcHighRow, int32_t SrcLowLay, int32_t SrcHighLay, int32_t TimeSlot,
                           int32_t DestCol, int32_t DestRow, int32_t DestLayer);
  /// The whole [column][row][layer] array into time slot TimeSlot:
  /// Src3D[i][j][k] goes to (DestCol + i, DestRow + j, DestLayer + k).
  void CopyArrayToTimeSlot(const TDouble3DArray& Src3D, int32_t TimeSlot, int32_t DestCol, int32_t DestRow,
                           int32_t DestLayer);
  /// Dest := the layers LowLayer … HighLayer of pixel (Col, Row) in time slot
  /// TimeSlot (Dest resized to the range; Col and Row clamped into the matrix).
  void CopyPixelToVector(TVector* Dest, int32_t Col, int32_t Row, int32_t LowLayer, int32_t HighLayer,
                         int32_t TimeSlot) const;
  /// The same into an array (resized to the range).
  void CopyPixelTo1DArray(TDoubleArray& Dest, int32_t Col, int32_t Row, int32_t LowLayer, int32_t HighLayer,
                          int32_t TimeSlot) const;
  /// The whole vector along the layers of pixel (Col, Row) in time slot
  /// TimeSlot: element i goes to layer FirstLayer + i − 1.
  void CopyVectorToPixel(const TVector* Src, int32_t Col, int32_t Row, int32_t FirstLayer, int32_t TimeSlot);
  /// The whole array along the layers: Src[i] goes to layer FirstLayer + i.
  void Copy1DArrayToPixel(const TDoubleArray& Src, int32_t Col, int32_t Row, int32_t FirstLayer,
                          int32_t TimeSlot);

  // Reductions over layers and time slots: DestMat is resized to the
  // validated column × row rectangle and zero-filled (its own events), then
  // every pixel (c, r) receives, through DestMat's setter at (c − LowCol + 1,
  // r − LowRow + 1), one value over the layer and time-slot ranges. The
  // values are computed by min(NThreads, processors) workers (NThreads < 1
  // counts as 1; without NThreads: processors) into a buffer, each pixel in
  // the order time slot outer, layer inner, so every thread count gives the
  // same bits; the calling thread writes every pixel (all DestMat events
  // fire on it) and reports progress (ProcStat + 100 in all, MathFeedBackProc
  // per wake-up). Not aborted by AbortMathProc. Nothing for nullptr.

  /// Σx / N, N = layers · time slots.
  void MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                            int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot) const;
  void MeanOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                            int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot, int32_t HighTimeSlot,
                            int32_t NThreads) const;
  /// The largest value (from −uc_MaxReal, strict comparisons: NaN never wins).
  void MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                               int32_t HighTimeSlot) const;
  void MaximumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                               int32_t HighTimeSlot, int32_t NThreads) const;
  /// The smallest value (from +uc_MaxReal, strict comparisons: NaN never wins).
  void MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                               int32_t HighTimeSlot) const;
  void MinimumOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                               int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                               int32_t HighTimeSlot, int32_t NThreads) const;
  /// Population standard deviation √(Σd²/N − (Σd/N)²), d = x − the pixel's
  /// first value (free of the cancellation of the raw sums); never negative.
  void StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                              int32_t HighTimeSlot) const;
  void StdDevOfLayersToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow,
                              int32_t HighRow, int32_t LowLayer, int32_t HighLayer, int32_t LowTimeSlot,
                              int32_t HighTimeSlot, int32_t NThreads) const;
  // ---- end of copies and reductions

  // ---- binary files (defined in Vexa_mat4d_binary.cpp)
  // Block files (docs/FORMATS.md): the header, then the cells in storage
  // order (time slot, layer, row, column fastest), 8-byte doubles, format 1.
  // Time slots are selected as by ReadBinary: TSlotStart or TSlotEnd < 1
  // selects all, else TSlotStart … min(TSlotEnd, slots).

  /// Reads the header of block file FName into the outputs (whatever it
  /// holds) and tells whether it describes a TMat4D: at least one column and
  /// row, layers > 0, time slots > 0, format 1. False (outputs unchanged)
  /// for a missing file; EInOutError when the file cannot be opened or is
  /// shorter than one record.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID, int32_t& Format);
  /// Delivers the values of the selected time slots of FName through
  /// ReadElement(this, ix, iy, il, it, Value), it counting the delivered
  /// slots from 1; OnPercentDone every max(1, total/100) values with
  /// round(count·100/total). The matrix is not changed. 0 (also when nothing
  /// is selected: no events); −1 when TSlotStart exceeds the file's slots.
  /// The format code is not examined (values are read as doubles). A file
  /// that cannot be opened, is shorter than one record, holds negative sizes
  /// or lacks selected values raises EInOutError before any value is delivered.
  int32_t ReadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// Reads layer Layer of time slot TSlot of FName into the same layer and
  /// slot of the matrix, then OnChange (OnPercentDone on the way); 0. Checks
  /// in this order, the last failing one giving the code (matrix unchanged,
  /// no event): −1 TSlot outside the file's or the matrix's slots, −2 Layer
  /// outside the file's or the matrix's layers, −3 the file's columns or rows
  /// differ from the matrix's, −4 the file cannot be opened or read, holds
  /// negative sizes, another format than 1, or fewer values than its header
  /// promises.
  int32_t ReadLayer(const std::string& FName, int32_t Layer, int32_t TSlot);
  /// Replaces dimensions (the selected slots), cells and DataID by those of
  /// FName, then OnChange and OnResize, reporting progress through
  /// OnPercentDone; 0. On failure nothing changes: −1 TSlotStart beyond the
  /// file's slots or no slot selected, −2 the header does not describe a
  /// TMat4D, −3 the file ends before its header or its values, −4 it cannot
  /// be opened or read (or the cells do not fit into memory).
  int32_t LoadBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// LoadBinary without progress reports.
  int32_t LoadBinaryIntern(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// LoadBinary accepting any format code (the values are read as doubles).
  int32_t LoadBinaryNoFmtCheck(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd);
  /// Appends the selected time slots to FName, which must hold a complete
  /// TMat4D file of the same columns, rows and layers (a missing file is
  /// created). The values go first, the header's slot count last, so a
  /// failed append leaves the old content readable. 0; −1 TSlotStart beyond
  /// the matrix's slots or no slot selected, −2 the file's header does not
  /// fit (not 4-D, format, sizes, too many slots), −3 the file ends before
  /// its header or its values, −4 it cannot be opened, read or written.
  int32_t AppendToBinaryFile(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;
  /// Writes the selected time slots and DataID (cut to 255 bytes) as a block
  /// file; false when no slot is selected (TSlotStart beyond the slots, a
  /// reversed pair) or the file cannot be created or written.
  bool SaveBinary(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd) const;

private:
  int32_t LoadSlots(const std::string& FName, int32_t TSlotStart, int32_t TSlotEnd, bool CheckFormat,
                    bool ReportProgress);

public:
  // ---- end of binary files

  // ---- text, stream and XML files (defined in Vexa_mat4d_xml.cpp)
  // The matrix XML files of TMatrix (docs/FORMATS.md) with 4 axes.

  /// The tag handler of TMatrix::ProcessXmlTag: numplanes and numtimeslots give the
  /// layers and time slots (1 when missing); cells carry ix, iy, il and it.
  int32_t ProcessXmlTag(TMatXmlTag xmlTag, const std::string& attr, const std::string& cellcontents);
  /// The XML readers of TMatrix: the first matrix element whose id equals
  /// DataID (any when empty), read into a temporary; on success the cells
  /// (omitted ones 0) and DataID are taken, OnChange, then OnResize when the
  /// dimensions changed. False (nothing changed) for nullptr, no such
  /// element, dimensions missing, not positive or given after the first
  /// cell, an unknown or malformed element inside, or a refused size.
  bool ReadFromXMLStream(TStream* InStream, const std::string& DataID);
  bool ReadFromOpenXMLFile(TTextReader& InFile, const std::string& DataID);
  bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  /// The XML writers of TMatrix: every cell, values as the shortest text
  /// that reads back exactly (INF, -INF, NAN). False when a write fails.
  bool WriteToOpenXMLFile(TTextWriter& OutFile, bool CreateHeader, const std::string& DataID) const;
  bool WriteToXMLStream(TStream* OutStream, bool CreateHeader, const std::string& DataID) const;
  bool SaveAsXMLFile(const std::string& FName, const std::string& DataID) const;

private:
  /// Takes dimensions and cells of Loaded and DataID := ID; OnChange, then
  /// OnResize when the dimensions changed.
  void TakeLoaded(TMat4D& Loaded, const std::string& ID);

  TMatXmlPending FXmlPending;

public:
  // ---- end of text, stream and XML files

private:
  /// Replaces the cells and dimensions by a buffer built aside.
  void TakeCells(std::vector<double>&& Cells, int32_t Nc, int32_t Nr, int32_t Nl, int32_t Nt);

  int32_t FNumX = 1;
  int32_t FNumY = 1;
  int32_t FNumZ = 1;
  int32_t FNumT = 1;
  std::string FDataID;
  std::vector<double> FData;
};

/// Layer2D := layer Layer of time slot TSlot of block file FName as
/// [column][row]; 0. −3 (checked first) the file cannot be opened or read,
/// holds negative sizes, another format than 1 or fewer values than its
/// header promises; −1 TSlot outside the file's slots; −2 Layer outside its
/// layers. Layer2D is unchanged on failure.
int32_t Read4DLayer(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Layer2D);
/// Adds layer Layer of time slot TSlot of FName to Layer2D; 0. −4 (checked
/// first) as Read4DLayer's −3; −1 Layer outside the file's layers; −2 TSlot
/// outside its slots; −3 Layer2D is not exactly [file columns][file rows].
/// Layer2D is unchanged on failure.
int32_t Read4DLayerAndAccumulate(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Layer2D);

}  // namespace vexa
