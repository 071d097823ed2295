// The map with 100,000 points: building the model, the first paint, a pan and a zoom
// repaint, a click that finds its dot, and the memory the model keeps. Prints medians.
// With --pictures, writes /tmp/map-small.png and /tmp/map-big.png to look at instead.
//
// Run with QT_QPA_PLATFORM=offscreen.
#include <malloc.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "jobdata/CDocShell.h"
#include "text/Cp1254.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "map/MapModel.h"
#include "mapview/CHaritaView.h"

namespace {

struct QuietShell : CDocShell {
  std::optional<std::filesystem::path> ChooseJobFile() override { return std::nullopt; }
  void ShowMessage(std::string_view, MessageIcon) override {}
  std::optional<std::string> AskMeridian() override { return std::nullopt; }
  std::optional<std::string> AskMountpoint(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> AskMethod(std::string_view) override { return std::nullopt; }
  bool AskSettings(CMatchCriteria&) override { return false; }
  void JobFilesChanged() override {}
  void ShowFilePoints(int) override {}
  void ClearPointTables() override {}
  void PairsChanged() override {}
};

struct Job {
  QuietShell shell;
  std::unique_ptr<CVelmiraDoc> doc =
      std::make_unique<CVelmiraDoc>(shell, std::filesystem::temp_directory_path() / "velmira-bench-map-unused");
  std::vector<Finding> findings;
};

// A job as a survey lays it out: points gathered round a few dozen sites (parcels, a
// village) over some kilometres, control points measured twice centimetres apart, a
// few per cent of them out of limits.
void Fill(Job& job, int files, int controlPoints, int detailPoints, double spreadM, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> cm(0, 0.025);
  std::uniform_real_distribution<double> unit(0, 1);
  auto& tsj = CVelmiraDocAccess::TsjList(*job.doc);
  auto& points = CVelmiraDocAccess::NoktaList(*job.doc);
  auto& pairs = CVelmiraDocAccess::EslesenList(*job.doc);
  const char* fileNames[] = {"ADA_112_PARSEL.tsj", "KÖY_MERKEZİ.tsj", "POLİGON_GÜN2.tsj", "YOL_AKS.tsj"};
  for (int f = 1; f <= files; ++f) {
    tsjdosya t;
    t.nFileNumber = f;
    t.strMeridian = "33";
    t.strFileName = f <= 4 ? text::Utf8ToCp1254(fileNames[f - 1]) : "JOB" + std::to_string(f) + ".tsj";
    tsj.push_back(t);
  }
  const int sites = std::max(3, (controlPoints + detailPoints) / 400);
  std::vector<std::pair<double, double>> centres;
  for (int s = 0; s < sites; ++s) centres.emplace_back(480000 + unit(rng) * spreadM, 4420000 + unit(rng) * spreadM * 0.7);
  std::normal_distribution<double> around(0, spreadM / std::sqrt(static_cast<double>(sites)) / 3);
  auto place = [&](CTarvekNokta& p) {
    const auto& c = centres[rng() % centres.size()];
    p.dY = c.first + around(rng);
    p.dX = c.second + around(rng);
    p.dHeight = 850 + unit(rng) * 40;
  };
  int index = 1000;
  auto add = [&](const std::string& name, int file) -> CTarvekNokta& {
    CTarvekNokta p;
    p.strName = text::Utf8ToCp1254(name);
    p.nIndex = index++;
    p.nFileNumber = file;
    p.strMeridian = "33";
    points.push_back(std::move(p));
    return points.back();
  };
  points.reserve(static_cast<std::size_t>(2 * controlPoints + detailPoints));
  int pairNo = 100;
  for (int k = 0; k < controlPoints; ++k) {
    const std::string name = (k % 7 == 0 ? "ÇİFTLİK" : "KN") + std::to_string(k + 1);
    CTarvekNokta& p = add(name, 1 + k % files);
    place(p);
    const CTarvekNokta first = p;
    CTarvekNokta& q = add(name, 1 + (k + 1) % files);
    q.dY = first.dY + cm(rng), q.dX = first.dX + cm(rng), q.dHeight = first.dHeight + cm(rng);
    CEslesenNokta e;
    e.nPairNo = pairNo++;
    e.nIndex1 = first.nIndex, e.nIndex2 = q.nIndex;
    e.strName1 = e.strName2 = first.strName;
    e.dDiffY = std::fabs(q.dY - first.dY), e.dDiffX = std::fabs(q.dX - first.dX);
    pairs.push_back(e);
    if (e.dDiffY > 0.07 || e.dDiffX > 0.07 || unit(rng) < 0.02) {
      Finding f;
      f.target = Finding::Target::Pair;
      f.nIndex = e.nPairNo;
      f.rule = "diff-y";
      job.findings.push_back(f);
    }
  }
  for (int k = 0; k < detailPoints; ++k) {
    CTarvekNokta& p = add("P" + std::to_string(k + 1), 1 + k % files);
    place(p);
    if (unit(rng) < 0.01) {
      Finding f;
      f.target = Finding::Target::Point;
      f.nIndex = p.nIndex;
      f.nFileNumber = p.nFileNumber;
      f.rule = "epochs";
      job.findings.push_back(f);
    }
  }
}

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double MedianOf(int runs, const std::function<void()>& setup, const std::function<void()>& timed) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    setup();
    const auto t0 = Clock::now();
    timed();
    ms.push_back(Ms(Clock::now() - t0));
  }
  return Median(ms);
}

void Key(QWidget& w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
}

void Click(QWidget& w, QPointF at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, w.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w.mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
  QApplication::sendEvent(&w, &release);
}

int Pictures() {
  {
    Job small;
    Fill(small, 3, 60, 220, 3000, 11);
    CHaritaView view;
    view.resize(1000, 720);
    view.Refresh(*small.doc, small.findings);
    view.SetSelectedPoints({1010});
    view.SetTickedPoints({1020, 1021});
    view.RenderImage().save("/tmp/map-small.png");
    // Zoomed on a site so the vectors and names show.
    const auto& d = view.Model().Dots()[*view.Model().DotOfIndex(1000)];
    const auto at = view.Viewport().ToScreen(d.At());
    for (int i = 0; i < 4; ++i) {
      QWheelEvent wheel(QPointF(at.sx, at.sy), view.mapToGlobal(QPointF(at.sx, at.sy)), QPoint(), QPoint(0, 120 * 2),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&view, &wheel);
    }
    view.RenderImage().save("/tmp/map-small-zoomed.png");
  }
  Job big;
  Fill(big, 4, 15000, 70000, 40000, 12);
  CHaritaView view;
  view.resize(1000, 720);
  view.Refresh(*big.doc, big.findings);
  view.RenderImage().save("/tmp/map-big.png");
  std::printf("wrote /tmp/map-small.png, /tmp/map-small-zoomed.png, /tmp/map-big.png\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--pictures") == 0) return Pictures();

  constexpr int kControl = 15000, kDetail = 70000, kRuns = 7;
  Job job;
  Fill(job, 4, kControl, kDetail, 40000, 7);
  const std::size_t n = job.doc->NoktaList().size();
  std::printf("%zu points, %zu pairs, %zu findings\n", n, job.doc->EslesenList().size(), job.findings.size());

  jobmap::MapModel model;
  const double build = MedianOf(kRuns, [&] { model = jobmap::MapModel(); },
                                [&] { model = jobmap::MapModel::Build(*job.doc, job.findings, "33"); });
  malloc_trim(0);
  const std::size_t before = mallinfo2().uordblks;
  auto kept = std::make_unique<jobmap::MapModel>(jobmap::MapModel::Build(*job.doc, job.findings, "33"));
  const std::size_t after = mallinfo2().uordblks;
  const double heapPerPoint = static_cast<double>(after - before) / static_cast<double>(n);
  const double countedPerPoint = static_cast<double>(kept->RetainedBytes()) / static_cast<double>(n);

  std::unique_ptr<CHaritaView> view;
  const double first = MedianOf(kRuns,
                                [&] {
                                  view = std::make_unique<CHaritaView>();
                                  view->resize(1200, 800);
                                  view->show();
                                  QApplication::processEvents();
                                },
                                [&] {
                                  view->Refresh(*job.doc, job.findings);
                                  view->repaint();
                                });
  const double pan = MedianOf(kRuns * 3, [] {}, [&] {
    Key(*view, Qt::Key_Left);
    view->repaint();
  });
  std::vector<double> zooms;
  for (int i = 0; i < kRuns * 3; ++i) {
    const auto t0 = Clock::now();
    Key(*view, i % 2 ? Qt::Key_Minus : Qt::Key_Plus);
    view->repaint();
    zooms.push_back(Ms(Clock::now() - t0));
  }
  // Zoomed in to a quarter of the job, where most repaints happen.
  view->ShowAll();
  view->ZoomIn();
  view->ZoomIn();
  const double panNear = MedianOf(kRuns * 3, [] {}, [&] {
    Key(*view, Qt::Key_Up);
    view->repaint();
  });

  int clicked = 0;
  QObject::connect(view.get(), &CHaritaView::PointClicked, [&](int, int) { ++clicked; });
  view->ShowAll();
  std::mt19937 rng(3);
  const double click = MedianOf(kRuns * 5, [] {}, [&] {
    const auto& d = view->Model().Dots()[rng() % view->Model().Dots().size()];
    const auto at = view->Viewport().ToScreen(d.At());
    Click(*view, QPointF(at.sx, at.sy));
  });

  std::printf("build (MapModel::Build)            %8.2f ms\n", build);
  std::printf("first paint (Refresh + repaint)     %8.2f ms\n", first);
  std::printf("pan repaint, all visible            %8.2f ms\n", pan);
  std::printf("zoom repaint (x2, /2)               %8.2f ms\n", Median(zooms));
  std::printf("pan repaint, zoomed in x4           %8.2f ms\n", panNear);
  std::printf("click to select (Nearest + signal)  %8.3f ms  (%d clicks hit)\n", click, clicked);
  std::printf("retained per point: %.1f bytes counted, %.1f bytes of heap\n", countedPerPoint, heapPerPoint);
  return 0;
}
