#pragma once
/// @file
/// Byte streams: the abstract TStream with little-endian value helpers,
/// TMemoryStream (growable buffer) and TFileStream (a file on disk).

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Vexa_classes.h"

namespace vexa {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

/// Abstract byte stream. Read and Write move as many bytes as they can and
/// return that count; ReadBuffer and WriteBuffer raise when they fall short.
class TStream : public TObject {
public:
  /// Reads up to Count bytes into Buffer; returns the number read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  /// Writes up to Count bytes; returns the number written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  /// Moves the position; returns the new position, or -1 if the move is impossible.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  virtual int64_t Size();
  /// Bytes left between the position and the end.
  int64_t Remaining() { return Size() - Position(); }

  /// Reads exactly Count bytes or raises EReadError "Stream read error".
  void ReadBuffer(void* Buffer, int64_t Count);
  /// Writes exactly Count bytes or raises EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, int64_t Count);
  /// Copies Count bytes from Source (the whole of Source from its start when
  /// Count is 0); returns the number copied. Raises on a short read or write.
  int64_t CopyFrom(TStream& Source, int64_t Count);

  /// Writes an arithmetic value in little-endian byte order.
  template <class T>
  void WriteLE(T Value) {
    static_assert(std::is_arithmetic_v<T>);
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &Value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
    WriteBuffer(bytes, sizeof(T));
  }
  /// Reads a little-endian value; false (Value unchanged) when the stream ends first.
  template <class T>
  bool ReadLE(T& Value) {
    static_assert(std::is_arithmetic_v<T>);
    uint8_t bytes[sizeof(T)];
    if (Read(bytes, sizeof(T)) != static_cast<int64_t>(sizeof(T))) return false;
    if constexpr (std::endian::native == std::endian::big) ReverseBytes(bytes, sizeof(T));
    std::memcpy(&Value, bytes, sizeof(T));
    return true;
  }

private:
  static void ReverseBytes(uint8_t* bytes, size_t n);
};

/// Stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }

  /// Resizes the block (new bytes are zero); the position is clamped to the new size.
  void SetSize(int64_t NewSize);
  void Clear();
  const uint8_t* Memory() const { return FData.data(); }
  uint8_t* Memory() { return FData.data(); }

  /// Replaces the contents with the whole of Source, position 0.
  void LoadFromStream(TStream& Source);
  void SaveToStream(TStream& Dest);
  /// Raises EFOpenError / EFCreateError when the file cannot be opened.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

/// File open modes of TFileStream.
enum TFileMode : uint8_t {
  fmOpenRead,       ///< existing file, read only
  fmOpenWrite,      ///< existing file, write only
  fmOpenReadWrite,  ///< existing file, read and write
  fmCreate          ///< create or truncate, read and write
};

/// Stream over a file. The constructor raises EFOpenError or EFCreateError
/// ("Cannot open file \"<name>\". <reason>") when the file cannot be opened.
class TFileStream : public TStream {
public:
  TFileStream(const std::string& FileName, TFileMode Mode);
  ~TFileStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

  const std::string& FileName() const { return FFileName; }
  /// Flushes written data; raises EWriteError when the flush fails.
  void Flush();

private:
  std::string FFileName;
  std::FILE* FFile = nullptr;
  bool FLastWasWrite = false;
  bool FLastWasRead = false;
};

}  // namespace vexa
