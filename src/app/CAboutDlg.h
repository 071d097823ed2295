#pragma once
// "About Velmira": the program's icon, name and version, and who made it.
#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* pParent = nullptr);
};
