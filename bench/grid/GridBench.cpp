// Fills, sorts and repaints a 100,000 x 20 table and measures its memory; prints medians.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/GridCtrl.h"
#include "text/Numbers.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 20;
constexpr int kRuns = 5;

long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
  }
  return 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Fill(CGridCtrl& grid, std::mt19937& rng) {
  grid.SetColumnCount(kCols);
  grid.SetFixedRowCount(1);
  grid.SetRowCount(kRows + 1);
  for (int c = 0; c < kCols; ++c) grid.SetItemText(0, c, QStringLiteral("Sütun %1").arg(c));
  for (int r = 1; r <= kRows; ++r) {
    grid.SetCellCheck(r, 0);
    grid.SetItemText8(r, 0, "N" + std::to_string(rng() % 100000));
    for (int c = 1; c < kCols; ++c) {
      grid.SetItemText8(r, c, text::FormatFixed(static_cast<double>(rng() % 10000000) / 1000.0, 4));
    }
  }
  grid.SetColumnWidth(18, 0);
  grid.SetColumnWidth(19, 0);
  grid.AutoSize();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::mt19937 rng(1);
  std::vector<double> fill, sort, paintTop, paintBottom, memory;
  for (int run = 0; run < kRuns; ++run) {
    const long rss0 = RssKb();
    auto grid = std::make_unique<CGridCtrl>();
    grid->resize(1200, 800);
    QElapsedTimer t;
    t.start();
    Fill(*grid, rng);
    fill.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    // Freed memory is reused by later runs, so only the first run's growth counts.
    if (run == 0) memory.push_back(static_cast<double>(RssKb() - rss0) * 1024.0 / (kRows * kCols));

    t.restart();
    grid->SortItems(1, true);
    sort.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);

    QImage image(grid->size(), QImage::Format_ARGB32_Premultiplied);
    grid->render(&image);  // warm the font caches
    t.restart();
    grid->render(&image);
    paintTop.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    grid->EnsureVisible({kRows, 5});
    t.restart();
    grid->render(&image);
    paintBottom.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::printf("table of %d rows x %d columns, %d runs, medians\n", kRows, kCols, kRuns);
  std::printf("fill (counts, check cells, texts, hide 2 columns, auto-size): %8.1f ms\n", Median(fill));
  std::printf("sort by a text column:                                         %8.1f ms\n", Median(sort));
  std::printf("repaint of the visible part, top:                              %8.2f ms\n", Median(paintTop));
  std::printf("repaint of the visible part, bottom:                           %8.2f ms\n", Median(paintBottom));
  std::printf("memory per cell (RSS growth, first run):                       %8.0f bytes\n", Median(memory));
  return 0;
}
