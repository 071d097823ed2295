// velmira: the desktop program.
//
// Hidden for demonstrations and screenshots: when the environment variable
// VELMIRA_START_JOB names a job file, it is added at start-up as if chosen in the open
// dialogue, its points are listed and its sessions matched; VELMIRA_START_TAB ("harita",
// "kontrol" or "farklar") opens that tab.
#include <QApplication>
#include <QFileInfo>

#include "app/CVelmiraApp.h"
#include "platform/Interrupts.h"
#include "tables/FileDialogs.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A session's logout or a kill must not leave the job copies behind.
  InstallInterruptCleanup();
  CVelmiraApp app;
  if (!app.InitInstance()) return 1;

  // A document path on the command line gives the window its title; it holds no job data.
  const QStringList arguments = QApplication::arguments();
  for (int i = 1; i < arguments.size(); ++i) {
    if (!arguments[i].startsWith(QLatin1Char('-')) && QFileInfo(arguments[i]).isFile()) {
      app.GetMainFrame()->SetDocumentTitle(QFileInfo(arguments[i]).fileName());
      break;
    }
  }
  const QByteArray startJob = qgetenv("VELMIRA_START_JOB");
  if (!startJob.isEmpty()) app.GetMainFrame()->LoadJobAtStart(PathFromQString(QString::fromLocal8Bit(startJob)));
  const QByteArray startTab = qgetenv("VELMIRA_START_TAB");
  if (!startTab.isEmpty()) app.GetMainFrame()->ShowTab(QString::fromUtf8(startTab));
  return application.exec();
}
