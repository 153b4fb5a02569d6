#include "platform/controls/Vexa_dialogs.h"

#include <filesystem>

#include "platform/controls/Vexa_stdctrls.h"

namespace vexa {

namespace {

// ------------------------------------------------------------ dialog parts

/// A colour cell of the colour dialog: a click puts its colour into the hex edit.
class TColorCell : public TGraphicControl {
public:
  TColorCell(TComponent* AOwner, TEdit* Target) : TGraphicControl(AOwner), FTarget(Target) {}

  void Click() override {
    TGraphicControl::Click();
    FTarget->SetText(ColorToHex(Color()));
    FTarget->SetSelStart(6);  // typing goes on after the colour
  }

protected:
  void Paint() override {
    Canvas().Pen().SetColor(clBlack);
    Canvas().Brush().SetColor(Color());
    Canvas().Rectangle(ClientRect());
  }

private:
  TEdit* FTarget;
};

TButton* AddButton(TForm& Form, const std::string& Name, const std::string& Caption, TModalResult Result,
                   int32_t Left, int32_t Top) {
  auto* button = new TButton(&Form);
  button->SetName(Name);
  button->SetCaption(Caption);
  button->SetModalResult(Result);
  button->SetParent(&Form);
  button->SetBounds(Left, Top, 75, 25);
  return button;
}

void AddButtons(TForm& Form, int32_t Top) {
  AddButton(Form, "OKButton", "OK", mrOk, Form.Width() - 170, Top)->SetDefault(true);
  AddButton(Form, "CancelButton", "Cancel", mrCancel, Form.Width() - 85, Top)->SetCancel(true);
}

/// A text field of a dialog: starts with Text, the caret after it.
TEdit* AddEdit(TForm& Form, const std::string& Name, const std::string& Text, const TRect& Bounds) {
  auto* edit = new TEdit(&Form);
  edit->SetName(Name);
  edit->SetParent(&Form);
  edit->SetBoundsRect(Bounds);
  edit->SetAutoSelect(false);
  edit->SetText(Text);
  edit->SetSelStart(static_cast<int32_t>(framework::CodePointCount(Text)));
  return edit;
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
  TEdit* edit = AddEdit(form, "FileNameEdit", FFileName, Rect(10, 15, 410, 39));
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
  TEdit* hex = AddEdit(form, "HexEdit", ColorToHex(FColor), Rect(10, 100, 150, 124));
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
