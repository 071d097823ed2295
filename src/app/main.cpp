// velmira: the desktop program.
//
// Hidden for demonstrations and screenshots: when the environment variable
// VELMIRA_START_JOB names a job file, it is added at start-up as if chosen in the open
// dialogue, its points are listed and its sessions matched; VELMIRA_START_TAB ("harita",
// "kontrol" or "farklar") opens that tab.
#include <QApplication>

#include "app/CVelmiraApp.h"
#include "platform/Interrupts.h"
#include "tables/FileDialogs.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A session's logout or a kill must not leave the job copies behind.
  InstallInterruptCleanup();
  CVelmiraApp app;
  if (!app.InitInstance()) return 1;

  // The job files a file manager's "Open with" passes (Exec=velmira %F), or a shell.
  app.GetMainFrame()->LoadJobsFromCommandLine(QApplication::arguments().mid(1));
  const QByteArray startJob = qgetenv("VELMIRA_START_JOB");
  if (!startJob.isEmpty()) app.GetMainFrame()->LoadJobAtStart(PathFromQString(QString::fromLocal8Bit(startJob)));
  const QByteArray startTab = qgetenv("VELMIRA_START_TAB");
  if (!startTab.isEmpty()) app.GetMainFrame()->ShowTab(QString::fromUtf8(startTab));
  return application.exec();
}
