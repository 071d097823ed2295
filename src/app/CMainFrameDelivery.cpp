// "Teslim Klasörü Oluştur...": the whole delivery folder for the job files loaded now,
// with the ticked rows choosing what the forms hold, exactly as the command line writes it.
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

#include "app/CMainFrame.h"
#include "delivery/Delivery.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CVelmiraView.h"
#include "text/Numbers.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoJobFiles = "Yüklü TSJ dosyası yok; önce bir TSJ dosyası açın.";
constexpr int kProgressDelayMs = 500;
constexpr int kStatusMs = 10000;

// The ticked rows: the points of the job file shown (the others give all their points)
// and the pairs; nothing ticked means everything.
DeliverySelection TickedRows(const CGPSNoktaView* points, const CVelmiraView* pairs) {
  DeliverySelection selection;
  if (points) {
    for (const PointKey& key : points->CheckedPointKeys()) selection.points[key.nFileNumber].push_back(key);
  }
  if (pairs) {
    std::vector<int> ticked = pairs->CheckedPairNumbers();
    if (!ticked.empty()) selection.pairNos = std::move(ticked);
  }
  return selection;
}

bool IsEmptyFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder, ec) && fs::is_empty(folder, ec);
}

}  // namespace

void CMainFrame::OnTeslimKlasoru() {
  CVelmiraDoc& doc = GetDocument();
  if (doc.TsjList().empty()) return ShowMessage(kNoJobFiles, MessageIcon::Warning);
  // The command line's steps: matched when stale, judged, then written.
  if (!m_pSession->Check()) return;
  const DeliverySelection selection = TickedRows(GetPointView(), GetPairView());
  if (Result<std::vector<std::string>> names = DeliveryFileNames(doc, selection); !names) {
    return ShowMessage(names.status().cause(), MessageIcon::Warning);
  }
  const std::optional<fs::path> chosen = m_pDialogs->ChooseDeliveryFolder(this);
  if (!chosen) return;
  const std::optional<fs::path> target = DeliveryTarget(*chosen);
  if (!target) return;

  QProgressDialog progress(QStringLiteral("Teslim klasörü yazılıyor..."), QString(), 0, 1, this);
  progress.setWindowTitle(QStringLiteral("Velmira"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setAutoClose(false);
  const Result<DeliveryResult> delivered =
      m_pSession->Deliver(selection, *target, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
      });
  progress.close();
  if (!delivered) return ShowMessage(delivered.status().cause(), MessageIcon::Warning);
  ReportDelivery(delivered.value(), *target != *chosen);
}

// The folder chosen when it is empty or new; else a new folder "<job>_teslim" inside it,
// so that choosing the project's own folder is no dead end.
std::optional<fs::path> CMainFrame::DeliveryTarget(const fs::path& chosen) {
  std::error_code ec;
  if (!fs::exists(chosen, ec) || IsEmptyFolder(chosen)) return chosen;
  if (!fs::is_directory(chosen, ec)) {
    ShowMessage(CheckDeliveryFolder(chosen).cause(), MessageIcon::Warning);
    return std::nullopt;
  }
  const fs::path stem = GetDocument().JobPath(GetDocument().TsjList().front().nFileNumber).stem();
  for (int k = 1;; ++k) {
    fs::path inside = chosen / stem;
    inside += k == 1 ? "_teslim" : "_teslim-" + text::FormatInt(k);
    if (!fs::exists(inside, ec)) return inside;
  }
}

void CMainFrame::ReportDelivery(const DeliveryResult& result, bool madeInside) {
  const std::string folder = PathToUtf8(result.folder);
  std::string text = "Teslim klasörü yazıldı: " + folder + "\n";
  if (madeInside) text += "(Seçilen klasör boş olmadığından içinde yeni bir klasör açıldı.)\n";
  text += text::FormatInt(static_cast<std::int64_t>(result.files.size())) + " dosya. Kontrol: " + result.verdict.Text();
  statusBar()->showMessage(QString::fromStdString("Teslim klasörü yazıldı: " + folder), kStatusMs);

  QMessageBox box(result.verdict.Ready() ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("Velmira"),
                  QString::fromStdString(text), QMessageBox::NoButton, this);
  QPushButton* open = box.addButton(QStringLiteral("Klasörü Aç"), QMessageBox::AcceptRole);
  box.setDefaultButton(box.addButton(QStringLiteral("Tamam"), QMessageBox::RejectRole));
  FitToText(box);
  box.exec();
  if (box.clickedButton() != open) return;
  if (m_openFolder) return m_openFolder(result.folder);
  QDesktopServices::openUrl(QUrl::fromLocalFile(QStringFromPath(result.folder)));
}
