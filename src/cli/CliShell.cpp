#include "cli/CliShell.h"

#include <iostream>

#include "text/Cp1254.h"

void CliShell::Reset() {
  m_refused = false;
  m_usageError = false;
  m_usageMessage.clear();
}

void CliShell::ShowMessage(std::string_view utf8Text, MessageIcon icon) {
  std::cerr << utf8Text << '\n';
  if (icon != MessageIcon::Information) m_refused = true;
}

void CliShell::Unanswered(const std::string& what) {
  std::cerr << "velmira-cli: " << what << '\n';
  m_refused = true;
}

std::optional<std::string> CliShell::AskMeridian() {
  if (!m_options.meridian) Unanswered("the job file does not name its zone; give --meridian");
  return m_options.meridian;
}

std::optional<std::string> CliShell::AskMountpoint(std::string_view, std::string_view) {
  if (!m_options.method) {
    Unanswered("the job file's mountpoint is not a known one; give --method");
    return std::nullopt;
  }
  if (*m_options.method == "RTK") {
    m_usageError = true;
    m_usageMessage = "--method RTK does not answer the mountpoint question; give a mountpoint name";
    return std::nullopt;
  }
  return m_options.method;
}

std::optional<std::string> CliShell::AskMethod(std::string_view) {
  if (!m_options.method) Unanswered("the job file does not tell its measurement method; give --method");
  return m_options.method;
}

bool CliShell::AskSettings(CMatchCriteria& criteria) {
  criteria = m_options.criteria;
  return true;
}
