#pragma once
/// @file
/// Base types of the Vexa family: the base error class, records, dynamic
/// array types, shared enumerations, event types and the progress globals.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Vexa_classes.h"
#include "platform/Vexa_exceptions.h"

namespace vexa {

/// Base of the family's error classes.
VEXA_DECLARE_EXCEPTION(EVexaError, Exception);

// ---------------------------------------------------------------- records

struct TPointDouble {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointDouble&, const TPointDouble&) = default;
};

struct TRectDouble {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
  friend bool operator==(const TRectDouble&, const TRectDouble&) = default;
};

/// A point with a colour (TColor value, $00BBGGRR).
struct TColoredPoint {
  double X = 0;
  double Y = 0;
  uint32_t Color = 0;
  friend bool operator==(const TColoredPoint&, const TColoredPoint&) = default;
};

// ---------------------------------------------------------------- dynamic arrays
// 0-based; multi-dimensional arrays are indexed [column][row][layer][time slot].

using TIntArray = std::vector<int32_t>;
using TDoubleArray = std::vector<double>;
using TSingleArray = std::vector<float>;
using TBoolArray = std::vector<bool>;
using TPDblArray = std::vector<TPointDouble>;
using TStrArray = std::vector<std::string>;

using TInt2DArray = std::vector<TIntArray>;
using TInt3DArray = std::vector<TInt2DArray>;
using TInt4DArray = std::vector<TInt3DArray>;
using TDouble2DArray = std::vector<TDoubleArray>;
using TDouble3DArray = std::vector<TDouble2DArray>;
using TDouble4DArray = std::vector<TDouble3DArray>;
using TSingle2DArray = std::vector<TSingleArray>;
using TSingle3DArray = std::vector<TSingle2DArray>;
using TSingle4DArray = std::vector<TSingle3DArray>;
using TBool2DArray = std::vector<TBoolArray>;
using TBool3DArray = std::vector<TBool2DArray>;
using TBool4DArray = std::vector<TBool3DArray>;
using TStr2DArray = std::vector<TStrArray>;

// ---------------------------------------------------------------- enumerations
// Callers often pass these by ordinal, so the order of the members is fixed.
// Where no caller names the members, the names below are this package's own.

/// Decimal separator accepted in number input: the system's separator, a
/// point only, a comma only, or either.
enum TDecPSep : uint8_t { dpsSystem, dpsPoint, dpsComma, dpsBoth };

/// Language of month and weekday names. Ordinal 0 stands for no particular
/// language (users of the name tables fall back to their default).
enum TLanguage : uint8_t { lgNone, lgEnglish, lgGerman, lgFrench, lgSpanish };

/// Notation of angles: decimal degrees, degrees and decimal minutes, degrees,
/// minutes and seconds, or a plain number without symbols.
enum TDegreeFormat : uint8_t { dfDecDeg, dfDegMin, dfDegMinSec, dfPlain };

/// Line colours of framed controls: fixed gray ($808080) and light ($FFFFFF),
/// or the system's button shadow and highlight colours.
enum TColorScheme : uint8_t { csFixedGray, csSystemColors };

/// Frame drawn around a control: none, a single line, lowered (gray at top and
/// left), raised (the reverse), embossed (light outer and gray inner line),
/// engraved (gray outer and light inner line).
enum TFrameStyle : uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

/// How a background image fills a control: once at its own size at the
/// top-left corner, stretched over the whole control, or tiled.
enum TBkgFill : uint8_t { bfSimple, bfStretch, bfTile };

/// Direction in which a bar grows.
enum TDirection : uint8_t { drBottomUp, drTopDown, drRightToLeft, drLeftToRight };

/// Orientation of a row-or-column operation. With orVertical an operation
/// produces one result per row (running across the columns) and an
/// auto-advancing cursor moves down; orHorizontal is the transposed case.
enum TOrientation : uint8_t { orVertical, orHorizontal };

/// Aggregate of edge vectors: minimum, maximum, sum, mean, standard deviation.
enum TEdgeOp : uint8_t { eoMinimum, eoMaximum, eoSum, eoMean, eoStdDev };

/// A dimension of a matrix: along the columns or along the rows.
enum TDims : uint8_t { dimColumns, dimRows };

/// What an operation applies to: the columns, the rows, or both.
enum TApplyColRow : uint8_t { acrColumns, acrRows, acrBoth };

/// Distance or similarity between two objects: Tanimoto coefficient,
/// Manhattan, Euclidean and squared Euclidean distance, Dice coefficient, or a
/// distance supplied by the caller's event handler.
enum TDistMode : uint8_t { dmTanimoto, dmManhattan, dmEuclidean, dmSqrEuclidean, dmDice, dmUserDefined };

/// Element type of an untyped array: vkDouble and vkReal are 8-byte reals,
/// vkSingle a 4-byte real, vkInteger and vkLongint 32-bit integers. The
/// generic array routines handle these five; the rest name further types.
enum TVarKind : uint8_t { vkDouble, vkReal, vkSingle, vkInteger, vkLongint, vkByte, vkWord, vkInt64 };

/// Shape drawn into a mask: rectangle, ellipse, disc, ring.
enum TShapeKind : uint8_t { skRectangle, skEllipse, skDisc, skRing };

/// Delimiter between the fields of a CSV file.
enum TCSVDelimiters : uint8_t { csvComma, csvSemicolon, csvTab, csvSpace };

/// What mouse dragging does in a map view. The ordinals are fixed by use;
/// the reserved ordinals have no action of their own.
enum TMouseActMode : uint8_t {
  maNone,           ///< 0: no action
  maPan,            ///< 1: pan in both directions
  maPanHorizontal,  ///< 2: pan horizontally only
  maPanVertical,    ///< 3: pan vertically only
  maReserved4,
  maRubberBand,     ///< 5: rubber band lines
  maReserved6,
  maZoomWindow,     ///< 7: zoom to a dragged rectangle
  maReserved8,
  maZoomDrag,       ///< 9: zoom by dragging
  maReserved10,
  maReserved11,
  maReserved12,
  maReserved13,
  maReserved14,
  maReserved15,
  maSelectRect,     ///< 16: select a rectangle
  maMouseTrace      ///< 17: record the mouse trace
};

/// Vertical alignment of a text relative to its anchor.
enum TVerticalAlignment : uint8_t { vaTop, vaCenter, vaBottom };

// ---------------------------------------------------------------- event types

/// OnSortExchange: kind of exchange, the two exchanged indices, and the first
/// and last index of the cross range that moved with them.
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat, int32_t Index1,
                                           int32_t Index2, int32_t First, int32_t Last)>;
/// OnPercentDone: the percentage of a lengthy operation that is done.
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t Percent)>;
/// OnExportText: called by text exports for each cell text before it is
/// written (column and row 1-based); the handler may change the text.
using TExportTextEvent =
    std::function<void(TObject* Sender, int32_t Col, int32_t Row, std::string& Text)>;
/// OnCheckAbort: polled by lengthy runs; the handler sets Abort to stop them.
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;
/// OnZoomPan: the view of a map has been zoomed or panned.
using TZoomPanEvent = std::function<void(TObject* Sender)>;
/// OnSelectRect: a rectangle has been selected. WithPositions is true when the
/// corners are geographic positions (X = longitude, Y = latitude), false when
/// they are image pixel coordinates.
using TSelectRectEvent = std::function<void(TObject* Sender, bool WithPositions,
                                            TPointDouble Corner1, TPointDouble Corner2)>;
/// OnBeginRubberBand, OnContinueRubberBand, OnEndRubberBand: the point (image
/// pixel coordinates) where a rubber band starts, continues or ends.
using TOnRubberBandActionEvent = std::function<void(TObject* Sender, TPointDouble Pixel)>;

// ---------------------------------------------------------------- progress globals

/// Progress counter of long computations. Worker threads add to it, hence atomic.
extern std::atomic<double> ProcStat;
/// Feedback procedure called with ProcStat by long computations, on the
/// calling thread only. Empty means none.
extern std::function<void(double ProcStat)> MathFeedBackProc;
/// Abort flag polled by long computations; set it (from any thread) to stop them.
extern std::atomic<bool> AbortMathProc;

}  // namespace vexa

// The drawing half: frames, marks and name tables.
#include "fundora/Vexa_vexadraw.h"
