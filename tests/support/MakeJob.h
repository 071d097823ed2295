#pragma once
// Job files for the widget tests, written by the generator tool.
#include <QProcess>
#include <QStringList>
#include <filesystem>

inline bool MakeJob(const std::filesystem::path& out, QStringList args) {
  args << QString::fromStdString(out.string());
  QProcess process;
  process.start(QStringLiteral(VELMIRA_MAKE_JOB), args);
  return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}
