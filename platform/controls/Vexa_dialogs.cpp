#include "platform/controls/Vexa_dialogs.h"

#include <filesystem>

#include "platform/controls/Vexa_headless.h"
#include "platform/graphics/Vexa_fontcache.h"

namespace vexa {

namespace {

// ------------------------------------------------ the dialogs' own controls

/// A one-line text field: typed characters are appended, Backspace removes
/// the last code point.
class TDialogEdit : public TCustomControl {
public:
  explicit TDialogEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
  }

protected:
  void KeyPress(char32_t& Key) override {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    std::string text = Text();
    if (Key == 8) {
      const std::vector<uint32_t> points = fontcache::DecodeText(text);
      text.clear();
      for (size_t i = 0; i + 1 < points.size(); ++i) text += EncodeUtf8(points[i]);
    } else if (Key >= 32 && Key != 127) {
      text += EncodeUtf8(Key);
    } else {
      return;
    }
    SetText(text);
  }

  void Paint() override {
    Canvas().Pen().SetColor(clBtnShadow);
    Canvas().Brush().SetStyle(bsClear);
    Canvas().Rectangle(ClientRect());
    Canvas().Font().SetColor(clWindowText);
    Canvas().TextOut(4, (Height() - Canvas().TextHeight("Ag")) / 2, Text());
    if (Focused()) Canvas().DrawFocusRect(Rect(2, 2, Width() - 2, Height() - 2));
  }
};

/// A push button closing its dialog with a result; answers Enter when it is
/// the default button and Escape when it is the cancel button.
class TDialogButton : public TCustomControl {
public:
  TDialogButton(TComponent* AOwner, TModalResult Result, bool IsDefault, bool IsCancel)
      : TCustomControl(AOwner), FResult(Result), FDefault(IsDefault), FCancel(IsCancel) {
    SetTabStop(true);
  }

  void Click() override {
    TCustomControl::Click();
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FResult);
  }

protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_DIALOGKEY &&
        ((FDefault && Message.WParam == VK_RETURN) || (FCancel && Message.WParam == VK_ESCAPE))) {
      Message.Result = 1;
      Click();
      return;
    }
    TCustomControl::Dispatch(Message);
  }

  void Paint() override {
    Canvas().Pen().SetColor(FDefault ? clBlack : clBtnShadow);
    Canvas().Brush().SetStyle(bsClear);
    Canvas().Rectangle(ClientRect());
    const std::string& caption = Caption();
    Canvas().TextOut((Width() - Canvas().TextWidth(caption)) / 2, (Height() - Canvas().TextHeight(caption)) / 2,
                     caption);
  }

private:
  TModalResult FResult;
  bool FDefault;
  bool FCancel;
};

/// A colour cell of the colour dialog: a click puts its colour into the hex edit.
class TColorCell : public TGraphicControl {
public:
  TColorCell(TComponent* AOwner, TDialogEdit* Target) : TGraphicControl(AOwner), FTarget(Target) {}

  void Click() override {
    TGraphicControl::Click();
    FTarget->SetText(ColorToHex(Color()));
  }

protected:
  void Paint() override {
    Canvas().Pen().SetColor(clBlack);
    Canvas().Brush().SetColor(Color());
    Canvas().Rectangle(ClientRect());
  }

private:
  TDialogEdit* FTarget;
};

TDialogButton* AddButtons(TForm& Form, int32_t Top) {
  auto* ok = new TDialogButton(&Form, mrOk, true, false);
  ok->SetName("OKButton");
  ok->SetCaption("OK");
  ok->SetParent(&Form);
  ok->SetBounds(Form.Width() - 170, Top, 75, 25);
  auto* cancel = new TDialogButton(&Form, mrCancel, false, true);
  cancel->SetName("CancelButton");
  cancel->SetCaption("Cancel");
  cancel->SetParent(&Form);
  cancel->SetBounds(Form.Width() - 85, Top, 75, 25);
  return ok;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

const TColor ColorDialogCells[16] = {clBlack, clMaroon, clGreen,  clOlive,   clNavy, clPurple, clTeal, clGray,
                                     clSilver, clRed,   clLime,   clYellow,  clBlue, clFuchsia, clAqua, clWhite};

std::string ColorToHex(TColor Color) {
  static const char digits[] = "0123456789ABCDEF";
  const TColor rgb = ColorToRGB(Color);
  std::string text;
  for (const uint8_t channel : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
    text += digits[channel >> 4];
    text += digits[channel & 15];
  }
  return text;
}

bool HexToColor(const std::string& Text, TColor& Color) {
  const std::string digits = !Text.empty() && Text[0] == '#' ? Text.substr(1) : Text;
  if (digits.size() != 6) return false;
  uint8_t channels[3];
  for (size_t i = 0; i < 3; ++i) {
    const int high = HexDigit(digits[2 * i]), low = HexDigit(digits[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    channels[i] = static_cast<uint8_t>(high * 16 + low);
  }
  Color = RGB(channels[0], channels[1], channels[2]);
  return true;
}

// ------------------------------------------------------------------ dialogs

TModalResult TCommonDialog::RunDialog(TForm& Form) {
  if (OnShow) OnShow(this);
  const TModalResult result = Form.ShowModal();
  if (OnClose) OnClose(this);
  return result;
}

bool TOpenDialog::Execute() {
  TForm form(nullptr);
  form.SetName(FormName());
  form.SetCaption(Title().empty() ? DefaultTitle() : Title());
  form.SetBounds(200, 200, 420, 110);
  auto* edit = new TDialogEdit(&form);
  edit->SetName("FileNameEdit");
  edit->SetParent(&form);
  edit->SetBounds(10, 15, 400, 24);
  edit->SetText(FFileName);
  AddButtons(form, 70);
  form.SetActiveControl(edit);
  if (RunDialog(form) != mrOk) return false;
  std::string name = edit->Text();
  if (!FInitialDir.empty() && !name.empty() && !std::filesystem::path(name).is_absolute())
    name = (std::filesystem::path(FInitialDir) / name).string();
  FFileName = name;
  return true;
}

bool TColorDialog::Execute() {
  TForm form(nullptr);
  form.SetName("ColorDialog");
  form.SetCaption(Title().empty() ? "Color" : Title());
  form.SetBounds(200, 200, 260, 170);
  auto* hex = new TDialogEdit(&form);
  hex->SetName("HexEdit");
  hex->SetParent(&form);
  hex->SetBounds(10, 100, 80, 24);
  hex->SetText(ColorToHex(FColor));
  for (int32_t i = 0; i < 16; ++i) {
    auto* cell = new TColorCell(&form, hex);
    cell->SetName("Color" + std::to_string(i));
    cell->SetParent(&form);
    cell->SetBounds(10 + (i % 8) * 30, 10 + (i / 8) * 30, 26, 26);
    cell->SetColor(ColorDialogCells[i]);
  }
  AddButtons(form, 135);
  form.SetActiveControl(hex);
  if (RunDialog(form) != mrOk) return false;
  TColor chosen = FColor;
  if (!HexToColor(hex->Text(), chosen)) return false;  // unreadable text confirms nothing
  FColor = chosen;
  return true;
}

// ------------------------------------------------------------------ printer

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() = default;

void TPrinter::BeginDoc() {
  if (FPrinting) throw EInvalidOperation("Printing in progress");
  FPages.clear();
  FAborted = false;
  FPrinting = true;
  NewPage();
}

void TPrinter::NewPage() {
  if (!FPrinting) throw EInvalidOperation("Printer is not currently printing");
  auto page = std::make_unique<TBitmap>();
  page->SetSize(FPageWidth, FPageHeight);
  page->Canvas().Brush().SetColor(clWhite);
  page->Canvas().FillRect(Rect(0, 0, FPageWidth, FPageHeight));
  FPages.push_back(std::move(page));
}

void TPrinter::EndDoc() {
  if (!FPrinting) throw EInvalidOperation("Printer is not currently printing");
  FPrinting = false;
}

void TPrinter::Abort() {
  FPrinting = false;
  FAborted = true;
  FPages.clear();
}

void TPrinter::SetPageSize(int32_t AWidth, int32_t AHeight) {
  if (FPrinting) throw EInvalidOperation("Printing in progress");
  CheckPixelCount(AWidth, AHeight);
  FPageWidth = std::max(AWidth, 1);
  FPageHeight = std::max(AHeight, 1);
}

TCanvas& TPrinter::Canvas() { return FPrinting ? FPages.back()->Canvas() : FIdle.Canvas(); }

const TBitmap& TPrinter::Pages(int32_t Index) const {
  if (Index < 0 || Index >= PageCount()) throw ERangeError("Printer page index out of range");
  return *FPages[static_cast<size_t>(Index)];
}

TPrinter& Printer() {
  static TPrinter* printer = new TPrinter();  // lives until exit
  return *printer;
}

}  // namespace vexa
