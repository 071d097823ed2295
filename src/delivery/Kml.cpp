#include "delivery/Kml.h"

#include "jobdata/CVelmiraDoc.h"
#include "jobdata/JobIndex.h"
#include "text/Cp1254.h"
#include "text/Numbers.h"
#include "text/Xml.h"

namespace {

struct KmlStyle {
  const char* id;
  const char* colour;  // KML's aabbggrr
};
constexpr KmlStyle kError{"hata", "ff2827d6"};
constexpr KmlStyle kWarning{"uyari", "ff00c8ff"};
constexpr KmlStyle kClean{"temiz", "ff2ca02c"};

// The coordinates to 1e-10 degrees: well below a millimetre.
constexpr int kDegreeDecimals = 10;

void WriteStyle(XmlWriter& xml, const KmlStyle& style) {
  xml.Newline();
  xml.Start("Style");
  xml.Attribute("id", style.id);
  xml.Start("IconStyle");
  xml.Element("color", style.colour);
  xml.Element("scale", "0.8");
  xml.Start("Icon");
  xml.Element("href", "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png");
  xml.End();
  xml.End();
  xml.Start("LabelStyle");
  xml.Element("scale", "0.7");
  xml.End();
  xml.End();
}

// Readers show a description as HTML, so the texts from the field inside it are escaped
// for HTML here and the whole once more for XML by the writer.
std::string Description(const CTarvekNokta& p) {
  const auto row = [](const char* label, const std::string& utf8) {
    return std::string("<tr><td>") + label + "</td><td>" + XmlEscaped(utf8) + "</td></tr>";
  };
  return "<table>" + row("Dosya", text::Cp1254ToUtf8(p.strFileName)) +
         row("Oturum zamanı (UTC)", text::Cp1254ToUtf8(p.strTime)) + row("Epok", text::FormatInt(p.nEpochs)) +
         row("Uydu", text::FormatInt(p.nGpsSats) + " GPS + " + text::FormatInt(p.nGlonassSats) + " GLONASS") +
         row("Yöntem", text::Cp1254ToUtf8(p.strMethod)) + row("HDop", text::FormatFixed(p.dHdop, 2)) + "</table>";
}

const KmlStyle& StyleOf(const std::unordered_map<int, Finding::Level>& worst, int nIndex) {
  auto found = worst.find(nIndex);
  if (found == worst.end()) return kClean;
  return found->second == Finding::Level::Error ? kError : kWarning;
}

void WritePlacemark(XmlWriter& xml, const CTarvekNokta& p, const KmlStyle& style) {
  xml.Newline();
  xml.Start("Placemark");
  xml.Element("name", text::Cp1254ToUtf8(p.strName));
  xml.Element("description", Description(p));
  xml.Element("styleUrl", std::string("#") + style.id);
  xml.Start("Point");
  xml.Element("coordinates",
              text::FormatFixed(p.dLon, kDegreeDecimals) + "," + text::FormatFixed(p.dLat, kDegreeDecimals));
  xml.End();
  xml.End();
}

}  // namespace

std::string KmlText(const CVelmiraDoc& doc, const std::vector<Finding>& findings) {
  const std::unordered_map<int, Finding::Level> worst = WorstLevelByPoint(doc.EslesenList(), findings);
  const JobIndex index(doc);
  XmlWriter xml;
  xml.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  xml.Start("kml");
  xml.Attribute("xmlns", "http://www.opengis.net/kml/2.2");
  xml.Start("Document");
  xml.Element("name", "Velmira noktaları");
  for (const KmlStyle* style : {&kError, &kWarning, &kClean}) WriteStyle(xml, *style);
  // One folder per job file, so a reader can show or hide each.
  for (const tsjdosya& file : doc.TsjList()) {
    xml.Newline();
    xml.Start("Folder");
    xml.Element("name", text::Cp1254ToUtf8(file.strFileName));
    for (const CTarvekNokta* p : index.PointsOfFile(file.nFileNumber)) WritePlacemark(xml, *p, StyleOf(worst, p->nIndex));
    xml.Newline();
    xml.End();
  }
  xml.Newline();
  return xml.Take() + "\n";
}
