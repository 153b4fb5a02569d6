#pragma once
/// @file
/// The three-dimensional matrix of doubles, TMat3D, addressed by (column,
/// row, layer), all 1-based.
///
/// The cells are kept in one contiguous buffer with the layer varying
/// fastest, then the row, then the column: cell (c, r, l) is at
/// ((c − 1)·NrOfRows + (r − 1))·NrOfLayers + (l − 1). FillSerial and
/// CRCofData walk the cells in this order.
///
/// Range arguments come as (LowCol, HighCol, LowRow, HighRow, LowLayer,
/// HighLayer); each pair is made valid before use ((0, 0) = the whole axis).
///
/// @code
/// vexa::TMat3D stack(nullptr);
/// stack.Resize(64, 48, 10);                 // 64 columns, 48 rows, 10 layers
/// stack.FillRandomGauss(100.0, 5.0);
/// double Mean, Var;
/// stack.MeanVar(0, 0, 0, 0, 3, 3, Mean, Var);  // layer 3 only
/// @endcode

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "foundation/Vexa_container.h"
#include "foundation/Vexa_errors.h"
#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_matrix.h"

namespace vexa {

/// Suffix of the message for a layer index outside a 3-D or 4-D matrix.
inline constexpr char sLayerBeyondDataRange[] = "\": specified layer beyond data range";
/// Suffix of the message for a time-slot index outside a 4-D matrix.
inline constexpr char sTimeSlotBeyondDataRange[] = "\": specified time slot beyond data range";

/// Raises EVexaMatrixError "Component \"<Name>\": specified layer beyond data
/// range" unless 1 ≤ Layer ≤ NrOfLayers.
void CheckLayerInRange(const TComponent& Owner, int32_t Layer, int32_t NrOfLayers);
/// Raises EVexaMatrixError "Component \"<Name>\": specified time slot beyond
/// data range" unless 1 ≤ TimeSlot ≤ NrOfTimeSlots.
void CheckTimeSlotInRange(const TComponent& Owner, int32_t TimeSlot, int32_t NrOfTimeSlots);

/// Matrix of doubles with columns, rows and layers.
class TMat3D : public TContainer, public TPercentDoneEvents<TMat3D> {
public:
  /// One column, one row, one layer, 0; DataID empty.
  explicit TMat3D(TComponent* AOwner);

  // ------------------------------------------------------------ structure

  int32_t NrOfColumns() const { return FNumX; }
  int32_t NrOfRows() const { return FNumY; }
  int32_t NrOfLayers() const { return FNumZ; }
  /// Resize with the other dimensions unchanged; a value ≤ 0 is ignored.
  void SetNrOfColumns(int32_t Value);
  void SetNrOfRows(int32_t Value);
  void SetNrOfLayers(int32_t Value);
  /// Free identifier of the data; no operation of the matrix changes it.
  const std::string& DataID() const { return FDataID; }
  void SetDataID(const std::string& Value) { FDataID = Value; }

  /// Cell (Col, Row, Layer); 0 outside the matrix.
  double Elem(int32_t Col, int32_t Row, int32_t Layer) const;
  /// Writes a cell and fires OnChange; ignored outside the matrix.
  void SetElem(int32_t Col, int32_t Row, int32_t Layer, double Value);

  /// New dimensions keeping the overlapping block, new cells 0; OnChange,
  /// OnResize. False for a dimension ≤ 0 or the current size. Raises
  /// EVexaMatrixError "...\": not enough memory on heap" (matrix unchanged).
  bool Resize(int32_t Nc, int32_t Nr, int32_t Nl);
  /// Resize, and only if that changed the size: all cells 0, OnChange and OnResize again.
  bool ResizeAndClear(int32_t Nc, int32_t Nr, int32_t Nl);
  /// Becomes a copy of MatSource's dimensions and cells (not DataID or
  /// handlers) through the element setter, then OnChange and OnResize;
  /// nothing for nullptr.
  void Clone(const TMat3D* MatSource);
  /// From a TMat3D: dimensions, DataID, cells and the three handlers, firing
  /// nothing. Otherwise the inherited assignment.
  void Assign(const TPersistent& Source) override;
  /// Dest.Assign(*this) when Dest is a TMat3D.
  void AssignTo(TPersistent& Dest) const override;
  /// Range validation of an axis (0, 0 = whole axis); true when corrected.
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const;
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const;
  bool MakeValidLayerRange(int32_t& LowLayer, int32_t& HighLayer) const;

  /// Offset of cell (Col, Row, Layer), all within the matrix, in Data().
  size_t CellIndex(int32_t Col, int32_t Row, int32_t Layer) const {
    return (static_cast<size_t>(Col - 1) * static_cast<size_t>(FNumY) + static_cast<size_t>(Row - 1)) *
               static_cast<size_t>(FNumZ) +
           static_cast<size_t>(Layer - 1);
  }
  /// The cells in storage order (layer fastest, then row, then column).
  std::span<const double> Data() const { return FData; }
  /// Writable cells; the writer fires the events itself.
  std::span<double> Data() { return FData; }

  // ------------------------------------------------------------ filling

  /// Every cell := Value; OnChange.
  void Fill(double Value);
  /// Cells (i, i, i) for i up to the smallest dimension := Value; OnChange.
  void FillDiag(double Value);
  /// Cells in storage order := Offset, Offset + Diff, ... by repeated
  /// addition. Fires no event.
  void FillSerial(double Offset, double Diff);
  /// RangeLow + (RangeHigh − RangeLow)·u, u uniform in [0, 1), in storage order; OnChange.
  void FillRandomUniform(double RangeLow, double RangeHigh);
  /// Mean + StdDev·g, g standard normal (GRandom), in storage order; OnChange.
  void FillRandomGauss(double Mean, double StdDev);

  // ------------------------------------------------------------ search and statistics
  // Ranges (LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer), validated.

  /// Cell closest to Value (first in storage order on ties).
  void Find(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
            int32_t HighLayer, double Value, int32_t& ColIx, int32_t& RowIx, int32_t& LayerIx) const;
  /// Extremes (strict comparisons from ±the largest value).
  void MinMax(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
              int32_t HighLayer, double& Minimum, double& Maximum) const;
  /// Mean and the family's variance (1.0 for n ≤ 2). Reports progress about
  /// a hundred times through ProgressStep (ProcStat, MathFeedBackProc).
  void MeanVar(int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow, int32_t LowLayer,
               int32_t HighLayer, double& Mean, double& Variance) const;
  /// Value of rank round(prob·n/100) (ties to even, at most n − 1), prob in
  /// percent; NaN prob gives NaN.
  double Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer) const;
  /// The same on SampleSize cells drawn with replacement (re-seeding the
  /// generator). SampleSize ≤ 0 or ≥ n: full selection.
  double Percentile(double prob, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                    int32_t LowLayer, int32_t HighLayer, int32_t SampleSize) const;

  // ------------------------------------------------------------ copies and fingerprint

  /// DestMat := the validated rectangle of layer Layer, resized to the
  /// rectangle and written through its element setter. Raises "...\":
  /// specified layer beyond data range" for a layer outside; nothing for nullptr.
  void CopyLayerToMatrix(TMatrix* DestMat, int32_t LowCol, int32_t HighCol, int32_t LowRow, int32_t HighRow,
                         int32_t Layer) const;
  /// The validated rectangle of SrcMat into layer Layer from (LayLowCol,
  /// LayLowRow); cells outside Self are dropped; per-cell OnChange, then
  /// OnChange once. Raises "...\": specified layer beyond data range" for a
  /// layer outside; nothing for nullptr.
  void CopyMatrixToLayer(const TMatrix* SrcMat, int32_t SrcLowCol, int32_t SrcHighCol, int32_t SrcLowRow,
                         int32_t SrcHighRow, int32_t Layer, int32_t LayLowCol, int32_t LayLowRow);
  /// One CRC-32 per byte of the cells' doubles, in storage order, as 64 hex digits.
  std::string CRCofData() const;

  // ---- binary files (defined in Vexa_mat3d_binary.cpp)
  // Block files (docs/FORMATS.md): the header, then the cells layer by
  // layer, each row by row (column fastest), 8-byte doubles, format 1.

  /// Reads the header of block file FName into the outputs (whatever it
  /// holds) and tells whether it describes a TMat3D: at least one column and
  /// row, layers > 0, no time slots, format 1. False (outputs unchanged) for
  /// a missing file; EInOutError when the file cannot be opened or is
  /// shorter than one record.
  static bool ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               int32_t& NrLayers, int32_t& NrTimeSlots, std::string& DataID, int32_t& Format);
  /// Writes the matrix and its DataID (cut to 255 bytes) as a block file;
  /// false when the file cannot be created or written.
  bool SaveBinary(const std::string& FName) const;
  /// Replaces dimensions, cells and DataID by those of block file FName,
  /// then OnChange and OnResize; 0. On failure nothing changes: −2 the
  /// header does not describe a TMat3D, −3 the file ends before its header
  /// or its values, −4 it cannot be opened or read (or the cells do not fit
  /// into memory).
  int32_t LoadBinary(const std::string& FName);
  // ---- end of binary files

  // ---- text, stream and XML files (defined in Vexa_mat3d_xml.cpp)
  // The matrix XML files of TMatrix (docs/FORMATS.md) with 3 axes.

  /// The tag handler of TMatrix::ProcessXmlTag: numplanes gives the layers (1 when
  /// missing), numtimeslots may only be 1; cells carry ix, iy and iz.
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
  void TakeLoaded(TMat3D& Loaded, const std::string& ID);

  TMatXmlPending FXmlPending;

public:
  // ---- end of text, stream and XML files

private:
  int32_t FNumX = 1;
  int32_t FNumY = 1;
  int32_t FNumZ = 1;
  std::string FDataID;
  std::vector<double> FData;
};

}  // namespace vexa
