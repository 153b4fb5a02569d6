#pragma once
/// @file
/// Guarded allocation of the containers' storage.
///
/// A container never allocates its elements directly. It asks this unit for
/// new storage, which
///  1. computes the element count and the byte size in 64 bits, refusing
///     negative dimensions and products that overflow,
///  2. compares the byte size with StorageLimit() before allocating (on Linux
///     an oversized allocation may "succeed" and the process is killed later
///     when the pages are touched, so the request is refused up front),
///  3. builds the new storage, turning std::bad_alloc and std::length_error
///     into the unit's error class EError with
///     ComponentMessage(Owner, Suffix).
/// The caller's storage is replaced only after all of this succeeded, so on
/// failure the container keeps its old dimensions and data.
///
/// Two shapes are offered:
///  - nested vectors indexed [column][row][layer][time slot]
///    (TDoubleArray, TDouble2DArray ... TDouble4DArray):
///    NewStorage, ResizeStorage, CopyStorage;
///  - one contiguous buffer whose last dimension varies fastest, e.g. a
///    matrix at (c, r) -> c * NrRows + r: NewFlatStorage, ResizeFlatStorage.
///
/// @code
/// // vector resize keeping the first elements:
/// ResizeStorage<EVexaVectorError>(*this, FData, {NewSize}, sNotEnoughMemory);
/// // matrix of 3 columns and 4 rows, zero-filled:
/// auto Data = NewStorage<EVexaMatrixError, TDouble2DArray>(*this, {3, 4});
/// @endcode

#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/Vexa_errors.h"

namespace vexa {

/// Suffix of the message for a failed allocation of a container's storage.
inline constexpr char sNotEnoughMemoryOnHeap[] = "\": not enough memory on heap";
/// Suffix of the message for a failed resize of a vector.
inline constexpr char sNotEnoughMemory[] = "\": not enough memory";

/// Largest storage, in bytes, one allocation may ask for. The default is the
/// machine's physical memory.
uint64_t StorageLimit() noexcept;
/// Sets the largest storage one allocation may ask for; 0 restores the
/// default (physical memory). Tests lower it to force the failure path.
void SetStorageLimit(uint64_t Bytes) noexcept;
/// The machine's physical memory in bytes (a large fallback if unknown).
uint64_t PhysicalMemoryBytes() noexcept;

/// Product of the dimensions in 64 bits; false (Product unchanged) when a
/// dimension is negative or the product does not fit. The empty product is 1.
bool TryMultiplyDims(std::span<const int64_t> Dims, uint64_t& Product) noexcept;
/// Bytes of nested-vector storage with the given dimensions: the elements
/// (ElemSize each) plus the inner vector objects (VectorSize each; 0 gives
/// the size of one contiguous buffer). False
/// when a dimension is negative or the size does not fit into 64 bits.
bool TryNestedStorageBytes(std::span<const int64_t> Dims, uint64_t ElemSize, uint64_t VectorSize,
                           uint64_t& Bytes) noexcept;
/// True when an allocation of Bytes is within StorageLimit().
bool StorageFits(uint64_t Bytes) noexcept;

// ---------------------------------------------------------------- storage types

/// Rank and element type of nested-vector storage: TStorageTraits<TDouble2DArray>
/// has Rank 2 and Elem double.
template <class T>
struct TStorageTraits {
  static constexpr size_t Rank = 0;
  using Elem = T;
};
template <class T>
struct TStorageTraits<std::vector<T>> {
  static constexpr size_t Rank = TStorageTraits<T>::Rank + 1;
  using Elem = typename TStorageTraits<T>::Elem;
};

/// The dimensions of a storage of Rank levels, outermost (column) first.
/// Built from a braced list of exactly Rank integers: {NrCols, NrRows}.
template <size_t Rank>
struct TStorageDims {
  // Implicit, so that callers can write {NrCols, NrRows}.
  template <std::integral... TDim>
    requires(sizeof...(TDim) == Rank)
  TStorageDims(TDim... Dims) : Values{ToInt64(Dims)...} {}

  std::array<int64_t, Rank> Values;

private:
  /// Values beyond int64 (huge unsigned ones) become -1, which the size
  /// check refuses like any negative dimension.
  template <std::integral TDim>
  static int64_t ToInt64(TDim Dim) {
    if constexpr (std::is_unsigned_v<TDim>) {
      return Dim > static_cast<uint64_t>(INT64_MAX) ? -1 : static_cast<int64_t>(Dim);
    } else {
      return static_cast<int64_t>(Dim);
    }
  }
};

// ---------------------------------------------------------------- the guard

/// Runs Build (which allocates) when Bytes is known (SizeKnown) and within
/// the limit; raises EError(ComponentMessage(Owner, Suffix)) when the size is
/// refused or Build throws std::bad_alloc or std::length_error. Other
/// exceptions pass through. Returns what Build returns.
template <class EError, class TBuild>
auto GuardedAllocation(const TComponent& Owner, bool SizeKnown, uint64_t Bytes, TBuild&& Build,
                       const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  if (!SizeKnown || !StorageFits(Bytes)) {
    throw EError(ComponentMessage(Owner, Suffix));
  }
  try {
    return std::forward<TBuild>(Build)();
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  // Raised outside the handlers: the failed allocation is unwound by now.
  throw EError(ComponentMessage(Owner, Suffix));
}

namespace storage_detail {

/// Zero-filled nested storage; a dimension of 0 ends the nesting there, so no
/// inner prototype is built for an empty level.
template <class TStorage>
TStorage MakeNested(std::span<const int64_t> Dims) {
  const auto Count = static_cast<size_t>(Dims[0]);
  if constexpr (TStorageTraits<TStorage>::Rank == 1) {
    return TStorage(Count);
  } else {
    if (Count == 0) {
      return TStorage();
    }
    return TStorage(Count, MakeNested<typename TStorage::value_type>(Dims.subspan(1)));
  }
}

/// Copies the part of From that lies inside To's dimensions.
template <class TStorage>
void CopyOverlap(const TStorage& From, TStorage& To) {
  const size_t Count = std::min(From.size(), To.size());
  if constexpr (TStorageTraits<TStorage>::Rank == 1) {
    std::copy_n(From.begin(), Count, To.begin());
  } else {
    for (size_t i = 0; i < Count; ++i) {
      CopyOverlap(From[i], To[i]);
    }
  }
}

/// Bytes held by existing nested storage (elements plus inner vector objects).
template <class TStorage>
uint64_t BytesOf(const TStorage& Storage) {
  if constexpr (TStorageTraits<TStorage>::Rank == 1) {
    return Storage.size() * sizeof(typename TStorageTraits<TStorage>::Elem);
  } else {
    uint64_t Bytes = Storage.size() * sizeof(typename TStorage::value_type);
    for (const auto& Inner : Storage) {
      Bytes += BytesOf(Inner);
    }
    return Bytes;
  }
}

/// Product of Dims[First..] as a buffer stride (the buffer exists, so it fits).
size_t Stride(std::span<const int64_t> Dims, size_t First) noexcept;

/// Copies the common block of two flat buffers of equal rank, level by level.
template <class T>
void CopyFlatOverlap(const std::vector<T>& From, std::span<const int64_t> FromDims, size_t FromOffset,
                     std::vector<T>& To, std::span<const int64_t> ToDims, size_t ToOffset,
                     size_t Level) {
  const auto Count = static_cast<size_t>(std::min(FromDims[Level], ToDims[Level]));
  if (Level + 1 == FromDims.size()) {
    std::copy_n(From.begin() + static_cast<ptrdiff_t>(FromOffset), Count,
                To.begin() + static_cast<ptrdiff_t>(ToOffset));
    return;
  }
  const size_t FromStride = Stride(FromDims, Level + 1);
  const size_t ToStride = Stride(ToDims, Level + 1);
  for (size_t i = 0; i < Count; ++i) {
    CopyFlatOverlap(From, FromDims, FromOffset + i * FromStride, To, ToDims, ToOffset + i * ToStride,
                    Level + 1);
  }
}

/// Throws std::invalid_argument unless Dims has a non-zero rank and its
/// product equals Size (a caller's bookkeeping error, not a memory failure).
void CheckFlatDims(std::span<const int64_t> Dims, size_t Size);

}  // namespace storage_detail

// ---------------------------------------------------------------- nested storage

/// New zero-filled nested storage of the given dimensions, guarded.
template <class EError, class TStorage>
TStorage NewStorage(const TComponent& Owner, const TStorageDims<TStorageTraits<TStorage>::Rank>& Dims,
                    const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  using TElem = typename TStorageTraits<TStorage>::Elem;
  uint64_t Bytes = 0;
  const bool SizeKnown = TryNestedStorageBytes(Dims.Values, sizeof(TElem), sizeof(TStorage), Bytes);
  return GuardedAllocation<EError>(
      Owner, SizeKnown, Bytes,
      [&] { return storage_detail::MakeNested<TStorage>(Dims.Values); }, Suffix);
}

/// Gives Storage the new dimensions, keeping the elements that lie inside
/// both the old and the new shape and zero-filling the rest. On failure
/// Storage is unchanged and EError is raised.
template <class EError, class TStorage>
void ResizeStorage(const TComponent& Owner, TStorage& Storage,
                   const TStorageDims<TStorageTraits<TStorage>::Rank>& Dims,
                   const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  using TElem = typename TStorageTraits<TStorage>::Elem;
  uint64_t Bytes = 0;
  const bool SizeKnown = TryNestedStorageBytes(Dims.Values, sizeof(TElem), sizeof(TStorage), Bytes);
  TStorage Resized = GuardedAllocation<EError>(
      Owner, SizeKnown, Bytes,
      [&] {
        TStorage Fresh = storage_detail::MakeNested<TStorage>(Dims.Values);
        storage_detail::CopyOverlap(Storage, Fresh);
        return Fresh;
      },
      Suffix);
  Storage.swap(Resized);
}

/// A guarded copy of Source (e.g. a temporary copy to sort).
template <class EError, class TStorage>
TStorage CopyStorage(const TComponent& Owner, const TStorage& Source,
                     const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  return GuardedAllocation<EError>(
      Owner, true, storage_detail::BytesOf(Source), [&] { return TStorage(Source); }, Suffix);
}

// ---------------------------------------------------------------- flat storage

/// New zero-filled contiguous buffer holding the product of Dims elements.
template <class EError, class T>
std::vector<T> NewFlatStorage(const TComponent& Owner, std::initializer_list<int64_t> Dims,
                              const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  const std::span<const int64_t> Shape(Dims.begin(), Dims.size());
  uint64_t Count = 0;
  const bool SizeKnown = TryMultiplyDims(Shape, Count) && Count <= UINT64_MAX / sizeof(T);
  return GuardedAllocation<EError>(
      Owner, SizeKnown, SizeKnown ? Count * sizeof(T) : 0,
      [&] { return std::vector<T>(static_cast<size_t>(Count)); }, Suffix);
}

/// Reshapes a contiguous buffer from OldDims to NewDims (same rank), keeping
/// the elements inside both shapes at their positions and zero-filling the
/// rest. On failure Buffer is unchanged and EError is raised. OldDims must
/// describe Buffer and NewDims must have its rank (std::invalid_argument
/// otherwise: a bookkeeping error of the caller, not a memory failure).
template <class EError, class T>
void ResizeFlatStorage(const TComponent& Owner, std::vector<T>& Buffer,
                       std::initializer_list<int64_t> OldDims, std::initializer_list<int64_t> NewDims,
                       const std::string& Suffix = sNotEnoughMemoryOnHeap) {
  const std::span<const int64_t> From(OldDims.begin(), OldDims.size());
  const std::span<const int64_t> To(NewDims.begin(), NewDims.size());
  storage_detail::CheckFlatDims(From, Buffer.size());
  if (To.size() != From.size()) {
    throw std::invalid_argument("ResizeFlatStorage: the old and new shapes differ in rank");
  }
  std::vector<T> Resized = NewFlatStorage<EError, T>(Owner, NewDims, Suffix);
  // Copying elements that own memory (strings) may fail too.
  GuardedAllocation<EError>(
      Owner, true, 0,
      [&] { storage_detail::CopyFlatOverlap(Buffer, From, 0, Resized, To, 0, 0); }, Suffix);
  Buffer.swap(Resized);
}

}  // namespace vexa
