#pragma once
// The open and save dialogues of the program, behind one interface so that tests can
// answer them without a window.
#include <QString>
#include <filesystem>
#include <optional>

class QWidget;

class CFileDialogs {
 public:
  virtual ~CFileDialogs() = default;
  // The job file to add: one existing *.tsj file; nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseJobFile(QWidget* pParent) = 0;
  // Where to save a form workbook (*.xls, asks before overwriting); nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseWorkbookPath(QWidget* pParent) = 0;
};

// Qt's file dialogues with the program's titles and filters.
class CQtFileDialogs : public CFileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseJobFile(QWidget* pParent) override;
  std::optional<std::filesystem::path> ChooseWorkbookPath(QWidget* pParent) override;
};

std::filesystem::path PathFromQString(const QString& str);
QString QStringFromPath(const std::filesystem::path& path);
