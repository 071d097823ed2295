#include "jobdata/JobIndex.h"

#include <algorithm>

#include "jobdata/CVelmiraDoc.h"

void KeyIndex::Sort() {
  // The document's lists are in key order already; only other input pays for the sort.
  if (!std::is_sorted(m_entries.begin(), m_entries.end())) std::sort(m_entries.begin(), m_entries.end());
  m_dense = !m_entries.empty() && static_cast<std::int64_t>(m_entries.back().first) - m_entries.front().first ==
                                      static_cast<std::int64_t>(m_entries.size()) - 1;
}

std::uint32_t KeyIndex::Find(int key) const {
  if (m_dense) {
    const std::int64_t i = static_cast<std::int64_t>(key) - m_entries.front().first;
    return i >= 0 && i < static_cast<std::int64_t>(m_entries.size()) ? m_entries[static_cast<std::size_t>(i)].second : kNone;
  }
  auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{key, 0});
  return it != m_entries.end() && it->first == key ? it->second : kNone;
}

std::span<const KeyIndex::Entry> KeyIndex::All(int key) const {
  const auto first = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{key, 0});
  const auto last = std::upper_bound(first, m_entries.end(), Entry{key, kNone});
  return {first, last};
}

JobIndex::JobIndex(const CVelmiraDoc& doc) : JobIndex(doc.NoktaList(), doc.EslesenList()) {}

JobIndex::JobIndex(std::span<const CTarvekNokta> points, std::span<const CEslesenNokta> pairs)
    : m_points(points),
      m_pairs(pairs),
      m_byIndex(points, [](const CTarvekNokta& p) { return p.nIndex; }),
      m_byPairNo(pairs, [](const CEslesenNokta& e) { return e.nPairNo; }),
      m_byFile(points, [](const CTarvekNokta& p) { return p.nFileNumber; }) {}

const CTarvekNokta* JobIndex::Point(int nIndex) const {
  const std::uint32_t i = m_byIndex.Find(nIndex);
  return i == KeyIndex::kNone ? nullptr : &m_points[i];
}

const CTarvekNokta* JobIndex::Point(int nIndex, int nFileNumber) const {
  const CTarvekNokta* p = Point(nIndex);
  return p && p->nFileNumber == nFileNumber ? p : nullptr;
}

const CEslesenNokta* JobIndex::Pair(int nPairNo) const {
  const std::uint32_t i = m_byPairNo.Find(nPairNo);
  return i == KeyIndex::kNone ? nullptr : &m_pairs[i];
}

std::vector<const CTarvekNokta*> JobIndex::PointsOfFile(int nFileNumber) const {
  std::vector<const CTarvekNokta*> points;
  for (const KeyIndex::Entry& e : m_byFile.All(nFileNumber)) points.push_back(&m_points[e.second]);
  return points;
}
