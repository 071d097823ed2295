#pragma once
// Start-up: the splash screen for at least the splash time while the event loop runs,
// then the main window (maximised, or as the last run left it), painted, and the splash
// screen closed.
#include <memory>

#include "app/CMainFrame.h"
#include "app/CSplashWnd.h"

// Installs Qt's own Turkish texts for the standard dialogues and buttons; false when
// they are not installed (the dialogues then speak English). Later calls do nothing.
bool LoadTurkishTranslations();

class CVelmiraApp {
 public:
  static constexpr int kSplashMs = 2000;

  explicit CVelmiraApp(int nSplashMs = kSplashMs) : m_nSplashMs(nSplashMs) {}

  // False ends the program. The main window then lives until the application is about
  // to quit, or as long as this object.
  bool InitInstance();
  // Closes the main window and its document, whose working folder goes with it.
  void ExitInstance();
  CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
  CSplashWnd* GetSplashWnd() const { return m_pSplash.get(); }

 private:
  int m_nSplashMs;
  std::unique_ptr<CSplashWnd> m_pSplash;
  std::unique_ptr<CMainFrame> m_pFrame;
};
