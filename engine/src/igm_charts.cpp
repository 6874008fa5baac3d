// Point tables of the cohesive intermediate geomaterial procedure.
//
// Sources:
//  - O'Neill, M.W., Townsend, F.C., Hassan, K.M., Buller, A., Chan, P.S. (1996),
//    Load Transfer for Drilled Shafts in Intermediate Geomaterials,
//    FHWA-RD-95-172.
//  - O'Neill, M.W., Reese, L.C. (1999), Drilled Shafts: Construction Procedures
//    and Design Methods, FHWA-IF-99-025, chapter 11.
//  - Brown, D.A., Turner, J.P., Castelli, R.J. (2010), Drilled Shafts,
//    FHWA-NHI-10-016 (GEC-10), for the simplified fluid-concrete rule.
#include "igm_charts.h"

#include <algorithm>

namespace pylar::engine {

namespace {

// ---------------------------------------------------------------------------
// Adhesion factor alpha against qu (MPa), one curve per sigma_n/pa, for an
// interface friction angle of 30 degrees: points digitised from FHWA-IF-99-025,
// Fig. 11.5 (the chart of FHWA-RD-95-172). The curves for sigma_n/pa >= 4 are
// truncated at alpha = 0.5 as on the chart.
constexpr Real kPsfPerMPa = 20885.0F;

// sigma_n/pa = 1
constexpr ChartPoint kAlpha1[] = {
    {0.5F, 0.202028986F},
    {0.693972978F, 0.173043478F},
    {0.93352967F, 0.148695652F},
    {1.253506936F, 0.128985507F},
    {1.556020564F, 0.117391304F},
    {1.849673203F, 0.106956522F},
    {2.214678757F, 0.097681159F},
    {2.597612958F, 0.090724638F},
    {2.936035547F, 0.084927536F},
    {3.274509804F, 0.080289855F},
    {3.577385104F, 0.076811594F},
    {3.862538428F, 0.075652174F},
    {4.156501072F, 0.072173913F},
    {4.47730502F, 0.071014493F},
    {4.753442352F, 0.067536232F},
    {5.0F, 0.067536232F},
};
// sigma_n/pa = 2
constexpr ChartPoint kAlpha2[] = {
    {0.5F, 0.331884058F},
    {0.645715467F, 0.290144928F},
    {0.787026273F, 0.26115942F},
    {0.999586659F, 0.231014493F},
    {1.24800434F, 0.205507246F},
    {1.674520137F, 0.176521739F},
    {1.98573975F, 0.160289855F},
    {2.297166034F, 0.148695652F},
    {2.582009352F, 0.14057971F},
    {2.902503294F, 0.132463768F},
    {3.240874215F, 0.125507246F},
    {3.570332481F, 0.118550725F},
    {3.882017102F, 0.112753623F},
    {4.193753391F, 0.108115942F},
    {4.496628691F, 0.104637681F},
    {4.781730347F, 0.102318841F},
    {5.0F, 0.1F},
};
// sigma_n/pa = 3
constexpr ChartPoint kAlpha3[] = {
    {0.491177762F, 0.444347826F},
    {0.614792426F, 0.392173913F},
    {0.783099538F, 0.345797101F},
    {0.996047431F, 0.302898551F},
    {1.235914128F, 0.268115942F},
    {1.484874319F, 0.241449275F},
    {1.84078638F, 0.214782609F},
    {2.143429177F, 0.197391304F},
    {2.455036296F, 0.182318841F},
    {2.775659407F, 0.171884058F},
    {3.078431373F, 0.160289855F},
    {3.399080317F, 0.151014493F},
    {3.710894107F, 0.145217391F},
    {4.031568886F, 0.137101449F},
    {4.485985171F, 0.131304348F},
    {4.833423752F, 0.124347826F},
    {5.0F, 0.123188406F},
};
// sigma_n/pa = 4
constexpr ChartPoint kAlpha4[] = {
    {0.572605854F, 0.49884058F},
    {0.696246351F, 0.447826087F},
    {0.828902839F, 0.401449275F},
    {1.006174275F, 0.357391304F},
    {1.210364515F, 0.321449275F},
    {1.45028288F, 0.288985507F},
    {1.814900927F, 0.253043478F},
    {2.117466222F, 0.232173913F},
    {2.375571573F, 0.215942029F},
    {2.687127025F, 0.198550725F},
    {2.989924824F, 0.188115942F},
    {3.363946369F, 0.174202899F},
    {3.684621148F, 0.166086957F},
    {4.058746028F, 0.156811594F},
    {4.441757731F, 0.146376812F},
    {4.744684699F, 0.14173913F},
    {5.0F, 0.13826087F},
};
// sigma_n/pa = 5
constexpr ChartPoint kAlpha5[] = {
    {0.724146839F, 0.5F},
    {0.838952182F, 0.452463768F},
    {0.989537317F, 0.410724638F},
    {1.16686042F, 0.368985507F},
    {1.353225348F, 0.333043478F},
    {1.557673926F, 0.308695652F},
    {1.877754527F, 0.273913043F},
    {2.162442843F, 0.250724638F},
    {2.456095482F, 0.229855072F},
    {2.767676768F, 0.213623188F},
    {3.150559301F, 0.197391304F},
    {3.542380325F, 0.182318841F},
    {3.880802914F, 0.170724638F},
    {4.272727273F, 0.160289855F},
    {4.637991165F, 0.153333333F},
    {5.0F, 0.147536232F},
};
// sigma_n/pa = 6
constexpr ChartPoint kAlpha6[] = {
    {0.839985533F, 0.49884058F},
    {0.990260663F, 0.443188406F},
    {1.194140897F, 0.393333333F},
    {1.362706347F, 0.358550725F},
    {1.824769433F, 0.295942029F},
    {2.162778682F, 0.265797101F},
    {2.483091787F, 0.241449275F},
    {2.87483531F, 0.222898551F},
    {3.257614508F, 0.202028986F},
    {3.578185952F, 0.189275362F},
    {3.925572864F, 0.18F},
    {4.344131856F, 0.164927536F},
    {4.75390736F, 0.155652174F},
    {5.0F, 0.147536232F},
};
// sigma_n/pa = 7
constexpr ChartPoint kAlpha7[] = {
    {0.920199437F, 0.49884058F},
    {1.044046604F, 0.457101449F},
    {1.203466894F, 0.411884058F},
    {1.371980676F, 0.374782609F},
    {1.780619494F, 0.314492754F},
    {2.065152807F, 0.284347826F},
    {2.340876799F, 0.25884058F},
    {2.652328916F, 0.236811594F},
    {2.981658012F, 0.217101449F},
    {3.319977266F, 0.200869565F},
    {3.6761735F, 0.186956522F},
    {4.112583637F, 0.173043478F},
    {4.477770028F, 0.162608696F},
    {4.744994704F, 0.155652174F},
    {5.0F, 0.149855072F},
};

constexpr ChartCurve kAlphaFamily[] = {
    {1, kAlpha1}, {2, kAlpha2}, {3, kAlpha3}, {4, kAlpha4},
    {5, kAlpha5}, {6, kAlpha6}, {7, kAlpha7},
};

// ---------------------------------------------------------------------------
// Fluid-pressure factor M against the depth of fluid concrete z_c (ft).
// Approximation: the published simplified rule for concrete of 175 mm (7 in)
// slump and more placed at about 12 m/h, sigma_n = 0.65 gamma_c z_c for
// z_c up to 12 m (39.4 ft) (FHWA-IF-99-025 ch. 11; GEC-10). The point set of
// the chart itself is not held here; slumps below 7 in read this curve too
// (the lowest curve), see the technical manual.
constexpr ChartPoint kFluidPressure7in[] = {{0.0F, 0.65F}, {39.37F, 0.65F}};
constexpr ChartCurve kFluidPressureFamily[] = {{7.0F, kFluidPressure7in}};

// ---------------------------------------------------------------------------
// Em/Ei against RQD (%), FHWA-IF-99-025 ch. 11 (after O'Neill et al. 1996).
constexpr ChartPoint kModulusRatioClosed[] = {{20, 0.05F}, {50, 0.15F}, {70, 0.7F}, {100, 1.0F}};
constexpr ChartPoint kModulusRatioOpen[] = {{20, 0.05F}, {50, 0.1F}, {70, 0.3F}, {100, 0.6F}};

// Jointing factor phi_j against Em/Ei, FHWA-IF-99-025 ch. 11 (after O'Neill et al. 1996).
constexpr ChartPoint kJointFactor[] = {{0.02F, 0.3F}, {0.05F, 0.45F}, {0.1F, 0.55F},
                                       {0.3F, 0.7F},  {0.5F, 0.8F},   {1.0F, 1.0F}};

}  // namespace

Real readCurve(std::span<const ChartPoint> points, Real x) {
  if (points.empty()) return 0;
  if (!(x > points.front().x)) return points.front().y;  // also catches NaN
  if (x >= points.back().x) return points.back().y;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const ChartPoint& a = points[i - 1];
    const ChartPoint& b = points[i];
    if (x <= b.x) {
      const Real dx = b.x - a.x;
      if (dx <= 0) return b.y;
      return a.y + (b.y - a.y) * (x - a.x) / dx;
    }
  }
  return points.back().y;
}

Real readFamily(std::span<const ChartCurve> curves, Real parameter, Real x) {
  if (curves.empty()) return 0;
  if (!(parameter > curves.front().parameter)) return readCurve(curves.front().points, x);
  if (parameter >= curves.back().parameter) return readCurve(curves.back().points, x);
  for (std::size_t i = 1; i < curves.size(); ++i) {
    const ChartCurve& lo = curves[i - 1];
    const ChartCurve& hi = curves[i];
    if (parameter <= hi.parameter) {
      const Real yLo = readCurve(lo.points, x);
      const Real yHi = readCurve(hi.points, x);
      const Real dp = hi.parameter - lo.parameter;
      if (dp <= 0) return yHi;
      return yLo + (yHi - yLo) * (parameter - lo.parameter) / dp;
    }
  }
  return readCurve(curves.back().points, x);
}

Real fluidPressureFactor(Real slumpIn, Real depthFt) {
  return readFamily(kFluidPressureFamily, slumpIn, depthFt);
}

Real adhesionFactor(Real normalStressOverPa, Real quPsf) {
  return readFamily(kAlphaFamily, normalStressOverPa, quPsf / kPsfPerMPa);
}

// No point set of the smooth-socket n chart is held. The engine uses the
// published expression for the same quantity in rough sockets, n = sigma_n/qu
// (FHWA-IF-99-025 ch. 11), limited to [0, 1]; Em/sigma_n and qu/pa, the
// chart's parameter and argument, are accepted so that a digitised chart can
// replace this rule without touching the callers. The value only shapes the
// mobilisation of side resistance with movement (load-settlement); the unit
// side resistance of a smooth socket is its limit fa.
Real smoothSocketN(Real /*modulusOverNormalStress*/, Real /*quOverPa*/, Real normalStressOverQu) {
  if (!(normalStressOverQu > 0)) return 0;
  return std::min(normalStressOverQu, Real(1));
}

Real modulusRatioFromRqd(Real rqd, bool openJoints) {
  return readCurve(openJoints ? std::span<const ChartPoint>(kModulusRatioOpen)
                              : std::span<const ChartPoint>(kModulusRatioClosed),
                   rqd);
}

Real jointFactor(Real modulusRatio) { return readCurve(kJointFactor, modulusRatio); }

}  // namespace pylar::engine
