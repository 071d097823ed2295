#pragma once
// A shell whose answers are scripted and whose messages and notifications are recorded.
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "jobdata/CDocShell.h"

struct ScriptedShell : CDocShell {
  std::deque<std::optional<std::filesystem::path>> files;
  std::optional<std::string> meridianAnswer;
  std::optional<std::string> mountpointAnswer;
  std::optional<std::string> methodAnswer;
  std::optional<CMatchCriteria> settingsAnswer;  // nothing: Cancel

  std::vector<std::pair<std::string, MessageIcon>> messages;
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
    messages.emplace_back(std::string(text), icon);
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
};
