#include "delivery/Report.h"

// Placeholder until the report page lands.
std::string ReportHtml(const CVelmiraDoc&, const RuleProfile&, const std::vector<Finding>&) {
  return "<!DOCTYPE html>\n";
}
