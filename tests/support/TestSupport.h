#pragma once
// Helpers of the widget tests: a recording document shell, scripted file dialogues, and
// an answerer that handles modal dialogues and message boxes as they open.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

#include "jobdata/CDocShell.h"
#include "tables/FileDialogs.h"

// A shell for views tested without the main frame: records what the views ask of it.
struct RecordingShell : CDocShell {
  std::vector<int> shownFiles;
  int cleared = 0;
  std::optional<std::filesystem::path> ChooseJobFile() override { return std::nullopt; }
  void ShowMessage(std::string_view, MessageIcon) override {}
  std::optional<std::string> AskMeridian() override { return std::nullopt; }
  std::optional<std::string> AskMountpoint(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> AskMethod(std::string_view) override { return std::nullopt; }
  bool AskSettings(CMatchCriteria&) override { return false; }
  void JobFilesChanged() override {}
  void ShowFilePoints(int n) override { shownFiles.push_back(n); }
  void ClearPointTables() override { ++cleared; }
  void PairsChanged() override {}
};

// File dialogues answered from queues; an empty queue answers Cancel.
struct ScriptedFileDialogs : CFileDialogs {
  std::deque<std::filesystem::path> jobFiles;
  std::deque<std::filesystem::path> workbooks;
  std::vector<WorkbookKind> workbookKinds;  // of every save dialogue asked for
  int jobFileAsks = 0;
  int workbookAsks = 0;
  std::optional<std::filesystem::path> ChooseJobFile(QWidget*) override {
    ++jobFileAsks;
    return Take(jobFiles);
  }
  std::optional<std::filesystem::path> ChooseWorkbookPath(QWidget*, WorkbookKind kind) override {
    ++workbookAsks;
    workbookKinds.push_back(kind);
    return Take(workbooks);
  }
  std::deque<std::filesystem::path> pictures;
  int pictureAsks = 0;
  std::optional<std::filesystem::path> ChoosePicturePath(QWidget*) override {
    ++pictureAsks;
    return Take(pictures);
  }
  std::deque<std::filesystem::path> deliveryFolders;
  int deliveryAsks = 0;
  std::optional<std::filesystem::path> ChooseDeliveryFolder(QWidget*) override {
    ++deliveryAsks;
    return Take(deliveryFolders);
  }
  static std::optional<std::filesystem::path> Take(std::deque<std::filesystem::path>& queue) {
    if (queue.empty()) return std::nullopt;
    auto path = queue.front();
    queue.pop_front();
    return path;
  }
};

// Answers modal windows in the order they open. Each handler gets the window and must
// close it (or open the next one). A modal window nobody expected is recorded and
// rejected, so that a test fails instead of hanging.
class ModalAnswerer : public QObject {
 public:
  using Handler = std::function<void(QWidget*)>;

  ModalAnswerer() {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
    m_timer.start(5);
  }
  void Expect(Handler handler) { m_handlers.push_back(std::move(handler)); }
  // A message box: records its caption, text and icon, presses OK.
  void ExpectMessage() {
    Expect([this](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box) {
        m_unexpected << QStringLiteral("not a message box: ") + w->windowTitle();
        w->close();
        return;
      }
      m_messages.push_back({box->windowTitle(), box->text(), box->icon()});
      box->accept();
    });
  }
  bool Done() const { return m_handlers.empty(); }
  const QStringList& Unexpected() const { return m_unexpected; }
  struct Message {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
  };
  const std::vector<Message>& Messages() const { return m_messages; }

 private:
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    if (m_handlers.empty()) {
      m_unexpected << w->windowTitle() + QStringLiteral(": ") +
                          (qobject_cast<QMessageBox*>(w) ? qobject_cast<QMessageBox*>(w)->text() : QString());
      if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->reject();
      return;
    }
    if (m_bScheduled) return;
    // A timer does not fire again while its own slot runs, so a handler that opens a
    // nested modal window must run outside this slot.
    m_bScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QWidget>(w)] {
          m_bScheduled = false;
          if (!target) return;
          Handler handler = std::move(m_handlers.front());
          m_handlers.pop_front();
          handler(target);
        },
        Qt::QueuedConnection);
  }

  bool m_bScheduled = false;

  QTimer m_timer;
  std::deque<Handler> m_handlers;
  QStringList m_unexpected;
  std::vector<Message> m_messages;
};
