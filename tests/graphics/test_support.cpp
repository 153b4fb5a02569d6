#include <cstdlib>
#include <filesystem>

#include "GraphicsTestSupport.h"
#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa::testing {

::testing::AssertionResult BitmapsEqual(const TBitmap& Actual, const TBitmap& Expected,
                                        const std::string& Name) {
  if (SamePixels(Actual, Expected)) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure();
  failure << Name << ": ";
  if (Actual.Width() != Expected.Width() || Actual.Height() != Expected.Height()) {
    failure << "size " << Actual.Width() << "x" << Actual.Height() << " instead of "
            << Expected.Width() << "x" << Expected.Height();
  } else {
    for (int32_t y = 0; y < Actual.Height(); ++y)
      for (int32_t x = 0; x < Actual.Width(); ++x)
        if (Actual.ScanLine(y)[x] != Expected.ScanLine(y)[x]) {
          failure << "first difference at (" << x << ", " << y << "): " << std::hex
                  << Actual.ScanLine(y)[x] << " instead of " << Expected.ScanLine(y)[x] << std::dec;
          y = Actual.Height();
          break;
        }
  }
  const char* folder = std::getenv("VEXA_TEST_ARTIFACTS");
  const std::filesystem::path dir = folder ? folder : std::filesystem::temp_directory_path();
  try {
    for (const auto& [bitmap, suffix] : {std::make_pair(&Actual, "actual"), std::make_pair(&Expected, "expected")}) {
      if (bitmap->Empty()) continue;
      TPNGImage png;
      png.Assign(*bitmap);
      const std::string file = (dir / (Name + "_" + suffix + ".png")).string();
      png.SaveToFile(file);
      failure << "\n  saved " << file;
    }
  } catch (const std::exception& e) {
    failure << "\n  (pictures not saved: " << e.what() << ")";
  }
  return failure;
}

}  // namespace vexa::testing
