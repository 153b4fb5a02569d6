// Elementary functions, exchange of variables and compensated summation.

#include <cmath>
#include <utility>

#include "foundation/Vexa_math1.h"

namespace vexa {

// ---------------------------------------------------------------- elementary

namespace {
[[noreturn]] void RaiseInvalidLogarithm() { throw EMathError("logarithm: invalid argument"); }
}  // namespace

// std::log10 and std::log2 are exact at powers of the base; ln x / ln 10 is
// not (it puts lg 1000 just below 3).
double lg(double x) {
  if (x <= 0) RaiseInvalidLogarithm();
  return std::log10(x);
}

double ld(double x) {
  if (x <= 0) RaiseInvalidLogarithm();
  return std::log2(x);
}

// The library functions agree with the exponential formulas but keep their
// precision near 0, where (e^x − e^−x)/2 cancels.
double sinh(double x) { return std::sinh(x); }
double cosh(double x) { return std::cosh(x); }
double tgh(double x) { return std::tanh(x); }

double tg(double x) {
  const double c = std::cos(x);
  if (c == 0) throw EMathError("tangens overflow");
  return std::sin(x) / c;
}

double cot(double x) {
  const double s = std::sin(x);
  if (s == 0) throw EMathError("cotangens overflow");
  return std::cos(x) / s;
}

double Signum(double x) { return x < 0 ? -1 : 1; }

// ---------------------------------------------------------------- exchange

void ExChange(int32_t& a, int32_t& b) { std::swap(a, b); }
void ExChange(uint8_t& a, uint8_t& b) { std::swap(a, b); }
void ExChange(float& a, float& b) { std::swap(a, b); }
void ExChange(double& a, double& b) { std::swap(a, b); }
void ExChange(long double& a, long double& b) { std::swap(a, b); }
void ExChange(std::string& a, std::string& b) { std::swap(a, b); }
void ExChange(bool& a, bool& b) { std::swap(a, b); }
void ExChange(char& a, char& b) { std::swap(a, b); }
void ExChange(uint16_t& a, uint16_t& b) { std::swap(a, b); }
void ExChange(int8_t& a, int8_t& b) { std::swap(a, b); }
void ExChange(uint32_t& a, uint32_t& b) { std::swap(a, b); }
void ExChange(int64_t& a, int64_t& b) { std::swap(a, b); }

void ExChange(void* p1, void* p2, uint16_t NumBytes) {
  auto* a = static_cast<unsigned char*>(p1);
  auto* b = static_cast<unsigned char*>(p2);
  if (a == nullptr || b == nullptr) return;
  for (uint16_t i = 0; i < NumBytes; ++i) std::swap(a[i], b[i]);
}

// ---------------------------------------------------------------- TKahanSum

TKahanSum::TKahanSum(TComponent* AOwner) : TComponent(AOwner) { Reset(); }

void TKahanSum::Reset() {
  Sum = 0;
  cps = 0;
}

void TKahanSum::Add(double ANumber) {
  const double y = ANumber - cps;
  const double t = Sum + y;
  cps = (t - Sum) - y;
  Sum = t;
}

}  // namespace vexa
