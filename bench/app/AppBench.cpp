// bench_app: times what a user waits for in the main window, each a median of several
// runs on a fresh window:
//   start-up     building the main window until it is shown maximised and painted
//                (the splash screen's fixed 2 s come on top);
//   add + click  adding a 100,000-point job file, then clicking its row until the GPS
//                point table is filled and painted;
//   match        matching those 100,000 observations until the point matching table is
//                filled and painted.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/CMainFrame.h"
#include "app/Commands.h"
#include "tables/CGPSNoktaView.h"
#include "tables/CTSJView.h"
#include "tables/CVelmiraView.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 5;
constexpr int kPoints = 100000;

struct OneFile : CFileDialogs {
  fs::path job;
  std::optional<fs::path> ChooseJobFile(QWidget*) override { return job; }
  std::optional<fs::path> ChooseWorkbookPath(QWidget*, WorkbookKind) override { return std::nullopt; }
  std::optional<fs::path> ChooseDeliveryFolder(QWidget*) override { return std::nullopt; }
  std::optional<fs::path> ChoosePicturePath(QWidget*) override { return std::nullopt; }
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Click(QWidget* target, QPoint point) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, QPointF(point), target->mapToGlobal(QPointF(point)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }
}

std::unique_ptr<CMainFrame> ShownFrame(const fs::path& cache) {
  auto frame = std::make_unique<CMainFrame>(cache);
  frame->showMaximized();
  QApplication::processEvents();
  frame->repaint();
  return frame;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QTemporaryDir dir;
  const fs::path root(dir.path().toStdString());
  const fs::path job = root / "big.tsj";
  QProcess make;
  make.start(QStringLiteral(VELMIRA_MAKE_JOB),
             {"--seed", "7", "--points", QString::number(kPoints), "--method", "network", "--float-fraction", "0",
              QString::fromStdString(job.string())});
  if (!make.waitForFinished(600000) || make.exitCode() != 0) {
    std::fprintf(stderr, "bench_app: the job generator failed\n");
    return 1;
  }

  std::vector<double> startUp, addAndClick, match;
  size_t points = 0, pairs = 0;
  for (int run = 0; run < kRuns; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    auto frame = ShownFrame(root / "cache");
    startUp.push_back(Seconds(t0));

    auto dialogs = std::make_unique<OneFile>();
    dialogs->job = job;
    frame->SetFileDialogs(std::move(dialogs));
    t0 = std::chrono::steady_clock::now();
    frame->GetAction(ID_TSJ_AC)->trigger();
    CGridCtrl* files = frame->GetJobFilesView()->GetGridCtrl();
    Click(files->viewport(), files->GetCellRect(1, 1).center());
    frame->GetPointView()->repaint();
    addAndClick.push_back(Seconds(t0));
    points = static_cast<size_t>(frame->GetPointView()->GetDataRowCount());

    t0 = std::chrono::steady_clock::now();
    frame->GetAction(ID_POLIGON_ESLESTIR)->trigger();
    frame->GetPairView()->repaint();
    match.push_back(Seconds(t0));
    pairs = static_cast<size_t>(frame->GetPairView()->GetDataRowCount());
  }
  std::printf("bench_app: medians of %d runs\n", kRuns);
  std::printf("  start-up to painted main window    %7.3f s (first, cold: %.3f s)\n", Median(startUp), startUp[0]);
  std::printf("  add %zu-point job file + click  %7.3f s\n", points, Median(addAndClick));
  std::printf("  match and fill %zu pairs         %7.3f s\n", pairs, Median(match));
  return 0;
}
