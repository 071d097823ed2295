// The file operations that differ between systems, tried the same way on each: Turkish
// names through UTF-8, replacing a file in one step, files made only when new, and the
// cache folder's place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/Files.h"
#include "platform/WorkFolder.h"
#include "support/Portable.h"

namespace fs = std::filesystem;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() : m_dir(support::MakeTempFolder("velmira-files-")) {}
  ~FilesTest() override { fs::remove_all(m_dir); }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path m_dir;
};

// A name that the ANSI code page of most systems cannot hold (ğ, ş, ı) must reach the
// disk and come back letter for letter.
TEST_F(FilesTest, TurkishNamesReachTheDiskAndComeBackAsUtf8) {
  for (const char* name : {"parsel-ğüşıöç.tsj", "İş Ölçüleri", "ĞÜŞİÖÇ ğüşıöç.xls"}) {
    const fs::path path = m_dir / PathFromUtf8(name);
    EXPECT_EQ(name, PathToUtf8(path.filename()));
    std::FILE* f = CreateNewFile(path);
    ASSERT_NE(nullptr, f) << name;
    std::fclose(f);
    bool listed = false;
    for (const auto& entry : fs::directory_iterator(m_dir)) listed |= PathToUtf8(entry.path().filename()) == name;
    EXPECT_TRUE(listed) << name;
  }
}

TEST_F(FilesTest, ANewFileIsNeverOneThatExists) {
  const fs::path path = m_dir / "form.xls";
  std::ofstream(path, std::ios::binary) << "earlier";
  errno = 0;
  EXPECT_EQ(nullptr, CreateNewFile(path));
  EXPECT_EQ(EEXIST, errno);
  EXPECT_EQ("earlier", Read(path));
}

// Written in binary: a "\n" stays one byte on Windows too, and a synced file is whole.
TEST_F(FilesTest, ANewFileTakesBytesAsTheyAreAndSyncs) {
  const fs::path path = m_dir / "liste.ncn";
  std::FILE* f = CreateNewFile(path);
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(4u, std::fwrite("a\nb\n", 1, 4, f));
  EXPECT_TRUE(SyncFile(f));
  std::fclose(f);
  EXPECT_EQ("a\nb\n", Read(path));
}

TEST_F(FilesTest, ReplacingPutsTheNewFileInPlaceOfTheOldOne) {
  const fs::path target = m_dir / PathFromUtf8("kesinpol-ğ.txt");
  for (const char* content : {"first", "second"}) {  // a new target, then an existing one
    const fs::path temporary = m_dir / ".kesinpol.tmp";
    std::ofstream(temporary, std::ios::binary) << content;
    ASSERT_TRUE(ReplaceWith(temporary, target).ok()) << content;
    EXPECT_EQ(content, Read(target));
    EXPECT_FALSE(fs::exists(temporary));
  }
}

TEST_F(FilesTest, AFailedReplaceIsReportedAndKeepsTheTarget) {
  const fs::path target = m_dir / "form.xls";
  std::ofstream(target, std::ios::binary) << "earlier";
  const Status replaced = ReplaceWith(m_dir / "missing.tmp", target);
  EXPECT_FALSE(replaced.ok());
  EXPECT_FALSE(replaced.cause().empty());
  EXPECT_EQ("earlier", Read(target));
}

#ifdef _WIN32
// A workbook that Excel holds open (no sharing) cannot be replaced; the user is told
// why in words they can act on, not as "access denied".
TEST_F(FilesTest, AWorkbookOpenInAnotherProgramIsNamedSo) {
  const fs::path target = m_dir / "form.xls";
  const fs::path temporary = m_dir / "form.tmp";
  std::ofstream(target, std::ios::binary) << "earlier";
  std::ofstream(temporary, std::ios::binary) << "new";
  HANDLE held = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  const Status replaced = ReplaceWith(temporary, target);
  CloseHandle(held);
  ASSERT_FALSE(replaced.ok());
  EXPECT_EQ("Dosya başka bir programda açık.", replaced.cause());
  EXPECT_EQ("earlier", Read(target));
}
#endif

// A work folder that is gone leaves nothing behind, on Windows too, where an open lock
// file cannot be removed.
TEST_F(FilesTest, AWorkFolderGoesWithItsOwner) {
  const fs::path root = m_dir / PathFromUtf8("önbellek");
  fs::path made;
  {
    Result<std::unique_ptr<WorkFolder>> work = WorkFolder::Create(root);
    ASSERT_TRUE(work.ok()) << work.status().cause();
    made = work.value()->path();
    EXPECT_TRUE(fs::is_directory(made));
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_TRUE(fs::is_empty(root));
}

TEST(UserCacheFolder, FollowsTheUsersOwnCacheSetting) {
#ifdef _WIN32
  const char* variable = "LOCALAPPDATA";
  const fs::path base = PathFromUtf8("C:\\Users\\Gülşen\\AppData\\Local");
  const fs::path expected = base / "Velmira";
  ASSERT_EQ(0, _wputenv_s(L"LOCALAPPDATA", base.c_str()));
#else
  const char* variable = "XDG_CACHE_HOME";
  const fs::path base = "/home/gülşen/.cache";
  const fs::path expected = base / "velmira";
  ASSERT_EQ(0, setenv(variable, base.c_str(), 1));
#endif
  EXPECT_EQ(expected, UserCacheFolder()) << variable;
}

}  // namespace
