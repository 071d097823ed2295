#pragma once
// Documents filled by hand for the drawing and report tests, and a realistic job: control
// points measured twice (a few pairs beyond their limits) and detail points in two zones.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedShell.h"
#include "TestDir.h"
#include "drawing/Drawing.h"
#include "jobdata/CVelmiraDoc.h"
#include "jobdata/CVelmiraDocAccess.h"
#include "rules/RuleCheck.h"
#include "rules/RuleProfile.h"

struct DocFixture {
  ScriptedShell shell;
  TestDir dir;
  std::unique_ptr<CVelmiraDoc> doc = std::make_unique<CVelmiraDoc>(shell, dir.path());

  std::vector<tsjdosya>& Files() { return CVelmiraDocAccess::TsjList(*doc); }
  std::vector<CTarvekNokta>& Points() { return CVelmiraDocAccess::NoktaList(*doc); }
  std::vector<CEslesenNokta>& Pairs() { return CVelmiraDocAccess::EslesenList(*doc); }
};

// A point that breaks no rule of either built-in profile.
inline CTarvekNokta MakePoint(int nIndex, int nFileNumber, std::string name, double y, double x,
                              double height = 850, double startTime = 1719500000, std::string meridian = "33") {
  CTarvekNokta p;
  p.strName = std::move(name);
  p.nIndex = nIndex;
  p.nFileNumber = nFileNumber;
  p.strMeridian = meridian;
  p.strMethod = "VRSRTCM31";
  p.dLon = std::stod(meridian) + 0.2;
  p.nEpochs = 120;
  p.nGpsSats = 9;
  p.nGlonassSats = 6;
  p.dY = y;
  p.dX = x;
  p.dHeight = height;
  p.dStartTime = startTime;
  return p;
}

// The pair the matching would make of two sessions.
inline CEslesenNokta MakePair(int nPairNo, const CTarvekNokta& p, const CTarvekNokta& q) {
  CEslesenNokta pair;
  pair.strName1 = p.strName;
  pair.strName2 = q.strName;
  pair.nEpochs1 = p.nEpochs;
  pair.nEpochs2 = q.nEpochs;
  pair.dDiffY = std::fabs(p.dY - q.dY);
  pair.dDiffX = std::fabs(p.dX - q.dX);
  pair.dDiffH = std::fabs(p.dHeight - q.dHeight);
  pair.dDiffHours = std::fabs(p.dStartTime - q.dStartTime) / 3600.0;
  pair.dMeanY = (p.dY + q.dY) / 2;
  pair.dMeanX = (p.dX + q.dX) / 2;
  pair.dMeanH = (p.dHeight + q.dHeight) / 2;
  pair.nPairNo = nPairNo;
  pair.nIndex1 = p.nIndex;
  pair.nIndex2 = q.nIndex;
  return pair;
}

// Two job files in TM33 and one in TM36: 14 control points measured twice in one file,
// the second session up to a few centimetres off (pairs 103 and 109 beyond 7 cm in
// position, 105 in height, 111 only 40 minutes later), and detail points between them;
// the last TM36 point lies beyond its zone's half width. Names hold Turkish letters (Windows-1254).
inline void FillRealisticJob(DocFixture& f) {
  f.Files() = {{"/is/Ankara_Kuzey.tsj", "Ankara_Kuzey.tsj", 1, "33", "VRSRTCM31"},
               {"/is/Ankara_G\xFCney.tsj", "Ankara_G\xFCney.tsj", 2, "33", "VRSRTCM31"},
               {"/is/Kirikkale.tsj", "K\xFDr\xFDkkale.tsj", 3, "36", "RTK"}};
  int nIndex = 1000;
  const double t0 = 1719500000;
  std::vector<CTarvekNokta> first, second;
  for (int i = 0; i < 14; ++i) {
    const double y = 482000 + 310.0 * (i % 5) + 37.0 * i, x = 4420000 + 270.0 * (i / 5) - 23.0 * i;
    const double off = 0.004 * ((i * 7) % 9 - 4);  // -1.6 .. +1.6 cm
    const double big = i == 3 ? 0.085 : i == 9 ? -0.06 : 0;
    const double hours = i == 11 ? 0.67 : 1.5 + 0.25 * (i % 4);
    const std::string name = "PN" + std::to_string(i + 1);
    first.push_back(MakePoint(nIndex++, 1 + i % 2, name, y, x, 912.3 + i, t0 + 600.0 * i));
    second.push_back(MakePoint(nIndex++, 1 + i % 2, name, y + off + big, x - off * 0.7 + (i == 9 ? -0.06 : 0),
                               912.3 + i + off * 2 + (i == 5 ? 0.09 : 0), t0 + 600.0 * i + hours * 3600));
  }
  std::vector<CTarvekNokta> points = first;
  points.insert(points.end(), second.begin(), second.end());
  const char* detailNames[] = {"D\xDE" "1", "\xC7" "e\xFEme", "G\xDC" "L-4", "\xD6" "RN\xDD" "K", "AGAC 12", "Direk-7"};
  for (int i = 0; i < 18; ++i) {
    points.push_back(MakePoint(nIndex++, 1 + i % 2, std::string(detailNames[i % 6]) + "-" + std::to_string(i),
                               482100 + 97.0 * i, 4420100 + 61.0 * ((i * 5) % 11), 905 + i, t0 + 60.0 * i));
  }
  for (int i = 0; i < 6; ++i) {
    points.push_back(MakePoint(nIndex++, 3, "KK" + std::to_string(i + 1), 520300 + 140.0 * i, 4412000 + 85.0 * (i % 3),
                               700 + i, t0 + 90.0 * i, "36"));
  }
  points.back().dLon = 37.6;  // beyond its zone's half width: a warning
  f.Points() = points;
  for (std::size_t i = 0; i < first.size(); ++i) f.Pairs().push_back(MakePair(100 + static_cast<int>(i), first[i], second[i]));
}

inline RuleProfile NetworkProfile() { return *BuiltInProfile(kNetworkProfileId); }
inline RuleProfile ClassicProfile() { return *BuiltInProfile(kClassicProfileId); }

// The marks that stand for something of one kind.
inline std::vector<const drawing::Mark*> MarksOf(const drawing::Drawing& d, drawing::KeyKind kind) {
  std::vector<const drawing::Mark*> out;
  for (const drawing::Mark& m : d.marks) {
    if (m.keyKind == kind) out.push_back(&m);
  }
  return out;
}

inline constexpr drawing::Rgb kFailRed{0xd6, 0x27, 0x28};
