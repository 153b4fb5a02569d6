// Array files of Vexa_openarrays: the text format of StoreArray / LoadArray
// and the block file (foundation/internal/Vexa_blockfile.h, shared with the
// matrices) of SaveBinaryArray / LoadBinaryArray. Both readers treat the file
// as hostile: sizes are checked against the file's size before anything is
// allocated, truncation is detected, and the destination changes only on
// success.

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "foundation/internal/Vexa_blockfile.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_intmath.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_strutils.h"
#include "platform/Vexa_textfile.h"

namespace vexa {

namespace {

using namespace arraycore;
using blockfile::TBlockHeader;

// ---------------------------------------------------------------- text format

/// Value text: shortest text that reads back to the same double, '.' as
/// separator; NaN and infinities as NaN, Inf, -Inf.
std::string ValueText(double x) {
  if (std::isnan(x)) {
    return "NaN";
  }
  if (std::isinf(x)) {
    return x > 0 ? "Inf" : "-Inf";
  }
  char Buffer[32];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), x);
  return std::string(Buffer, Result.ptr);
}
std::string ValueText(int32_t x) { return IntToStr(x); }

/// Parses a value; 0, -2 malformed, -3 a real text where an integer belongs.
int32_t ParseValue(const std::string& Word, double& Value) {
  if (SameText(Word, "NaN")) {
    Value = std::numeric_limits<double>::quiet_NaN();
  } else if (SameText(Word, "Inf") || SameText(Word, "+Inf")) {
    Value = std::numeric_limits<double>::infinity();
  } else if (SameText(Word, "-Inf")) {
    Value = -std::numeric_limits<double>::infinity();
  } else if (!TryStrToFloat(Word, Value, '.')) {
    return -2;
  }
  return 0;
}
int32_t ParseValue(const std::string& Word, int32_t& Value) {
  if (TryStrToInt(Word, Value)) {
    return 0;
  }
  double Real = 0;
  return ParseValue(Word, Real) == 0 ? -3 : -2;
}

/// The comment as one line: control characters become blanks.
std::string CommentLine(const std::string& Comment) {
  std::string Line = Comment;
  for (char& c : Line) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) {
      c = ' ';
    }
  }
  return Line;
}

/// Writes the cells of Arr below the indices in Prefix: one line per
/// innermost array, and with Labels a "#" line before each 2-D block of a
/// 3-D or 4-D array.
template <class A>
void WriteCells(TTextWriter& Out, const A& Arr, bool Labels, const std::string& Prefix) {
  if constexpr (RankOf<A> == 1) {
    std::string Line;
    for (const auto Value : Arr) {
      if (!Line.empty()) {
        Line += ' ';
      }
      Line += ValueText(Value);
    }
    Out.WriteLn(Line);
  } else {
    for (size_t k = 0; k < Arr.size(); ++k) {
      const std::string Index = Prefix + "[" + IntToStr(static_cast<int64_t>(k)) + "]";
      if constexpr (RankOf<A> == 3) {
        if (Labels) {
          Out.WriteLn("# " + Index);
        }
      }
      WriteCells(Out, Arr[k], Labels, Index);
    }
  }
}

template <class A>
int32_t StoreText(const std::string& FileName, const A& Arr, bool Labels, const std::string& Comment) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  std::string SizeLine = IntToStr(static_cast<int64_t>(RankOf<A>));
  for (const int64_t Size : Shape) {
    SizeLine += " " + IntToStr(Size);
  }
  TTextWriter Out;
  Out.Rewrite(FileName);
  Out.WriteLn(CommentLine(Comment));
  Out.WriteLn(SizeLine);
  WriteCells(Out, Arr, Labels, "");
  Out.Close();
  return 0;
}

/// The words of a text file after its first line, skipping lines that begin
/// with '#'.
class TWordSource {
public:
  explicit TWordSource(TTextReader& Reader) : FReader(Reader) {}
  bool Next(std::string& Word) {
    while (FPos >= FWords.size()) {
      std::string Line;
      if (!FReader.ReadLine(Line)) {
        return false;
      }
      FWords = SplitWords(Line);
      FPos = 0;
    }
    Word = FWords[FPos++];
    return true;
  }

private:
  static std::vector<std::string> SplitWords(const std::string& Line) {
    std::vector<std::string> Words;
    const std::string Trimmed = TrimLeft(Line);
    if (!Trimmed.empty() && Trimmed[0] == '#') {
      return Words;
    }
    size_t k = 0;
    while (k < Line.size()) {
      while (k < Line.size() && (Line[k] == ' ' || Line[k] == '\t')) {
        ++k;
      }
      const size_t Start = k;
      while (k < Line.size() && Line[k] != ' ' && Line[k] != '\t') {
        ++k;
      }
      if (k > Start) {
        Words.push_back(Line.substr(Start, k - Start));
      }
    }
    return Words;
  }

  TTextReader& FReader;
  std::vector<std::string> FWords;
  size_t FPos = 0;
};

/// Reads rank and sizes: 0, -2 malformed or larger than the file, -3 another rank.
template <size_t R>
int32_t ReadTextShape(TWordSource& Words, int64_t FileBytes, TShape<R>& Shape) {
  std::string Word;
  int32_t Rank = 0;
  if (!Words.Next(Word) || !TryStrToInt(Word, Rank) || Rank < 1 || Rank > 4) {
    return -2;
  }
  if (static_cast<size_t>(Rank) != R) {
    return -3;
  }
  for (int64_t& Size : Shape) {
    int32_t Value = 0;
    if (!Words.Next(Word) || !TryStrToInt(Word, Value) || Value < 1) {
      return -2;
    }
    Size = Value;
  }
  uint64_t Count = 0;
  // Every value takes at least one character of the file.
  if (!TryMultiplyDims(Shape, Count) || Count > static_cast<uint64_t>(FileBytes)) {
    return -2;
  }
  return 0;
}

template <class A>
int32_t LoadText(const std::string& FileName, A& Arr, std::string& Comment) {
  TTextReader Reader;
  if (!Reader.Open(FileName)) {
    return -1;
  }
  std::string FileComment;
  if (!Reader.ReadLine(FileComment)) {
    return -2;
  }
  TWordSource Words(Reader);
  TShape<RankOf<A>> Shape{};
  if (const int32_t Status = ReadTextShape(Words, FileSize(FileName), Shape); Status != 0) {
    return Status;
  }
  auto Loaded = NewArray<A>("LoadArray", Shape);
  int32_t Status = 0;
  ForEachCell(WholeBox(Shape), [&](auto& Cell) {
    std::string Word;
    if (Status != 0) {
      return;
    }
    Status = Words.Next(Word) ? ParseValue(Word, Cell) : -2;
  }, Loaded);
  std::string Extra;
  if (Status == 0 && Words.Next(Extra)) {
    Status = -2;  // more values than the sizes promise
  }
  if (Status != 0) {
    return Status;
  }
  Arr.swap(Loaded);
  Comment = FileComment;
  return 0;
}

// ---------------------------------------------------------------- block file

/// Visits the indices of Shape in the order of the block file: the first
/// index (column) fastest, the last slowest.
template <size_t R, class TVisit>
void ForEachInFileOrder(const TShape<R>& Shape, TVisit&& Visit) {
  const int64_t Count = CellCount(Shape);
  TShape<R> Index{};
  for (int64_t k = 0; k < Count; ++k) {
    Visit(static_cast<const TShape<R>&>(Index));
    for (size_t d = 0; d < R; ++d) {
      if (++Index[d] < Shape[d]) {
        break;
      }
      Index[d] = 0;
    }
  }
}

/// The cell of Arr at Index.
template <size_t Level = 0, class A, size_t R>
auto& CellAt(A& Arr, const TShape<R>& Index) {
  auto& Sub = Arr[static_cast<size_t>(Index[Level])];
  if constexpr (RankOf<std::remove_const_t<A>> == 1) {
    return Sub;
  } else {
    return CellAt<Level + 1>(Sub, Index);
  }
}

template <class T>
constexpr int32_t FormatOf() {
  return std::is_same_v<T, int32_t> ? blockfile::kFormatInt32 : blockfile::kFormatDouble;
}

template <class A>
int32_t SaveBlocks(const std::string& FileName, const A& Arr, const std::string& Comment) {
  TShape<RankOf<A>> Shape{};
  if (!NonEmptyShape(Arr, Shape)) {
    return -1;
  }
  for (const int64_t Size : Shape) {
    if (Size > INT32_MAX) {
      return -2;  // the header holds 32-bit sizes
    }
  }
  using T = ElemOf<A>;
  TBlockHeader Header;
  Header.NrColumns = static_cast<int32_t>(Shape[0]);
  Header.NrRows = static_cast<int32_t>(Shape[1]);
  if constexpr (RankOf<A> > 2) {
    Header.NrLayers = static_cast<int32_t>(Shape[2]);
  }
  if constexpr (RankOf<A> > 3) {
    Header.NrTimeSlots = static_cast<int32_t>(Shape[3]);
  }
  Header.Identifier = Comment;
  Header.Format = FormatOf<T>();
  TFileStream Out(FileName, fmCreate);
  blockfile::WriteHeader(Out, Header);
  blockfile::TValueWriter Values(Out, Header.Format);
  ForEachInFileOrder(Shape, [&](const auto& Index) { Values.Put(static_cast<T>(CellAt(Arr, Index))); });
  Values.Finish();
  Out.Flush();
  return 0;
}

/// Rank of the data a header describes: 2, 3 (layers) or 4 (time slots).
size_t HeaderRank(const TBlockHeader& Header) {
  return Header.NrTimeSlots > 0 ? 4 : (Header.NrLayers > 0 ? 3 : 2);
}

template <class A>
int32_t LoadBlocks(const std::string& FileName, A& Arr, std::string& Comment, bool Strict) {
  using T = ElemOf<A>;
  constexpr size_t R = RankOf<A>;
  const auto In = blockfile::TryOpen(FileName, fmOpenRead);
  if (!In) {
    return -1;
  }
  TBlockHeader Header;
  if (!blockfile::ReadHeader(*In, Header) || Header.NrColumns == 0 || Header.NrRows == 0) {
    return -2;
  }
  const size_t FileRank = HeaderRank(Header);
  if (FileRank > R || (Strict && (FileRank != R || Header.Format != FormatOf<T>()))) {
    return -3;
  }
  const std::array<int64_t, 4> FileSizes{Header.NrColumns, Header.NrRows, Header.NrLayers, Header.NrTimeSlots};
  TShape<R> Shape{};
  for (size_t d = 0; d < R; ++d) {
    Shape[d] = d < FileRank ? FileSizes[d] : 1;  // absent axes hold one index
  }
  auto Loaded = NewArray<A>("LoadBinaryArray", Shape);
  // ReadHeader checked that the file holds every value.
  blockfile::TValueReader Values(*In, FileName, Header.Format, 0, CellCount(Shape));
  ForEachInFileOrder(Shape, [&](const auto& Index) {
    T& Cell = CellAt(Loaded, Index);
    if constexpr (std::is_same_v<T, int32_t>) {
      Cell = Values.NextInt32();
    } else {
      Cell = Values.NextDouble();
    }
  });
  Arr.swap(Loaded);
  Comment = Header.Identifier;
  return 0;
}

}  // namespace

int32_t StoreArray(const std::string& FileName, const TDoubleArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TDouble2DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TIntArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TInt2DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TDouble3DArray& A, bool Labels, const std::string& Comment) {
  return StoreText(FileName, A, Labels, Comment);
}
int32_t StoreArray(const std::string& FileName, const TDouble4DArray& A, bool Labels, const std::string& Comment) {
  return StoreText(FileName, A, Labels, Comment);
}
int32_t StoreArray(const std::string& FileName, const TInt3DArray& A, bool Labels, const std::string& Comment) {
  return StoreText(FileName, A, Labels, Comment);
}
int32_t StoreArray(const std::string& FileName, const TInt4DArray& A, bool Labels, const std::string& Comment) {
  return StoreText(FileName, A, Labels, Comment);
}
int32_t StoreArray(const std::string& FileName, const TDouble3DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TDouble4DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TInt3DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}
int32_t StoreArray(const std::string& FileName, const TInt4DArray& A, const std::string& Comment) {
  return StoreText(FileName, A, false, Comment);
}

int32_t LoadArray(const std::string& FileName, TDoubleArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}
int32_t LoadArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}
int32_t LoadArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}
int32_t LoadArray(const std::string& FileName, TIntArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}
int32_t LoadArray(const std::string& FileName, TInt2DArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}
int32_t LoadArray(const std::string& FileName, TInt3DArray& A, std::string& Comment) {
  return LoadText(FileName, A, Comment);
}

int32_t SaveBinaryArray(const std::string& FileName, const TInt2DArray& A, const std::string& Comment) {
  return SaveBlocks(FileName, A, Comment);
}
int32_t SaveBinaryArray(const std::string& FileName, const TDouble2DArray& A, const std::string& Comment) {
  return SaveBlocks(FileName, A, Comment);
}
int32_t SaveBinaryArray(const std::string& FileName, const TDouble3DArray& A, const std::string& Comment) {
  return SaveBlocks(FileName, A, Comment);
}
int32_t SaveBinaryArray(const std::string& FileName, const TDouble4DArray& A, const std::string& Comment) {
  return SaveBlocks(FileName, A, Comment);
}

int32_t LoadBinaryArray(const std::string& FileName, TInt2DArray& A, std::string& Comment, bool Strict) {
  return LoadBlocks(FileName, A, Comment, Strict);
}
int32_t LoadBinaryArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment, bool Strict) {
  return LoadBlocks(FileName, A, Comment, Strict);
}
int32_t LoadBinaryArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment, bool Strict) {
  return LoadBlocks(FileName, A, Comment, Strict);
}
int32_t LoadBinaryArray(const std::string& FileName, TDouble4DArray& A, std::string& Comment, bool Strict) {
  return LoadBlocks(FileName, A, Comment, Strict);
}

bool ReadBinaryArrayHeader(const std::string& FileName, int32_t& NrColumns, int32_t& NrRows, int32_t& NrLayers,
                           int32_t& NrTimeSlots, std::string& Comment, int32_t& Format) {
  const auto In = blockfile::TryOpen(FileName, fmOpenRead);
  TBlockHeader Header;
  if (!In || !blockfile::ReadHeader(*In, Header)) {
    return false;
  }
  NrColumns = Header.NrColumns;
  NrRows = Header.NrRows;
  NrLayers = Header.NrLayers;
  NrTimeSlots = Header.NrTimeSlots;
  Comment = Header.Identifier;
  Format = Header.Format;
  return true;
}

}  // namespace vexa
