// Key symbols to virtual keys: the platform's published key numbers.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/x11/Vexa_x11.h"

#include <X11/keysym.h>

namespace vexa {
namespace {

TEST(X11Keys, KeysymsGiveThePlatformsVirtualKeys) {
  struct TCase {
    uint32_t Keysym;
    uint16_t Key;
  };
  const TCase cases[] = {
      {XK_a, 0x41},          {XK_A, 0x41},           {XK_z, 0x5A},         {XK_0, 0x30},
      {XK_9, 0x39},          {XK_F1, 0x70},          {XK_F12, 0x7B},       {XK_F24, 0x87},
      {XK_BackSpace, 0x08},  {XK_Tab, 0x09},         {XK_ISO_Left_Tab, 0x09}, {XK_Return, 0x0D},
      {XK_KP_Enter, 0x0D},   {XK_Escape, 0x1B},      {XK_space, 0x20},     {XK_Prior, 0x21},
      {XK_Next, 0x22},       {XK_End, 0x23},         {XK_Home, 0x24},      {XK_Left, 0x25},
      {XK_Up, 0x26},         {XK_Right, 0x27},       {XK_Down, 0x28},      {XK_Insert, 0x2D},
      {XK_Delete, 0x2E},     {XK_KP_Left, 0x25},     {XK_KP_Delete, 0x2E}, {XK_Shift_L, 0x10},
      {XK_Shift_R, 0x10},    {XK_Control_R, 0x11},   {XK_Alt_L, 0x12},     {XK_KP_0, 0x60},
      {XK_KP_9, 0x69},       {XK_KP_Multiply, 0x6A}, {XK_KP_Add, 0x6B},    {XK_KP_Subtract, 0x6D},
      {XK_KP_Decimal, 0x6E}, {XK_KP_Divide, 0x6F},   {XK_semicolon, 0xBA}, {XK_equal, 0xBB},
      {XK_comma, 0xBC},      {XK_minus, 0xBD},       {XK_period, 0xBE},    {XK_slash, 0xBF},
      {XK_grave, 0xC0},      {XK_bracketleft, 0xDB}, {XK_backslash, 0xDC}, {XK_apostrophe, 0xDE},
      // Shifted symbols and keys without a virtual key give 0.
      {XK_exclam, 0},        {XK_udiaeresis, 0},     {0x01000000 + 0x3C0, 0}, {0, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(KeysymToVirtualKey(c.Keysym), c.Key) << "keysym 0x" << std::hex << c.Keysym;
}

}  // namespace
}  // namespace vexa
