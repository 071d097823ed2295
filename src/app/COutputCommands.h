#pragma once
// The main window's commands that write files: the two form exports, the delivery folder
// and the picture shown. Everything that can refuse a form or a delivery is settled before
// the user is asked for a file name.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/FormZones.h"
#include "platform/Result.h"
#include "tables/FileDialogs.h"
#include "tables/FormWriters.h"

class CViewLinks;
class JobSession;
class QMainWindow;
struct DeliveryResult;

class COutputCommands {
 public:
  COutputCommands(QMainWindow& window, JobSession& session, const CViewLinks& links);

  void SetFileDialogs(std::unique_ptr<CFileDialogs> dialogs) { m_pDialogs = std::move(dialogs); }
  CFileDialogs& FileDialogs() const { return *m_pDialogs; }
  void SetFormWriters(CFormWriters writers) { m_writers = std::move(writers); }
  void SetFolderOpener(std::function<void(const std::filesystem::path&)> opener) { m_openFolder = std::move(opener); }

  void DetayExcel();
  void PoligonExcel();
  void TeslimKlasoru();
  void ResimKaydet();

 private:
  // One form per zone of the ticked rows, after asking when there are several, and in
  // parts when a zone's rows do not fit one sheet, after asking that too; write gets the
  // zone (nothing for a single-zone form in one part), the part (nothing for a whole
  // form) and the file to write.
  using ZoneFormWriter =
      std::function<Status(const std::string* meridian, const FormPart* part, const std::filesystem::path& path)>;
  void ExportForm(WorkbookKind kind, const std::vector<ZoneRows>& zones, const ZoneFormWriter& write);
  bool AskSeparateZoneForms(WorkbookKind kind, const std::vector<ZoneRows>& zones);
  bool AskSplitForms(WorkbookKind kind, const std::vector<ZoneRows>& zones);
  struct WrittenForm {
    std::filesystem::path path;
    ZoneRows zone;
  };
  void ReportWrittenForms(WorkbookKind kind, const std::vector<WrittenForm>& written);
  std::optional<std::filesystem::path> DeliveryTarget(const std::filesystem::path& chosen);
  void ReportDelivery(const DeliveryResult& result, bool madeInside);
  void Warn(const std::string& text) const;
  void ShowStatus(const std::string& text) const;

  QMainWindow& m_window;
  JobSession& m_session;
  const CViewLinks& m_links;
  std::unique_ptr<CFileDialogs> m_pDialogs;
  CFormWriters m_writers;
  std::function<void(const std::filesystem::path&)> m_openFolder;
};
