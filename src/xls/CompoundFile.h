#pragma once
// Writer of new compound files ([MS-CFB] version 3, 512-byte sectors).
//
// Container layout as this writer builds it:
//   header (file offset 0), then sector n at file offset (n + 1) * 512:
//   sector 0          first FAT sector
//   sector 1          first directory sector
//   sectors 2...      stream data, the mini stream and mini FAT, further FAT, DIFAT and
//                     directory sectors, in allocation order (lowest free sector first)
// Every structural call rewrites the header, FAT, DIFAT, mini FAT and directory before
// it returns, so the file on disk is a complete container between calls.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CompoundFile {
 public:
  // Results of the structural calls.
  enum Result : int {
    kOk = 1,
    kNoName = -1,          // the path has no final name
    kPathNotFound = -2,    // ChangeDirectory: a storage on the path does not exist
    kWriteFailed = -3,     // the container is not open, a disk write failed, or the stream
                           // is larger than a version 3 file may hold (2 GiB)
    kNoSuchStream = -4,    // WriteFile: no stream of that name
    kNameTooLong = -5,     // the final name has more than 31 UTF-16 units
    kDuplicateName = -6,   // the storage already has an entry of that name
  };

  static constexpr std::uint32_t kSectorSize = 512;
  static constexpr std::uint32_t kMiniSectorSize = 64;
  static constexpr std::uint32_t kMiniStreamCutoff = 4096;
  static constexpr std::uint32_t kMaxNameLength = 31;
  static constexpr std::uint32_t kMaxStreamSize = 0x80000000u;

  // Sector markers of [MS-CFB] 2.1.
  static constexpr std::uint32_t kDifSect = 0xFFFFFFFCu;
  static constexpr std::uint32_t kFatSect = 0xFFFFFFFDu;
  static constexpr std::uint32_t kEndOfChain = 0xFFFFFFFEu;
  static constexpr std::uint32_t kFreeSect = 0xFFFFFFFFu;
  static constexpr std::uint32_t kNoStream = 0xFFFFFFFFu;

  CompoundFile() = default;
  CompoundFile(const CompoundFile&) = delete;
  CompoundFile& operator=(const CompoundFile&) = delete;
  virtual ~CompoundFile();

  // Creates (truncating) the disk file and writes an empty container with its root
  // entry. False when the file cannot be opened or written; the container is then closed.
  bool Create(const std::filesystem::path& path);

  // Paths are UTF-16, storages separated by '\'; a leading '\' starts at the root,
  // otherwise at the current storage. Missing storages on the way are created.
  int MakeFile(std::u16string_view path);
  int MakeDirectory(std::u16string_view path);
  // "." stays, ".." goes to the parent, "\" alone to the root.
  int ChangeDirectory(std::u16string_view path);
  // Replaces the whole content of an existing stream.
  int WriteFile(std::u16string_view path, std::span<const std::uint8_t> data);

  // Forces the written data to the storage device. False when that fails.
  bool Sync();
  // Releases the tables and closes the disk file. False when any write since Create
  // failed (the file on disk is then not to be trusted).
  bool Close();
  bool IsOpen() const { return m_file != nullptr; }
  // The system's error number of the first failure since Create; 0 when none, or when
  // the failure was no system call's.
  int LastErrno() const { return m_errno; }

 private:
  struct Entry {
    std::u16string name;
    std::uint8_t type = 1;  // 1 storage, 2 stream, 5 root storage
    std::uint8_t colour = 1;  // 0 red, 1 black
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = kEndOfChain;
    std::uint32_t size = 0;
    std::uint32_t parent = kNoStream;  // directory index of the storage holding it
  };

  int MakeEntry(std::u16string_view path, std::uint8_t type);
  std::uint32_t InsertEntry(std::uint32_t storage, std::u16string_view name, std::uint8_t type);
  int Resolve(std::u16string_view path, bool createMissing, std::uint32_t& storage,
              std::u16string& finalName);
  std::uint32_t FindChild(std::uint32_t storage, std::u16string_view name) const;
  void RelinkChildren(std::uint32_t storage);

  std::uint32_t Allocate();
  void GrowFat();
  void FreeChain(std::vector<std::uint32_t>& table, std::uint32_t start);
  std::uint32_t StoreChain(std::uint32_t start, std::span<const std::uint8_t> data);
  std::uint32_t AllocateMini();
  std::uint32_t StoreMini(std::uint32_t start, std::span<const std::uint8_t> data);
  void StoreMiniStream();
  std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table,
                                   std::uint32_t start) const;
  void WriteStructure();
  void WriteHeader();
  void Fail();
  void WriteSectors(std::uint32_t first, const std::uint8_t* data, std::size_t bytes);

  std::FILE* m_file = nullptr;
  bool m_failed = false;
  int m_errno = 0;
  std::vector<std::uint32_t> m_fat;
  std::vector<std::uint32_t> m_miniFat;
  std::vector<std::uint32_t> m_fatSectors;    // the DIFAT: where each FAT sector lives
  std::vector<std::uint32_t> m_difatSectors;  // sectors holding DIFAT entries beyond 109
  std::uint32_t m_firstMiniFatSector = kEndOfChain;
  std::uint32_t m_freeHint = 0;
  std::uint32_t m_miniFreeHint = 0;
  std::vector<std::uint8_t> m_miniStream;  // the root entry's stream, kept whole in memory
  std::vector<Entry> m_dir;
  std::uint32_t m_current = 0;
};
