// Speed of the graphics core next to plain references: buffer fills,
// lines and polygons, stretching against pixman, text against FreeType,
// PNG against libpng and JPEG against libjpeg-turbo.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <pixman.h>
#include <png.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/graphics/Vexa_canvas.h"
#include "platform/graphics/Vexa_imagefiles.h"

namespace {

using namespace vexa;

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void Photo(TBitmap& Bmp, int32_t W, int32_t H) {
  Bmp.SetPixelFormat(pf24bit);
  Bmp.SetSize(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      Bmp.ScanLine(y)[x] = ColorToPixel(RGB(uint8_t(x * 7), uint8_t(y * 3), uint8_t((x ^ y) & 0xFF)));
}

/// A field of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); 0 when unknown.
double StatusKilobytes(const char* Field) {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  if (!file) return 0;
  char line[256];
  double value = 0;
  const size_t length = std::strlen(Field);
  while (std::fgets(line, sizeof line, file))
    if (std::strncmp(line, Field, length) == 0 && line[length] == ':') value = std::strtod(line + length + 1, nullptr);
  std::fclose(file);
  return value;
}

/// Resets the peak resident size to the current one (Linux: clear_refs 5).
void ResetPeakMemory() {
  if (std::FILE* file = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", file);
    std::fclose(file);
  }
}

// ---------------------------------------------------------------- fills, lines, polygons

void BM_FillRect(benchmark::State& state) {
  TBitmap bmp;
  bmp.SetSize(1920, 1080);
  bmp.Canvas().Brush().SetColor(clTeal);
  for (auto _ : state) {
    bmp.Canvas().FillRect(Rect(0, 0, 1920, 1080));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_FillRect);

void BM_PlainBufferFill(benchmark::State& state) {
  std::vector<uint32_t> buffer(1920 * 1080);
  for (auto _ : state) {
    std::fill(buffer.begin(), buffer.end(), 0xFF808000u);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_PlainBufferFill);

void BM_LineTo(benchmark::State& state) {
  TBitmap bmp;
  bmp.SetSize(1920, 1080);
  TCanvas& canvas = bmp.Canvas();
  canvas.Pen().SetMode(state.range(0) ? pmXor : pmCopy);
  canvas.Pen().SetColor(clRed);
  int64_t pixels = 0;
  for (auto _ : state) {
    for (int k = 0; k < 100; ++k) {
      canvas.MoveTo(0, k * 10);
      canvas.LineTo(1919, 1079 - k * 10);
      pixels += 1919;
    }
  }
  state.SetItemsProcessed(pixels);
  state.SetLabel(state.range(0) ? "xor" : "copy");
}
BENCHMARK(BM_LineTo)->Arg(0)->Arg(1);

void BM_Polygon(benchmark::State& state) {
  TBitmap bmp;
  bmp.SetSize(1920, 1080);
  TCanvas& canvas = bmp.Canvas();
  canvas.Brush().SetColor(clYellow);
  const std::vector<TPoint> star{{960, 20}, {1500, 1060}, {100, 380}, {1820, 380}, {420, 1060}};
  for (auto _ : state) canvas.Polygon(star);
}
BENCHMARK(BM_Polygon);

// ---------------------------------------------------------------- stretching

struct TStretchCase {
  int32_t Sw, Sh, Dw, Dh;
};
constexpr TStretchCase kStretch[2] = {{4000, 3000, 1000, 750}, {640, 480, 1920, 1440}};

void BM_StretchDraw(benchmark::State& state) {
  const TStretchCase& c = kStretch[state.range(0)];
  TBitmap source, dest;
  Photo(source, c.Sw, c.Sh);
  dest.SetSize(c.Dw, c.Dh);
  dest.Canvas().SetStretchMode(state.range(1) ? smHalftone : smNearest);
  for (auto _ : state) dest.Canvas().StretchDraw(Rect(0, 0, c.Dw, c.Dh), source);
  state.SetItemsProcessed(state.iterations() * c.Dw * c.Dh);
  state.SetLabel(state.range(1) ? "halftone" : "nearest");
}
BENCHMARK(BM_StretchDraw)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

/// pixman reference: 0 nearest, 1 bilinear, 2 box (separable convolution).
void BM_PixmanStretch(benchmark::State& state) {
  const TStretchCase& c = kStretch[state.range(0)];
  std::vector<uint32_t> src(static_cast<size_t>(c.Sw) * c.Sh), dst(static_cast<size_t>(c.Dw) * c.Dh);
  for (int32_t y = 0; y < c.Sh; ++y)
    for (int32_t x = 0; x < c.Sw; ++x) src[static_cast<size_t>(y) * c.Sw + x] = 0xFF000000u | uint32_t(x * 7 & 0xFF) << 16 | uint32_t(y * 3 & 0xFF) << 8;
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, c.Sw, c.Sh, src.data(), c.Sw * 4);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, c.Dw, c.Dh, dst.data(), c.Dw * 4);
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, pixman_double_to_fixed(double(c.Sw) / c.Dw),
                              pixman_double_to_fixed(double(c.Sh) / c.Dh));
  pixman_image_set_transform(source, &transform);
  int params = 0;
  pixman_fixed_t* filter = nullptr;
  if (state.range(1) == 2) {
    filter = pixman_filter_create_separable_convolution(
        &params, pixman_double_to_fixed(double(c.Sw) / c.Dw), pixman_double_to_fixed(double(c.Sh) / c.Dh),
        PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 1, 1);
    pixman_image_set_filter(source, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, filter, params);
  } else {
    pixman_image_set_filter(source, state.range(1) ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  }
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, c.Dw, c.Dh);
  std::free(filter);
  pixman_image_unref(source);
  pixman_image_unref(target);
  state.SetItemsProcessed(state.iterations() * c.Dw * c.Dh);
  const char* labels[] = {"nearest", "bilinear", "box"};
  state.SetLabel(labels[state.range(1)]);
}
BENCHMARK(BM_PixmanStretch)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- text

const char kSentence[] = "The quick brown fox jumps over the lazy dog 0123456789";

void BM_TextOutCached(benchmark::State& state) {
  SetFontFileOverride(kFont);
  TBitmap bmp;
  bmp.SetSize(800, 40);
  TCanvas& canvas = bmp.Canvas();
  canvas.Font().SetHeight(-16);
  canvas.Font().SetQuality(fqAntialiased);
  for (auto _ : state) canvas.TextOut(2, 2, kSentence);
  state.SetItemsProcessed(state.iterations() * (sizeof kSentence - 1));
}
BENCHMARK(BM_TextOutCached);

/// Plain FreeType: load and render every glyph each time, blend into a buffer.
void BM_FreeTypeDirect(benchmark::State& state) {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, kFont, 0, &face)) {
    state.SkipWithError("FreeType unavailable");
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, 16);
  std::vector<uint32_t> buffer(800 * 40, 0xFFFFFFFFu);
  for (auto _ : state) {
    int pen = 2;
    for (const char* p = kSentence; *p; ++p) {
      if (FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_RENDER | FT_LOAD_NO_HINTING)) continue;
      const FT_Bitmap& g = face->glyph->bitmap;
      for (unsigned y = 0; y < g.rows; ++y)
        for (unsigned x = 0; x < g.width; ++x) {
          const int px = pen + face->glyph->bitmap_left + int(x), py = 16 - face->glyph->bitmap_top + int(y);
          if (px >= 0 && px < 800 && py >= 0 && py < 40 && g.buffer[y * g.pitch + x])
            buffer[static_cast<size_t>(py) * 800 + px] = 0xFF000000u;
        }
      pen += int(face->glyph->advance.x >> 6);
    }
    benchmark::DoNotOptimize(buffer.data());
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  state.SetItemsProcessed(state.iterations() * (sizeof kSentence - 1));
}
BENCHMARK(BM_FreeTypeDirect);

// ---------------------------------------------------------------- PNG

void BM_PngEncode(benchmark::State& state) {
  TBitmap bmp;
  Photo(bmp, 1920, 1080);
  TPNGImage png;
  png.Assign(bmp);
  for (auto _ : state) {
    TMemoryStream stream;
    png.SaveToStream(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(BM_PngEncode)->Unit(benchmark::kMillisecond);

void BM_LibpngEncode(benchmark::State& state) {
  std::vector<uint8_t> rgb(1920 * 1080 * 3);
  for (int y = 0; y < 1080; ++y)
    for (int x = 0; x < 1920; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * 1920 + x) * 3];
      p[0] = uint8_t(x * 7);
      p[1] = uint8_t(y * 3);
      p[2] = uint8_t((x ^ y) & 0xFF);
    }
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 1920;
    image.height = 1080;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_get_memory_size(image, size, 0, rgb.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_LibpngEncode)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- JPEG

std::string EncodedJpeg() {
  TBitmap bmp;
  Photo(bmp, 1920, 1080);
  TJPEGImage jpeg;
  jpeg.Assign(bmp);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void BM_JpegEncode(benchmark::State& state) {
  TBitmap bmp;
  Photo(bmp, 1920, 1080);
  TJPEGImage jpeg;
  jpeg.Assign(bmp);
  for (auto _ : state) {
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(BM_JpegEncode)->Unit(benchmark::kMillisecond);

void BM_JpegDecode(benchmark::State& state) {
  // Large blocks always come from (and go back to) the system, so that the
  // resident peak shows what one decode takes.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  const std::string bytes = EncodedJpeg();
  ResetPeakMemory();
  const double before = StatusKilobytes("VmRSS");
  for (auto _ : state) {
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    benchmark::DoNotOptimize(jpeg.Width());
  }
  // Peak resident memory above the level before decoding: the decoder's working
  // memory plus the decoded 1920 x 1080 picture (8 MB).
  state.counters["peak_decode_kb"] = StatusKilobytes("VmHWM") - before;
}
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond);

void BM_LibjpegEncode(benchmark::State& state) {
  std::vector<uint8_t> rgb(1920 * 3);
  for (auto _ : state) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 1920;
    info.image_height = 1080;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < 1080) {
      const unsigned y = info.next_scanline;
      for (int x = 0; x < 1920; ++x) {
        rgb[x * 3] = uint8_t(x * 7);
        rgb[x * 3 + 1] = uint8_t(y * 3);
        rgb[x * 3 + 2] = uint8_t((x ^ y) & 0xFF);
      }
      JSAMPROW row = rgb.data();
      jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::free(buffer);
  }
}
BENCHMARK(BM_LibjpegEncode)->Unit(benchmark::kMillisecond);

void BM_LibjpegDecode(benchmark::State& state) {
  const std::string bytes = EncodedJpeg();
  std::vector<uint8_t> pixels(1920 * 1080 * 3);
  for (auto _ : state) {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = &pixels[static_cast<size_t>(info.output_scanline) * 1920 * 3];
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMillisecond);

}  // namespace
