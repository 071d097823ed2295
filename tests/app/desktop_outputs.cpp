// velmira-desktop-outputs OUT-FOLDER JOB.tsj...
//
// Writes what a surveyor writes with the desktop program's own commands: the detail
// form of every point of the first job, "Poligon Eşleştir", the polygon form of every
// pair and the delivery folder, into OUT-FOLDER. scripts/windows-compare.sh runs it from
// the Linux and the Windows build and compares the two folders byte for byte. Every
// message box is answered with its default button and printed on standard error.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "TestSupport.h"
#include "app/CMainFrame.h"
#include "app/Commands.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CVelmiraView.h"
#include "tables/FileDialogs.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) {
    std::fputs("usage: velmira-desktop-outputs OUT-FOLDER JOB.tsj...\n", stderr);
    return 2;
  }
  const fs::path out = PathFromQString(args[1]);
  std::error_code ec;
  fs::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "%s: %s\n", args[1].toUtf8().constData(), ec.message().c_str());
    return 1;
  }
  QTemporaryDir cache;
  CMainFrame frame(PathFromQString(cache.path()));
  auto scripted = std::make_unique<ScriptedFileDialogs>();
  scripted->workbooks = {out / u8"detay-ğüşıöç.xls", out / u8"poligon-ş.xls"};
  scripted->deliveryFolders = {out / u8"teslim-İş"};
  frame.SetFileDialogs(std::move(scripted));
  frame.SetFolderOpener([](const fs::path&) {});

  int messages = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    std::fprintf(stderr, "%s\n", box->text().toUtf8().constData());
    ++messages;
    if (QPushButton* button = box->defaultButton()) {
      button->click();
    } else {
      box->accept();
    }
  });
  answer.start(5);

  for (qsizetype i = 2; i < args.size(); ++i) {
    if (!frame.GetDocument().AddJobFile(PathFromQString(args[i]))) return 1;
  }
  frame.GetDocument().ShowFilePoints(1);
  frame.GetPointView()->SetAllChecks(true);
  frame.GetAction(ID_DETAY_EXCEL)->trigger();
  frame.GetAction(ID_POLIGON_ESLESTIR)->trigger();
  frame.GetPairView()->SetAllChecks(true);
  frame.GetAction(ID_POLIGON_EXCEL)->trigger();
  frame.GetPairView()->SetAllChecks(false);  // the delivery takes every pair then
  frame.GetAction(ID_TESLIM_KLASORU)->trigger();
  std::fprintf(stderr, "%d messages\n", messages);
  return 0;
}
