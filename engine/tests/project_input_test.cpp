#include "project_input.h"

#include <gtest/gtest.h>

#include <string>

#include "fortran_format.h"
#include <cmath>

namespace pylar::engine {
namespace {

bool read(const std::string& text, ProjectInput& input, std::string& error) {
  ListReader reader = ListReader::fromText(text);
  return readProjectInput(reader, input, error);
}

// One layer of every model, design charts and additional t-z depths, in
// English units. Record 3 is split over two lines (its eleventh value on the
// next line) and the first sand property line carries two surplus values.
const std::string kEveryModel =
    "Every model in English units, with a title longer than seventy-two characters on purpose\r\n"
    "1 \r\n"
    "2 2 0.8 1 1 2 0 1 0 0 \r\n"
    "1 \r\n"
    "3 4 2 45 1.5 0.5 3600000 \r\n"
    "9 12.5 60 2.5 3 \r\n"
    "0 0 0 3 \r\n"
    "0.1 0.25 0.5 \r\n"
    // 1 sand: Nc, unit weight, phi, interface angle, N, max side, max base, phi side, phi base
    "1 10 \r\n"
    "0 110 32 30 10 0 0 1 1 99 99 \r\n"
    "0 115 34 32 14 4000 0 0.55 0.5 \r\n"
    "2 \r\n"
    "0.8 0.7 \r\n"
    // 2 clay: Nc, unit weight, 0, cohesion, N, ...; then alpha top and bottom
    "2 20 \r\n"
    "0 120 0 1500 8 0 0 1 1 \r\n"
    "7 125 0 2000 10 3000 80000 0.45 0.4 \r\n"
    "0.5 0.45 \r\n"
    // 3 shale, code written as a real
    "3.0 25 \r\n"
    "0 130 0 5000 40 0 0 1 1 \r\n"
    "0 130 0 6000 50 0 0 1 1 \r\n"
    "0 0 \r\n"
    // 4 strong rock: qu, fc, spacing, thickness, socket, max side, Em, RQD, max base, phis, phib
    "4 30 \r\n"
    "150000 576000 2 0.01 3 0 500000 80 0 1 1 \r\n"
    "160000 576000 2.5 0.02 3 0 600000 85 0 1 1 \r\n"
    // 5 decomposed rock: unit weight, N, Poisson, E, socket, ...
    "5 35 \r\n"
    "135 60 0.3 20000 3 0 0 1 1 \r\n"
    "135 70 0.3 25000 3 0 0 1 1 \r\n"
    // 6 weak rock: qu, interface condition, slump, interface angle, socket, max side, Em, RQD, ...
    "6 40 \r\n"
    "50000 2 7 30 3 0 100000 60 0 1 1 \r\n"
    "55000 2 7 30 3 0 110000 65 0 1 1 \r\n"
    // 7 strong rock, code 7.9 truncated to 7
    "7.9 45 \r\n"
    "200000 576000 3 0.01 3 0 700000 90 0 1 1 \r\n"
    "200000 576000 3 0.01 3 0 700000 90 0 1 1 \r\n"
    // 8 gravelly sand, 9 gravel: unit weight, N, beta, ...
    "8 50 \r\n"
    "125 30 0 0 0 1 1 \r\n"
    "125 35 0 0 0 1 1 \r\n"
    "9 60 \r\n"
    "130 40 1.2 0 0 1 1 \r\n"
    "130 45 1.1 0 0 0.7 0.6 \r\n"
    "2 \r\n"
    "15 \r\n"
    "32.5 \r\n";

TEST(ProjectInput, ReadsEveryModelAndOptionalRecord) {
  ProjectInput p;
  std::string error;
  ASSERT_TRUE(read(kEveryModel, p, error)) << error;

  // Kept whole (without the line end); the report cuts it.
  EXPECT_EQ(p.title, "Every model in English units, with a title longer than seventy-two characters on purpose");
  EXPECT_EQ(p.METHOD, 2);
  EXPECT_EQ(p.KCYCL, 2);
  EXPECT_FLOAT_EQ(p.RCYCL, 0.8F);
  EXPECT_EQ(p.IChart, 1);
  EXPECT_EQ(p.PrintTZCurves, 1);  // the eleventh value, from the next line
  EXPECT_FLOAT_EQ(p.TOPLENG, 1.5F);
  EXPECT_FLOAT_EQ(p.Ec, 3600000.0F);
  EXPECT_FLOAT_EQ(p.proposedDepth, 60.0F);
  EXPECT_FLOAT_EQ(p.designLoad, 0.0F);
  // PDMIN = max(0.3 x 60, 6 x 3 + 1.5 + 0.5) = max(18, 20) = 20.
  EXPECT_FLOAT_EQ(p.PDMIN, 20.0F);
  EXPECT_EQ(p.PDSETT, (std::vector<Real>{0.1F, 0.25F, 0.5F}));
  EXPECT_EQ(p.tzDepths, (std::vector<Real>{15.0F, 32.5F}));

  ASSERT_EQ(p.layers.size(), 9U);
  const int codes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Real bottoms[] = {10, 20, 25, 30, 35, 40, 45, 50, 60};
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(p.layers[i].code, codes[i]) << i;
    EXPECT_FLOAT_EQ(p.layers[i].bottom, bottoms[i]) << i;
  }

  struct Value {
    std::size_t layer, end;
    Real LayerEnd::*member;
    Real expected;
  };
  const Value values[] = {
      {0, 0, &LayerEnd::frictionAngle, 32},     {0, 0, &LayerEnd::interfaceAngle, 30},
      {0, 0, &LayerEnd::cohesion, 0},           {0, 1, &LayerEnd::blowCount, 14},
      {0, 0, &LayerEnd::sideParameter, 0.8F},   {0, 1, &LayerEnd::sideParameter, 0.7F},
      {1, 0, &LayerEnd::cohesion, 1500},        {1, 1, &LayerEnd::nc, 7},
      {1, 0, &LayerEnd::interfaceAngle, 0},     {1, 1, &LayerEnd::sideParameter, 0.45F},
      {2, 1, &LayerEnd::cohesion, 6000},        {2, 1, &LayerEnd::blowCount, 50},
      {3, 0, &LayerEnd::rockStrength, 150000},  {3, 0, &LayerEnd::concreteStrength, 576000},
      {3, 1, &LayerEnd::jointSpacing, 2.5F},    {3, 1, &LayerEnd::jointThickness, 0.02F},
      {3, 0, &LayerEnd::socketDiameter, 3},     {3, 1, &LayerEnd::rockModulus, 600000},
      {3, 1, &LayerEnd::rqd, 85},               {4, 0, &LayerEnd::unitWeight, 135},
      {4, 1, &LayerEnd::blowCount, 70},         {4, 0, &LayerEnd::poissonRatio, 0.3F},
      {4, 1, &LayerEnd::youngModulus, 25000},   {4, 0, &LayerEnd::socketDiameter, 3},
      {5, 0, &LayerEnd::rockStrength, 50000},   {5, 0, &LayerEnd::interfaceCondition, 2},
      {5, 0, &LayerEnd::slump, 7},              {5, 0, &LayerEnd::interfaceFrictionAngle, 30},
      {5, 1, &LayerEnd::rockModulus, 110000},   {5, 1, &LayerEnd::rqd, 65},
      {6, 0, &LayerEnd::rockStrength, 200000},  {7, 1, &LayerEnd::blowCount, 35},
      {7, 0, &LayerEnd::unitWeight, 125},       {8, 0, &LayerEnd::sideParameter, 1.2F},
      {8, 1, &LayerEnd::sideParameter, 1.1F},
  };
  for (const auto& v : values)
    EXPECT_FLOAT_EQ(p.layers[v.layer].end[v.end].*v.member, v.expected) << "layer " << v.layer + 1 << " end " << v.end;

  // Layer-wide values come from the bottom line.
  EXPECT_EQ(p.layers[0].sandMethod, kBetaMethod);
  EXPECT_FLOAT_EQ(p.layers[0].maxSide, 4000);
  EXPECT_FLOAT_EQ(p.layers[0].phiSide, 0.55F);
  EXPECT_FLOAT_EQ(p.layers[0].phiBase, 0.5F);
  EXPECT_FLOAT_EQ(p.layers[1].maxBase, 80000);
  EXPECT_FLOAT_EQ(p.layers[8].phiSide, 0.7F);
  EXPECT_FLOAT_EQ(p.layers[8].phiBase, 0.6F);
}

TEST(ProjectInput, ConvertsSiInputToWorkingUnits) {
  const std::string text =
      "SI project\n"
      "2\n"
      "1 2 0.7 0.5 1 1 0 1 1 100 1\n"
      "1 1 1 0 0 0 25000000\n"
      "4 2 1000 2.5 3\n"
      "10 1 0.2 2\n"
      "0.0254 0.05\n"
      "1 5\n"
      "0 18 30 25 10 50 100 1 1\n"
      "0 19 32 25 12 60 2000 0.5 0.6\n"
      "1\n"
      "0.5 0.4\n"
      "2 10\n"
      "0 19 0 100 0 0 0 1 1\n"
      "0 19 0 100 0 0 0 1 1\n"
      "0 0\n"
      "6 20\n"
      "5000 1 0.2 30 1.2 0 2000000 50 0 1 1\n"
      "5000 1 0.2 30 1.2 0 2000000 50 0 1 1\n"
      "4 25\n"
      "20000 30000 0.5 0.002 1 0 0 0 0 1 1\n"
      "20000 30000 0.5 0.002 1 0 0 0 0 1 1\n"
      "1\n"
      "12\n";
  ProjectInput p;
  std::string error;
  ASSERT_TRUE(read(text, p, error)) << error;
  EXPECT_TRUE(p.si());

  struct Case {
    const char* what;
    Real got, expected;
  };
  const Case cases[] = {
      // lengths: 1 m = 3.2808 ft
      {"output increment 0.5 m", p.printIncrement, 1.6404F},
      {"elevation 100 m", p.ValElevation, 328.08F},
      {"initial diameter 1 m", p.DSTART, 3.2808F},
      {"water table 2 m", p.waterTable, 6.5616F},
      {"minimum length 10 m (above 6 x 1 m)", p.PDMIN, 32.808F},
      {"diameter increment 0.2 m", p.DIAMINCR, 0.65616F},
      {"layer bottom 5 m", p.layers[0].bottom, 16.404F},
      {"t-z depth 12 m", p.tzDepths[0], 39.3696F},
      // force: 1000 kN x 0.1124 = 112.4 tons
      {"design load 1000 kN", p.designLoad, 112.4F},
      // modulus: 25e6 kN/m2 x 20.885/144 = 3625868.06 lb/in2
      {"Ec 25e6 kN/m2", p.Ec, 3625868.06F},
      // settlements and slump: 1 m = 3.2808 x 12 = 39.3696 in
      {"settlement 0.0254 m", p.PDSETT[0], 0.99998784F},
      {"settlement 0.05 m", p.PDSETT[1], 1.96848F},
      {"settlement as entered", p.settlementsAsEntered[0], 0.0254F},
      // unit weight: 18 kN/m3 x 6.3659 = 114.5862 lb/ft3
      {"unit weight 18 kN/m3", p.layers[0].end[0].unitWeight, 114.5862F},
      // stresses: 1 kN/m2 = 20.885 lb/ft2
      {"max side 60 kN/m2 (bottom line)", p.layers[0].maxSide, 1253.1F},
      {"max base 2000 kN/m2", p.layers[0].maxBase, 41770.0F},
      {"cohesion 100 kN/m2", p.layers[1].end[0].cohesion, 2088.5F},
      {"rock strength 5000 kN/m2", p.layers[2].end[0].rockStrength, 104425.0F},
      {"concrete strength 30000 kN/m2", p.layers[3].end[0].concreteStrength, 626550.0F},
      {"slump 0.2 m", p.layers[2].end[0].slump, 7.87392F},
      {"socket 1.2 m", p.layers[2].end[1].socketDiameter, 3.93696F},
      {"rock modulus 2e6 kN/m2 = 290069.44 lb/in2", p.layers[2].end[0].rockModulus, 290069.44F},
      {"joint spacing 0.5 m", p.layers[3].end[0].jointSpacing, 1.6404F},
      {"joint thickness 0.002 m", p.layers[3].end[0].jointThickness, 0.0065616F},
      // not converted: angles, counts, ratios, factors
      {"friction angle", p.layers[0].end[0].frictionAngle, 30},
      {"sand interface angle (value 4 of a sand line)", p.layers[0].end[0].interfaceAngle, 25},
      {"blow count", p.layers[0].end[1].blowCount, 12},
      {"Ko", p.layers[0].end[0].sideParameter, 0.5F},
      {"RQD", p.layers[2].end[0].rqd, 50},
      {"interface friction angle", p.layers[2].end[0].interfaceFrictionAngle, 30},
      {"phi side", p.layers[0].phiSide, 0.5F},
      {"factor of safety", p.FST, 2.5F},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.got, c.expected, std::fabs(c.expected) * 2e-6F) << c.what;
}

// Feet entered in metres: 10 ft = 3.048 m reads as 3.048 x 3.2808 =
// 9.99988 ft, 1.22e-5 short of 10 ft through the reader's factor alone; a
// length that close to a whole or half foot is that foot, exactly. Lengths
// that only come near (3 m = 9.8424 ft, 0.3 m = 0.98424 ft) keep their value.
TEST(ProjectInput, SiLengthsOfWholeAndHalfFeetReadAsThoseFeet) {
  const std::string text =
      "SI feet\n2\n2 1 1 0.3048 1 2 0 0 0 0 0\n"
      // DSTART 3 ft, DIALIM 3.5 ft, ignored top 1.5 ft, ignored bottom 0.3 m
      "0.9144 1.0668 0 0 0.4572 0.3 25000000\n"
      // water 12 ft, proposed 40 ft
      "3 3.6576 12.192 2.5 3\n"
      "2 3.048\n0 19 0 100 0 0 0 1 1\n0 19 0 100 0 0 0 1 1\n0 0\n"
      "2 3.81\n0 19 0 100 0 0 0 1 1\n0 19 0 100 0 0 0 1 1\n0 0\n"
      "2 609.6\n0 19 0 100 0 0 0 1 1\n0 19 0 100 0 0 0 1 1\n0 0\n";
  ProjectInput p;
  std::string error;
  ASSERT_TRUE(read(text, p, error)) << error;
  struct Case {
    const char* what;
    Real got, expected;
  };
  const Case cases[] = {
      {"output increment 0.3048 m = 1 ft", p.printIncrement, 1},
      {"initial diameter 0.9144 m = 3 ft", p.DSTART, 3},
      {"final diameter 1.0668 m = 3.5 ft", p.DIALIM, 3.5F},
      {"ignored top 0.4572 m = 1.5 ft", p.TOPLENG, 1.5F},
      {"water table 3.6576 m = 12 ft", p.waterTable, 12},
      {"proposed length 12.192 m = 40 ft", p.proposedDepth, 40},
      {"layer bottom 3.048 m = 10 ft", p.layers[0].bottom, 10},
      {"layer bottom 3.81 m = 12.5 ft", p.layers[1].bottom, 12.5F},
      {"layer bottom 609.6 m = 2000 ft", p.layers[2].bottom, 2000},
      {"ignored bottom 0.3 m = 0.98424 ft, not a foot", p.bottomLength, 0.3F * 3.2808F},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

// One sand layer with a length series (record 6) or design charts (record 7).
std::string seriesProject(int units, bool charts, const std::string& seriesValues, Real proposedDepth,
                          Real diameter, Real ignoredTop, Real ignoredBottom) {
  std::string r3 = charts ? "2 1 1 1 1 2 0 1 0 0 0\n" : "2 1 1 1 1 2 1 0 0 0 0\n";
  return "series\n" + std::to_string(units) + "\n" + r3 + std::to_string(diameter) + " " +
         std::to_string(diameter) + " 0 0 " + std::to_string(ignoredTop) + " " + std::to_string(ignoredBottom) +
         " 3600000\n1 0 " + std::to_string(proposedDepth) + " 2.5 3\n" + seriesValues +
         "1 200\n0 120 32 0 10 0 0 1 1\n0 125 34 0 20 0 0 1 1\n1\n0.5 0.5\n";
}

TEST(ProjectInput, DefaultsOfLengthSeriesAndDesignCharts) {
  struct Case {
    const char* what;
    int units;
    bool charts;
    const char* values;
    Real proposed, diameter, top, bottom;
    Real PDMIN, PDINCR, DIAMINCR;  // expected, working units (ft)
  };
  const Case cases[] = {
      // max(0.7 x 60, 6 x 3) = max(42, 18) = 42 ft; increment 3 ft.
      {"lengths, English", 1, false, "0 0\n", 60, 3, 0, 0, 42, 3, 0},
      // max(0.3 x 60, 6 x 3) = max(18, 18) = 18 ft; 3 ft; 0.5 ft.
      {"charts, English", 1, true, "0 0 0 1\n0.5\n", 60, 3, 0, 0, 18, 3, 0.5F},
      // max(0.3 x 60, 6 x 4 + 2 + 1) = max(18, 27) = 27 ft.
      {"charts, ignored portions", 1, true, "0 0 0 1\n0.5\n", 60, 4, 2, 1, 27, 3, 0.5F},
      // A given minimum below 6 x 3 = 18 ft is raised; the given increment stays.
      {"lengths, given minimum too short", 1, false, "10 5\n", 60, 3, 0, 0, 18, 5, 0},
      {"lengths, given values", 1, false, "50 5\n", 60, 3, 0, 0, 50, 5, 0},
      // SI: max(0.7 x 20, 6 x 1) = 14 m = 14 x 3.2808 = 45.9312 ft; 1 m = 3.2808 ft.
      {"lengths, SI", 2, false, "0 0\n", 20, 1, 0, 0, 45.9312F, 3.2808F, 0},
      // SI: max(0.3 x 20, 6 x 1.2) = 7.2 m = 23.62176 ft; 3.2808 ft; 0.15 m = 0.49212 ft.
      {"charts, SI", 2, true, "0 0 0 1\n0.01\n", 20, 1.2F, 0, 0, 23.62176F, 3.2808F, 0.49212F},
  };
  for (const auto& c : cases) {
    ProjectInput p;
    std::string error;
    ASSERT_TRUE(read(seriesProject(c.units, c.charts, c.values, c.proposed, c.diameter, c.top, c.bottom), p, error))
        << c.what << ": " << error;
    EXPECT_NEAR(p.PDMIN, c.PDMIN, 1e-4F) << c.what;
    EXPECT_NEAR(p.PDINCR, c.PDINCR, 1e-5F) << c.what;
    EXPECT_NEAR(p.DIAMINCR, c.DIAMINCR, 1e-5F) << c.what;
    ASSERT_EQ(p.layers.size(), 1U) << c.what;
  }
}

TEST(ProjectInput, NegativeSettlementCountCountsAsZero) {
  ProjectInput p;
  std::string error;
  // The settlement line is still there (empty) and is consumed.
  ASSERT_TRUE(read(seriesProject(1, true, "0 0 0 -2\n\n", 60, 3, 0, 0), p, error)) << error;
  EXPECT_EQ(p.NPOINTPD, 0);
  EXPECT_TRUE(p.PDSETT.empty());
  ASSERT_EQ(p.layers.size(), 1U);
  EXPECT_FLOAT_EQ(p.layers[0].bottom, 200);
}

TEST(ProjectInput, AcceptsTheLayerLimit) {
  std::string text = "many\n1\n1 1 1 1 1 2 0 0 0 0 0\n3 3 0 0 0 0 3600000\n" + std::to_string(kMaxLayers) +
                     " 10 60 2.5 3\n";
  for (int i = 1; i <= kMaxLayers; ++i)
    text += "2 " + std::to_string(i) + "\n0 120 0 1000 0 0 0 1 1\n0 120 0 1000 0 0 0 1 1\n0 0\n";
  ProjectInput p;
  std::string error;
  ASSERT_TRUE(read(text, p, error)) << error;
  EXPECT_EQ(p.layers.size(), static_cast<std::size_t>(kMaxLayers));
  EXPECT_FLOAT_EQ(p.layers.back().bottom, static_cast<Real>(kMaxLayers));
}

const std::string kOneSand =
    "T\n1\n2 1 1 1 1 2 0 0 0 0 0\n3 3 0 0 0 0 3600000\n1 10 60 2.5 3\n"
    "1 80\n0 120 32 0 10 0 0 1 1\n0 125 34 0 20 0 0 1 1\n1\n0.5 0.5\n";

std::string edited(std::string text, const std::string& from, const std::string& to) {
  auto pos = text.find(from);
  if (pos == std::string::npos) return "edit not found: " + from;
  return text.replace(pos, from.size(), to);
}

TEST(ProjectInput, BadInputNamesTheRecordAndTheValue) {
  ASSERT_TRUE([] {
    ProjectInput p;
    std::string e;
    return read(kOneSand, p, e);
  }());
  struct Case {
    std::string text;
    const char* error;
  };
  const std::string tokenOf60(60, '7');
  const Case cases[] = {
      {"", "INPUT ERROR, RECORD 1, TITLE: THE FILE IS EMPTY"},
      {"T\n1\n2 1 1 1 1 2 0 0 0 0 0\n3 3 0 0\n",
       "INPUT ERROR, RECORD 4, IGNORED TOP PORTION: THE FILE ENDS BEFORE THIS VALUE"},
      {edited(kOneSand, "1 10 60", "2.5 10 60"),
       "INPUT ERROR, RECORD 5, NUMBER OF LAYERS: \"2.5\" IS NOT A WHOLE NUMBER (LINE 5)"},
      {edited(kOneSand, "1 10 60", "1 abc 60"),
       "INPUT ERROR, RECORD 5, WATER TABLE DEPTH: \"abc\" IS NOT A NUMBER (LINE 5)"},
      {edited(kOneSand, "1 10 60", "0 10 60"), "INPUT ERROR, RECORD 5, NUMBER OF LAYERS: 0 IS OUT OF RANGE (1 TO 40)"},
      {edited(kOneSand, "1 10 60", "-3 10 60"),
       "INPUT ERROR, RECORD 5, NUMBER OF LAYERS: -3 IS OUT OF RANGE (1 TO 40)"},
      {edited(kOneSand, "1 10 60", "41 10 60"),
       "INPUT ERROR, RECORD 5, NUMBER OF LAYERS: 41 IS OUT OF RANGE (1 TO 40)"},
      {edited(kOneSand, "1 10 60", "2 10 60"),
       "INPUT ERROR, RECORD 8, LAYER 2, LAYER LINE, SOIL MODEL CODE: THE FILE ENDS BEFORE THIS VALUE"},
      {edited(kOneSand, "2 1 1 1", "3 1 1 1"), "INPUT ERROR, RECORD 3, METHOD: 3 IS OUT OF RANGE (1 OR 2)"},
      {edited(kOneSand, "1 80", "10 80"),
       "INPUT ERROR, RECORD 8, LAYER 1, LAYER LINE, SOIL MODEL CODE: 10 IS OUT OF RANGE (1 TO 9)"},
      {edited(kOneSand, "1 80", "0.5 80"),
       "INPUT ERROR, RECORD 8, LAYER 1, LAYER LINE, SOIL MODEL CODE: 0.5 IS OUT OF RANGE (1 TO 9)"},
      {edited(kOneSand, "1 80", "1 1e50"),
       "INPUT ERROR, RECORD 8, LAYER 1, LAYER LINE, DEPTH OF LAYER BOTTOM: \"1e50\" IS OUT OF RANGE FOR SINGLE PRECISION (LINE 6)"},
      {edited(kOneSand, "1 80", "1 -1D-50"),
       "INPUT ERROR, RECORD 8, LAYER 1, LAYER LINE, DEPTH OF LAYER BOTTOM: \"-1D-50\" IS OUT OF RANGE FOR SINGLE PRECISION (LINE 6)"},
      {edited(kOneSand, "1 80", "1 8.0.1"),
       "INPUT ERROR, RECORD 8, LAYER 1, LAYER LINE, DEPTH OF LAYER BOTTOM: \"8.0.1\" IS NOT A NUMBER (LINE 6)"},
      {edited(kOneSand, "\n1\n0.5", "\n4\n0.5"),
       "INPUT ERROR, RECORD 8, LAYER 1, SIDE FRICTION PROCEDURE, PROCEDURE: 4 IS OUT OF RANGE (1 TO 3)"},
      {edited(kOneSand, "0 125 34", "0 125 " + tokenOf60),
       "INPUT ERROR, RECORD 8, LAYER 1, VALUES AT THE BOTTOM, FRICTION ANGLE: \"7777777777777777777777777777777777777777"
       "...\" IS OUT OF RANGE FOR SINGLE PRECISION (LINE 8)"},
      // A missing record 7: its values are taken from the layer lines.
      {edited(kOneSand, "0 0 0 0 0\n3", "0 1 0 0 0\n3"),
       "INPUT ERROR, RECORD 7, NUMBER OF SETTLEMENTS: 120 IS OUT OF RANGE (0 TO 10)"},
      {edited(edited(kOneSand, "0 0 0 0 0\n3", "0 1 0 0 0\n3"), "1 10 60 2.5 3\n", "1 10 60 2.5 3\n0 0 0 11\n"),
       "INPUT ERROR, RECORD 7, NUMBER OF SETTLEMENTS: 11 IS OUT OF RANGE (0 TO 10)"},
      {edited(kOneSand, "0 0 0 0 0\n3", "0 0 0 0 1\n3") + "21\n",
       "INPUT ERROR, RECORD 9, NUMBER OF T-Z DEPTHS: 21 IS OUT OF RANGE (0 TO 20)"},
      {edited(kOneSand, "0 0 0 0 0\n3", "0 0 0 0 1\n3") + "-1\n",
       "INPUT ERROR, RECORD 9, NUMBER OF T-Z DEPTHS: -1 IS OUT OF RANGE (0 TO 20)"},
      {edited(kOneSand, "0 0 0 0 0\n3", "0 0 0 0 1\n3") + "2\n5\n",
       "INPUT ERROR, RECORD 9, DEPTH 2, DEPTH: THE FILE ENDS BEFORE THIS VALUE"},
      {std::string("T\n\x01\x02\0\xff\n", 7), "INPUT ERROR, RECORD 2, UNITS FLAG: \"????\" IS NOT A WHOLE NUMBER (LINE 2)"},
  };
  for (const auto& c : cases) {
    ProjectInput p;
    std::string error;
    EXPECT_FALSE(read(c.text, p, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(ProjectInput, LayerCodeIsReadAsARealAndTruncated) {
  for (const char* code : {"2", "2.0", "2.7", "2E0"}) {
    ProjectInput p;
    std::string error;
    std::string text = edited(kOneSand, "1 80\n0 120 32 0 10 0 0 1 1\n0 125 34 0 20 0 0 1 1\n1\n0.5 0.5\n",
                              std::string(code) + " 80\n0 120 0 1000 5 0 0 1 1\n0 120 0 1000 5 0 0 1 1\n0 0\n");
    ASSERT_TRUE(read(text, p, error)) << code << ": " << error;
    EXPECT_EQ(p.layers[0].code, kClay) << code;
  }
}

}  // namespace
}  // namespace pylar::engine

namespace pylar::engine {
namespace {

// Every prefix of a valid file, and the file with any one byte replaced by
// a character that breaks numbers, is either read or reported in one line.
TEST(ProjectInput, TruncatedOrDamagedFilesAreReportedNeverCrash) {
  std::size_t reported = 0;
  for (std::size_t cut = 0; cut < kEveryModel.size(); ++cut) {
    for (const std::string& text : {kEveryModel.substr(0, cut), std::string(kEveryModel).replace(cut, 1, "#")}) {
      ProjectInput p;
      std::string error;
      if (!read(text, p, error)) {
        ++reported;
        EXPECT_EQ(error.rfind("INPUT ERROR, RECORD ", 0), 0U) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
      }
    }
  }
  EXPECT_GT(reported, kEveryModel.size());
}

}  // namespace
}  // namespace pylar::engine
