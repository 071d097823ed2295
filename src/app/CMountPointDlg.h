#pragma once
// Asks for the mountpoint of a network RTK job whose job file names an unknown one.
#include <QDialog>
#include <string>

class QComboBox;

class CMountPointDlg : public QDialog {
  Q_OBJECT

 public:
  // caption: the job file's name.
  explicit CMountPointDlg(const QString& caption, QWidget* pParent = nullptr);

  std::string GetValue() const;
  QComboBox* GetComboBox() const { return m_pCombo; }

 private:
  QComboBox* m_pCombo = nullptr;
};
