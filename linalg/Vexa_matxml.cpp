// The XML core of the matrix classes: tag handling, the reading loop with
// its checks, value text and the writer. Everything read is hostile: counts
// and indices are parsed with overflow checks, dimensions must come before
// the first cell, and allocation failures of the temporary give false.

#include "linalg/internal/Vexa_matxml.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "foundation/Vexa_errors.h"
#include "fundora/Vexa_streams.h"
#include "fundora/Vexa_stringl.h"
#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_strutils.h"

namespace vexa::matxml_detail {

namespace {

/// Deepest nesting of unknown elements searched for a matrix.
constexpr int kMaxEnclosingDepth = 8;

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

/// Text without blanks, tabs and line ends at either end.
std::string_view TrimXml(std::string_view S) {
  while (!S.empty() && IsXmlSpace(S.front())) {
    S.remove_prefix(1);
  }
  while (!S.empty() && IsXmlSpace(S.back())) {
    S.remove_suffix(1);
  }
  return S;
}

/// The integer reader of the tags: skips blanks and line ends, takes one
/// optional sign and the decimal digits up to the first other character. At
/// least one digit; false when the value leaves the int32 range. End
/// receives the position after the digits.
bool ReadXmlInteger(std::string_view S, size_t Pos, int32_t& Value, size_t& End) {
  while (Pos < S.size() && IsXmlSpace(S[Pos])) {
    ++Pos;
  }
  bool Negative = false;
  if (Pos < S.size() && (S[Pos] == '+' || S[Pos] == '-')) {
    Negative = S[Pos] == '-';
    ++Pos;
  }
  const size_t First = Pos;
  int64_t Magnitude = 0;
  constexpr int64_t Limit = int64_t{1} << 31;  // |INT32_MIN|
  while (Pos < S.size() && S[Pos] >= '0' && S[Pos] <= '9') {
    Magnitude = Magnitude * 10 + (S[Pos] - '0');
    if (Magnitude > Limit) {
      return false;
    }
    ++Pos;
  }
  if (Pos == First || (!Negative && Magnitude == Limit)) {
    return false;
  }
  Value = static_cast<int32_t>(Negative ? -Magnitude : Magnitude);
  End = Pos;
  return true;
}

/// Position of the value of attribute Name in Attr (just after its opening
/// quote), and the quote character. Name must stand as a whole word: at the
/// start or after a blank, followed by '=' (blanks allowed around it) and a
/// quote; "unit=\"3\"" is not the attribute "it".
bool FindAttribute(std::string_view Attr, std::string_view Name, size_t& ValuePos, char& Quote) {
  for (size_t At = Attr.find(Name); At != std::string_view::npos; At = Attr.find(Name, At + 1)) {
    if (At > 0 && !IsXmlSpace(Attr[At - 1])) {
      continue;
    }
    size_t Pos = At + Name.size();
    while (Pos < Attr.size() && IsXmlSpace(Attr[Pos])) {
      ++Pos;
    }
    if (Pos >= Attr.size() || Attr[Pos] != '=') {
      continue;
    }
    ++Pos;
    while (Pos < Attr.size() && IsXmlSpace(Attr[Pos])) {
      ++Pos;
    }
    if (Pos < Attr.size() && (Attr[Pos] == '"' || Attr[Pos] == '\'')) {
      Quote = Attr[Pos];
      ValuePos = Pos + 1;
      return true;
    }
  }
  return false;
}

/// The integer value of attribute Name.
bool IntAttribute(std::string_view Attr, std::string_view Name, int32_t& Value) {
  size_t Pos = 0, End = 0;
  char Quote = '"';
  return FindAttribute(Attr, Name, Pos, Quote) && ReadXmlInteger(Attr, Pos, Value, End);
}

/// Text with the five predefined entities replaced by their characters;
/// other '&' sequences stay as they are.
std::string UnescapeXml(std::string_view S) {
  static constexpr std::array<std::pair<std::string_view, char>, 5> Entities{
      {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
  std::string Result;
  for (size_t i = 0; i < S.size();) {
    bool Replaced = false;
    if (S[i] == '&') {
      for (const auto& [Entity, Char] : Entities) {
        if (S.substr(i, Entity.size()) == Entity) {
          Result += Char;
          i += Entity.size();
          Replaced = true;
          break;
        }
      }
    }
    if (!Replaced) {
      Result += S[i++];
    }
  }
  return Result;
}

/// The id attribute of a matrix start tag, unescaped; empty when absent.
std::string MatrixID(std::string_view Attr) {
  size_t Pos = 0;
  char Quote = '"';
  if (!FindAttribute(Attr, "id", Pos, Quote)) {
    return "";
  }
  const size_t End = Attr.find(Quote, Pos);
  return UnescapeXml(Attr.substr(Pos, End == std::string_view::npos ? std::string_view::npos : End - Pos));
}

std::string EscapeXml(const std::string& S) {
  std::string Result;
  for (const char c : S) {
    switch (c) {
      case '&': Result += "&amp;"; break;
      case '<': Result += "&lt;"; break;
      case '>': Result += "&gt;"; break;
      case '"': Result += "&quot;"; break;
      default: Result += c;
    }
  }
  return Result;
}

/// True when S holds from Pos on nothing but text, comments, declarations
/// and processing instructions, i.e. no further element.
bool NoFurtherElement(const std::string& S, size_t Pos) {
  while (true) {
    Pos = S.find('<', Pos);
    if (Pos == std::string::npos) {
      return true;
    }
    std::string_view Closer;
    if (S.compare(Pos, 4, "<!--") == 0) {
      Closer = "-->";
    } else if (S.compare(Pos, 2, "<?") == 0) {
      Closer = "?>";
    } else if (S.compare(Pos, 2, "<!") == 0) {
      Closer = ">";
    } else {
      return false;
    }
    const size_t End = S.find(Closer, Pos + 2);
    if (End == std::string::npos) {
      return false;  // an unterminated comment is malformed
    }
    Pos = End + Closer.size();
  }
}

/// Cell attribute names of each rank.
const char* const* CellAttributes(int Rank) {
  static constexpr const char* Two[] = {"ix", "iy"};
  static constexpr const char* Three[] = {"ix", "iy", "iz"};
  static constexpr const char* Four[] = {"ix", "iy", "il", "it"};
  return Rank == 2 ? Two : (Rank == 3 ? Three : Four);
}

/// A dimension element's count: the integer, or 0 when it is unreadable or
/// not positive.
int32_t DimCount(const std::string& Content) {
  int32_t Value = 0;
  size_t End = 0;
  return ReadXmlInteger(Content, 0, Value, End) && Value > 0 ? Value : 0;
}

/// The cell at the first cell of a matrix (and at its end without cells):
/// resizes to the pending dimensions and zero-fills.
bool StartCells(TXmlPending& State, TXmlTarget& Target, int Rank) {
  TXmlIndex Dims{};
  if (!EffectiveDims(State.Dims, Rank, Dims)) {
    return false;
  }
  Target.ResizeZeroed(Dims);
  State.FirstCell = false;
  return true;
}

void ProcessCell(TXmlPending& State, TXmlTarget& Target, int Rank, const std::string& Attr,
                 const std::string& Content) {
  if (State.FirstCell && !StartCells(State, Target, Rank)) {
    return;  // no dimensions to place the cell in
  }
  TXmlIndex Dims{};
  EffectiveDims(State.Dims, Rank, Dims);
  TXmlIndex Ix{1, 1, 1, 1};
  const char* const* Names = CellAttributes(Rank);
  for (int Axis = 0; Axis < Rank; ++Axis) {
    const auto a = static_cast<size_t>(Axis);
    if (!IntAttribute(Attr, Names[Axis], Ix[a]) || Ix[a] < 1 || Ix[a] > Dims[a]) {
      return;  // missing, overflowing or outside: the cell is skipped
    }
  }
  Target.SetCell(Ix, Content);
}

// ---------------------------------------------------------------- element sources

}  // namespace

/// The elements of an input, one after the other.
class TXmlElementSource {
public:
  virtual ~TXmlElementSource() = default;
  /// The next element: its tag index in kMatXmlTagNames, attributes and content.
  virtual int32_t Next(std::string& Attr, std::string& Content) = 0;
  /// True when the input is used up.
  virtual bool AtEnd() = 0;
};

namespace {

class TStreamSource : public TXmlElementSource {
public:
  explicit TStreamSource(TStream& InStream) : FStream(InStream) {}
  int32_t Next(std::string& Attr, std::string& Content) override {
    return ReadNextTagInStream(FStream, kMatXmlTagNames, Attr, Content);
  }
  bool AtEnd() override { return FStream.Remaining() <= 0; }

private:
  TStream& FStream;
};

class TTextSource : public TXmlElementSource {
public:
  explicit TTextSource(TTextReader& InFile) : FFile(InFile) {}
  int32_t Next(std::string& Attr, std::string& Content) override {
    return ReadNextTagInTextFile(FFile, kMatXmlTagNames, Attr, Content);
  }
  bool AtEnd() override { return FFile.Eof(); }

private:
  TTextReader& FFile;
};

class TStringSource : public TXmlElementSource {
public:
  explicit TStringSource(const std::string& Text) : FText(Text) {}
  int32_t Next(std::string& Attr, std::string& Content) override {
    return ReadNextTagInString(FText, FPos, kMatXmlTagNames, Attr, Content);
  }
  bool AtEnd() override { return static_cast<size_t>(FPos) > FText.size(); }

private:
  const std::string& FText;
  int32_t FPos = 1;
};

bool IsDimTag(int32_t Tag) {
  return Tag == xmlMatNumCols || Tag == xmlMatNumRows || Tag == xmlMatNumLayers || Tag == xmlMatNumTimeSlots;
}

/// Feeds the content of one matrix element to Handler with the reader's
/// checks: dimensions before the first cell and valid for Rank, only known
/// elements inside.
bool ReadMatrixContent(const std::string& Attr, const std::string& Content, int Rank,
                       const TTagHandler& Handler) {
  Handler(xmlMatBegin, Attr, "");
  TXmlIndex Pending{kDimNotGiven, kDimNotGiven, kDimNotGiven, kDimNotGiven};
  TXmlIndex Dims{};
  bool CellsStarted = false;
  int32_t Pos = 1;
  std::string TagAttr, TagContent;
  while (!NoFurtherElement(Content, static_cast<size_t>(Pos - 1))) {
    const int32_t Tag = ReadNextTagInString(Content, Pos, kMatXmlTagNames, TagAttr, TagContent);
    if (IsDimTag(Tag)) {
      if (CellsStarted) {
        return false;  // a dimension after the cells would not describe them
      }
      Pending[static_cast<size_t>(Tag - xmlMatNumCols)] = DimCount(TagContent);
    } else if (Tag == xmlMatCell) {
      if (!CellsStarted && !EffectiveDims(Pending, Rank, Dims)) {
        return false;
      }
      CellsStarted = true;
    } else {
      return false;  // unknown, malformed, truncated or nested matrix
    }
    Handler(Tag, TagAttr, TagContent);
  }
  if (!CellsStarted && !EffectiveDims(Pending, Rank, Dims)) {
    return false;
  }
  return Handler(xmlMatEnd, "", "") == 1;
}

bool FindAndReadMatrix(TXmlElementSource& Source, const std::string& DataID, int Rank,
                       const TTagHandler& Handler, std::string& FoundID, int Depth) {
  std::string Attr, Content;
  while (true) {
    const int32_t Tag = Source.Next(Attr, Content);
    if (Tag == xmlMatBegin) {
      const std::string ID = MatrixID(Attr);
      if (DataID.empty() || ID == DataID) {
        if (!ReadMatrixContent(Attr, Content, Rank, Handler)) {
          return false;
        }
        FoundID = ID;
        return true;
      }
    } else if (Tag == xmlInvalid && !Content.empty() && Depth < kMaxEnclosingDepth) {
      TStringSource Inner(Content);  // an enclosing element: look inside
      if (FindAndReadMatrix(Inner, DataID, Rank, Handler, FoundID, Depth + 1)) {
        return true;
      }
    }
    if (Source.AtEnd()) {
      return false;
    }
  }
}

void WriteLines(const TXmlMatrixWriter::TEmitLine& Emit, bool CreateHeader, const std::string& ID, int Rank,
                const TXmlIndex& Dims, const TCellWriter& Cells) {
  TXmlMatrixWriter Writer(Emit, Rank);
  Writer.Begin(CreateHeader, ID, Dims);
  Cells(Writer);
  Writer.End();
}

}  // namespace

// ---------------------------------------------------------------- tag handling

bool EffectiveDims(const TXmlIndex& Pending, int Rank, TXmlIndex& Dims) {
  for (size_t Axis = 0; Axis < Pending.size(); ++Axis) {
    const int32_t Given = Pending[Axis];
    const bool Owned = static_cast<int>(Axis) < Rank;
    if (Axis < 2) {
      if (Given <= 0) {
        return false;  // columns and rows must be given
      }
    } else if (Given == 0 || (!Owned && Given > 1)) {
      return false;
    }
    Dims[Axis] = Given == kDimNotGiven ? 1 : Given;
  }
  return true;
}

int32_t ProcessTag(TXmlPending& State, TXmlTarget& Target, int Rank, int32_t Tag, const std::string& Attr,
                   const std::string& Content) {
  switch (Tag) {
    case xmlMatNumCols:
    case xmlMatNumRows:
    case xmlMatNumLayers:
    case xmlMatNumTimeSlots:
      State.Dims[static_cast<size_t>(Tag - xmlMatNumCols)] = DimCount(Content);
      return 0;
    case xmlMatCell:
      ProcessCell(State, Target, Rank, Attr, Content);
      return 0;
    case xmlMatBegin:
      State = TXmlPending{};
      return 0;
    case xmlMatEnd: {
      if (State.FirstCell) {
        StartCells(State, Target, Rank);  // a matrix without cells is all zeros
      }
      TXmlIndex Dims{};
      if (!State.FirstCell && EffectiveDims(State.Dims, Rank, Dims)) {
        Target.Finish(Dims);
      }
      State.FirstCell = true;
      return 1;
    }
    case xmlInvalid:
      return -1;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------- values

bool ParseXmlReal(const std::string& Text, double& Value) {
  const std::string Word(TrimXml(Text));
  constexpr double Inf = std::numeric_limits<double>::infinity();
  if (SameText(Word, "INF") || SameText(Word, "+INF")) {
    Value = Inf;
  } else if (SameText(Word, "-INF")) {
    Value = -Inf;
  } else if (SameText(Word, "NAN")) {
    Value = std::numeric_limits<double>::quiet_NaN();
  } else {
    return TryStrToFloat(Word, Value, '.');
  }
  return true;
}

bool ParseXmlInt(const std::string& Text, int32_t& Value) {
  const std::string_view Word = TrimXml(Text);
  size_t End = 0;
  int32_t Read = 0;
  if (!ReadXmlInteger(Word, 0, Read, End) || End != Word.size()) {
    return false;
  }
  Value = Read;
  return true;
}

std::string XmlValueText(double Value, int32_t Decimals) {
  if (std::isnan(Value)) {
    return "NAN";
  }
  if (std::isinf(Value)) {
    return Value > 0 ? "INF" : "-INF";
  }
  if (Decimals >= 0) {
    return std::string(TrimXml(FormatReal(Value, 1, Decimals)));
  }
  char Buffer[32];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
  return std::string(Buffer, Result.ptr);
}

std::string XmlValueText(int32_t Value) { return IntToStr(Value); }

// ---------------------------------------------------------------- reading

bool ReadMatrix(TXmlElementSource& Source, const std::string& DataID, int Rank, const TTagHandler& Handler,
                std::string& FoundID) {
  try {
    return FindAndReadMatrix(Source, DataID, Rank, Handler, FoundID, 0);
  } catch (const EVexaMatrixError&) {
    return false;  // the temporary could not take the dimensions
  }
}

bool ReadXmlFromStream(TStream* InStream, const TMatrixReader& ReadOne) {
  if (InStream == nullptr) {
    return false;
  }
  TStreamSource Source(*InStream);
  return ReadOne(Source);
}

bool ReadXmlFromTextFile(TTextReader& InFile, const TMatrixReader& ReadOne) {
  if (!InFile.IsOpen()) {
    return false;
  }
  TTextSource Source(InFile);
  return ReadOne(Source);
}

// ---------------------------------------------------------------- writing

void TXmlMatrixWriter::Begin(bool CreateHeader, const std::string& ID, const TXmlIndex& Dims) {
  if (CreateHeader) {
    FEmit("<?xml version=\"1.0\"?>");
  }
  FEmit("<matrix id=\"" + EscapeXml(ID) + "\">");
  static constexpr std::array<TMatXmlTag, 4> DimTags{xmlMatNumCols, xmlMatNumRows, xmlMatNumLayers,
                                                     xmlMatNumTimeSlots};
  for (int Axis = 0; Axis < FRank; ++Axis) {
    const std::string& Name = kMatXmlTagNames[DimTags[static_cast<size_t>(Axis)]];
    FEmit("  <" + Name + ">" + IntToStr(Dims[static_cast<size_t>(Axis)]) + "</" + Name + ">");
  }
}

void TXmlMatrixWriter::Cell(const TXmlIndex& Ix, const std::string& ValueText) {
  std::string Line = "  <cell";
  const char* const* Names = CellAttributes(FRank);
  for (int Axis = 0; Axis < FRank; ++Axis) {
    Line += std::string(" ") + Names[Axis] + "=\"" + IntToStr(Ix[static_cast<size_t>(Axis)]) + "\"";
  }
  FEmit(Line + ">" + ValueText + "</cell>");
}

void TXmlMatrixWriter::End() { FEmit("</matrix>"); }

bool WriteXmlToStream(TStream* OutStream, bool CreateHeader, const std::string& ID, int Rank,
                   const TXmlIndex& Dims, const TCellWriter& Cells) {
  if (OutStream == nullptr) {
    return false;
  }
  try {
    WriteLines([&](const std::string& Line) { WriteLnStream(*OutStream, Line); }, CreateHeader, ID, Rank, Dims,
               Cells);
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}

bool WriteXmlToTextFile(TTextWriter& OutFile, bool CreateHeader, const std::string& ID, int Rank,
                     const TXmlIndex& Dims, const TCellWriter& Cells) {
  try {
    WriteLines([&](const std::string& Line) { OutFile.WriteLn(Line); }, CreateHeader, ID, Rank, Dims, Cells);
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

bool SaveXmlFile(const std::string& FName, const std::string& ID, int Rank, const TXmlIndex& Dims,
                const TCellWriter& Cells) {
  TTextWriter OutFile;
  try {
    OutFile.Rewrite(FName);
    WriteLines([&](const std::string& Line) { OutFile.WriteLn(Line); }, true, ID, Rank, Dims, Cells);
    OutFile.Close();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

}  // namespace vexa::matxml_detail
