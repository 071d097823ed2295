#pragma once
// One keyed lookup of the job's records: points by nIndex, pairs by nPairNo and the points
// of each job file, built once from the document's lists and then asked as often as
// needed. It points into the lists, so it holds while they are unchanged. A repeated key
// (only damaged input has one) finds its first record in list order.
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "jobdata/Records.h"

class CVelmiraDoc;

// Positions of records by an int key. Keys that run without gaps, as the document numbers
// points and pairs, are found directly; others by a binary search.
class KeyIndex {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  using Entry = std::pair<int, std::uint32_t>;  // key, position in the list

  KeyIndex() = default;
  // key(record) gives a record's key.
  template <typename Records, typename Key>
  KeyIndex(const Records& records, Key key) {
    m_entries.reserve(records.size());
    std::uint32_t position = 0;
    for (const auto& record : records) m_entries.emplace_back(key(record), position++);
    Sort();
  }

  // The position of the first record of key; kNone when there is none.
  std::uint32_t Find(int key) const;
  // Every record of key, in list order; empty when there is none.
  std::span<const Entry> All(int key) const;

 private:
  void Sort();
  std::vector<Entry> m_entries;  // sorted by key, then position
  bool m_dense = false;          // entry i holds the key of entry 0 plus i
};

class JobIndex {
 public:
  explicit JobIndex(const CVelmiraDoc& doc);
  JobIndex(std::span<const CTarvekNokta> points, std::span<const CEslesenNokta> pairs);

  // The first point of nIndex; nullptr when none is loaded.
  const CTarvekNokta* Point(int nIndex) const;
  // The point a table row stands for: the first point of nIndex when it belongs to that
  // job file; nullptr otherwise.
  const CTarvekNokta* Point(int nIndex, int nFileNumber) const;
  // The pair of nPairNo; nullptr when there is none.
  const CEslesenNokta* Pair(int nPairNo) const;
  // The points of one job file in list order; empty for a file without points.
  std::vector<const CTarvekNokta*> PointsOfFile(int nFileNumber) const;

 private:
  std::span<const CTarvekNokta> m_points;
  std::span<const CEslesenNokta> m_pairs;
  KeyIndex m_byIndex, m_byPairNo, m_byFile;
};
