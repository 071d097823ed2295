#pragma once
// "Kontrol Ölçütleri": choose the regulation profile the check judges by, edit its limits,
// add the user's own copies and delete them, restore a built-in profile. The dialog works
// on a copy of the list; only OK hands it back, so Cancel changes nothing.
#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "rules/RuleProfile.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CKontrolOlcutleriDlg : public QDialog {
  Q_OBJECT

 public:
  enum Field {
    kDetailEpochs,
    kPairEpochs,
    kSatellites,
    kMaxDiffY,
    kMaxDiffX,
    kMaxDiffH,
    kMinDiffHours,
    kFieldCount
  };

  // profiles: the built-in ones first, then the user's own; chosenId selects the one shown.
  CKontrolOlcutleriDlg(std::vector<RuleProfile> profiles, const std::string& chosenId, QWidget* pParent = nullptr);

  // The list with the edits, and the chosen profile, as read at OK.
  const std::vector<RuleProfile>& GetProfiles() const { return m_profiles; }
  const RuleProfile& GetChosen() const { return m_profiles[static_cast<std::size_t>(m_nCurrent)]; }

  QComboBox* GetProfileCombo() const { return m_pCombo; }
  QLineEdit* GetEdit(Field field) const { return m_edits[field]; }
  QPlainTextEdit* GetSourceView() const { return m_pSource; }
  QPushButton* GetNewButton() const { return m_pNew; }
  QPushButton* GetDeleteButton() const { return m_pDelete; }
  QPushButton* GetRestoreButton() const { return m_pRestore; }

  void accept() override;

 private:
  void ShowProfile(int nIndex);
  // The fields into the shown profile; false after the number prompt when one is not a number.
  bool ReadFields();
  void OnProfileChosen(int nIndex);
  void OnNew();
  void OnDelete();
  void OnRestore();
  void RefreshNames();

  std::vector<RuleProfile> m_profiles;
  int m_nCurrent = 0;
  QComboBox* m_pCombo = nullptr;
  std::array<QLineEdit*, kFieldCount> m_edits{};
  QPlainTextEdit* m_pSource = nullptr;
  QPushButton* m_pNew = nullptr;
  QPushButton* m_pDelete = nullptr;
  QPushButton* m_pRestore = nullptr;
};

// A whole number of epochs or satellites, read as the criteria are (decimal comma and
// blanks around allowed, "10.0" is 10); nothing for a fraction or a value beyond int.
std::optional<int> ParseCount(std::string_view text);
