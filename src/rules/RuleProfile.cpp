#include "rules/RuleProfile.h"

#include "jobdata/CVelmiraDoc.h"

namespace {

// Both profiles follow the 2025 directive for GNSS work, which words its rules after the
// large-scale mapping regulation of 2018.
constexpr const char* kSource =
    "GNSS ile ölçme yönergesi (2025); Büyük Ölçekli Harita ve Harita Bilgileri Üretim "
    "Yönetmeliği (2018)";

std::vector<RuleProfile> MakeBuiltIns() {
  RuleProfile network;
  network.id = kNetworkProfileId;
  network.name = "Ağ RTK (TUSAGA-Aktif)";
  network.source = kSource;
  network.minDetailEpochs = 3;
  network.network = true;

  RuleProfile classic;
  classic.id = kClassicProfileId;
  classic.name = "Klasik RTK";
  classic.source = kSource;
  classic.minDetailEpochs = 1;
  classic.network = false;
  return {network, classic};
}

}  // namespace

const std::vector<RuleProfile>& BuiltInProfiles() {
  static const std::vector<RuleProfile> profiles = MakeBuiltIns();
  return profiles;
}

std::optional<RuleProfile> BuiltInProfile(std::string_view id) {
  for (const RuleProfile& p : BuiltInProfiles()) {
    if (p.id == id) return p;
  }
  return std::nullopt;
}

std::string DefaultProfileId(const std::vector<tsjdosya>& jobFiles) {
  for (const tsjdosya& file : jobFiles) {
    if (file.strMethod != "RTK") return kNetworkProfileId;
  }
  return kClassicProfileId;
}

RuleProfile DefaultProfileFor(const CVelmiraDoc& doc) { return *BuiltInProfile(DefaultProfileId(doc.TsjList())); }

CMatchCriteria CriteriaOf(const RuleProfile& profile, double dMatchTol) {
  CMatchCriteria c;
  c.dMaxDiffY = profile.dMaxDiffY;
  c.dMaxDiffX = profile.dMaxDiffX;
  c.dMaxDiffH = profile.dMaxDiffH;
  c.dMinDiffHours = profile.dMinDiffHours;
  c.dMatchTol = dMatchTol;
  return c;
}

void ApplyCriteria(RuleProfile& profile, const CMatchCriteria& criteria) {
  profile.dMaxDiffY = criteria.dMaxDiffY;
  profile.dMaxDiffX = criteria.dMaxDiffX;
  profile.dMaxDiffH = criteria.dMaxDiffH;
  profile.dMinDiffHours = criteria.dMinDiffHours;
}

RuleProfile WithOverrides(RuleProfile profile, const CriteriaOverrides& overrides) {
  if (overrides.dMaxDiffY) profile.dMaxDiffY = *overrides.dMaxDiffY;
  if (overrides.dMaxDiffX) profile.dMaxDiffX = *overrides.dMaxDiffX;
  if (overrides.dMaxDiffH) profile.dMaxDiffH = *overrides.dMaxDiffH;
  if (overrides.dMinDiffHours) profile.dMinDiffHours = *overrides.dMinDiffHours;
  return profile;
}

bool IsChangedBuiltIn(const RuleProfile& profile) {
  const std::optional<RuleProfile> builtIn = BuiltInProfile(profile.id);
  return builtIn && *builtIn != profile;
}

std::string DisplayName(const RuleProfile& profile) {
  return IsChangedBuiltIn(profile) ? profile.name + " (değiştirildi)" : profile.name;
}
