#include "xls/CompoundFile.h"

#include "platform/Files.h"

#include <cerrno>

#include <algorithm>
#include <cstring>


namespace {

constexpr std::uint32_t kEntriesPerSector = CompoundFile::kSectorSize / 128;
constexpr std::uint32_t kIdsPerSector = CompoundFile::kSectorSize / 4;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kIdsPerDifatSector = kIdsPerSector - 1;  // last one links on

void PutU16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// [MS-CFB] 2.6.4 compares names in upper case; this covers the Latin-1 range, which is
// all that Office's own folding changes in the names anyone stores.
char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  return c;
}

// [MS-CFB] 2.6.4: shorter names first, then unit by unit in upper case.
int CompareNames(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = Upper(a[i]);
    char16_t y = Upper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  std::size_t begin = 0;
  while (true) {
    std::size_t end = path.find(u'\\', begin);
    if (end == std::u16string_view::npos) {
      parts.push_back(path.substr(begin));
      return parts;
    }
    parts.push_back(path.substr(begin, end - begin));
    begin = end + 1;
  }
}

std::FILE* OpenForWriting(const std::filesystem::path& path) {
#if defined(_WIN32)
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

}  // namespace

CompoundFile::~CompoundFile() { Close(); }

bool CompoundFile::Create(const std::filesystem::path& path) {
  Close();
  m_errno = 0;
  m_file = OpenForWriting(path);
  if (m_file == nullptr) {
    m_errno = errno;
    return false;
  }
  m_failed = false;
  m_fat.assign(kIdsPerSector, kFreeSect);
  m_fat[0] = kFatSect;
  m_fat[1] = kEndOfChain;
  m_fatSectors = {0};
  m_freeHint = 2;
  Entry root;
  root.name = u"Root Entry";
  root.type = 5;
  m_dir = {root};
  m_current = 0;
  WriteStructure();
  if (m_failed) {
    Close();
    return false;
  }
  return true;
}

bool CompoundFile::Sync() {
  if (m_file == nullptr) return false;
  if (!SyncFile(m_file)) Fail();
  return !m_failed;
}

bool CompoundFile::Close() {
  bool ok = !m_failed;
  if (m_file != nullptr) {
    if (std::fclose(m_file) != 0) {
      if (ok && m_errno == 0) m_errno = errno;
      ok = false;
    }
    m_file = nullptr;
  }
  m_failed = false;
  m_fat.clear();
  m_miniFat.clear();
  m_fatSectors.clear();
  m_difatSectors.clear();
  m_firstMiniFatSector = kEndOfChain;
  m_freeHint = 0;
  m_miniFreeHint = 0;
  m_miniStream.clear();
  m_dir.clear();
  m_current = 0;
  return ok;
}

// The first failure's cause is the one worth telling: later ones follow from it.
void CompoundFile::Fail() {
  if (!m_failed && m_errno == 0) m_errno = errno;
  m_failed = true;
}

int CompoundFile::MakeFile(std::u16string_view path) { return MakeEntry(path, 2); }

int CompoundFile::MakeDirectory(std::u16string_view path) { return MakeEntry(path, 1); }

std::uint32_t CompoundFile::FindChild(std::uint32_t storage, std::u16string_view name) const {
  for (std::uint32_t i = 1; i < m_dir.size(); ++i) {
    if (m_dir[i].parent == storage && CompareNames(m_dir[i].name, name) == 0) return i;
  }
  return kNoStream;
}

std::uint32_t CompoundFile::InsertEntry(std::uint32_t storage, std::u16string_view name,
                                        std::uint8_t type) {
  // Directory order: before the first entry the name does not follow; every stored index
  // at or after that position moves up by one.
  std::uint32_t pos = 1;
  while (pos < m_dir.size() && CompareNames(m_dir[pos].name, name) < 0) ++pos;
  auto raise = [pos](std::uint32_t& ref) {
    if (ref != kNoStream && ref >= pos) ++ref;
  };
  for (Entry& e : m_dir) {
    raise(e.left);
    raise(e.right);
    raise(e.child);
    raise(e.parent);
  }
  raise(m_current);
  raise(storage);
  Entry entry;
  entry.name = name;
  entry.type = type;
  entry.parent = storage;
  m_dir.insert(m_dir.begin() + pos, entry);
  RelinkChildren(storage);
  return pos;
}

int CompoundFile::Resolve(std::u16string_view path, bool createMissing, std::uint32_t& storage,
                          std::u16string& finalName) {
  std::uint32_t current = m_current;
  if (!path.empty() && path[0] == u'\\') {
    current = 0;
    path.remove_prefix(1);
  }
  std::vector<std::u16string_view> parts = SplitPath(path);
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    std::u16string_view part = parts[i];
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (current != 0) current = m_dir[current].parent;
      continue;
    }
    std::uint32_t child = FindChild(current, part);
    if (child == kNoStream) {
      if (!createMissing) return kPathNotFound;
      if (part.size() > kMaxNameLength) return kNameTooLong;
      child = InsertEntry(current, part, 1);
    } else if (m_dir[child].type == 2) {
      return kPathNotFound;
    }
    current = child;
  }
  storage = current;
  finalName = parts.back();
  return kOk;
}

int CompoundFile::MakeEntry(std::u16string_view path, std::uint8_t type) {
  if (m_file == nullptr) return kWriteFailed;
  // A bad final name fails before any storage on the way is created.
  std::size_t separator = path.rfind(u'\\');
  std::u16string_view last = separator == std::u16string_view::npos ? path : path.substr(separator + 1);
  if (last.empty() || last == u"." || last == u"..") return kNoName;
  if (last.size() > kMaxNameLength) return kNameTooLong;
  std::size_t entriesBefore = m_dir.size();
  std::uint32_t storage = 0;
  std::u16string name;
  int result = Resolve(path, true, storage, name);
  if (result == kOk) {
    if (name.empty() || name == u"." || name == u"..") {
      result = kNoName;
    } else if (name.size() > kMaxNameLength) {
      result = kNameTooLong;
    } else if (FindChild(storage, name) != kNoStream) {
      result = kDuplicateName;
    } else {
      InsertEntry(storage, name, type);
    }
  }
  if (m_dir.size() != entriesBefore) WriteStructure();
  if (result == kOk && m_failed) result = kWriteFailed;
  return result;
}

int CompoundFile::ChangeDirectory(std::u16string_view path) {
  if (m_file == nullptr) return kWriteFailed;
  std::uint32_t storage = 0;
  std::u16string name;
  int result = Resolve(path, false, storage, name);
  if (result != kOk) return result;
  if (name == u"..") {
    if (storage != 0) storage = m_dir[storage].parent;
  } else if (!name.empty() && name != u".") {
    std::uint32_t child = FindChild(storage, name);
    if (child == kNoStream || m_dir[child].type == 2) return kPathNotFound;
    storage = child;
  }
  m_current = storage;
  return kOk;
}

// The children hang off the middle one (index n / 2 in name order) as two chains: the
// smaller names down its left links, the larger down its right links. Every entry stays
// black; [MS-CFB] 2.6.4 allows an all-black tree, and the chains keep it a valid search
// tree.
void CompoundFile::RelinkChildren(std::uint32_t storage) {
  std::vector<std::uint32_t> kids;
  for (std::uint32_t i = 1; i < m_dir.size(); ++i) {
    if (m_dir[i].parent == storage) kids.push_back(i);
  }
  if (kids.empty()) {
    m_dir[storage].child = kNoStream;
    return;
  }
  std::size_t middle = kids.size() / 2;
  for (std::size_t i = 0; i < kids.size(); ++i) {
    Entry& e = m_dir[kids[i]];
    e.colour = 1;
    e.left = i > 0 && i <= middle ? kids[i - 1] : kNoStream;
    e.right = i >= middle && i + 1 < kids.size() ? kids[i + 1] : kNoStream;
  }
  m_dir[storage].child = kids[middle];
}

int CompoundFile::WriteFile(std::u16string_view path, std::span<const std::uint8_t> data) {
  if (m_file == nullptr || data.size() > kMaxStreamSize) return kWriteFailed;
  std::uint32_t storage = 0;
  std::u16string name;
  if (Resolve(path, false, storage, name) != kOk) return kNoSuchStream;
  std::uint32_t index = FindChild(storage, name);
  if (index == kNoStream || m_dir[index].type != 2) return kNoSuchStream;

  bool wasSmall = m_dir[index].size < kMiniStreamCutoff;
  bool small = data.size() < kMiniStreamCutoff;
  if (m_dir[index].size > 0 && wasSmall != small) {
    FreeChain(wasSmall ? m_miniFat : m_fat, m_dir[index].start);
    m_dir[index].start = kEndOfChain;
    if (wasSmall) StoreMiniStream();
  }
  if (small) {
    // The mini stream's first sector comes before the mini FAT's ([MS-CFB] 2.6.4).
    if (!data.empty() && m_dir[0].start == kEndOfChain) m_dir[0].start = Allocate();
    m_dir[index].start = StoreMini(m_dir[index].start, data);
    StoreMiniStream();
  } else {
    m_dir[index].start = StoreChain(m_dir[index].start, data);
  }
  m_dir[index].size = static_cast<std::uint32_t>(data.size());
  WriteStructure();
  return m_failed ? kWriteFailed : kOk;
}

std::vector<std::uint32_t> CompoundFile::Chain(const std::vector<std::uint32_t>& table,
                                               std::uint32_t start) const {
  std::vector<std::uint32_t> chain;
  // A chain never holds more links than the table has entries; the bound stops a cycle.
  while (start < table.size() && chain.size() < table.size()) {
    chain.push_back(start);
    start = table[start];
  }
  return chain;
}

void CompoundFile::FreeChain(std::vector<std::uint32_t>& table, std::uint32_t start) {
  for (std::uint32_t s : Chain(table, start)) table[s] = kFreeSect;
  if (&table == &m_fat) {
    m_freeHint = 0;
  } else {
    m_miniFreeHint = 0;
  }
}

// The lowest free sector; the FAT grows by one sector when none is left.
std::uint32_t CompoundFile::Allocate() {
  while (true) {
    for (std::uint32_t s = m_freeHint; s < m_fat.size(); ++s) {
      if (m_fat[s] == kFreeSect) {
        m_fat[s] = kEndOfChain;
        m_freeHint = s + 1;
        return s;
      }
    }
    m_freeHint = static_cast<std::uint32_t>(m_fat.size());
    GrowFat();
  }
}

// Every sector is in use when this runs, so the new FAT sector sits at the end of the
// file. Past the header's 109 DIFAT slots, each 127 further FAT sectors need a DIFAT
// sector of their own ([MS-CFB] 2.5).
void CompoundFile::GrowFat() {
  auto sector = static_cast<std::uint32_t>(m_fat.size());
  m_fat.resize(m_fat.size() + kIdsPerSector, kFreeSect);
  m_fat[sector] = kFatSect;
  m_fatSectors.push_back(sector);
  std::size_t count = m_fatSectors.size();
  if (count > kHeaderDifatEntries && (count - kHeaderDifatEntries - 1) % kIdsPerDifatSector == 0) {
    m_fat[sector + 1] = kDifSect;
    m_difatSectors.push_back(sector + 1);
  }
}

std::uint32_t CompoundFile::StoreChain(std::uint32_t start, std::span<const std::uint8_t> data) {
  std::vector<std::uint32_t> chain = Chain(m_fat, start);
  std::size_t needed = (data.size() + kSectorSize - 1) / kSectorSize;
  if (chain.size() > needed) {
    for (std::size_t i = needed; i < chain.size(); ++i) {
      m_fat[chain[i]] = kFreeSect;
      m_freeHint = std::min(m_freeHint, chain[i]);
    }
    if (needed > 0) m_fat[chain[needed - 1]] = kEndOfChain;
    chain.resize(needed);
  }
  while (chain.size() < needed) {
    std::uint32_t s = Allocate();
    if (!chain.empty()) m_fat[chain.back()] = s;
    chain.push_back(s);
  }
  // Runs of consecutive sectors go to disk in one write.
  std::size_t i = 0;
  while (i < needed) {
    std::size_t j = i + 1;
    while (j < needed && chain[j] == chain[j - 1] + 1) ++j;
    std::size_t offset = i * kSectorSize;
    std::size_t bytes = std::min(data.size() - offset, (j - i) * kSectorSize);
    WriteSectors(chain[i], data.data() + offset, bytes);
    i = j;
  }
  return needed > 0 ? chain[0] : kEndOfChain;
}

std::uint32_t CompoundFile::AllocateMini() {
  while (true) {
    for (std::uint32_t s = m_miniFreeHint; s < m_miniFat.size(); ++s) {
      if (m_miniFat[s] == kFreeSect) {
        m_miniFat[s] = kEndOfChain;
        m_miniFreeHint = s + 1;
        return s;
      }
    }
    m_miniFreeHint = static_cast<std::uint32_t>(m_miniFat.size());
    // One more mini FAT sector, linked through the FAT like any chain ([MS-CFB] 2.4).
    std::uint32_t sector = Allocate();
    if (m_firstMiniFatSector == kEndOfChain) {
      m_firstMiniFatSector = sector;
    } else {
      m_fat[Chain(m_fat, m_firstMiniFatSector).back()] = sector;
    }
    m_miniFat.resize(m_miniFat.size() + kIdsPerSector, kFreeSect);
  }
}

std::uint32_t CompoundFile::StoreMini(std::uint32_t start, std::span<const std::uint8_t> data) {
  std::vector<std::uint32_t> chain = Chain(m_miniFat, start);
  std::size_t needed = (data.size() + kMiniSectorSize - 1) / kMiniSectorSize;
  if (chain.size() > needed) {
    for (std::size_t i = needed; i < chain.size(); ++i) {
      m_miniFat[chain[i]] = kFreeSect;
      m_miniFreeHint = std::min(m_miniFreeHint, chain[i]);
    }
    if (needed > 0) m_miniFat[chain[needed - 1]] = kEndOfChain;
    chain.resize(needed);
  }
  while (chain.size() < needed) {
    std::uint32_t s = AllocateMini();
    if (!chain.empty()) m_miniFat[chain.back()] = s;
    chain.push_back(s);
  }
  for (std::size_t i = 0; i < needed; ++i) {
    std::size_t offset = std::size_t{chain[i]} * kMiniSectorSize;
    if (m_miniStream.size() < offset + kMiniSectorSize) {
      m_miniStream.resize(offset + kMiniSectorSize, 0);
    }
    std::size_t bytes = std::min<std::size_t>(kMiniSectorSize, data.size() - i * kMiniSectorSize);
    std::memcpy(m_miniStream.data() + offset, data.data() + i * kMiniSectorSize, bytes);
    std::memset(m_miniStream.data() + offset + bytes, 0, kMiniSectorSize - bytes);
  }
  return needed > 0 ? chain[0] : kEndOfChain;
}

// The root entry's stream ends after the highest mini sector in use.
void CompoundFile::StoreMiniStream() {
  std::size_t used = m_miniFat.size();
  while (used > 0 && m_miniFat[used - 1] == kFreeSect) --used;
  m_miniStream.resize(used * kMiniSectorSize);
  if (m_dir[0].start == kEndOfChain && used == 0) return;
  m_dir[0].start = StoreChain(m_dir[0].start, m_miniStream);
  m_dir[0].size = static_cast<std::uint32_t>(m_miniStream.size());
}

void CompoundFile::WriteSectors(std::uint32_t first, const std::uint8_t* data, std::size_t bytes) {
  if (m_file == nullptr) return;
  auto offset = static_cast<long long>(first + 1) * kSectorSize;
#if defined(_WIN32)
  int seek = _fseeki64(m_file, offset, SEEK_SET);
#else
  int seek = fseeko(m_file, static_cast<off_t>(offset), SEEK_SET);
#endif
  if (seek != 0) {
    Fail();
    return;
  }
  std::size_t whole = bytes / kSectorSize * kSectorSize;
  if (whole > 0 && std::fwrite(data, 1, whole, m_file) != whole) Fail();
  if (whole < bytes) {
    std::uint8_t last[kSectorSize] = {};
    std::memcpy(last, data + whole, bytes - whole);
    if (std::fwrite(last, 1, kSectorSize, m_file) != kSectorSize) Fail();
  }
}

// [MS-CFB] 2.2 header; the DIFAT array holds the first 109 FAT sector locations.
void CompoundFile::WriteHeader() {
  std::uint8_t h[kSectorSize] = {};
  const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(h, signature, 8);
  PutU16(h + 24, 0x003B);  // minor version
  PutU16(h + 26, 3);       // major version: 512-byte sectors
  PutU16(h + 28, 0xFFFE);  // byte order: little-endian
  PutU16(h + 30, 9);       // sector shift
  PutU16(h + 32, 6);       // mini sector shift
  PutU32(h + 44, static_cast<std::uint32_t>(m_fatSectors.size()));
  PutU32(h + 48, 1);  // first directory sector
  PutU32(h + 56, kMiniStreamCutoff);
  PutU32(h + 60, m_firstMiniFatSector);
  PutU32(h + 64, static_cast<std::uint32_t>(m_miniFat.size() / kIdsPerSector));
  PutU32(h + 68, m_difatSectors.empty() ? kEndOfChain : m_difatSectors[0]);
  PutU32(h + 72, static_cast<std::uint32_t>(m_difatSectors.size()));
  for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
    PutU32(h + 76 + 4 * i, i < m_fatSectors.size() ? m_fatSectors[i] : kFreeSect);
  }
  if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, kSectorSize, m_file) != kSectorSize) {
    Fail();
  }
}

// Directory first (it may need a new sector, and so grow the FAT), then the mini FAT,
// the FAT, the DIFAT sectors and the header that points at them.
void CompoundFile::WriteStructure() {
  if (m_file == nullptr) return;
  std::size_t slots = (m_dir.size() + kEntriesPerSector - 1) / kEntriesPerSector * kEntriesPerSector;
  std::vector<std::uint8_t> dir(slots * 128, 0);
  for (std::size_t i = 0; i < slots; ++i) {
    std::uint8_t* p = dir.data() + 128 * i;
    if (i >= m_dir.size()) {
      // [MS-CFB] 2.6.3: an unused entry is zero except its three links.
      PutU32(p + 68, kNoStream);
      PutU32(p + 72, kNoStream);
      PutU32(p + 76, kNoStream);
      continue;
    }
    const Entry& e = m_dir[i];
    for (std::size_t c = 0; c < e.name.size(); ++c) PutU16(p + 2 * c, e.name[c]);
    PutU16(p + 64, static_cast<std::uint32_t>(2 * e.name.size() + 2));
    p[66] = e.type;
    p[67] = e.colour;
    PutU32(p + 68, e.left);
    PutU32(p + 72, e.right);
    PutU32(p + 76, e.child);
    // A storage's start and size are zero; streams and the root name their chain.
    PutU32(p + 116, e.type == 1 ? 0 : e.start);
    PutU32(p + 120, e.type == 1 ? 0 : e.size);
  }
  StoreChain(1, dir);

  if (m_firstMiniFatSector != kEndOfChain) {
    std::vector<std::uint8_t> miniFat(m_miniFat.size() * 4);
    for (std::size_t i = 0; i < m_miniFat.size(); ++i) PutU32(miniFat.data() + 4 * i, m_miniFat[i]);
    StoreChain(m_firstMiniFatSector, miniFat);
  }

  std::uint8_t sector[kSectorSize];
  for (std::size_t f = 0; f < m_fatSectors.size(); ++f) {
    for (std::uint32_t i = 0; i < kIdsPerSector; ++i) {
      PutU32(sector + 4 * i, m_fat[f * kIdsPerSector + i]);
    }
    WriteSectors(m_fatSectors[f], sector, kSectorSize);
  }
  for (std::size_t d = 0; d < m_difatSectors.size(); ++d) {
    for (std::uint32_t i = 0; i < kIdsPerDifatSector; ++i) {
      std::size_t f = kHeaderDifatEntries + d * kIdsPerDifatSector + i;
      PutU32(sector + 4 * i, f < m_fatSectors.size() ? m_fatSectors[f] : kFreeSect);
    }
    PutU32(sector + 4 * kIdsPerDifatSector,
           d + 1 < m_difatSectors.size() ? m_difatSectors[d + 1] : kEndOfChain);
    WriteSectors(m_difatSectors[d], sector, kSectorSize);
  }
  WriteHeader();
  if (std::fflush(m_file) != 0) Fail();
}
