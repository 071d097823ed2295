#include "app/CKontrolOlcutleriDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "app/CAyarlarDlg.h"
#include "app/CProfileStore.h"

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

std::optional<int> ParseCount(std::string_view text) {
  const std::optional<double> value = ParseCriterion(text);
  if (!value || std::trunc(*value) != *value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
  return static_cast<int>(*value);
}

CKontrolOlcutleriDlg::CKontrolOlcutleriDlg(std::vector<RuleProfile> profiles, const std::string& chosenId,
                                           QWidget* pParent)
    : QDialog(pParent), m_profiles(std::move(profiles)) {
  setWindowTitle(QStringLiteral("Kontrol Ölçütleri"));
  // The built-in profiles are always offered, first; so there is always one to fall back
  // to when a user profile is deleted.
  const auto& builtIns = BuiltInProfiles();
  for (auto it = builtIns.rbegin(); it != builtIns.rend(); ++it) {
    if (!FindProfile(m_profiles, it->id)) m_profiles.insert(m_profiles.begin(), *it);
  }

  m_pCombo = new QComboBox(this);
  auto* profileLabel = new QLabel(QStringLiteral("Profil"), this);
  profileLabel->setBuddy(m_pCombo);
  auto* top = new QHBoxLayout;
  top->addWidget(profileLabel);
  top->addWidget(m_pCombo, 1);

  auto* group = new QGroupBox(QStringLiteral("Sınırlar"), this);
  auto* form = new QGridLayout(group);
  const struct {
    Field field;
    const char* label;
  } rows[] = {
      {kDetailEpochs, "Detay Min. Epok"},
      {kPairEpochs, "Poligon Min. Epok (oturum başına)"},
      {kSatellites, "Min. Uydu Sayısı (GPS + GLONASS)"},
      {kMaxDiffY, "Max. Fark Sağa (m)"},
      {kMaxDiffX, "Max. Fark Yukarı (m)"},
      {kMaxDiffH, "Max. Fark Elips.H (m)"},
      {kMinDiffHours, "Min. Fark Zaman (saat)"},
  };
  int line = 0;
  for (const auto& row : rows) m_edits[row.field] = AddCriterionRow(form, line++, row.label, group);

  m_pSource = new QPlainTextEdit(this);
  m_pSource->setReadOnly(true);
  m_pSource->setMaximumHeight(m_pSource->fontMetrics().lineSpacing() * 4);
  auto* sourceLabel = new QLabel(QStringLiteral("Kaynak"), this);
  sourceLabel->setBuddy(m_pSource);

  m_pNew = new QPushButton(QStringLiteral("Yeni profil..."), this);
  m_pDelete = new QPushButton(QStringLiteral("Sil"), this);
  m_pRestore = new QPushButton(QStringLiteral("Varsayılana dön"), this);
  for (QPushButton* button : {m_pNew, m_pDelete, m_pRestore}) button->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  buttons->addButton(m_pNew, QDialogButtonBox::ActionRole);
  buttons->addButton(m_pDelete, QDialogButtonBox::ActionRole);
  buttons->addButton(m_pRestore, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_pNew, &QPushButton::clicked, this, &CKontrolOlcutleriDlg::OnNew);
  connect(m_pDelete, &QPushButton::clicked, this, &CKontrolOlcutleriDlg::OnDelete);
  connect(m_pRestore, &QPushButton::clicked, this, &CKontrolOlcutleriDlg::OnRestore);

  auto* left = new QVBoxLayout;
  left->addLayout(top);
  left->addWidget(group);
  left->addWidget(sourceLabel);
  left->addWidget(m_pSource);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addWidget(buttons, 0, Qt::AlignTop);

  for (const RuleProfile& profile : m_profiles) m_pCombo->addItem(Text(DisplayName(profile)));
  const RuleProfile* chosen = FindProfile(m_profiles, chosenId);
  ShowProfile(chosen ? static_cast<int>(chosen - m_profiles.data()) : 0);
  connect(m_pCombo, &QComboBox::currentIndexChanged, this, &CKontrolOlcutleriDlg::OnProfileChosen);
}

void CKontrolOlcutleriDlg::ShowProfile(int nIndex) {
  m_nCurrent = nIndex;
  const RuleProfile& profile = m_profiles[static_cast<std::size_t>(nIndex)];
  {
    const QSignalBlocker blocker(m_pCombo);
    m_pCombo->setCurrentIndex(nIndex);
  }
  const std::string texts[kFieldCount] = {
      std::to_string(profile.minDetailEpochs), std::to_string(profile.minPairEpochs),
      std::to_string(profile.minSatellites),   FormatCriterion(profile.dMaxDiffY),
      FormatCriterion(profile.dMaxDiffX),      FormatCriterion(profile.dMaxDiffH),
      FormatCriterion(profile.dMinDiffHours),
  };
  for (int f = 0; f < kFieldCount; ++f) m_edits[f]->setText(Text(texts[f]));
  m_pSource->setPlainText(Text(profile.source));
  const bool builtIn = BuiltInProfile(profile.id).has_value();
  m_pDelete->setEnabled(!builtIn);
  m_pRestore->setEnabled(builtIn);
}

bool CKontrolOlcutleriDlg::ReadFields() {
  RuleProfile& profile = m_profiles[static_cast<std::size_t>(m_nCurrent)];
  RuleProfile read = profile;
  int* counts[] = {&read.minDetailEpochs, &read.minPairEpochs, &read.minSatellites};
  double* limits[] = {&read.dMaxDiffY, &read.dMaxDiffX, &read.dMaxDiffH, &read.dMinDiffHours};
  for (int f = 0; f < kFieldCount; ++f) {
    const std::string text = m_edits[f]->text().toStdString();
    bool ok = false;
    if (f <= kSatellites) {
      const std::optional<int> value = ParseCount(text);
      if ((ok = value.has_value())) *counts[f] = *value;
    } else {
      const std::optional<double> value = ParseCriterion(text);
      if ((ok = value.has_value())) *limits[f - kMaxDiffY] = *value;
    }
    if (!ok) {
      QMessageBox::warning(this, QStringLiteral("Velmira"), QStringLiteral("Lütfen bir sayı girin (örnek 0.07)"));
      m_edits[f]->setFocus();
      m_edits[f]->selectAll();
      return false;
    }
  }
  profile = read;
  RefreshNames();
  return true;
}

void CKontrolOlcutleriDlg::RefreshNames() {
  for (std::size_t i = 0; i < m_profiles.size(); ++i) {
    m_pCombo->setItemText(static_cast<int>(i), Text(DisplayName(m_profiles[i])));
  }
}

// A bad number keeps the profile it was typed for on screen, so it is not lost unseen.
void CKontrolOlcutleriDlg::OnProfileChosen(int nIndex) {
  if (nIndex < 0) return;
  if (!ReadFields()) {
    const QSignalBlocker blocker(m_pCombo);
    m_pCombo->setCurrentIndex(m_nCurrent);
    return;
  }
  ShowProfile(nIndex);
}

void CKontrolOlcutleriDlg::OnNew() {
  if (!ReadFields()) return;
  bool ok = false;
  const QString typed = QInputDialog::getText(this, QStringLiteral("Yeni profil"), QStringLiteral("Profil adı:"),
                                              QLineEdit::Normal, QString(), &ok)
                            .trimmed();
  if (!ok || typed.isEmpty()) return;
  for (const RuleProfile& profile : m_profiles) {
    if (Text(profile.name).compare(typed, Qt::CaseInsensitive) == 0) {
      QMessageBox::warning(this, QStringLiteral("Velmira"), QStringLiteral("Bu adla bir profil zaten var."));
      return;
    }
  }
  RuleProfile copy = m_profiles[static_cast<std::size_t>(m_nCurrent)];
  copy.id = NewUserProfileId(m_profiles);
  copy.name = typed.toStdString();
  m_profiles.push_back(std::move(copy));
  m_pCombo->addItem(Text(DisplayName(m_profiles.back())));
  ShowProfile(static_cast<int>(m_profiles.size()) - 1);
}

void CKontrolOlcutleriDlg::OnDelete() {
  if (BuiltInProfile(m_profiles[static_cast<std::size_t>(m_nCurrent)].id)) return;
  const int removed = m_nCurrent;
  m_profiles.erase(m_profiles.begin() + removed);
  {
    const QSignalBlocker blocker(m_pCombo);
    m_pCombo->removeItem(removed);
  }
  ShowProfile(removed - 1);  // a built-in profile is always before it
}

void CKontrolOlcutleriDlg::OnRestore() {
  RuleProfile& profile = m_profiles[static_cast<std::size_t>(m_nCurrent)];
  const std::optional<RuleProfile> builtIn = BuiltInProfile(profile.id);
  if (!builtIn) return;
  profile = *builtIn;
  RefreshNames();
  ShowProfile(m_nCurrent);
}

void CKontrolOlcutleriDlg::accept() {
  if (!ReadFields()) return;
  QDialog::accept();
}
