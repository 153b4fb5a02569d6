// XML files of TMat3D and TMat4D: exact writer text, round trips of every
// bit, missing axes, lookalike attributes, and damaged files that leave the
// matrix unchanged without events.

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>
#include <vector>

#include "linalg/Vexa_mat3d.h"
#include "linalg/Vexa_mat4d.h"
#include "support/TempDir.h"

namespace vexa {
namespace {

using testing::TempDir;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

/// All cells of a 4-D matrix as bit patterns, column fastest.
std::vector<uint64_t> BitsOf(const TMat4D& m) {
  std::vector<uint64_t> Bits;
  for (int32_t t = 1; t <= m.NrOfTimeSlots(); ++t)
    for (int32_t l = 1; l <= m.NrOfLayers(); ++l)
      for (int32_t r = 1; r <= m.NrOfRows(); ++r)
        for (int32_t c = 1; c <= m.NrOfColumns(); ++c) Bits.push_back(std::bit_cast<uint64_t>(m.Elem(c, r, l, t)));
  return Bits;
}
std::vector<uint64_t> BitsOf(const TMat3D& m) {
  std::vector<uint64_t> Bits;
  for (int32_t c = 1; c <= m.NrOfColumns(); ++c)
    for (int32_t r = 1; r <= m.NrOfRows(); ++r)
      for (int32_t l = 1; l <= m.NrOfLayers(); ++l) Bits.push_back(std::bit_cast<uint64_t>(m.Elem(c, r, l)));
  return Bits;
}

void Fill(TMemoryStream& s, const std::string& Text) {
  s.Write(Text.data(), static_cast<int64_t>(Text.size()));
  s.SetPosition(0);
}

std::string TextOf(TMemoryStream& s) {
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

template <class M>
struct EventLog {
  explicit EventLog(M& m) {
    m.OnChange = [this](TObject*) { Events += 'C'; };
    m.OnResize = [this](TObject*) { Events += 'R'; };
  }
  std::string Events;
};

const std::vector<double> kSpecial{1.5, -0.0, kInf, -kInf, kNaN, 0.1, 4.9e-324, 1e300, -7, 0.0, 2.5, 3};

TEST(Mat34Xml, WriterTextOfBothClasses) {
  TMat3D m3(nullptr);
  m3.Resize(1, 1, 2);
  m3.SetElem(1, 1, 2, -0.5);
  TMemoryStream s;
  ASSERT_TRUE(m3.WriteToXMLStream(&s, false, "v"));
  EXPECT_EQ(TextOf(s), "<matrix id=\"v\">\n  <numcols>1</numcols>\n  <numrows>1</numrows>\n"
                       "  <numplanes>2</numplanes>\n  <cell ix=\"1\" iy=\"1\" iz=\"1\">0</cell>\n"
                       "  <cell ix=\"1\" iy=\"1\" iz=\"2\">-0.5</cell>\n</matrix>\n");
  TMat4D m4(nullptr);
  m4.Resize(2, 1, 1, 1);
  m4.SetElem(2, 1, 1, 1, kInf);
  TMemoryStream t;
  ASSERT_TRUE(m4.WriteToXMLStream(&t, true, ""));
  EXPECT_EQ(TextOf(t), "<?xml version=\"1.0\"?>\n<matrix id=\"\">\n  <numcols>2</numcols>\n  <numrows>1</numrows>\n"
                       "  <numplanes>1</numplanes>\n  <numtimeslots>1</numtimeslots>\n"
                       "  <cell ix=\"1\" iy=\"1\" il=\"1\" it=\"1\">0</cell>\n"
                       "  <cell ix=\"2\" iy=\"1\" il=\"1\" it=\"1\">INF</cell>\n</matrix>\n");
}

TEST(Mat34Xml, RoundTripsEveryBit) {
  TempDir Dir;
  TMat4D m4(nullptr);
  m4.Resize(3, 2, 1, 2);
  TMat3D m3(nullptr);
  m3.Resize(2, 3, 2);
  size_t k = 0;
  for (int32_t t = 1; t <= 2; ++t)
    for (int32_t r = 1; r <= 2; ++r)
      for (int32_t c = 1; c <= 3; ++c) m4.SetElem(c, r, 1, t, kSpecial[k++]);
  k = 0;
  for (int32_t c = 1; c <= 2; ++c)
    for (int32_t r = 1; r <= 3; ++r)
      for (int32_t l = 1; l <= 2; ++l) m3.SetElem(c, r, l, kSpecial[k++]);

  ASSERT_TRUE(m4.SaveAsXMLFile(Dir.File("m4.xml"), "four"));
  TMat4D L4(nullptr);
  EventLog<TMat4D> Log4(L4);
  EXPECT_TRUE(L4.LoadFromXMLFile(Dir.File("m4.xml"), "four"));
  EXPECT_EQ(BitsOf(L4), BitsOf(m4));
  EXPECT_EQ(L4.DataID(), "four");
  EXPECT_EQ(Log4.Events, "CR");

  TMemoryStream s;
  ASSERT_TRUE(m3.WriteToXMLStream(&s, false, "three"));
  s.SetPosition(0);
  TMat3D L3(nullptr);
  EXPECT_TRUE(L3.ReadFromXMLStream(&s, ""));
  EXPECT_EQ(BitsOf(L3), BitsOf(m3));
  EXPECT_EQ(L3.DataID(), "three");
}

TEST(Mat34Xml, MissingAxesCountOneAndOmittedCellsAreZero) {
  // A 2-D file: one layer, one time slot.
  const std::string Flat = "<matrix><numcols>2</numcols><numrows>1</numrows>"
                           "<cell ix=\"2\" iy=\"1\" iz=\"1\" il=\"1\" it=\"1\">5</cell></matrix>";
  TMat4D m4(nullptr);
  m4.Resize(2, 1, 1, 3);
  m4.Fill(9.0);
  TMemoryStream s;
  Fill(s, Flat);
  EXPECT_TRUE(m4.ReadFromXMLStream(&s, ""));
  EXPECT_EQ(m4.NrOfTimeSlots(), 1);
  EXPECT_EQ(m4.Elem(1, 1, 1, 1), 0.0);
  EXPECT_EQ(m4.Elem(2, 1, 1, 1), 5.0);

  // "unit" and "split" are not "it"; "tilt" is not "il".
  TMemoryStream t;
  Fill(t, "<matrix><numcols>1</numcols><numrows>1</numrows><numplanes>2</numplanes><numtimeslots>2</numtimeslots>"
          "<cell unit=\"2\" tilt=\"1\" ix=\"1\" iy=\"1\" il=\"2\" split=\"1\" it=\"2\">7</cell></matrix>");
  EXPECT_TRUE(m4.ReadFromXMLStream(&t, ""));
  EXPECT_EQ(m4.Elem(1, 1, 2, 2), 7.0);
  EXPECT_EQ(m4.Elem(1, 1, 1, 2), 0.0);
  EXPECT_EQ(m4.Elem(1, 1, 2, 1), 0.0);

  TMat3D m3(nullptr);
  m3.Fill(4.0);
  TMemoryStream u;
  Fill(u, Flat);
  EXPECT_TRUE(m3.ReadFromXMLStream(&u, ""));
  EXPECT_EQ(BitsOf(m3), (std::vector<uint64_t>{0, std::bit_cast<uint64_t>(5.0)}));
}

TEST(Mat34Xml, DamagedFilesChangeNothing) {
  const std::string Cell4 = "<cell ix=\"1\" iy=\"1\" il=\"1\" it=\"1\">1</cell>";
  struct Case {
    const char* Name;
    std::string Text;
    bool For3D;  // the case applies to TMat3D (else to TMat4D)
  };
  const std::vector<Case> Cases{
      {"time slots on a 3-D matrix", "<matrix><numcols>1</numcols><numrows>1</numrows><numtimeslots>2</numtimeslots></matrix>", true},
      {"layers zero", "<matrix><numcols>1</numcols><numrows>1</numrows><numplanes>0</numplanes></matrix>", true},
      {"layers after the first cell",
       "<matrix><numcols>1</numcols><numrows>1</numrows><cell ix=\"1\" iy=\"1\" iz=\"1\">1</cell><numplanes>2</numplanes></matrix>",
       true},
      {"time slots overflowing",
       "<matrix><numcols>1</numcols><numrows>1</numrows><numtimeslots>99999999999</numtimeslots>" + Cell4 + "</matrix>",
       false},
      {"unterminated", "<matrix><numcols>1</numcols><numrows>1</numrows>" + Cell4, false},
      {"rows missing", "<matrix><numcols>1</numcols>" + Cell4 + "</matrix>", false},
  };
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    TMemoryStream s;
    Fill(s, c.Text);
    if (c.For3D) {
      TMat3D m(nullptr);
      m.Resize(1, 2, 1);
      m.Fill(3.0);
      EventLog<TMat3D> Log(m);
      EXPECT_FALSE(m.ReadFromXMLStream(&s, ""));
      EXPECT_EQ(BitsOf(m), (std::vector<uint64_t>(2, std::bit_cast<uint64_t>(3.0))));
      EXPECT_EQ(Log.Events, "");
    } else {
      TMat4D m(nullptr);
      m.Resize(1, 2, 1, 1);
      m.Fill(3.0);
      EventLog<TMat4D> Log(m);
      EXPECT_FALSE(m.ReadFromXMLStream(&s, ""));
      EXPECT_EQ(BitsOf(m), (std::vector<uint64_t>(2, std::bit_cast<uint64_t>(3.0))));
      EXPECT_EQ(Log.Events, "");
    }
  }
}

}  // namespace
}  // namespace vexa
