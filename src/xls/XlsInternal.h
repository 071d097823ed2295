#pragma once
// The writer's internals, for its own sources and its tests: the compound file, the
// record layer, the string pool behind cell texts, and the stream a workbook saves.
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <string_view>
#include <vector>

#include "xls/CompoundFile.h"
#include "xls/XlsWorkbook.h"
#include "xls/YExcel.h"

// A zero-filled array of trivial values for the writer's large tables. On Linux it asks
// for transparent huge pages: the string table and the stream buffer are touched at
// random or all at once, and 4 KiB page faults and TLB misses dominate their cost.
void* AllocateBig(std::size_t bytes);  // zero-filled; fails like new when out of memory
void FreeBig(void* p, std::size_t bytes);

template <class T>
class BigArray {
 public:
  BigArray() = default;
  explicit BigArray(std::size_t n) : m_data(static_cast<T*>(AllocateBig(n * sizeof(T)))), m_size(n) {}
  BigArray(BigArray&& o) noexcept : m_data(o.m_data), m_size(o.m_size) { o.m_data = nullptr; o.m_size = 0; }
  BigArray& operator=(BigArray&& o) noexcept {
    std::swap(m_data, o.m_data);
    std::swap(m_size, o.m_size);
    return *this;
  }
  ~BigArray() { FreeBig(m_data, m_size * sizeof(T)); }
  T* data() { return m_data; }
  const T* data() const { return m_data; }
  std::size_t size() const { return m_size; }
  T& operator[](std::size_t i) { return m_data[i]; }
  const T& operator[](std::size_t i) const { return m_data[i]; }
  std::span<const T> span() const { return {m_data, m_size}; }

 private:
  T* m_data = nullptr;
  std::size_t m_size = 0;
};
// Every distinct cell text once, so equal texts share storage and become one SST entry
// with one hash lookup. Texts replaced in cells stay until the workbook's New(); only
// texts that cells hold at saving reach the file.
class XlsStringPool {
 public:
  std::uint32_t Intern(std::u16string_view text);
  std::u16string_view Get(std::uint32_t id) const { return m_strings[id]; }
  std::size_t Size() const { return m_strings.size(); }
  void Clear();

 private:
  static constexpr std::size_t kChunkUnits = std::size_t{1} << 19;
  std::u16string_view Store(std::u16string_view text);
  void Rehash(std::size_t slots);

  std::vector<std::u16string_view> m_strings;
  std::vector<BigArray<char16_t>> m_chunks;
  std::size_t m_chunkUsed = kChunkUnits;
  struct Slot {
    std::uint32_t id;    // id + 1; 0 is empty
    std::uint32_t hash;  // low bits of the text's hash, to skip most comparisons
  };
  BigArray<Slot> m_slots;
};

struct XlsWorkbookAccess {
  using CellData = XlsCell::Data;
  static YExcel::Workbook& Globals(XlsWorkbook& book) { return *book.m_globals; }
  // The complete "Workbook" stream that SaveAs stores.
  static BigArray<std::uint8_t> BuildStream(XlsWorkbook& book);
};
