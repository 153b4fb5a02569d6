#include "platform/Vexa_textfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Vexa_exceptions.h"
#include "platform/Vexa_numtext.h"

namespace vexa {

namespace {

constexpr size_t kReadChunk = 64 * 1024;

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }
bool IsBlankOrTab(int c) { return c == ' ' || c == '\t'; }
bool IsWordEnd(int c) { return c < 0 || IsBlankOrTab(c) || IsLineEnd(c); }

}  // namespace

// ---------------------------------------------------------------- TTextReader

TTextReader::~TTextReader() { Close(); }

bool TTextReader::Open(const std::string& FileName) {
  Close();
  std::error_code error;
  if (std::filesystem::is_directory(FileName, error)) return false;  // fopen would accept it
  FFile = std::fopen(FileName.c_str(), "rb");
  return FFile != nullptr;
}

void TTextReader::OpenText(const std::string& Text) {
  Close();
  FText = Text;
  FFromMemory = true;
}

void TTextReader::Close() {
  if (FFile) std::fclose(FFile);
  FFile = nullptr;
  FText.clear();
  FPos = 0;
  FFromMemory = false;
  FOffset = 0;
}

bool TTextReader::IsOpen() const { return FFile != nullptr || FFromMemory; }

// Replaces the exhausted buffer with the next chunk of the file.
bool TTextReader::Fill() {
  if (!FFile) return false;
  FText.resize(kReadChunk);
  const size_t n = std::fread(FText.data(), 1, kReadChunk, FFile);
  FText.resize(n);
  FPos = 0;
  return n > 0;  // a read error ends the text like the end of the file
}

bool TTextReader::PeekRaw(int& c) {
  if (FPos >= FText.size() && !Fill()) return false;
  c = static_cast<unsigned char>(FText[FPos]);
  return true;
}

int TTextReader::TakeRaw() {
  int c = -1;
  if (!PeekRaw(c)) return -1;
  ++FPos;
  ++FOffset;
  return c;
}

bool TTextReader::Eof() {
  int c = 0;
  return !PeekRaw(c);
}

bool TTextReader::Eoln() {
  int c = 0;
  return !PeekRaw(c) || IsLineEnd(c);
}

bool TTextReader::SeekEof() {
  int c = 0;
  while (PeekRaw(c) && (IsBlankOrTab(c) || IsLineEnd(c))) TakeRaw();
  return Eof();
}

bool TTextReader::SeekEoln() {
  int c = 0;
  while (PeekRaw(c) && IsBlankOrTab(c)) TakeRaw();
  return Eoln();
}

int TTextReader::ReadChar() {
  const int c = TakeRaw();
  if (c != '\r') return c;
  int next = 0;
  if (PeekRaw(next) && next == '\n') TakeRaw();  // CRLF is one line end
  return '\n';
}

int TTextReader::PeekChar() {
  int c = -1;
  if (!PeekRaw(c)) return -1;
  return c == '\r' ? '\n' : c;
}

bool TTextReader::ReadLine(std::string& Line) {
  Line.clear();
  if (Eof()) return false;
  for (int c = ReadChar(); c >= 0 && c != '\n'; c = ReadChar()) Line += static_cast<char>(c);
  return true;
}

void TTextReader::SkipLine() {
  for (int c = ReadChar(); c >= 0 && c != '\n';) c = ReadChar();
}

bool TTextReader::ReadWord(std::string& Word) {
  Word.clear();
  SeekEof();
  int c = 0;
  while (PeekRaw(c) && !IsWordEnd(c)) Word += static_cast<char>(TakeRaw());
  return !Word.empty();
}

bool TTextReader::ReadInteger(int32_t& Value) {
  std::string word;
  return ReadWord(word) && TryStrToInt(word, Value);
}

bool TTextReader::ReadInt64(int64_t& Value) {
  std::string word;
  return ReadWord(word) && TryStrToInt64(word, Value);
}

bool TTextReader::ReadReal(double& Value) {
  std::string word;
  return ReadWord(word) && TryStrToFloat(word, Value, '.');
}

bool TTextReader::ReadReal(long double& Value) {
  std::string word;
  return ReadWord(word) && TryStrToFloat(word, Value, '.');
}

// ---------------------------------------------------------------- TTextWriter

TTextWriter::~TTextWriter() {
  if (FFile) std::fclose(FFile);  // a failure here cannot be reported
}

void TTextWriter::Rewrite(const std::string& FileName) { Open(FileName, "wb"); }

void TTextWriter::Append(const std::string& FileName) { Open(FileName, "ab"); }

bool TTextWriter::TryRewrite(const std::string& FileName) {
  try {
    Rewrite(FileName);
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

void TTextWriter::Open(const std::string& FileName, const char* Mode) {
  if (FFile) {
    // A file still open is closed first; its failure is swallowed as in the destructor.
    std::fclose(FFile);
    FFile = nullptr;
  }
  FFileName = FileName;
  FFile = std::fopen(FileName.c_str(), Mode);
  if (!FFile) Fail("open", errno);
}

void TTextWriter::Write(const std::string& Text) {
  if (!FFile) Fail("write", EBADF);
  if (Text.empty()) return;
  if (std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size()) Fail("write", errno);
}

void TTextWriter::WriteLn(const std::string& Text) {
  Write(Text);
  Write(sLineBreak);
}

void TTextWriter::Close() {
  if (!FFile) return;
  std::FILE* file = FFile;
  FFile = nullptr;  // closed whatever happens below
  const bool flushed = std::fflush(file) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(file) == 0;
  if (!flushed) Fail("write", flushError);
  if (!closed) Fail("close", errno);
}

void TTextWriter::Fail(const std::string& What, int Error) {
  if (FFile) {
    std::fclose(FFile);  // the file is unusable after a failure
    FFile = nullptr;
  }
  throw EInOutError("Cannot " + What + " file \"" + FFileName + "\": " + std::strerror(Error), Error);
}

}  // namespace vexa
