// TMatrix: the stream format, the plain text file (with the auto-detecting
// reader) and the ASC format. The formats are shared with TIntMatrix
// (linalg/internal/Vexa_matfiles_detail.h); readers fill a temporary and the
// matrix takes it in one step.

#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_matfiles_detail.h"

namespace vexa {

using namespace matfiles_detail;

namespace {

/// Rows of the auto-detected text: every line that holds numbers before an
/// optional "//" comment is a row; all rows need as many numbers as the
/// first. False for an empty file, a word that is not a number or a row of
/// another length.
bool ReadAutoDetected(const std::string& FileName, TCellRect<double>& Rect) {
  TTextReader Reader;
  if (!Reader.Open(FileName)) {
    return false;
  }
  std::vector<double> RowMajor;
  int64_t Cols = 0, Rows = 0;
  std::string Line;
  while (Reader.ReadLine(Line)) {
    const std::vector<std::string> Words = WordsOf(Line.substr(0, Line.find("//")));
    if (Words.empty()) {
      continue;
    }
    if (Rows == 0) {
      Cols = static_cast<int64_t>(Words.size());
    }
    if (static_cast<int64_t>(Words.size()) != Cols || Cols > INT32_MAX || Rows == INT32_MAX) {
      return false;
    }
    for (const std::string& Word : Words) {
      double Value = 0.0;
      if (!ParseTextValue(Word, Value)) {
        return false;
      }
      RowMajor.push_back(Value);
    }
    ++Rows;
  }
  if (Rows == 0) {
    return false;
  }
  Rect = TCellRect<double>{1, 1, static_cast<int32_t>(Cols), static_cast<int32_t>(Rows), {}};
  Rect.Cells.resize(RowMajor.size());
  for (int64_t r = 0; r < Rows; ++r) {
    for (int64_t c = 0; c < Cols; ++c) {
      Rect.Cells[static_cast<size_t>(c * Rows + r)] = RowMajor[static_cast<size_t>(r * Cols + c)];
    }
  }
  return true;
}

}  // namespace

void TMatrix::CommitLoaded(int32_t Nc, int32_t Nr, std::vector<double>& Cells) {
  const bool Resizing = Nc != FNCol || Nr != FNRow;
  FData.swap(Cells);
  FNCol = Nc;
  FNRow = Nr;
  Changed();
  if (Resizing) {
    Resized();
  }
}

// ---------------------------------------------------------------- streams

void TMatrix::SaveToStream(TMemoryStream*& OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  if (OutStream == nullptr) {
    OutStream = new TMemoryStream();  // the caller owns it
  }
  MakeValidColRange(LoC, HiC);
  MakeValidRowRange(LoR, HiR);
  WriteStreamRect(*OutStream, *this, LoC, LoR, HiC, HiR);
}

void TMatrix::SaveToStream(TFileStream* OutStream, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) const {
  if (OutStream != nullptr) {
    MakeValidColRange(LoC, HiC);
    MakeValidRowRange(LoR, HiR);
    WriteStreamRect(*OutStream, *this, LoC, LoR, HiC, HiR);
  }
}

bool TMatrix::LoadFromStream(TStream* InStream, bool AdjustMatrixSize) {
  TCellRect<double> Rect;
  return InStream != nullptr && ReadStreamRect(*InStream, Rect) &&
         PlaceRect(*this, Rect, AdjustMatrixSize,
                   [this](int32_t Nc, int32_t Nr, std::vector<double>& Cells) { CommitLoaded(Nc, Nr, Cells); });
}

// ---------------------------------------------------------------- plain text

bool TMatrix::StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR, const std::string& FileName) const {
  MakeValidColRange(LoC, HiC);
  MakeValidRowRange(LoR, HiR);
  return WriteTextFile(*this, LoC, LoR, HiC, HiR, Precision(1), FileName);
}

bool TMatrix::LoadFromFile(const std::string& FileName, bool AdjustMatrixSize) {
  TCellRect<double> Rect;
  return ReadTextFile(FileName, Rect) &&
         PlaceRect(*this, Rect, AdjustMatrixSize,
                   [this](int32_t Nc, int32_t Nr, std::vector<double>& Cells) { CommitLoaded(Nc, Nr, Cells); });
}

bool TMatrix::LoadFromFile(const std::string& FileName, bool AdjustMatrixSize, bool AutoDetect) {
  if (!AutoDetect) {
    return LoadFromFile(FileName, AdjustMatrixSize);
  }
  TCellRect<double> Rect;
  return ReadAutoDetected(FileName, Rect) &&
         PlaceRect(*this, Rect, AdjustMatrixSize,
                   [this](int32_t Nc, int32_t Nr, std::vector<double>& Cells) { CommitLoaded(Nc, Nr, Cells); });
}

// ---------------------------------------------------------------- ASC

int32_t TMatrix::ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment) const {
  return WriteASC(*this, Traits::kClassName, FName, Precision, Comment, nullptr);
}

int32_t TMatrix::ExportAsASC(const std::string& FName, int32_t Precision, const std::string& Comment,
                             const TStr2DArray& CustData) const {
  return WriteASC(*this, Traits::kClassName, FName, Precision, Comment, &CustData);
}

int32_t TMatrix::ImportASC(const std::string& FName, std::string& Comment) {
  TCellRect<double> Rect;
  std::string NewComment;
  const int32_t Code = ReadASC(FName, NewComment, nullptr, Rect);
  if (Code != 0) {
    return Code;
  }
  if (!PlaceRect(*this, Rect, true,
                 [this](int32_t Nc, int32_t Nr, std::vector<double>& Cells) { CommitLoaded(Nc, Nr, Cells); })) {
    return ascBadRowCount;  // more cells than the storage limit allows
  }
  Comment = NewComment;
  return 0;
}

int32_t TMatrix::ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData) {
  TCellRect<double> Rect;
  std::string NewComment;
  TStr2DArray NewCustData;
  const int32_t Code = ReadASC(FName, NewComment, &NewCustData, Rect);
  if (Code != 0) {
    return Code;
  }
  if (!PlaceRect(*this, Rect, true,
                 [this](int32_t Nc, int32_t Nr, std::vector<double>& Cells) { CommitLoaded(Nc, Nr, Cells); })) {
    return ascBadRowCount;
  }
  Comment = NewComment;
  CustData = std::move(NewCustData);
  return 0;
}

}  // namespace vexa
