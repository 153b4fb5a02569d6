// Image routines of Vexa_openarrays: an integer array written as a picture
// (BMP, PNG, JPEG or the clipboard), and values mapped onto a colour list.

#include <algorithm>
#include <string>

#include "arrays/Vexa_openarrays.h"
#include "arrays/internal/Vexa_arrayshapes.h"
#include "fundora/Vexa_vexacolors.h"
#include "platform/Vexa_fileutils.h"
#include "platform/Vexa_strutils.h"
#include "platform/graphics/Vexa_bitmap.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa {

namespace {

constexpr int32_t MinMagnification = 1;
constexpr int32_t MaxMagnification = 10;
/// Encoder settings of the exported JPEG files.
constexpr int32_t ExportJpegQuality = 90;

enum class TExportTarget { Clipboard, Bmp, Png, Jpeg };

/// Checks the arguments of SaveArrayAsImg and picks the target from the
/// lower-cased extension. Returns the status; Target counts only for 0.
int32_t ChooseExportTarget(const std::string& FileName, int32_t M, TExportTarget& Target) {
  int32_t Status = (M < MinMagnification || M > MaxMagnification) ? -2 : 0;
  const std::string Ext = LowerCase(ExtractFileExt(FileName));
  if (Ext == ".bmp") {
    Target = TExportTarget::Bmp;
  } else if (Ext == ".png") {
    Target = TExportTarget::Png;
  } else if (Ext == ".jpg") {
    Target = TExportTarget::Jpeg;
  } else if (!Ext.empty()) {
    Status = -1;  // an unsupported extension outranks a bad magnification
  } else if (FileName.empty()) {
    Target = TExportTarget::Clipboard;
  } else if (Status == 0) {
    Status = -1;  // a file name without extension: nothing to choose a format by
  }
  return Status;
}

/// Status of the colour array: -1 without cells, -2 when a column is shorter
/// than the first (rows are counted by the first column; longer columns are
/// read only that far).
int32_t CheckColorCells(const TInt2DArray& Colors) {
  if (Colors.empty() || Colors[0].empty()) {
    return -1;
  }
  const size_t Rows = Colors[0].size();
  const bool AllLongEnough =
      std::all_of(Colors.begin(), Colors.end(), [Rows](const TIntArray& Column) { return Column.size() >= Rows; });
  return AllLongEnough ? 0 : -2;
}

/// Paints cell (i, j) of Colors as an M × M square at (i·M, j·M).
void PaintMagnified(const TInt2DArray& Colors, int32_t M, TBitmap& Bitmap) {
  const size_t Columns = Colors.size();
  const size_t Rows = Colors[0].size();
  for (size_t j = 0; j < Rows; ++j) {
    const int32_t Top = static_cast<int32_t>(j) * M;
    uint32_t* FirstLine = Bitmap.ScanLine(Top);
    for (size_t i = 0; i < Columns; ++i) {
      const uint32_t Pixel = ColorToPixel(ColorToRGB(static_cast<TColor>(Colors[i][j])));
      std::fill_n(FirstLine + i * static_cast<size_t>(M), M, Pixel);
    }
    // The other lines of the block repeat the first one.
    for (int32_t dy = 1; dy < M; ++dy) {
      std::copy_n(FirstLine, Bitmap.Width(), Bitmap.ScanLine(Top + dy));
    }
  }
}

/// A 24-bit bitmap of L1·M × L2·M pixels holding the magnified cells. The
/// size is checked in 64 bits against the pixel limit first (EOutOfMemory).
void MakeMagnifiedBitmap(const TInt2DArray& Colors, int32_t M, TBitmap& Bitmap) {
  const int64_t Width = static_cast<int64_t>(Colors.size()) * M;
  const int64_t Height = static_cast<int64_t>(Colors[0].size()) * M;
  CheckPixelCount(Width, Height);
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(static_cast<int32_t>(Width), static_cast<int32_t>(Height));
  PaintMagnified(Colors, M, Bitmap);
}

void WriteBitmap(const TBitmap& Bitmap, TExportTarget Target, const std::string& FileName) {
  switch (Target) {
    case TExportTarget::Clipboard:
      Clipboard().Assign(Bitmap);
      break;
    case TExportTarget::Bmp:
      Bitmap.SaveToFile(FileName);
      break;
    case TExportTarget::Png: {
      TPNGImage Png;
      Png.Assign(Bitmap);
      Png.SaveToFile(FileName);
      break;
    }
    case TExportTarget::Jpeg: {
      TJPEGImage Jpeg;
      Jpeg.SetCompressionQuality(ExportJpegQuality);
      Jpeg.SetProgressiveEncoding(false);
      Jpeg.Assign(Bitmap);
      Jpeg.SaveToFile(FileName);
      break;
    }
  }
}

}  // namespace

int32_t SaveArrayAsImg(const std::string& FileName, const TInt2DArray& Colors, int32_t M) {
  TExportTarget Target = TExportTarget::Clipboard;
  if (const int32_t Status = ChooseExportTarget(FileName, M, Target); Status != 0) {
    return Status;
  }
  if (const int32_t Status = CheckColorCells(Colors); Status != 0) {
    return Status;
  }
  TBitmap Bitmap;
  MakeMagnifiedBitmap(Colors, M, Bitmap);
  WriteBitmap(Bitmap, Target, FileName);
  return 0;
}

int32_t ConvertToColorMap(TInt2DArray& Data, const TColorArray* Colors) {
  arraycore::TShape<2> Shape{};
  if (!arraycore::NonEmptyShape(Data, Shape)) {
    return -1;
  }
  if (Colors == nullptr || Colors->NumColors() < 1) {
    return -2;
  }
  const int32_t Count = Colors->NumColors();
  for (TIntArray& Column : Data) {
    for (int32_t& Cell : Column) {
      const int32_t Index = std::clamp(Cell, 1, Count);
      // Colours are stored with their 32-bit pattern (system colours read negative).
      Cell = static_cast<int32_t>(Colors->GetColorElem(Index));
    }
  }
  return 0;
}

}  // namespace vexa
