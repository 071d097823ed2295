#pragma once
// "DİLİM ORTA MERİDYENİ": asks for the central meridian of a job file that does not name one.
#include <QDialog>
#include <string>

class QComboBox;

class CBoylamDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CBoylamDlg(QWidget* pParent = nullptr);

  // The selected meridian, "27" to "45".
  std::string GetValue() const;
  QComboBox* GetComboBox() const { return m_pCombo; }

 private:
  QComboBox* m_pCombo = nullptr;
};
