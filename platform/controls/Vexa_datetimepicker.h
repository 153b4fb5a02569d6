#pragma once
/// @file
/// The date-time picker: a field showing DateTime by a picker display
/// format (see FormatPickerDateTime in platform/Vexa_dateutils.h). Left and
/// Right pick a field of the format, Up and Down step it (a click picks the
/// field under the pointer).
///
/// Stepping wraps each field within its own range and leaves the others:
/// the day runs through the days of its month (31 -> 1), the month through
/// 1..12, hours 0..23, minutes and seconds 0..59, the am/pm field moves the
/// hour by 12; the year stops at 1 and 9999. A day that the new month or
/// year lacks becomes the month's last day (Jan 31 + one month = Feb 28/29).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Vexa_dateutils.h"
#include "platform/controls/Vexa_controls.h"

namespace vexa {

enum TDateTimeKind : uint8_t { dtkDate, dtkTime };

class TDateTimePicker : public TCustomControl {
public:
  explicit TDateTimePicker(TComponent* AOwner);

  /// The value; setting it from code fires nothing. Raises EConvertError
  /// for a value outside the years 1..9999 (or not finite), keeping the old one.
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(TDateTime Value);
  /// The picker display format ("" gives the short date "M/d/yyyy").
  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& Value);
  /// Which default format an empty Format stands for (stored; dtkTime shows "h:mm:ss tt").
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind Value);
  /// The value as shown.
  std::string DisplayText() const;
  /// Number of fields of the format and the 0-based index of the picked one.
  int32_t FieldCount() const;
  int32_t SelectedField() const { return FSelected; }
  void SetSelectedField(int32_t Value);
  /// The format letter of a field ('d', 'M', 'y', 'h', 'H', 'm', 's', 't'), 0 outside.
  char FieldLetter(int32_t Index) const;

  TNotifyEvent OnChange;

protected:
  /// Called after a user change of the value; fires OnChange.
  virtual void Change();
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void Paint() override;

private:
  /// A piece of the shown text: a field (Letter, Count) or literal Text.
  struct TSegment {
    char Letter = 0;
    int32_t Count = 0;
    std::string Text;
  };
  std::vector<TSegment> Segments() const;
  const std::string& EffectiveFormat() const;
  /// Steps the picked field by Step (see file comment).
  void StepField(int32_t Step);
  std::vector<std::string> SegmentTexts(const std::vector<TSegment>& Segments) const;

  TDateTime FDateTime = 0;
  std::string FFormat;
  TDateTimeKind FKind = dtkDate;
  int32_t FSelected = 0;
};

}  // namespace vexa
