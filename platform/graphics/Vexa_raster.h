#pragma once
/// @file
/// Rasteriser building blocks shared by the canvas sources: 64-bit device
/// rectangles, row span sets, the raster operations and Bresenham lines in
/// closed form (so a line can start iterating at its first visible pixel).
/// Internal to the graphics library.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace vexa::raster {

__extension__ typedef __int128 int128;

/// A device rectangle in 64 bits; right and bottom exclusive.
struct TDeviceRect {
  int64_t Left = 0;
  int64_t Top = 0;
  int64_t Right = 0;
  int64_t Bottom = 0;
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  TDeviceRect Intersect(const TDeviceRect& R) const;
  TDeviceRect Inflate(int64_t Before, int64_t After) const {
    return {Left - Before, Top - Before, Right + After, Bottom + After};
  }
};

/// Pixels as half-open runs [X0, X1) per row, each pixel at most once.
class TSpanSet {
public:
  using TSpan = std::pair<int64_t, int64_t>;
  /// Adds the run [X0, X1) of row Y (ignored when empty).
  void Add(int64_t Y, int64_t X0, int64_t X1);
  /// Adds every row of the rectangle that lies inside Clip, cut to Clip.
  void AddRect(const TDeviceRect& R, const TDeviceRect& Clip);
  /// Sorts and merges the runs of every row.
  void Normalize();
  /// This set minus Other (both normalized).
  TSpanSet Minus(const TSpanSet& Other) const;
  /// Keeps only the pixels inside Clip.
  void ClipTo(const TDeviceRect& Clip);
  const std::map<int64_t, std::vector<TSpan>>& Rows() const { return FRows; }
  bool IsEmpty() const { return FRows.empty(); }

private:
  std::map<int64_t, std::vector<TSpan>> FRows;
};

/// The binary raster operation of a pen mode (ordinal of TPenMode) on the
/// 24 colour bits of Pen and Dest.
uint32_t ApplyPenMode(uint8_t Mode, uint32_t Pen, uint32_t Dest);
/// The ternary raster operation (bits 16-23 of a copy mode) on 24 colour bits.
uint32_t ApplyRop3(uint8_t Rop, uint32_t Pattern, uint32_t Source, uint32_t Dest);

/// A Bresenham line from (X0, Y0) towards (X1, Y1) as a function of the step
/// index i in [0, Steps): the end point (i = Steps) is not part of it. The
/// minor coordinate is the major one's rounded share, ties away from the start.
class TLineWalk {
public:
  TLineWalk(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1);
  int64_t Steps() const { return FMajor; }
  int64_t X(int64_t i) const { return FX0 + FSx * (FXMajor ? i : Minor(i)); }
  int64_t Y(int64_t i) const { return FY0 + FSy * (FXMajor ? Minor(i) : i); }
  /// The step indices [First, Last) whose pixel lies inside R (an empty pair
  /// when none does). Both coordinates are monotone in i, so it is one range.
  std::pair<int64_t, int64_t> StepsInside(const TDeviceRect& R) const;
  /// The step indices whose Y lies in [Y0, Y1).
  std::pair<int64_t, int64_t> StepsWithYIn(int64_t Y0, int64_t Y1) const;

private:
  int64_t Minor(int64_t i) const;
  template <class Coord>
  std::pair<int64_t, int64_t> StepsWithCoordIn(Coord coord, int64_t Sign, int64_t Lo,
                                               int64_t Hi) const;

  int64_t FX0, FY0, FSx, FSy, FMajor, FMinor;
  bool FXMajor;
};

/// Pixel ranges of the pixel centres inside the ellipse of the box
/// [L,R)x[T,B) on row Y: false when the row has none, else [X0, X1).
bool EllipseRowSpan(int64_t L, int64_t T, int64_t R, int64_t B, int64_t Y, int64_t& X0,
                    int64_t& X1);

}  // namespace vexa::raster
