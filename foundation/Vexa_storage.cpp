#include "foundation/Vexa_storage.h"

#include <unistd.h>

#include <atomic>

namespace vexa {
namespace {

/// 0 means "not set": the limit is then the physical memory. Constant-
/// initialised, so it is valid even while other files are initialised.
std::atomic<uint64_t> StorageLimitBytes{0};

/// Fallback when the system does not tell its memory size.
constexpr uint64_t UnknownMemoryBytes = uint64_t{1} << 40;

bool TryMultiply(uint64_t a, uint64_t b, uint64_t& Product) noexcept {
  return !__builtin_mul_overflow(a, b, &Product);
}

bool TryAdd(uint64_t a, uint64_t b, uint64_t& Sum) noexcept {
  return !__builtin_add_overflow(a, b, &Sum);
}

}  // namespace

uint64_t PhysicalMemoryBytes() noexcept {
  const long Pages = sysconf(_SC_PHYS_PAGES);
  const long PageSize = sysconf(_SC_PAGESIZE);
  uint64_t Bytes = 0;
  if (Pages <= 0 || PageSize <= 0 ||
      !TryMultiply(static_cast<uint64_t>(Pages), static_cast<uint64_t>(PageSize), Bytes)) {
    return UnknownMemoryBytes;
  }
  return Bytes;
}

uint64_t StorageLimit() noexcept {
  const uint64_t Limit = StorageLimitBytes.load();
  return Limit != 0 ? Limit : PhysicalMemoryBytes();
}

void SetStorageLimit(uint64_t Bytes) noexcept { StorageLimitBytes.store(Bytes); }

bool StorageFits(uint64_t Bytes) noexcept { return Bytes <= StorageLimit(); }

bool TryMultiplyDims(std::span<const int64_t> Dims, uint64_t& Product) noexcept {
  uint64_t Result = 1;
  for (const int64_t Dim : Dims) {
    if (Dim < 0 || !TryMultiply(Result, static_cast<uint64_t>(Dim), Result)) {
      return false;
    }
  }
  Product = Result;
  return true;
}

// Level k of the nesting holds d1 * ... * dk entries: inner vector objects
// for every level but the last, elements at the last one.
bool TryNestedStorageBytes(std::span<const int64_t> Dims, uint64_t ElemSize, uint64_t VectorSize,
                           uint64_t& Bytes) noexcept {
  uint64_t Entries = 1;
  uint64_t Total = 0;
  for (size_t Level = 0; Level < Dims.size(); ++Level) {
    const int64_t Dim = Dims[Level];
    if (Dim < 0 || !TryMultiply(Entries, static_cast<uint64_t>(Dim), Entries)) {
      return false;
    }
    const bool Last = Level + 1 == Dims.size();
    uint64_t LevelBytes = 0;
    if (!TryMultiply(Entries, Last ? ElemSize : VectorSize, LevelBytes) ||
        !TryAdd(Total, LevelBytes, Total)) {
      return false;
    }
  }
  Bytes = Total;
  return true;
}

namespace storage_detail {

size_t Stride(std::span<const int64_t> Dims, size_t First) noexcept {
  size_t Product = 1;
  for (size_t i = First; i < Dims.size(); ++i) {
    Product *= static_cast<size_t>(Dims[i]);
  }
  return Product;
}

void CheckFlatDims(std::span<const int64_t> Dims, size_t Size) {
  uint64_t Count = 0;
  if (Dims.empty() || !TryMultiplyDims(Dims, Count) || Count != Size) {
    throw std::invalid_argument("ResizeFlatStorage: the old shape does not describe the buffer");
  }
}

}  // namespace storage_detail
}  // namespace vexa
