// TMat4D: structure and events, storage order, 3-D addresses, fills and
// layer operations, statistics against exact references, cutting,
// resampling, transposing, mirroring and the fingerprint.

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
#include "linalg/Vexa_mat4d.h"
#include "test_mat3d_support.h"

namespace vexa {
namespace {

using testing::ByteLaneCRC;
using testing::ExactMeanVar;
using testing::RankedValue;

/// Records the events of a matrix in order: 'C' change, 'R' resize, 'P' percent done.
struct TEventLog {
  std::string Events;
  std::vector<int32_t> Percents;
  void Attach(TMat4D& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
    m.OnPercentDone = [this](TObject*, int32_t Percent) {
      Events += 'P';
      Percents.push_back(Percent);
    };
  }
  /// The events without the progress reports.
  std::string Changes() const {
    std::string Result = Events;
    std::erase(Result, 'P');
    return Result;
  }
};

/// A small integer value that tells the cell it stands in.
int64_t Pattern(int32_t c, int32_t r, int32_t l, int32_t t) {
  return (c * 37 + r * 11 + l * 7 + t * 5) % 29 - 6;
}

void FillPattern(TMat4D& m) {
  for (int32_t t = 1; t <= m.NrOfTimeSlots(); ++t) {
    for (int32_t l = 1; l <= m.NrOfLayers(); ++l) {
      for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
        for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
          m.SetElem(c, r, l, t, static_cast<double>(Pattern(c, r, l, t)));
        }
      }
    }
  }
}

/// Calls Check(c, r, l, t) for every cell of m.
template <class TCheck>
void ForEachCell(const TMat4D& m, TCheck&& Check) {
  for (int32_t t = 1; t <= m.NrOfTimeSlots(); ++t) {
    for (int32_t l = 1; l <= m.NrOfLayers(); ++l) {
      for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
        for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
          Check(c, r, l, t);
        }
      }
    }
  }
}

// ---------------------------------------------------------------- structure

TEST(Mat4DStructure, NewMatrixIsOneZeroCell) {
  TMat4D m(nullptr);
  EXPECT_EQ(m.NrOfColumns() * m.NrOfRows() * m.NrOfLayers() * m.NrOfTimeSlots(), 1);
  EXPECT_EQ(m.Elem(1, 1, 1, 1), 0.0);
  EXPECT_EQ(m.DataID(), "");
}

TEST(Mat4DStructure, ResizeKeepsTheOverlapAndNotifies) {
  TMat4D m(nullptr);
  ASSERT_TRUE(m.Resize(3, 4, 2, 3));
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_FALSE(m.Resize(3, 4, 2, 3));
  EXPECT_FALSE(m.Resize(3, 4, 0, 3));
  EXPECT_FALSE(m.Resize(3, 4, 2, -2));
  EXPECT_EQ(Log.Events, "");
  EXPECT_TRUE(m.Resize(2, 5, 3, 2));
  EXPECT_EQ(Log.Events, "CR");
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const double Expected = r <= 4 && l <= 2 ? static_cast<double>(Pattern(c, r, l, t)) : 0.0;
    EXPECT_EQ(m.Elem(c, r, l, t), Expected) << c << r << l << t;
  });
  m.SetNrOfTimeSlots(4);
  m.SetNrOfColumns(-1);  // ignored
  EXPECT_EQ(m.NrOfTimeSlots(), 4);
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_FALSE(m.ResizeAndClear(2, 5, 3, 4));  // current size: data kept
  EXPECT_EQ(m.Elem(1, 1, 1, 1), Pattern(1, 1, 1, 1));
  EXPECT_TRUE(m.ResizeAndClear(2, 5, 3, 5));
  EXPECT_EQ(m.Elem(1, 1, 1, 1), 0.0);
}

TEST(Mat4DStructure, HugeResizeRaisesAndKeepsTheMatrix) {
  TMat4D m(nullptr);
  m.SetName("Q");
  m.Resize(2, 1, 1, 2);
  m.FillSerial(1, 1);
  TEventLog Log;
  Log.Attach(m);
  SetStorageLimit(1 << 20);
  try {
    m.Resize(100, 100, 10, 2);
    ADD_FAILURE() << "no exception";
  } catch (const EVexaMatrixError& e) {
    EXPECT_STREQ(e.what(), "Component \"Q\": not enough memory on heap");
  }
  SetStorageLimit(0);
  // 2^124 cells: refused by the 64-bit product check before allocating.
  EXPECT_THROW(m.Resize(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX), EVexaMatrixError);
  EXPECT_THROW(m.Resize(65536, 65536, 65536, 65536), EVexaMatrixError);  // exactly 2^64
  EXPECT_EQ(Log.Events, "");
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.NrOfTimeSlots(), 2);
  EXPECT_EQ(m.Elem(2, 1, 1, 2), 4.0);
}

TEST(Mat4DStructure, StorageIsTimeLayerRowColumnWithColumnFastest) {
  TMat4D m(nullptr);
  m.Resize(2, 3, 4, 5);
  TEventLog Log;
  Log.Attach(m);
  m.FillSerial(0, 1);
  EXPECT_EQ(Log.Events, "");  // FillSerial fires nothing
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const int32_t Expected = (((t - 1) * 4 + (l - 1)) * 3 + (r - 1)) * 2 + (c - 1);
    EXPECT_EQ(m.Elem(c, r, l, t), Expected);
    EXPECT_EQ(m.CellIndex(c, r, l, t), static_cast<size_t>(Expected));
  });
  EXPECT_EQ(m.Data().size(), 120u);
  EXPECT_EQ(m.MemoryConsumed(), 120.0 * 8.0 / 1048576.0);
}

TEST(Mat4DStructure, ElementAccessOutsideIsIgnored) {
  TMat4D m(nullptr);
  m.Resize(2, 2, 2, 2);
  TEventLog Log;
  Log.Attach(m);
  for (const auto& [c, r, l, t] : std::vector<std::tuple<int, int, int, int>>{
           {0, 1, 1, 1}, {3, 1, 1, 1}, {1, 0, 1, 1}, {1, 3, 1, 1}, {1, 1, 0, 1}, {1, 1, 3, 1}, {1, 1, 1, 0}, {1, 1, 1, 3}}) {
    m.SetElem(c, r, l, t, 5.0);
    EXPECT_EQ(m.Elem(c, r, l, t), 0.0);
  }
  EXPECT_EQ(Log.Events, "");
  m.SetElem(2, 2, 2, 2, 5.0);
  EXPECT_EQ(Log.Events, "C");
}

TEST(Mat4DStructure, AssignCloneAndReadElement) {
  TMat4D a(nullptr), b(nullptr), c(nullptr);
  a.Resize(2, 3, 2, 2);
  FillPattern(a);
  a.SetDataID("movie");
  std::vector<std::tuple<TObject*, int, int, int, int, double>> Delivered;
  a.OnReadElement = [&](TObject* Sender, int32_t ix, int32_t iy, int32_t il, int32_t it, double v) {
    Delivered.emplace_back(Sender, ix, iy, il, it, v);
  };
  b.Assign(a);
  EXPECT_EQ(b.CRCofData(), a.CRCofData());
  EXPECT_EQ(b.DataID(), "movie");
  b.ReadElement(&a, 1, 2, 3, 4, 0.5);  // handlers are copied; the sender is always the matrix
  ASSERT_EQ(Delivered.size(), 1u);
  EXPECT_EQ(Delivered[0], std::make_tuple(static_cast<TObject*>(&b), 1, 2, 3, 4, 0.5));
  TEventLog Log;
  Log.Attach(c);
  c.Clone(&a);
  EXPECT_EQ(c.CRCofData(), a.CRCofData());
  EXPECT_EQ(c.DataID(), "");
  EXPECT_EQ(Log.Changes(), "CR" + std::string(24, 'C') + "CR");
  TMat3D NotA4D(nullptr);
  EXPECT_THROW(c.Assign(NotA4D), EConvertError);
  b.Resize(1, 1, 1, 1);
  a.AssignTo(b);
  EXPECT_EQ(b.NrOfRows(), 3);
}

// ---------------------------------------------------------------- 3-D addresses

TEST(Mat4DAddress, LinearAddressesRoundTrip) {
  TMat4D m(nullptr);
  m.Resize(3, 4, 5, 2);
  EXPECT_EQ(m.Lin3DAddr(1, 1, 1), 0);
  int32_t ix = 9, iy = 9, il = 9;
  EXPECT_TRUE(m.ConvertLinTo3DAddr(0, ix, iy, il));
  EXPECT_EQ(std::tie(ix, iy, il), std::make_tuple(1, 1, 1));
  // Every voxel: layer fastest, then column, then row, and back.
  std::vector<bool> Seen(60, false);
  for (int32_t y = 1; y <= 4; ++y) {
    for (int32_t x = 1; x <= 3; ++x) {
      for (int32_t l = 1; l <= 5; ++l) {
        const int32_t Addr = m.Lin3DAddr(x, y, l);
        ASSERT_EQ(Addr, ((y - 1) * 3 + (x - 1)) * 5 + (l - 1));
        ASSERT_TRUE(m.ConvertLinTo3DAddr(Addr, ix, iy, il));
        EXPECT_EQ(std::tie(ix, iy, il), std::make_tuple(x, y, l));
        Seen[static_cast<size_t>(Addr)] = true;
      }
    }
  }
  EXPECT_TRUE(std::all_of(Seen.begin(), Seen.end(), [](bool b) { return b; }));
  for (const auto& [x, y, l] : std::vector<std::tuple<int, int, int>>{{0, 1, 1}, {4, 1, 1}, {1, 0, 1}, {1, 5, 1},
                                                                       {1, 1, 0}, {1, 1, 6}, {-1, -1, -1}}) {
    EXPECT_EQ(m.Lin3DAddr(x, y, l), -1);
  }
  ix = iy = il = 7;
  for (const int32_t Bad : {-1, 60, INT32_MAX, INT32_MIN}) {
    EXPECT_FALSE(m.ConvertLinTo3DAddr(Bad, ix, iy, il));
  }
  EXPECT_EQ(std::tie(ix, iy, il), std::make_tuple(7, 7, 7));
}

// ---------------------------------------------------------------- fills and layer operations

TEST(Mat4DFill, DiagonalAndLayers) {
  TMat4D m(nullptr);
  m.Resize(3, 3, 4, 2);
  TEventLog Log;
  Log.Attach(m);
  m.FillDiag(7.0);
  m.FillLayer(3, 2.5);
  m.FillLayer(5, 9.0);  // outside: nothing, no event
  EXPECT_EQ(Log.Events, "CC");
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const double Expected = l == 3 ? 2.5 : (c == r && r == l && l == t ? 7.0 : 0.0);
    EXPECT_EQ(m.Elem(c, r, l, t), Expected) << c << r << l << t;
  });
}

TEST(Mat4DFill, FillLayerCodes) {
  struct TCase {
    int32_t Layer, TimeSlot, Mode, Result;
  };
  const std::vector<TCase> Cases = {
      {9, 9, 3, -3}, {1, 1, 3, -3}, {2, 1, -1, -3},  // a bad mode wins
      {9, 9, 0, -2}, {1, 0, 1, -2},                  // then the time slot
      {0, 1, 2, -1}, {4, 2, 0, -1},                  // then the layer
  };
  for (const TCase& k : Cases) {
    TMat4D m(nullptr);
    m.Resize(2, 2, 3, 2);
    m.FillSerial(1, 1);
    const std::string Before = m.CRCofData();
    TEventLog Log;
    Log.Attach(m);
    EXPECT_EQ(m.FillLayer(k.Layer, k.TimeSlot, k.Mode, 1.0, 2.0), k.Result) << k.Layer << k.TimeSlot << k.Mode;
    EXPECT_EQ(Log.Changes(), "");
    EXPECT_EQ(m.CRCofData(), Before);
  }
  TMat4D m(nullptr);
  m.Resize(3, 2, 3, 2);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_EQ(m.FillLayer(2, 2, 0, 4.0, 0.0), 0);
  EXPECT_EQ(m.FillLayer(1, 1, 1, 10.0, 11.0), 0);
  EXPECT_EQ(Log.Events, "CC");
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const double x = m.Elem(c, r, l, t);
    if (l == 2 && t == 2) {
      EXPECT_EQ(x, 4.0);
    } else if (l == 1 && t == 1) {
      EXPECT_TRUE(x >= 10.0 && x < 11.0) << x;
    } else {
      EXPECT_EQ(x, 0.0);
    }
  });
}

TEST(Mat4DFill, AccumulateLayer) {
  const TDouble2DArray Good = {{1, 2}, {3, 4}, {5, 6}};  // [3 columns][2 rows]
  struct TCase {
    TDouble2DArray Src;
    int32_t Layer, TimeSlot, Result;
  };
  const std::vector<TCase> Cases = {
      {{{1, 2}, {3, 4}}, 9, 9, -1},          // too few columns, wins
      {{{1, 2}, {3}, {5, 6}}, 1, 1, -1},     // ragged
      {{{1, 2, 0}, {3, 4, 0}, {5, 6, 0}}, 1, 1, -1},
      {{}, 1, 1, -1},
      {Good, 0, 9, -2},
      {Good, 3, 1, -2},
      {Good, 1, 0, -3},
      {Good, 2, 3, -3},
  };
  for (const TCase& k : Cases) {
    TMat4D m(nullptr);
    m.Resize(3, 2, 2, 2);
    TEventLog Log;
    Log.Attach(m);
    EXPECT_EQ(m.AccumulateLayer(k.Layer, k.TimeSlot, k.Src), k.Result);
    EXPECT_EQ(Log.Events, "");
    EXPECT_EQ(m.Sum(0, 0, 0, 0, 0, 0, 0, 0), 0.0);
  }
  TMat4D m(nullptr);
  m.Resize(3, 2, 2, 2);
  m.Fill(0.5);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_EQ(m.AccumulateLayer(2, 1, Good), 0);
  EXPECT_EQ(m.AccumulateLayer(2, 1, Good), 0);
  EXPECT_EQ(Log.Events, "CC");
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const double Added = l == 2 && t == 1 ? 2 * Good[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)] : 0.0;
    EXPECT_EQ(m.Elem(c, r, l, t), 0.5 + Added);
  });
}

TEST(Mat4DFill, MultiplyLayersByArray) {
  const TDouble2DArray Factors = {{2, 3}, {5, 7}};  // [2 columns][2 rows]
  struct TCase {
    TDouble2DArray F;
    std::vector<int32_t> Ranges;  // LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowT, HighT
    int32_t Result;
  };
  const std::vector<TCase> Cases = {
      {{{2, 3}}, {0, 0, 0, 0, 0, 0, 0, 0}, -1},
      {{{2, 3}, {5}}, {0, 0, 0, 0, 0, 0, 0, 0}, -1},
      {Factors, {0, 3, 9, 9, 9, 9, 9, 9}, -2},   // the first range outside wins
      {Factors, {2, 1, 0, 3, 0, 0, 0, 0}, -3},   // reversed columns are fine; rows reach 3
      {Factors, {0, 0, 1, 2, 4, 1, 0, 0}, -4},
      {Factors, {0, 0, 0, 0, 0, 0, 3, 0}, -5},   // (3, 0): 0 is outside
  };
  for (const TCase& k : Cases) {
    TMat4D m(nullptr);
    m.Resize(2, 2, 3, 2);
    m.Fill(1.0);
    TEventLog Log;
    Log.Attach(m);
    const auto& R = k.Ranges;
    EXPECT_EQ(m.MultiplyLayersByArray(k.F, R[0], R[1], R[2], R[3], R[4], R[5], R[6], R[7]), k.Result);
    EXPECT_EQ(Log.Events, "");
    EXPECT_EQ(m.Sum(0, 0, 0, 0, 0, 0, 0, 0), 24.0);
  }
  TMat4D m(nullptr);
  m.Resize(2, 2, 3, 2);
  m.Fill(1.0);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_EQ(m.MultiplyLayersByArray(Factors, 2, 2, 0, 0, 3, 2, 2, 2), 0);  // column 2, layers 2..3, slot 2
  EXPECT_EQ(Log.Events, "C");
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const bool Inside = c == 2 && l >= 2 && t == 2;
    EXPECT_EQ(m.Elem(c, r, l, t), Inside ? Factors[1][static_cast<size_t>(r - 1)] : 1.0);
  });
}

// ---------------------------------------------------------------- statistics

struct TBoxCase {
  int32_t Lo[4], Hi[4];  // column, row, layer, time slot
};

/// Ranges of a 3 × 4 × 3 × 2 matrix: whole, inner box, reversed, clamped, one cell, two cells.
const std::vector<TBoxCase> kBoxes = {{{0, 0, 0, 0}, {0, 0, 0, 0}},   {{2, 2, 2, 1}, {3, 4, 3, 1}},
                                      {{3, 4, 3, 2}, {1, 2, 2, 1}},   {{-5, 0, 1, 2}, {9, 0, 99, 7}},
                                      {{2, 3, 2, 2}, {2, 3, 2, 2}},   {{1, 1, 1, 1}, {1, 1, 1, 2}}};

const int32_t kDims[4] = {3, 4, 3, 2};

/// The validated ranges of a box: (0, 0) all, clamp, exchange.
std::pair<int32_t, int32_t> ValidRange(int32_t Lo, int32_t Hi, int32_t N) {
  if (Lo == 0 && Hi == 0) {
    return {1, N};
  }
  Lo = std::clamp(Lo, 1, N);
  Hi = std::clamp(Hi, 1, N);
  return {std::min(Lo, Hi), std::max(Lo, Hi)};
}

std::vector<int64_t> BoxValues(const TBoxCase& b) {
  std::pair<int32_t, int32_t> V[4];
  for (int i = 0; i < 4; ++i) {
    V[i] = ValidRange(b.Lo[i], b.Hi[i], kDims[i]);
  }
  std::vector<int64_t> Values;
  for (int32_t t = V[3].first; t <= V[3].second; ++t) {
    for (int32_t l = V[2].first; l <= V[2].second; ++l) {
      for (int32_t r = V[1].first; r <= V[1].second; ++r) {
        for (int32_t c = V[0].first; c <= V[0].second; ++c) {
          Values.push_back(Pattern(c, r, l, t));
        }
      }
    }
  }
  return Values;
}

#define VEXA_BOX(b) b.Lo[0], b.Hi[0], b.Lo[1], b.Hi[1], b.Lo[2], b.Hi[2], b.Lo[3], b.Hi[3]

TEST(Mat4DStatistics, MatchExactReferences) {
  TMat4D m(nullptr);
  m.Resize(kDims[0], kDims[1], kDims[2], kDims[3]);
  FillPattern(m);
  for (const TBoxCase& b : kBoxes) {
    SCOPED_TRACE(::testing::Message() << "box " << (&b - kBoxes.data()));
    const std::vector<int64_t> Values = BoxValues(b);
    double RefMean = 0, RefVar = 0;
    ExactMeanVar(Values, RefMean, RefVar);
    double Mean = 0, Var = 0;
    m.MeanVar(VEXA_BOX(b), Mean, Var);
    EXPECT_NEAR(Mean, RefMean, 1e-13 * (1 + std::fabs(RefMean)));
    EXPECT_NEAR(Var, RefVar, 1e-13 * (1 + RefVar));
    int64_t Sum = 0, Squares = 0, InRange = 0;
    for (const int64_t x : Values) {
      Sum += x;
      Squares += x * x;
      InRange += x >= -2 && x <= 10 ? 1 : 0;
    }
    EXPECT_EQ(m.Sum(VEXA_BOX(b)), static_cast<double>(Sum));  // small integers: exact
    EXPECT_EQ(m.SquaredSum(VEXA_BOX(b)), static_cast<double>(Squares));
    EXPECT_EQ(m.CountValues(VEXA_BOX(b), -2.0, 10.0), InRange);
    double Minimum = 0, Maximum = 0;
    m.MinMax(VEXA_BOX(b), Minimum, Maximum);
    EXPECT_EQ(Minimum, static_cast<double>(*std::min_element(Values.begin(), Values.end())));
    EXPECT_EQ(Maximum, static_cast<double>(*std::max_element(Values.begin(), Values.end())));
    for (const int64_t prob : {0, 30, 50, 75, 100}) {
      const double Expected = RankedValue(Values, prob);
      const auto p = static_cast<double>(prob);
      EXPECT_EQ(m.Percentile(p, VEXA_BOX(b), 0), Expected) << prob;
      EXPECT_EQ(m.Percentile(p, VEXA_BOX(b), static_cast<int32_t>(Values.size())), Expected) << prob;
      // The set-aside selection gives the same rank, whatever value is set aside.
      for (const double Aside : {-6.0, 0.0, 3.0, 100.0}) {
        EXPECT_EQ(m.Percentile(p, VEXA_BOX(b), 0, Aside), Expected) << prob << ' ' << Aside;
      }
    }
    // Find: the first closest cell in storage order.
    int32_t c = 0, r = 0, l = 0, t = 0;
    m.Find(VEXA_BOX(b), 4.4, c, r, l, t);
    double Best = INFINITY;
    for (const int64_t x : Values) {
      Best = std::min(Best, std::fabs(static_cast<double>(x) - 4.4));
    }
    EXPECT_EQ(std::fabs(m.Elem(c, r, l, t) - 4.4), Best);
  }
}

TEST(Mat4DStatistics, FindPrefersTheFirstCellInStorageOrder) {
  TMat4D m(nullptr);
  m.Resize(3, 2, 2, 2);
  m.SetElem(3, 1, 1, 2, 5.0);  // later in storage order
  m.SetElem(2, 2, 1, 1, 5.0);
  m.SetElem(1, 1, 2, 1, NAN);
  int32_t c = 0, r = 0, l = 0, t = 0;
  m.Find(0, 0, 0, 0, 0, 0, 0, 0, 5.0, c, r, l, t);
  EXPECT_EQ(std::make_tuple(c, r, l, t), std::make_tuple(2, 2, 1, 1));
}

TEST(Mat4DStatistics, AbundantValuePercentile) {
  // 90 % background 0 below 100 distinct positive values.
  TMat4D m(nullptr);
  m.Resize(10, 10, 5, 2);
  std::vector<int64_t> Values;
  int32_t k = 0;
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    const int64_t x = k++ % 10 == 3 ? 1000 + k : 0;
    m.SetElem(c, r, l, t, static_cast<double>(x));
    Values.push_back(x);
  });
  for (const int64_t prob : {0, 50, 89, 90, 95, 100}) {
    // Ranks below the 900 zeros give the background value; the others select.
    EXPECT_EQ(m.Percentile(static_cast<double>(prob), 0, 0, 0, 0, 0, 0, 0, 0), RankedValue(Values, prob)) << prob;
  }
  EXPECT_TRUE(std::isnan(m.Percentile(NAN, 0, 0, 0, 0, 0, 0, 0, 0)));
}

TEST(Mat4DStatistics, SampledPercentilesDrawOnlyFromTheBox) {
  TMat4D m(nullptr);
  m.Resize(6, 6, 4, 3);
  m.Fill(-1.0);
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    if (c >= 2 && c <= 4 && r >= 3 && r <= 5 && l >= 2 && l <= 3 && t == 2) {
      m.SetElem(c, r, l, t, 10.0 * c + r);
    }
  });
  for (const double prob : {0.0, 50.0, 100.0}) {
    const double p2 = m.Percentile(prob, 2, 4, 3, 5, 2, 3, 2, 2, 10);
    EXPECT_TRUE(p2 >= 23.0 && p2 <= 45.0) << p2;
    const double p3 = m.Percentile(prob, 2, 4, 3, 5, 2, 3, 2, 2, 10, 33.0);
    EXPECT_TRUE(p3 >= 23.0 && p3 <= 45.0) << p3;
  }
}

// ---------------------------------------------------------------- cut, resample

TEST(Mat4DReshape, CutKeepsTheBlock) {
  TMat4D m(nullptr);
  m.Resize(4, 3, 3, 3);
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  m.Cut(3, 2, 0, 0, 9, 2, 2, 2);  // columns 2..3, all rows, layers 2..3, slot 2
  EXPECT_EQ(Log.Events, "CR");
  ASSERT_EQ(std::make_tuple(m.NrOfColumns(), m.NrOfRows(), m.NrOfLayers(), m.NrOfTimeSlots()),
            std::make_tuple(2, 3, 2, 1));
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    EXPECT_EQ(m.Elem(c, r, l, t), Pattern(c + 1, r, l + 1, t + 1));
  });
}

/// Cells of the 5 × 5 test image: 10·c + r.
double Pixel(int32_t c, int32_t r) {
  return 10.0 * c + r;
}

TMat4D* NewImage(TMat4D& m) {
  m.Resize(5, 5, 1, 1);
  for (int32_t c = 1; c <= 5; ++c) {
    for (int32_t r = 1; r <= 5; ++r) {
      m.SetElem(c, r, 1, 1, Pixel(c, r));
    }
  }
  return &m;
}

TEST(Mat4DReshape, ResampleFiveByFive) {
  struct TCase {
    int32_t Div, Offset;
    bool Average;
    int32_t NewSize;
    std::vector<int32_t> FirstOld;  // first old index of each new cell
  };
  const std::vector<TCase> Cases = {
      {2, 0, false, 3, {1, 3, 5}},
      {2, 1, false, 2, {2, 4}},
      {2, -1, false, 2, {2, 4}},  // floored modulo: −1 counts as 1
      {2, 4, false, 3, {1, 3, 5}},  // 4 mod 2 = 0
      {0, 0, false, 5, {1, 2, 3, 4, 5}},  // Div 0 counts as 1
      {-3, 2, false, 5, {1, 2, 3, 4, 5}},  // Div < 1 counts as 1, offset mod 1 = 0
      {3, 0, false, 2, {1, 4}},
      {5, 4, false, 1, {5}},
      {2, 0, true, 3, {1, 3, 5}},
      {3, 1, true, 2, {2, 5}},
  };
  for (const TCase& k : Cases) {
    SCOPED_TRACE(::testing::Message() << k.Div << ' ' << k.Offset << ' ' << k.Average);
    TMat4D m(nullptr);
    NewImage(m);
    TEventLog Log;
    Log.Attach(m);
    m.Resample(k.Div, k.Offset, k.Div, k.Offset, 1, 0, 1, 0, k.Average);
    EXPECT_EQ(Log.Events, "P" + std::string("CR"));  // one plane of the result
    ASSERT_EQ(m.NrOfColumns(), k.NewSize);
    ASSERT_EQ(m.NrOfRows(), k.NewSize);
    const int32_t Div = std::max(k.Div, 1);
    for (int32_t qc = 1; qc <= k.NewSize; ++qc) {
      for (int32_t qr = 1; qr <= k.NewSize; ++qr) {
        const int32_t c0 = k.FirstOld[static_cast<size_t>(qc - 1)];
        const int32_t r0 = k.FirstOld[static_cast<size_t>(qr - 1)];
        double Expected = Pixel(c0, r0);
        if (k.Average) {
          // The old cells of the box that exist, divided by the full box.
          double Sum = 0;
          for (int32_t c = c0; c < c0 + Div && c <= 5; ++c) {
            for (int32_t r = r0; r < r0 + Div && r <= 5; ++r) {
              Sum += Pixel(c, r);
            }
          }
          Expected = Sum / (Div * Div);
        }
        EXPECT_DOUBLE_EQ(m.Elem(qc, qr, 1, 1), Expected) << qc << ' ' << qr;
      }
    }
  }
  // Two spot checks by hand: the corner box holds only (5, 5) = 55, averaged over 4.
  TMat4D m(nullptr);
  NewImage(m);
  m.Resample(2, 0, 2, 0, 1, 0, 1, 0, true);
  EXPECT_EQ(m.Elem(3, 3, 1, 1), 55.0 / 4);
  EXPECT_EQ(m.Elem(1, 1, 1, 1), (11.0 + 12 + 21 + 22) / 4);
}

TEST(Mat4DReshape, ResampleWithAnOffsetBeyondAnAxisDoesNothing) {
  for (const auto& [XDiv, XOffset, TDiv, TOffset] :
       std::vector<std::tuple<int, int, int, int>>{{10, 7, 1, 0}, {10, -3, 1, 0}, {6, 5, 1, 0}, {1, 0, 4, 2}}) {
    TMat4D m(nullptr);
    NewImage(m);
    const std::string Before = m.CRCofData();
    TEventLog Log;
    Log.Attach(m);
    m.Resample(XDiv, XOffset, 1, 0, 1, 0, TDiv, TOffset, true);
    EXPECT_EQ(Log.Events, "");
    EXPECT_EQ(m.NrOfColumns(), 5);
    EXPECT_EQ(m.CRCofData(), Before);
  }
}

TEST(Mat4DReshape, ResampleAllAxesAndProgress) {
  TMat4D m(nullptr);
  m.Resize(4, 3, 5, 4);
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  m.Resample(3, 2, 2, 1, 2, 0, 3, 1, false);
  // Columns from 3 (3 cells: 3 ...), rows 2 (2 ...), layers 1, 3, 5, slots 2.
  ASSERT_EQ(std::make_tuple(m.NrOfColumns(), m.NrOfRows(), m.NrOfLayers(), m.NrOfTimeSlots()),
            std::make_tuple(1, 1, 3, 1));
  for (int32_t l = 1; l <= 3; ++l) {
    EXPECT_EQ(m.Elem(1, 1, l, 1), Pattern(3, 2, 2 * l - 1, 2));
  }
  EXPECT_EQ(Log.Percents, (std::vector<int32_t>{33, 66, 100}));
  EXPECT_EQ(Log.Changes(), "CR");
}

// ---------------------------------------------------------------- transpose, mirrors

TEST(Mat4DReshape, TransposeSwapsColumnsAndRows) {
  TMat4D m(nullptr);
  m.Resize(3, 2, 2, 2);
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_TRUE(m.Transpose());
  EXPECT_EQ(Log.Changes(), "CR");
  EXPECT_EQ(Log.Percents, (std::vector<int32_t>{33, 66, 100}));
  ASSERT_EQ(m.NrOfColumns(), 2);
  ASSERT_EQ(m.NrOfRows(), 3);
  ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
    EXPECT_EQ(m.Elem(c, r, l, t), Pattern(r, c, l, t));
  });
}

TEST(Mat4DReshape, TransposeAbortedChangesNothing) {
  TMat4D m(nullptr);
  m.Resize(3, 2, 2, 2);
  FillPattern(m);
  const std::string Before = m.CRCofData();
  TEventLog Log;
  Log.Attach(m);
  AbortMathProc = true;
  const bool Done = m.Transpose();
  AbortMathProc = false;
  EXPECT_FALSE(Done);
  EXPECT_EQ(Log.Events, "");
  EXPECT_EQ(m.NrOfColumns(), 3);
  EXPECT_EQ(m.CRCofData(), Before);
}

TEST(Mat4DReshape, Mirrors) {
  using TMirror = void (TMat4D::*)();
  struct TCase {
    TMirror Mirror;
    int Axis;
  };
  const std::vector<TCase> Cases = {{&TMat4D::MirrorColumns, 0},
                                    {&TMat4D::MirrorRows, 1},
                                    {&TMat4D::MirrorLayers, 2},
                                    {&TMat4D::MirrorTimeSlots, 3}};
  for (const TCase& k : Cases) {
    TMat4D m(nullptr);
    m.Resize(3, 4, 2, 5);
    FillPattern(m);
    TEventLog Log;
    Log.Attach(m);
    (m.*k.Mirror)();
    EXPECT_EQ(Log.Events, "C");
    ForEachCell(m, [&](int32_t c, int32_t r, int32_t l, int32_t t) {
      int32_t Idx[4] = {c, r, l, t};
      const int32_t N[4] = {3, 4, 2, 5};
      Idx[k.Axis] = N[k.Axis] + 1 - Idx[k.Axis];
      EXPECT_EQ(m.Elem(c, r, l, t), Pattern(Idx[0], Idx[1], Idx[2], Idx[3])) << k.Axis;
    });
  }
}

// ---------------------------------------------------------------- fingerprint

/// Cells in the order column, row, layer, time slot (time slot fastest),
/// layers that are multiples of Sample only.
std::vector<double> FingerprintOrder(const TMat4D& m, int32_t Sample) {
  std::vector<double> Values;
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c) {
    for (int32_t r = 1; r <= m.NrOfRows(); ++r) {
      for (int32_t l = Sample; l <= m.NrOfLayers(); l += Sample) {
        for (int32_t t = 1; t <= m.NrOfTimeSlots(); ++t) {
          Values.push_back(m.Elem(c, r, l, t));
        }
      }
    }
  }
  return Values;
}

TEST(Mat4DFingerprint, MatchesZlibWithSampledLayers) {
  struct TCase {
    int32_t Layers, Sample, UsedSample;
  };
  const std::vector<TCase> Cases = {
      {4, 5, 2},   // limited to 4 div 2: layers 2 and 4
      {4, 1, 1}, {4, 0, 1}, {4, -3, 1},
      {5, 2, 2},  {1, 3, 1},  // one layer: 1 div 2 = 0, still at least 1
  };
  for (const TCase& k : Cases) {
    TMat4D m(nullptr);
    m.Resize(3, 2, k.Layers, 2);
    FillPattern(m);
    m.SetElem(1, 1, 1, 1, -0.0);
    EXPECT_EQ(m.CRCofData(k.Sample), ByteLaneCRC(FingerprintOrder(m, k.UsedSample))) << k.Layers << ' ' << k.Sample;
  }
  TMat4D m(nullptr);
  m.Resize(2, 2, 3, 1);
  FillPattern(m);
  EXPECT_EQ(m.CRCofData(), m.CRCofData(1));
  const std::string Before = m.CRCofData();
  m.Transpose();
  EXPECT_NE(m.CRCofData(), Before);
}

TEST(Mat4DFingerprint, FewPixelsReportEveryPixel) {
  // 3 × 3 pixels: fewer than 100, so progress is reported per pixel.
  TMat4D m(nullptr);
  m.Resize(3, 3, 4, 1);
  FillPattern(m);
  TEventLog Log;
  Log.Attach(m);
  EXPECT_EQ(m.CRCofData(5), ByteLaneCRC(FingerprintOrder(m, 2)));
  EXPECT_EQ(Log.Percents, (std::vector<int32_t>{11, 22, 33, 44, 55, 66, 77, 88, 100}));
  EXPECT_EQ(Log.Changes(), "");
}

}  // namespace
}  // namespace vexa
