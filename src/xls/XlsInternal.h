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

// A zero-filled array of trivial values for the writer's large tables (see AllocateBig).
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
// Cell texts as they were set. Adding one only appends it: equal texts are found at
// saving, in one pass whose table lookups overlap (see BuildStream), which costs far
// less than a lookup per cell while a sheet is filled. A text's reference is where it
// starts; two header units (length and a scratch word for saving) precede its
// characters. Texts replaced in cells stay until the workbook's New(); only texts that
// cells hold at saving reach the file.
class XlsStringPool {
 public:
  // Its reference, never 0; 0 when the pool is full (4 Gi units).
  std::uint32_t Add(std::u16string_view text);
  std::u16string_view Get(std::uint32_t ref) const {
    const char16_t* at = Header(ref);
    return {at + kHeaderUnits, at[0]};
  }
  // The scratch word, which saving sets to the text's shared-string index.
  std::uint32_t Mark(std::uint32_t ref) const {
    const char16_t* at = Header(ref);
    return static_cast<std::uint32_t>(at[1]) | static_cast<std::uint32_t>(at[2]) << 16;
  }
  void SetMark(std::uint32_t ref, std::uint32_t mark) {
    char16_t* at = const_cast<char16_t*>(Header(ref));
    at[1] = static_cast<char16_t>(mark);
    at[2] = static_cast<char16_t>(mark >> 16);
  }
  void Clear();

 private:
  // 2 MiB chunks, one huge page each; a chunk never moves, so views stay valid.
  static constexpr unsigned kChunkShift = 20;
  static constexpr std::size_t kChunkUnits = std::size_t{1} << kChunkShift;
  static constexpr std::size_t kMaxChunks = std::size_t{1} << (32 - kChunkShift);
  static constexpr std::size_t kHeaderUnits = 3;
  const char16_t* Header(std::uint32_t ref) const {
    return m_chunks[ref >> kChunkShift].data() + (ref & (kChunkUnits - 1));
  }

  std::vector<BigArray<char16_t>> m_chunks;
  std::size_t m_chunkUsed = kChunkUnits;
};

struct XlsWorkbookAccess {
  using CellData = XlsCell::Data;
  static YExcel::Workbook& Globals(XlsWorkbook& book) { return *book.m_globals; }
  // The complete "Workbook" stream that SaveAs stores.
  static BigArray<std::uint8_t> BuildStream(XlsWorkbook& book);
};
