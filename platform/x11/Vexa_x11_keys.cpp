// Key symbols of X to the platform's virtual key numbers.

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/x11/Vexa_x11.h"

namespace vexa {

namespace {

/// Key symbols whose virtual key is not found by a range rule.
constexpr std::array<std::pair<uint32_t, uint16_t>, 52> KeysymTable{{
    {XK_BackSpace, 0x08},    {XK_Tab, 0x09},         {XK_ISO_Left_Tab, 0x09}, {XK_Clear, 0x0C},
    {XK_Return, 0x0D},       {XK_KP_Enter, 0x0D},    {XK_Shift_L, 0x10},      {XK_Shift_R, 0x10},
    {XK_Control_L, 0x11},    {XK_Control_R, 0x11},   {XK_Alt_L, 0x12},        {XK_Alt_R, 0x12},
    {XK_Pause, 0x13},        {XK_Caps_Lock, 0x14},   {XK_Escape, 0x1B},       {XK_space, 0x20},
    {XK_Prior, 0x21},        {XK_KP_Prior, 0x21},    {XK_Next, 0x22},         {XK_KP_Next, 0x22},
    {XK_End, 0x23},          {XK_KP_End, 0x23},      {XK_Home, 0x24},         {XK_KP_Home, 0x24},
    {XK_Left, 0x25},         {XK_KP_Left, 0x25},     {XK_Up, 0x26},           {XK_KP_Up, 0x26},
    {XK_Right, 0x27},        {XK_KP_Right, 0x27},    {XK_Down, 0x28},         {XK_KP_Down, 0x28},
    {XK_Print, 0x2C},        {XK_Insert, 0x2D},      {XK_KP_Insert, 0x2D},    {XK_Delete, 0x2E},
    {XK_KP_Delete, 0x2E},    {XK_Help, 0x2F},        {XK_KP_Multiply, 0x6A},  {XK_KP_Add, 0x6B},
    {XK_KP_Separator, 0x6C}, {XK_KP_Subtract, 0x6D}, {XK_KP_Decimal, 0x6E},   {XK_KP_Divide, 0x6F},
    {XK_Num_Lock, 0x90},     {XK_Scroll_Lock, 0x91}, {XK_semicolon, 0xBA},    {XK_equal, 0xBB},
    {XK_comma, 0xBC},        {XK_minus, 0xBD},       {XK_period, 0xBE},       {XK_slash, 0xBF},
}};

/// The punctuation keys of a US keyboard that the table above leaves out.
constexpr std::array<std::pair<uint32_t, uint16_t>, 5> OemTable{{
    {XK_grave, 0xC0}, {XK_bracketleft, 0xDB}, {XK_backslash, 0xDC}, {XK_bracketright, 0xDD}, {XK_apostrophe, 0xDE},
}};

template <size_t N>
uint16_t Lookup(const std::array<std::pair<uint32_t, uint16_t>, N>& Table, uint32_t Keysym) {
  const auto it = std::find_if(Table.begin(), Table.end(), [Keysym](const auto& e) { return e.first == Keysym; });
  return it == Table.end() ? 0 : it->second;
}

}  // namespace

uint16_t KeysymToVirtualKey(uint32_t Keysym) {
  // Letters of either case share the key of the capital letter.
  if (Keysym >= XK_a && Keysym <= XK_z) return static_cast<uint16_t>(Keysym - XK_a + 'A');
  if (Keysym >= XK_A && Keysym <= XK_Z) return static_cast<uint16_t>(Keysym);
  if (Keysym >= XK_0 && Keysym <= XK_9) return static_cast<uint16_t>(Keysym);
  if (Keysym >= XK_KP_0 && Keysym <= XK_KP_9) return static_cast<uint16_t>(Keysym - XK_KP_0 + 0x60);
  if (Keysym >= XK_F1 && Keysym <= XK_F24) return static_cast<uint16_t>(Keysym - XK_F1 + 0x70);
  if (const uint16_t key = Lookup(KeysymTable, Keysym)) return key;
  return Lookup(OemTable, Keysym);
}

}  // namespace vexa
