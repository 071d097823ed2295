// Gauss-Krueger (Transverse Mercator) series in the form given by B. Hofmann-Wellenhof,
// H. Lichtenegger and J. Collins, "GPS: Theory and Practice" (Springer), chapter
// "Transformation of GPS results", section on the Transverse Mercator projection:
// northing to l^8 and easting to l^7 in t = tan(phi), eta^2 = e'^2 cos^2(phi) and
// N = a^2 / (b sqrt(1 + eta^2)), with the meridian arc in Helmert's series in n.
//
// The terms are evaluated in the order and with the literal factors written below,
// and integer powers are built by repeated squaring, so that the grid coordinates
// agree to the last bit with those that the cadastre forms were produced with.
#include "geodesy/CProjXY.h"

#include <cmath>

namespace {

constexpr double kSemiMajorAxisM = 6378137.0;              // a, GRS80, metres
constexpr double kFlattening = 0.003352810681182319;       // f = 1/298.257222101, GRS80
constexpr double kTwoFlattening = 0.006705621362364638;    // 2f, kept as its own constant
constexpr double kSemiMajorAxisSquaredM2 = 40680631590769.0;  // a^2, square metres
constexpr double kFalseEastingM = 500000.0;                // metres

// Degrees per radian, with pi as 4 atan(1), computed once.
const double RHO = 180.0 / (4.0 * std::atan(1.0));

}  // namespace

CProjXY::CProjXY(const double& dLatDeg, const double& dLonDeg, const double& dMeridianDeg) {
  m_dFlat = kFlattening;
  m_dE2 = kTwoFlattening - m_dFlat * m_dFlat;
  m_dB = std::sqrt(kSemiMajorAxisSquaredM2 - m_dE2 * kSemiMajorAxisSquaredM2);
  m_dEp2 = (kSemiMajorAxisSquaredM2 - m_dB * m_dB) / (m_dB * m_dB);
  m_dPhi = dLatDeg / RHO;
  m_dLambda = dLonDeg / RHO;
  m_dLambda0 = dMeridianDeg;
  Project();
}

void CProjXY::Project() {
  const double a = kSemiMajorAxisM;
  const double b = m_dB;
  m_dN = (a - b) / (a + b);

  const double c = std::cos(m_dPhi);
  const double t = std::tan(m_dPhi);
  const double c2 = c * c;
  const double eta2 = m_dEp2 * c2;
  const double N = kSemiMajorAxisSquaredM2 / (b * std::sqrt(1.0 + eta2));
  const double G = MeridianArc();
  // Longitude from the central meridian, radians.
  const double l = (m_dLambda * RHO - m_dLambda0) / RHO;

  const double c3 = c2 * c;
  const double c4 = c2 * c2;
  const double c5 = c4 * c;
  const double c6 = c2 * c4;
  const double c7 = c6 * c;
  const double c8 = c4 * c4;
  const double l2 = l * l;
  const double l3 = l2 * l;
  const double l4 = l2 * l2;
  const double l5 = l4 * l;
  const double l6 = l2 * l4;
  const double l7 = l6 * l;
  const double l8 = l4 * l4;
  const double t2 = t * t;
  const double t4 = t2 * t2;
  const double t6 = t2 * t4;
  const double eta4 = eta2 * eta2;

  dX = G + t / 2.0 * N * c2 * l2 +
       t / 24.0 * N * c4 * l4 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) +
       t / 720.0 * N * c6 * l6 * (61.0 - 58.0 * t2 + t4 + 270.0 * eta2 - 330.0 * t2 * eta2) +
       t / 40320.0 * N * c8 * l8 * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6);

  dY = N * c * l + N * 0.16666666666666666 * c3 * l3 * (1.0 - t2 + eta2) +
       N * 0.008333333333333333 * c5 * l5 *
           (5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2) +
       N * 0.0001984126984126984 * c7 * l7 * (61.0 - 479.0 * t2 + 179.0 * t4 - t6) +
       kFalseEastingM;
}

// F. R. Helmert, "Die mathematischen und physikalischen Theorieen der hoeheren
// Geodaesie" (1880): the meridian arc as a series in the third flattening n,
// h (phi + a2 sin 2phi + a4 sin 4phi + a6 sin 6phi + a8 sin 8phi).
double CProjXY::MeridianArc() const {
  const double a = kSemiMajorAxisM;
  const double b = m_dB;
  const double n = m_dN;
  const double n2 = n * n;
  const double n3 = n2 * n;
  const double n4 = n2 * n2;
  const double n5 = n4 * n;

  const double h = (1.0 + n2 * 0.25 + n4 * 0.015625) * (a + b) / 2.0;
  const double alpha2 = 0.5625 * n3 - 1.5 * n - 0.09375 * n5;
  const double alpha4 = 0.9375 * n2 - 0.46875 * n4;
  const double alpha6 = 0.41015625 * n5 - 0.7291666666666666 * n3;
  const double alpha8 = 0.615234375 * n4;

  const double phi = m_dPhi;
  return (phi + alpha2 * std::sin(2.0 * phi) + alpha4 * std::sin(4.0 * phi) +
          alpha6 * std::sin(6.0 * phi) + alpha8 * std::sin(8.0 * phi)) *
         h;
}
