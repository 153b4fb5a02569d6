// Named bitmap resources and the in-process clipboard.
#include "GraphicsTestSupport.h"
#include "platform/graphics/Vexa_clipbrd.h"
#include "platform/graphics/Vexa_imagefiles.h"
#include "platform/graphics/Vexa_resources.h"

namespace vexa {
namespace {

TEST(ResourceTest, RegisteredGeneratorsLoadCaseBlind) {
  RegisterBitmapResource("TestChecker", [](TBitmap& picture) {
    picture.SetSize(4, 2);
    picture.Canvas().SetPixels(1, 1, clRed);
  });
  EXPECT_TRUE(BitmapResourceExists("TESTCHECKER"));
  TBitmap bmp;
  bmp.LoadFromResourceName("testchecker");
  EXPECT_EQ(bmp.Width(), 4);
  EXPECT_EQ(testing::ColorAt(bmp, 1, 1), clRed);
  // Unknown names raise and keep the picture.
  try {
    bmp.LoadFromResourceName("NoSuchPicture");
    ADD_FAILURE() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NoSuchPicture not found");
  }
  EXPECT_EQ(bmp.Width(), 4);
  UnregisterBitmapResource("TestChecker");
  EXPECT_THROW(bmp.LoadFromResourceName("TestChecker"), EResNotFound);
}

TEST(ClipboardTest, HoldsOneContentAtATime) {
  TClipboard& clipboard = Clipboard();
  clipboard.SetAsText("hello");
  EXPECT_TRUE(clipboard.HasFormat(CF_TEXT));
  EXPECT_EQ(clipboard.AsText(), "hello");
  TBitmap bmp;
  testing::MakeBitmap(bmp, 3, 2, clNavy);
  clipboard.Assign(bmp);
  EXPECT_TRUE(clipboard.HasFormat(CF_BITMAP));
  EXPECT_FALSE(clipboard.HasFormat(CF_TEXT));
  EXPECT_EQ(clipboard.AsText(), "");
  bmp.SetSize(1, 1);  // the clipboard keeps its own copy
  TBitmap pasted;
  clipboard.CopyBitmapTo(pasted);
  EXPECT_EQ(pasted.Width(), 3);
  EXPECT_EQ(testing::ColorAt(pasted, 2, 1), clNavy);
  // Any picture that converts to a bitmap can be put there.
  TPNGImage png;
  png.Assign(pasted);
  clipboard.Assign(png);
  EXPECT_TRUE(clipboard.HasFormat(CF_BITMAP));
  clipboard.Clear();
  EXPECT_FALSE(clipboard.HasFormat(CF_BITMAP));
  EXPECT_THROW(clipboard.CopyBitmapTo(pasted), EConvertError);
  // A failed conversion keeps the old content.
  clipboard.SetAsText("kept");
  TFont notAPicture;
  EXPECT_THROW(clipboard.Assign(notAPicture), EConvertError);
  EXPECT_EQ(clipboard.AsText(), "kept");
}

}  // namespace
}  // namespace vexa
