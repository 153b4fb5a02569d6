#pragma once
/// @file
/// Text files: a reader that accepts LF, CRLF and CR line ends and reads
/// lines, words and numbers the way the platform's text-file routines do, and
/// a writer that reports every write and close failure.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Vexa_classes.h"

namespace vexa {

/// The line break written by TTextWriter::WriteLn.
inline constexpr const char* sLineBreak = "\n";

/// Sequential reader of a text file or of an in-memory text.
///
/// Line ends LF, CRLF and CR are all read as one line end. Reading never
/// raises; failures are reported by the results.
class TTextReader : public TObject {
public:
  TTextReader() = default;
  ~TTextReader() override;

  /// Opens a file for reading; false (and not open) when it cannot be opened
  /// or is a folder. A read error later on ends the text like its end.
  bool Open(const std::string& FileName);
  /// Reads from a copy of Text instead of a file.
  void OpenText(const std::string& Text);
  void Close();
  bool IsOpen() const;

  /// True when no character is left.
  bool Eof();
  /// True at a line end or at the end of the text.
  bool Eoln();
  /// Skips blanks, tabs and line ends; then Eof.
  bool SeekEof();
  /// Skips blanks and tabs; then Eoln.
  bool SeekEoln();

  /// Next character, with any line end given as '\n'; -1 at the end.
  int ReadChar();
  /// The character ReadChar would return, without consuming it.
  int PeekChar();
  /// Reads the rest of the current line (without its end) and moves past the
  /// line end. False at the end of the text (Line is then empty).
  bool ReadLine(std::string& Line);
  /// Moves past the next line end.
  void SkipLine();
  /// Skips blanks, tabs and line ends, then reads characters up to the next
  /// blank, tab, line end or end of text. False when no character was read.
  bool ReadWord(std::string& Word);
  /// Reads a word and converts it as a decimal integer (optional sign,
  /// optional '$' for hexadecimal). False, with Value unchanged, when no word
  /// is left or the word is not an integer in range; the word is consumed.
  bool ReadInteger(int32_t& Value);
  bool ReadInt64(int64_t& Value);
  /// Reads a word and converts it as a real number with '.' as the decimal
  /// separator ("1", "-2.5", "1e-3", "1.5E+0003"). False, with Value
  /// unchanged, when no word is left or the word is not a number.
  bool ReadReal(double& Value);
  bool ReadReal(long double& Value);

  /// Zero-based offset of the next character in the text.
  int64_t Offset() const { return FOffset; }

private:
  bool Fill();
  bool PeekRaw(int& c);
  int TakeRaw();

  std::FILE* FFile = nullptr;
  std::string FText;       // in-memory source, or the current buffer of the file
  size_t FPos = 0;         // position within FText
  bool FFromMemory = false;
  int64_t FOffset = 0;
};

/// Writer of a text file. Every failure (open, write, close) raises
/// EInOutError with the file name and the system's reason.
class TTextWriter : public TObject {
public:
  TTextWriter() = default;
  /// Closes the file if still open; a failure there is swallowed (call Close
  /// to see it).
  ~TTextWriter() override;

  /// Creates (or truncates) the file. Raises EInOutError when it cannot.
  void Rewrite(const std::string& FileName);
  /// Opens the file for appending, creating it if absent. Raises EInOutError
  /// when it cannot. Rewrite and Append first close a file still open.
  void Append(const std::string& FileName);
  /// Like Rewrite, but returns false instead of raising.
  bool TryRewrite(const std::string& FileName);
  bool IsOpen() const { return FFile != nullptr; }

  /// Writes Text (buffered). Raises EInOutError when the writer is not open or
  /// the write fails; after a failure the file is closed.
  void Write(const std::string& Text);
  /// Write(Text) followed by sLineBreak.
  void WriteLn(const std::string& Text = "");
  /// Flushes and closes; raises EInOutError when either fails (the file is
  /// closed in every case). Does nothing when not open.
  void Close();

  const std::string& FileName() const { return FFileName; }

private:
  void Open(const std::string& FileName, const char* Mode);
  [[noreturn]] void Fail(const std::string& What, int Error);

  std::FILE* FFile = nullptr;
  std::string FFileName;
};

}  // namespace vexa
