// The plain-text point lists: the kesinpol means to the millimetre, the NCN lines read
// back, and names that would break a blank-separated line.
#include <gtest/gtest.h>

#include <sstream>

#include "DeliveryFixture.h"
#include "delivery/PointLists.h"
#include "text/Numbers.h"

namespace {

class PointListsTest : public DeliveryFixture {
 protected:
  std::string Kesinpol(const std::vector<int>& pairNos) { return KesinpolText(FinalCoordinates(*doc, pairNos, {})); }

  // Two sessions of one control point with grid coordinates set by hand, matched.
  void MakePair(const std::string& name1, const std::string& name2) {
    Add(WriteJob("job.tsj", {Row("A", 39.5, 33.2, 850), Row("B", 39.5, 33.2, 851, 7200), Row("C", 39.6, 33.3, 900)}));
    auto& points = CVelmiraDocAccess::NoktaList(*doc);
    points[0].strName = name1;
    points[1].strName = name2;
    points[0].dY = 500000.1234, points[0].dX = 4400000.5678, points[0].dHeight = 850.2500;
    points[1].dY = 500000.1460, points[1].dX = 4400000.5430, points[1].dHeight = 850.2880;
    points[2].dY = 510000, points[2].dX = 4410000, points[2].dHeight = -0.0001;
    Match();
    ASSERT_EQ(1u, doc->EslesenList().size());
  }
};

TEST_F(PointListsTest, KesinpolHoldsTheMeansOfThePairToTheMillimetre) {
  MakePair("KN1", "KN1");
  // (0.1234 + 0.1460) / 2 = 0.1347; (0.5678 + 0.5430) / 2 = 0.5554; (0.25 + 0.288) / 2 = 0.269
  EXPECT_EQ("KN1 500000.135 4400000.555 850.269\r\n", Kesinpol({100}));
  EXPECT_EQ("", Kesinpol({}));
  EXPECT_EQ("", Kesinpol({999})) << "an unknown pair is no line";
}

TEST_F(PointListsTest, KesinpolNamesThePairBySessionOne) {
  MakePair("KN 1", "KN1-tekrar");
  EXPECT_EQ("KN_1 500000.135 4400000.555 850.269\r\n", Kesinpol({100}));
}

// A point measured three times was listed once per pair, with a different "final"
// coordinate on each line. One line now: the mean of the sessions of its passing pairs.
TEST_F(PointListsTest, KesinpolHoldsOneLinePerPointFromItsPassingPairs) {
  Add(WriteJob("job.tsj", {Row("KN1", 39.5, 33.2, 850), Row("KN1", 39.5, 33.2, 851, 7200),
                           Row("KN1", 39.5, 33.2, 852, 14400)}));
  auto& points = CVelmiraDocAccess::NoktaList(*doc);
  const double ys[] = {500000.100, 500000.120, 500000.300}, hs[] = {850.000, 850.030, 850.060};
  for (size_t i = 0; i < 3; ++i) points[i].dY = ys[i], points[i].dX = 4400000.0, points[i].dHeight = hs[i];
  Match();
  std::vector<int> pairNos;
  for (const CEslesenNokta& pair : doc->EslesenList()) pairNos.push_back(pair.nPairNo);
  ASSERT_GE(pairNos.size(), 2u);
  // All three sessions pass: (0.100 + 0.120 + 0.300) / 3 = 0.17333; (0 + 0.03 + 0.06) / 3 = 0.03.
  const std::vector<Finding> none;
  EXPECT_EQ("KN1 500000.173 4400000.000 850.030\r\n", KesinpolText(FinalCoordinates(*doc, pairNos, none)));
  // The pairs with the third session fail: only the first two sessions make the value.
  std::vector<Finding> failing;
  for (const CEslesenNokta& pair : doc->EslesenList()) {
    if (points[2].nIndex == pair.nIndex1 || points[2].nIndex == pair.nIndex2) {
      Finding f;
      f.target = Finding::Target::Pair, f.nIndex = pair.nPairNo, f.level = Finding::Level::Error;
      failing.push_back(f);
    }
  }
  const std::vector<FinalCoordinate> finals = FinalCoordinates(*doc, pairNos, failing);
  ASSERT_EQ(1u, finals.size());
  EXPECT_EQ(2u, finals[0].sessions.size());
  EXPECT_FALSE(finals[0].fromFailedPairs);
  EXPECT_EQ("KN1 500000.110 4400000.000 850.015\r\n", KesinpolText(finals));
}

TEST_F(PointListsTest, NcnHoldsEveryPointInOrderAndReadsBack) {
  MakePair("KN1", "KN1");
  const std::string ncn = NcnText(doc->NoktaList());
  std::istringstream lines(ncn);
  std::string line;
  size_t i = 0;
  while (std::getline(lines, line)) {
    ASSERT_LT(i, doc->NoktaList().size());
    ASSERT_FALSE(line.empty());
    EXPECT_EQ('\r', line.back()) << "every line ends in CRLF";
    line.pop_back();
    const CTarvekNokta& p = doc->NoktaList()[i++];
    std::istringstream fields(line);
    std::string name, y, x, h, extra;
    fields >> name >> y >> x >> h;
    EXPECT_FALSE(fields >> extra) << line;
    EXPECT_EQ(p.strName, name);
    EXPECT_NEAR(p.dY, text::AtoF(y), 0.0005);
    EXPECT_NEAR(p.dX, text::AtoF(x), 0.0005);
    EXPECT_NEAR(p.dHeight, text::AtoF(h), 0.0005);
    EXPECT_EQ(3u, y.size() - y.find('.') - 1);
  }
  EXPECT_EQ(doc->NoktaList().size(), i);
  EXPECT_NE(std::string::npos, ncn.find("C 510000.000 4410000.000 0.000\r\n")) << "never -0.000";
}

TEST(PointListNames, BlanksAndControlsBecomeUnderscoresAndTurkishBytesStay) {
  EXPECT_EQ("KN_1", ListFieldName("KN 1"));
  EXPECT_EQ("_a_b__c_", ListFieldName(" a\tb\r\nc\x7f"));
  EXPECT_EQ("_", ListFieldName(""));
  EXPECT_EQ("\xDE\xFE\xDD\xFD", ListFieldName("\xDE\xFE\xDD\xFD"));  // Şşİı in Windows-1254
}

}  // namespace
