#include "platform/Vexa_datastreams.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>

#include <sys/stat.h>

#include "platform/Vexa_exceptions.h"

namespace vexa {

// ---------------------------------------------------------------- TStream

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  if (Count <= 0) return 0;  // nothing to copy (or a size the source could not tell)
  constexpr int64_t kChunk = 64 * 1024;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, kChunk)));
  int64_t left = Count;
  while (left > 0) {
    const int64_t n = std::min(left, kChunk);
    Source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return Count;
}

void TStream::ReverseBytes(uint8_t* bytes, size_t n) { std::reverse(bytes, bytes + n); }

// ---------------------------------------------------------------- TMemoryStream

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  const int64_t n = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (Count > std::numeric_limits<int64_t>::max() - FPosition) return 0;
  const int64_t end = FPosition + Count;
  if (end > Size()) {
    try {
      FData.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
      return 0;
    } catch (const std::length_error&) {
      return 0;
    }
  }
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = 0;
  switch (Origin) {
    case soBeginning: base = 0; break;
    case soCurrent: base = FPosition; break;
    case soEnd: base = Size(); break;
  }
  if ((Offset > 0 && base > std::numeric_limits<int64_t>::max() - Offset) || base + Offset < 0)
    return -1;
  FPosition = base + Offset;  // may lie beyond the end; a later Write fills the gap with zeros
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  try {
    FData.resize(static_cast<size_t>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory");
  } catch (const std::length_error&) {
    throw EOutOfMemory("Out of memory");
  }
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Source) {
  Source.SetPosition(0);
  const int64_t n = Source.Size();
  std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(n, 0)));
  Source.ReadBuffer(data.data(), n);
  FData.swap(data);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Dest) { Dest.WriteBuffer(FData.data(), Size()); }

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
  file.Flush();
}

// ---------------------------------------------------------------- TFileStream

namespace {

bool IsDirectory(std::FILE* file) {
  struct stat info {};
  return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
  const char* mode = "rb";
  switch (Mode) {
    case fmOpenRead: mode = "rb"; break;
    case fmOpenWrite:
    case fmOpenReadWrite: mode = "r+b"; break;
    case fmCreate: mode = "w+b"; break;
  }
  FFile = std::fopen(FileName.c_str(), mode);
  if (FFile && IsDirectory(FFile)) {
    // fopen accepts a folder for reading; every read would then fail.
    std::fclose(FFile);
    FFile = nullptr;
    errno = EISDIR;
  }
  if (!FFile) {
    const std::string reason = std::strerror(errno);
    if (Mode == fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
  }
}

TFileStream::~TFileStream() {
  if (FFile) std::fclose(FFile);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  // C streams need a positioning call between a write and a read.
  if (FLastWasWrite) std::fseek(FFile, 0, SEEK_CUR);
  FLastWasWrite = false;
  FLastWasRead = true;
  return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (FLastWasRead) std::fseek(FFile, 0, SEEK_CUR);
  FLastWasRead = false;
  FLastWasWrite = true;
  return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  FLastWasRead = FLastWasWrite = false;
  if (fseeko(FFile, static_cast<off_t>(Offset), whence) != 0) return -1;
  return static_cast<int64_t>(ftello(FFile));
}

void TFileStream::Flush() {
  if (std::fflush(FFile) != 0) throw EWriteError("Stream write error");
}

}  // namespace vexa
