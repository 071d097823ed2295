// noktalar.kml read back by independent readers: an XML parser for the coordinates and
// styles, xmllint for well-formedness, GDAL for a reader's view of it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "DeliveryFixture.h"
#include "delivery/Kml.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "support/Portable.h"

namespace {

struct Placemark {
  std::string style;
  double lon = 0;
  double lat = 0;
};

// Every placemark by name, as Python's XML parser reads the file.
std::map<std::string, Placemark> ReadPlacemarks(const fs::path& kml) {
  const std::string script =
      "import sys, xml.etree.ElementTree as ET\n"
      "ns = {'k': 'http://www.opengis.net/kml/2.2'}\n"
      "for p in ET.parse(sys.argv[1]).getroot().iter('{http://www.opengis.net/kml/2.2}Placemark'):\n"
      "    lon, lat = p.find('k:Point/k:coordinates', ns).text.split(',')\n"
      "    sys.stdout.buffer.write(('%s\\t%s\\t%s\\t%s\\n' % (p.find('k:name', ns).text or '', "
      "p.find('k:styleUrl', ns).text, lon, lat)).encode('utf-8'))\n";
  const fs::path scriptPath = kml.parent_path() / "read_kml.py";
  std::ofstream(scriptPath) << script;
  const Ran ran = RunCommand(std::string(VELMIRA_PYTHON) + " " + scriptPath.string() + " " + kml.string());
  std::map<std::string, Placemark> placemarks;
  std::istringstream lines(ran.out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string name, style, lon, lat;
    std::getline(fields, name, '\t');
    std::getline(fields, style, '\t');
    std::getline(fields, lon, '\t');
    std::getline(fields, lat, '\t');
    placemarks[name] = {style, text::AtoF(lon), text::AtoF(lat)};
  }
  return placemarks;
}

class KmlTest : public DeliveryFixture {
 protected:
  fs::path WriteKml() {
    const fs::path path = dir / "noktalar.kml";
    std::ofstream(path, std::ios::binary) << KmlText(*doc, Findings());
    return path;
  }
};

TEST_F(KmlTest, EveryPointSitsAtItsOwnLongitudeAndLatitude) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  std::vector<JobRow> rows = {Row("S1", 39.123456789, 33.987654321, 900), Row("S2", 36.0000000004, 32.5, 10)};
  for (const JobRow& r : ControlPoint("KN1", 39.5, 33.2)) rows.push_back(r);
  Add(WriteJob("a.tsj", rows));
  Add(WriteJob("b.tsj", {Row("T1", 40.25, 33.75, 1200)}));
  const fs::path kml = WriteKml();
  const std::map<std::string, Placemark> read = ReadPlacemarks(kml);
  std::map<std::string, int> seen;
  for (const CTarvekNokta& p : doc->NoktaList()) ++seen[p.strName];
  ASSERT_EQ(seen.size(), read.size());
  for (const CTarvekNokta& p : doc->NoktaList()) {
    const Placemark& placemark = read.at(p.strName);
    EXPECT_NEAR(p.dLon, placemark.lon, 1e-9) << p.strName;
    EXPECT_NEAR(p.dLat, placemark.lat, 1e-9) << p.strName;
  }
  EXPECT_EQ(0, RunCommand("xmllint --noout " + kml.string() + " 2>&1").status);
}

TEST_F(KmlTest, StylesFollowTheWorstFindingOfThePointAndItsPairs) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  std::vector<JobRow> rows = {Row("OK", 39.1, 33.1, 900), Row("EDGE", 39.2, 34.7, 900)};  // 1.7 degrees out: a warning
  JobRow noEpochs = Row("BAD", 39.3, 33.3, 900);
  noEpochs.epochs = "0";
  rows.push_back(noEpochs);
  // Two sessions 10 cm apart in height: the pair breaks its limit, both points are red.
  rows.push_back(Row("KN", 39.4, 33.4, 850.0));
  rows.push_back(Row("KN", 39.4, 33.4, 850.10, 7200));
  Add(WriteJob("a.tsj", rows));
  Match();
  const std::string kml = KmlText(*doc, Findings());
  const auto read = ReadPlacemarks(WriteKml());
  EXPECT_EQ("#temiz", read.at("OK").style);
  EXPECT_EQ("#uyari", read.at("EDGE").style);
  EXPECT_EQ("#hata", read.at("BAD").style);
  EXPECT_EQ("#hata", read.at("KN").style);
  EXPECT_NE(std::string::npos, kml.find("<Style id=\"hata\"><IconStyle><color>ff2827d6</color>"));
}

TEST_F(KmlTest, HostileNamesAreEscapedAndControlCharactersLeftOut) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  const std::string hostile = "<a&b>\"'\x01\x1f]]>";
  Add(WriteJob("<&>.tsj", {Row(hostile, 39.1, 33.1, 900), Row("\xDE" "ehir 1", 39.2, 33.2, 900)}));
  const fs::path kml = WriteKml();
  ASSERT_EQ(0, RunCommand("xmllint --noout " + kml.string() + " 2>&1").status);
  const auto read = ReadPlacemarks(kml);
  EXPECT_EQ(1u, read.count("<a&b>\"']]>"));
  EXPECT_EQ(1u, read.count("Şehir 1"));
  // The description is HTML to a reader: a name inside it must stay text there too.
  const std::string text = KmlText(*doc, Findings());
  EXPECT_NE(std::string::npos, text.find("&amp;lt;&amp;amp;&amp;gt;.tsj"));
  EXPECT_EQ(std::string::npos, text.find("<a&b>"));
}

TEST_F(KmlTest, GdalReadsEveryPlacemark) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (xmllint, GDAL, Python, Chromium) are Linux programs here");
  if (!HaveProgram("ogrinfo")) VELMIRA_ORACLE_MISSING("GDAL's ogrinfo is not installed");
  Add(WriteJob("a.tsj", {Row("P1", 39.1, 33.1, 900), Row("P2", 39.2, 33.2, 900), Row("P3", 39.3, 33.3, 900)}));
  const Ran ran = RunCommand("ogrinfo -ro -al -so " + WriteKml().string() + " 2>&1");
  EXPECT_EQ(0, ran.status) << ran.out;
  EXPECT_NE(std::string::npos, ran.out.find("Feature Count: 3")) << ran.out;
  EXPECT_NE(std::string::npos, ran.out.find("Layer name: a.tsj")) << ran.out;
}

}  // namespace
