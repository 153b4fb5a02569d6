#include "foundation/Vexa_package.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

TEST(PackageTest, UnitsInStartUpOrderInitialisedAtLoad) {
  const std::vector<std::string> Expected = {
      "Vexa_math1",  "Vexa_complex", "Vexa_openarrays", "Vexa_vector", "Vexa_matrix",
      "Vexa_datatable", "Vexa_statis", "Vexa_math2",    "Vexa_fourier", "Vexa_wavelet",
      "Vexa_membl",  "Vexa_sline",   "Vexa_kohonen"};
  std::vector<std::string> Names;
  for (const TPackageUnit& Unit : CalcoraUnits()) {
    Names.emplace_back(Unit.Name);
    EXPECT_EQ(Unit.InitCount, 1) << Unit.Name;  // by loading the library
  }
  EXPECT_EQ(Names, Expected);

  InitializeCalcora();
  EXPECT_EQ(CalcoraUnits()[0].InitCount, 2);
  FinalizeCalcora();
  EXPECT_EQ(CalcoraUnits()[0].InitCount, 1);
}

std::vector<std::string> HookLog;

TEST(PackageTest, HooksRunOnceInOrderAndFinaliseInReverse) {
  TPackageUnit Units[] = {
      {"A", [] { HookLog.push_back("init A"); }, [] { HookLog.push_back("fin A"); }, 0},
      {"B", nullptr, nullptr, 0},
      {"C", [] { HookLog.push_back("init C"); }, nullptr, 0},
      {"D", [] { HookLog.push_back("init D"); }, [] { HookLog.push_back("fin D"); }, 0},
  };
  HookLog.clear();
  InitializeUnits(Units);
  InitializeUnits(Units);
  EXPECT_EQ(HookLog, (std::vector<std::string>{"init A", "init C", "init D"}));

  HookLog.clear();
  FinalizeUnits(Units);  // undoes the second initialisation only
  EXPECT_TRUE(HookLog.empty());
  FinalizeUnits(Units);
  FinalizeUnits(Units);  // nothing left to finalise
  EXPECT_EQ(HookLog, (std::vector<std::string>{"fin D", "fin A"}));
  for (const TPackageUnit& Unit : Units) {
    EXPECT_EQ(Unit.InitCount, 0);
  }

  HookLog.clear();
  InitializeUnits(Units);  // a later load initialises again
  EXPECT_EQ(HookLog, (std::vector<std::string>{"init A", "init C", "init D"}));
}

}  // namespace
}  // namespace vexa
