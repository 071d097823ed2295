#pragma once
// The base of the main window's tests: every test starts as a fresh user, with a window on
// a folder of its own, scripted file dialogues, and an answerer for every modal window; a
// modal window that the test did not expect fails it.
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "MakeJob.h"
#include "TestSupport.h"
#include "app/CMainFrame.h"

class FrameTest : public QObject {
 protected:
  void StartFrame() {
    QSettings().clear();  // criteria and profiles are remembered
    dir = std::make_unique<QTemporaryDir>();
    root = std::filesystem::path(dir->path().toStdString()).make_preferred();  // as the file dialogues give it
    frame = std::make_unique<CMainFrame>(root / "cache");
    auto scripted = std::make_unique<ScriptedFileDialogs>();
    dialogs = scripted.get();
    frame->SetFileDialogs(std::move(scripted));
    frame->SetFolderOpener([this](const std::filesystem::path& folder) { opened.push_back(folder); });
    answerer = std::make_unique<ModalAnswerer>();
  }

  void EndFrame() {
    if (answerer) QVERIFY2(answerer->Unexpected().isEmpty(), qPrintable(answerer->Unexpected().join('|')));
    answerer.reset();
    frame.reset();
    dir.reset();
    opened.clear();
    QSettings().clear();
  }

  // A generated job added as the open command adds it; an RTK job or one with float
  // solutions tells so in a message first.
  void AddJob(const std::string& name, const QStringList& args, bool toldFirst = true) {
    QVERIFY(MakeJob(root / name, args));
    if (toldFirst) answerer->ExpectMessage();
    QVERIFY(frame->GetDocument().AddJobFile(root / name));
    while (!answerer->Done()) QTest::qWait(5);
  }

  std::unique_ptr<QTemporaryDir> dir;
  std::filesystem::path root;
  std::unique_ptr<CMainFrame> frame;
  ScriptedFileDialogs* dialogs = nullptr;
  std::unique_ptr<ModalAnswerer> answerer;
  std::vector<std::filesystem::path> opened;  // by "Klasörü Aç"
};
