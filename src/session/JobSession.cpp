#include "session/JobSession.h"

#include <algorithm>

namespace fs = std::filesystem;

JobSession::JobSession(CDocShell& shell, fs::path cacheFolder, RuleProfile profile)
    : m_doc(std::make_unique<CVelmiraDoc>(shell, std::move(cacheFolder))), m_profile(std::move(profile)) {
  m_doc->SetCriteria(CriteriaOf(m_profile, m_doc->m_dMatchTol));
}

JobSession::MatchBasis JobSession::CurrentBasis() const {
  MatchBasis basis;
  for (const tsjdosya& file : m_doc->TsjList()) basis.files.push_back(file.nFileNumber);
  basis.points = m_doc->NoktaList().size();
  basis.tolerance = m_doc->m_dMatchTol;
  return basis;
}

bool JobSession::IsMatchCurrent() const { return m_matched && *m_matched == CurrentBasis(); }

void JobSession::Tell(unsigned changes) const {
  if (m_observer && changes) m_observer(changes);
}

void JobSession::Judge(unsigned changes) {
  m_findings = CheckRules(*m_doc, m_profile);
  Tell(changes | kSessionFindings);
}

Status JobSession::Match() {
  // Without points the document keeps its (empty) pairs and says nothing.
  if (!m_doc->MatchSessions()) {
    Judge(0);
    return Status::Failure("Eşleştirme yapılamadı: çok fazla çift.", {});
  }
  m_matched = CurrentBasis();
  Judge(kSessionPairs);
  return {};
}

Status JobSession::Check() {
  if (!IsMatchCurrent()) return Match();
  Judge(0);
  return {};
}

Status JobSession::AddJobFile(const fs::path& path, const ReadProgress& progress) {
  if (!m_doc->AddJobFile(path, progress)) return Status::Failure("İş dosyası eklenmedi.", {});
  Tell(kSessionFiles);
  return Check();
}

Status JobSession::RemoveJobFiles(const std::vector<int>& fileNumbers) {
  for (int number : fileNumbers) {
    m_doc->RemoveFilePoints(number);
    m_doc->RemoveTsjFile(number);
  }
  Tell(kSessionFiles);
  return Check();
}

Status JobSession::SetProfile(RuleProfile profile) {
  m_profile = std::move(profile);
  m_doc->SetCriteria(CriteriaOf(m_profile, m_doc->m_dMatchTol));
  Tell(kSessionCriteria);
  return Check();
}

Status JobSession::SetCriteria(const CMatchCriteria& criteria) {
  ApplyCriteria(m_profile, criteria);
  m_doc->SetCriteria(criteria);
  Tell(kSessionCriteria);
  return Check();
}

Result<DeliveryResult> JobSession::Deliver(const DeliverySelection& selection, const fs::path& folder,
                                           const DeliveryProgress& progress) {
  if (Status checked = Check(); !checked) return checked;
  return WriteDelivery(*m_doc, m_profile, m_findings, selection, folder, progress);
}
