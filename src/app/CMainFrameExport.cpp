// The two form exports of the main window. Everything that can refuse a form is settled
// before the user is asked for a file name: nothing ticked, an empty table, a form too
// long for a sheet, rows of several zones (a form names one zone in its header).
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "app/CMainFrame.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CVelmiraView.h"
#include "text/Numbers.h"
#include "platform/Files.h"

namespace {

constexpr const char* kNothingTicked = "İşaretli satır yok; form yazılmadı.";
constexpr const char* kNoPairs = "Eşleşen nokta yok; önce Poligon Eşleştir.";
constexpr int kStatusMs = 10000;

std::string Count(std::size_t n) { return text::FormatInt(static_cast<std::int64_t>(n)); }

// "12 nokta", or "5 çift (10 satır)".
std::string RowsText(WorkbookKind kind, const ZoneRows& zone) {
  if (kind == WorkbookKind::Detail) return Count(zone.records) + " nokta";
  return Count(zone.records) + " çift (" + Count(zone.rows) + " satır)";
}

}  // namespace

void CMainFrame::OnDetayExcel() {
  CGPSNoktaView* view = GetPointView();
  if (!view) return;
  CVelmiraDoc& doc = GetDocument();
  const std::vector<PointKey> keys = view->CheckedPointKeys();
  const Result<std::vector<ZoneRows>> zones = DetailFormZones(doc, keys);
  if (!zones) return ShowMessage(zones.status().cause(), MessageIcon::Warning);
  if (zones->empty()) return ShowMessage(kNothingTicked, MessageIcon::Warning);
  ExportForm(WorkbookKind::Detail, zones.value(), [&](const std::string* meridian, const std::filesystem::path& path) {
    return m_writers.detail(doc, meridian ? DetailKeysInZone(doc, keys, *meridian) : keys, path);
  });
}

void CMainFrame::OnPoligonExcel() {
  CVelmiraView* view = GetPairView();
  if (!view) return;
  if (view->GetDataRowCount() < 1) return ShowMessage(kNoPairs, MessageIcon::Warning);
  CVelmiraDoc& doc = GetDocument();
  const std::vector<int> pairNos = view->CheckedPairNumbers();
  const Result<std::vector<ZoneRows>> zones = PolygonFormZones(doc, pairNos);
  if (!zones) return ShowMessage(zones.status().cause(), MessageIcon::Warning);
  if (zones->empty()) return ShowMessage(kNothingTicked, MessageIcon::Warning);
  ExportForm(WorkbookKind::Polygon, zones.value(), [&](const std::string* meridian, const std::filesystem::path& path) {
    return m_writers.polygon(doc, meridian ? PairsInZone(doc, pairNos, *meridian) : pairNos, path);
  });
}

void CMainFrame::ExportForm(WorkbookKind kind, const std::vector<ZoneRows>& zones, const ZoneFormWriter& write) {
  const bool separate = zones.size() > 1;
  if (separate && !AskSeparateZoneForms(kind, zones)) return;
  const std::optional<std::filesystem::path> chosen = m_pDialogs->ChooseWorkbookPath(this, kind);
  if (!chosen) return;
  std::vector<WrittenForm> written;
  for (const ZoneRows& zone : zones) {
    const std::filesystem::path path = separate ? ZoneFormPath(*chosen, zone.meridian) : *chosen;
    const Status saved = write(separate ? &zone.meridian : nullptr, path);
    if (!saved) {
      ShowMessage(saved.cause(), MessageIcon::Warning);
      break;
    }
    written.push_back({path, zone});
  }
  if (!written.empty()) ReportWrittenForms(kind, written);
}

bool CMainFrame::AskSeparateZoneForms(WorkbookKind kind, const std::vector<ZoneRows>& zones) {
  QString text = QStringLiteral("Seçili satırlar farklı dilimlerde:\n");
  for (const ZoneRows& zone : zones) {
    text += QString::fromStdString("TM" + zone.meridian + ": " + RowsText(kind, zone) + "\n");
  }
  text += QStringLiteral("\nBir form tek bir dilim için yazılır.");
  QMessageBox box(QMessageBox::Question, QStringLiteral("Velmira"), text, QMessageBox::NoButton, this);
  QPushButton* separate = box.addButton(QStringLiteral("Her dilim için ayrı form"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
  box.setDefaultButton(separate);
  FitToText(box);
  box.exec();
  return box.clickedButton() == separate;
}

void CMainFrame::ReportWrittenForms(WorkbookKind kind, const std::vector<WrittenForm>& written) {
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
  statusBar()->showMessage(QString::fromStdString(status), kStatusMs);
  ShowMessage(text, MessageIcon::Information);
}
