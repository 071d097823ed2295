#include "app/COutputCommands.h"

#include <algorithm>

#include <QDesktopServices>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

#include "app/CViewLinks.h"
#include "app/MessageBoxes.h"
#include "delivery/Delivery.h"
#include "mapview/CFarklarView.h"
#include "mapview/CHaritaPane.h"
#include "mapview/CHaritaView.h"
#include "mapview/Pictures.h"
#include "platform/Files.h"
#include "session/JobSession.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CVelmiraView.h"
#include "text/Numbers.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStatusMs = 10000;

constexpr const char* kNothingTicked = "İşaretli satır yok; form yazılmadı.";
constexpr const char* kNoPairs = "Eşleşen nokta yok; önce Poligon Eşleştir.";

std::string Count(std::size_t n) { return text::FormatInt(static_cast<std::int64_t>(n)); }

bool FitsOneSheet(const ZoneRows& zone) { return FormParts(zone).size() == 1; }

// "12 nokta", or "5 çift (10 satır)".
std::string RowsText(WorkbookKind kind, const ZoneRows& zone) {
  if (kind == WorkbookKind::Detail) return Count(zone.records) + " nokta";
  return Count(zone.records) + " çift (" + Count(zone.rows) + " satır)";
}

constexpr const char* kNoJobFiles = "Yüklü TSJ dosyası yok; önce bir TSJ dosyası açın.";
constexpr int kProgressDelayMs = 500;

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

COutputCommands::COutputCommands(QMainWindow& window, JobSession& session, const CViewLinks& links)
    : m_window(window), m_session(session), m_links(links), m_pDialogs(std::make_unique<CQtFileDialogs>()),
      m_writers(DefaultFormWriters()) {}

void COutputCommands::Warn(const std::string& text) const { ShowMessageBox(&m_window, text, MessageIcon::Warning); }

void COutputCommands::ShowStatus(const std::string& text) const {
  m_window.statusBar()->showMessage(QString::fromStdString(text), kStatusMs);
}

void COutputCommands::DetayExcel() {
  CGPSNoktaView* view = m_links.PointView();
  if (!view) return;
  CVelmiraDoc& doc = m_session.Document();
  const std::vector<PointKey> keys = view->CheckedPointKeys();
  const std::vector<ZoneRows> zones = DetailFormZones(doc, keys);
  if (zones.empty()) return Warn(kNothingTicked);
  ExportForm(WorkbookKind::Detail, zones, [&](const std::string* meridian, const FormPart* part, const fs::path& path) {
    if (!meridian) return m_writers.detail(doc, keys, path);
    const std::vector<PointKey> inZone = DetailKeysInZone(doc, keys, *meridian);
    return m_writers.detail(doc, part ? PartRecords(inZone, *part) : inZone, path);
  });
}

void COutputCommands::PoligonExcel() {
  CVelmiraView* view = m_links.PairView();
  if (!view) return;
  if (view->GetDataRowCount() < 1) return Warn(kNoPairs);
  CVelmiraDoc& doc = m_session.Document();
  const std::vector<int> pairNos = view->CheckedPairNumbers();
  const Result<std::vector<ZoneRows>> zones = PolygonFormZones(doc, pairNos);
  if (!zones) return Warn(zones.status().cause());
  if (zones->empty()) return Warn(kNothingTicked);
  ExportForm(WorkbookKind::Polygon, zones.value(),
             [&](const std::string* meridian, const FormPart* part, const fs::path& path) {
               if (!meridian) return m_writers.polygon(doc, pairNos, path);
               const std::vector<int> inZone = PairsInZone(doc, pairNos, *meridian);
               return m_writers.polygon(doc, part ? PartRecords(inZone, *part) : inZone, path);
             });
}

void COutputCommands::ExportForm(WorkbookKind kind, const std::vector<ZoneRows>& zones, const ZoneFormWriter& write) {
  const bool separate = zones.size() > 1;
  if (separate && !AskSeparateZoneForms(kind, zones)) return;
  if (!std::all_of(zones.begin(), zones.end(), FitsOneSheet) && !AskSplitForms(kind, zones)) return;
  const std::optional<std::filesystem::path> chosen = m_pDialogs->ChooseWorkbookPath(&m_window, kind);
  if (!chosen) return;
  std::vector<WrittenForm> written;
  for (const ZoneRows& zone : zones) {
    const std::filesystem::path form = separate ? ZoneFormPath(*chosen, zone.meridian) : *chosen;
    const std::vector<FormPart> parts = FormParts(zone);
    for (std::size_t k = 0; k < parts.size(); ++k) {
      const bool split = parts.size() > 1;
      const std::filesystem::path path = split ? PartFormPath(form, k + 1) : form;
      const Status saved = write(separate || split ? &zone.meridian : nullptr, split ? &parts[k] : nullptr, path);
      if (!saved) {
        Warn(saved.cause());
        return ReportWrittenForms(kind, written);
      }
      written.push_back({path, parts[k].rows});
    }
  }
  ReportWrittenForms(kind, written);
}

bool COutputCommands::AskSeparateZoneForms(WorkbookKind kind, const std::vector<ZoneRows>& zones) {
  QString text = QStringLiteral("Seçili satırlar farklı dilimlerde:\n");
  for (const ZoneRows& zone : zones) {
    text += QString::fromStdString("TM" + zone.meridian + ": " + RowsText(kind, zone) + "\n");
  }
  text += QStringLiteral("\nBir form tek bir dilim için yazılır.");
  return AskToGoOn(&m_window, text, QStringLiteral("Her dilim için ayrı form"));
}

// Before the file name is asked: a sheet holds 65,536 rows, and rows past them would be
// lost, so the form goes in parts, each whole with its header.
bool COutputCommands::AskSplitForms(WorkbookKind kind, const std::vector<ZoneRows>& zones) {
  QString text = QStringLiteral("Seçili satırlar bir Excel sayfasına sığmıyor:\n");
  for (const ZoneRows& zone : zones) {
    if (FitsOneSheet(zone)) continue;
    text += QString::fromStdString("TM" + zone.meridian + ": " + RowsText(kind, zone) + ", " +
                                   Count(FormParts(zone).size()) + " parça\n");
  }
  text += QStringLiteral("\nForm, her parça kendi başlığıyla, ayrı dosyalara yazılır (AD_1.xls, AD_2.xls, ...).");
  return AskToGoOn(&m_window, text, QStringLiteral("Parçalara böl"));
}

void COutputCommands::ReportWrittenForms(WorkbookKind kind, const std::vector<WrittenForm>& written) {
  if (written.empty()) return;
  const std::string what = kind == WorkbookKind::Detail ? "Detay" : "Poligon";
  std::string text;
  std::string status;
  if (written.size() == 1) {
    text = what + " formu yazıldı: " + PathToUtf8(written[0].path) + "\n" + RowsText(kind, written[0].zone) + ".";
    status = what + " formu yazıldı: " + PathToUtf8(written[0].path) + " (" + RowsText(kind, written[0].zone) + ")";
  } else {
    text = Count(written.size()) + " " + (kind == WorkbookKind::Detail ? "detay" : "poligon") + " formu yazıldı:";
    status = text;
    for (const WrittenForm& form : written) {
      text += "\n" + PathToUtf8(form.path) + " (" + RowsText(kind, form.zone) + ")";
      status += " " + PathToUtf8(form.path.filename());
    }
  }
  ShowStatus(status);
  ShowMessageBox(&m_window, text, MessageIcon::Information);
}

void COutputCommands::TeslimKlasoru() {
  CVelmiraDoc& doc = m_session.Document();
  if (doc.TsjList().empty()) return Warn(kNoJobFiles);
  // The command line's steps: matched when stale, judged, then written.
  if (!m_session.Check()) return;
  const DeliverySelection selection = TickedRows(m_links.PointView(), m_links.PairView());
  if (Result<std::vector<std::string>> names = DeliveryFileNames(doc, selection); !names) {
    return Warn(names.status().cause());
  }
  const std::optional<fs::path> chosen = m_pDialogs->ChooseDeliveryFolder(&m_window);
  if (!chosen) return;
  const std::optional<fs::path> target = DeliveryTarget(*chosen);
  if (!target) return;

  QProgressDialog progress(QStringLiteral("Teslim klasörü yazılıyor..."), QString(), 0, 1, &m_window);
  progress.setWindowTitle(QStringLiteral("Velmira"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressDelayMs);
  progress.setAutoClose(false);
  const Result<DeliveryResult> delivered =
      m_session.Deliver(selection, *target, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
      });
  progress.close();
  if (!delivered) return Warn(delivered.status().cause());
  ReportDelivery(delivered.value(), *target != *chosen);
}

// The folder chosen when it is empty or new; else a new folder inside it named after the
// delivery ("<first job>_teslim", "<first job>+2_teslim" for three jobs), so that
// choosing the project's own folder is no dead end.
std::optional<fs::path> COutputCommands::DeliveryTarget(const fs::path& chosen) {
  std::error_code ec;
  if (!fs::exists(chosen, ec) || IsEmptyFolder(chosen)) return chosen;
  if (!fs::is_directory(chosen, ec)) {
    Warn(CheckDeliveryFolder(chosen).cause());
    return std::nullopt;
  }
  const CVelmiraDoc& doc = m_session.Document();
  fs::path stem = doc.JobPath(doc.TsjList().front().nFileNumber).stem();
  if (doc.TsjList().size() > 1) stem += "+" + text::FormatInt(static_cast<std::int64_t>(doc.TsjList().size() - 1));
  for (int k = 1;; ++k) {
    fs::path inside = chosen / stem;
    inside += k == 1 ? "_teslim" : "_teslim-" + text::FormatInt(k);
    if (!fs::exists(inside, ec)) return inside;
  }
}

void COutputCommands::ReportDelivery(const DeliveryResult& result, bool madeInside) {
  const std::string folder = PathToUtf8(result.folder);
  std::string text = "Teslim klasörü yazıldı: " + folder + "\n";
  if (madeInside) {
    text += "(Seçilen klasör boş olmadığından içinde yeni bir klasör açıldı: " + PathToUtf8(result.folder.filename()) + ")\n";
  }
  text += text::FormatInt(static_cast<std::int64_t>(result.files.size())) + " dosya. Kontrol: " + result.verdict.Text();
  ShowStatus("Teslim klasörü yazıldı: " + folder);

  QMessageBox box(result.verdict.Ready() ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("Velmira"),
                  QString::fromStdString(text), QMessageBox::NoButton, &m_window);
  QPushButton* open = box.addButton(QStringLiteral("Klasörü Aç"), QMessageBox::AcceptRole);
  box.setDefaultButton(box.addButton(QStringLiteral("Tamam"), QMessageBox::RejectRole));
  FitToText(box);
  box.exec();
  if (box.clickedButton() != open) return;
  if (m_openFolder) return m_openFolder(result.folder);
  QDesktopServices::openUrl(QUrl::fromLocalFile(QStringFromPath(result.folder)));
}

void COutputCommands::ResimKaydet() {
  const bool map = m_links.ShowsMap();
  const bool plots = m_links.ShowsPlots();
  if (!map && !plots) {
    return Warn("Kaydedilecek resim gösterilmiyor; önce \"Harita\" ya da \"Farklar\" sekmesini açın.");
  }
  bool saveMap = map;
  if (map && plots) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Velmira"), QStringLiteral("Hangi resim kaydedilsin?"),
                    QMessageBox::NoButton, &m_window);
    QPushButton* mapButton = box.addButton(QStringLiteral("Harita"), QMessageBox::AcceptRole);
    QPushButton* plotButton = box.addButton(QStringLiteral("Farklar"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
    box.setDefaultButton(mapButton);
    box.exec();
    if (box.clickedButton() != mapButton && box.clickedButton() != plotButton) return;
    saveMap = box.clickedButton() == mapButton;
  }
  const std::optional<fs::path> path = m_pDialogs->ChoosePicturePath(&m_window);
  if (!path) return;
  Status saved;
  if (saveMap) {
    CHaritaView* view = m_links.GetTabs().harita->Map();
    saved = path->extension() == ".svg" ? SaveDrawing(view->CurrentDrawing(), *path) : SaveImage(view->RenderImage(), *path);
  } else {
    CFarklarView* view = m_links.GetTabs().farklar;
    saved = SaveDrawing(SideBySide(view->DifferenceDrawing(), view->HeightTimeDrawing()), *path);
  }
  if (!saved) return Warn(saved.cause());
  ShowStatus("Resim kaydedildi: " + PathToUtf8(*path));
}
