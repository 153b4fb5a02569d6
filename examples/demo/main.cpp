// Vexa demo: a short tour of the library — components, number text, scalar
// math, vectors with statistics, matrices with linear algebra, and an image
// written from an integer array.
#include <cstdio>
#include <string>

#include "arrays/Vexa_openarrays.h"
#include "foundation/Vexa_math1.h"
#include "linalg/Vexa_matrix.h"
#include "linalg/Vexa_vector.h"
#include "platform/Vexa_classes.h"
#include "platform/Vexa_numtext.h"
#include "platform/Vexa_random.h"

using namespace vexa;

namespace {

void ShowVector() {
  TVector v(nullptr);
  v.Resize(1000);
  SetRandSeed(42);
  v.FillRandomGauss(10.0, 2.0);
  double mean = 0, variance = 0, q1 = 0, median = 0, q3 = 0;
  v.MeanVar(0, 0, mean, variance);
  v.Quartiles(0, 0, q1, median, q3);
  std::printf("1000 Gaussian draws (mean 10, sd 2): mean %s, variance %s, quartiles %s %s %s\n",
              FormatReal(mean, 1, 3).c_str(), FormatReal(variance, 1, 3).c_str(),
              FormatReal(q1, 1, 3).c_str(), FormatReal(median, 1, 3).c_str(),
              FormatReal(q3, 1, 3).c_str());
}

void ShowMatrix() {
  TComponent form(nullptr);  // owns the matrices below and frees them
  auto* a = new TMatrix(&form);
  a->SetName("A");
  a->Resize(3, 3);
  const double cells[3][3] = {{4, 1, 2}, {1, 5, 3}, {2, 3, 6}};  // [column][row]
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) a->SetElem(c + 1, r + 1, cells[c][r]);
  auto* inverse = new TMatrix(&form);
  inverse->Assign(*a);
  std::printf("det(A) = %s\n", FormatReal(a->Determinant(), 1, 6).c_str());
  if (inverse->Invert()) {
    auto* product = new TMatrix(&form);
    a->Multiply(inverse, product);
    std::printf("A * inverse(A) has trace %s (3 expected)\n", FormatReal(product->Trace(), 1, 12).c_str());
  }
}

void ShowImage() {
  // A 3 x 2 colour map, each cell drawn as a 10 x 10 pixel square.
  const TInt2DArray colours = {{0x0000FF, 0x00FF00}, {0xFF0000, 0xFFFFFF}, {0x000000, 0x00FFFF}};
  const std::string file = "vexa_demo.png";
  const int32_t code = SaveArrayAsImg(file, colours, 10);
  std::printf("SaveArrayAsImg(\"%s\") returned %d\n", file.c_str(), code);
}

}  // namespace

int main() {
  std::printf("Vexa demo\n");
  std::printf("FormatReal(pi, 12, 5) = \"%s\"; Round125(347) = %g; IsPrime(46337) = %s\n",
              FormatReal(3.14159265358979, 12, 5).c_str(), Round125(347.0),
              IsPrime(46337) ? "true" : "false");
  ShowVector();
  ShowMatrix();
  ShowImage();
  return 0;
}
