// Builds and saves detail-form workbooks (two merged header rows, 12 columns of mostly
// unique texts) and prints median times and peak memory. Each run is a separate child
// process so that its peak resident size is its own.
//
//   bench_xls_save [runs] [keep-dir]     (runs default 7)
//
// With keep-dir, the last workbook of each size is kept there as form-<rows>.xls, so that
// a change to the writer can be checked to write the very same bytes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "xls/XlsFormatManager.h"
#include "xls/XlsWorkbook.h"

namespace {

const char16_t* const kHeader[] = {
    u"NOKTA NO", u"OKUMA ZAMANI(UTC)", u"EPOK SAYISI", u"VERİ TOPLAMA ARALIĞI (sn)",
    u"UYDU SAYISI (GPS/GLO)", u"RMS (m)", u"PDOP", u"TAMSAYI BELİRSİZLİK ÇÖZÜM DURUMU",
    u"Mountpoint (VRS,FKP,MAC) TUSAGA-Aktif Sistemi Yayın Bağlantı Noktası"};
const char* const kMountpoints[] = {"RTK", "VRSRTCM31", "VRSCMRP", "FKPRTCM31", "MACRTCM31"};
const std::uint16_t kWidths[12] = {3000, 3437, 1426, 1682, 2450, 1499, 1755, 2011, 2011, 3035, 3035, 3072};

// ASCII to UTF-16 without an allocation per cell; the view lives until the next call.
std::u16string_view Ascii(const char* s) {
  static char16_t out[96];
  std::size_t n = 0;
  for (; *s != 0; ++s) out[n++] = static_cast<unsigned char>(*s);
  return {out, n};
}

struct Timing {
  double buildSeconds;
  double saveSeconds;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The detail form as the export lays it out: header, then one text row per point.
Timing BuildAndSave(int dataRows, const std::filesystem::path& path) {
  auto start = std::chrono::steady_clock::now();
  XlsWorkbook book;
  book.New();
  XlsWorksheet& sheet = book.GetWorksheet(0);
  {
    XlsFormatManager formats(book);
    std::vector<XlsCellFormat> styles;
    for (std::uint16_t height : {120, 160, 200}) {
      XlsFont font;
      font.height = height;
      XlsCellFormat f(formats);
      f.SetFontIndex(formats.GetFontIndex(font));
      f.SetAlignment(0x28);
      styles.push_back(f);
    }
    for (std::uint32_t c = 0; c < 9; ++c) {
      XlsCell cell = sheet.Cell(0, c);
      cell.SetText(kHeader[c]);
      cell.SetXFIndex(styles[c % 3].GetXFIndex());
      cell.SetMergedRows(2);
    }
    XlsCell coordinates = sheet.Cell(0, 9);
    coordinates.SetText(u"KOORDİNAT (ITRF_33_3)");
    coordinates.SetXFIndex(styles[2].GetXFIndex());
    coordinates.SetMergedColumns(3);
    const char16_t* below[] = {u"SAĞA DEĞER (y) (m)", u"YUKARI DEĞER (x) (m)", u"ELİPSOİT YÜKSEKLİĞİ (h) (m)"};
    for (std::uint32_t c = 0; c < 3; ++c) {
      sheet.Cell(1, 9 + c).SetText(below[c]);
      sheet.Cell(1, 9 + c).SetXFIndex(styles[2].GetXFIndex());
    }
    for (std::uint16_t c = 0; c < 12; ++c) sheet.SetColWidth(c, kWidths[c]);
  }
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xFFFFF;
  };
  // Numbers are formatted with std::to_chars, as the form code does.
  char16_t buf[64];
  std::size_t n = 0;
  auto put = [&](char c) { buf[n++] = static_cast<unsigned char>(c); };
  auto num = [&](auto value, int width = 0) {
    char digits[32];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto pad = end - digits; pad < width; ++pad) put('0');
    for (char* p = digits; p != end; ++p) put(*p);
  };
  auto fixed = [&](double value) {
    char digits[48];
    char* end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3).ptr;
    for (char* p = digits; p != end; ++p) put(*p);
  };
  auto text = [&] { return std::u16string_view(buf, n); };
  for (int i = 0; i < dataRows; ++i) {
    auto r = static_cast<std::uint32_t>(2 + i);
    n = 0;
    buf[n++] = u'Ş';
    put('P');
    num(i + 1, 5);
    sheet.Cell(r, 0).SetText(text());
    n = 0;
    num(1 + i / 2400 % 28);
    put('.');
    num(1 + i / 67200 % 12);
    put('.');
    num(2023);
    put(' ');
    num(i / 60 % 24);
    put(':');
    num(i % 60);
    sheet.Cell(r, 1).SetText(text());
    n = 0;
    num(5 + next() % 300);
    sheet.Cell(r, 2).SetText(text());
    sheet.Cell(r, 3).SetText(u"1");
    n = 0;
    // Drawn in the order the former snprintf call happened to evaluate its arguments,
    // so the workbook stays the one the recorded hashes describe.
    unsigned glonass = next() % 9;
    num(5 + next() % 8);
    put('/');
    num(glonass);
    sheet.Cell(r, 4).SetText(text());
    n = 0;
    fixed((next() % 100) / 1000.0);
    sheet.Cell(r, 5).SetText(text());
    n = 0;
    fixed(1 + (next() % 3000) / 1000.0);
    sheet.Cell(r, 6).SetText(text());
    sheet.Cell(r, 7).SetText(next() % 10 ? u"Fixed" : u"Sabit çözüm");
    sheet.Cell(r, 8).SetText(Ascii(kMountpoints[next() % 5]));
    n = 0;
    fixed(400000 + next() / 7.0 + i);
    sheet.Cell(r, 9).SetText(text());
    n = 0;
    fixed(4400000 + next() / 3.0 + i);
    sheet.Cell(r, 10).SetText(text());
    n = 0;
    fixed(100 + (next() % 200000) / 1000.0);
    sheet.Cell(r, 11).SetText(text());
  }
  auto built = std::chrono::steady_clock::now();
  if (!book.SaveAs(path)) {
    std::fprintf(stderr, "save failed: %s\n", path.c_str());
    std::exit(2);
  }
  book.Close();
  auto saved = std::chrono::steady_clock::now();
  return {std::chrono::duration<double>(built - start).count(),
          std::chrono::duration<double>(saved - built).count()};
}

struct Run {
  Timing timing;
  long peakKiB;
  double cpuSeconds;
};

Run RunInChild(int dataRows, const std::filesystem::path& path) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(3);
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    Timing t = BuildAndSave(dataRows, path);
    if (write(fds[1], &t, sizeof t) != static_cast<ssize_t>(sizeof t)) _exit(4);
    _exit(0);
  }
  close(fds[1]);
  Run run{};
  if (read(fds[0], &run.timing, sizeof run.timing) != static_cast<ssize_t>(sizeof run.timing)) std::exit(5);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(6);
  run.peakKiB = usage.ru_maxrss;
  run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return run;
}

template <class T>
T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  std::filesystem::path keep = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::path();
  std::filesystem::path dir = std::filesystem::current_path() / ("bench-xls-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  for (int rows : {1000, 65534}) {
    std::vector<double> total, build, save, cpu;
    std::vector<long> peak;
    for (int i = 0; i < runs; ++i) {
      Run r = RunInChild(rows, dir / "form.xls");
      build.push_back(r.timing.buildSeconds);
      save.push_back(r.timing.saveSeconds);
      total.push_back(r.timing.buildSeconds + r.timing.saveSeconds);
      peak.push_back(r.peakKiB);
      cpu.push_back(r.cpuSeconds);
    }
    auto size = std::filesystem::file_size(dir / "form.xls");
    std::printf("%6d data rows x 12 columns: median %.1f ms wall (build %.1f ms, SaveAs %.1f ms), "
                "%.1f ms CPU, peak RSS %.1f MiB, file %.1f MiB, %d runs\n",
                rows, 1000 * Median(total), 1000 * Median(build), 1000 * Median(save), 1000 * Median(cpu),
                Median(peak) / 1024.0, static_cast<double>(size) / (1024.0 * 1024.0), runs);
    if (!keep.empty()) {
      std::filesystem::create_directories(keep);
      std::filesystem::copy_file(dir / "form.xls", keep / ("form-" + std::to_string(rows) + ".xls"),
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  std::filesystem::remove_all(dir);
  return 0;
}
