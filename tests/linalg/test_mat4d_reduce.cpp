// TMat4D reductions over layers and time slots: agreement with a plain
// long-double computation, identical bits for every thread count, the
// values of small pixels (including NaN, infinity and large offsets), and
// every event and feedback call on the calling thread.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "fundora/Vexa_univconst.h"
#include "linalg/Vexa_mat4d.h"
#include "linalg/Vexa_matrix.h"
#include "linalg/internal/Vexa_layerreduce.h"
#include "test_matrix_linalg_support.h"

namespace vexa {
namespace {

using matrix_detail::TLayerReduction;
using testing::GetRows;
using testing::SameBits;
using testing::TRows;

using Mat4DReduceTest = testing::ProgressHooksTest;

using TReduceMember = void (TMat4D::*)(TMatrix*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                       int32_t, int32_t) const;

struct TKind {
  std::string Name;
  TLayerReduction Kind;
  TReduceMember Member;
};

const std::vector<TKind> kKinds = {
    {"mean", TLayerReduction::lrMean, &TMat4D::MeanOfLayersToMatrix},
    {"maximum", TLayerReduction::lrMaximum, &TMat4D::MaximumOfLayersToMatrix},
    {"minimum", TLayerReduction::lrMinimum, &TMat4D::MinimumOfLayersToMatrix},
    {"std dev", TLayerReduction::lrStdDev, &TMat4D::StdDevOfLayersToMatrix},
};

/// Ranges as the members take them: columns, rows, layers, time slots (1-based).
struct TRanges {
  int32_t LowCol, HighCol, LowRow, HighRow, LowLayer, HighLayer, LowSlot, HighSlot;
};

void Reduce(const TMat4D& m, const TKind& k, TMatrix& Dest, const TRanges& R, int32_t Threads) {
  (m.*k.Member)(&Dest, R.LowCol, R.HighCol, R.LowRow, R.HighRow, R.LowLayer, R.HighLayer, R.LowSlot, R.HighSlot,
                Threads);
}

constexpr int32_t kCols = 21, kRows = 70, kLayers = 4, kSlots = 3;  // 70 rows: five bands of work

/// kCols × kRows × kLayers × kSlots values near 10⁶ with a spread of a few
/// units (fixed seed).
void FillIrregular(TMat4D& m) {
  m.Resize(kCols, kRows, kLayers, kSlots);
  uint64_t State = 20261211;
  for (double& x : m.Data()) {
    State = State * 6364136223846793005ull + 1442695040888963407ull;
    x = 1e6 + 4.0 * (static_cast<double>(State >> 11) / 9007199254740992.0 - 0.5);
  }
}

/// The reduction of one pixel over the ranges in long double: two-pass
/// population deviation about the mean.
double Reference(const TMat4D& m, TLayerReduction Kind, int32_t c, int32_t r, const TRanges& R) {
  std::vector<long double> Values;
  for (int32_t t = R.LowSlot; t <= R.HighSlot; ++t) {
    for (int32_t l = R.LowLayer; l <= R.HighLayer; ++l) {
      Values.push_back(m.Elem(c, r, l, t));
    }
  }
  long double Sum = 0, Max = Values[0], Min = Values[0];
  for (const long double x : Values) {
    Sum += x;
    Max = std::max(Max, x);
    Min = std::min(Min, x);
  }
  const long double Mean = Sum / static_cast<long double>(Values.size());
  long double Squares = 0;
  for (const long double x : Values) {
    Squares += (x - Mean) * (x - Mean);
  }
  switch (Kind) {
    case TLayerReduction::lrMean:
      return static_cast<double>(Mean);
    case TLayerReduction::lrMaximum:
      return static_cast<double>(Max);
    case TLayerReduction::lrMinimum:
      return static_cast<double>(Min);
    case TLayerReduction::lrStdDev:
      return static_cast<double>(std::sqrt(Squares / static_cast<long double>(Values.size())));
  }
  return 0.0;
}

TEST_F(Mat4DReduceTest, MatchAPlainComputationWithTheSameBitsForEveryThreadCount) {
  TMat4D m(nullptr);
  FillIrregular(m);
  const std::vector<std::pair<TRanges, TRanges>> Cases = {
      // as passed, as validated
      {{0, 0, 0, 0, 0, 0, 0, 0}, {1, kCols, 1, kRows, 1, kLayers, 1, kSlots}},
      {{20, 3, 2, 99, 4, 2, 3, 2}, {3, 20, 2, kRows, 2, 4, 2, 3}},
      {{17, 17, 5, 5, 1, 1, 1, 1}, {17, 17, 5, 5, 1, 1, 1, 1}},  // one value per pixel
  };
  for (const TKind& k : kKinds) {
    for (const auto& [Passed, Valid] : Cases) {
      SCOPED_TRACE(k.Name + ", columns " + std::to_string(Valid.LowCol) + ".." + std::to_string(Valid.HighCol));
      // Values near 10⁶ summed in double: the mean is good to a few 10⁻⁹;
      // the deviations from the first value are exact, so the standard
      // deviation is good to rounding; maximum and minimum are exact.
      const double Tolerance = k.Kind == TLayerReduction::lrMean     ? 1e-8
                               : k.Kind == TLayerReduction::lrStdDev ? 1e-12
                                                                     : 0.0;
      TMatrix One(nullptr);
      Reduce(m, k, One, Passed, 1);
      ASSERT_EQ(One.NrOfColumns(), Valid.HighCol - Valid.LowCol + 1);
      ASSERT_EQ(One.NrOfRows(), Valid.HighRow - Valid.LowRow + 1);
      for (int32_t c = Valid.LowCol; c <= Valid.HighCol; ++c) {
        for (int32_t r = Valid.LowRow; r <= Valid.HighRow; r += 3) {
          EXPECT_NEAR(One.Elem(c - Valid.LowCol + 1, r - Valid.LowRow + 1), Reference(m, k.Kind, c, r, Valid),
                      Tolerance)
              << "pixel (" << c << ", " << r << ")";
        }
      }
      for (int32_t Threads : {2, 7, 0, -3}) {
        SCOPED_TRACE(Threads);
        TMatrix Many(nullptr);
        Reduce(m, k, Many, Passed, Threads);
        EXPECT_TRUE(SameBits(GetRows(One), GetRows(Many)));
      }
      // The engine itself with seven workers (the members stop at the processor count).
      const int32_t Width = One.NrOfColumns(), Height = One.NrOfRows();
      std::vector<double> Pixels(static_cast<size_t>(Width * Height)), Scratch(Pixels.size());
      matrix_detail::ReduceLayers({m.Data().data(), kCols, kRows, kLayers, kSlots},
                                  {Valid.LowCol - 1, Valid.HighCol - 1, Valid.LowRow - 1, Valid.HighRow - 1,
                                   Valid.LowLayer - 1, Valid.HighLayer - 1, Valid.LowSlot - 1, Valid.HighSlot - 1},
                                  k.Kind, 7, Pixels, Scratch);
      TRows Seven(static_cast<size_t>(Height));
      for (int32_t r = 0; r < Height; ++r) {
        Seven[static_cast<size_t>(r)].assign(Pixels.begin() + r * Width, Pixels.begin() + (r + 1) * Width);
      }
      EXPECT_TRUE(SameBits(GetRows(One), Seven));
    }
  }
}

TEST_F(Mat4DReduceTest, SmallPixelsWithTwoValues) {
  const double Max = uc_MaxReal, Inf = std::numeric_limits<double>::infinity();
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  struct TPixel {
    double First, Second;
    double Mean, Maximum, Minimum, StdDev;
  };
  const std::vector<TPixel> Pixels = {
      {1, 3, 2, 3, 1, 1},
      {1e9 + 1, 1e9 + 3, 1e9 + 2, 1e9 + 3, 1e9 + 1, 1},  // Σx²/N − mean² alone would lose the 1
      {-2.5, -2.5, -2.5, -2.5, -2.5, 0},
      {NaN, 5, NaN, 5, 5, NaN},  // a comparison never picks NaN; sums carry it
      {5, NaN, NaN, 5, 5, NaN},
      {NaN, NaN, NaN, -Max, Max, NaN},
      {Inf, 1, Inf, Inf, 1, NaN},
  };
  const auto n = static_cast<int32_t>(Pixels.size());
  // The two values once as two layers of one time slot, once as one layer of two slots.
  for (const bool AsSlots : {false, true}) {
    TMat4D m(nullptr);
    m.Resize(n, 1, AsSlots ? 1 : 2, AsSlots ? 2 : 1);
    for (int32_t c = 1; c <= n; ++c) {
      const TPixel& p = Pixels[static_cast<size_t>(c - 1)];
      m.SetElem(c, 1, 1, 1, p.First);
      m.SetElem(c, 1, AsSlots ? 1 : 2, AsSlots ? 2 : 1, p.Second);
    }
    for (const TKind& k : kKinds) {
      for (const int32_t Threads : {1, 2}) {
        SCOPED_TRACE(k.Name + (AsSlots ? " over slots, " : " over layers, ") + std::to_string(Threads));
        TMatrix Dest(nullptr);
        Reduce(m, k, Dest, {0, 0, 0, 0, 0, 0, 0, 0}, Threads);
        for (int32_t c = 1; c <= n; ++c) {
          const TPixel& p = Pixels[static_cast<size_t>(c - 1)];
          const double Expected = k.Kind == TLayerReduction::lrMean      ? p.Mean
                                  : k.Kind == TLayerReduction::lrMaximum ? p.Maximum
                                  : k.Kind == TLayerReduction::lrMinimum ? p.Minimum
                                                                         : p.StdDev;
          if (std::isnan(Expected)) {
            EXPECT_TRUE(std::isnan(Dest.Elem(c, 1))) << "pixel " << c;
          } else {
            EXPECT_EQ(Dest.Elem(c, 1), Expected) << "pixel " << c;
          }
        }
      }
    }
  }
}

TEST_F(Mat4DReduceTest, EventsAndFeedbackComeOnTheCallingThreadAndAbortIsIgnored) {
  TMat4D m(nullptr);
  FillIrregular(m);
  const std::thread::id Caller = std::this_thread::get_id();
  for (const TKind& k : kKinds) {
    SCOPED_TRACE(k.Name);
    ProcStat = 0.0;
    AbortMathProc = true;  // the reductions always run to the end
    std::vector<std::thread::id> Threads;
    std::string Log;
    MathFeedBackProc = [&](double) { Threads.push_back(std::this_thread::get_id()); };
    TMatrix Dest(nullptr);
    Dest.OnChange = [&](TObject*) {
      Threads.push_back(std::this_thread::get_id());
      Log += 'C';
    };
    Dest.OnResize = [&](TObject*) {
      Threads.push_back(std::this_thread::get_id());
      Log += 'R';
    };
    Reduce(m, k, Dest, {0, 0, 0, 0, 0, 0, 0, 0}, 2);
    // Resize, clear, then one setter call per pixel.
    EXPECT_EQ(Log, "CRC" + std::string(kCols * kRows, 'C'));
    EXPECT_GT(Threads.size(), Log.size());  // at least one feedback call
    for (const std::thread::id Id : Threads) {
      EXPECT_EQ(Id, Caller);
    }
    EXPECT_NEAR(ProcStat.load(), 100.0, 1e-9);
    const TRanges All = {1, kCols, 1, kRows, 1, kLayers, 1, kSlots};
    EXPECT_NEAR(Dest.Elem(kCols, kRows), Reference(m, k.Kind, kCols, kRows, All), 1e-8);
  }
}

TEST_F(Mat4DReduceTest, NullptrDestinationDoesNothing) {
  TMat4D m(nullptr);
  FillIrregular(m);
  int Feedbacks = 0;
  MathFeedBackProc = [&Feedbacks](double) { ++Feedbacks; };
  for (const TKind& k : kKinds) {
    (m.*k.Member)(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 2);
  }
  m.MeanOfLayersToMatrix(nullptr, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(Feedbacks, 0);
  EXPECT_EQ(ProcStat.load(), 0.0);
}

}  // namespace
}  // namespace vexa
