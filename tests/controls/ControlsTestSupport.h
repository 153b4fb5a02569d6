#pragma once
// Shared pieces of the control framework tests: a fixture that resets the
// framework's global state, and controls that log what reaches them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Vexa_forms.h"
#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_input.h"
#include "platform/controls/Vexa_timers.h"

namespace vexa::testing {

/// Resets capture, modal handler, timer refusal and recorded exceptions
/// around each test.
class ControlsTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    SetCaptureControl(nullptr);
    SetModalHandler(nullptr);
    SetTimersRefused(false);
    Application().ClearHandledExceptions();
    Application().OnException = nullptr;
    Application().ResetTerminated();
  }
  std::vector<std::string> Log;
};

/// A window control that records its events as "Name:event" lines.
class TLogControl : public TCustomControl {
public:
  TLogControl(TComponent* AOwner, std::vector<std::string>& Log, const std::string& AName)
      : TCustomControl(AOwner), FLog(Log) {
    SetName(AName);
    SetTabStop(true);
    SetBounds(0, 0, 40, 20);
    OnClick = [this](TObject*) { Add("click"); };
    OnDblClick = [this](TObject*) { Add("dblclick"); };
    OnEnter = [this](TObject*) { Add("enter"); };
    OnExit = [this](TObject*) { Add("exit"); };
    OnMouseEnter = [this](TObject*) { Add("mouseenter"); };
    OnMouseLeave = [this](TObject*) { Add("mouseleave"); };
    OnMouseDown = [this](TObject*, TMouseButton, TShiftState s, int32_t x, int32_t y) {
      Add("down" + std::string((s & ShiftBit(ssDouble)) ? "+double" : "") + Pos(x, y));
    };
    OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int32_t x, int32_t y) { Add("up" + Pos(x, y)); };
    OnKeyDown = [this](TObject*, uint16_t& k, TShiftState) { Add("keydown " + std::to_string(k)); };
    OnKeyPress = [this](TObject*, char32_t& c) { Add("char " + std::to_string(static_cast<uint32_t>(c))); };
  }
  void Add(const std::string& What) { FLog.push_back(Name() + ":" + What); }
  static std::string Pos(int32_t X, int32_t Y) { return " " + std::to_string(X) + "," + std::to_string(Y); }
  bool ClaimTab = false;
  bool ClaimsKey(uint16_t Key, TShiftState) const override { return ClaimTab && Key == VK_TAB; }

private:
  std::vector<std::string>& FLog;
};

/// A button that answers Enter (Default) or Escape (Cancel) and closes its
/// modal form with ModalResult when clicked.
class TTestButton : public TCustomControl {
public:
  explicit TTestButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 60, 24);
  }
  bool Default = false;
  bool Cancel = false;
  TModalResult Result = mrNone;
  void Click() override {
    TCustomControl::Click();
    if (TForm* form = GetParentForm(this); form && Result != mrNone) form->SetModalResult(Result);
  }

protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_DIALOGKEY &&
        ((Default && Message.WParam == VK_RETURN) || (Cancel && Message.WParam == VK_ESCAPE))) {
      Click();
      Message.Result = 1;
      return;
    }
    TCustomControl::Dispatch(Message);
  }
};

template <typename T>
T* Place(TWinControl* Parent, T* Control, int32_t X, int32_t Y, int32_t W, int32_t H) {
  Control->SetParent(Parent);
  Control->SetBounds(X, Y, W, H);
  return Control;
}

}  // namespace vexa::testing
