#pragma once
// One job session: the document, the regulation profile whose pair limits are the
// document's criteria (one value, one place), whether the pairs are those of the job files
// and tolerance as they stand, and the findings. velmira-cli's check and deliver and the
// desktop program take the same steps through it, so that their verdicts never differ:
// every change that alters the pairs (a file added or removed, a new tolerance) matches
// again before judging; a change of limits or profile judges again without matching.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "delivery/Delivery.h"
#include "jobdata/CVelmiraDoc.h"
#include "platform/Result.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

// What changed, as bits, for the one observer.
enum SessionChange : unsigned {
  kSessionFiles = 1u << 0,     // job files added or removed
  kSessionPairs = 1u << 1,     // matched again
  kSessionFindings = 1u << 2,  // judged again
  kSessionCriteria = 1u << 3,  // profile, limits or tolerance
};

class JobSession {
 public:
  // The document asks and tells through shell; its copies go to cacheFolder.
  JobSession(CDocShell& shell, std::filesystem::path cacheFolder, RuleProfile profile);

  CVelmiraDoc& Document() { return *m_doc; }
  const CVelmiraDoc& Document() const { return *m_doc; }
  const RuleProfile& Profile() const { return m_profile; }
  const std::vector<Finding>& Findings() const { return m_findings; }
  Verdict GetVerdict() const { return Summarize(m_findings); }
  // False when files or the tolerance changed since the last matching.
  bool IsMatchCurrent() const;

  // Adds a job file (the document tells every refusal through the shell first), then
  // matches and judges. Failure: the file was refused, cancelled through progress, or
  // matching was refused.
  Status AddJobFile(const std::filesystem::path& path, const ReadProgress& progress = {});
  // Removes the job files with these numbers and their points, then matches and judges.
  Status RemoveJobFiles(const std::vector<int>& fileNumbers);
  // Matches again whatever the state, then judges. Failure keeps the previous pairs.
  Status Match();
  // The profile's pair limits become the criteria; judged again, without matching.
  Status SetProfile(RuleProfile profile);
  // The four limits go into the profile; a new tolerance matches again.
  Status SetCriteria(const CMatchCriteria& criteria);
  // Matches when the pairs are stale, then judges.
  Status Check();
  // Checks, then writes the delivery folder for the session as it stands.
  Result<DeliveryResult> Deliver(const DeliverySelection& selection, const std::filesystem::path& folder,
                                 const DeliveryProgress& progress = {});

  // The one observer, told after each change with the SessionChange bits.
  void SetObserver(std::function<void(unsigned)> observer) { m_observer = std::move(observer); }

 private:
  // What the pairs were made from: the files loaded (by number), their points and the
  // tolerance.
  struct MatchBasis {
    std::vector<int> files;
    std::size_t points = 0;
    double tolerance = 0;
    bool operator==(const MatchBasis&) const = default;
  };
  MatchBasis CurrentBasis() const;
  void Judge(unsigned changes);
  void Tell(unsigned changes) const;

  std::unique_ptr<CVelmiraDoc> m_doc;
  RuleProfile m_profile;
  std::vector<Finding> m_findings;
  std::optional<MatchBasis> m_matched;
  std::function<void(unsigned)> m_observer;
};
