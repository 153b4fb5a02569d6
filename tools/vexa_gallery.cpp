// vexa_gallery: pictures of forms of the standard controls in telling states.
//
//   vexa_gallery [--out <folder>] [--font <file.ttf>] [--verify]
//
// Writes controls.png (edit with a selection, memo, label, panel, buttons, a
// speed-button group with one button down, a dropped combo box, a date-time
// picker), popup.png (an open popup menu with its submenu), grid.png (a
// draw grid with its cell editor open), tree.png (an expanded tree view) and
// filedialog.png (the file dialog). The forms run
// under the headless backend, the pictures are what PaintTo shows. With
// --verify each file is read back and compared.

#include <functional>
#include <string>

#include "platform/controls/Vexa_buttons.h"
#include "platform/controls/Vexa_datetimepicker.h"
#include "platform/controls/Vexa_dialogs.h"
#include "platform/controls/Vexa_extctrls.h"
#include "platform/controls/Vexa_grids.h"
#include "platform/controls/Vexa_headless.h"
#include "platform/controls/Vexa_menus.h"
#include "platform/controls/Vexa_stdctrls.h"
#include "platform/controls/Vexa_treeview.h"
#include "platform/graphics/Vexa_imagefiles.h"
#include "tools/PictureTool.h"

namespace {

using namespace vexa;

template <typename T>
T* Place(TWinControl& Parent, T* Control, int32_t X, int32_t Y, int32_t W, int32_t H) {
  Control->SetParent(&Parent);
  Control->SetBounds(X, Y, W, H);
  return Control;
}

/// A small picture for a speed button: a filled disc on a white ground
/// (white, the bottom-left colour, is transparent).
void DrawDiscGlyph(TBitmap& glyph, TColor Color) {
  glyph.SetSize(16, 16);
  glyph.Canvas().Brush().SetColor(clWhite);
  glyph.Canvas().FillRect(Rect(0, 0, 16, 16));
  glyph.Canvas().Brush().SetColor(Color);
  glyph.Canvas().Pen().SetColor(clBlack);
  glyph.Canvas().Ellipse(2, 2, 14, 14);
}

void ControlsSheet(TBitmap& Picture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 520, 330);
  form.SetCaption("Standard controls");
  auto* panel = Place(form, new TPanel(&form), 0, 0, 520, 40);
  panel->SetCaption("TPanel with a raised bevel");
  auto* label = Place(form, new TLabel(&form), 10, 55, 0, 0);
  label->SetCaption("TLabel: name");
  auto* edit = Place(form, new TEdit(&form), 110, 50, 180, 24);
  edit->SetText("H\xC3\xA9llo, w\xC3\xB6rld");
  auto* memo = Place(form, new TMemo(&form), 10, 85, 280, 70);
  memo->Lines().Add("A memo keeps lines,");
  memo->Lines().Add("one below the other.");
  memo->Lines().Add("\xC3\x9C" "nicode too: \xE2\x82\xAC \xCE\xB1\xCE\xB2");
  auto* ok = Place(form, new TButton(&form), 310, 280, 90, 28);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  auto* cancel = Place(form, new TButton(&form), 410, 280, 90, 28);
  cancel->SetCaption("Cancel");
  const TColor colors[] = {clRed, clLime, clBlue};
  for (int32_t i = 0; i < 3; ++i) {
    auto* button = Place(form, new TSpeedButton(&form), 10 + i * 30, 170, 28, 28);
    DrawDiscGlyph(button->Glyph(), colors[i]);
    button->SetGroupIndex(1);
    if (i == 1) button->SetDown(true);
  }
  auto* flat = Place(form, new TSpeedButton(&form), 110, 170, 70, 28);
  flat->SetFlat(true);
  flat->SetCaption("Flat");
  auto* picker = Place(form, new TDateTimePicker(&form), 10, 215, 180, 24);
  picker->SetFormat("dddd, d MMMM yyyy");
  picker->SetDateTime(EncodeDate(2026, 12, 11));
  auto* combo = Place(form, new TComboBox(&form), 310, 50, 190, 24);
  combo->SetStyle(csDropDownList);
  for (const char* item : {"Linear", "Quadratic", "Cubic", "Spline", "Exponential", "Logarithmic"})
    combo->Items().Add(item);
  combo->SetItemIndex(2);
  combo->SetDropDownCount(5);
  form.Show();
  edit->SetFocus();
  edit->SetSelStart(7);
  edit->SetSelLength(5);
  combo->SetDroppedDown(true);
  TInputSimulator sim;  // the pointer over the fourth row highlights it
  const TRect list = combo->DropDownRect();
  sim.MoveTo(form, list.Left + 20, list.Top + 1 + 3 * combo->ItemHeight() + 5);
  form.PaintTo(Picture);
}

void PopupSheet(TBitmap& Picture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 360, 240);
  auto* label = Place(form, new TLabel(&form), 10, 10, 0, 0);
  label->SetCaption("Right click: the popup menu");
  auto* menu = new TPopupMenu(&form);
  auto add = [&](TMenuItem& parent, const std::string& caption) {
    auto* item = new TMenuItem(&form);
    item->SetCaption(caption);
    parent.Add(item);
    return item;
  };
  add(menu->Items(), "Copy");
  add(menu->Items(), "Paste")->SetEnabled(false);
  add(menu->Items(), "-");
  TMenuItem* view = add(menu->Items(), "View");
  add(*view, "Grid lines")->SetChecked(true);
  add(*view, "Labels");
  add(menu->Items(), "Properties...");
  label->SetPopupMenu(menu);
  form.Show();
  TInputSimulator sim;
  sim.MoveTo(*label, 20, 5);
  sim.Click(mbRight);
  const TRect viewRect = menu->ItemScreenRect(view);  // hovering opens the submenu
  sim.MoveTo(form, viewRect.Left + 10 - form.Left(), viewRect.Top + 5 - form.Top());
  form.PaintTo(Picture);
}

void GridSheet(TBitmap& Picture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 340, 160);
  auto* grid = Place(form, new TDrawGrid(&form), 5, 5, 330, 150);
  grid->SetColCount(5);
  grid->SetRowCount(6);
  grid->SetOptions(grid->Options() | GridOptionBit(goEditing));
  auto cellText = [](int32_t ACol, int32_t ARow) -> std::string {
    if (ARow == 0) return ACol == 0 ? "" : std::string("Col ") + static_cast<char>('A' + ACol - 1);
    if (ACol == 0) return "Row " + std::to_string(ARow);
    return std::to_string(ACol * 10 + ARow) + ".5";
  };
  grid->OnDrawCell = [grid, cellText](TObject*, int32_t ACol, int32_t ARow, TRect R, TGridDrawState) {
    TCanvas& canvas = grid->Canvas();
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(R.Left + 4, R.Top + 4, cellText(ACol, ARow));
    canvas.Brush().SetStyle(bsSolid);
  };
  grid->OnGetEditText = [cellText](TObject*, int32_t ACol, int32_t ARow, std::string& Value) {
    Value = cellText(ACol, ARow);
  };
  form.Show();
  grid->SetFocus();
  grid->SetCol(2);
  grid->SetRow(3);
  grid->ShowEditor();
  form.PaintTo(Picture);
}

void TreeSheet(TBitmap& Picture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 260, 220);
  auto* tree = Place(form, new TTreeView(&form), 5, 5, 250, 210);
  TTreeNodes& nodes = tree->Items();
  TTreeNode* data = nodes.Add(nullptr, "Data");
  TTreeNode* series = nodes.AddChild(data, "Series");
  nodes.AddChild(series, "Temperature");
  TTreeNode* pressure = nodes.AddChild(series, "Pressure");
  nodes.AddChild(data, "Matrices");
  TTreeNode* maps = nodes.Add(nullptr, "Maps");
  nodes.AddChild(maps, "Alps");
  nodes.Add(nullptr, "Reports");
  data->Expand(true);
  tree->SetSelected(pressure);
  form.Show();
  tree->SetFocus();
  form.PaintTo(Picture);
}

void FileDialogSheet(TBitmap& Picture) {
  TOpenDialog dialog(nullptr);
  dialog.SetFileName("measurements.csv");
  SetModalHandler([&Picture](TForm& Form) {
    Form.PaintTo(Picture);
    Form.SetModalResult(mrCancel);
  });
  dialog.Execute();
  SetModalHandler(nullptr);
}

const tools::TSheet kSheets[] = {{"controls.png", ControlsSheet},
                                 {"popup.png", PopupSheet},
                                 {"grid.png", GridSheet},
                                 {"tree.png", TreeSheet},
                                 {"filedialog.png", FileDialogSheet}};

}  // namespace

int main(int argc, char** argv) { return vexa::tools::PictureToolMain(argc, argv, "vexa_gallery", "gallery", kSheets); }
