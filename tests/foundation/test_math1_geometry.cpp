// Polynomials, table interpolation and plane geometry. Ellipse distances
// were computed with mpmath (40 digits; dense sampling, then a root of the
// derivative of the squared distance).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "foundation/Vexa_errors.h"
#include "foundation/Vexa_math1.h"

namespace vexa {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using std::numbers::pi;

template <typename TCall>
void ExpectMath1Error(TCall&& Call, const std::string& Message) {
  try {
    Call();
    ADD_FAILURE() << "no error, expected " << Message;
  } catch (const EVexaMath1Error& e) {
    EXPECT_EQ(e.Message(), Message);
  }
}

TEST(Math1Interpolation, Polynomials) {
  const std::vector<double> c = {1, -2, 0.5};  // 1 − 2x + x²/2
  EXPECT_EQ(Polynomial(c, 2, 4), 1.0);
  EXPECT_EQ(Polynomial(c, 1, 4), -7.0);
  EXPECT_EQ(Polynomial(c, 0, 4), 1.0);
  EXPECT_EQ(CenteredPolynomial(c, 2, 1, 5), 1.0);
  for (const int32_t order : {-1, 3, INT32_MAX, INT32_MIN}) {
    ExpectMath1Error([&] { (void)Polynomial(c, order, 1); },
                     "Polynomial: invalid order of polynomial");
    ExpectMath1Error([&] { (void)CenteredPolynomial(c, order, 0, 1); },
                     "Polynomial: invalid order of polynomial");
  }
  ExpectMath1Error([] { (void)Polynomial({}, 0, 1); }, "Polynomial: invalid order of polynomial");
}

TEST(Math1Interpolation, InterpolTable) {
  const std::vector<double> t = {0, 10, 40};  // at 1, 2, 3 (or 3, 2, 1 reversed)
  const std::vector<int32_t> ti = {0, 10, 40};
  const struct {
    double x, Low, High, Expected;
  } cases[] = {
      {1, 1, 3, 0},      {1.5, 1, 3, 5},   {2.5, 1, 3, 25},   {3, 1, 3, 40},
      {0, 1, 3, -10},    {4, 1, 3, 70},     // extrapolation with the end segments
      {3, 3, 1, 0},      {2.5, 3, 1, 5},   {1, 3, 1, 40},     {0, 3, 1, 70},   {4, 3, 1, -10},
      {std::nextafter(3.0, -kInf), 1, 3, 40},  // just below High: the last segment
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(InterpolTable(c.x, c.Low, c.High, t), c.Expected, 1e-12) << c.x;
    EXPECT_NEAR(InterpolTable(c.x, c.Low, c.High, ti), c.Expected, 1e-12) << c.x;
  }
  // Many entries: the position rounds up to n − 1 just below High.
  std::vector<double> big(1001);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<double>(i);
  EXPECT_NEAR(InterpolTable(std::nextafter(0.3, -kInf), 0.1, 0.3, big), 1000, 1e-9);
  EXPECT_TRUE(std::isnan(InterpolTable(kNaN, 1, 3, t)));
  EXPECT_TRUE(std::isnan(InterpolTable(2, -kInf, kInf, t)));
  ExpectMath1Error([] { (void)InterpolTable(1, 0, 1, std::vector<double>{1}); },
                   "InterpolTable: pivot array must contain at least 2 values");
  ExpectMath1Error([] { (void)InterpolTable(1, 0, 1, std::vector<int32_t>{}); },
                   "InterpolTable: pivot array must contain at least 2 values");
  ExpectMath1Error([&] { (void)InterpolTable(1, 2, 2, t); },
                   "InterpolTable: specified range of pivot array is zero");
}

TEST(Math1Interpolation, InterpolXYTable) {
  const TDouble2DArray up = {{1, 2, 4}, {10, 20, 0}};
  const TDouble2DArray down = {{4, 2, 1}, {0, 20, 10}};
  const struct {
    double x;
    bool Extrapolate;
    double Expected;
  } cases[] = {
      {1, false, 10},  // the first pivot uses the first segment
      {1.5, false, 15}, {2, false, 20}, {3, false, 10}, {4, false, 0},
      {0, false, 0},   {5, false, 0},   {0, true, 0},   {5, true, -10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InterpolXYTable(c.x, up, c.Extrapolate), c.Expected) << c.x;
    EXPECT_EQ(InterpolXYTable(c.x, down, c.Extrapolate), c.Expected) << c.x;
  }
  EXPECT_TRUE(std::isnan(InterpolXYTable(kNaN, up, true)));
  // A zero-length segment gives its pivot's y; the shorter column counts.
  EXPECT_EQ(InterpolXYTable(2, TDouble2DArray{{1, 2, 2, 3}, {0, 5, 7, 9}}, false), 5);
  EXPECT_EQ(InterpolXYTable(3, TDouble2DArray{{1, 2, 3, 4}, {0, 5}}, true), 10);
  ExpectMath1Error([] { (void)InterpolXYTable(1, TDouble2DArray{{1, 2}}, false); },
                   "InterpolXYTable: pivot array must contain 2 columns");
  ExpectMath1Error([] { (void)InterpolXYTable(1, TDouble2DArray{{1, 2}, {1, 2}, {3, 4}}, false); },
                   "InterpolXYTable: pivot array must contain 2 columns");
  ExpectMath1Error([] { (void)InterpolXYTable(1, TDouble2DArray{{1, 2}, {1}}, false); },
                   "InterpolXYTable: pivot array must contain at least 2 rows");
  EXPECT_EQ(InterpolZofXYRect(0, 10, 20, 30, 0.5, 0.5), 15);
  EXPECT_EQ(InterpolZofXYRect(1, 2, 3, 4, 1, 0), 3);
}

TEST(Math1Geometry, AnglesAndDistances) {
  const struct {
    double dx, dy, Angle;
  } angles[] = {{1, 0, 0},        {0, 1, pi / 2}, {-1, 0, pi},    {0, -1, 3 * pi / 2},
                {0, 0, 3 * pi / 2}, {1, -1, 7 * pi / 4}, {-1, -1, 5 * pi / 4}};
  for (const auto& a : angles) EXPECT_DOUBLE_EQ(AngleToXAxis(a.dx, a.dy), a.Angle);

  EXPECT_EQ(EuclideanDistance(TPointDouble{0, 0}, TPointDouble{3, 4}), 5);
  EXPECT_DOUBLE_EQ(EuclideanDistance(0, 0, 3e200, 4e200), 5e200);  // no overflow

  const TRect r{10, 10, 20, 30};
  const struct {
    TPoint P;
    TRect R;
    int32_t Expected;
  } rects[] = {
      {{10, 15}, r, 0},          {{15, 15}, r, 0},   {{5, 15}, r, 5},    {{15, 40}, r, 10},
      {{7, 6}, r, 5},            {{23, 34}, r, 5},   {{7, 6}, TRect{20, 30, 10, 10}, 5},
      {{INT32_MIN, 0}, TRect{INT32_MAX, 0, INT32_MAX, 0}, INT32_MAX},
      {{INT32_MIN, INT32_MIN}, TRect{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, INT32_MAX},
  };
  for (const auto& c : rects) EXPECT_EQ(DistFromRect(c.P, c.R), c.Expected) << c.P.X << "," << c.P.Y;
}

TEST(Math1Geometry, DistFromEllipse) {
  const struct {
    TPointDouble P;
    double cx, cy, ax, ay, Dist, Nx, Ny;
  } cases[] = {
      {{5, 4}, 0, 0, 3, 2, 3.8206540587980444776, 2.4232422448859748677, 1.1790574432523974567},
      {{1, 0.5}, 0, 0, 3, 2, 1.3292977905861233637, 1.4644187608201437623, 1.745531143992566404},
      {{-7, -1}, 1, 2, 4, 1, 4.9475279049325391129, -2.9406622609657213642, 1.8283934469126162471},
      {{0.2, 0.1}, 0, 0, 1, 3, 0.79939006741303166231, 0.99933055329214022345,
       0.10975430429565848774},
      {{10, -20}, 5, 5, -2, 6, 19.625352632512809213, 5.1687242042712231216,
       -0.97861098299909317322},
      {{0, 0.5}, 0, 0, 3, 2, 1.5, 0, 2},
      {{3, 0}, 0, 0, 3, 2, 0, 3, 0},
      // Degenerate: a segment, then the centre.
      {{5, 1}, 0, 0, 3, 0, std::hypot(2.0, 1.0), 3, 0},
      {{1, 1}, 0, 0, 3, 0, 1, 1, 0},
      {{1, -5}, 0, 0, 0, 3, std::hypot(1.0, 2.0), 0, -3},
      {{3, 4}, 1, 1, 0, 0, std::hypot(2.0, 3.0), 1, 1},
  };
  for (const auto& c : cases) {
    TPointDouble n;
    const double d = DistFromEllipse(c.P, c.cx, c.cy, c.ax, c.ay, n);
    EXPECT_NEAR(d, c.Dist, 1e-12) << c.P.X << "," << c.P.Y;
    EXPECT_NEAR(n.X, c.Nx, 1e-12) << c.P.X << "," << c.P.Y;
    EXPECT_NEAR(n.Y, c.Ny, 1e-12) << c.P.X << "," << c.P.Y;
  }
  TPointDouble n;
  EXPECT_TRUE(std::isnan(DistFromEllipse({kNaN, 1}, 0, 0, 3, 2, n)));
  (void)DistFromEllipse({kInf, 1}, 0, 0, 3, 2, n);  // returns, whatever the value
}

TEST(Math1Geometry, SegmentsAndContainment) {
  const TPointDouble a{0, 0}, b{4, 0}, c{2, 2}, d{2, -2}, e{5, 0}, f{6, 0};
  EXPECT_EQ(CcwTriangle(a, b, c), 1);
  EXPECT_EQ(CcwTriangle(a, c, b), -1);
  EXPECT_EQ(CcwTriangle(a, b, e), 0);
  EXPECT_TRUE(SegmentsIntersect(a, b, c, d));
  EXPECT_TRUE(SegmentsIntersect(a, b, TPointDouble{2, 0}, c));  // touching
  EXPECT_TRUE(SegmentsIntersect(a, b, e, f));                   // collinear counts
  EXPECT_FALSE(SegmentsIntersect(a, b, c, TPointDouble{3, 1}));

  EXPECT_EQ(DistanceToSegment({2, 3}, a, b), 3);
  EXPECT_EQ(DistanceToSegment({-3, 4}, a, b), 5);
  EXPECT_EQ(DistanceToSegment({7, 4}, a, b), 5);
  EXPECT_EQ(DistanceToSegment({3, 4}, a, a), 5);  // A = B

  const TRectDouble r{4, 3, 1, 1};  // corners in either order
  EXPECT_TRUE(WithinRect({1, 3}, r));
  EXPECT_FALSE(WithinRect({0.5, 2}, r));
  TPointDouble p{0, 5};
  EXPECT_TRUE(ConfinePointToRect(p, r));
  EXPECT_EQ(p, (TPointDouble{1, 3}));
  EXPECT_FALSE(ConfinePointToRect(p, r));
  EXPECT_TRUE(WithinBounds(2, 3, 1));
  EXPECT_FALSE(WithinBounds(3.5, 3, 1));
  EXPECT_TRUE(WithinBounds(3.5, 3, 1, 0.5));
  EXPECT_FALSE(WithinBounds(kNaN, 3, 1));
  EXPECT_EQ(ConfineValue(5.0, 3.0, 1.0), 3.0);
  EXPECT_EQ(ConfineValue(-5.0f, 3.0f, 1.0f), 1.0f);
  EXPECT_EQ(ConfineValue(INT32_MIN, INT32_MAX, 0), 0);
}

TEST(Math1Geometry, CanonicalAngles) {
  const struct {
    double x, Degrees;
  } cases[] = {{0, 0}, {180, 180}, {-180, -180}, {190, -170}, {-190, 170}, {725, 5},
               {-725, -5}, {360, 0}, {540, 180}};
  for (const auto& c : cases) {
    EXPECT_NEAR(CanonicalAngleDegrees(c.x), c.Degrees, 1e-12) << c.x;
    EXPECT_NEAR(CanonicalAngleRadians(c.x * pi / 180), c.Degrees * pi / 180, 1e-12) << c.x;
  }
  EXPECT_TRUE(std::isnan(CanonicalAngleDegrees(kInf)));
  EXPECT_TRUE(std::isnan(CanonicalAngleRadians(kNaN)));
  EXPECT_LE(std::fabs(CanonicalAngleDegrees(1e300)), 180);
}

}  // namespace
}  // namespace vexa
