// Checks before a run: each value the engine would refuse or change is named
// with its window, field and value; valid projects pass.
#include "model/DataUnit.h"
#include "model/RunChecks.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

TEST(RunChecks, EverySampleIsFreeOfErrors) {
  const QDir examples(QStringLiteral(PYLAR_SOURCE_DIR "/examples"));
  for (const QString &sample : examples.entryList({QStringLiteral("*.pq8d")}, QDir::Files, QDir::Name)) {
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(tables, examples.filePath(sample), ffVersion8);
    ASSERT_TRUE(read.data);
    const auto findings = CheckBeforeRun(*read.data);
    EXPECT_TRUE(findings.empty()) << sample.toStdString() << ": " << RunFindingsMessage(findings).toStdString();
  }
}

TEST(RunChecks, NameTheWindowFieldAndValue) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, QStringLiteral(PYLAR_SOURCE_DIR "/examples/sand-asd-english.pq8d"),
                                           ffVersion8);
  ASSERT_TRUE(read.data);
  TProgramData &p = *read.data;
  const TProgramData original = p;
  struct Case {
    const char *what;
    std::function<void(TProgramData &)> change;
    bool error;
    const char *line;  // a line the message holds
  };
  const Case cases[] = {
      {"no minimum diameter", [](TProgramData &d) { d.DSTART = 0; }, true,
       "- Drilled-Pylar Properties, Minimum Pylar Diameter = 0 ft: must be greater than 0."},
      {"maximum below minimum", [](TProgramData &d) { d.DIALIM = d.DSTART / 2; }, false,
       "Maximum Pylar Diameter = "},
      {"a bell ratio below 1", [](TProgramData &d) { d.RATIO = 0.5L; }, false,
       "Ratio of Base Diameter to Pylar Diameter = 0.5: is below 1, which means no bell"},
      {"a bell without an angle", [](TProgramData &d) { d.RATIO = 2; d.BELANGL = 0; }, true,
       "Angle of Bell with Respect to Vertical = 0 deg: must lie between 0 and 90 degrees"},
      {"no concrete modulus", [](TProgramData &d) { d.EPILE = 0; }, true,
       "Modulus of Elasticity of Drilled Pylar = 0 lbs/in^2"},
      {"no proposed length", [](TProgramData &d) { d.METHOD = 2; d.PD = 0; }, true,
       "- Drilled Pylar Length, Proposed length = 0 ft: must be greater than 0."},
      {"no design load", [](TProgramData &d) { d.METHOD = 1; d.LPD = 0; }, true,
       "- Specification of Design Load, Design load = 0 tons"},
      {"no factor of safety", [](TProgramData &d) { d.NLRFD = 2; d.FSB = 0; }, true,
       "Factor of Safety (F.S.), The F.S. applied to the ultimate base capacity = 0"},
      {"a tip near the end of the profile", [](TProgramData &d) { d.METHOD = 2; d.PD = 1000; }, false,
       "Depth at bottom of the last layer = "},
  };
  for (const Case &c : cases) {
    p = original;
    c.change(p);
    const auto findings = CheckBeforeRun(p);
    ASSERT_FALSE(findings.empty()) << c.what;
    EXPECT_EQ(HasRunErrors(findings), c.error) << c.what;
    const QString message = RunFindingsMessage(findings);
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.line))) << c.what << "\n" << message.toStdString();
    EXPECT_TRUE(message.endsWith(c.error ? "run the analysis again." : "Run the analysis anyway?")) << c.what;
  }
  // Layer bottoms out of order name the layer and the one above it.
  p = original;
  ASSERT_GE(tables.D.RowCount(), 2);
  const Extended first = tables.D.GetFloatValue(lcDepth, 0);
  tables.D.SetFloatValue(lcDepth, 1, first);
  const QString message = RunFindingsMessage(CheckBeforeRun(p));
  EXPECT_TRUE(message.contains("- Soill Layers, Depth at bottom of layer 2 = ")) << message.toStdString();
  EXPECT_TRUE(message.contains("must lie below the bottom of layer 1")) << message.toStdString();
}

// The engine's table of physical ranges, asked before a run: an impossible
// value is an error naming window, field and value, an unusual one a warning;
// SI values are held to the same ranges converted.
TEST(RunChecks, PhysicalRangesOfTheEngine) {
  struct Case {
    const char *what;
    const char *sample;
    std::function<void(TProgramData &)> change;
    bool error;
    const char *line;
  };
  auto property = [](TProgramData &d, TSoilProperty which, int end, Extended value) {
    const int code = d.Tables().D.GetIntValue(lcSoilType, 0);
    d.Tables().LayerData(0)->SetFloatValue(PropertyColumn(code, which), end, value);
  };
  const Case cases[] = {
      {"a negative LRFD factor", "sand-asd-english",
       [](TProgramData &d) {
         d.NLRFD = 1;
         d.Tables().D.SetFloatValue(lcLRFDSide, 0, -0.45L);
       },
       true, "- Soill Layers, Layer 1, LRFD resistance factor (side) = -0.45: must lie between 0 and 1."},
      {"a factor of safety of 0.5", "sand-asd-english", [](TProgramData &d) { d.FST = 0.5L; }, true,
       "- Factor of Safety (F.S.), The F.S. applied to the ultimate side friction = 0.5: must lie between 1 and 20."},
      {"a factor of safety of 1.5", "sand-asd-english", [](TProgramData &d) { d.FSB = 1.5L; }, false,
       "The F.S. applied to the ultimate base capacity = 1.5: lies outside the usual range 2 to 5; please check it."},
      {"Ko of a million", "sand-ko-si", [&](TProgramData &d) { property(d, TSoilProperty::Ko, 0, 1e6L); }, true,
       "- Soill Layers, Layer 1 (top), Ko = 1000000: must lie between 0 and 10."},
      // 40 kN/m^3 = 255 lb/ft^3, above the 200 lb/ft^3 (31.417 kN/m^3) of any soil.
      {"a unit weight of 40 kN/m^3", "sand-ko-si",
       [&](TProgramData &d) { property(d, TSoilProperty::UnitWeight, 1, 40); }, true,
       "Layer 1 (bottom), Total Unit Weight = 40 kN/m^3: must lie between 0 and 31.417"},
      {"a negative rock strength", "weak-rock-socket",
       [](TProgramData &d) { d.Tables().LayerData(1)->SetFloatValue(PropertyColumn(6, TSoilProperty::RockStrength), 0, -40000); },
       true, "- Soill Layers, Layer 2 (top), Rock Compressive Strength = -40000 lbs/ft^2: must lie between 0 and 14400000."},
      // The engine refuses a scour below 2000 ft; the usual range ends at 100 ft.
      {"a scour depth of 3000 ft", "sand-asd-english",
       [](TProgramData &d) {
         d.DesignSet = 1;
         d.ScourDepth = 3000;
       },
       true, "- Control Options, Depth of scour = 3000 ft: must lie between 0 and 2000."},
      {"a scour depth of 150 ft", "sand-asd-english", [](TProgramData &d) { d.ScourDepth = 150; }, false,
       "Depth of scour = 150 ft: lies outside the usual range 0 to 100; please check it."},
  };
  for (const Case &c : cases) {
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(
        tables, QStringLiteral(PYLAR_SOURCE_DIR "/examples/") + c.sample + QStringLiteral(".pq8d"), ffVersion8);
    ASSERT_TRUE(read.data) << c.what;
    c.change(*read.data);
    const auto findings = CheckBeforeRun(*read.data);
    EXPECT_EQ(HasRunErrors(findings), c.error) << c.what;
    const QString message = RunFindingsMessage(findings);
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.line))) << c.what << "\n" << message.toStdString();
  }
}

}  // namespace
}  // namespace pylar
