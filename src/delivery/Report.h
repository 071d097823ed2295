#pragma once
// kontrol.html: the check report of a delivery, one self-contained printable page (no
// scripts, no outside resources) that a checker opens in any browser.
#include <string>
#include <vector>

#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

class CVelmiraDoc;

// The page for the document as it stands: the verdict, the profile and its source, the
// job files with zone and method, every finding, the difference plots and one point map
// per zone. Same document, profile and findings give the same bytes.
std::string ReportHtml(const CVelmiraDoc& doc, const RuleProfile& profile, const std::vector<Finding>& findings);
