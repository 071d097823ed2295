#pragma once
// Geographic latitude and longitude on GRS80 to grid coordinates of the three-degree
// Transverse Mercator zones used by the Turkish cadastre (scale 1 on the central
// meridian, false easting 500000 m, false northing 0). A pure calculation: no datum
// shift, no zone check, no state shared between points.

class CProjXY {
 public:
  // Latitude, longitude and central meridian in decimal degrees (east positive).
  // The longitude is not checked against the zone; far outside it the truncated
  // series loses accuracy. Non-finite input gives non-finite results.
  CProjXY(const double& dLatDeg, const double& dLonDeg, const double& dMeridianDeg);
  virtual ~CProjXY() = default;

  // Length of the meridian from the equator to this point's latitude, metres
  // (negative south of the equator); the northing of a point on the central meridian.
  double MeridianArc() const;

 private:
  void Project();

  double m_dPhi;      // latitude, radians
  double m_dLambda;   // longitude, radians
  double m_dLambda0;  // central meridian, degrees
  double m_dFlat;     // flattening f
  double m_dB;        // semi-minor axis b, metres
  double m_dEp2;      // second eccentricity squared e'^2
  double m_dE2;       // first eccentricity squared e^2
  double m_dN;        // third flattening n

 public:
  double dX;  // northing, metres
  double dY;  // easting, metres, false easting included
};
