#pragma once
// Regulation profiles: the named sets of limits that the rule check judges a job by.
// Two are built in (network RTK on TUSAGA-Aktif, classic RTK); the desktop may add the
// user's own copies. A profile's four pair limits are the same numbers as the matching
// table's colouring criteria, so the red cells and the check never disagree.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobdata/Records.h"

class CVelmiraDoc;

struct RuleProfile {
  std::string id;      // "ag-rtk", "klasik-rtk", or the user's own
  std::string name;    // UTF-8, as shown: "Ağ RTK (TUSAGA-Aktif)", "Klasik RTK"
  std::string source;  // UTF-8: where the limits come from
  int minDetailEpochs = 1;  // epochs of every point
  int minPairEpochs = 10;   // epochs of each session of a pair
  int minSatellites = 5;    // GPS + GLONASS of each session of a pair
  double dMaxDiffY = 0.07;      // metres
  double dMaxDiffX = 0.07;      // metres
  double dMaxDiffH = 0.07;      // metres
  double dMinDiffHours = 1.0;   // hours
  bool network = false;  // also judge the technique and that both sessions share a job file

  bool operator==(const RuleProfile&) const = default;
};

inline constexpr const char* kNetworkProfileId = "ag-rtk";
inline constexpr const char* kClassicProfileId = "klasik-rtk";

// The built-in profiles, network RTK first.
const std::vector<RuleProfile>& BuiltInProfiles();
// The built-in profile with that id; nothing for any other id.
std::optional<RuleProfile> BuiltInProfile(std::string_view id);

// "ag-rtk" when any job file was measured through a mountpoint (its method is not
// "RTK"), else "klasik-rtk" (also with no job file at all).
std::string DefaultProfileId(const std::vector<tsjdosya>& jobFiles);
RuleProfile DefaultProfileFor(const CVelmiraDoc& doc);

// The four pair limits of a profile as matching criteria, with the tolerance given; and
// the other way, criteria edited in the settings dialog written into the profile.
CMatchCriteria CriteriaOf(const RuleProfile& profile, double dMatchTol);
void ApplyCriteria(RuleProfile& profile, const CMatchCriteria& criteria);

// Pair limits given one by one (the command line's options); those not given keep the
// profile's value.
struct CriteriaOverrides {
  std::optional<double> dMaxDiffY, dMaxDiffX, dMaxDiffH, dMinDiffHours;
};
RuleProfile WithOverrides(RuleProfile profile, const CriteriaOverrides& overrides);

// True for a built-in profile whose limits differ from the built-in ones.
bool IsChangedBuiltIn(const RuleProfile& profile);
// The name as shown everywhere: a changed built-in profile reads "… (değiştirildi)".
std::string DisplayName(const RuleProfile& profile);
