#pragma once
// noktalar.kml: every point of the loaded job files as a placemark, for Google Earth and
// any other KML reader. Points with a "Hata" (on their own row or in one of their pairs)
// have a red style, points with only warnings a yellow one, the rest a green one.
#include <string>
#include <vector>

#include "rules/RuleCheck.h"

class CVelmiraDoc;

std::string KmlText(const CVelmiraDoc& doc, const std::vector<Finding>& findings);
