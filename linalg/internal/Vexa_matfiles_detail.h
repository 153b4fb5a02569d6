#pragma once
// Internal to the matrix units (not installed): the stream, plain text and
// ASC formats of the 2-D matrices, shared by TMatrix and TIntMatrix. Readers
// fill a TCellRect (nothing of the matrix changes while reading); the class
// then merges it into a guarded new buffer and commits it in one step.

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_filesys.h"
#include "fundora/Vexa_stringl.h"
#include "linalg/Vexa_vector.h"
#include "linalg/internal/Vexa_fileio_detail.h"
#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_textfile.h"

namespace vexa::matfiles_detail {

using namespace fileio_detail;

/// Result codes of the matrices' ImportASC beyond the vector's.
inline constexpr int32_t ascNominalColumns = -7;  ///< nominal variables flagged
inline constexpr int32_t ascBadCustData = -9;     ///< malformed custom-data block

/// A rectangle of cells read from a file: its corners (1-based, inclusive)
/// and the cells column by column.
template <class TElem>
struct TCellRect {
  int32_t LoC = 1, LoR = 1, HiC = 1, HiR = 1;
  std::vector<TElem> Cells;
  int64_t NrCols() const { return int64_t{HiC} - LoC + 1; }
  int64_t NrRows() const { return int64_t{HiR} - LoR + 1; }
};

/// True when 1 ≤ Lo ≤ Hi on both axes.
template <class TElem>
bool ValidCorners(const TCellRect<TElem>& Rect) {
  return Rect.LoC >= 1 && Rect.LoC <= Rect.HiC && Rect.LoR >= 1 && Rect.LoR <= Rect.HiR;
}

/// Places Rect into Matrix: with Adjust the matrix becomes HiC × HiR, else
/// it keeps its size and must hold the rectangle. A guarded new buffer gets
/// the matrix's cells inside both shapes, zeros elsewhere and the rectangle's
/// cells; Commit(Nc, Nr, Buffer) then swaps it in. False (nothing committed)
/// when the rectangle does not fit or the buffer cannot be allocated.
template <class M, class TElem, class TCommit>
bool PlaceRect(const M& Matrix, const TCellRect<TElem>& Rect, bool Adjust, TCommit&& Commit) {
  const int32_t Nc = Adjust ? Rect.HiC : Matrix.NrOfColumns();
  const int32_t Nr = Adjust ? Rect.HiR : Matrix.NrOfRows();
  if (Rect.HiC > Nc || Rect.HiR > Nr) {
    return false;
  }
  std::vector<TElem> Data;
  try {
    Data = NewFlatStorage<EVexaMatrixError, TElem>(Matrix, {Nc, Nr});
  } catch (const EVexaMatrixError&) {
    return false;
  }
  const auto At = [Nr](int64_t c, int64_t r) { return static_cast<size_t>((c - 1) * Nr + (r - 1)); };
  const int32_t KeepC = std::min(Nc, Matrix.NrOfColumns());
  const int32_t KeepR = std::min(Nr, Matrix.NrOfRows());
  for (int32_t c = 1; c <= KeepC; ++c) {
    for (int32_t r = 1; r <= KeepR; ++r) {
      Data[At(c, r)] = Matrix.Elem(c, r);
    }
  }
  size_t k = 0;
  for (int64_t c = Rect.LoC; c <= Rect.HiC; ++c) {
    for (int64_t r = Rect.LoR; r <= Rect.HiR; ++r) {
      Data[At(c, r)] = Rect.Cells[k++];
    }
  }
  Commit(Nc, Nr, Data);
  return true;
}

// ---------------------------------------------------------------- streams

/// The stream format: LoC, LoR, HiC, HiR, then the cells column by column;
/// extended reals for TMatrix, int32 for TIntMatrix. Ranges already validated.
template <class M>
void WriteStreamRect(TStream& OutStream, const M& Matrix, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) {
  using TElem = decltype(Matrix.Elem(1, 1));
  for (const int32_t Index : {LoC, LoR, HiC, HiR}) {
    WriteStreamValue(OutStream, static_cast<TElem>(Index));
  }
  for (int32_t c = LoC; c <= HiC; ++c) {
    for (int32_t r = LoR; r <= HiR; ++r) {
      WriteStreamValue(OutStream, Matrix.Elem(c, r));
    }
  }
}

/// Reads the stream format. False for indices that are not finite int32
/// with 1 ≤ low ≤ high, and when the stream holds fewer cells than promised
/// (checked before anything is allocated).
template <class TElem>
bool ReadStreamRect(TStream& InStream, TCellRect<TElem>& Rect) {
  for (int32_t* Index : {&Rect.LoC, &Rect.LoR, &Rect.HiC, &Rect.HiR}) {
    if (!ReadStreamIndex(InStream, TElem{}, *Index)) {
      return false;
    }
  }
  if (!ValidCorners(Rect)) {
    return false;
  }
  const int64_t Count = Rect.NrCols() * Rect.NrRows();  // < 2^62
  if (Count > InStream.Remaining() / kStreamValueBytes<TElem>) {
    return false;
  }
  Rect.Cells.resize(static_cast<size_t>(Count));
  for (TElem& Value : Rect.Cells) {
    if (!ReadStreamValue(InStream, Value)) {
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------- plain text

/// The plain text file: "LoC LoR HiC HiR", then one line per row with the
/// values separated by blanks (reals as FormatReal with the vector's width
/// rules for Precision, integers plain). False when the file cannot be
/// written completely.
template <class M>
bool WriteTextFile(const M& Matrix, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR, int32_t Precision,
                   const std::string& FileName) {
  Precision = Precision < -2 ? 2 : std::min(Precision, 20);
  // The exponent forms fill their width: 13 gives 5 significant digits, 26 gives 18.
  const int32_t Width = Precision == -2 ? 26 : (Precision == -1 ? 13 : 1);
  try {
    TTextWriter Writer;
    Writer.Rewrite(FileName);
    Writer.WriteLn(IntToStr(LoC) + " " + IntToStr(LoR) + " " + IntToStr(HiC) + " " + IntToStr(HiR));
    for (int32_t r = LoR; r <= HiR; ++r) {
      std::string Line;
      for (int32_t c = LoC; c <= HiC; ++c) {
        const auto x = Matrix.Elem(c, r);
        if constexpr (std::is_same_v<decltype(x), const double>) {
          Line += StripLTBlanks(FormatReal(x, Width, Precision));
        } else {
          Line += IntToStr(x);
        }
        Line += c < HiC ? " " : "";
      }
      Writer.WriteLn(Line);
    }
    Writer.Close();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

/// Reads the plain text file: four indices with 1 ≤ low ≤ high, then exactly
/// the cells of the rectangle, row by row, as whitespace-separated words.
/// False for a missing or unreadable value (the file's words bound what is
/// allocated).
template <class TElem>
bool ReadTextFile(const std::string& FileName, TCellRect<TElem>& Rect) {
  TTextReader Reader;
  if (!Reader.Open(FileName) || !Reader.ReadInteger(Rect.LoC) || !Reader.ReadInteger(Rect.LoR) ||
      !Reader.ReadInteger(Rect.HiC) || !Reader.ReadInteger(Rect.HiR) || !ValidCorners(Rect)) {
    return false;
  }
  const int64_t Cols = Rect.NrCols(), Rows = Rect.NrRows();
  std::vector<TElem> RowMajor;
  std::string Word;
  while (static_cast<int64_t>(RowMajor.size()) < Cols * Rows && Reader.ReadWord(Word)) {
    TElem Value{};
    if (!ParseTextValue(Word, Value)) {
      return false;
    }
    RowMajor.push_back(Value);
  }
  if (static_cast<int64_t>(RowMajor.size()) != Cols * Rows) {
    return false;
  }
  Rect.Cells.resize(RowMajor.size());
  for (int64_t r = 0; r < Rows; ++r) {
    for (int64_t c = 0; c < Cols; ++c) {
      Rect.Cells[static_cast<size_t>(c * Rows + r)] = RowMajor[static_cast<size_t>(r * Cols + c)];
    }
  }
  return true;
}

// ---------------------------------------------------------------- ASC

/// A custom-data field: in double quotes, quotes doubled, line ends as blanks.
inline std::string QuoteField(const std::string& Field) {
  std::string Result = "\"";
  for (const char c : Field) {
    if (c == '"') {
      Result += "\"\"";
    } else {
      Result += (c == '\r' || c == '\n') ? ' ' : c;
    }
  }
  return Result + "\"";
}

/// Splits a custom-data line into exactly Count quoted fields separated by
/// tabs; false for anything else.
inline bool SplitQuotedFields(const std::string& Line, size_t Count, std::vector<std::string>& Fields) {
  Fields.clear();
  size_t Pos = 0;
  while (Pos < Line.size() || Fields.size() < Count) {
    if (Fields.size() == Count || Pos >= Line.size() || Line[Pos] != '"') {
      return false;
    }
    std::string Field;
    ++Pos;
    while (true) {
      if (Pos >= Line.size()) {
        return false;  // no closing quote
      }
      if (Line[Pos] == '"') {
        if (Pos + 1 < Line.size() && Line[Pos + 1] == '"') {
          Field += '"';
          Pos += 2;
          continue;
        }
        ++Pos;
        break;
      }
      Field += Line[Pos++];
    }
    Fields.push_back(std::move(Field));
    if (Pos < Line.size()) {
      if (Line[Pos] != '\t' || Pos + 1 == Line.size()) {
        return false;
      }
      ++Pos;
    }
  }
  return Fields.size() == Count;
}

/// Writes the ASC file: the header with the matrix's counts, one line per row
/// (values separated by tabs; reals through strff with width 12 and
/// Precision decimals, integers plain), then, when CustData is given, the
/// block "CUSTDATA<tab>cols<tab>rows" and one line of quoted fields per row.
/// 0, or −1 when the file cannot be written.
template <class M>
int32_t WriteASC(const M& Matrix, const char* ClassName, const std::string& FName, int32_t Precision,
                 const std::string& Comment, const TStr2DArray* CustData) {
  std::string FirstLine = ReplaceCharInString(ReplaceCharInString(Comment, '\n', ' '), '\r', ' ');
  if (FirstLine.empty()) {
    FirstLine = std::string("Exported by Vexa ") + ClassName + " component: " + FName;
  }
  try {
    TTextWriter Writer;
    Writer.Rewrite(FName);
    Writer.WriteLn(FirstLine);
    Writer.WriteLn(IntToStr(Matrix.NrOfColumns()) + "\t;nr. of columns");
    Writer.WriteLn(IntToStr(Matrix.NrOfRows()) + "\t;nr. of rows");
    Writer.WriteLn("FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables");
    for (int32_t r = 1; r <= Matrix.NrOfRows(); ++r) {
      std::string Line;
      for (int32_t c = 1; c <= Matrix.NrOfColumns(); ++c) {
        const auto x = Matrix.Elem(c, r);
        if constexpr (std::is_same_v<decltype(x), const double>) {
          Line += strff(x, 12, Precision);
        } else {
          Line += IntToStr(x);
        }
        Line += c < Matrix.NrOfColumns() ? "\t" : "";
      }
      Writer.WriteLn(Line);
    }
    if (CustData != nullptr) {
      size_t Rows = 0;
      for (const TStrArray& Column : *CustData) {
        Rows = std::max(Rows, Column.size());
      }
      const size_t Cols = Rows == 0 ? 0 : CustData->size();
      Writer.WriteLn("CUSTDATA\t" + IntToStr(static_cast<int64_t>(Cols)) + "\t" +
                     IntToStr(static_cast<int64_t>(Rows)));
      for (size_t r = 0; r < Rows; ++r) {
        std::string Line;
        for (size_t c = 0; c < Cols; ++c) {
          const TStrArray& Column = (*CustData)[c];
          Line += QuoteField(r < Column.size() ? Column[r] : std::string()) + (c + 1 < Cols ? "\t" : "");
        }
        Writer.WriteLn(Line);
      }
    }
    Writer.Close();
    return 0;
  } catch (const EInOutError&) {
    return -1;
  }
}

/// The next line that holds more than blanks and tabs; false at the end.
inline bool NextNonBlankLine(TTextReader& Reader, std::string& Line) {
  while (Reader.ReadLine(Line)) {
    if (!StripLTBlanks(Line).empty()) {
      return true;
    }
  }
  return false;
}

/// The words of a text separated by blanks and tabs.
inline std::vector<std::string> WordsOf(const std::string& Text) {
  std::vector<std::string> Words;
  for (std::string& Field : Tokenize(Text, " \t")) {
    if (!Field.empty()) {
      Words.push_back(std::move(Field));
    }
  }
  return Words;
}

/// One data line of an ASC file: optional row attribute (−5 when not a
/// number), optional quoted row name, then exactly Cols values (−6 otherwise).
template <class TElem>
int32_t ParseASCRow(const std::string& Line, const TASCHeader& Header, std::vector<TElem>& Row) {
  int32_t Pos = 1;
  std::string Rest = Line;
  if (Header.RowAttributes) {
    std::vector<std::string> Words = WordsOf(Line);
    double Attribute = 0.0;
    if (Words.empty() || !TryStrToFloat(Words[0], Attribute, '.')) {
      return ascBadRowAttribute;
    }
    const size_t At = Line.find(Words[0]);
    Rest = Line.substr(At + Words[0].size());
  }
  if (Header.RowNames) {
    std::string Name;
    if (!ParseQuotedName(Rest, Pos, '"', Name)) {
      return ascBadValue;
    }
    Rest = Rest.substr(static_cast<size_t>(Pos - 1));
  }
  const std::vector<std::string> Words = WordsOf(Rest);
  if (Words.size() != static_cast<size_t>(Header.NrColumns)) {
    return ascBadValue;
  }
  Row.resize(Words.size());
  for (size_t c = 0; c < Words.size(); ++c) {
    if (!ParseASCValue(Words[c], Row[c])) {
      return ascBadValue;
    }
  }
  return 0;
}

/// Reads the custom-data block after the rows: absent (nothing but blank
/// lines left) gives an empty CustData; otherwise "CUSTDATA cols rows" and
/// rows lines of cols quoted fields, else ascBadCustData.
inline int32_t ReadCustData(TTextReader& Reader, TStr2DArray& CustData) {
  CustData.clear();
  std::string Line;
  if (!NextNonBlankLine(Reader, Line)) {
    return 0;
  }
  const std::vector<std::string> Words = WordsOf(Line);
  int32_t Cols = 0, Rows = 0;
  if (Words.size() != 3 || Words[0] != "CUSTDATA" || !TryStrToInt(Words[1], Cols) ||
      !TryStrToInt(Words[2], Rows) || Cols < 0 || Rows < 0 || (Cols == 0) != (Rows == 0)) {
    return ascBadCustData;
  }
  // Rows are read line by line, so the file's size bounds what is allocated.
  std::vector<std::vector<std::string>> ByRow;
  std::vector<std::string> Fields;
  for (int32_t r = 0; r < Rows; ++r) {
    if (!Reader.ReadLine(Line) || !SplitQuotedFields(Line, static_cast<size_t>(Cols), Fields)) {
      return ascBadCustData;
    }
    ByRow.push_back(Fields);
  }
  CustData.assign(static_cast<size_t>(Cols), TStrArray(static_cast<size_t>(Rows)));
  for (size_t r = 0; r < ByRow.size(); ++r) {
    for (size_t c = 0; c < ByRow[r].size(); ++c) {
      CustData[c][r] = std::move(ByRow[r][c]);
    }
  }
  return 0;
}

/// Reads an ASC file into Rect (the whole matrix). Codes: −8 missing file,
/// the header's −1 … −4, −7 nominal variables flagged, −6 a column name,
/// value or row name missing or unreadable or a row with another number of
/// values, −5 a row attribute that is not a number, −9 a malformed custom
/// data block (read only when CustData is given). Comment and CustData are
/// set only on success.
template <class TElem>
int32_t ReadASC(const std::string& FName, std::string& Comment, TStr2DArray* CustData, TCellRect<TElem>& Rect) {
  if (!FileExists(FName)) {
    return ascFileNotFound;
  }
  TASCHeader Header;
  const int32_t HeaderCode = ReadHeaderOfASC(FName, Header);
  if (HeaderCode < 0) {
    return HeaderCode;
  }
  if (Header.NominalVars) {
    return ascNominalColumns;  // nominal columns have no numeric cells
  }
  TTextReader Reader;
  if (!Reader.Open(FName) || !SkipLines(Reader, kASCHeaderLines)) {
    return ascCannotOpen;
  }
  std::string Line;
  if (Header.ColumnNames) {
    int32_t Pos = 1;
    std::string Name;
    if (!NextNonBlankLine(Reader, Line)) {
      return ascBadValue;
    }
    for (int32_t c = 0; c < Header.NrColumns; ++c) {
      if (!ParseQuotedName(Line, Pos, '"', Name)) {
        return ascBadValue;
      }
    }
  }
  Rect = TCellRect<TElem>{1, 1, Header.NrColumns, Header.NrRows, {}};
  std::vector<TElem> RowMajor;  // grows with the lines really present
  std::vector<TElem> Row;
  for (int32_t r = 0; r < Header.NrRows; ++r) {
    if (!NextNonBlankLine(Reader, Line)) {
      return ascBadValue;
    }
    const int32_t Code = ParseASCRow(Line, Header, Row);
    if (Code != 0) {
      return Code;
    }
    RowMajor.insert(RowMajor.end(), Row.begin(), Row.end());
  }
  TStr2DArray Custom;
  if (CustData != nullptr) {
    const int32_t Code = ReadCustData(Reader, Custom);
    if (Code != 0) {
      return Code;
    }
  }
  const int64_t Cols = Header.NrColumns, Rows = Header.NrRows;
  Rect.Cells.resize(RowMajor.size());
  for (int64_t r = 0; r < Rows; ++r) {
    for (int64_t c = 0; c < Cols; ++c) {
      Rect.Cells[static_cast<size_t>(c * Rows + r)] = RowMajor[static_cast<size_t>(r * Cols + c)];
    }
  }
  Comment = Header.Comment;
  if (CustData != nullptr) {
    *CustData = std::move(Custom);
  }
  return 0;
}

}  // namespace vexa::matfiles_detail
