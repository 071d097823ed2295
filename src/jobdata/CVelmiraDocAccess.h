#pragma once
// The one way in for tests that fill a document by hand instead of from job files.
#include "jobdata/CVelmiraDoc.h"

struct CVelmiraDocAccess {
  static std::vector<tsjdosya>& TsjList(CVelmiraDoc& doc) { return doc.m_tsjList; }
  static std::vector<CTarvekNokta>& NoktaList(CVelmiraDoc& doc) { return doc.m_noktaList; }
  static std::vector<CEslesenNokta>& EslesenList(CVelmiraDoc& doc) { return doc.m_eslesenList; }
};
