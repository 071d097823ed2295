// The main window's regulation profiles: the "Kontrol Ölçütleri" command and the profiles
// remembered between runs. The active profile is a copy of one entry of the list, kept
// equal to it whenever the user changes either.
#include "app/CKontrolOlcutleriDlg.h"
#include "app/CMainFrame.h"
#include "app/CProfileStore.h"

#include <algorithm>

void CMainFrame::LoadProfiles() {
  const ProfileSet set = CProfileStore::Load();
  m_profiles = set.profiles;
  CMatchCriteria criteria = GetDocument().Criteria();
  criteria.dMatchTol = set.dMatchTol;
  GetDocument().SetCriteria(criteria);
  SetActiveProfile(*FindProfile(m_profiles, set.chosenId));
}

void CMainFrame::SaveProfiles() {
  // "Ayarlar" edits the active profile alone; its entry in the list follows it.
  auto entry = std::find_if(m_profiles.begin(), m_profiles.end(),
                            [this](const RuleProfile& p) { return p.id == GetActiveProfile().id; });
  if (entry == m_profiles.end()) {
    m_profiles.push_back(GetActiveProfile());
  } else {
    *entry = GetActiveProfile();
  }
  CProfileStore::Save({m_profiles, GetActiveProfile().id, GetDocument().m_dMatchTol});
}

void CMainFrame::OnKontrolOlcutleri() {
  CKontrolOlcutleriDlg dialog(m_profiles, GetActiveProfile().id, this);
  if (dialog.exec() != QDialog::Accepted) return;
  m_profiles = dialog.GetProfiles();
  SetActiveProfile(dialog.GetChosen());
  SaveProfiles();
}
