// Vectors: copies from vectors and arrays, and to arrays.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "foundation/Vexa_storage.h"
#include "linalg/Vexa_vector.h"
#include "support/VectorValues.h"

namespace vexa {
namespace {

using vexa::testing::SetValues;
using vexa::testing::ValuesOf;

TEST(VectorCopy, FromAVectorWithItsCodesInCheckOrder) {
  struct Case {
    int32_t Lo, Hi, Dest, Code;
    std::vector<double> After;
  };
  const Case Cases[] = {
      {0, 0, 4, 0, {0, 0, 0, 1, 2}},    // whole source, the rest dropped
      {0, 0, -1, 0, {3, 0, 0, 0, 0}},   // (0, 0): the destination is not tested
      {3, 1, 2, 0, {0, 1, 2, 3, 0}},    // reversed pair
      {1, 2, 6, -3, {0, 0, 0, 0, 0}},
      {5, 9, 0, -3, {0, 0, 0, 0, 0}},   // the destination is checked first
      {1, 4, 1, -2, {0, 0, 0, 0, 0}},
      {0, 2, 1, -2, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr), Src(nullptr);
    v.Resize(5);
    SetValues(Src, std::vector<double>{1, 2, 3});
    EXPECT_EQ(v.CopyFrom(&Src, c.Lo, c.Hi, c.Dest), c.Code) << c.Lo << " " << c.Hi << " " << c.Dest;
    EXPECT_EQ(ValuesOf(v), c.After) << c.Lo << " " << c.Hi << " " << c.Dest;
  }
  TVector v(nullptr);
  EXPECT_EQ(v.CopyFrom(static_cast<const TVector*>(nullptr), 0, 0, 1), -1);
}

TEST(VectorCopy, OverlappingSelfCopyReadsTheSourceAsItWas) {
  TIntVector v(nullptr);
  SetValues(v, std::vector<int32_t>{1, 2, 3, 4, 5});
  EXPECT_EQ(v.CopyFrom(&v, 1, 4, 2), 0);  // element by element would give 1 1 1 1 1
  EXPECT_EQ(ValuesOf(v), (std::vector<int32_t>{1, 1, 2, 3, 4}));
  SetValues(v, std::vector<int32_t>{1, 2, 3, 4, 5});
  EXPECT_EQ(v.CopyFrom(&v, 2, 5, 1), 0);
  EXPECT_EQ(ValuesOf(v), (std::vector<int32_t>{2, 3, 4, 5, 5}));
}

TEST(VectorCopy, FromAnArrayLaterFailuresWin) {
  struct Case {
    TDoubleArray Src;
    int32_t Lo, Hi, Dest, Code;
    std::vector<double> After;
  };
  const Case Cases[] = {
      {{1, 2, 3}, 0, 0, 4, 0, {0, 0, 0, 1, 2}},
      {{1, 2, 3}, 2, 0, 1, 0, {1, 2, 3, 0, 0}},
      {{1, 2, 3}, 1, 1, 5, 0, {0, 0, 0, 0, 2}},
      {{1, 2, 3}, 0, 3, 1, -2, {0, 0, 0, 0, 0}},
      {{1, 2, 3}, -1, 1, 1, -2, {0, 0, 0, 0, 0}},
      {{1, 2, 3}, 0, 3, 6, -3, {0, 0, 0, 0, 0}},  // both wrong: the later check wins
      {{}, 0, 0, 1, -2, {0, 0, 0, 0, 0}},         // empty (−1), then no valid index (−2)
      {{}, 0, 0, 9, -3, {0, 0, 0, 0, 0}},
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    v.Resize(5);
    EXPECT_EQ(v.CopyFrom(c.Src, c.Lo, c.Hi, c.Dest), c.Code) << c.Lo << " " << c.Hi << " " << c.Dest;
    EXPECT_EQ(ValuesOf(v), c.After) << c.Lo << " " << c.Hi << " " << c.Dest;
  }
}

TEST(VectorCopy, From2DArrayRowsAndColumns) {
  const TDouble2DArray A{{1, 2, 3}, {4, 5, 6}};  // two columns of three rows
  struct Case {
    bool Column;
    int32_t Index, First, Last, Dest;
    std::vector<double> After;
    int Changes;
  };
  const Case Cases[] = {
      {false, 1, 0, 1, 1, {2, 5, 0, 0}, 2 + 1},
      {false, 9, -5, 9, 2, {0, 3, 6, 0}, 2 + 1},  // row and columns clamped
      {false, 0, 1, 0, 3, {0, 0, 1, 4}, 2 + 1},   // reversed columns
      {false, 1, 0, 1, 0, {5, 0, 0, 0}, 1 + 1},   // the part below element 1 is dropped
      {false, 1, 0, 1, -1, {0, 0, 0, 0}, 0},      // wholly below element 1
      {false, 1, 0, 1, 5, {0, 0, 0, 0}, 0},       // beyond the vector
      {true, 1, 0, 2, 2, {0, 4, 5, 6}, 3 + 1},
      {true, -3, 2, 1, 3, {0, 0, 2, 3}, 2 + 1},
      {true, 0, 0, 2, 3, {0, 0, 1, 2}, 2 + 1},    // the third value falls beyond
  };
  for (const Case& c : Cases) {
    TVector v(nullptr);
    v.Resize(4);
    int Changes = 0;
    v.OnChange = [&](TObject*) { ++Changes; };
    if (c.Column) {
      v.CopyFrom2DArrayColumn(A, c.Index, c.First, c.Last, c.Dest);
    } else {
      v.CopyFrom2DArrayRow(A, c.Index, c.First, c.Last, c.Dest);
    }
    EXPECT_EQ(ValuesOf(v), c.After) << c.Column << " " << c.Index << " " << c.Dest;
    EXPECT_EQ(Changes, c.Changes) << c.Column << " " << c.Index << " " << c.Dest;
  }
}

TEST(VectorCopy, EmptyAndRaggedArraysAreLeftAlone) {
  const TInt2DArray Shapes[] = {{}, {{}}, {{}, {}}, {{1, 2, 3}, {4}}, {{1}, {2, 3}}};
  for (const TInt2DArray& Shape : Shapes) {
    TIntVector v(nullptr);
    SetValues(v, std::vector<int32_t>{7, 7, 7});
    int Changes = 0;
    v.OnChange = [&](TObject*) { ++Changes; };
    v.CopyFrom2DArrayRow(Shape, 1, 0, 2, 1);
    v.CopyFrom2DArrayColumn(Shape, 1, 0, 2, 1);
    EXPECT_EQ(ValuesOf(v), (std::vector<int32_t>{7, 7, 7}));
    EXPECT_EQ(Changes, 0);
    TInt2DArray Dest = Shape;
    v.CopyToArray(Dest, 0, 0, 0, 0, true);
    v.CopyToArray(Dest, 0, 0, 0, 0, false);
    EXPECT_EQ(Dest, Shape);
  }
}

TEST(VectorCopy, ToArrays) {
  TVector v(nullptr);
  SetValues(v, std::vector<double>{1, 2, 3, 4, 5});
  TDoubleArray Dest{9, 9, 9, 9, 9, 9, 9};
  v.CopyToArray(Dest, 2, 4, 1);  // length set to 1 + 3, leading entry kept
  EXPECT_EQ(Dest, (TDoubleArray{9, 2, 3, 4}));
  v.CopyToArray(Dest, 4, 2, -3);
  EXPECT_EQ(Dest, (TDoubleArray{2, 3, 4}));
  v.CopyToArray(Dest, 0, 0, 5);
  EXPECT_EQ(Dest, (TDoubleArray{2, 3, 4, 0, 0, 1, 2, 3, 4, 5}));

  struct Case {
    int32_t Col, Row;
    bool AsColumn;
    TDouble2DArray After;
  };
  const Case Cases[] = {
      {1, 0, true, {{0, 0}, {1, 2}, {0, 0}}},   // down column 1; 3..5 dropped
      {1, 1, false, {{0, 0}, {0, 1}, {0, 2}}},  // along row 1
      {99, -4, true, {{0, 0}, {0, 0}, {1, 2}}},  // clamped into the array
  };
  for (const Case& c : Cases) {
    TDouble2DArray D{{0, 0}, {0, 0}, {0, 0}};
    v.CopyToArray(D, 0, 0, c.Col, c.Row, c.AsColumn);
    EXPECT_EQ(D, c.After) << c.Col << " " << c.Row;
  }
}

TEST(VectorCopy, ConstructionFailureNamesTheMemoryShortage) {
  SetStorageLimit(1);
  EXPECT_THAT([] { TVector v(nullptr); },
              ::testing::ThrowsMessage<EVexaVectorError>(::testing::StrEq("Component \"\": not enough memory on heap")));
  SetStorageLimit(0);
}

}  // namespace
}  // namespace vexa
