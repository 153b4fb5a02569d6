#pragma once
// The frame of the picture tools (vexa_render, vexa_gallery): command line,
// one PNG file per sheet, and with --verify each file read back and compared.

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <span>
#include <string>

#include "platform/graphics/Vexa_bitmap.h"
#include "platform/graphics/Vexa_fonts.h"
#include "platform/graphics/Vexa_imagefiles.h"

namespace vexa::tools {

/// One picture of a tool: its file name and how to draw it.
struct TSheet {
  const char* Name;
  void (*Draw)(TBitmap&);
};

/// True when the file holds Picture's colours, pixel for pixel.
inline bool ReadsBackAsDrawn(const std::string& File, TBitmap& Picture) {
  TBitmap back;
  LoadPictureFromFile(File, back);
  bool same = Picture.Width() > 0 && back.Width() == Picture.Width() && back.Height() == Picture.Height();
  for (int32_t y = 0; same && y < back.Height(); ++y)
    for (int32_t x = 0; same && x < back.Width(); ++x)
      same = PixelToColor(back.ScanLine(y)[x]) == PixelToColor(Picture.ScanLine(y)[x]);
  return same;
}

/// Draws every sheet into Folder as PNG; 0, or 1 when a file did not read back.
inline int WriteSheets(const std::string& Folder, bool Verify, std::span<const TSheet> Sheets) {
  std::filesystem::create_directories(Folder);
  int failures = 0;
  for (const TSheet& sheet : Sheets) {
    TBitmap picture;
    sheet.Draw(picture);
    TPNGImage png;
    png.Assign(picture);
    const std::string file = (std::filesystem::path(Folder) / sheet.Name).string();
    png.SaveToFile(file);
    std::printf("wrote %s (%d x %d)\n", file.c_str(), picture.Width(), picture.Height());
    if (Verify && !ReadsBackAsDrawn(file, picture)) {
      std::fprintf(stderr, "%s does not read back as drawn\n", file.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

/// main of a picture tool: [--out <folder>] [--font <file.ttf>] [--verify].
inline int PictureToolMain(int argc, char** argv, const char* Tool, const char* DefaultFolder,
                           std::span<const TSheet> Sheets) {
  std::string folder = DefaultFolder;
  std::string font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  bool verify = false;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--out") == 0 && k + 1 < argc) folder = argv[++k];
    else if (std::strcmp(argv[k], "--font") == 0 && k + 1 < argc) font = argv[++k];
    else if (std::strcmp(argv[k], "--verify") == 0) verify = true;
    else {
      std::fprintf(stderr, "usage: %s [--out <folder>] [--font <file.ttf>] [--verify]\n", Tool);
      return 2;
    }
  }
  try {
    SetFontFileOverride(font);
    return WriteSheets(folder, verify, Sheets);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", Tool, e.what());
    return 1;
  }
}

}  // namespace vexa::tools
