// Vectors: the binary stream format, the plain numeric text file, the ASC
// text format and the CRC fingerprint. Everything read is treated as
// hostile: counts are checked against what the input holds before the vector
// is resized, and a short input ends the reading.

#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "foundation/Vexa_math1.h"
#include "fundora/Vexa_dstruct.h"
#include "fundora/Vexa_filesys.h"
#include "fundora/Vexa_streams.h"
#include "fundora/Vexa_stringl.h"
#include "linalg/internal/Vexa_fileio_detail.h"
#include "linalg/internal/Vexa_vector_detail.h"
#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_textfile.h"

namespace vexa {

using namespace vector_detail;
using namespace fileio_detail;

// ---------------------------------------------------------------- streams

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SaveRange(TStream& OutStream, int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  WriteStreamValue(OutStream, static_cast<TElem>(LowElem));
  WriteStreamValue(OutStream, static_cast<TElem>(HighElem));
  for (const TElem x : RangeValues(LowElem, HighElem)) {
    WriteStreamValue(OutStream, x);
  }
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SaveToStream(TMemoryStream*& OutStream, int32_t LowElem, int32_t HighElem) const {
  if (OutStream == nullptr) {
    OutStream = new TMemoryStream();  // the caller owns it
  }
  SaveRange(*OutStream, LowElem, HighElem);
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::SaveToStream(TFileStream* OutStream, int32_t LowElem, int32_t HighElem) const {
  if (OutStream != nullptr) {
    SaveRange(*OutStream, LowElem, HighElem);
  }
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::LoadFromStream(TStream* InStream, bool AdjustVectorSize) {
  if (InStream == nullptr) {
    return false;
  }
  int32_t Low = 0, High = 0;
  if (!ReadStreamIndex(*InStream, TElem{}, Low) || !ReadStreamIndex(*InStream, TElem{}, High) || Low < 1 ||
      Low > High) {
    return false;  // a bad header changes nothing
  }
  const int64_t Count = static_cast<int64_t>(High) - Low + 1;
  if (AdjustVectorSize && High != FNElem) {
    // Grow only for values the stream really holds, and never raise.
    const bool StreamHoldsValues = InStream->Remaining() >= Count * kStreamValueBytes<TElem>;
    if (StreamHoldsValues) {
      TryResize(High);
    }
  }
  bool Complete = FNElem >= High;
  if (Complete) {
    for (int32_t i = Low; i <= High; ++i) {
      TElem Value{};
      if (!ReadStreamValue(*InStream, Value)) {
        Complete = false;  // the stream ended: the rest stays as it was
        break;
      }
      SetElem(i, Value);
    }
  }
  Changed();
  return Complete;
}

// ---------------------------------------------------------------- plain text

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::StoreOnFileImpl(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                                               const std::string& FileName) const {
  if (FirstElem > LastElem) {
    std::swap(FirstElem, LastElem);
  }
  MakeValidElemRange(FirstElem, LastElem);
  if (Precision < -2) {
    Precision = 2;
  }
  Precision = std::min(Precision, 20);
  // The exponent forms fill their width: 13 gives 5 significant digits, 26
  // gives 18, enough for every double to read back exactly.
  const int32_t Width = Precision == -2 ? 26 : (Precision == -1 ? 13 : 1);
  try {
    TTextWriter Writer;
    Writer.Rewrite(FileName);
    Writer.WriteLn(IntToStr(FirstElem) + " " + IntToStr(LastElem));
    for (const TElem x : RangeValues(FirstElem, LastElem)) {
      if constexpr (kIsReal<TElem>) {
        Writer.WriteLn(FormatReal(x, Width, Precision));
      } else {
        Writer.WriteLn(IntToStr(x));
      }
    }
    Writer.Close();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::LoadFromFile(const std::string& FileName, bool AdjustVectorSize) {
  TTextReader Reader;
  if (!Reader.Open(FileName)) {
    return false;
  }
  int32_t First = 0, Last = 0;
  if (!Reader.ReadInteger(First) || !Reader.ReadInteger(Last) || First < 1 || First > Last) {
    return false;
  }
  const int64_t Count = static_cast<int64_t>(Last) - First + 1;
  const int64_t Available = CountWords(Reader, Count);
  if (AdjustVectorSize && Available >= Count) {
    TryResize(Last);  // justified by the file's contents
  }
  bool Complete = FNElem >= Last;
  if (Complete) {
    Reader.Close();
    if (!Reader.Open(FileName) || !Reader.ReadInteger(First) || !Reader.ReadInteger(Last)) {
      return false;
    }
    std::string Word;
    for (int32_t i = First; i <= Last; ++i) {
      TElem Value{};
      if (!Reader.ReadWord(Word)) {
        Complete = false;
        break;
      }
      if (ParseTextValue(Word, Value)) {
        SetElem(i, Value);
      } else {
        Complete = false;  // the element keeps its value
      }
    }
  }
  Changed();
  return Complete;
}

bool TVector::StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                          const std::string& FileName) const {
  return StoreOnFileImpl(FirstElem, LastElem, Precision, FileName);
}

bool TIntVector::StoreOnFile(int32_t FirstElem, int32_t LastElem, const std::string& FileName) const {
  return StoreOnFileImpl(FirstElem, LastElem, 0, FileName);
}

bool TVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect) {
  if (!AutoDetect) {
    return LoadFromFile(FileName, AdjustVectorSize);
  }
  TTextReader Reader;
  if (!Reader.Open(FileName)) {
    return false;
  }
  int64_t MarkedLines = 0;
  std::string Line;
  while (Reader.ReadLine(Line)) {
    if (Line.find("//dig") != std::string::npos) {
      ++MarkedLines;
    }
  }
  if (AdjustVectorSize && MarkedLines >= 1 && MarkedLines <= INT32_MAX) {
    TryResize(static_cast<int32_t>(MarkedLines));  // at most one element per line of the file
  }
  Reader.Close();
  if (!Reader.Open(FileName)) {
    return false;
  }
  // Words that are not numbers ("//dig") are skipped without using an element.
  int32_t Found = 0;
  std::string Word;
  while (Found < FNElem && Reader.ReadWord(Word)) {
    double Value = 0.0;
    if (ParseTextValue(Word, Value)) {
      ++Found;
      SetElem(Found, Value);
    }
  }
  Changed();
  return Found == FNElem;
}

// ---------------------------------------------------------------- ASC

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::ExportAsASCImpl(const std::string& FName, int32_t Precision,
                                                  const std::string& Comment) const {
  std::string FirstLine = ReplaceCharInString(ReplaceCharInString(Comment, '\n', ' '), '\r', ' ');
  if (FirstLine.empty()) {
    FirstLine = std::string("Exported by Vexa ") + Traits::kClassName + " component: " + FName;
  }
  try {
    TTextWriter Writer;
    Writer.Rewrite(FName);
    Writer.WriteLn(FirstLine);
    Writer.WriteLn("1\t;nr. of columns");
    Writer.WriteLn(IntToStr(FNElem) + "\t;nr. of rows");
    Writer.WriteLn("FALSE FALSE FALSE FALSE\t;row attributes, column names, row names, nominal variables");
    for (const TElem x : FVec) {
      if constexpr (kIsReal<TElem>) {
        Writer.WriteLn(strff(x, 12, Precision));
      } else {
        Writer.WriteLn(IntToStr(x));
      }
    }
    Writer.Close();
    return 0;
  } catch (const EInOutError&) {
    return -1;
  }
}

int32_t TVector::ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment) const {
  return ExportAsASCImpl(FName, Precision, Comment);
}

int32_t TIntVector::ExportAsASC(const std::string& FName, const std::string& Comment) const {
  return ExportAsASCImpl(FName, 0, Comment);
}

template <class Self, class TElem>
bool TVectorBase<Self, TElem>::TryResize(int32_t NE) {
  try {
    return Resize(NE);
  } catch (const EVexaVectorError&) {
    return false;  // the readers report a refused size through their result
  }
}

template <class Self, class TElem>
void TVectorBase<Self, TElem>::ShrinkAfterFailedRow(int32_t Row) {
  Resize(Row);  // the failing element keeps its previous value
  Changed();
}

template <class Self, class TElem>
int32_t TVectorBase<Self, TElem>::ImportASC(const std::string& FName, std::string& Comment) {
  if (!FileExists(FName)) {
    return ascFileNotFound;
  }
  TASCHeader Header;
  const int32_t HeaderCode = ReadHeaderOfASC(FName, Header);
  if (HeaderCode < 0) {
    return HeaderCode;
  }
  Comment = Header.Comment;
  if (Header.NrColumns != 1) {
    return ascTooManyColumns;
  }
  if (Header.NrRows < 1) {
    return ascBadValue;
  }
  TTextReader Reader;
  if (!Reader.Open(FName) || !SkipLines(Reader, kASCHeaderLines)) {
    return ascCannotOpen;
  }
  // Size the vector by the words the file really holds: a file that ends
  // early fails at row (words + 1) at the latest, so a forged row count
  // never allocates more than the file justifies.
  const int64_t WordsLeft = CountWords(Reader, Header.NrRows);
  Reader.Close();
  if (!Reader.Open(FName) || !SkipLines(Reader, kASCHeaderLines)) {
    return ascCannotOpen;
  }
  const auto Rows = static_cast<int32_t>(std::min<int64_t>(Header.NrRows, WordsLeft + 1));
  if (!TryResize(Rows)) {
    return ascBadValue;
  }

  std::string Name;
  if (Header.ColumnNames && !ParseQuotedName(Reader, '"', Name)) {
    ShrinkAfterFailedRow(1);
    return ascBadValue;
  }
  for (int32_t Row = 1; Row <= Rows; ++Row) {
    if (Header.RowAttributes) {
      double Attribute = 0.0;
      if (!TryStrToFloat(ReadNextWordInTextFile(Reader), Attribute, '.')) {
        ShrinkAfterFailedRow(Row);
        return ascBadRowAttribute;
      }
    }
    if (Header.RowNames && !ParseQuotedName(Reader, '"', Name)) {
      ShrinkAfterFailedRow(Row);
      return ascBadValue;
    }
    TElem Value{};
    if (!ParseASCValue(ReadNextWordInTextFile(Reader), Value)) {
      ShrinkAfterFailedRow(Row);
      return ascBadValue;
    }
    SetElem(Row, Value);
  }
  Changed();
  return 0;
}

// ---------------------------------------------------------------- CRC

template <class Self, class TElem>
std::string TVectorBase<Self, TElem>::CRCofData() const {
  using TBits = std::conditional_t<kIsReal<TElem>, uint64_t, uint32_t>;
  constexpr int Lanes = Traits::kCRCLanes;
  static_assert(sizeof(TBits) == Lanes);
  std::array<uint32_t, Lanes> CRC;
  CRC.fill(0xFFFFFFFFu);
  for (const TElem x : FVec) {
    // Byte j of the value's bit pattern (0 = least significant), whatever the
    // host's byte order.
    const auto Bits = std::bit_cast<TBits>(x);
    for (int j = 0; j < Lanes; ++j) {
      CRC[static_cast<size_t>(j)] =
          CalcNextCRC32(static_cast<uint8_t>(Bits >> (8 * j)), CRC[static_cast<size_t>(j)]);
    }
  }
  std::string Result;
  for (const uint32_t Lane : CRC) {
    Result += Hex(static_cast<int32_t>(~Lane), 8);
  }
  return Result;
}

#define VEXA_VECTOR_FILES(Self, TElem)                                                               \
  template void TVectorBase<Self, TElem>::SaveRange(TStream&, int32_t, int32_t) const;                \
  template void TVectorBase<Self, TElem>::SaveToStream(TMemoryStream*&, int32_t, int32_t) const;      \
  template void TVectorBase<Self, TElem>::SaveToStream(TFileStream*, int32_t, int32_t) const;         \
  template bool TVectorBase<Self, TElem>::LoadFromStream(TStream*, bool);                             \
  template bool TVectorBase<Self, TElem>::StoreOnFileImpl(int32_t, int32_t, int32_t, const std::string&) const; \
  template bool TVectorBase<Self, TElem>::LoadFromFile(const std::string&, bool);                     \
  template int32_t TVectorBase<Self, TElem>::ExportAsASCImpl(const std::string&, int32_t,             \
                                                             const std::string&) const;              \
  template bool TVectorBase<Self, TElem>::TryResize(int32_t);                                         \
  template void TVectorBase<Self, TElem>::ShrinkAfterFailedRow(int32_t);                              \
  template int32_t TVectorBase<Self, TElem>::ImportASC(const std::string&, std::string&);             \
  template std::string TVectorBase<Self, TElem>::CRCofData() const;

VEXA_FOR_BOTH_VECTORS(VEXA_VECTOR_FILES)

}  // namespace vexa
