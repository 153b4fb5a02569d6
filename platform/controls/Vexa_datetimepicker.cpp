#include "platform/controls/Vexa_datetimepicker.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

const std::string kShortDateFormat = "M/d/yyyy";
const std::string kTimeFormat = "h:mm:ss tt";

bool IsFieldLetter(char C) {
  return C == 'd' || C == 'M' || C == 'y' || C == 'h' || C == 'H' || C == 'm' || C == 's' || C == 't';
}

/// Wraps Value + Step into First ... Last.
int32_t Wrap(int32_t Value, int32_t Step, int32_t First, int32_t Last) {
  const int32_t span = Last - First + 1;
  return First + ((Value - First + Step % span) % span + span) % span;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 186, 21);
  FDateTime = Now();
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
  uint16_t year = 0, month = 0, day = 0;
  DecodeDate(Value, year, month, day);  // raises for values no calendar holds
  if (Value == FDateTime) return;
  FDateTime = Value;
  Invalidate();
}

void TDateTimePicker::SetFormat(const std::string& Value) {
  FFormat = Value;
  FSelected = std::clamp(FSelected, 0, std::max(FieldCount() - 1, 0));
  Invalidate();
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
  FKind = Value;
  SetFormat(FFormat);
}

const std::string& TDateTimePicker::EffectiveFormat() const {
  if (!FFormat.empty()) return FFormat;
  return FKind == dtkTime ? kTimeFormat : kShortDateFormat;
}

std::vector<TDateTimePicker::TSegment> TDateTimePicker::Segments() const {
  // The same reading of the format as FormatPickerDateTime: runs of a field
  // letter, '...' quoted text ("''" is one quote), everything else literal.
  const std::string& format = EffectiveFormat();
  std::vector<TSegment> segments;
  auto literal = [&segments](const std::string& Text) {
    if (segments.empty() || segments.back().Letter != 0) segments.push_back(TSegment{});
    segments.back().Text += Text;
  };
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'') {
      if (i + 1 < format.size() && format[i + 1] == '\'') {
        literal("'");
        i += 2;
        continue;
      }
      std::string quoted;
      for (++i; i < format.size();) {
        if (format[i] != '\'') quoted += format[i++];
        else if (i + 1 < format.size() && format[i + 1] == '\'') quoted += '\'', i += 2;
        else {
          ++i;
          break;
        }
      }
      literal(quoted);
      continue;
    }
    if (!IsFieldLetter(c)) {
      literal(std::string(1, c));
      ++i;
      continue;
    }
    size_t run = i;
    while (run < format.size() && format[run] == c) ++run;
    segments.push_back(TSegment{c, static_cast<int32_t>(run - i), std::string(run - i, c)});
    i = run;
  }
  return segments;
}

std::vector<std::string> TDateTimePicker::SegmentTexts(const std::vector<TSegment>& Segments) const {
  std::vector<std::string> texts;
  for (const TSegment& segment : Segments)
    texts.push_back(segment.Letter ? FormatPickerDateTime(segment.Text, FDateTime) : segment.Text);
  return texts;
}

std::string TDateTimePicker::DisplayText() const { return FormatPickerDateTime(EffectiveFormat(), FDateTime); }

int32_t TDateTimePicker::FieldCount() const {
  const std::vector<TSegment> segments = Segments();
  return static_cast<int32_t>(std::count_if(segments.begin(), segments.end(), [](const TSegment& s) { return s.Letter != 0; }));
}

char TDateTimePicker::FieldLetter(int32_t Index) const {
  int32_t field = 0;
  for (const TSegment& segment : Segments())
    if (segment.Letter && field++ == Index) return segment.Letter;
  return 0;
}

void TDateTimePicker::SetSelectedField(int32_t Value) {
  FSelected = std::clamp(Value, 0, std::max(FieldCount() - 1, 0));
  Invalidate();
}

void TDateTimePicker::StepField(int32_t Step) {
  uint16_t y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDateTime(FDateTime, y, mo, d, h, mi, s, ms);
  int32_t year = y, month = mo, day = d, hour = h, minute = mi, second = s;
  switch (FieldLetter(FSelected)) {
    case 'd': day = Wrap(day, Step, 1, DaysInAMonth(year, month)); break;
    case 'M': month = Wrap(month, Step, 1, 12); break;
    case 'y': year = std::clamp(year + Step, 1, 9999); break;
    case 'h':
    case 'H': hour = Wrap(hour, Step, 0, 23); break;
    case 'm': minute = Wrap(minute, Step, 0, 59); break;
    case 's': second = Wrap(second, Step, 0, 59); break;
    case 't': hour = (hour + 12) % 24; break;
    default: return;
  }
  day = std::min<int32_t>(day, DaysInAMonth(year, month));
  const TDateTime value = EncodeDateTime(year, month, day, hour, minute, second, ms);
  if (value == FDateTime) return;
  FDateTime = value;
  Invalidate();
  Change();
}

void TDateTimePicker::Change() {
  if (OnChange) OnChange(this);
}

void TDateTimePicker::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_LEFT: SetSelectedField(FSelected - 1); break;
    case VK_RIGHT: SetSelectedField(FSelected + 1); break;
    case VK_UP: StepField(1); break;
    case VK_DOWN: StepField(-1); break;
    default: break;
  }
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) {
  const TControlRef self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self || Button != mbLeft) return;
  SetFocus();
  if (!self) return;
  // The field whose text lies under (or nearest before) X.
  const std::vector<TSegment> segments = Segments();
  const std::vector<std::string> texts = SegmentTexts(segments);
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  int32_t x = 3, field = -1;
  for (size_t i = 0; i < segments.size() && x <= X; ++i) {
    if (segments[i].Letter) ++field;
    x += canvas.TextWidth(texts[i]);
  }
  if (field >= 0) SetSelectedField(field);
}

void TDateTimePicker::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Pen().SetColor(clBtnShadow);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(ClientRect());
  canvas.IntersectClipRect(Rect(1, 1, Width() - 1, Height() - 1));
  const std::vector<TSegment> segments = Segments();
  const std::vector<std::string> texts = SegmentTexts(segments);
  const int32_t textHeight = canvas.TextHeight("Ag");
  const int32_t top = (Height() - textHeight) / 2;
  int32_t x = 3, field = -1;
  for (size_t i = 0; i < segments.size(); ++i) {
    const bool picked = segments[i].Letter && ++field == FSelected && Focused();
    const int32_t width = canvas.TextWidth(texts[i]);
    if (picked) {
      canvas.Brush().SetStyle(bsSolid);
      canvas.Brush().SetColor(clHighlight);
      canvas.FillRect(Rect(x, top, x + width, top + textHeight));
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(!EffectivelyEnabled() ? clGrayText : picked ? clHighlightText : Font().Color());
    canvas.TextOut(x, top, texts[i]);
    x += width;
  }
  canvas.Brush().SetStyle(bsSolid);
}

}  // namespace vexa
