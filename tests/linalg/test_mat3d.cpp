// TMat3D: structure and events, storage order, fills, search and statistics
// against exact references, copies to and from matrices, the fingerprint.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "foundation/Vexa_storage.h"
#include "fundora/Vexa_vexabase.h"
#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_matrix.h"
#include "test_mat3d_support.h"

namespace vexa {
namespace {

using testing::ByteLaneCRC;
using testing::ExactMeanVar;
using testing::RankedValue;

/// Records the events of a matrix in order: 'C' change, 'R' resize.
struct TEventLog {
  std::string Events;
  void Attach(TContainer& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
};

/// A small integer value that tells the cell it stands in.
int64_t Pattern(int32_t c, int32_t r, int32_t l) {
  return (c * 37 + r * 11 + l * 7) % 23 - 5;
}

void FillPattern(TMat3D& m) {
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      for (int32_t l = 1; l <= m.NrOfLayers(); ++l) {
        m.SetElem(c, r, l, static_cast<double>(Pattern(c, r, l)));
      }
    }
  }
}

TEST(Mat3DStructure, NewMatrixIsOneZeroCell) {
  TMat3D m(nullptr);
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.NrOfRows(), 1);
  EXPECT_EQ(m.NrOfLayers(), 1);
  EXPECT_EQ(m.Elem(1, 1, 1), 0.0);
  EXPECT_EQ(m.DataID(), "");
}

TEST(Mat3DStructure, ResizeKeepsTheOverlapAndNotifies) {
  TMat3D m(nullptr);
  ASSERT_TRUE(m.Resize(3, 4, 5));
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_FALSE(m.Resize(3, 4, 5));
  EXPECT_FALSE(m.Resize(0, 4, 5));
  EXPECT_FALSE(m.Resize(3, 4, -1));
  EXPECT_EQ(Log.Events, "");
  EXPECT_TRUE(m.Resize(4, 2, 6));
  EXPECT_EQ(Log.Events, "CR");
  for (int32_t c = 1; c <= 4; ++c) {
    for (int32_t r = 1; r <= 2; ++r) {
      for (int32_t l = 1; l <= 6; ++l) {
        const double Expected = c <= 3 && l <= 5 ? static_cast<double>(Pattern(c, r, l)) : 0.0;
        EXPECT_EQ(m.Elem(c, r, l), Expected) << c << ' ' << r << ' ' << l;
      }
    }
  }
  m.SetNrOfLayers(0);  // ignored
  m.SetNrOfRows(3);
  EXPECT_EQ(m.NrOfRows(), 3);
  EXPECT_EQ(m.NrOfLayers(), 6);
}

TEST(Mat3DStructure, ElementAccessOutsideIsIgnored) {
  TMat3D m(nullptr);
  m.Resize(2, 2, 2);
  TEventLog Log;
  Log.Attach(m);
  for (const auto& [c, r, l] : std::vector<std::tuple<int, int, int>>{{0, 1, 1}, {3, 1, 1}, {1, 0, 1}, {1, 3, 1},
                                                                       {1, 1, 0}, {1, 1, 3}}) {
    m.SetElem(c, r, l, 5.0);
    EXPECT_EQ(m.Elem(c, r, l), 0.0);
  }
  EXPECT_EQ(Log.Events, "");
  m.SetElem(2, 2, 2, 5.0);
  EXPECT_EQ(Log.Events, "C");
  EXPECT_EQ(m.Elem(2, 2, 2), 5.0);
}

TEST(Mat3DStructure, ResizeAndClear) {
  TMat3D m(nullptr);
  m.Resize(2, 2, 2);
  m.Fill(3.0);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_FALSE(m.ResizeAndClear(2, 2, 2));  // current size: data kept
  EXPECT_EQ(m.Elem(1, 1, 1), 3.0);
  EXPECT_TRUE(m.ResizeAndClear(2, 2, 3));
  EXPECT_EQ(Log.Events, "CRCR");
  EXPECT_EQ(m.Elem(1, 1, 1), 0.0);
}

TEST(Mat3DStructure, HugeResizeRaisesAndKeepsTheMatrix) {
  TMat3D m(nullptr);
  m.SetName("S");
  m.Resize(2, 1, 2);
  m.FillSerial(1, 1);
  TEventLog Log;
  Log.Attach(m);
  SetStorageLimit(1 << 20);
  try {
    m.Resize(100, 100, 100);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"S\": not enough memory on heap");
  }
  SetStorageLimit(0);
  // 2^93 cells: the product overflows 64 bits and is refused before allocating.
  EXPECT_THROW(m.Resize(INT32_MAX, INT32_MAX, INT32_MAX), EVexaMatrixError);
  EXPECT_EQ(Log.Events, "");
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.NrOfLayers(), 2);
  EXPECT_EQ(m.Elem(2, 1, 2), 4.0);
}

TEST(Mat3DStructure, AssignCloneAndAssignTo) {
  TMat3D a(nullptr), b(nullptr), c(nullptr);
  a.Resize(2, 3, 4);
  FillPattern(a);
  a.SetDataID("stack");
  int Changes = 0;
  a.OnChange = [&](TObject*) { ++Changes; };
  b.Assign(a);
  EXPECT_EQ(b.CRCofData(), a.CRCofData());
  EXPECT_EQ(b.DataID(), "stack");
  EXPECT_TRUE(static_cast<bool>(b.OnChange));
  EXPECT_EQ(Changes, 0);
  TEventLog Log;
  Log.Attach(c);
  c.Clone(&a);
  EXPECT_EQ(c.NrOfLayers(), 4);
  EXPECT_EQ(c.CRCofData(), a.CRCofData());
  EXPECT_EQ(c.DataID(), "");
  // Resize, one change per cell, then one change and one resize.
  EXPECT_EQ(Log.Events, "CR" + std::string(24, 'C') + "CR");
  TMatrix NotA3D(nullptr);
  EXPECT_THROW(c.Assign(NotA3D), EConvertError);
}

// ---------------------------------------------------------------- fills

TEST(Mat3DFill, SerialRunsLayerFastestWithoutEvents) {
  TMat3D m(nullptr);
  m.Resize(2, 3, 4);
  TEventLog Log;
  Log.Attach(m);
  m.FillSerial(1, 1);
  EXPECT_EQ(Log.Events, "");
  for (int32_t c = 1; c <= 2; ++c) {
    for (int32_t r = 1; r <= 3; ++r) {
      for (int32_t l = 1; l <= 4; ++l) {
        EXPECT_EQ(m.Elem(c, r, l), 1 + ((c - 1) * 3 + (r - 1)) * 4 + (l - 1));
        EXPECT_EQ(m.Data()[m.CellIndex(c, r, l)], m.Elem(c, r, l));
      }
    }
  }
  // Repeated addition: 0.1 added nine times is not 0.9·1.
  m.FillSerial(0.0, 0.1);
  double Running = 0.0;
  for (int i = 0; i < 9; ++i) {
    Running += 0.1;
  }
  EXPECT_EQ(m.Elem(1, 3, 2), Running);
}

TEST(Mat3DFill, DiagonalAndConstantAndRandom) {
  TMat3D m(nullptr);
  m.Resize(3, 4, 2);
  TEventLog Log;
  Log.Attach(m);
  m.FillDiag(7.0);
  EXPECT_EQ(Log.Events, "C");
  for (int32_t c = 1; c <= 3; ++c) {
    for (int32_t r = 1; r <= 4; ++r) {
      for (int32_t l = 1; l <= 2; ++l) {
        EXPECT_EQ(m.Elem(c, r, l), c == r && r == l ? 7.0 : 0.0);
      }
    }
  }
  m.FillRandomUniform(2.0, 3.0);
  double Minimum = 0, Maximum = 0;
  m.MinMax(0, 0, 0, 0, 0, 0, Minimum, Maximum);
  EXPECT_GE(Minimum, 2.0);
  EXPECT_LT(Maximum, 3.0);
  EXPECT_EQ(Log.Events, "CC");
}

// ---------------------------------------------------------------- search and statistics

struct TBoxCase {
  int32_t LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer;
};

/// Ranges of a 3 × 4 × 5 matrix: whole, inner box, reversed, clamped, one cell, two cells.
const std::vector<TBoxCase> kBoxes = {{0, 0, 0, 0, 0, 0},   {2, 3, 2, 4, 2, 4}, {3, 2, 4, 1, 5, 3},
                                      {-4, 9, 0, 0, 1, 99}, {2, 2, 3, 3, 4, 4}, {1, 1, 1, 1, 4, 5}};

/// The values of a box after the range rules: (0, 0) all, clamp, exchange.
std::vector<int64_t> BoxValues(const TBoxCase& b, int32_t Nc, int32_t Nr, int32_t Nl) {
  auto Valid = [](int32_t Lo, int32_t Hi, int32_t N) {
    if (Lo == 0 && Hi == 0) {
      return std::pair{1, N};
    }
    Lo = std::clamp(Lo, 1, N);
    Hi = std::clamp(Hi, 1, N);
    return std::pair{std::min(Lo, Hi), std::max(Lo, Hi)};
  };
  const auto [c0, c1] = Valid(b.LowCol, b.HighCol, Nc);
  const auto [r0, r1] = Valid(b.LowRow, b.HighRow, Nr);
  const auto [l0, l1] = Valid(b.LowLayer, b.HighLayer, Nl);
  std::vector<int64_t> Values;
  for (int32_t c = c0; c <= c1; ++c) {
    for (int32_t r = r0; r <= r1; ++r) {
      for (int32_t l = l0; l <= l1; ++l) {
        Values.push_back(Pattern(c, r, l));
      }
    }
  }
  return Values;
}

TEST(Mat3DStatistics, MatchExactReferences) {
  TMat3D m(nullptr);
  m.Resize(3, 4, 5);
  FillPattern(m);
  for (const TBoxCase& b : kBoxes) {
    SCOPED_TRACE(::testing::Message() << b.LowCol << ' ' << b.HighCol << ' ' << b.LowRow << ' ' << b.HighRow
                                      << ' ' << b.LowLayer << ' ' << b.HighLayer);
    const std::vector<int64_t> Values = BoxValues(b, 3, 4, 5);
    double RefMean = 0, RefVar = 0;
    ExactMeanVar(Values, RefMean, RefVar);
    double Mean = 0, Var = 0;
    m.MeanVar(b.LowCol, b.HighCol, b.LowRow, b.HighRow, b.LowLayer, b.HighLayer, Mean, Var);
    EXPECT_NEAR(Mean, RefMean, 1e-13 * (1 + std::fabs(RefMean)));
    EXPECT_NEAR(Var, RefVar, 1e-13 * (1 + RefVar));
    double Minimum = 0, Maximum = 0;
    m.MinMax(b.LowCol, b.HighCol, b.LowRow, b.HighRow, b.LowLayer, b.HighLayer, Minimum, Maximum);
    EXPECT_EQ(Minimum, static_cast<double>(*std::min_element(Values.begin(), Values.end())));
    EXPECT_EQ(Maximum, static_cast<double>(*std::max_element(Values.begin(), Values.end())));
    for (const int64_t prob : {0, 25, 50, 90, 100}) {
      EXPECT_EQ(m.Percentile(static_cast<double>(prob), b.LowCol, b.HighCol, b.LowRow, b.HighRow, b.LowLayer,
                             b.HighLayer),
                RankedValue(Values, prob))
          << prob;
      // A sample no smaller than the box is the full selection.
      EXPECT_EQ(m.Percentile(static_cast<double>(prob), b.LowCol, b.HighCol, b.LowRow, b.HighRow, b.LowLayer,
                             b.HighLayer, static_cast<int32_t>(Values.size())),
                RankedValue(Values, prob));
    }
  }
}

TEST(Mat3DStatistics, FindGivesTheFirstClosestCellInStorageOrder) {
  TMat3D m(nullptr);
  m.Resize(3, 4, 5);
  FillPattern(m);
  for (const TBoxCase& b : kBoxes) {
    for (const double Value : {-100.0, 4.4, 6.5, 100.0}) {
      // Reference: scan in column, row, layer order, keeping strictly closer cells.
      const std::vector<int64_t> Values = BoxValues(b, 3, 4, 5);
      double Best = INFINITY;
      for (const int64_t x : Values) {
        Best = std::min(Best, std::fabs(static_cast<double>(x) - Value));
      }
      int32_t c = 0, r = 0, l = 0;
      m.Find(b.LowCol, b.HighCol, b.LowRow, b.HighRow, b.LowLayer, b.HighLayer, Value, c, r, l);
      EXPECT_EQ(std::fabs(m.Elem(c, r, l) - Value), Best);
      // No earlier cell of the box is as close.
      int32_t c0 = b.LowCol, c1 = b.HighCol, r0 = b.LowRow, r1 = b.HighRow, l0 = b.LowLayer, l1 = b.HighLayer;
      m.MakeValidColRange(c0, c1);
      m.MakeValidRowRange(r0, r1);
      m.MakeValidLayerRange(l0, l1);
      ASSERT_TRUE(c >= c0 && c <= c1 && r >= r0 && r <= r1 && l >= l0 && l <= l1);
      for (int32_t i = c0; i <= c1; ++i) {
        for (int32_t j = r0; j <= r1; ++j) {
          for (int32_t k = l0; k <= l1; ++k) {
            if (std::tuple{i, j, k} < std::tuple{c, r, l}) {
              EXPECT_GT(std::fabs(m.Elem(i, j, k) - Value), Best);
            }
          }
        }
      }
    }
  }
}

TEST(Mat3DStatistics, SampledPercentileDrawsOnlyFromTheBox) {
  TMat3D m(nullptr);
  m.Resize(10, 10, 10);
  m.Fill(0.0);
  for (int32_t c = 3; c <= 5; ++c) {
    for (int32_t r = 2; r <= 9; ++r) {
      for (int32_t l = 4; l <= 6; ++l) {
        m.SetElem(c, r, l, c * 100.0 + r * 10.0 + l);
      }
    }
  }
  for (const double prob : {0.0, 50.0, 100.0}) {
    const double p = m.Percentile(prob, 3, 5, 2, 9, 4, 6, 20);
    EXPECT_GE(p, 324.0);
    EXPECT_LE(p, 596.0);
  }
}

TEST(Mat3DStatistics, MeanVarReportsProgressAboutAHundredTimes) {
  TMat3D m(nullptr);
  m.Resize(10, 10, 10);
  int Calls = 0;
  MathFeedBackProc = [&](double) { ++Calls; };
  double Mean = 0, Var = 0;
  m.MeanVar(0, 0, 0, 0, 0, 0, Mean, Var);
  MathFeedBackProc = nullptr;
  EXPECT_EQ(Calls, 100);
  // Two cells: step 1, one call per cell, and the family's variance 1.
  Calls = 0;
  MathFeedBackProc = [&](double) { ++Calls; };
  m.MeanVar(1, 1, 1, 1, 1, 2, Mean, Var);
  MathFeedBackProc = nullptr;
  EXPECT_EQ(Calls, 2);
  EXPECT_EQ(Var, 1.0);
}

// ---------------------------------------------------------------- copies

TEST(Mat3DCopy, LayerToMatrixAndBack) {
  TMat3D s(nullptr);
  s.SetName("S");
  s.Resize(3, 4, 5);
  FillPattern(s);
  TMatrix m(nullptr);
  s.CopyLayerToMatrix(&m, 3, 2, 0, 0, 4);  // columns 2..3, all rows, layer 4
  ASSERT_EQ(m.NrOfColumns(), 2);
  ASSERT_EQ(m.NrOfRows(), 4);
  for (int32_t c = 1; c <= 2; ++c) {
    for (int32_t r = 1; r <= 4; ++r) {
      EXPECT_EQ(m.Elem(c, r), Pattern(c + 1, r, 4));
    }
  }
  TMat3D d(nullptr);
  d.Resize(3, 3, 2);
  TEventLog Log;
  Log.Attach(d);
  // Source columns 1..2, rows 2..4 to (2, 2) of layer 2: column 3 and row 3 are the edge.
  d.CopyMatrixToLayer(&m, 1, 2, 2, 4, 2, 2, 2);
  for (int32_t c = 1; c <= 3; ++c) {
    for (int32_t r = 1; r <= 3; ++r) {
      const double Expected = c >= 2 && r >= 2 ? m.Elem(c - 1, r) : 0.0;
      EXPECT_EQ(d.Elem(c, r, 2), Expected) << c << ' ' << r;
      EXPECT_EQ(d.Elem(c, r, 1), 0.0);
    }
  }
  EXPECT_EQ(Log.Events, "CCCCC");  // four cells inside, then once more
}

TEST(Mat3DCopy, LayerOutsideRaises) {
  TMat3D s(nullptr);
  s.SetName("S");
  s.Resize(2, 2, 3);
  TMatrix m(nullptr);
  for (const int32_t Layer : {0, 4, -1}) {
    try {
      s.CopyLayerToMatrix(&m, 0, 0, 0, 0, Layer);
      ADD_FAILURE() << "no exception";
    } catch (const EVexaMatrixError& e) {
      EXPECT_STREQ(e.what(), "Component \"S\": specified layer beyond data range");
    }
    EXPECT_THROW(s.CopyMatrixToLayer(&m, 0, 0, 0, 0, Layer, 1, 1), EVexaMatrixError);
  }
  EXPECT_EQ(m.NrOfColumns(), 1);  // nothing written
}

TEST(Mat3DCopy, RangeChecksOfLayersAndTimeSlots) {
  TMat3D Owner(nullptr);
  Owner.SetName("V");
  struct TCase {
    int32_t Index, Count;
    bool Raises;
  };
  for (const TCase& k : std::vector<TCase>{{1, 1, false}, {3, 3, false}, {0, 3, true}, {4, 3, true},
                                           {INT32_MIN, 3, true}, {INT32_MAX, INT32_MAX, false}}) {
    if (!k.Raises) {
      EXPECT_NO_THROW(CheckLayerInRange(Owner, k.Index, k.Count));
      EXPECT_NO_THROW(CheckTimeSlotInRange(Owner, k.Index, k.Count));
      continue;
    }
    try {
      CheckLayerInRange(Owner, k.Index, k.Count);
      ADD_FAILURE() << "no exception";
    } catch (const EVexaMatrixError& e) {
      EXPECT_STREQ(e.what(), "Component \"V\": specified layer beyond data range");
    }
    try {
      CheckTimeSlotInRange(Owner, k.Index, k.Count);
      ADD_FAILURE() << "no exception";
    } catch (const EVexaMatrixError& e) {
      EXPECT_STREQ(e.what(), "Component \"V\": specified time slot beyond data range");
    }
  }
}

TEST(Mat3DCopy, MatrixCopiesFromAClampedLayer) {
  TMat3D s(nullptr);
  s.Resize(3, 4, 5);
  FillPattern(s);
  struct TCase {
    int32_t Layer, UsedLayer;
  };
  for (const TCase& t : std::vector<TCase>{{3, 3}, {0, 1}, {-7, 1}, {9, 5}}) {
    TMatrix m(nullptr);
    m.Resize(3, 3);
    // Corners (3, 4) and (2, 9→4): columns 2..3, rows 4..4 exchanged into order, to (1, 3).
    m.CopyFrom(&s, 3, 4, 2, 9, t.Layer, 1, 3);
    EXPECT_EQ(m.Elem(1, 3), Pattern(2, 4, t.UsedLayer)) << t.Layer;
    EXPECT_EQ(m.Elem(2, 3), Pattern(3, 4, t.UsedLayer));
    EXPECT_EQ(m.Elem(1, 1), 0.0);
  }
  TMatrix m(nullptr);
  m.CopyFrom(static_cast<const TMat3D*>(nullptr), 1, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(m.Elem(1, 1), 0.0);
}

// ---------------------------------------------------------------- fingerprint

TEST(Mat3DFingerprint, MatchesZlibOverTheStorageOrder) {
  TMat3D m(nullptr);
  m.Resize(3, 2, 4);
  FillPattern(m);
  m.SetElem(2, 2, 3, -0.0);
  m.SetElem(1, 1, 1, 1e300);
  std::vector<double> InOrder;  // column, row, layer nested
  for (int32_t c = 1; c <= 3; ++c) {
    for (int32_t r = 1; r <= 2; ++r) {
      for (int32_t l = 1; l <= 4; ++l) {
        InOrder.push_back(m.Elem(c, r, l));
      }
    }
  }
  EXPECT_EQ(m.CRCofData(), ByteLaneCRC(InOrder));
}

}  // namespace
}  // namespace vexa
