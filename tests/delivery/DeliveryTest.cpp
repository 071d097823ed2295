// The delivery folder: which files it holds for which jobs, the names it gives them, and
// that a refused or failed delivery leaves nothing behind.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "DeliveryFixture.h"
#include "delivery/Delivery.h"
#include "forms/FormExport.h"
#include "platform/ProcessLock.h"
#include "support/Portable.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using Names = std::set<std::string>;

class DeliveryTest : public DeliveryFixture {
 protected:
  Result<DeliveryResult> Deliver(const DeliverySelection& selection = {}, const DeliveryProgress& progress = {}) {
    return WriteDelivery(*doc, Profile(), Findings(), selection, out, progress);
  }

  // The folder the delivery goes to, and everything beside it: nothing else may appear.
  Names Beside() const { return Listing(dir.path()); }

  fs::path out = dir / "teslim";
};

#define ASSERT_DELIVERED(result) ASSERT_TRUE((result).ok()) << (result).status().cause()

TEST_F(DeliveryTest, OneJobWithPairsGivesEveryFile) {
  std::vector<JobRow> rows = {Row("D1", 39.1, 33.1, 900)};
  for (const JobRow& r : ControlPoint("KN1", 39.5, 33.2)) rows.push_back(r);
  Add(WriteJob("parsel.tsj", rows));
  Match();
  const auto delivered = Deliver();
  ASSERT_DELIVERED(delivered);
  const Names expected = {"parsel_detay.xls", "poligon.xls", "parsel_kesinpol.txt", "noktalar.ncn",
                          "noktalar.kml", "kontrol.html", "parsel.tsj"};
  EXPECT_EQ(expected, Listing(out));
  EXPECT_EQ(expected.size(), delivered->files.size());
  EXPECT_EQ(ReadBytes(dir / "parsel.tsj"), ReadBytes(out / "parsel.tsj")) << "the field's file, byte for byte";
  EXPECT_TRUE(delivered->verdict.Ready());
}

TEST_F(DeliveryTest, NoPairsMeansNoPolygonFormAndNoFinalCoordinates) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900), Row("D2", 39.2, 33.2, 900)}));
  Match();
  ASSERT_DELIVERED(Deliver());
  EXPECT_EQ((Names{"parsel_detay.xls", "noktalar.ncn", "noktalar.kml", "kontrol.html", "parsel.tsj"}), Listing(out));
}

TEST_F(DeliveryTest, TwoJobsTwoZonesGiveAPolygonFormPerZone) {
  Add(WriteJob("ada.tsj", ControlPoint("KN1", 39.5, 33.2), InZone("33")));
  Add(WriteJob("pafta.tsj", ControlPoint("KN2", 39.6, 30.2), InZone("30")));
  Add(WriteJob("detay.tsj", {Row("D1", 39.1, 33.1, 900)}, InZone("33")));
  Match();
  ASSERT_EQ(2u, doc->EslesenList().size());
  ASSERT_DELIVERED(Deliver());
  const Names expected = {"ada_detay.xls", "pafta_detay.xls", "detay_detay.xls", "poligon_TM33.xls",
                          "poligon_TM30.xls", "ada_kesinpol.txt", "pafta_kesinpol.txt", "noktalar.ncn",
                          "noktalar.kml", "kontrol.html", "ada.tsj", "pafta.tsj", "detay.tsj"};
  EXPECT_EQ(expected, Listing(out));
}

TEST_F(DeliveryTest, APairBelongsToTheJobOfItsFirstSession) {
  const std::vector<JobRow> sessions = ControlPoint("KN1", 39.5, 33.2);
  Add(WriteJob("sabah.tsj", {sessions[0]}));
  Add(WriteJob("ogle.tsj", {sessions[1]}));
  Match();
  ASSERT_DELIVERED(Deliver());
  EXPECT_TRUE(fs::exists(out / "sabah_kesinpol.txt"));
  EXPECT_FALSE(fs::exists(out / "ogle_kesinpol.txt"));
}

TEST_F(DeliveryTest, SameStemsAndReservedNamesGetANumber) {
  Add(WriteJob("a/parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  Add(WriteJob("b/parsel.tsj", {Row("D2", 39.2, 33.2, 900)}));
  Add(WriteJob("c/PARSEL.tsj", {Row("D3", 39.3, 33.3, 900)}));
  Add(WriteJob("d/noktalar.kml", {Row("D4", 39.4, 33.4, 900)}));  // a job file may have any name
  ASSERT_DELIVERED(Deliver());
  const Names expected = {"parsel_detay.xls", "parsel-2_detay.xls", "PARSEL-3_detay.xls", "noktalar-2_detay.xls",
                          "noktalar.ncn", "noktalar.kml", "kontrol.html", "parsel.tsj", "parsel-2.tsj",
                          "PARSEL-3.tsj", "noktalar-2.kml"};
  EXPECT_EQ(expected, Listing(out));
  EXPECT_EQ(ReadBytes(dir / "b/parsel.tsj"), ReadBytes(out / "parsel-2.tsj"));
  EXPECT_EQ(ReadBytes(dir / "d/noktalar.kml"), ReadBytes(out / "noktalar-2.kml"));
}

TEST_F(DeliveryTest, AWriteAheadLogGoesWithItsJob) {
  const fs::path job = dir / "canli.tsj";
  JobFileBuilder::Write(job, {Row("D1", 39.1, 33.1, 900)}, {}, true);
  ASSERT_TRUE(fs::exists(dir / "canli.tsj-wal"));
  Add(job);
  ASSERT_DELIVERED(Deliver());
  EXPECT_EQ(ReadBytes(dir / "canli.tsj-wal"), ReadBytes(out / "canli.tsj-wal"));
}

TEST_F(DeliveryTest, TickedRowsChooseTheFormsButNotTheLists) {
  std::vector<JobRow> rows = {Row("D1", 39.1, 33.1, 900), Row("D2", 39.2, 33.2, 900)};
  for (const JobRow& r : ControlPoint("KN1", 39.5, 33.2)) rows.push_back(r);
  for (const JobRow& r : ControlPoint("KN2", 39.6, 33.2)) rows.push_back(r);
  Add(WriteJob("parsel.tsj", rows));
  Match();
  ASSERT_EQ(2u, doc->EslesenList().size());
  DeliverySelection selection;
  selection.points[1] = {{doc->NoktaList()[1].nIndex, 1}};
  selection.pairNos = std::vector<int>{doc->EslesenList()[1].nPairNo};
  ASSERT_DELIVERED(Deliver(selection));
  const std::string kesinpol = ReadBytes(out / "parsel_kesinpol.txt");
  EXPECT_EQ(1, std::count(kesinpol.begin(), kesinpol.end(), '\n'));
  EXPECT_EQ(0u, kesinpol.find("KN2 "));
  const std::string ncn = ReadBytes(out / "noktalar.ncn");
  EXPECT_EQ(6, std::count(ncn.begin(), ncn.end(), '\n')) << "the point list holds every point";
}

// A pair number no longer in the list (a tick kept from an earlier matching) ended the
// program with an uncaught exception while the job files' pairs were assigned.
TEST_F(DeliveryTest, APairNoLongerMatchedIsLeftOutAsInThePolygonForm) {
  std::vector<JobRow> rows = {Row("D1", 39.1, 33.1, 900)};
  for (const JobRow& r : ControlPoint("KN1", 39.5, 33.2)) rows.push_back(r);
  Add(WriteJob("parsel.tsj", rows));
  Match();
  ASSERT_EQ(1u, doc->EslesenList().size());
  DeliverySelection selection;
  selection.pairNos = std::vector<int>{9999, doc->EslesenList()[0].nPairNo};
  ASSERT_DELIVERED(Deliver(selection));
  const std::string kesinpol = ReadBytes(out / "parsel_kesinpol.txt");
  EXPECT_EQ(1, std::count(kesinpol.begin(), kesinpol.end(), '\n'));
  EXPECT_EQ(0u, kesinpol.find("KN1 "));
}

TEST_F(DeliveryTest, ProgressCountsEveryFile) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  std::vector<std::pair<int, int>> calls;
  ASSERT_DELIVERED(Deliver({}, [&](int done, int total) { calls.emplace_back(done, total); }));
  ASSERT_EQ(5u, calls.size());
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(std::make_pair(static_cast<int>(i) + 1, 5), calls[i]);
}

TEST_F(DeliveryTest, AnUnfitFolderIsRefusedBeforeAnythingIsWritten) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  fs::create_directory(out);
  std::ofstream(out / "eski.txt") << "kept";
  const Names before = Beside();
  const auto full = Deliver();
  ASSERT_FALSE(full.ok());
  EXPECT_NE(std::string::npos, full.status().cause().find("boş değil"));
  out = dir / "parsel.tsj";
  EXPECT_NE(std::string::npos, Deliver().status().cause().find("bir dosyanın"));
  out = dir / "yok" / "teslim";
  EXPECT_NE(std::string::npos, Deliver().status().cause().find("bulunacağı klasör yok"));
#ifndef _WIN32  // Wine makes no symbolic links
  fs::create_symlink("dongu", dir / "dongu");  // used to abort the run after writing everything
  out = dir / "dongu";
  EXPECT_NE(std::string::npos, Deliver().status().cause().find("bağlantı döngüsü"));
  fs::remove(dir / "dongu");
#endif
  EXPECT_EQ(before, Beside());
  EXPECT_EQ("kept", ReadBytes(dir / "teslim" / "eski.txt"));
}

#ifndef _WIN32
// An existing folder is the user's: it used to be replaced by a new one, so a private
// folder came back readable by all, a shared one owned by the caller, and a shell standing
// in it was left in a removed folder. The files follow the umask, as the job copies do.
TEST_F(DeliveryTest, AnEmptyFolderIsFilledInPlaceAndTheFilesFollowTheUmask) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  fs::create_directory(out);
  fs::permissions(out, fs::perms::owner_all, fs::perm_options::replace);
  struct stat before {};
  ASSERT_EQ(0, ::stat(out.c_str(), &before));
  const mode_t umask = ::umask(027);
  const auto delivered = WriteDelivery(*doc, Profile(), Findings(), {}, fs::path(out.string() + "/"));
  ::umask(umask);
  ASSERT_DELIVERED(delivered);
  struct stat after {};
  ASSERT_EQ(0, ::stat(out.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(before.st_mode, after.st_mode);
  EXPECT_EQ(5u, Listing(out).size()) << "no hidden folder is left inside";
  for (const auto& entry : fs::directory_iterator(out)) {
    EXPECT_EQ(fs::perms(0640), entry.status().permissions() & fs::perms::all) << entry.path();
  }
  EXPECT_EQ((Names{"cache", "parsel.tsj", "teslim"}), Beside()) << "nothing is left beside it";
  for (const auto& entry : fs::recursive_directory_iterator(dir / "cache")) {
    if (entry.is_regular_file() && entry.path().filename() != "lock") {
      EXPECT_EQ(fs::perms(0600), entry.status().permissions() & fs::perms::all) << "the working copy stays the user's alone";
    }
  }
}

// A killed delivery left its hidden folder for ever; now the next one into the same place
// removes it, unless its process still runs.
TEST_F(DeliveryTest, WhatAKilledDeliveryLeftIsRemovedByTheNext) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  const auto leftover = [&](const fs::path& folder) {
    fs::create_directories(folder / "yarim");
    std::ofstream(fs::path(folder.string() + ".lock")) << "";  // a lock nobody holds
  };
  leftover(dir / ".teslim.yaziliyor-11");
  fs::create_directory(out);
  leftover(out / ".teslim.yaziliyor-12");  // inside: the folder is empty apart from it
  const fs::path running = dir / ".diger.yaziliyor-13";
  fs::create_directory(running);
  Result<ProcessLock> held = ProcessLock::Hold(fs::path(running.string() + ".lock"));
  ASSERT_TRUE(held.ok());
  ASSERT_DELIVERED(Deliver());
  EXPECT_EQ((Names{".diger.yaziliyor-13", ".diger.yaziliyor-13.lock", "cache", "parsel.tsj", "teslim"}), Beside());
  EXPECT_EQ(5u, Listing(out).size());
}
#endif

TEST_F(DeliveryTest, AFailureHalfwayLeavesNoFolder) {
  Add(WriteJob("parsel.tsj", {Row("D1", 39.1, 33.1, 900)}));
  // The job copy comes last: every other file is written when it fails.
  fs::remove(dir / "parsel.tsj");
  const auto failed = Deliver();
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(std::string::npos, failed.status().cause().find("Teslim klasörü yazılamadı")) << failed.status().cause();
  EXPECT_EQ((Names{"cache"}), Beside());
}

// What xlrd reads of a form: its rows, its header texts and merged ranges, and one column
// of its data rows (texts JSON-quoted).
struct ReadBack {
  int rows = 0;
  std::vector<std::string> head, merges, data;
};

ReadBack ReadColumn(const fs::path& form, int column) {
  const Ran ran = RunCommand(std::string(VELMIRA_PYTHON) + " " + VELMIRA_SOURCE_DIR +
                             "/tests/delivery/read_form_columns.py " + form.string() + " " + std::to_string(column));
  EXPECT_EQ(0, ran.status) << form;
  ReadBack back;
  std::istringstream lines(ran.out);
  for (std::string line; std::getline(lines, line);) {
    const std::string kind = line.substr(0, line.find(' ')), rest = line.substr(kind.size() + 1);
    if (kind == "rows") back.rows = std::stoi(rest);
    if (kind != "rows") (kind == "head" ? back.head : kind == "merge" ? back.merges : back.data).push_back(rest);
  }
  return back;
}

// A job of more points than a sheet has rows was refused only after it had been read and
// matched in full. Its forms are now planned in parts, each with the header of a form
// that fits, its rows in order, every pair within one part. (The final coordinates once
// searched every finding for each pair: this delivery took seconds more.)
TEST_F(DeliveryTest, FormsLongerThanASheetAreDeliveredInWholeParts) {
  VELMIRA_SKIP_ON_WINDOWS("the independent reader (Python's xlrd) is a Linux program here");
  if (RunCommand(std::string(VELMIRA_PYTHON) + " -c 'import xlrd'").status != 0) VELMIRA_ORACLE_MISSING("no xlrd");
  Add(WriteJob("parsel.tsj", ControlPoint("N0", 39.5, 33.2), InZone("33")));
  Match();
  ASSERT_TRUE(WriteDetailForm(*doc, {{doc->NoktaList()[0].nIndex, 1}}, dir / "tek_detay.xls").ok());
  ASSERT_TRUE(WritePolygonForm(*doc, {doc->EslesenList()[0].nPairNo}, dir / "tek_poligon.xls").ok());
  // 65,534 data rows fit below the header: 65,538 points give parts of 65,534 and 4, their
  // 32,769 pairs (two rows each) parts of 32,767 and 2.
  const CTarvekNokta model = doc->NoktaList()[0];
  const CEslesenNokta modelPair = doc->EslesenList()[0];
  CVelmiraDocAccess::NoktaList(*doc).clear();
  CVelmiraDocAccess::EslesenList(*doc).clear();
  std::vector<std::string> names, sessions;  // quoted, as read back
  for (int i = 0; i < 65538; ++i) {
    CTarvekNokta p = model;
    p.nIndex = i + 1;
    p.strName = "N" + std::to_string(i);
    CVelmiraDocAccess::NoktaList(*doc).push_back(p);
    names.push_back('"' + p.strName + '"');
    sessions.push_back(i % 2 ? "\"\"" : names.back());
    if (i % 2 == 0) continue;
    CEslesenNokta pair = modelPair;
    pair.strName1 = "N" + std::to_string(i - 1);
    pair.nPairNo = 100 + i / 2;
    pair.nIndex1 = i;
    pair.nIndex2 = i + 1;
    CVelmiraDocAccess::EslesenList(*doc).push_back(pair);
  }
  const std::vector<std::string> planned = {"parsel_detay_1.xls", "parsel_detay_2.xls", "poligon_1.xls",
                                            "poligon_2.xls",      "parsel_kesinpol.txt", "noktalar.ncn",
                                            "noktalar.kml",       "kontrol.html",        "parsel.tsj"};
  const auto listed = DeliveryFileNames(*doc, {});
  ASSERT_TRUE(listed.ok()) << listed.status().cause();
  EXPECT_EQ(planned, listed.value());
  const auto delivered = Deliver();
  ASSERT_DELIVERED(delivered);
  std::vector<std::string> written;
  for (const DeliveryFile& file : delivered->files) written.push_back(file.name);
  EXPECT_EQ(planned, written);

  struct Part {
    const char* name;
    const char* fits;  // the form of one row, or one pair
    int first, last;    // its rows of names or sessions
    int pairMerges;     // the name and the mean's three columns span a pair's two rows
  };
  for (const Part& part : {Part{"parsel_detay_1.xls", "tek_detay.xls", 0, 65534, 0},
                           Part{"parsel_detay_2.xls", "tek_detay.xls", 65534, 65538, 0},
                           Part{"poligon_1.xls", "tek_poligon.xls", 0, 65534, 4},
                           Part{"poligon_2.xls", "tek_poligon.xls", 65534, 65538, 4}}) {
    SCOPED_TRACE(part.name);
    const ReadBack fits = ReadColumn(dir / part.fits, 0), read = ReadColumn(out / part.name, 0);
    const std::vector<std::string>& expected = part.pairMerges ? sessions : names;
    EXPECT_EQ(fits.head, read.head);
    EXPECT_EQ(2 + part.last - part.first, read.rows);
    EXPECT_TRUE(std::equal(expected.begin() + part.first, expected.begin() + part.last, read.data.begin(), read.data.end()));
    const int merges = static_cast<int>(fits.merges.size()) + part.pairMerges * ((part.last - part.first) / 2 - 1);
    EXPECT_EQ(merges, static_cast<int>(read.merges.size()));
  }
}

// ---- the command line -----------------------------------------------------------------

class DeliverCommand : public DeliveryFixture {
 protected:
  Ran Cli(const std::string& args) {
    return RunCommand("XDG_CACHE_HOME=" + (dir / "cache").string() + " " + VELMIRA_CLI + " " + args + " 2>" +
                      (dir / "stderr.txt").string());
  }
  std::string Err() { return ReadBytes(dir / "stderr.txt"); }
};

TEST_F(DeliverCommand, ExitsAsCheckDoesAndWritesTheFolderEitherWay) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  WriteJob("temiz.tsj", ControlPoint("KN1", 39.5, 33.2));
  std::vector<JobRow> bad = {Row("KN2", 39.5, 33.2, 850), Row("KN2", 39.5, 33.2, 850.5, 7200)};
  WriteJob("hatali.tsj", bad);
  const Ran clean = Cli("deliver --method RTK -o " + (dir / "a").string() + " " + (dir / "temiz.tsj").string());
  EXPECT_EQ(0, clean.status) << Err();
  EXPECT_NE(std::string::npos, Err().find("Teslime hazır: hata yok"));
  EXPECT_NE(std::string::npos, clean.out.find("poligon.xls\n"));
  const Ran broken = Cli("deliver --method RTK -o " + (dir / "b").string() + " " + (dir / "hatali.tsj").string());
  EXPECT_EQ(3, broken.status) << Err();
  EXPECT_NE(std::string::npos, Err().find("1 hata"));
  EXPECT_TRUE(fs::exists(dir / "b" / "kontrol.html"));
}

TEST_F(DeliverCommand, AFullDiskLeavesNoFolder) {
  VELMIRA_SKIP_ON_WINDOWS("runs the programs through a POSIX shell; scripts/windows.sh compares their outputs with the Linux build's");
  if (RunCommand("unshare -rm true 2>/dev/null").status != 0) GTEST_SKIP() << "no user namespaces here";
  std::vector<JobRow> rows;
  for (int i = 0; i < 400; ++i) rows.push_back(Row("P" + std::to_string(i), 39 + i * 0.001, 33.2, 900));
  const fs::path job = WriteJob("buyuk.tsj", rows);
  const fs::path disk = dir / "disk";
  fs::create_directory(disk);
  // A disk of 64 KiB of its own, in a mount namespace of this command only.
  const std::string script = "mount -t tmpfs -o size=64k tmpfs " + disk.string() + " && XDG_CACHE_HOME=" +
                             (dir / "cache").string() + " " + VELMIRA_CLI + " deliver --method RTK -o " +
                             (disk / "teslim").string() + " " + job.string() + " 2>&1; echo \"rc=$?\"; ls -A " +
                             disk.string();
  const Ran ran = RunCommand("unshare -rm sh -c '" + script + "'");
  EXPECT_NE(std::string::npos, ran.out.find("Diskte yer kalmadı")) << ran.out;
  EXPECT_NE(std::string::npos, ran.out.find("rc=1\n")) << ran.out;
  EXPECT_EQ(ran.out.size(), ran.out.find("rc=1\n") + 5) << "nothing is left on the disk: " << ran.out;
}

}  // namespace
