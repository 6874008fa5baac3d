#pragma once
// Unit side and base resistance of the soil and rock models.
//
// The capacity analysis builds one SoilResistance per run after reading the
// project, completes the layers (estimating the parameters left as zero) and
// then, stepping down the pier, asks for the effective stress at a depth, the
// unit side resistance of a slice and the base resistance of a tip. Everything
// runs in the engine's English working units: ft, lb/ft^2, lb/ft^3, tons and
// tons/ft^2 (tsf). Messages come back as lines with the results; nothing
// here opens a file.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "igm_resistance.h"
#include "messages.h"
#include "project_input.h"
#include "units.h"

namespace pylar::engine {

// The 5-character marker printed after a parameter in the report.
inline constexpr std::string_view kEstimatedMarker = "  (*)";
inline constexpr std::string_view kGivenMarker = "     ";
inline std::string_view estimateMarker(bool estimated) {
  return estimated ? kEstimatedMarker : kGivenMarker;
}

// Strong rock of the side-or-base model (code 4) up to this strength carries
// side resistance only, above it end bearing only: 1000 lb/in^2, lb/ft^2.
inline constexpr Real kSideOrBaseRockLimit = 1000 * kPsfPerPsi;

// A maximum unit resistance that was not given, lb/ft^2.
inline constexpr Real kUnlimited = 1.0e10F;  // a maximum resistance not given

// ---------------------------------------------------------------------------
// Effective vertical stress.

struct StressPoint {
  Real depth;   // ft below the pier top
  Real stress;  // lb/ft^2
};

// The stepped table: from (0, 0), one point per whole foot of each layer
// (unit weight interpolated between the layer's top and bottom values,
// less the unit weight of water below the water table), and a closing point
// at the layer bottom for the fraction of a foot left over so that no soil
// weight is lost. A layer 10.6 ft thick adds 10 whole-foot points and one
// 0.6 ft closing point.
class EffectiveStressTable {
 public:
  explicit EffectiveStressTable(const ProjectInput& input);

  // Stress at a depth: linear between table points; below the last point but
  // within the profile, extrapolated from the last two points; 0 above the
  // pier top and below the profile; never negative.
  Real at(Real depth) const;

  const std::vector<StressPoint>& points() const { return points_; }
  std::size_t wholeFootSteps(std::size_t layer) const;

  // Total unit weight of the layer's last one-foot step (its bottom value),
  // used for the stress at the middle of a slice.
  Real lastStepUnitWeight(std::size_t layer) const;

  // The mean stress over the depths from `from` to `to` (ft): the integral of
  // `at` divided by the length (`at(from)` for no length).
  Real mean(Real from, Real to) const;

 private:
  std::vector<StressPoint> points_;
  std::vector<std::size_t> wholeSteps_;
  std::vector<Real> lastStepWeight_;
  Real profileBottom_ = 0;
};

// Friction angle of sand (degrees) from an SPT blow count and the effective
// vertical stress (lb/ft^2), read from the three-curve chart. N <= 0 never
// enters the chart and gives 0.
Real frictionAngleFromSpt(Real blowCount, Real effectiveStress);

// ---------------------------------------------------------------------------
// Layers completed for the run.

// A sand layer under the 2018 set (FHWA GEC-10, Brown et al. 2018): the beta
// method with values that are means over the layer, as the published method
// and its worked example take them.
struct Sand2018 {
  Real blowCount = 0;      // mean N60 of the layer (the ends that give one)
  Real stress = 0;         // mean effective stress of the ground before scour, lb/ft^2
  Real correctedBlowCount = 0;  // (N1)60 = N60 (pa/stress)^0.5
  Real frictionAngle = 0;  // 27.5 + 9.2 log10 (N1)60, or the mean given angle
  Real interfaceAngle = 0; // the mean given interface angle, else the friction angle
  Real preconsolidation = 0;  // lb/ft^2; 0 without blow counts
  Real ocr = 1;
  Real k0 = 0;
  Real beta = 0;
  bool fromBlowCounts = false;  // the friction angle comes from N
};

struct EndEstimates {
  bool frictionAngle = false;
  bool interfaceAngle = false;
  bool sideParameter = false;  // beta or alpha
  bool nc = false;
};

struct CompletedLayer {
  std::array<LayerEnd, 2> end{};         // the input values, estimates filled in
  std::array<EndEstimates, 2> estimated{};
  bool ncEstimated = false;    // clay, shale: Nc given at neither end
  bool sideParameterEstimated = false;  // beta or alpha given at neither end
  bool hasCohesion = false;    // clay, shale: cohesion above 1e-5 at an end
  Real maxSideTsf = kUnlimited / kPoundsPerTon;  // layer limits, tons/ft^2
  Real maxBaseTsf = kUnlimited / kPoundsPerTon;
  Real socketDiameterFallback = 0;  // ft, the minimum pier diameter
  // Updated by the clay base procedure: the Nc of the last tip that had one.
  Real lastValidNc = 0;
  // Gravelly sand and gravel: the blow count at the top or at the bottom
  // lies above 50 (the unit tip resistance is limited to 30 tsf), or is 25 or
  // less (below the range of the criterion, which asks for more than 25).
  bool blowCountOver50 = false;
  bool blowCountAtMost25 = false;
  // Under the 2018 set: a sand layer's values, and a clay layer's
  // CIUC-equivalent strength at its top and bottom (lb/ft^2).
  Sand2018 sand2018;
  std::array<Real, 2> ciucStrength{};
  bool anyEstimated() const;
};

// Result of a slice.
struct SliceResistance {
  Real unitSide = 0;       // fs, tons/ft^2, after every limit
  Real strengthTerm = 0;   // X, lb/ft^2
  Real coefficient = 0;    // Ko, K, beta or alpha used; 1 for rock models
  Real socketDiameter = 0; // rock models: diameter of the perimeter (ft), 0 = the stem's
  bool hasBase = false;    // weak and decomposed rock: the base of a tip at this slice
  BaseResistance base;
  // What the run notes say of the slice for a tip below it: the total unit
  // weight is missing (below 50 lb/ft^3) in a model that needs it; the
  // socket checks of a weak-rock slice.
  bool lowUnitWeight = false;
  std::optional<SocketCheck> socketCheck;
};

// The run-notes block that asks for the total unit weight, and the same as
// a warning of layer i (from 0).
Lines unitWeightMessage();
Warning unitWeightWarning(std::size_t i);

// The texts of the layer warnings, one line each, as the report's blocks word them.
inline constexpr std::string_view kClayTooStrongWarning =
    "THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE "
    "GEOMATERIALS IS RECOMMENDED.";
inline constexpr std::string_view kClayFromBlowCountWarning =
    "THE PREDICTED LOAD TRANSFER IN CLAY BASED ON THE N-VALUE FROM STANDARD PENETRATION TESTS IS NOT "
    "RECOMMENDED FOR THE FINAL DESIGN.  PLEASE INPUT THE UNDRAIDED SHEAR STRENGTH FOR CLAY LAYERS IN THE FINAL "
    "DESIGN.";
inline constexpr std::string_view kSandStrengthMissingWarning =
    "PLEASE INPUT EITHER THE N-VALUE FROM STANDARD PENETRATION TESTS OR THE INTERNAL FRICTION ANGLE FOR SAND "
    "LAYERS";
inline constexpr std::string_view kWeakRockConditionWarning =
    "WEAK ROCK INTERFACE CONDITION SHOULD BE 1 TO 4; SMOOTH SOCKET WITH OPEN JOINTS (4) IS USED";
inline constexpr std::string_view kGravelBlowCountHighWarning =
    "UNIT TIP RESISTANCE IS LIMITED TO 30 TSF IF SPT-N IS OVER 50. LOADING TEST IS RECOMMENDED FOR USING "
    "HIGHER VALUE.";
inline constexpr std::string_view kGravelBlowCountLowWarning =
    "Blow counts should be greater than 25 for this criterion. Select other soil criteria and do not use this "
    "output data.";

// Linear interpolation parameter of a depth in a layer: (z - top)/thickness,
// limited to [0, 1]; 0 for a layer without thickness.
Real layerFraction(Real top, Real bottom, Real depth);
Real interpolate(Real top, Real bottom, Real fraction);

// Estimated side coefficients at a depth z (ft).
Real estimatedSandBeta(Real depth, Real blowCount);   // [0.25, 1.2]
Real estimatedGravellySandBeta(Real depth);           // [0.25, 1.8]
Real estimatedGravelBeta(Real depth);                 // [0.25, 3.0]
Real estimatedAlpha(Real cohesion);                   // 0.55 .. 0.4
// Nc by depth (report value): 6 (1 + 0.2 z/D), at most 9 (clay) or 7 (shale).
Real estimatedNcByDepth(Real depth, Real minimumDiameter, int code);
// Nc of a base in clay or shale from the undrained strength (lb/ft^2).
Real ncFromStrength(Real strength);

// ---------------------------------------------------------------------------
// The 2018 set (FHWA GEC-10, Brown et al. 2018; AASHTO LRFD 10.8).

// The CIUC-equivalent undrained strength (lb/ft^2) of a strength measured by
// `test` under the effective vertical stress `effectiveStress` (Chen and
// Kulhawy 1993): su(UU)/su(CIUC) = 0.911 + 0.499 log10(su/sigma'),
// su(UC)/su(CIUC) = 0.893 + 0.513 log10(su/sigma'), su/sigma' held within
// 0.1 to 10.
Real ciucStrength(Real strength, Real effectiveStress, methods::StrengthTest test);
// Adhesion factor alpha = 0.30 + 0.17/(su(CIUC)/pa) (Chen et al. 2011, GEC-10
// Fig. 10-6), at most 1.
Real alpha2018(Real ciucStrength);
// A sand layer's 2018 values from its mean N60, mean stress before scour
// (lb/ft^2), the mean friction and interface angles given (0: not given)
// and its kind.
Sand2018 sand2018Values(Real blowCount, Real meanStress, Real givenFrictionAngle, Real givenInterfaceAngle,
                        methods::SandKind kind);
// Mass reduction factor alphaE of a rock side by RQD (%), closed or open
// joints (GEC-10 Table 10-3, O'Neill and Reese 1999).
Real rockMassFactor(Real rqd, bool openJoints);

// Chen and Kulhawy lateral earth pressure coefficient:
// K = (1 - sin phi) OCR^(sin phi), OCR = 0.47 pa N^m / sigma_v' >= 1,
// at most Kp = tan^2(45 + phi/2).
Real chenKulhawyK(Real blowCount, Real exponent, Real effectiveStress, Real frictionAngleDeg);

// The resistance procedures of one run: the steps every model shares, the
// rest asked of the layer's model (soil_family.h). Holds a reference to the project
// input, which must outlive it.
class SoilResistance {
 public:
  explicit SoilResistance(const ProjectInput& input);

  const ProjectInput& input() const { return input_; }
  const EffectiveStressTable& stress() const { return stress_; }
  std::size_t layerCount() const { return layers_.size(); }
  const CompletedLayer& layer(std::size_t i) const { return layers_.at(i); }
  Real layerTop(std::size_t i) const { return input_.layerTop(i); }

  // Completes one layer (estimates, markers) and returns its messages: the
  // clay strength and N-value warnings for the report, the sand input error
  // for the run notes. Call once per layer, before its base is asked for.
  Messages completeLayer(std::size_t i);
  Messages completeAll();

  // Base resistance of a tip at tipDepth in layer i, for a base of diameter
  // baseDiameter (ft). Sand, gravelly sand, gravel, clay, shale and strong
  // rock; weak and decomposed rock bases come with their slices. Updates the
  // layer's unit base value (and last valid Nc). The layer's maximum unit
  // base resistance is left to the caller.
  BaseResistance baseResistance(std::size_t i, Real tipDepth, Real baseDiameter);
  // The SPT base procedure of sand, whatever the layer's model.
  BaseResistance sandBase(std::size_t i, Real tipDepth, Real baseDiameter);

  // Unit side resistance of the slice of layer i whose bottom is at depth
  // (ft), for a pier whose tip is at tipDepth (ft). Every model; weak and
  // decomposed rock also give the base of a tip at this slice.
  SliceResistance slice(std::size_t i, Real depth, Real tipDepth, WeakRockRunState& rock);
  // The same for the part of the slice from `from` to `to` (the 2018 set
  // splits a slice at layer boundaries and at the scour depth).
  SliceResistance slice(std::size_t i, Real depth, Real tipDepth, WeakRockRunState& rock, Real from, Real to);

  // 2018 set: the effective stress of the soil above the scour depth, which
  // scour removes (lb/ft^2); 0 without scour or under the 1999 set.
  Real scourStress() const { return scourStress_; }
  // The layer holding a depth (ft): the first whose bottom lies below it;
  // nullopt below the profile.
  std::optional<std::size_t> layerAt(Real depth) const;

 private:
  const ProjectInput& input_;
  EffectiveStressTable stress_;
  std::vector<CompletedLayer> layers_;
  Real scourStress_ = 0;
};

}  // namespace pylar::engine
