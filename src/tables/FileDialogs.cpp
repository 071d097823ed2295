#include "tables/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

const char* FolderKey(std::optional<WorkbookKind> kind) {
  if (!kind) return "folders/jobFiles";
  return *kind == WorkbookKind::Detail ? "folders/detailForm" : "folders/polygonForm";
}

void StartInRememberedFolder(QFileDialog& dialog, const char* key) {
  const QString folder = QSettings().value(QString::fromLatin1(key)).toString();
  if (!folder.isEmpty() && QDir(folder).exists()) dialog.setDirectory(folder);
}

std::optional<std::filesystem::path> RunRemembering(QFileDialog& dialog, const char* key) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().first();
  QSettings().setValue(QString::fromLatin1(key), QFileInfo(chosen).absolutePath());
  return PathFromQString(chosen);
}

// A folder dialogue that also takes the name of a folder still to be made, as a delivery
// may go to a new folder; Qt's own refuses it ("Dizin bulunamadı").
class NewOrExistingFolderDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  QString Chosen() const { return m_chosen; }

  void accept() override {
    const QStringList files = selectedFiles();
    const QFileInfo info(files.isEmpty() ? QString() : files.first());
    if (!files.isEmpty() && !info.exists() && QFileInfo(info.absolutePath()).isDir()) {
      m_chosen = info.absoluteFilePath();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
    if (result() == QDialog::Accepted && !files.isEmpty()) m_chosen = files.first();
  }

 private:
  QString m_chosen;
};

}  // namespace

std::filesystem::path PathFromQString(const QString& str) {
  // Qt spells Windows paths with '/'; messages show them as the system does.
  std::filesystem::path path(str.toStdU16String());
  path.make_preferred();
  return path;
}

QString QStringFromPath(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

std::optional<std::filesystem::path> CQtFileDialogs::ChooseJobFile(QWidget* pParent) {
  QFileDialog dialog(pParent, QStringLiteral("TARVEK TSJ DOSYASI EKLE"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(QStringLiteral("Tarvek TSJ Dosyası (*.tsj)"));
  StartInRememberedFolder(dialog, FolderKey(std::nullopt));
  return RunRemembering(dialog, FolderKey(std::nullopt));
}

std::optional<std::filesystem::path> CQtFileDialogs::ChooseWorkbookPath(QWidget* pParent, WorkbookKind kind) {
  QFileDialog dialog(pParent, QStringLiteral("EXCEL DOSYASI OLARAK KAYDET"));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("Excel Files (*.xls)"), QStringLiteral("All Files (*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("xls"));
  StartInRememberedFolder(dialog, FolderKey(kind));
  return RunRemembering(dialog, FolderKey(kind));
}

std::optional<std::filesystem::path> CQtFileDialogs::ChooseDeliveryFolder(QWidget* pParent) {
  constexpr const char* kKey = "folders/delivery";
  NewOrExistingFolderDialog dialog(pParent, QStringLiteral("TESLİM KLASÖRÜ SEÇ"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // The system's folder picker takes no new name; Qt's own does, through accept() above.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Klasör (yeni ya da boş):"));
  StartInRememberedFolder(dialog, kKey);
  if (dialog.exec() != QDialog::Accepted || dialog.Chosen().isEmpty()) return std::nullopt;
  // The next delivery is most likely beside this one.
  QSettings().setValue(QString::fromLatin1(kKey), QFileInfo(dialog.Chosen()).absolutePath());
  return PathFromQString(dialog.Chosen());
}

std::optional<std::filesystem::path> CQtFileDialogs::ChoosePicturePath(QWidget* pParent) {
  constexpr const char* kKey = "folders/picture";
  QFileDialog dialog(pParent, QStringLiteral("RESİM OLARAK KAYDET"));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({QStringLiteral("PNG resmi (*.png)"), QStringLiteral("SVG çizimi (*.svg)")});
  dialog.setDefaultSuffix(QStringLiteral("png"));
  // The suffix follows the filter chosen, so "harita" becomes harita.svg under the SVG filter.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(filter.contains(QStringLiteral("svg")) ? QStringLiteral("svg") : QStringLiteral("png"));
  });
  StartInRememberedFolder(dialog, kKey);
  return RunRemembering(dialog, kKey);
}
