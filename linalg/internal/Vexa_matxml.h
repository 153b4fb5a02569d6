#pragma once
// Internal to the matrix units (not installed): the XML core shared by
// TMatrix, TIntMatrix, TMat3D and TMat4D. Each class supplies a small target
// (resize with zero fill, write one cell) and a commit of a loaded
// temporary; the tag handling, the reading loop with its checks and the
// writing live here once.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "linalg/Vexa_matxmltag.h"
#include "platform/Vexa_datastreams.h"
#include "platform/Vexa_textfile.h"

namespace vexa::matxml_detail {

/// Column, row, layer, time slot (axes beyond a class's rank are unused).
using TXmlIndex = std::array<int32_t, 4>;

inline constexpr int32_t kDimNotGiven = kMatXmlDimNotGiven;
using TXmlPending = TMatXmlPending;

/// What a matrix class offers the shared tag handler.
class TXmlTarget {
public:
  virtual ~TXmlTarget() = default;
  /// Resizes to the first Rank entries of Dims (all ≥ 1) and sets every cell to 0.
  virtual void ResizeZeroed(const TXmlIndex& Dims) = 0;
  /// Writes the value in Text to the cell Ix (inside the dimensions); a text
  /// that is not a value of the class is ignored.
  virtual void SetCell(const TXmlIndex& Ix, const std::string& Text) = 0;
  /// Called at the end of a matrix with its dimensions (a sparse integer
  /// matrix takes them back after its writes moved them to the entries' box).
  virtual void Finish(const TXmlIndex& /*Dims*/) {}
};

/// The dimensions a matrix of Rank axes takes from the pending ones: columns
/// and rows must be given and positive; a missing layer or time-slot count
/// is 1; a count on an axis the class lacks must be 1 (or missing). False
/// when the pending dimensions do not describe such a matrix.
bool EffectiveDims(const TXmlIndex& Pending, int Rank, TXmlIndex& Dims);

/// The tag handler of every matrix class (see ProcessXmlTag of the classes).
int32_t ProcessTag(TXmlPending& State, TXmlTarget& Target, int Rank, int32_t Tag, const std::string& Attr,
                   const std::string& Content);

// ---------------------------------------------------------------- values

/// A real cell value: decimal text with '.', or INF, -INF, NAN (any case);
/// blanks and line ends around it are ignored.
bool ParseXmlReal(const std::string& Text, double& Value);
/// An integer cell value in the int32 range; blanks and line ends around it
/// are ignored.
bool ParseXmlInt(const std::string& Text, int32_t& Value);
/// Cell text of a real value: the shortest text that reads back to the same
/// double when Decimals < 0, else fixed notation with Decimals decimals;
/// INF, -INF, NAN for the values without digits.
std::string XmlValueText(double Value, int32_t Decimals);
std::string XmlValueText(int32_t Value);

// ---------------------------------------------------------------- reading

/// Tag handler of the temporary that a reader fills.
using TTagHandler = std::function<int32_t(int32_t Tag, const std::string& Attr, const std::string& Content)>;
/// Reads a matrix element from an element source into a temporary and
/// commits it; supplied by each class.
class TXmlElementSource;
using TMatrixReader = std::function<bool(TXmlElementSource& Source)>;

/// Reads the first matrix element of Source whose id equals DataID (any
/// matrix when DataID is empty), descending into unknown enclosing elements.
/// The matrix's own tags go to Handler, framed by xmlMatBegin and xmlMatEnd.
/// True, with FoundID, when the element was complete: dimensions given
/// before the first cell and valid for Rank, no unknown or malformed element
/// inside. Allocation failures of the temporary (EVexaMatrixError) give false.
bool ReadMatrix(TXmlElementSource& Source, const std::string& DataID, int Rank, const TTagHandler& Handler,
                std::string& FoundID);

/// The reading entry points of the classes over ReadOne: from a stream's
/// position (false for nullptr) and from an open text file.
bool ReadXmlFromStream(TStream* InStream, const TMatrixReader& ReadOne);
bool ReadXmlFromTextFile(TTextReader& InFile, const TMatrixReader& ReadOne);

// ---------------------------------------------------------------- writing

/// Writes one matrix element, line by line.
class TXmlMatrixWriter {
public:
  using TEmitLine = std::function<void(const std::string& Line)>;
  TXmlMatrixWriter(TEmitLine EmitLine, int Rank) : FEmit(std::move(EmitLine)), FRank(Rank) {}
  /// The optional declaration, the start tag with the escaped id and the
  /// dimension elements of the rank.
  void Begin(bool CreateHeader, const std::string& ID, const TXmlIndex& Dims);
  /// One cell element.
  void Cell(const TXmlIndex& Ix, const std::string& ValueText);
  /// The end tag.
  void End();

private:
  TEmitLine FEmit;
  int FRank;
};

/// Writes the cells of a matrix through the writer (between Begin and End).
using TCellWriter = std::function<void(TXmlMatrixWriter& Writer)>;

/// The three writing entry points of the classes: false on a nullptr stream
/// or any failed write (the text file is closed by the writer then).
bool WriteXmlToStream(TStream* OutStream, bool CreateHeader, const std::string& ID, int Rank,
                   const TXmlIndex& Dims, const TCellWriter& Cells);
bool WriteXmlToTextFile(TTextWriter& OutFile, bool CreateHeader, const std::string& ID, int Rank,
                     const TXmlIndex& Dims, const TCellWriter& Cells);
bool SaveXmlFile(const std::string& FName, const std::string& ID, int Rank, const TXmlIndex& Dims,
                const TCellWriter& Cells);

}  // namespace vexa::matxml_detail
