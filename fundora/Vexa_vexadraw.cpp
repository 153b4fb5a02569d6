#include <algorithm>
#include <cstdlib>

#include "fundora/Vexa_vexabase.h"

namespace vexa {

namespace {

/// Saves the canvas's pen, brush and pen position and restores them on exit.
class TCanvasStateGuard {
public:
  explicit TCanvasStateGuard(TCanvas& Canvas) : FCanvas(Canvas), FPenPos(Canvas.PenPos()) {
    FPen.Assign(Canvas.Pen());
    FBrush.Assign(Canvas.Brush());
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetMode(pmCopy);
  }
  ~TCanvasStateGuard() {
    FCanvas.Pen().Assign(FPen);
    FCanvas.Brush().Assign(FBrush);
    FCanvas.SetPenPos(FPenPos);
  }
  TCanvasStateGuard(const TCanvasStateGuard&) = delete;
  TCanvasStateGuard& operator=(const TCanvasStateGuard&) = delete;

private:
  TCanvas& FCanvas;
  TPen FPen;
  TBrush FBrush;
  TPoint FPenPos;
};

/// V + D kept inside the 32-bit range (rectangles may touch its limits).
int32_t Step(int32_t V, int32_t D) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{V} + D, INT32_MIN, INT32_MAX));
}

/// Inclusive horizontal and vertical runs in the pen colour: the line leaves
/// out its end point, which is set on its own.
void HLine(TCanvas& Canvas, int32_t X0, int32_t X1, int32_t Y, TColor Color) {
  if (X1 < X0) return;
  Canvas.Pen().SetColor(Color);
  Canvas.MoveTo(X0, Y);
  Canvas.LineTo(X1, Y);
  Canvas.SetPixels(X1, Y, Color);
}

void VLine(TCanvas& Canvas, int32_t X, int32_t Y0, int32_t Y1, TColor Color) {
  if (Y1 < Y0) return;
  Canvas.Pen().SetColor(Color);
  Canvas.MoveTo(X, Y0);
  Canvas.LineTo(X, Y1);
  Canvas.SetPixels(X, Y1, Color);
}

/// A ring along the inclusive rectangle: TopLeft on the top row (without its
/// right end) and the left column (without its bottom end), BottomRight on
/// the rest. Nothing for a reversed rectangle.
void Ring(TCanvas& Canvas, int32_t L, int32_t T, int32_t R, int32_t B, TColor TopLeft, TColor BottomRight) {
  if (R < L || B < T) return;
  if (R > L) HLine(Canvas, L, R - 1, T, TopLeft);
  if (B > T) VLine(Canvas, L, T, B - 1, TopLeft);
  VLine(Canvas, R, T, B, BottomRight);
  if (R > L) HLine(Canvas, L, R - 1, B, BottomRight);
}

void Outline(TCanvas& Canvas, int32_t L, int32_t T, int32_t R, int32_t B, TColor Color) {
  Ring(Canvas, L, T, R, B, Color, Color);
}

}  // namespace

void DrawFrame(TCanvas& Canvas, TFrameStyle Style, const TRect& R, TColor Light, TColor Highlight,
               TColor Shadow, TColor DarkShadow, TColor Border) {
  TCanvasStateGuard guard(Canvas);
  const int32_t l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
  const auto inner = Step;
  switch (Style) {
    case fsSimple:
      Outline(Canvas, l, t, r, b, Border);
      break;
    case fsLowered:
      Ring(Canvas, l, t, r, b, Shadow, Light);
      Ring(Canvas, inner(l, 1), inner(t, 1), inner(r, -1), inner(b, -1), DarkShadow, Highlight);
      break;
    case fsRaised:
      Ring(Canvas, l, t, r, b, Highlight, DarkShadow);
      Ring(Canvas, inner(l, 1), inner(t, 1), inner(r, -1), inner(b, -1), Light, Shadow);
      break;
    case fsEmbossed:
      Outline(Canvas, inner(l, 1), inner(t, 1), r, b, Shadow);
      Outline(Canvas, l, t, inner(r, -1), inner(b, -1), Light);
      break;
    case fsEngraved:
      Outline(Canvas, inner(l, 1), inner(t, 1), r, b, Light);
      Outline(Canvas, l, t, inner(r, -1), inner(b, -1), Shadow);
      break;
    default:
      break;
  }
}

void DrawRectangle(TCanvas& Canvas, const TRect& R, TColor LineColor, TColor FillColor) {
  TCanvasStateGuard guard(Canvas);
  if (R.Right < R.Left || R.Bottom < R.Top) return;
  if (FillColor != clNone) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FillColor);
    Canvas.FillRect(Rect(Step(R.Left, 1), Step(R.Top, 1), R.Right, R.Bottom));
  }
  Outline(Canvas, R.Left, R.Top, R.Right, R.Bottom, LineColor);
}

// ---------------------------------------------------------------- marks

bool MarkCoversPixel(int32_t Mark, int32_t Dx, int32_t Dy) {
  if (Dx < -4 || Dx > 4 || Dy < -4 || Dy > 4) return false;
  const int32_t ax = std::abs(Dx), ay = std::abs(Dy), r2 = Dx * Dx + Dy * Dy;
  const int32_t m = std::max(ax, ay);
  // Triangles with the apex at distance 4 from the centre; u runs from the
  // apex (-4) to the base (4), w across.
  auto triangle = [](int32_t u, int32_t w, bool filled) {
    const bool inside = 2 * std::abs(w) <= u + 4;
    return filled ? inside : inside && (u == 4 || 2 * std::abs(w) >= u + 3);
  };
  auto arrow = [](int32_t u, int32_t w) { return w == 0 || (u <= -1 && std::abs(w) == u + 4); };
  const bool circle = r2 >= 12 && r2 <= 20, disc = r2 <= 18;
  const bool smallCircle = r2 == 4 || r2 == 5, smallDisc = r2 <= 5;
  const bool diamond = ax + ay == 4, filledDiamond = ax + ay <= 4;
  const bool square = m == 4, smallSquare = m == 2;
  const bool dot = Dx == 0 && Dy == 0;
  const bool plus = Dx == 0 || Dy == 0, cross = ax == ay;
  switch (Mark) {
    case 1: return dot;
    case 2: return plus && m <= 1;
    case 3: return plus;
    case 4: return cross && m <= 1;
    case 5: return cross;
    case 6: return plus || cross;
    case 7: return smallSquare;
    case 8: return square;
    case 9: return m <= 2;
    case 10: return true;
    case 11: return smallCircle;
    case 12: return circle;
    case 13: return smallDisc;
    case 14: return disc;
    case 15: return diamond;
    case 16: return filledDiamond;
    case 17: return triangle(Dy, Dx, false);   // apex up
    case 18: return triangle(Dy, Dx, true);
    case 19: return triangle(-Dy, Dx, false);  // apex down
    case 20: return triangle(-Dy, Dx, true);
    case 21: return triangle(Dx, Dy, false);   // apex left
    case 22: return triangle(Dx, Dy, true);
    case 23: return triangle(-Dx, Dy, false);  // apex right
    case 24: return triangle(-Dx, Dy, true);
    case 25: return Dy == 0;
    case 26: return Dx == 0;
    case 27: return ay <= 1;
    case 28: return ax <= 1;
    case 29: return square || dot;
    case 30: return circle || dot;
    case 31: return diamond || dot;
    case 32: return square || (plus && m <= 2);
    case 33: return square || cross;
    case 34: return circle || (plus && m <= 2);
    case 35: return circle || (cross && m <= 2);
    case 36: return ax + ay == 2;
    case 37: return ax + ay <= 2;
    case 38: return ax <= ay;  // hourglass
    case 39: return ay <= ax;  // bow tie
    case 40: return arrow(Dy, Dx);   // up
    case 41: return arrow(-Dy, Dx);  // down
    case 42: return arrow(Dx, Dy);   // left
    case 43: return arrow(-Dx, Dy);  // right
    case 44: return Dx >= 0 && Dx <= 1 && Dy >= 0 && Dy <= 1;
    case 45: return m <= 1;
    case 46: return square || smallSquare;
    case 47: return circle || smallCircle;
    case 48: return (Dx + Dy) % 2 == 0;  // checkerboard
    case 49: return (ax == 4 && ay >= 2) || (ay == 4 && ax >= 2);  // corner brackets
    case 50: return Dy == -4 || Dx == 0;                            // T
    case 51: return (Dy <= 0 && ax == -Dy) || (Dx == 0 && Dy >= 0);  // Y
    default: return false;
  }
}

void DrawMarkOnCanvas(TCanvas& Canvas, int32_t Mark, int32_t X, int32_t Y, TColor Color) {
  if (Mark < 1 || Mark > MarkCount) return;
  for (int32_t dy = -4; dy <= 4; ++dy)
    for (int32_t dx = -4; dx <= 4; ++dx)
      if (MarkCoversPixel(Mark, dx, dy)) {
        const int64_t x = int64_t{X} + dx, y = int64_t{Y} + dy;
        if (x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX)
          Canvas.SetPixels(static_cast<int32_t>(x), static_cast<int32_t>(y), Color);
      }
}

// ---------------------------------------------------------------- name tables

namespace {

using TTwelve = const char* const[12];
using TSeven = const char* const[7];

constexpr TTwelve kMonthShort[4] = {
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"Jan", "Feb", "M\u00e4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"janv.", "f\u00e9vr.", "mars", "avr.", "mai", "juin", "juil.", "ao\u00fbt", "sept.", "oct.", "nov.", "d\u00e9c."},
    {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
};
constexpr TTwelve kMonthLong[4] = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
     "November", "December"},
    {"Januar", "Februar", "M\u00e4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
     "November", "Dezember"},
    {"janvier", "f\u00e9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\u00fbt", "septembre", "octobre",
     "novembre", "d\u00e9cembre"},
    {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre", "octubre",
     "noviembre", "diciembre"},
};
constexpr TSeven kWeekDayShort[4] = {
    {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"},
    {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"lu", "ma", "me", "je", "ve", "sa", "di"},
    {"lu", "ma", "mi", "ju", "vi", "s\u00e1", "do"},
};

/// Row of a language in the tables; unknown languages read English.
int LanguageRow(TLanguage Language) {
  return (Language >= lgEnglish && Language <= lgSpanish) ? Language - lgEnglish : 0;
}

}  // namespace

std::string MonthShort(TLanguage Language, int32_t Month) {
  return (Month >= 1 && Month <= 12) ? kMonthShort[LanguageRow(Language)][Month - 1] : "";
}

std::string MonthLong(TLanguage Language, int32_t Month) {
  return (Month >= 1 && Month <= 12) ? kMonthLong[LanguageRow(Language)][Month - 1] : "";
}

std::string WeekDayShort(TLanguage Language, int32_t Day) {
  return (Day >= 0 && Day <= 6) ? kWeekDayShort[LanguageRow(Language)][Day] : "";
}

}  // namespace vexa
