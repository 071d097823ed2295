#pragma once
// Reads a written form back through xlrd, the independent reader, for the widget tests.
#include <QProcess>
#include <QString>
#include <filesystem>

// xlrd is a Linux program: the Windows build's workbooks are checked by comparing them
// with the Linux build's, byte for byte (scripts/windows-compare.sh).
#ifdef _WIN32
constexpr bool kXlrdRuns = false;
#else
constexpr bool kXlrdRuns = true;
#endif

// The printed value of a Python expression over `sheet`, the workbook's first sheet.
inline QString PythonRead(const std::filesystem::path& workbook, const QString& expression) {
  QProcess python;
  python.start(QStringLiteral(VELMIRA_PYTHON),
               {QStringLiteral("-c"),
                QStringLiteral("import sys, xlrd\nsheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                               "print(%1)").arg(expression),
                QString::fromStdString(workbook.string())});
  python.waitForFinished(60000);
  return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}
