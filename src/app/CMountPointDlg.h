#pragma once
// Asks for the mountpoint of a network RTK job whose job file names an unknown one: a known
// name from the list, or the stream's own name typed or kept as the file gives it.
#include <QDialog>
#include <string>

class QComboBox;

class CMountPointDlg : public QDialog {
  Q_OBJECT

 public:
  // caption: the job file's name; option: the job file's own mountpoint text, which the
  // answer starts on (the first known name when it is empty).
  explicit CMountPointDlg(const QString& caption, const QString& option = QString(), QWidget* pParent = nullptr);

  // The answer in Windows-1254, blanks trimmed; OK stays disabled while it is blank.
  std::string GetValue() const;
  QComboBox* GetComboBox() const { return m_pCombo; }

 private:
  QComboBox* m_pCombo = nullptr;
};
