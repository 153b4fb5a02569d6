#pragma once
/// @file
/// The panel: a container with bevels and a caption.

#include <cstdint>

#include "platform/controls/Vexa_stdctrls.h"

namespace vexa {

/// A bevel edge: none, sunken, raised, or an empty band.
enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

/// A container drawn as an outer bevel, a border, an inner bevel and a
/// caption (centred vertically, placed by Alignment).
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  /// Width of each bevel in pixels (at least 1).
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t Value);
  /// Band between the bevels in pixels (at least 0).
  int32_t BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int32_t Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

protected:
  void Paint() override;

private:
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int32_t FBevelWidth = 1;
  int32_t FBorderWidth = 0;
  TAlignment FAlignment = taCenter;
  bool FShowCaption = true;
};

}  // namespace vexa
