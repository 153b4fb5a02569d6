#pragma once
/// @file
/// File and colour dialogs, and the printer.
///
/// The dialogs are modal forms made of the framework's own controls, so a
/// test scripts them through the modal handler by component name:
///
/// | dialog        | form name      | children |
/// |---------------|----------------|----------|
/// | TOpenDialog   | "OpenDialog"   | "FileNameEdit", "OKButton", "CancelButton" |
/// | TSaveDialog   | "SaveDialog"   | the same |
/// | TColorDialog  | "ColorDialog"  | "Color0" ... "Color15", "HexEdit", "OKButton", "CancelButton" |
///
/// The name edit starts with FileName; the hex edit holds the colour as
/// RRGGBB and starts with Color; clicking a colour cell puts its colour into
/// the hex edit. Execute is true when the form closed with mrOk.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Vexa_forms.h"

namespace vexa {

/// Base of the dialogs: Execute shows the dialog modally.
class TCommonDialog : public TComponent {
public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  /// Shows the dialog; true when the user confirmed it.
  virtual bool Execute() = 0;
  /// Window caption ("" gives the dialog's usual title).
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  /// Runs a prepared dialog form modally with the events; returns its result.
  TModalResult RunDialog(TForm& Form);

private:
  std::string FTitle;
};

/// Asks for the name of a file to open.
class TOpenDialog : public TCommonDialog {
public:
  explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  /// The chosen file. A relative name typed by the user is joined to
  /// InitialDir when that is set.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  /// Filter text as "Text files (*.txt)|*.txt|All (*.*)|*.*" (stored).
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  int32_t FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int32_t Value) { FFilterIndex = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  /// Extension added by the caller's convention (stored only).
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
  bool Execute() override;

protected:
  virtual std::string FormName() const { return "OpenDialog"; }
  virtual std::string DefaultTitle() const { return "Open"; }

private:
  std::string FFileName, FFilter, FInitialDir, FDefaultExt;
  int32_t FFilterIndex = 1;
};

/// Asks for the name of a file to save.
class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
  std::string FormName() const override { return "SaveDialog"; }
  std::string DefaultTitle() const override { return "Save As"; }
};

/// Asks for a colour: 16 basic colours and a hex edit.
class TColorDialog : public TCommonDialog {
public:
  explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  bool Execute() override;

private:
  TColor FColor = clBlack;
};

/// The colours of the colour dialog's cells, in cell order.
extern const TColor ColorDialogCells[16];
/// Colour as "RRGGBB" (system colours are resolved first).
std::string ColorToHex(TColor Color);
/// Reads "RRGGBB" (six hex digits, either case, optional leading '#');
/// false on anything else.
bool HexToColor(const std::string& Text, TColor& Color);

/// A printer: each page is kept as a white bitmap to draw on.
class TPrinter : public TObject {
public:
  TPrinter();
  ~TPrinter() override;

  /// Starts a document with its first page; EInvalidOperation while printing.
  void BeginDoc();
  /// Adds a page; EInvalidOperation when not printing.
  void NewPage();
  /// Ends the document; the pages stay readable.
  void EndDoc();
  /// Abandons the document and its pages.
  void Abort();
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  /// 1-based number of the current page (0 before the first document).
  int32_t PageNumber() const { return static_cast<int32_t>(FPages.size()); }
  /// Page size in pixels (default A4 at 96 dpi: 794 x 1123).
  int32_t PageWidth() const { return FPageWidth; }
  int32_t PageHeight() const { return FPageHeight; }
  /// Sets the page size for the next document; EInvalidOperation while printing.
  void SetPageSize(int32_t AWidth, int32_t AHeight);
  /// Canvas of the current page (of an empty picture when not printing).
  TCanvas& Canvas();
  /// Pages of the current or last document.
  int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
  /// Page at a 0-based index; ERangeError outside.
  const TBitmap& Pages(int32_t Index) const;
  std::string Title;

private:
  std::vector<std::unique_ptr<TBitmap>> FPages;
  TBitmap FIdle;
  bool FPrinting = false;
  bool FAborted = false;
  int32_t FPageWidth = 794;
  int32_t FPageHeight = 1123;
};

/// The process-wide printer.
TPrinter& Printer();

}  // namespace vexa
