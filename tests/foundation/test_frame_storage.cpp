#include "foundation/Vexa_storage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/Vexa_errors.h"

namespace vexa {
namespace {

/// Sets the storage limit for one test and restores the default afterwards.
class ScopedStorageLimit {
public:
  explicit ScopedStorageLimit(uint64_t Bytes) { SetStorageLimit(Bytes); }
  ~ScopedStorageLimit() { SetStorageLimit(0); }
  ScopedStorageLimit(const ScopedStorageLimit&) = delete;
  ScopedStorageLimit& operator=(const ScopedStorageLimit&) = delete;
};

/// A component named Matrix1 to own the storage in the messages.
class StorageTest : public ::testing::Test {
protected:
  StorageTest() { Owner.SetName("Matrix1"); }
  TComponent Owner{nullptr};
  const std::string HeapMessage = "Component \"Matrix1\": not enough memory on heap";
};

TEST(StorageSizeTest, ProductsOfDimensions) {
  // Expected values computed with Python's integers.
  struct Case {
    std::vector<int64_t> Dims;
    bool Ok;
    uint64_t Product;
  };
  const Case Cases[] = {
      {{}, true, 1},
      {{3, 4}, true, 12},
      {{0, INT64_MAX}, true, 0},
      {{INT64_MAX, 2}, true, 18446744073709551614u},
      {{int64_t{1} << 32, (int64_t{1} << 32) - 1}, true, 18446744069414584320u},
      {{int64_t{1} << 32, int64_t{1} << 32}, false, 0},
      {{INT64_MAX, 3}, false, 0},
      {{-1, 5}, false, 0},
      {{5, 0, -1}, false, 0},
  };
  for (const Case& c : Cases) {
    uint64_t Product = 777;
    EXPECT_EQ(TryMultiplyDims(c.Dims, Product), c.Ok);
    EXPECT_EQ(Product, c.Ok ? c.Product : 777);
  }
}

TEST(StorageSizeTest, BytesOfNestedAndFlatStorage) {
  uint64_t Bytes = 0;
  // 3 columns of 4 doubles: 12 * 8 bytes plus 3 inner vectors of 24 bytes.
  ASSERT_TRUE(TryNestedStorageBytes(std::vector<int64_t>{3, 4}, 8, 24, Bytes));
  EXPECT_EQ(Bytes, 168u);
  // 4-D 2x3x4x5: 120 * 8 plus (2 + 6 + 24) inner vectors.
  ASSERT_TRUE(TryNestedStorageBytes(std::vector<int64_t>{2, 3, 4, 5}, 8, 24, Bytes));
  EXPECT_EQ(Bytes, 1728u);
  ASSERT_TRUE(TryNestedStorageBytes(std::vector<int64_t>{3, 4}, 8, 0, Bytes));
  EXPECT_EQ(Bytes, 96u);
  // The elements fit into 64 bits, their bytes do not.
  EXPECT_FALSE(TryNestedStorageBytes(std::vector<int64_t>{int64_t{1} << 61, 1}, 8, 0, Bytes));
  EXPECT_FALSE(TryNestedStorageBytes(std::vector<int64_t>{INT64_MAX, INT64_MAX}, 1, 0, Bytes));
}

TEST(StorageSizeTest, DefaultLimitIsPhysicalMemory) {
  std::ifstream MemInfo("/proc/meminfo");
  std::string Key;
  uint64_t KiB = 0;
  while (MemInfo >> Key && Key != "MemTotal:") {
    MemInfo.ignore(1000, '\n');
  }
  ASSERT_TRUE(MemInfo >> KiB);
  SetStorageLimit(0);
  EXPECT_EQ(StorageLimit(), KiB * 1024);
  {
    ScopedStorageLimit Limit(4096);
    EXPECT_EQ(StorageLimit(), 4096u);
  }
  EXPECT_EQ(StorageLimit(), KiB * 1024);
}

TEST_F(StorageTest, NewStorageIsZeroFilledWithTheGivenShape) {
  auto Data = NewStorage<EVexaMatrixError, TDouble4DArray>(Owner, {2, 3, 4, 5});
  ASSERT_EQ(Data.size(), 2u);
  for (const auto& Column : Data) {
    ASSERT_EQ(Column.size(), 3u);
    for (const auto& Layer : Column) {
      ASSERT_EQ(Layer.size(), 4u);
      for (const auto& Slots : Layer) {
        EXPECT_EQ(Slots, TDoubleArray(5, 0.0));
      }
    }
  }
}

TEST_F(StorageTest, ResizeKeepsTheOverlapOfNestedStorage) {
  TDouble2DArray Data = {{0, 1, 2}, {10, 11, 12}};  // 2 columns of 3 rows
  ResizeStorage<EVexaMatrixError>(Owner, Data, {3, 2});
  EXPECT_EQ(Data, (TDouble2DArray{{0, 1}, {10, 11}, {0, 0}}));

  TBool2DArray Flags = {{true}, {false}};
  ResizeStorage<EVexaMatrixError>(Owner, Flags, {1, 3});
  EXPECT_EQ(Flags, (TBool2DArray{{true, false, false}}));
}

TEST_F(StorageTest, ResizeKeepsTheOverlapOfFlatStorage) {
  // 2 columns of 3 rows, (c, r) at c * 3 + r, reshaped to 3 columns of 2 rows.
  std::vector<int32_t> Buffer = {0, 1, 2, 10, 11, 12};
  ResizeFlatStorage<EVexaMatrixError>(Owner, Buffer, {2, 3}, {3, 2});
  EXPECT_EQ(Buffer, (std::vector<int32_t>{0, 1, 10, 11, 0, 0}));

  // 3-D 2x2x2 grown to 2x3x3: (c, r, l) at (c * rows + r) * layers + l.
  std::vector<int32_t> Cube = {0, 1, 10, 11, 100, 101, 110, 111};
  ResizeFlatStorage<EVexaMatrixError>(Owner, Cube, {2, 2, 2}, {2, 3, 3});
  EXPECT_EQ(Cube, (std::vector<int32_t>{0, 1, 0, 10, 11, 0, 0, 0, 0,  //
                                         100, 101, 0, 110, 111, 0, 0, 0, 0}));
}

TEST_F(StorageTest, FlatResizeRejectsWrongBookkeeping) {
  std::vector<double> Buffer = {1, 2, 3, 4, 5, 6};
  EXPECT_THROW(ResizeFlatStorage<EVexaMatrixError>(Owner, Buffer, {2, 2}, {3, 3}),
               std::invalid_argument);
  EXPECT_THROW(ResizeFlatStorage<EVexaMatrixError>(Owner, Buffer, {2, 3}, {6}),
               std::invalid_argument);
  EXPECT_EQ(Buffer, (std::vector<double>{1, 2, 3, 4, 5, 6}));
}

/// Expects Call to raise EError with Message.
template <class EError, class TCall>
void ExpectAllocationError(TCall Call, const std::string& Message) {
  try {
    Call();
    ADD_FAILURE() << "no error raised";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), Message);
  }
}

TEST_F(StorageTest, RefusedSizesRaiseTheUnitsErrorAndKeepTheOldStorage) {
  TDouble2DArray Data = {{1, 2}, {3, 4}};
  const TDouble2DArray Old = Data;
  std::vector<double> Flat = {1, 2, 3, 4};
  {
    ScopedStorageLimit Limit(1000);
    ExpectAllocationError<EVexaMatrixError>(
        [&] { ResizeStorage<EVexaMatrixError>(Owner, Data, {2, 60}); }, HeapMessage);  // 1008 bytes
    ExpectAllocationError<EVexaMatrixError>(
        [&] { ResizeFlatStorage<EVexaMatrixError>(Owner, Flat, {2, 2}, {100, 100}); },
        HeapMessage);
    ExpectAllocationError<EVexaMatrixError>(
        [&] { (void)CopyStorage<EVexaMatrixError>(Owner, TDoubleArray(200)); }, HeapMessage);
    // Just within the limit: 2 inner vectors of 24 bytes + 2 * 59 doubles = 992 bytes.
    ResizeStorage<EVexaMatrixError>(Owner, Data, {2, 59});
    EXPECT_EQ(Data[1][1], 4.0);
    ResizeStorage<EVexaMatrixError>(Owner, Data, {2, 2});
  }
  EXPECT_EQ(Data, Old);
  EXPECT_EQ(Flat, (std::vector<double>{1, 2, 3, 4}));
  // Negative and overflowing shapes are refused before anything is allocated.
  const uint64_t Huge = UINT64_MAX;
  ExpectAllocationError<EVexaVectorError>(
      [&] { ResizeStorage<EVexaVectorError>(Owner, Data, {2, -1}, sNotEnoughMemory); },
      "Component \"Matrix1\": not enough memory");
  ExpectAllocationError<EVexaMatrixError>(
      [&] { ResizeStorage<EVexaMatrixError>(Owner, Data, {INT32_MAX, INT32_MAX}); }, HeapMessage);
  ExpectAllocationError<EVexaMatrixError>(
      [&] { ResizeStorage<EVexaMatrixError>(Owner, Data, {Huge, 1}); }, HeapMessage);
  EXPECT_EQ(Data, Old);
}

/// An element whose construction fails like an exhausted heap while armed.
struct FailingElement {
  static inline bool Armed = false;
  FailingElement() {
    if (Armed) {
      throw std::bad_alloc();
    }
  }
  int Value = 7;
};

TEST_F(StorageTest, AllocationFailuresBecomeTheUnitsError) {
  std::vector<std::vector<FailingElement>> Data(2, std::vector<FailingElement>(2));
  FailingElement::Armed = true;
  ExpectAllocationError<EVexaStatisError>(
      [&] { ResizeStorage<EVexaStatisError>(Owner, Data, {3, 3}); }, HeapMessage);
  FailingElement::Armed = false;
  EXPECT_EQ(Data.size(), 2u);
  EXPECT_EQ(Data[1].size(), 2u);

  // More elements than a vector can hold: std::length_error, raised before
  // any memory is requested.
  ScopedStorageLimit NoLimit(UINT64_MAX);
  ExpectAllocationError<EVexaMatrixError>(
      [&] { (void)NewFlatStorage<EVexaMatrixError, double>(Owner, {int64_t{1} << 60}); },
      HeapMessage);
}

}  // namespace
}  // namespace vexa
