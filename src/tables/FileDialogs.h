#pragma once
// The open and save dialogues of the program, behind one interface so that tests can
// answer them without a window.
#include <QString>
#include <filesystem>
#include <optional>

class QWidget;

// The forms, each with the folder it was last saved in.
enum class WorkbookKind { Detail, Polygon };

class CFileDialogs {
 public:
  virtual ~CFileDialogs() = default;
  // The job file to add: one existing *.tsj file; nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseJobFile(QWidget* pParent) = 0;
  // Where to save a form workbook (*.xls, asks before overwriting); nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseWorkbookPath(QWidget* pParent, WorkbookKind kind) = 0;
  // The folder a delivery goes to (it may be made in the dialogue); nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseDeliveryFolder(QWidget* pParent) = 0;
  // Where to save a picture (*.png or *.svg, asks before overwriting); nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChoosePicturePath(QWidget* pParent) = 0;
};

// Qt's file dialogues with the program's titles and filters. Each opens in the folder it
// was last accepted in, remembered between runs (the first time: the working folder).
class CQtFileDialogs : public CFileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseJobFile(QWidget* pParent) override;
  std::optional<std::filesystem::path> ChooseWorkbookPath(QWidget* pParent, WorkbookKind kind) override;
  std::optional<std::filesystem::path> ChooseDeliveryFolder(QWidget* pParent) override;
  std::optional<std::filesystem::path> ChoosePicturePath(QWidget* pParent) override;
};

std::filesystem::path PathFromQString(const QString& str);
QString QStringFromPath(const std::filesystem::path& path);
