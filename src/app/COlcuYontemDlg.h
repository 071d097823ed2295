#pragma once
// Asks how the points of a job file were measured: RTK, or a CORS network through one
// of the known mountpoints.
#include <QDialog>
#include <string>

class QComboBox;
class QRadioButton;

class COlcuYontemDlg : public QDialog {
  Q_OBJECT

 public:
  // caption: the job file's name.
  explicit COlcuYontemDlg(const QString& caption, QWidget* pParent = nullptr);

  // "RTK", or the selected mountpoint when "CORS (TUSAGA)" is checked.
  std::string GetValue() const;
  QRadioButton* GetRtkButton() const { return m_pRtk; }
  QRadioButton* GetCorsButton() const { return m_pCors; }
  QComboBox* GetComboBox() const { return m_pCombo; }

 private:
  QRadioButton* m_pRtk = nullptr;
  QRadioButton* m_pCors = nullptr;
  QComboBox* m_pCombo = nullptr;
};
