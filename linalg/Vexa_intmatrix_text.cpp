// TIntMatrix: the stream format, the plain text file, the ASC format (shared
// with TMatrix, linalg/internal/Vexa_matfiles_detail.h) and the sparse text
// file. Readers fill a temporary and the matrix takes it in one step.

#include <algorithm>
#include <utility>

#include "linalg/Vexa_intmatrix.h"
#include "linalg/internal/Vexa_matfiles_detail.h"

namespace vexa {

using namespace matfiles_detail;

namespace {

/// ImportASC into a sparse matrix (the ASC reader is a dense-format reader).
constexpr int32_t ascSparseForm = -10;

/// Shortest text of one sparse-file entry ("1 1 0" and a line end).
constexpr int64_t kMinSparseEntryBytes = 6;

}  // namespace

void TIntMatrix::CommitLoaded(int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells) {
  const bool Resizing = Nc != FNCol || Nr != FNRow;
  FData.swap(Cells);
  FNCol = Nc;
  FNRow = Nr;
  Changed();
  if (Resizing) {
    Resized();
  }
}

void TIntMatrix::TakeLoaded(TIntMatrix& Loaded) {
  const bool Resizing = Loaded.FNCol != FNCol || Loaded.FNRow != FNRow || Loaded.FIsSparse != FIsSparse;
  FData.swap(Loaded.FData);
  std::swap(FNCol, Loaded.FNCol);
  std::swap(FNRow, Loaded.FNRow);
  std::swap(FIsSparse, Loaded.FIsSparse);
  FSpMat.swap(Loaded.FSpMat);
  std::swap(FSparseNumElem, Loaded.FSparseNumElem);
  std::swap(FAllocBy, Loaded.FAllocBy);
  std::swap(FSparseLowCol, Loaded.FSparseLowCol);
  std::swap(FSparseHighCol, Loaded.FSparseHighCol);
  std::swap(FSparseLowRow, Loaded.FSparseLowRow);
  std::swap(FSparseHighRow, Loaded.FSparseHighRow);
  Changed();
  if (Resizing) {
    Resized();
  }
}

// ---------------------------------------------------------------- streams

void TIntMatrix::SaveToStream(TMemoryStream*& OutStream, int32_t LoC, int32_t LoR, int32_t HiC,
                              int32_t HiR) const {
  if (OutStream == nullptr) {
    OutStream = new TMemoryStream();  // the caller owns it
  }
  MakeValidColRange(LoC, HiC);
  MakeValidRowRange(LoR, HiR);
  WriteStreamRect(*OutStream, *this, LoC, LoR, HiC, HiR);
}

void TIntMatrix::SaveToStream(TFileStream* OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  if (OutStream != nullptr) {
    MakeValidColRange(LoC, HiC);
    MakeValidRowRange(LoR, HiR);
    WriteStreamRect(*OutStream, *this, LoC, LoR, HiC, HiR);
  }
}

bool TIntMatrix::LoadFromStream(TStream* InStream, bool AdjustMatrixSize) {
  TCellRect<int32_t> Rect;
  return !FIsSparse && InStream != nullptr && ReadStreamRect(*InStream, Rect) &&
         PlaceRect(*this, Rect, AdjustMatrixSize,
                   [this](int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells) { CommitLoaded(Nc, Nr, Cells); });
}

// ---------------------------------------------------------------- plain text

bool TIntMatrix::StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                             const std::string& FileName) const {
  MakeValidColRange(LoC, HiC);
  MakeValidRowRange(LoR, HiR);
  return WriteTextFile(*this, LoC, LoR, HiC, HiR, 0, FileName);
}

bool TIntMatrix::LoadFromFile(const std::string& FileName, bool AdjustMatrixSize) {
  TCellRect<int32_t> Rect;
  return !FIsSparse && ReadTextFile(FileName, Rect) &&
         PlaceRect(*this, Rect, AdjustMatrixSize,
                   [this](int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells) { CommitLoaded(Nc, Nr, Cells); });
}

// ---------------------------------------------------------------- ASC

int32_t TIntMatrix::ExportAsASC(const std::string& FName, const std::string& Comment) const {
  return WriteASC(*this, Traits::kClassName, FName, 0, Comment, nullptr);
}

int32_t TIntMatrix::ExportAsASC(const std::string& FName, const std::string& Comment,
                                const TStr2DArray& CustData) const {
  return WriteASC(*this, Traits::kClassName, FName, 0, Comment, &CustData);
}

int32_t TIntMatrix::ImportASC(const std::string& FName, std::string& Comment) {
  TStr2DArray Ignored;
  std::string NewComment;
  TCellRect<int32_t> Rect;
  if (FIsSparse) {
    return ascSparseForm;
  }
  const int32_t Code = ReadASC(FName, NewComment, nullptr, Rect);
  if (Code != 0) {
    return Code;
  }
  if (!PlaceRect(*this, Rect, true,
                 [this](int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells) { CommitLoaded(Nc, Nr, Cells); })) {
    return ascBadRowCount;  // more cells than the storage limit allows
  }
  Comment = NewComment;
  return 0;
}

int32_t TIntMatrix::ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData) {
  std::string NewComment;
  TStr2DArray NewCustData;
  TCellRect<int32_t> Rect;
  if (FIsSparse) {
    return ascSparseForm;
  }
  const int32_t Code = ReadASC(FName, NewComment, &NewCustData, Rect);
  if (Code != 0) {
    return Code;
  }
  if (!PlaceRect(*this, Rect, true,
                 [this](int32_t Nc, int32_t Nr, std::vector<int32_t>& Cells) { CommitLoaded(Nc, Nr, Cells); })) {
    return ascBadRowCount;
  }
  Comment = NewComment;
  CustData = std::move(NewCustData);
  return 0;
}

// ---------------------------------------------------------------- sparse file

bool TIntMatrix::StoreSparseMat(const std::string& FileName) const {
  try {
    TTextWriter Writer;
    Writer.Rewrite(FileName);
    const auto WriteEntry = [&Writer](int32_t Col, int32_t Row, int32_t Value) {
      Writer.WriteLn(IntToStr(Col) + " " + IntToStr(Row) + " " + IntToStr(Value));
    };
    if (FIsSparse) {
      Writer.WriteLn(IntToStr(FNCol) + " " + IntToStr(FNRow) + " " + IntToStr(FSparseNumElem));
      for (const TSpMatElemInt& Entry : SparseEntries()) {
        WriteEntry(Entry.colidx, Entry.rowidx, Entry.value);
      }
    } else {
      const auto NonZero = std::count_if(FData.begin(), FData.end(), [](int32_t x) { return x != 0; });
      Writer.WriteLn(IntToStr(FNCol) + " " + IntToStr(FNRow) + " " + IntToStr(NonZero));
      for (int32_t c = 1; c <= FNCol; ++c) {
        for (int32_t r = 1; r <= FNRow; ++r) {
          if (Cell(c, r) != 0) {
            WriteEntry(c, r, Cell(c, r));
          }
        }
      }
    }
    Writer.Close();
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

bool TIntMatrix::LoadSparseMat(const std::string& FileName) {
  TTextReader Reader;
  int32_t Cols = 0, Rows = 0, Entries = 0;
  if (!Reader.Open(FileName) || !Reader.ReadInteger(Cols) || !Reader.ReadInteger(Rows) ||
      !Reader.ReadInteger(Entries) || Cols < 0 || Rows < 0 || Entries < 0 ||
      Entries > int64_t{Cols} * Rows || Entries > FileSize(FileName) / kMinSparseEntryBytes) {
    return false;
  }
  try {
    TIntMatrix Loaded(nullptr, SparseForm, FAllocBy);
    int64_t Previous = 0;  // (col, row) as col · 2^32 + row: strictly increasing
    for (int32_t i = 0; i < Entries; ++i) {
      int32_t Col = 0, Row = 0, Value = 0;
      if (!Reader.ReadInteger(Col) || !Reader.ReadInteger(Row) || !Reader.ReadInteger(Value) || Col < 1 ||
          Col > Cols || Row < 1 || Row > Rows) {
        return false;
      }
      const int64_t Key = int64_t{Col} * (int64_t{1} << 32) + Row;
      if (Key <= Previous) {
        return false;
      }
      Previous = Key;
      Loaded.SetElem(Col, Row, Value);  // appended: the order is increasing
    }
    if (!Reader.SeekEof()) {
      return false;  // more than the promised entries
    }
    Loaded.Resize(Cols, Rows);  // the writes left the box's high corner as dimensions
    Loaded.FNCol = Cols;        // also a 0 dimension, which Resize refuses
    Loaded.FNRow = Rows;
    TakeLoaded(Loaded);
    return true;
  } catch (const EVexaMatrixError&) {
    return false;  // the entries do not fit into memory
  }
}

}  // namespace vexa
