#pragma once
// A shell whose answers are scripted and whose messages and notifications are recorded.
// A warning or an error that the test never looks at (Messages()) fails the test.
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestFailure.h"
#include "jobdata/CDocShell.h"

struct ScriptedShell : CDocShell {
  std::deque<std::optional<std::filesystem::path>> files;
  std::optional<std::string> meridianAnswer;
  std::optional<std::string> mountpointAnswer;
  std::optional<std::string> methodAnswer;
  std::optional<CMatchCriteria> settingsAnswer;  // nothing: Cancel

  ScriptedShell() = default;
  ScriptedShell(const ScriptedShell&) = default;
  ScriptedShell& operator=(const ScriptedShell&) = default;
  ~ScriptedShell() override {
    if (m_bMessagesSeen) return;
    for (const auto& [text, icon] : m_messages) {
      if (icon != MessageIcon::Information) FailTest("a warning that the test did not expect: " + text);
    }
  }

  const std::vector<std::pair<std::string, MessageIcon>>& Messages() const {
    m_bMessagesSeen = true;
    return m_messages;
  }
  void ClearMessages() { m_messages.clear(); }
  // For a test that reads many files and judges them by what they read, not by what is said.
  void AllowWarnings() { m_bMessagesSeen = true; }
  std::vector<std::string> questions;  // "meridian", "mountpoint:<caption>", "method:<caption>"
  std::vector<std::string> mountpointOptions;  // the option 851 text each mountpoint question started on
  int jobFilesChanged = 0;
  int cleared = 0;
  int pairsChanged = 0;
  std::vector<int> shownFiles;

  std::optional<std::filesystem::path> ChooseJobFile() override {
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    m_messages.emplace_back(std::string(text), icon);
  }
  std::optional<std::string> AskMeridian() override {
    questions.push_back("meridian");
    return meridianAnswer;
  }
  std::optional<std::string> AskMountpoint(std::string_view caption, std::string_view option) override {
    questions.push_back("mountpoint:" + std::string(caption));
    mountpointOptions.emplace_back(option);
    return mountpointAnswer;
  }
  std::optional<std::string> AskMethod(std::string_view caption) override {
    questions.push_back("method:" + std::string(caption));
    return methodAnswer;
  }
  bool AskSettings(CMatchCriteria& criteria) override {
    if (!settingsAnswer) {
      criteria.dMatchTol = 123;  // edits that Cancel must throw away
      return false;
    }
    criteria = *settingsAnswer;
    return true;
  }
  void JobFilesChanged() override { ++jobFilesChanged; }
  void ShowFilePoints(int n) override { shownFiles.push_back(n); }
  void ClearPointTables() override { ++cleared; }
  void PairsChanged() override { ++pairsChanged; }

 private:
  std::vector<std::pair<std::string, MessageIcon>> m_messages;
  mutable bool m_bMessagesSeen = false;
};
