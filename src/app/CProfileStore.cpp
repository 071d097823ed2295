#include "app/CProfileStore.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

namespace {

const QString kGroup = QStringLiteral("profiles");
const QString kChosenKey = QStringLiteral("chosen");
const QString kMatchTolKey = QStringLiteral("matchTolerance");
const QString kBuiltInGroup = QStringLiteral("builtIn");
const QString kUserArray = QStringLiteral("user");

// A number stored as text reads back only when it is a finite number; else the value
// given is kept.
void ReadDouble(const QSettings& settings, const QString& key, double& value) {
  bool ok = false;
  const double stored = settings.value(key).toDouble(&ok);
  if (ok && std::isfinite(stored)) value = stored;
}

void ReadInt(const QSettings& settings, const QString& key, int& value) {
  bool ok = false;
  const int stored = settings.value(key).toInt(&ok);
  if (ok) value = stored;
}

void ReadLimits(const QSettings& settings, RuleProfile& profile) {
  ReadInt(settings, QStringLiteral("minDetailEpochs"), profile.minDetailEpochs);
  ReadInt(settings, QStringLiteral("minPairEpochs"), profile.minPairEpochs);
  ReadInt(settings, QStringLiteral("minSatellites"), profile.minSatellites);
  ReadDouble(settings, QStringLiteral("maxDiffY"), profile.dMaxDiffY);
  ReadDouble(settings, QStringLiteral("maxDiffX"), profile.dMaxDiffX);
  ReadDouble(settings, QStringLiteral("maxDiffH"), profile.dMaxDiffH);
  ReadDouble(settings, QStringLiteral("minDiffHours"), profile.dMinDiffHours);
}

void WriteLimits(QSettings& settings, const RuleProfile& profile) {
  settings.setValue(QStringLiteral("minDetailEpochs"), profile.minDetailEpochs);
  settings.setValue(QStringLiteral("minPairEpochs"), profile.minPairEpochs);
  settings.setValue(QStringLiteral("minSatellites"), profile.minSatellites);
  settings.setValue(QStringLiteral("maxDiffY"), profile.dMaxDiffY);
  settings.setValue(QStringLiteral("maxDiffX"), profile.dMaxDiffX);
  settings.setValue(QStringLiteral("maxDiffH"), profile.dMaxDiffH);
  settings.setValue(QStringLiteral("minDiffHours"), profile.dMinDiffHours);
}

}  // namespace

const RuleProfile* FindProfile(const std::vector<RuleProfile>& profiles, const std::string& id) {
  const auto it = std::find_if(profiles.begin(), profiles.end(), [&](const RuleProfile& p) { return p.id == id; });
  return it == profiles.end() ? nullptr : &*it;
}

std::string NewUserProfileId(const std::vector<RuleProfile>& profiles) {
  for (int n = 1;; ++n) {
    std::string id = "kullanici-" + std::to_string(n);
    if (!FindProfile(profiles, id) && !BuiltInProfile(id)) return id;
  }
}

ProfileSet CProfileStore::Load() {
  ProfileSet set;
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.beginGroup(kBuiltInGroup);
  for (RuleProfile profile : BuiltInProfiles()) {
    settings.beginGroup(QString::fromStdString(profile.id));
    ReadLimits(settings, profile);
    settings.endGroup();
    set.profiles.push_back(std::move(profile));
  }
  settings.endGroup();

  const int count = settings.beginReadArray(kUserArray);
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    RuleProfile profile;
    profile.id = settings.value(QStringLiteral("id")).toString().toStdString();
    profile.name = settings.value(QStringLiteral("name")).toString().toStdString();
    profile.source = settings.value(QStringLiteral("source")).toString().toStdString();
    profile.network = settings.value(QStringLiteral("network")).toBool();
    ReadLimits(settings, profile);
    // A user profile under a built-in id would be taken for an edited built-in one.
    if (profile.id.empty() || profile.name.empty() || FindProfile(set.profiles, profile.id)) continue;
    set.profiles.push_back(std::move(profile));
  }
  settings.endArray();

  const std::string chosen = settings.value(kChosenKey).toString().toStdString();
  if (FindProfile(set.profiles, chosen)) set.chosenId = chosen;
  ReadDouble(settings, kMatchTolKey, set.dMatchTol);
  settings.endGroup();
  return set;
}

void CProfileStore::Save(const ProfileSet& set) {
  QSettings settings;
  // Written whole each time, so a deleted profile or a restored built-in leaves nothing behind.
  settings.remove(kGroup);
  settings.beginGroup(kGroup);
  settings.setValue(kChosenKey, QString::fromStdString(set.chosenId));
  settings.setValue(kMatchTolKey, set.dMatchTol);
  settings.beginGroup(kBuiltInGroup);
  for (const RuleProfile& profile : set.profiles) {
    if (!IsChangedBuiltIn(profile)) continue;
    settings.beginGroup(QString::fromStdString(profile.id));
    WriteLimits(settings, profile);
    settings.endGroup();
  }
  settings.endGroup();
  settings.beginWriteArray(kUserArray);
  int index = 0;
  for (const RuleProfile& profile : set.profiles) {
    if (BuiltInProfile(profile.id)) continue;
    settings.setArrayIndex(index++);
    settings.setValue(QStringLiteral("id"), QString::fromStdString(profile.id));
    settings.setValue(QStringLiteral("name"), QString::fromStdString(profile.name));
    settings.setValue(QStringLiteral("source"), QString::fromStdString(profile.source));
    settings.setValue(QStringLiteral("network"), profile.network);
    WriteLimits(settings, profile);
  }
  settings.endArray();
  settings.endGroup();
}
