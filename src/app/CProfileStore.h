#pragma once
// The regulation profiles and the matching tolerance as remembered between runs, in the
// platform's settings store under the group "profiles/":
//   chosen             id of the active profile
//   matchTolerance     metres
//   builtIn/<id>/...   limits of a built-in profile the user edited (absent when unedited)
//   user/<n>/...       the user's own profiles, in list order
// The command line never reads them, so its runs stay reproducible.
#include <string>
#include <vector>

#include "rules/RuleProfile.h"

struct ProfileSet {
  std::vector<RuleProfile> profiles;  // the built-in ones first (edited or not), then the user's own
  std::string chosenId = kNetworkProfileId;
  double dMatchTol = 1.0;  // metres
};

class CProfileStore {
 public:
  // What was stored; a fresh user gets the built-in profiles, "ag-rtk" and 1.0 m.
  // Stored entries that are damaged (no name, an id that clashes, a limit that is not a
  // number) fall back to the built-in values or are dropped, never half-read.
  static ProfileSet Load();
  static void Save(const ProfileSet& set);
};

// The profile with that id in the list; nullptr when there is none.
const RuleProfile* FindProfile(const std::vector<RuleProfile>& profiles, const std::string& id);
// An id for a new user profile that no built-in and no listed profile has.
std::string NewUserProfileId(const std::vector<RuleProfile>& profiles);
