// Image routines of the array unit: SaveArrayAsImg (result codes, pixels of
// the BMP, PNG and JPEG files and of the clipboard bitmap, failing writes)
// and ConvertToColorMap.

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "arrays/Vexa_openarrays.h"
#include "fundora/Vexa_vexacolors.h"
#include "platform/Vexa_exceptions.h"
#include "platform/graphics/Vexa_bitmap.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using vexa::testing::TempDir;

/// Number of entries in a folder.
size_t EntryCount(const fs::path& Dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

/// RGB bytes a pixel should have.
struct TRgb {
  int R, G, B;
  bool operator==(const TRgb&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TRgb& C) {
  return Out << "(" << C.R << ", " << C.G << ", " << C.B << ")";
}

TRgb PixelRgb(const TBitmap& Bitmap, int32_t X, int32_t Y) {
  const uint32_t P = Bitmap.ScanLine(Y)[X];  // $AARRGGBB
  return {static_cast<int>((P >> 16) & 0xFF), static_cast<int>((P >> 8) & 0xFF), static_cast<int>(P & 0xFF)};
}

/// Cells as TColor values ($00BBGGRR, system colours with high byte $FF) and
/// the RGB each must draw with, written out from the colour tables.
struct TColorCase {
  TColor Cell;
  TRgb Expected;
};

// Three columns of two rows: plain colours, a system colour (clBtnFace of the
// light table is 240 240 240), and a value whose stray high byte is ignored.
const std::vector<std::vector<TColorCase>> kCells = {
    {{0x0000FF, {255, 0, 0}}, {0x00FF00, {0, 255, 0}}},
    {{0xFF0000, {0, 0, 255}}, {0xFF00000F, {240, 240, 240}}},
    {{0x6088FFF0, {240, 255, 136}}, {0x123456, {0x56, 0x34, 0x12}}},
};

TInt2DArray CellArray() {
  TInt2DArray A;
  for (const auto& Column : kCells) {
    TIntArray Values;
    for (const TColorCase& C : Column) Values.push_back(static_cast<int32_t>(C.Cell));
    A.push_back(Values);
  }
  return A;
}

/// Every pixel (x, y) of the picture has the colour of cell (x div M, y div M).
void ExpectMagnifiedCells(const TBitmap& Bitmap, int32_t M) {
  ASSERT_EQ(Bitmap.Width(), static_cast<int32_t>(kCells.size()) * M);
  ASSERT_EQ(Bitmap.Height(), static_cast<int32_t>(kCells[0].size()) * M);
  for (int32_t y = 0; y < Bitmap.Height(); ++y)
    for (int32_t x = 0; x < Bitmap.Width(); ++x)
      ASSERT_EQ(PixelRgb(Bitmap, x, y), kCells[x / M][y / M].Expected) << "pixel " << x << ", " << y;
}

uint32_t LittleEndian(const std::string& Bytes, size_t At, size_t Width) {
  uint32_t V = 0;
  for (size_t k = 0; k < Width; ++k) V |= uint32_t{static_cast<uint8_t>(Bytes.at(At + k))} << (8 * k);
  return V;
}

uint32_t BigEndian32(const std::string& Bytes, size_t At) {
  uint32_t V = 0;
  for (size_t k = 0; k < 4; ++k) V = (V << 8) | static_cast<uint8_t>(Bytes.at(At + k));
  return V;
}

/// Restores the pixel limit when a test lowered it.
struct TPixelLimitGuard {
  int64_t Saved = MaxPixelCount();
  ~TPixelLimitGuard() { SetMaxPixelCount(Saved); }
};

// ---------------------------------------------------------------- SaveArrayAsImg

TEST(SaveArrayAsImgTest, ResultCodesAndWhatIsWritten) {
  const TInt2DArray Cells = CellArray();
  const TInt2DArray Ragged = {{1, 2}, {3}};
  const TInt2DArray LongerColumn = {{1, 2}, {3, 4, 5}};
  struct TCase {
    std::string Name;  // file name inside the temporary folder
    TInt2DArray Colors;
    int32_t M;
    int32_t Expected;
    bool Written;
  };
  const std::vector<TCase> Cases = {
      {"m0.bmp", Cells, 0, -2, false},
      {"m11.bmp", Cells, 11, -2, false},
      {"m10.bmp", Cells, 10, 0, true},
      {"picture.gif", Cells, 1, -1, false},
      {"picture.gif", Cells, 11, -1, false},  // the extension outranks the magnification
      {"capitals.BMP", Cells, 1, 0, true},
      {"mixed.Png", Cells, 2, 0, true},
      {"photo.JPG", Cells, 2, 0, true},
      {"photo.jpeg", Cells, 2, -1, false},
      {"noextension", Cells, 1, -1, false},
      {"noextension", Cells, 11, -2, false},
      {"trailingdot.", Cells, 1, -1, false},
      {"empty.png", {}, 1, -1, false},
      {"emptycolumn.png", {{}}, 1, -1, false},
      {"ragged.png", Ragged, 1, -2, false},
      {"ragged.png", Ragged, 0, -2, false},
      {"longer.png", LongerColumn, 1, 0, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name + " m " + std::to_string(C.M));
    TempDir Dir;
    EXPECT_EQ(SaveArrayAsImg(Dir.File(C.Name), C.Colors, C.M), C.Expected);
    EXPECT_EQ(EntryCount(Dir.Path()), C.Written ? 1u : 0u);
  }
  // The extension is taken from the last path component only.
  TempDir Dir;
  fs::create_directory(Dir.Path() / "folder.bmp");
  EXPECT_EQ(SaveArrayAsImg(Dir.File("folder.bmp/picture"), Cells, 1), -1);
  EXPECT_EQ(EntryCount(Dir.Path() / "folder.bmp"), 0u);
}

TEST(SaveArrayAsImgTest, BmpAndPngPixelsAreTheMagnifiedCells) {
  const TInt2DArray Cells = CellArray();
  for (const char* Ext : {".bmp", ".png"}) {
    for (const int32_t M : {1, 3, 10}) {
      SCOPED_TRACE(std::string(Ext) + " m " + std::to_string(M));
      TempDir Dir;
      const std::string File = Dir.File(std::string("cells") + Ext);
      ASSERT_EQ(SaveArrayAsImg(File, Cells, M), 0);
      TBitmap Back;
      LoadPictureFromFile(File, Back);
      ExpectMagnifiedCells(Back, M);
    }
  }
}

TEST(SaveArrayAsImgTest, LongerColumnsAreCutToTheFirstOne) {
  TempDir Dir;
  const std::string File = Dir.File("cut.png");
  ASSERT_EQ(SaveArrayAsImg(File, {{0x0000FF}, {0xFF0000, 0x00FF00}}, 2), 0);
  TBitmap Back;
  LoadPictureFromFile(File, Back);
  EXPECT_EQ(Back.Width(), 4);
  EXPECT_EQ(Back.Height(), 2);
  EXPECT_EQ(PixelRgb(Back, 3, 1), (TRgb{0, 0, 255}));
}

// Decodes the BMP file byte by byte, independently of our reader: headers,
// 24 bits, bottom-up rows padded to 4 bytes, pixels stored B, G, R.
TEST(SaveArrayAsImgTest, BmpFileIs24BitBottomUpByteForByte) {
  const int32_t M = 3;
  TempDir Dir;
  const std::string File = Dir.File("bytes.bmp");
  ASSERT_EQ(SaveArrayAsImg(File, CellArray(), M), 0);
  const std::string Bytes = TempDir::Read(File);
  const uint32_t Width = 9, Height = 6, Stride = 28;  // 27 bytes of pixels padded to 28
  ASSERT_EQ(Bytes.size(), 54u + Stride * Height);
  EXPECT_EQ(Bytes.substr(0, 2), "BM");
  EXPECT_EQ(LittleEndian(Bytes, 2, 4), Bytes.size());
  EXPECT_EQ(LittleEndian(Bytes, 10, 4), 54u);  // pixel data right after the headers
  EXPECT_EQ(LittleEndian(Bytes, 14, 4), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(LittleEndian(Bytes, 18, 4), Width);
  EXPECT_EQ(LittleEndian(Bytes, 22, 4), Height);  // positive: bottom-up
  EXPECT_EQ(LittleEndian(Bytes, 26, 2), 1u);
  EXPECT_EQ(LittleEndian(Bytes, 28, 2), 24u);
  EXPECT_EQ(LittleEndian(Bytes, 30, 4), 0u);  // BI_RGB
  for (uint32_t y = 0; y < Height; ++y) {
    const size_t Row = 54 + Stride * (Height - 1 - y);
    for (uint32_t x = 0; x < Width; ++x) {
      const size_t At = Row + 3 * x;
      const TRgb Stored{static_cast<uint8_t>(Bytes[At + 2]), static_cast<uint8_t>(Bytes[At + 1]),
                        static_cast<uint8_t>(Bytes[At])};
      ASSERT_EQ(Stored, kCells[x / M][y / M].Expected) << "pixel " << x << ", " << y;
    }
  }
}

TEST(SaveArrayAsImgTest, PngFileIs8BitRgb) {
  TempDir Dir;
  const std::string File = Dir.File("header.png");
  ASSERT_EQ(SaveArrayAsImg(File, CellArray(), 2), 0);
  const std::string Bytes = TempDir::Read(File);
  ASSERT_GE(Bytes.size(), 33u);
  EXPECT_EQ(Bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  EXPECT_EQ(Bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian32(Bytes, 16), 6u);  // width
  EXPECT_EQ(BigEndian32(Bytes, 20), 4u);  // height
  EXPECT_EQ(static_cast<uint8_t>(Bytes[24]), 8);  // bit depth
  EXPECT_EQ(static_cast<uint8_t>(Bytes[25]), 2);  // colour type RGB, no alpha
}

TEST(SaveArrayAsImgTest, JpegPixelsAreCloseAndTheFileIsBaseline) {
  // Large blocks so that the centre of each cell lies away from colour edges;
  // quality 90 keeps those centres within a few levels (8 seen with libjpeg-turbo).
  const int32_t M = 10;
  const int Tolerance = 16;
  TempDir Dir;
  const std::string File = Dir.File("cells.jpg");
  ASSERT_EQ(SaveArrayAsImg(File, CellArray(), M), 0);
  TBitmap Back;
  LoadPictureFromFile(File, Back);
  ASSERT_EQ(Back.Width(), 3 * M);
  ASSERT_EQ(Back.Height(), 2 * M);
  for (size_t i = 0; i < kCells.size(); ++i) {
    for (size_t j = 0; j < kCells[i].size(); ++j) {
      const TRgb Got = PixelRgb(Back, static_cast<int32_t>(i) * M + M / 2, static_cast<int32_t>(j) * M + M / 2);
      const TRgb& Want = kCells[i][j].Expected;
      SCOPED_TRACE(::testing::Message() << "cell " << i << ", " << j << " got " << Got << " want " << Want);
      EXPECT_LE(std::abs(Got.R - Want.R), Tolerance);
      EXPECT_LE(std::abs(Got.G - Want.G), Tolerance);
      EXPECT_LE(std::abs(Got.B - Want.B), Tolerance);
    }
  }
  // A baseline frame (SOF0, FF C0) and no progressive one (SOF2, FF C2).
  const std::string Bytes = TempDir::Read(File);
  EXPECT_NE(Bytes.find("\xFF\xC0"), std::string::npos);
  EXPECT_EQ(Bytes.find("\xFF\xC2"), std::string::npos);
}

TEST(SaveArrayAsImgTest, EmptyNamePutsTheMagnifiedBitmapOnTheClipboard) {
  Clipboard().SetAsText("something else");
  ASSERT_EQ(SaveArrayAsImg("", CellArray(), 4), 0);
  ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));
  TBitmap Held;
  Clipboard().CopyBitmapTo(Held);
  ExpectMagnifiedCells(Held, 4);
  // A failing check leaves the clipboard alone.
  Clipboard().SetAsText("kept");
  EXPECT_EQ(SaveArrayAsImg("", CellArray(), 0), -2);
  EXPECT_EQ(SaveArrayAsImg("", {}, 1), -1);
  EXPECT_EQ(Clipboard().AsText(), "kept");
}

TEST(SaveArrayAsImgTest, FailingWritesRaiseAndKeepTheExistingTarget) {
  TempDir Dir;
  const TInt2DArray Cells = CellArray();
  // No such folder, and a "folder" that is a file: nobody can write there.
  EXPECT_THROW(SaveArrayAsImg(Dir.File("missing/picture.png"), Cells, 1), EStreamError);
  const std::string PlainFile = Dir.Write("plain.txt", "text");
  EXPECT_THROW(SaveArrayAsImg(PlainFile + "/picture.bmp", Cells, 1), EStreamError);
  EXPECT_EQ(EntryCount(Dir.Path()), 1u);

  // A JPEG wider than 65500 pixels cannot be encoded: 6551 columns × 10.
  const std::string Target = Dir.Write("wide.jpg", "old contents");
  const TInt2DArray Wide(6551, TIntArray{0x0000FF});
  EXPECT_THROW(SaveArrayAsImg(Target, Wide, 10), EInvalidGraphic);
  EXPECT_EQ(TempDir::Read(Target), "old contents");
  EXPECT_EQ(EntryCount(Dir.Path()), 2u);  // no temporary file left beside it
}

TEST(SaveArrayAsImgTest, ReadOnlyFolderKeepsTheExistingTarget) {
  TempDir Dir;
  const std::string Target = Dir.Write("kept.png", "old contents");
  fs::permissions(Dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  const bool Writable = access(Dir.Path().c_str(), W_OK) == 0;  // true for root
  if (!Writable) {
    EXPECT_THROW(SaveArrayAsImg(Target, CellArray(), 1), EStreamError);
    EXPECT_EQ(TempDir::Read(Target), "old contents");
    EXPECT_EQ(EntryCount(Dir.Path()), 1u);
  }
  fs::permissions(Dir.Path(), fs::perms::owner_all);
  if (Writable) GTEST_SKIP() << "permissions do not restrict this user";
}

TEST(SaveArrayAsImgTest, PictureBeyondThePixelLimitRaisesBeforeWriting) {
  TPixelLimitGuard Guard;
  SetMaxPixelCount(99);
  TempDir Dir;
  const TInt2DArray FiveByFive(5, TIntArray(5, 0));
  EXPECT_THROW(SaveArrayAsImg(Dir.File("over.bmp"), FiveByFive, 2), EOutOfMemory);  // 10 × 10 pixels
  EXPECT_THROW(SaveArrayAsImg("", FiveByFive, 2), EOutOfMemory);
  EXPECT_EQ(EntryCount(Dir.Path()), 0u);
  const TInt2DArray ThreeByThree(3, TIntArray(3, 0));
  EXPECT_EQ(SaveArrayAsImg(Dir.File("fits.bmp"), ThreeByThree, 3), 0);  // 9 × 9 pixels
  EXPECT_EQ(EntryCount(Dir.Path()), 1u);
}

// ---------------------------------------------------------------- ConvertToColorMap

TEST(ConvertToColorMapTest, ValuesAreClampedIntoTheColourList) {
  TColorArray Colors;
  Colors.SetNumColors(3);
  Colors.SetColorElem(1, clRed);
  Colors.SetColorElem(2, clLime);
  Colors.SetColorElem(3, clBtnFace);  // stored as its 32-bit pattern
  TInt2DArray Data = {{INT_MIN, -5, 0, 1}, {2, 3, 4, INT_MAX}};
  ASSERT_EQ(ConvertToColorMap(Data, &Colors), 0);
  const int32_t Red = 0x0000FF, Lime = 0x00FF00, BtnFace = static_cast<int32_t>(0xFF00000Fu);
  const TInt2DArray Expected = {{Red, Red, Red, Red}, {Lime, BtnFace, BtnFace, BtnFace}};
  EXPECT_EQ(Data, Expected);
}

TEST(ConvertToColorMapTest, MissingDataOrColoursLeaveTheDataAlone) {
  TColorArray One;
  One.SetNumColors(1);
  One.SetColorElem(1, clWhite);
  TColorArray None;
  struct TCase {
    const char* What;
    TInt2DArray Data;
    const TColorArray* Colors;
    int32_t Expected;
  };
  const std::vector<TCase> Cases = {
      {"no data", {}, &One, -1},
      {"empty first column", {{}, {1}}, &One, -1},
      {"ragged data", {{1, 2}, {3}}, &One, -1},
      {"no colour array", {{1, 2}}, nullptr, -2},
      {"no colours", {{1, 2}}, &None, -2},
      {"neither", {}, nullptr, -1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    TInt2DArray Data = C.Data;
    EXPECT_EQ(ConvertToColorMap(Data, C.Colors), C.Expected);
    EXPECT_EQ(Data, C.Data);
  }
  TInt2DArray Single = {{7}};
  EXPECT_EQ(ConvertToColorMap(Single, &One), 0);
  EXPECT_EQ(Single, (TInt2DArray{{static_cast<int32_t>(clWhite)}}));
}

}  // namespace
}  // namespace vexa
