// TMat4D copies of blocks, layers, time slots and pixels, and the free copy
// routines between arrays and matrices: range validation, dropped
// destinations, the layer and time-slot errors, copies within Self.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_mat4d.h"
#include "linalg/Vexa_mat4d_routines.h"
#include "linalg/Vexa_matrix.h"
#include "support/MatrixCells.h"

namespace vexa {
namespace {

using vexa::testing::CellsOf;
using vexa::testing::SetCells;
using vexa::testing::TCols;

/// Every cell of the test matrices tells where it is: 1000·t + 100·l + 10·r + c.
double Code(int32_t c, int32_t r, int32_t l, int32_t t) { return 1000.0 * t + 100.0 * l + 10.0 * r + c; }

constexpr int32_t kCols = 4, kRows = 3, kLayers = 3, kSlots = 2;

/// 4 columns × 3 rows × 3 layers × 2 time slots holding Code, written through the setter.
void FillCoded(TMat4D& m) {
  m.Resize(kCols, kRows, kLayers, kSlots);
  for (int32_t t = 1; t <= kSlots; ++t) {
    for (int32_t l = 1; l <= kLayers; ++l) {
      for (int32_t r = 1; r <= kRows; ++r) {
        for (int32_t c = 1; c <= kCols; ++c) {
          m.SetElem(c, r, l, t, Code(c, r, l, t));
        }
      }
    }
  }
}

using TCell = std::tuple<int32_t, int32_t, int32_t, int32_t>;

/// Every cell of m equals Code, except the listed ones.
void ExpectCodedExcept(const TMat4D& m, const std::map<TCell, double>& Changed) {
  for (int32_t t = 1; t <= kSlots; ++t) {
    for (int32_t l = 1; l <= kLayers; ++l) {
      for (int32_t r = 1; r <= kRows; ++r) {
        for (int32_t c = 1; c <= kCols; ++c) {
          const auto It = Changed.find({c, r, l, t});
          const double Expected = It == Changed.end() ? Code(c, r, l, t) : It->second;
          EXPECT_EQ(m.Elem(c, r, l, t), Expected) << "cell (" << c << ", " << r << ", " << l << ", " << t << ")";
        }
      }
    }
  }
}

class Mat4DCopyTest : public ::testing::Test {
protected:
  void SetUp() override {
    m.SetName("Stack");
    FillCoded(m);
    m.OnChange = [this](TObject*) { ++Changes; };
  }
  TMat4D m{nullptr};
  int Changes = 0;
};

TEST_F(Mat4DCopyTest, LayerToMatrixAndToArrayValidateTheRectangle) {
  struct TCase {
    int32_t LowCol, HighCol, LowRow, HighRow, Layer, Slot;
    int32_t ColLo, ColHi, RowLo, RowHi;  // the rectangle expected after validation
  };
  const std::vector<TCase> Cases = {
      {0, 0, 0, 0, 2, 1, 1, 4, 1, 3},    // (0, 0): whole axes
      {3, 9, 2, 0, 3, 2, 3, 4, 1, 2},    // clamped; (2, 0) becomes (2, 1), then exchanged
      {4, 2, 3, 3, 1, 2, 2, 4, 3, 3},    // reversed columns
      {-5, 1, -1, -2, 1, 1, 1, 1, 1, 1}, // negative indices clamp to 1
  };
  for (const TCase& k : Cases) {
    SCOPED_TRACE(std::to_string(k.LowCol) + ".." + std::to_string(k.HighCol) + ", " + std::to_string(k.LowRow) +
                 ".." + std::to_string(k.HighRow));
    TCols Expected;
    for (int32_t c = k.ColLo; c <= k.ColHi; ++c) {
      Expected.emplace_back();
      for (int32_t r = k.RowLo; r <= k.RowHi; ++r) {
        Expected.back().push_back(Code(c, r, k.Layer, k.Slot));
      }
    }
    TMatrix Dest(nullptr);
    int DestChanges = 0;
    Dest.OnChange = [&DestChanges](TObject*) { ++DestChanges; };
    m.CopyLayerToMatrix(&Dest, k.LowCol, k.HighCol, k.LowRow, k.HighRow, k.Layer, k.Slot);
    EXPECT_EQ(CellsOf(Dest), Expected);
    const auto Cells = static_cast<int>(Expected.size() * Expected[0].size());
    EXPECT_EQ(DestChanges, Cells + (Cells > 1 ? 1 : 0));  // the resize (unless 1 × 1), then per cell
    TDouble2DArray Arr = {{-1.0}};
    m.CopyLayerToArray(Arr, k.LowCol, k.HighCol, k.LowRow, k.HighRow, k.Layer, k.Slot);
    EXPECT_EQ(Arr, Expected);
  }
  EXPECT_EQ(Changes, 0);  // Self is only read
  m.CopyLayerToMatrix(nullptr, 0, 0, 0, 0, 9, 9);  // nullptr: nothing, not even the layer check
}

TEST_F(Mat4DCopyTest, LayerOrTimeSlotOutsideRaisesWithNothingChanged) {
  const std::string Layer = "Component \"Stack\": specified layer beyond data range";
  const std::string Slot = "Component \"Stack\": specified time slot beyond data range";
  TMatrix M(nullptr);
  TMat3D M3(nullptr);
  TVector V(nullptr);
  V.Resize(2);
  TDouble2DArray A2 = {{7.0}};
  TDouble3DArray A3 = {{{7.0}}};
  TDoubleArray A1 = {7.0};
  const TDouble2DArray Src2 = {{1.0, 2.0}};
  const TDouble3DArray Src3 = {{{1.0}}};
  const std::vector<std::tuple<std::string, std::function<void()>, std::string>> Cases = {
      {"CopyLayerToMatrix layer 0", [&] { m.CopyLayerToMatrix(&M, 0, 0, 0, 0, 0, 1); }, Layer},
      {"CopyLayerToMatrix slot 3", [&] { m.CopyLayerToMatrix(&M, 0, 0, 0, 0, 1, 3); }, Slot},
      {"CopyLayerToMatrix both", [&] { m.CopyLayerToMatrix(&M, 0, 0, 0, 0, 4, 0); }, Layer},  // layer first
      {"CopyLayerToArray layer 4", [&] { m.CopyLayerToArray(A2, 0, 0, 0, 0, 4, 1); }, Layer},
      {"CopyLayerToArray slot -1", [&] { m.CopyLayerToArray(A2, 0, 0, 0, 0, 1, -1); }, Slot},
      {"CopyMatrixToLayer layer 4", [&] { m.CopyMatrixToLayer(&M, 0, 0, 0, 0, 4, 1, 1, 1); }, Layer},
      {"CopyMatrixToLayer slot 3", [&] { m.CopyMatrixToLayer(&M, 0, 0, 0, 0, 1, 3, 1, 1); }, Slot},
      {"CopyArrayToLayer layer 0", [&] { m.CopyArrayToLayer(Src2, 0, 1, 1, 1); }, Layer},
      {"CopyArrayToLayer slot 0", [&] { m.CopyArrayToLayer(Src2, 1, 0, 1, 1); }, Slot},
      {"CopyTimeSlotToMat3D", [&] { m.CopyTimeSlotToMat3D(&M3, 0, 0, 0, 0, 0, 0, 3); }, Slot},
      {"CopyTimeSlotToArray", [&] { m.CopyTimeSlotToArray(A3, 0, 0, 0, 0, 0, 0, 0); }, Slot},
      {"CopyMat3DToTimeSlot", [&] { m.CopyMat3DToTimeSlot(&M3, 0, 0, 0, 0, 0, 0, 3, 1, 1, 1); }, Slot},
      {"CopyArrayToTimeSlot", [&] { m.CopyArrayToTimeSlot(Src3, 3, 1, 1, 1); }, Slot},
      {"CopyPixelToVector", [&] { m.CopyPixelToVector(&V, 1, 1, 0, 0, 3); }, Slot},
      {"CopyPixelTo1DArray", [&] { m.CopyPixelTo1DArray(A1, 1, 1, 0, 0, 0); }, Slot},
      {"CopyVectorToPixel", [&] { m.CopyVectorToPixel(&V, 1, 1, 1, 3); }, Slot},
      {"Copy1DArrayToPixel", [&] { m.Copy1DArrayToPixel(A1, 1, 1, 1, 0); }, Slot},
  };
  int OtherChanges = 0;
  M.OnChange = [&OtherChanges](TObject*) { ++OtherChanges; };
  M3.OnChange = [&OtherChanges](TObject*) { ++OtherChanges; };
  V.OnChange = [&OtherChanges](TObject*) { ++OtherChanges; };
  for (const auto& [Name, Call, Message] : Cases) {
    SCOPED_TRACE(Name);
    try {
      Call();
      ADD_FAILURE() << "no error raised";
    } catch (const EVexaMatrixError& e) {
      EXPECT_EQ(e.Message(), Message);
    }
  }
  ExpectCodedExcept(m, {});
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(OtherChanges, 0);
  EXPECT_EQ(M.NrOfColumns(), 1);
  EXPECT_EQ(M3.NrOfLayers(), 1);
  EXPECT_EQ(V.NrOfElem(), 2);
  EXPECT_EQ(A1, TDoubleArray{7.0});
  EXPECT_EQ(A2, TDouble2DArray{{7.0}});
  EXPECT_EQ(A3, TDouble3DArray{{{7.0}}});
}

TEST_F(Mat4DCopyTest, CopiesIntoALayerDropCellsOutside) {
  TMatrix Src(nullptr);
  SetCells(Src, {{11, 12, 13}, {21, 22, 23}, {31, 32, 33}});  // cell (c, r) = 10·c + r
  // All source columns, rows (3, 2) exchanged to 2..3, landing at column 3,
  // row 2 of layer 2, slot 2: source column 3 would land in column 5 (dropped).
  m.CopyMatrixToLayer(&Src, 0, 0, 3, 2, 2, 2, 3, 2);
  ExpectCodedExcept(m, {{{3, 2, 2, 2}, 12}, {{3, 3, 2, 2}, 13}, {{4, 2, 2, 2}, 22}, {{4, 3, 2, 2}, 23}});
  EXPECT_EQ(Changes, 5);  // four cells, then once

  FillCoded(m);
  Changes = 0;
  // A ragged array is copied whole from position 0 at column −1, row 2:
  // its columns 0 and 1 land in matrix columns −1 and 0 (dropped), and its
  // last cell in row 4 (dropped).
  m.CopyArrayToLayer({{1, 2}, {3, 4}, {5}, {6, 7, 8}}, 3, 1, -1, 2);
  ExpectCodedExcept(m, {{{1, 2, 3, 1}, 5}, {{2, 2, 3, 1}, 6}, {{2, 3, 3, 1}, 7}});
  EXPECT_EQ(Changes, 4);
  m.CopyMatrixToLayer(nullptr, 0, 0, 0, 0, 1, 1, 1, 1);
  EXPECT_EQ(Changes, 4);
}

TEST_F(Mat4DCopyTest, CopyFromAnotherMatrixAndFromOverlappingSelf) {
  TMat4D Other(nullptr);
  Other.Resize(3, 2, 2, 2);
  for (int32_t t = 1; t <= 2; ++t) {
    for (int32_t l = 1; l <= 2; ++l) {
      for (int32_t r = 1; r <= 2; ++r) {
        for (int32_t c = 1; c <= 3; ++c) {
          Other.SetElem(c, r, l, t, -Code(c, r, l, t));
        }
      }
    }
  }
  // The whole of Other at (3, 2, 2, 2): columns 3..4, rows 2..3, layers 2..3
  // and slot 2 of Self receive Other's columns 1..2, rows 1..2, layers 1..2, slot 1.
  m.CopyFrom(&Other, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 2, 2);
  std::map<TCell, double> Expected;
  for (int32_t l = 2; l <= 3; ++l) {
    for (int32_t r = 2; r <= 3; ++r) {
      for (int32_t c = 3; c <= 4; ++c) {
        Expected[{c, r, l, 2}] = -Code(c - 2, r - 1, l - 1, 1);
      }
    }
  }
  ExpectCodedExcept(m, Expected);
  EXPECT_EQ(Changes, 9);  // eight cells, then once

  struct TSelfCase {
    std::string Name;
    std::function<void()> Copy;
    std::function<TCell(int32_t c, int32_t r, int32_t l, int32_t t)> From;  // old cell a changed cell shows
    std::function<bool(int32_t c, int32_t r, int32_t l, int32_t t)> Changed;
  };
  const std::vector<TSelfCase> SelfCases = {
      {"columns 3..1 one to the right",
       [&] { m.CopyFrom(&m, 3, 1, 0, 0, 0, 0, 0, 0, 2, 1, 1, 1); },
       [](int32_t c, int32_t r, int32_t l, int32_t t) { return TCell{c - 1, r, l, t}; },
       [](int32_t c, int32_t, int32_t, int32_t) { return c >= 2; }},
      {"layers 1..2 of slot 1 one layer up",
       [&] { m.CopyFrom(&m, 0, 0, 0, 0, 1, 2, 1, 1, 1, 1, 2, 1); },
       [](int32_t c, int32_t r, int32_t l, int32_t) { return TCell{c, r, l - 1, 1}; },
       [](int32_t, int32_t, int32_t l, int32_t t) { return t == 1 && l >= 2; }},
      {"rows 2..3 and slot 2 onto rows 1..2 of slot 1",
       [&] { m.CopyFrom(&m, 0, 0, 2, 3, 0, 0, 2, 2, 1, 1, 1, 1); },
       [](int32_t c, int32_t r, int32_t l, int32_t) { return TCell{c, r + 1, l, 2}; },
       [](int32_t, int32_t r, int32_t, int32_t t) { return t == 1 && r <= 2; }},
  };
  for (const TSelfCase& k : SelfCases) {
    SCOPED_TRACE(k.Name);
    FillCoded(m);
    k.Copy();
    std::map<TCell, double> Moved;
    for (int32_t t = 1; t <= kSlots; ++t) {
      for (int32_t l = 1; l <= kLayers; ++l) {
        for (int32_t r = 1; r <= kRows; ++r) {
          for (int32_t c = 1; c <= kCols; ++c) {
            if (k.Changed(c, r, l, t)) {
              const auto [fc, fr, fl, ft] = k.From(c, r, l, t);
              Moved[{c, r, l, t}] = Code(fc, fr, fl, ft);
            }
          }
        }
      }
    }
    ExpectCodedExcept(m, Moved);
  }
}

TEST_F(Mat4DCopyTest, TimeSlotCopiesOutAndIn) {
  // Columns (2, 9) → 2..4, rows whole, layers (3, 2) → 2..3 of slot 2.
  TMat3D Dest(nullptr);
  m.CopyTimeSlotToMat3D(&Dest, 2, 9, 0, 0, 3, 2, 2);
  TDouble3DArray Arr;
  m.CopyTimeSlotToArray(Arr, 2, 9, 0, 0, 3, 2, 2);
  ASSERT_EQ(Dest.NrOfColumns(), 3);
  ASSERT_EQ(Dest.NrOfRows(), 3);
  ASSERT_EQ(Dest.NrOfLayers(), 2);
  ASSERT_EQ(Arr.size(), 3u);
  for (int32_t c = 2; c <= 4; ++c) {
    for (int32_t r = 1; r <= 3; ++r) {
      ASSERT_EQ(Arr[static_cast<size_t>(c - 2)][static_cast<size_t>(r - 1)].size(), 2u);
      for (int32_t l = 2; l <= 3; ++l) {
        EXPECT_EQ(Dest.Elem(c - 1, r, l - 1), Code(c, r, l, 2));
        EXPECT_EQ(Arr[static_cast<size_t>(c - 2)][static_cast<size_t>(r - 1)][static_cast<size_t>(l - 2)],
                  Code(c, r, l, 2));
      }
    }
  }

  // A 2 × 2 × 2 source at (4, 3, 3) of slot 1: only its first cell lands inside.
  TMat3D Src(nullptr);
  Src.Resize(2, 2, 2);
  Src.Fill(-1.0);
  Src.SetElem(1, 1, 1, -5.0);
  m.CopyMat3DToTimeSlot(&Src, 0, 0, 0, 0, 0, 0, 1, 4, 3, 3);
  ExpectCodedExcept(m, {{{4, 3, 3, 1}, -5.0}});
  EXPECT_EQ(Changes, 2);

  // A ragged array copied whole from position 0 at (3, 2, 2) of slot 2.
  FillCoded(m);
  m.CopyArrayToTimeSlot({{{1, 2, 99}, {3}}, {{4}}, {{98}}}, 2, 3, 2, 2);
  ExpectCodedExcept(m, {{{3, 2, 2, 2}, 1}, {{3, 2, 3, 2}, 2}, {{3, 3, 2, 2}, 3}, {{4, 2, 2, 2}, 4}});
}

TEST_F(Mat4DCopyTest, PixelCopiesAlongTheLayers) {
  TVector V(nullptr);
  m.CopyPixelToVector(&V, 9, -1, 3, 2, 2);  // column 4, row 1 (clamped), layers 2..3 of slot 2
  ASSERT_EQ(V.NrOfElem(), 2);
  EXPECT_EQ(V.Elem(1), Code(4, 1, 2, 2));
  EXPECT_EQ(V.Elem(2), Code(4, 1, 3, 2));
  TDoubleArray A = {5.0, 5.0, 5.0, 5.0};
  m.CopyPixelTo1DArray(A, 0, 2, 0, 0, 1);  // column 1 (clamped), row 2, all layers of slot 1
  EXPECT_EQ(A, (TDoubleArray{Code(1, 2, 1, 1), Code(1, 2, 2, 1), Code(1, 2, 3, 1)}));
  EXPECT_EQ(Changes, 0);

  struct TCase {
    std::string Name;
    std::function<void()> Copy;
    std::map<TCell, double> Written;
  };
  TVector Three(nullptr);
  Three.Resize(3);
  for (int32_t i = 1; i <= 3; ++i) {
    Three.SetElem(i, 6.0 + i);
  }
  const std::vector<TCase> Cases = {
      // Element i goes to layer FirstLayer + i − 1: layer 0 is dropped.
      {"vector from layer 0", [&] { m.CopyVectorToPixel(&Three, 2, 3, 0, 1); }, {{{2, 3, 1, 1}, 8}, {{2, 3, 2, 1}, 9}}},
      {"array from layer 3", [&] { m.Copy1DArrayToPixel({5, 6}, 1, 1, 3, 2); }, {{{1, 1, 3, 2}, 5}}},
      {"pixel outside", [&] { m.CopyVectorToPixel(&Three, 5, 1, 1, 1); }, {}},
  };
  for (const TCase& k : Cases) {
    SCOPED_TRACE(k.Name);
    FillCoded(m);
    Changes = 0;
    k.Copy();
    ExpectCodedExcept(m, k.Written);
    EXPECT_EQ(Changes, static_cast<int>(k.Written.size()) + 1);
  }
}

// ---------------------------------------------------------------- free routines

/// 4 columns × 3 rows × 2 layers, A[c][r][l] = 100·c + 10·r + l (0-based).
TDouble3DArray CodedArray3D() {
  TDouble3DArray A(4, TDouble2DArray(3, TDoubleArray(2)));
  for (size_t c = 0; c < 4; ++c) {
    for (size_t r = 0; r < 3; ++r) {
      for (size_t l = 0; l < 2; ++l) {
        A[c][r][l] = 100.0 * static_cast<double>(c) + 10.0 * static_cast<double>(r) + static_cast<double>(l);
      }
    }
  }
  return A;
}

TEST(Mat4DFreeCopies, CopyTheRectangleAndResizeTheDestination) {
  const TDouble3DArray A = CodedArray3D();
  TDouble2DArray Out = {{-1.0}};
  CopyArr3DLayerToArr2D(A, Out, 1, 3, 0, 1, 1);
  EXPECT_EQ(Out, (TDouble2DArray{{101, 111}, {201, 211}, {301, 311}}));

  TMatrix M(nullptr);
  CopyArr3DLayerToMatrix(A, &M, 2, 2, 1, 2, 0);
  EXPECT_EQ(CellsOf(M), (TCols{{210, 220}}));

  TMatrix Src(nullptr);
  SetCells(Src, {{11, 12, 13}, {21, 22, 23}, {31, 32, 33}});
  CopyMatrixToArray(&Src, Out, 2, 3, 1, 1);  // matrix indices are 1-based
  EXPECT_EQ(Out, (TDouble2DArray{{21}, {31}}));
}

TEST(Mat4DFreeCopies, BadIndicesRaggedArraysAndNullptrDoNothing) {
  const TDouble3DArray A = CodedArray3D();
  TDouble3DArray ShortColumn = A;
  ShortColumn[2].pop_back();
  TDouble3DArray ShortPixel = A;
  ShortPixel[3][1].pop_back();
  TMatrix Src(nullptr);
  SetCells(Src, {{11, 12, 13}, {21, 22, 23}, {31, 32, 33}});

  struct TCase {
    std::string Name;
    const TDouble3DArray* Arr;
    int32_t LowCol, HighCol, LowRow, HighRow, Layer;
  };
  const std::vector<TCase> Cases = {
      {"reversed columns", &A, 3, 1, 0, 1, 0},   {"reversed rows", &A, 0, 1, 2, 1, 0},
      {"column beyond", &A, 0, 4, 0, 1, 0},      {"negative row", &A, 0, 1, -1, 1, 0},
      {"layer beyond", &A, 0, 1, 0, 1, 2},       {"negative layer", &A, 0, 1, 0, 1, -1},
      {"ragged columns", &ShortColumn, 0, 0, 0, 0, 0}, {"ragged layers", &ShortPixel, 0, 0, 0, 0, 0},
  };
  for (const TCase& k : Cases) {
    SCOPED_TRACE(k.Name);
    TDouble2DArray Out = {{42.0}};
    CopyArr3DLayerToArr2D(*k.Arr, Out, k.LowCol, k.HighCol, k.LowRow, k.HighRow, k.Layer);
    EXPECT_EQ(Out, TDouble2DArray{{42.0}});
    TMatrix M(nullptr);
    int Events = 0;
    M.OnChange = M.OnResize = [&Events](TObject*) { ++Events; };
    CopyArr3DLayerToMatrix(*k.Arr, &M, k.LowCol, k.HighCol, k.LowRow, k.HighRow, k.Layer);
    EXPECT_EQ(Events, 0);
  }
  CopyArr3DLayerToMatrix(A, nullptr, 0, 0, 0, 0, 0);

  // The matrix routine: 1-based indices within the matrix, Low ≤ High.
  for (const auto& [LowCol, HighCol, LowRow, HighRow] :
       std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>>{
           {0, 1, 1, 1}, {1, 4, 1, 1}, {2, 1, 1, 1}, {1, 1, 3, 2}, {1, 1, 1, 4}, {INT32_MIN, 1, 1, 1}}) {
    SCOPED_TRACE(std::to_string(LowCol) + ".." + std::to_string(HighCol) + ", " + std::to_string(LowRow) + ".." +
                 std::to_string(HighRow));
    TDouble2DArray Out = {{42.0}};
    CopyMatrixToArray(&Src, Out, LowCol, HighCol, LowRow, HighRow);
    EXPECT_EQ(Out, TDouble2DArray{{42.0}});
  }
  TDouble2DArray Out = {{42.0}};
  CopyMatrixToArray(nullptr, Out, 1, 1, 1, 1);
  EXPECT_EQ(Out, TDouble2DArray{{42.0}});
}

}  // namespace
}  // namespace vexa
