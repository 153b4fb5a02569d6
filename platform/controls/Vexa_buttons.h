#pragma once
/// @file
/// The speed button: a button drawn on its parent with a picture, that can
/// stay down. Buttons of one parent with the same non-zero GroupIndex form
/// an exclusive group: one going down broadcasts CM_BUTTONPRESSED to its
/// siblings, and the one that was down comes up. Only speed buttons are
/// heard; the message from any other sender is ignored.

#include <cstdint>

#include "platform/controls/Vexa_controls.h"

namespace vexa {

/// How a speed button is drawn: up, disabled, pressed (held by the mouse)
/// or staying down.
enum TButtonState : uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* AOwner);

  /// The picture: NumGlyphs cells side by side (up, disabled, pressed,
  /// down); the bottom-left pixel's colour of a cell is transparent.
  TBitmap& Glyph() { return FGlyph; }
  const TBitmap& Glyph() const { return FGlyph; }
  void SetGlyph(const TBitmap& Value);
  /// Number of cells in Glyph, 1 ... 4 (other values are clamped).
  int32_t NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int32_t Value);
  /// Staying down; only a grouped button (GroupIndex not 0) can be down. A
  /// down button of a group without AllowAllUp does not come up by itself.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int32_t GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int32_t Value);
  /// The group may have no button down (the down one comes up on a click).
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  /// Border only while the pointer is over the button or it is down.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  /// Pixels between picture and caption (default 4).
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  /// How the button is drawn now.
  TButtonState State() const;
  bool MouseInControl() const { return FMouseInControl; }

  void Click() override;

protected:
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseMove(TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Paint() override;

private:
  /// Tells the siblings of the group that this button went down.
  void UpdateExclusive();
  void ButtonPressed(const TMessage& Message);
  void DrawGlyphCell(TCanvas& Canvas, int32_t X, int32_t Y, TButtonState Drawn);

  TBitmap FGlyph;
  int32_t FNumGlyphs = 1;
  bool FDown = false;
  int32_t FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
  int32_t FSpacing = 4;
  bool FDragging = false;
  bool FPressedInside = false;
  bool FMouseInControl = false;
};

}  // namespace vexa
