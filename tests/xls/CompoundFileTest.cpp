// Byte-level layout of the compound files we write, checked against [MS-CFB], and
// read back by olefile.
#include <gtest/gtest.h>

#include <numeric>

#include "XlsTestSupport.h"
#include "xls/XlsInternal.h"
#include "support/Portable.h"

using namespace xlstest;

namespace {

constexpr std::uint32_t kEnd = CompoundFile::kEndOfChain;
constexpr std::uint32_t kFree = CompoundFile::kFreeSect;
constexpr std::uint32_t kNone = CompoundFile::kNoStream;

std::size_t SectorOffset(std::uint32_t sector) { return (std::size_t{sector} + 1) * 512; }

// FAT entry n of a file whose FAT sectors are listed in the header (first 109 only).
std::uint32_t Fat(const std::vector<std::uint8_t>& f, std::uint32_t n) {
  std::uint32_t fatSector = U32(f, 76 + 4 * (n / 128));
  return U32(f, SectorOffset(fatSector) + 4 * (n % 128));
}

struct DirEntry {
  std::u16string name;
  std::uint8_t type, colour;
  std::uint32_t left, right, child, start, size;
};

DirEntry Dir(const std::vector<std::uint8_t>& f, std::uint32_t index) {
  // Follows the directory chain from sector 1.
  std::uint32_t sector = 1;
  for (std::uint32_t i = 0; i < index / 4; ++i) sector = Fat(f, sector);
  std::size_t at = SectorOffset(sector) + 128 * (index % 4);
  DirEntry e;
  std::uint16_t nameBytes = U16(f, at + 64);
  for (std::size_t i = 0; i + 2 < nameBytes; i += 2) e.name += static_cast<char16_t>(U16(f, at + i));
  e.type = f[at + 66];
  e.colour = f[at + 67];
  e.left = U32(f, at + 68);
  e.right = U32(f, at + 72);
  e.child = U32(f, at + 76);
  e.start = U32(f, at + 116);
  e.size = U32(f, at + 120);
  return e;
}

std::vector<std::uint8_t> Pattern(std::size_t n, unsigned seed = 1) {
  std::vector<std::uint8_t> data(n);
  for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>((i * 31 + seed * 7 + i / 251) & 0xFF);
  return data;
}

std::vector<std::uint8_t> OneStream(const TempDir& dir, std::size_t size) {
  CompoundFile cf;
  auto path = dir / ("one-" + std::to_string(size) + ".cfb");
  EXPECT_TRUE(cf.Create(path));
  EXPECT_EQ(CompoundFile::kOk, cf.MakeFile(u"Workbook"));
  EXPECT_EQ(CompoundFile::kOk, cf.WriteFile(u"Workbook", Pattern(size)));
  EXPECT_TRUE(cf.Close());
  return ReadFile(path);
}

TEST(CompoundFile, HeaderAndOneBigStream) {
  TempDir dir;
  auto f = OneStream(dir, 5000);
  ASSERT_EQ(f.size(), 512u * 13);  // header, FAT, directory, 10 data sectors
  EXPECT_EQ("D0 CF 11 E0 A1 B1 1A E1", Hex({f.begin(), f.begin() + 8}));
  EXPECT_EQ(0x003Bu, U16(f, 24));
  EXPECT_EQ(3u, U16(f, 26));
  EXPECT_EQ(0xFFFEu, U16(f, 28));
  EXPECT_EQ(9u, U16(f, 30));
  EXPECT_EQ(6u, U32(f, 32));
  EXPECT_EQ(0u, U32(f, 36));
  EXPECT_EQ(0u, U32(f, 40));
  EXPECT_EQ(1u, U32(f, 44));     // FAT sectors
  EXPECT_EQ(1u, U32(f, 48));     // first directory sector
  EXPECT_EQ(4096u, U32(f, 56));  // mini stream cutoff
  EXPECT_EQ(kEnd, U32(f, 60));   // no mini FAT
  EXPECT_EQ(0u, U32(f, 64));
  EXPECT_EQ(kEnd, U32(f, 68));   // no DIFAT sector
  EXPECT_EQ(0u, U32(f, 72));
  EXPECT_EQ(0u, U32(f, 76));     // DIFAT[0]: the FAT is sector 0
  for (int i = 1; i < 109; ++i) ASSERT_EQ(kFree, U32(f, 76 + 4 * i));

  EXPECT_EQ(CompoundFile::kFatSect, Fat(f, 0));
  EXPECT_EQ(kEnd, Fat(f, 1));
  for (std::uint32_t s = 2; s < 11; ++s) EXPECT_EQ(s + 1, Fat(f, s));
  EXPECT_EQ(kEnd, Fat(f, 11));
  EXPECT_EQ(kFree, Fat(f, 12));

  DirEntry root = Dir(f, 0);
  EXPECT_EQ(u"Root Entry", root.name);
  EXPECT_EQ(22u, U16(f, SectorOffset(1) + 64));
  EXPECT_EQ(5, root.type);
  EXPECT_EQ(1, root.colour);
  EXPECT_EQ(1u, root.child);
  EXPECT_EQ(kEnd, root.start);  // no mini stream
  EXPECT_EQ(0u, root.size);
  DirEntry book = Dir(f, 1);
  EXPECT_EQ(u"Workbook", book.name);
  EXPECT_EQ(2, book.type);
  EXPECT_EQ(kNone, book.left);
  EXPECT_EQ(kNone, book.right);
  EXPECT_EQ(kNone, book.child);
  EXPECT_EQ(2u, book.start);
  EXPECT_EQ(5000u, book.size);
  // Unused directory slots: zero but for their three links.
  EXPECT_EQ(kNone, U32(f, SectorOffset(1) + 256 + 68));
  EXPECT_EQ(0, f[SectorOffset(1) + 256 + 66]);

  auto data = Pattern(5000);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), f.begin() + SectorOffset(2)));
  EXPECT_TRUE(std::all_of(f.begin() + SectorOffset(2) + 5000, f.end(), [](auto b) { return b == 0; }));
}

TEST(CompoundFile, SmallStreamsGoToTheMiniStream) {
  struct Case {
    const char* name;
    std::size_t size;
    bool mini;
  } cases[] = {{"one byte", 1, true},
               {"largest small stream", 4095, true},
               {"cutoff itself is big", 4096, false},
               {"n times 64", 64 * 10, true},
               {"a little less than n times 64", 64 * 10 - 5, true}};
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = OneStream(dir, c.size);
    DirEntry root = Dir(f, 0);
    DirEntry book = Dir(f, 1);
    EXPECT_EQ(c.size, book.size);
    if (!c.mini) {
      EXPECT_EQ(2u, book.start);
      EXPECT_EQ(kEnd, root.start);
      EXPECT_EQ(kEnd, U32(f, 60));
      continue;
    }
    std::uint32_t miniSectors = static_cast<std::uint32_t>((c.size + 63) / 64);
    // Sector 2 starts the mini stream, sector 3 is the mini FAT, the mini stream goes on at 4.
    EXPECT_EQ(2u, root.start);
    EXPECT_EQ(64 * miniSectors, root.size);
    EXPECT_EQ(3u, U32(f, 60));
    EXPECT_EQ(1u, U32(f, 64));
    EXPECT_EQ(0u, book.start);
    EXPECT_EQ(kEnd, Fat(f, 3));
    std::uint32_t bigSectors = (64 * miniSectors + 511) / 512;
    std::vector<std::uint32_t> rootChain = {2};
    for (std::uint32_t s = 4; rootChain.size() < bigSectors; ++s) rootChain.push_back(s);
    for (std::size_t i = 0; i + 1 < rootChain.size(); ++i) EXPECT_EQ(rootChain[i + 1], Fat(f, rootChain[i]));
    EXPECT_EQ(kEnd, Fat(f, rootChain.back()));
    for (std::uint32_t m = 0; m < miniSectors; ++m) {
      EXPECT_EQ(m + 1 < miniSectors ? m + 1 : kEnd, U32(f, SectorOffset(3) + 4 * m));
    }
    EXPECT_EQ(kFree, U32(f, SectorOffset(3) + 4 * miniSectors));
    // The data, read through the mini stream's sectors.
    auto data = Pattern(c.size);
    for (std::size_t i = 0; i < c.size; ++i) {
      std::size_t big = rootChain[i / 512];
      ASSERT_EQ(data[i], f[SectorOffset(static_cast<std::uint32_t>(big)) + i % 512]) << i;
    }
  }
}

TEST(CompoundFile, EmptyStreamHasNoSectors) {
  TempDir dir;
  auto f = OneStream(dir, 0);
  EXPECT_EQ(512u * 3, f.size());
  EXPECT_EQ(kEnd, Dir(f, 1).start);
  EXPECT_EQ(0u, Dir(f, 1).size);
  EXPECT_EQ(kEnd, Dir(f, 0).start);
}

TEST(CompoundFile, HundredTwentyNinthSectorStartsSecondFatSector) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  // Data sectors 2..127 fill the first FAT sector's range; the next one needs a new FAT.
  auto f = OneStream(dir, 512 * 130);
  EXPECT_EQ(2u, U32(f, 44));
  EXPECT_EQ(128u, U32(f, 80));  // DIFAT[1]
  EXPECT_EQ(kFree, U32(f, 84));
  EXPECT_EQ(CompoundFile::kFatSect, Fat(f, 128));
  EXPECT_EQ(129u, Fat(f, 127));
  EXPECT_EQ(132u, Fat(f, 131));
  EXPECT_EQ(kEnd, Fat(f, 132));
  EXPECT_EQ(512u * 134, f.size());
  EXPECT_EQ("valid\t1", ReadBack("ole", dir / "one-66560.cfb").at(0));
}

// Past 109 FAT sectors the header's DIFAT array is full: the 110th FAT sector is listed
// in a DIFAT sector ([MS-CFB] 2.5), marked DIFSECT in the FAT.
TEST(CompoundFile, DifatSectorBeyondHundredNineFatSectors) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  const std::size_t size = 512u * 13900;  // about 7.1 MB
  auto f = OneStream(dir, size);
  EXPECT_EQ(110u, U32(f, 44));
  EXPECT_EQ(1u, U32(f, 72));
  std::uint32_t difat = U32(f, 68);
  EXPECT_EQ(109u * 128 + 1, difat);  // right after the 110th FAT sector
  std::uint32_t fatSector110 = U32(f, SectorOffset(difat));
  EXPECT_EQ(109u * 128, fatSector110);
  EXPECT_EQ(kFree, U32(f, SectorOffset(difat) + 4));
  EXPECT_EQ(kEnd, U32(f, SectorOffset(difat) + 508));
  // FAT entries for the two special sectors live in the 110th FAT sector.
  EXPECT_EQ(CompoundFile::kFatSect, U32(f, SectorOffset(fatSector110)));
  EXPECT_EQ(CompoundFile::kDifSect, U32(f, SectorOffset(fatSector110) + 4));

  auto lines = ReadBack("ole", dir / ("one-" + std::to_string(size) + ".cfb"));
  ASSERT_EQ(2u, lines.size()) << lines.at(0);
  EXPECT_EQ("valid\t1", lines[0]);
  EXPECT_EQ("stream\tWorkbook\t" + std::to_string(size) + "\t" + Sha256Hex(Pattern(size)), lines[1]);
}

TEST(CompoundFile, NameRules) {
  TempDir dir;
  CompoundFile cf;
  ASSERT_TRUE(cf.Create(dir / "names.cfb"));
  struct Case {
    const char* name;
    std::u16string path;
    int expected;
  } cases[] = {
      {"31 units", std::u16string(31, u'a'), CompoundFile::kOk},
      {"32 units", std::u16string(32, u'b'), CompoundFile::kNameTooLong},
      {"first Workbook", u"Workbook", CompoundFile::kOk},
      {"second Workbook", u"Workbook", CompoundFile::kDuplicateName},
      {"same name in other case", u"WORKBOOK", CompoundFile::kDuplicateName},
      {"from the root", u"\\Workbook", CompoundFile::kDuplicateName},
      {"empty", u"", CompoundFile::kNoName},
      {"no final name", u"Dir\\", CompoundFile::kNoName},
      {"too long below a new storage", u"Dir\\" + std::u16string(32, u'd'), CompoundFile::kNameTooLong},
      {"storage on the way too long", std::u16string(32, u'c') + u"\\x", CompoundFile::kNameTooLong},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, cf.MakeFile(c.path)) << c.name;
  EXPECT_EQ(CompoundFile::kNoSuchStream, cf.WriteFile(u"Missing", Pattern(10)));
  // The failed names created no storage on their way.
  EXPECT_EQ(CompoundFile::kPathNotFound, cf.ChangeDirectory(u"Dir"));
  ASSERT_EQ(CompoundFile::kOk, cf.MakeDirectory(u"Dir"));
  EXPECT_EQ(CompoundFile::kNoSuchStream, cf.WriteFile(u"Dir", Pattern(10)));  // a storage
  EXPECT_TRUE(cf.Close());
  EXPECT_EQ(CompoundFile::kWriteFailed, cf.MakeFile(u"Late"));
}

// Shorter names first, equal lengths in upper case ([MS-CFB] 2.6.4); the children hang
// off the middle one as two all-black chains.
TEST(CompoundFile, DirectoryOrderAndSiblingLinks) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  CompoundFile cf;
  ASSERT_TRUE(cf.Create(dir / "order.cfb"));
  for (const char16_t* name : {u"AA", u"B", u"b2", u"C", u"a1", u"D"}) {
    ASSERT_EQ(CompoundFile::kOk, cf.MakeFile(name));
  }
  ASSERT_TRUE(cf.Close());
  auto f = ReadFile(dir / "order.cfb");
  std::vector<std::u16string> names;
  for (std::uint32_t i = 1; i <= 6; ++i) names.push_back(Dir(f, i).name);
  EXPECT_EQ((std::vector<std::u16string>{u"B", u"C", u"D", u"a1", u"AA", u"b2"}), names);
  // Six children: a1 (4, the fourth, 6 / 2 counted from 0) is the root's child; D, C, B
  // follow down the left links, AA, b2 down the right links.
  EXPECT_EQ(4u, Dir(f, 0).child);
  struct Link {
    std::uint32_t index, left, right;
  } links[] = {{4, 3, 5}, {3, 2, kNone}, {2, 1, kNone},
               {1, kNone, kNone}, {5, kNone, 6}, {6, kNone, kNone}};
  for (const Link& l : links) {
    SCOPED_TRACE(l.index);
    EXPECT_EQ(l.left, Dir(f, l.index).left);
    EXPECT_EQ(l.right, Dir(f, l.index).right);
    EXPECT_EQ(1, Dir(f, l.index).colour);
  }
  // The root entry's bytes 64..79: name length 22, type 5, black, no siblings, child 4.
  EXPECT_EQ("16 00 05 01 FF FF FF FF FF FF FF FF 04 00 00 00",
            Hex({f.begin() + SectorOffset(1) + 64, f.begin() + SectorOffset(1) + 80}));
  auto lines = ReadBack("ole", dir / "order.cfb");
  EXPECT_EQ(7u, lines.size()) << lines.at(0);
}

// Several streams in storages, rewritten across the 4096-byte line both ways, so the
// mini stream's sectors are freed and reused; olefile must see the last content of each.
TEST(CompoundFile, StoragesAndRewrittenStreamsReadBack) {
  VELMIRA_SKIP_ON_WINDOWS("the independent readers (Python's xlrd and olefile, LibreOffice) are Linux programs here");
  TempDir dir;
  CompoundFile cf;
  ASSERT_TRUE(cf.Create(dir / "tree.cfb"));
  ASSERT_EQ(CompoundFile::kOk, cf.MakeFile(u"Top\\Inner\\Small"));
  ASSERT_EQ(CompoundFile::kOk, cf.MakeDirectory(u"Other"));
  ASSERT_EQ(CompoundFile::kPathNotFound, cf.ChangeDirectory(u"Nowhere"));
  ASSERT_EQ(CompoundFile::kOk, cf.ChangeDirectory(u"Top"));
  ASSERT_EQ(CompoundFile::kOk, cf.MakeFile(u"Grows"));
  ASSERT_EQ(CompoundFile::kOk, cf.ChangeDirectory(u".."));
  ASSERT_EQ(CompoundFile::kOk, cf.MakeFile(u"Shrinks"));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"\\Top\\Inner\\Small", Pattern(100, 1)));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"Top\\Grows", Pattern(3000, 2)));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"Shrinks", Pattern(9000, 3)));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"Top\\Grows", Pattern(6000, 4)));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"Shrinks", Pattern(700, 5)));
  ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"Top\\Inner\\Small", Pattern(2000, 6)));
  for (int i = 0; i < 40; ++i) {
    std::u16string name = u"S" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                          std::u16string(1, static_cast<char16_t>(u'a' + i / 26));
    ASSERT_EQ(CompoundFile::kOk, cf.MakeFile(u"\\Other\\" + name));
    ASSERT_EQ(CompoundFile::kOk, cf.WriteFile(u"\\Other\\" + name, Pattern(200 + 150 * i, 7)));
  }
  ASSERT_TRUE(cf.Close());
  auto lines = ReadBack("ole", dir / "tree.cfb");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("valid\t1", lines[0]);
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("stream\tShrinks\t700\t" + Sha256Hex(Pattern(700, 5))));
  EXPECT_TRUE(has("stream\tTop/Grows\t6000\t" + Sha256Hex(Pattern(6000, 4))));
  EXPECT_TRUE(has("stream\tTop/Inner/Small\t2000\t" + Sha256Hex(Pattern(2000, 6))));
  EXPECT_TRUE(has("stream\tOther/SNb\t" + std::to_string(200 + 150 * 39) + "\t" +
                  Sha256Hex(Pattern(200 + 150 * 39, 7))));
  EXPECT_TRUE(has("storage\tTop/Inner"));
  EXPECT_EQ(1u + 3 + 3 + 40, lines.size());
}

TEST(CompoundFile, CreateFailsForMissingFolder) {
  TempDir dir;
  CompoundFile cf;
  EXPECT_FALSE(cf.Create(dir / "no" / "such" / "x.cfb"));
  EXPECT_FALSE(cf.IsOpen());
}

}  // namespace
