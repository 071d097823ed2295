#include "tables/FileDialogs.h"

#include <QFileDialog>

std::filesystem::path PathFromQString(const QString& str) {
  return std::filesystem::path(str.toStdU16String());
}

QString QStringFromPath(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

std::optional<std::filesystem::path> CQtFileDialogs::ChooseJobFile(QWidget* pParent) {
  QFileDialog dialog(pParent, QStringLiteral("TARVEK TSJ DOSYASI EKLE"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(QStringLiteral("Tarvek TSJ Dosyası (*.tsj)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PathFromQString(dialog.selectedFiles().first());
}

std::optional<std::filesystem::path> CQtFileDialogs::ChooseWorkbookPath(QWidget* pParent) {
  QFileDialog dialog(pParent, QStringLiteral("EXCEL DOSYASI OLARAK KAYDET"));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("Excel Files (*.xls)"), QStringLiteral("All Files (*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("xls"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PathFromQString(dialog.selectedFiles().first());
}
