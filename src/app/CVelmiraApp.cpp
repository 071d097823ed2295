#include "app/CVelmiraApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include "app/Artwork.h"

#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

bool LoadTurkishTranslations() {
  // One translator for the whole run: Qt's own texts (file dialogues, standard buttons)
  // in Turkish, whatever the system's language.
  static QPointer<QTranslator> translator;
  if (translator) return true;
  auto* loaded = new QTranslator(QCoreApplication::instance());
  if (!loaded->load(QLocale(QLocale::Turkish, QLocale::Turkey), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete loaded;
    return false;
  }
  QCoreApplication::installTranslator(loaded);
  translator = loaded;
  return true;
}

bool CVelmiraApp::InitInstance() {
  QApplication::setApplicationName(QStringLiteral("Velmira"));
  QApplication::setOrganizationName(QStringLiteral("Velmira"));
  // The installed desktop entry's id: Wayland and the task bars find the icon through it.
  QGuiApplication::setDesktopFileName(QStringLiteral("tr.velmira.Velmira"));
  LoadTurkishTranslations();
  QApplication::setWindowIcon(ApplicationIcon());

  // The splash screen lives on the GUI thread; the wait keeps the event loop running
  // so that it paints and can be dragged.
  m_pSplash = std::make_unique<CSplashWnd>(SplashPicture());
  m_pSplash->ShowCentred();
  // A coarse timer may fire up to 5 % early; the splash screen stays its full time.
  QElapsedTimer shown;
  shown.start();
  for (qint64 left = m_nSplashMs; left > 0; left = m_nSplashMs - shown.elapsed()) {
    QEventLoop wait;
    QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec();
  }

  m_pFrame = std::make_unique<CMainFrame>();
  if (m_pFrame->RestoreGeometry()) {
    m_pFrame->show();
  } else {
    // Without a window manager (a bare X server) maximising does nothing; the screen's
    // free area is the same size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) m_pFrame->setGeometry(screen->availableGeometry());
    m_pFrame->showMaximized();
  }
  QApplication::processEvents();
  m_pFrame->repaint();

  m_pSplash->AllowClose();
  m_pSplash->close();
  // Windows ends a log-off or shut-down with aboutToQuit and then the process, without
  // returning from the event loop: the document's job copies must go now.
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_pFrame.get(), [this] { ExitInstance(); },
                   Qt::DirectConnection);
  return true;
}

void CVelmiraApp::ExitInstance() {
  m_pFrame.reset();
  m_pSplash.reset();
}
