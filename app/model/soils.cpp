#include "soils.h"

#include <QRegularExpression>

#include <array>
#include <limits>

namespace pylar {

namespace {

using P = TSoilProperty;
using K = TFieldKind;
using F = TFilePlace;
constexpr int kAnyInt = std::numeric_limits<int>::min();
constexpr int kMaxInt = std::numeric_limits<int>::max();

constexpr const char *kSandProcedures[] = {"Ko Method", "Beta Method", "Chen and Kulhawy (2002) Method"};
// The choices of the block of design methods, in the order of its words
// (design_methods.h): the choice k is the word k - 1.
constexpr const char *kStrengthTests[] = {"UU", "UC", "CIUC"};
constexpr const char *kSandKinds[] = {"Clean", "Silty", "Gravelly"};
// The side friction procedures of sand, as sets of the procedures that use a value.
constexpr TProcedureSet kKo = ProcedureBit(smKo);
constexpr TProcedureSet kBeta = ProcedureBit(smBeta);
constexpr TProcedureSet kChenKulhawy = ProcedureBit(smChenKulhawy);

// Each table lists its columns in the property table's order. Per column: the
// property, the table's heading and unit template, the kind (with bounds and
// default for whole numbers), where it stands in the project file, and the
// property dialog's caption, unit text and row.

constexpr TSoilField kSandFields[] = {
    {P::UnitWeight, "Total Unit Weight", "F/L2^3", K::Number, 0, 0, 0, F::PropertyLine, 1, false,
     "1. Total Unit Weight", nullptr, 0},
    {P::FrictionAngle, "Friction Angle", "", K::Number, 0, 0, 0, F::PropertyLine, 2, false,
     "6. Friction Angle (***)", "Deg", 5, false, {}, "INTERNAL FRICTION ANGLE, DEG."},
    {P::BlowCount, "Blow Counts -Optional-", "", K::Count, 0, 100, 0, F::PropertyLine, 4, false,
     "5. Blow Counts from SPT", nullptr, 4},
    {P::Ko, "Ko", "", K::Number, 0, 0, 0, F::ProcedureValue, smKo, false,
     "2. Coefficient of Lateral Earth Pressure, Ko", nullptr, 1, false, {}, nullptr, kKo},
    {P::Beta, "Beta", "", K::Number, 0, 0, 0, F::ProcedureValue, smBeta, false, "3. Beta Value (*)", nullptr, 2,
     false, {}, "SKIN FRICTION COEFFICIENT- BETA", kBeta},
    // Holds 1, 2 or 3 (Ko, beta, Chen and Kulhawy); the stored bounds are those of the first two.
    // The dialog shows it as its own group of buttons, not as a field.
    {P::SandMethod, "Method", "", K::Count, 1, 2, 1, F::Procedure, -1, false, "Side Friction Procedure", nullptr, -1,
     false, kSandProcedures},
    {P::InterfaceAngle, "Interface Angle", "", K::Number, 0, 0, 0, F::PropertyLine, 3, true,
     "7. Interface Angle (****)", "Deg", 6, true, {}, nullptr, kKo | kChenKulhawy},
    // The column headed "OCR" holds the preconsolidation stress exponent m.
    {P::StressExponent, "OCR", "", K::Number, 0, 0, 0, F::ProcedureValue, smChenKulhawy, true,
     "4. Preconsolidation Stress Exponent (**) (m)", nullptr, 3, false, {}, "PRECONSOLIDATION STRESS EXPONENT - M",
     kChenKulhawy},
    // The sand's kind sets its preconsolidation stress under the 2018 methods.
    {P::SandKind, "Sand Kind (2018)", "", K::Choice, 0, 0, 0, F::MethodBlock, -1, false, "Sand Kind (2018 methods)",
     nullptr, -1, false, kSandKinds, nullptr, kAnyProcedure, scSand},
};

constexpr TSoilField kClayFields[] = {
    {P::UnitWeight, "Total Unit Weight", "F/L2^3", K::Number, 0, 0, 0, F::PropertyLine, 1, false,
     "1. Total Unit Weight", nullptr, 0},
    {P::Cohesion, "Cohesion", "F/L2^2", K::Number, 0, 0, 0, F::PropertyLine, 3, false, "2. Cohesion", nullptr, 1},
    {P::BlowCount, "Blow Counts -Optional-", "", K::Count, 0, 100, 0, F::PropertyLine, 4, false,
     "3. Blow Counts from SPT (*)", nullptr, 2},
    {P::Alpha, "Alpha Factor", "", K::Number, 0, 0, 0, F::PairLine, -1, false, "4. Alpha Factor (**)", nullptr, 3,
     false, {}, "STRENGTH REDUCTION FACTOR-ALPHA"},
    {P::Nc, "Bearing Capacity Coefficient, Nc", "", K::Number, 0, 0, 0, F::PropertyLine, 0, false,
     "5. Bearing Capacity Coefficient, Nc (**)", nullptr, 4, false, {}, "END BEARING COEFFICIENT-Nc"},
    // The test of the cohesion sets the alpha of the 2018 methods; clay only (not shale).
    {P::StrengthTest, "Strength Test (2018)", "", K::Choice, 0, 0, 0, F::MethodBlock, -1, false,
     "Strength Test (2018 methods)", nullptr, -1, false, kStrengthTests, nullptr, kAnyProcedure, scClay},
};

constexpr TSoilField kStrongRockFields[] = {
    {P::RockStrength, "Rock Compressive Strength", "F/L2^2", K::Number, 0, 0, 0, F::PropertyLine, 0, false,
     "1. Rock Compressive Strength", nullptr, 0},
    {P::ConcreteStrength, "Concrete Compressive Strength", "F/L2^2", K::Number, 0, 0, 0, F::PropertyLine, 1, false,
     "2. Concrete Compressive Strength", nullptr, 1},
    {P::DiscontinuitySpacing, "Discontinuity Spacing", "L2", K::Number, 0, 0, 0, F::PropertyLine, 2, false,
     "3. Discontinuity Spacing", nullptr, 2},
    {P::DiscontinuityThickness, "Discontinuity Thickness", "L2", K::Number, 0, 0, 0, F::PropertyLine, 3, false,
     "4. Discontinuity Thickness", nullptr, 3},
    {P::SocketDiameter, "Socket Diameter", "L2", K::Number, 0, 0, 0, F::PropertyLine, 4, false, "5. Socket Diameter",
     nullptr, 4},
    {P::RockModulus, "Elastic Modulus", "F/L^2", K::Number, 0, 0, 0, F::PropertyLine, 6, false, "6. Elastic Modulus",
     nullptr, 5},
    {P::RQD, "RQD, %", "", K::Number, 0, 0, 0, F::PropertyLine, 7, false, "7. RQD, %", nullptr, 6},
};

constexpr TSoilField kDecomposedRockFields[] = {
    {P::UnitWeight, "Total Unit Weight", "F/L2^3", K::Number, 0, 0, 0, F::PropertyLine, 0, false,
     "1. Total Unit Weight", nullptr, 0},
    {P::BlowCount, "Blow Counts (SPT Test)", "", K::Count, 0, 100, 0, F::PropertyLine, 1, false,
     "2. Blow Counts from SPT", nullptr, 1},
    {P::Poisson, "Poisson's Ratio", "", K::Number, 0, 0, 0, F::PropertyLine, 2, false, "3. Poisson Ratio", nullptr, 2},
    {P::YoungModulus, "Young's Modulus -optional-", "F/L^2", K::Number, 0, 0, 0, F::PropertyLine, 3, false,
     "6. Young Modulus (optional)", nullptr, 4},
    {P::SocketDiameter, "Socket Diameter", "L2", K::Number, 0, 0, 0, F::PropertyLine, 4, false, "5. Socket Diameter",
     nullptr, 3},
};

constexpr const char *kInterfaceConditions[] = {"Rough Surface w/closed joints", "Smooth Surface w/closed joints",
                                                "Rough Surface w/open joints", "Smooth Surface w/open joints"};

constexpr TSoilField kWeakRockFields[] = {
    {P::RockStrength, "Rock Compressive Strength", "F/L2^2", K::Number, 0, 0, 0, F::PropertyLine, 0, false,
     "2. Rock Compressive Strength", nullptr, 1},
    {P::InterfaceCondition, "Interface Condition", "", K::Choice, 0, 0, 0, F::PropertyLine, 1, false,
     "1. Interface Condition Index (*)", nullptr, 0, false, kInterfaceConditions},
    {P::Slump, "Concrete Slump", "L", K::Number, 0, 0, 0, F::PropertyLine, 2, false, "3. Concrete Slump", nullptr, 2},
    {P::InterfaceAngle, "Interface Friction Angle, Deg.", "", K::Number, 0, 0, 0, F::PropertyLine, 3, false,
     "4. Interface Friction Angle", "Deg", 3},
    {P::SocketDiameter, "Socket Diameter", "L2", K::Number, 0, 0, 0, F::PropertyLine, 4, false, "5. Socket Diameter",
     nullptr, 4},
    {P::RockModulus, "Elastic Modulus of Rock Core", "F/L^2", K::Number, 0, 0, 0, F::PropertyLine, 6, false,
     "6. Elastic Modulus of Rock Core", nullptr, 5},
    {P::RQD, "RQD (%)", "", K::Number, 0, 0, 0, F::PropertyLine, 7, false, "7. RQD, %", nullptr, 6},
};

constexpr TSoilField kGravelFields[] = {
    {P::UnitWeight, "Total Unit Weight", "F/L2^3", K::Number, 0, 0, 0, F::PropertyLine, 0, false,
     "1. Total Unit Weight", nullptr, 0},
    {P::BlowCount, "Blow Counts", "", K::Count, kAnyInt, kMaxInt, 0, F::PropertyLine, 1, false,
     "2. Blow Counts from SPT", nullptr, 1},
    {P::Beta, "Beta (optional)", "", K::Number, 0, 0, 0, F::PropertyLine, 2, false, "3. Beta Value", nullptr, 2,
     false, {}, "SKIN FRICTION COEFFICIENT- BETA"},
};

// The notes of beta, of m and of the friction angle show under the side
// procedures they concern.
constexpr TSoilNote kSandNotes[] = {
    {"Notes:"},
    {"(*)  Program will estimate the value internally if it is left as zero ", kBeta},
    {"(**)  Recommended values for m: 0.6 for clean quartzitic sands and 0.8 for silty sands to sandy silts.",
     kChenKulhawy},
    {"(***)  Program will ignore friction angle value if blow counts value is defined", kKo | kBeta},
    {"(***)  Program will assume interface angle equal to the friction angle."}};
constexpr TSoilNote kClayNotes[] = {{"Notes:"},
                                    {"(*)  Program will ignore blow count value if cohesion is defined "},
                                    {"(**)  Program will generate internally the value if it is left as zero "}};
constexpr TSoilNote kWeakRockNotes[] = {{"Notes:"},
                                        {"(*) Interface Condition Index"},
                                        {"1 - Rough Surface w/closed joints"},
                                        {"2- Smooth Surface w/closed joints"},
                                        {"3 - Rough Surface w/open joints"},
                                        {"4- Smooth Surface w/open joints"}};

constexpr const char *kSandTableComments =
    "The user may optionally enter blow counts only in cases the friction angle is not readily available.\r"
    "When both friction angels and blow counts are entered, only friction angels are used for computation. \r"
    "If the user intends to use Ko for side-friction computation, please leave Beta as zero. \r"
    "If the user intends to use Beta coefficient for side-friction computation, please leave Ko as zero.\r"
    "If the user designates zero values for both Ko and Beta, the program will internally generate Beta for \r"
    "side-friction computation.";
constexpr const char *kClayTableComments =
    "The user may optionally enter blow counts only in cases the cohesion is not readily available.\r"
    "If the user designates zero values for both Alpha factor and Nc,\r"
    "the program will internally generate those values during computation.";

// Family order is the dialog's page order.
const std::array<TSoilFamilyDescription, kSoilFamilyCount> kFamilies = {{
    {TSoilFamily::Sand, "Sand", kSandFields, 7, 5, 6, kSandNotes},
    {TSoilFamily::Clay, "Clay", kClayFields, 7, 5, 6, kClayNotes},
    {TSoilFamily::StrongRock, "Rock", kStrongRockFields, 9, 5, 8, {}},
    {TSoilFamily::DecomposedRock, "Decomp. Rock", kDecomposedRockFields, 7, 5, 6, {}},
    {TSoilFamily::WeakRock, "Weak Rock", kWeakRockFields, 9, 5, 8, kWeakRockNotes},
    {TSoilFamily::Gravel, "Gravel", kGravelFields, 5, 3, 4, {}},
}};

// Per model: code, family, names (layer table, layer window, dialog page,
// property table), template identifier, corner text, table comments; then
// the drawings: the elevation's name (printed name), drawn as rock, the 3-D
// View's name, the plots' band name and fill.
const std::array<TSoilModelDescription, kSoilCodeCount> kModels = {{
    {scSand, TSoilFamily::Sand, "sand (FHWA Spec.)", "sand (FHWA Spec.)", "Sand (FHWA Spec.)", "Sand Layer Data", 1,
     true, kSandTableComments, "Sand", nullptr, false, "Sand", " SAND ", 7},
    {scClay, TSoilFamily::Clay, "clay (FHWA Spec.)", "clay (FHWA Spec.)", "Clay (FHWA Spec.)", "Clay Layer Data", 2,
     true, kClayTableComments, "Clay", nullptr, false, "Clay", " CLAY ", 1},
    {scShale, TSoilFamily::Clay, "shale (Reese &Aurora)", "shale (Reese &Aurora)", "Shale (Reese and Aurora)",
     "Shale Layer Data", 3, true, nullptr, "Shale", nullptr, true, "Shale", " SHALE ", 8},
    {scStrongRockSideOrBase, TSoilFamily::StrongRock, "strong rock (FHWA - use either side friction or end bearing)",
     "strong rock (FHWA-side frict. or end bear.)",
     "Strong Rock (FHWA Spec. - use either side friction or end bearing)", "Strong Rock Layer Data", 4, true, nullptr,
     "Strong Rock", nullptr, true, "Strong Rock(FHWA)", " ROCK ", 9},
    {scDecomposedRock, TSoilFamily::DecomposedRock, "decomposed rock/gravel (FHWA Spec.)",
     "decomposed rock/gravel (FHWA Spec.)", "Decomposed Rock/Gravel (FHWA Spec.)", "Decomposed Geo. Layer Data", 5,
     true, nullptr, "Decomposed Rock", nullptr, true, "Decomposed Rock", " WEAK ROCK ", 10},
    {scWeakRock, TSoilFamily::WeakRock, "weak rock (FHWA Spec.)", "weak rock (FHWA Spec.)", "Weak Rock (FHWA Spec.)",
     "Weak Rock Layer Data", 6, true, nullptr, "Weak Rock", "Soft Rock", true, "Weak Rock", " GW ", 12},
    {scStrongRock, TSoilFamily::StrongRock, "strong rock (side friction+end bearing)",
     "strong rock (side friction + end bearing)", "Strong Rock (FHWA Spec. - side friction + end bearing)",
     "Strong Rock Layer Data", 7, true, nullptr, "Strong Rock", nullptr, true, "Strong Rock", " ROCK ", 9},
    {scGravellySand, TSoilFamily::Gravel, "gravelly sand (Rollins et al)", "gravelly sand (Rollins et al)",
     "Gravelly Sand (Rollins et al)", "Gravelly Sand Layer Data", 31, false, nullptr, "Gravelly Sand", nullptr, false,
     "Gravelly Sand", " GW ", 11},
    {scGravel, TSoilFamily::Gravel, "gravel (Rollins et al)", "gravel (Rollins et al)", "Gravel (Rollins et al)",
     "Gravel Layer Data", 32, false, nullptr, "Gravel", nullptr, false, "Gravel", " GRAVEL ", 12},
}};

}  // namespace

const TSoilModelDescription *SoilModel(int code) {
  return code >= 1 && code <= kSoilCodeCount ? &kModels[static_cast<std::size_t>(code - 1)] : nullptr;
}

const TSoilFamilyDescription &SoilFamily(TSoilFamily family) { return kFamilies[static_cast<std::size_t>(family)]; }

const TSoilFamilyDescription *SoilFamilyOf(int code) {
  const TSoilModelDescription *model = SoilModel(code);
  return model ? &SoilFamily(model->Family) : nullptr;
}

QString FieldTitle(const TSoilField &field) {
  if (!field.Caption) return QString::fromLatin1(field.Heading);
  static const QRegularExpression number(QStringLiteral("^\\d+\\.\\s*"));
  static const QRegularExpression notes(QStringLiteral("\\s*\\(\\*+\\)"));
  QString title = QString::fromLatin1(field.Caption);
  title.remove(number).remove(notes);
  return title.simplified();
}

int PropertyColumn(int code, TSoilProperty property) {
  const TSoilFamilyDescription *family = SoilFamilyOf(code);
  if (!family) return -1;
  for (std::size_t c = 0; c < family->Fields.size(); ++c)
    if (family->Fields[c].Property == property) return FieldOfModel(family->Fields[c], code) ? static_cast<int>(c) : -1;
  return -1;
}

}  // namespace pylar
