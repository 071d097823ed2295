#pragma once
// The writer's internals, for its own sources and its tests: the compound file, the
// record layer, the string pool behind cell texts, and the stream a workbook saves.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "xls/CompoundFile.h"
#include "xls/XlsWorkbook.h"
#include "xls/YExcel.h"

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
  std::vector<std::unique_ptr<char16_t[]>> m_chunks;
  std::size_t m_chunkUsed = kChunkUnits;
  std::vector<std::uint32_t> m_slots;  // id + 1; 0 is empty
};

struct XlsWorkbookAccess {
  using CellData = XlsCell::Data;
  static YExcel::Workbook& Globals(XlsWorkbook& book) { return *book.m_globals; }
  // The complete "Workbook" stream that SaveAs stores.
  static std::vector<std::uint8_t> BuildStream(XlsWorkbook& book);
};
