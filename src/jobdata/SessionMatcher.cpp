#include "jobdata/SessionMatcher.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>

namespace {

constexpr double kSameObservation = 0.00001;  // metres
constexpr int kFirstPairNo = 100;
// Cell indices are clamped well inside int64 so that far-away or huge coordinates
// still land in a cell; clamping never separates two points that are one cell apart.
constexpr double kCellLimit = 4.0e18;

struct CellKey {
  std::int64_t y;
  std::int64_t x;
  bool operator==(const CellKey&) const = default;
};

struct CellKeyHash {
  size_t operator()(const CellKey& k) const {
    std::uint64_t h = static_cast<std::uint64_t>(k.y) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(k.x) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    return static_cast<size_t>(h ^ (h >> 31));
  }
};

std::int64_t CellIndex(double coordinate, double cellSize) {
  const double q = std::floor(coordinate / cellSize);
  return static_cast<std::int64_t>(std::clamp(q, -kCellLimit, kCellLimit));
}

bool IsFinitePoint(const CTarvekNokta& p) {
  return std::isfinite(p.dY) && std::isfinite(p.dX) && std::isfinite(p.dHeight);
}

CEslesenNokta MakePair(const CTarvekNokta& p, const CTarvekNokta& q, double dy, double dx,
                       double dh, int pairNo) {
  CEslesenNokta pair;
  pair.strName1 = p.strName;
  pair.strName2 = q.strName;
  pair.nEpochs1 = p.nEpochs;
  pair.nEpochs2 = q.nEpochs;
  pair.dDiffY = dy;
  pair.dDiffX = dx;
  pair.dDiffH = dh;
  pair.dDiffHours = std::fabs(p.dStartTime - q.dStartTime) / 3600.0;
  pair.dMeanY = (p.dY + q.dY) * 0.5;
  pair.dMeanX = (p.dX + q.dX) * 0.5;
  pair.dMeanH = (q.dHeight + p.dHeight) * 0.5;
  pair.nPairNo = pairNo;
  pair.nIndex1 = p.nIndex;
  pair.nIndex2 = q.nIndex;
  return pair;
}

// Points grouped by grid cell, each cell's members in list order.
class CellIndexMap {
 public:
  CellIndexMap(const std::vector<CTarvekNokta>& points, double cellSize) : m_cellSize(cellSize) {
    std::vector<std::pair<CellKey, std::uint32_t>> keyed;
    keyed.reserve(points.size());
    for (std::uint32_t i = 0; i < points.size(); ++i) {
      if (IsFinitePoint(points[i])) keyed.push_back({KeyOf(points[i]), i});
    }
    m_cells.reserve(keyed.size());
    for (const auto& [key, i] : keyed) m_cells[key].push_back(i);
  }

  CellKey KeyOf(const CTarvekNokta& p) const {
    if (!std::isfinite(m_cellSize)) return {0, 0};
    return {CellIndex(p.dY, m_cellSize), CellIndex(p.dX, m_cellSize)};
  }

  // The members of the 3 x 3 cells around p, ascending.
  void Neighbours(const CTarvekNokta& p, std::vector<std::uint32_t>& out) const {
    out.clear();
    const CellKey centre = KeyOf(p);
    const bool single = !std::isfinite(m_cellSize);
    for (std::int64_t dy = -1; dy <= 1; ++dy) {
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        if (single && (dy || dx)) continue;
        const CellKey key{SaturatingAdd(centre.y, dy), SaturatingAdd(centre.x, dx)};
        if ((dy || dx) && key == centre) continue;  // clamped onto the centre cell
        if (auto it = m_cells.find(key); it != m_cells.end()) {
          out.insert(out.end(), it->second.begin(), it->second.end());
        }
      }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }

 private:
  static std::int64_t SaturatingAdd(std::int64_t v, std::int64_t d) {
    const auto limit = static_cast<std::int64_t>(kCellLimit);
    return std::clamp<std::int64_t>(v + d, -limit, limit);
  }

  double m_cellSize;
  std::unordered_map<CellKey, std::vector<std::uint32_t>, CellKeyHash> m_cells;
};

// Mirror candidates share their names crosswise and all three differences to within
// 0.00001 m; buckets twice that wide keep every candidate in this or a neighbouring one.
constexpr double kMirrorBucket = 2 * kSameObservation;

std::string NamesKey(const std::string& first, const std::string& second) {
  std::string key;
  key.reserve(first.size() + second.size() + 1);
  key.append(first).push_back('\0');  // names never hold a zero byte
  key.append(second);
  return key;
}

bool AreMirrors(const CEslesenNokta& a, const CEslesenNokta& b) {
  return std::fabs(a.dDiffY - b.dDiffY) < kSameObservation &&
         std::fabs(a.dDiffX - b.dDiffX) < kSameObservation &&
         std::fabs(a.dDiffH - b.dDiffH) < kSameObservation;
}

}  // namespace

namespace {

// Calls visit(p, q, dy, dx, dh) for every ordered pair within tolerance, in list order,
// while visit returns true.
template <typename Visit>
void VisitPairs(const std::vector<CTarvekNokta>& points, double dMatchTol, Visit&& visit) {
  // Below 0.00001 m every pair within tolerance is also the same observation.
  if (std::isnan(dMatchTol) || dMatchTol < kSameObservation) return;
  // Slightly wider than the tolerance, so that rounding in the division can never put
  // two points within tolerance more than one cell apart.
  const double cellSize = dMatchTol * (1.0 + 1e-9);
  const CellIndexMap cells(points, cellSize);
  std::vector<std::uint32_t> candidates;
  for (const CTarvekNokta& p : points) {
    if (!IsFinitePoint(p)) continue;
    cells.Neighbours(p, candidates);
    for (std::uint32_t j : candidates) {
      const CTarvekNokta& q = points[j];
      const double dy = std::fabs(p.dY - q.dY);
      const double dx = std::fabs(p.dX - q.dX);
      const double dh = std::fabs(p.dHeight - q.dHeight);
      if (dy < kSameObservation && dx < kSameObservation && dh < kSameObservation) continue;
      if (dy > dMatchTol || dx > dMatchTol || dh > dMatchTol) continue;
      if (!visit(p, q, dy, dx, dh)) return;
    }
  }
}

}  // namespace

std::vector<CEslesenNokta> MatchPairs(const std::vector<CTarvekNokta>& points, double dMatchTol) {
  std::vector<CEslesenNokta> pairs;
  int pairNo = kFirstPairNo;
  VisitPairs(points, dMatchTol, [&](const CTarvekNokta& p, const CTarvekNokta& q, double dy, double dx, double dh) {
    pairs.push_back(MakePair(p, q, dy, dx, dh, pairNo++));
    return true;
  });
  return pairs;
}

std::size_t CountPairs(const std::vector<CTarvekNokta>& points, double dMatchTol, std::size_t limit) {
  std::size_t count = 0;
  VisitPairs(points, dMatchTol, [&](const CTarvekNokta&, const CTarvekNokta&, double, double, double) {
    return ++count <= limit;
  });
  return count;
}

// A pair is dropped exactly when an earlier pair that is kept mirrors it: a kept pair
// marks all its mirrors, and a pair marked before its turn marks nothing.
//
// Kept pairs are found by their names and by all three differences, each in buckets
// twice the mirror distance wide: a pair looks only at the 27 buckets around its own,
// so pairs of one name whose differences merely share one coordinate (a point measured
// many times along a line) are never compared one by one.
void RemoveMirrorPairs(std::vector<CEslesenNokta>& pairs) {
  struct Bucket {
    std::uint32_t names;
    std::int64_t y, x, h;
    bool operator==(const Bucket&) const = default;
  };
  struct BucketHash {
    size_t operator()(const Bucket& b) const {
      std::uint64_t k = b.names;
      for (std::int64_t v : {b.y, b.x, b.h}) k = (k ^ static_cast<std::uint64_t>(v)) * 0x9E3779B97F4A7C15ull;
      return static_cast<size_t>(k ^ (k >> 29));
    }
  };
  std::unordered_map<std::string, std::uint32_t> nameIds;
  std::unordered_map<Bucket, std::vector<size_t>, BucketHash> kept;
  std::vector<bool> remove(pairs.size(), false);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const CEslesenNokta& a = pairs[i];
    if (!std::isfinite(a.dDiffY) || !std::isfinite(a.dDiffX) || !std::isfinite(a.dDiffH)) continue;
    const std::int64_t y = CellIndex(a.dDiffY, kMirrorBucket);
    const std::int64_t x = CellIndex(a.dDiffX, kMirrorBucket);
    const std::int64_t h = CellIndex(a.dDiffH, kMirrorBucket);
    if (auto crosswise = nameIds.find(NamesKey(a.strName2, a.strName1)); crosswise != nameIds.end()) {
      for (std::int64_t dy = -1; dy <= 1 && !remove[i]; ++dy) {
        for (std::int64_t dx = -1; dx <= 1 && !remove[i]; ++dx) {
          for (std::int64_t dh = -1; dh <= 1 && !remove[i]; ++dh) {
            auto it = kept.find({crosswise->second, y + dy, x + dx, h + dh});
            if (it == kept.end()) continue;
            for (size_t k : it->second) {
              if (AreMirrors(pairs[k], a)) {
                remove[i] = true;
                break;
              }
            }
          }
        }
      }
    }
    if (remove[i]) continue;
    const auto own = nameIds.try_emplace(NamesKey(a.strName1, a.strName2), static_cast<std::uint32_t>(nameIds.size()));
    kept[{own.first->second, y, x, h}].push_back(i);
  }
  size_t i = 0;
  std::erase_if(pairs, [&](const CEslesenNokta&) { return remove[i++]; });
}

int AssignGroupNumbers(std::vector<CEslesenNokta>& pairs) {
  struct Group {
    int count = 0;
    int lastPosition = 0;
  };
  std::unordered_map<int, Group> groups;
  groups.reserve(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    Group& g = groups[pairs[i].nIndex1];
    ++g.count;
    g.lastPosition = static_cast<int>(i) + 1;
  }
  for (CEslesenNokta& pair : pairs) {
    const Group& g = groups[pair.nIndex1];
    if (g.count > 1) pair.nGroupNo = g.lastPosition;
  }
  return static_cast<int>(pairs.size()) + 1;
}
