#pragma once
// The document's shell for the command line: the questions are answered from the
// options, messages go to standard error, and the tables are the output streams.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/CliOptions.h"
#include "jobdata/CDocShell.h"

class CliShell : public CDocShell {
 public:
  explicit CliShell(const CliOptions& options) : m_options(options) {}

  // After an add: a message that was not mere information, or an unanswered question.
  bool Refused() const { return m_refused; }
  // After an add: the question asked cannot take the --method given.
  bool UsageError() const { return m_usageError; }
  const std::string& UsageMessage() const { return m_usageMessage; }
  void Reset();

  // Files are added by path; there is no one to ask.
  std::optional<std::filesystem::path> ChooseJobFile() override { return std::nullopt; }
  void ShowMessage(std::string_view utf8Text, MessageIcon icon) override;
  std::optional<std::string> AskMeridian() override;
  std::optional<std::string> AskMountpoint(std::string_view captionCp1254, std::string_view optionCp1254) override;
  std::optional<std::string> AskMethod(std::string_view captionCp1254) override;
  bool AskSettings(CMatchCriteria& criteria) override;
  void JobFilesChanged() override {}
  void ShowFilePoints(int) override {}
  void ClearPointTables() override {}
  void PairsChanged() override {}

 private:
  void Unanswered(const std::string& what);

  const CliOptions& m_options;
  bool m_refused = false;
  bool m_usageError = false;
  std::string m_usageMessage;
};
