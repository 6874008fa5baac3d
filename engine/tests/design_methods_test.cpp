// The method set of a project: the block of keyword lines after the last
// record, read by the engine (and the desktop program, through the same
// header), its faults refused with the line and the value, every stored
// sample read and written back byte for byte, and the set a run states.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fortran_format.h"
#include "project_input.h"
#include "pylar/design_methods.h"
#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;
using methods::MethodSet;
using methods::SandKind;
using methods::StrengthTest;
using test::readFile;
using test::TempFolder;
using test::writeFile;

// Sand over clay over sand, a 3 ft pier 30 ft long, ASD, English; 13 lines.
const std::string kProfile =
    "Methods\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n3 10 30 2.5 3\r\n"
    "1 10\r\n0 120 0 0 12 0 0 1 1\r\n0 120 0 0 14 0 0 1 1\r\n1\r\n1 1\r\n"
    "2 20\r\n0 115 0.0 1500 0 0 0 1 1\r\n0 115 0.0 1500 0 0 0 1 1\r\n0 0\r\n"
    "1 40\r\n0 125 0 0 25 0 0 1 1\r\n0 125 0 0 30 0 0 1 1\r\n1\r\n1 1\r\n";
constexpr int kProfileLines = 19;

bool read(const std::string& text, ProjectInput& in, std::string& error) {
  ListReader reader = ListReader::fromText(text);
  return readProjectInput(reader, in, error);
}

TEST(DesignMethods, TheBlockSetsTheMethodsScourAndLayerValues) {
  struct Case {
    const char* what;
    std::string block;
    MethodSet set;
    double scour;  // as written
    std::vector<methods::LayerMethods> layers;
  };
  using L = methods::LayerMethods;
  const std::vector<Case> cases = {
      {"no block: 1999", "", MethodSet::Fhwa1999, 0, {L{}, L{}, L{}}},
      {"blank lines only", "\r\n  \r\n\r\n", MethodSet::Fhwa1999, 0, {L{}, L{}, L{}}},
      {"the set alone", "METHODS 2018 \r\n", MethodSet::Gec2018, 0, {L{}, L{}, L{}}},
      {"every value, any case, LF ends, tabs",
       "methods 2018\nScour\t11.5\nlayer 2 test ciuc\nLAYER 3 SAND SILTY\nLAYER 1 SAND gravelly\n", MethodSet::Gec2018,
       11.5, {L{StrengthTest::UU, SandKind::Gravelly}, L{StrengthTest::CIUC, SandKind::Clean},
              L{StrengthTest::UU, SandKind::Silty}}},
      {"a 1999 project that keeps its scour", "METHODS 1999 \r\nSCOUR 5 \r\n", MethodSet::Fhwa1999, 5,
       {L{}, L{}, L{}}},
      // Notes typed after the last record are read past, as they always
      // were, also when the block follows them; without a METHODS line
      // nothing is a block.
      {"notes after the records", "notes: checked by A.B. on site\r\n1 50\r\nSCOUR 38\r\n", MethodSet::Fhwa1999, 0,
       {L{}, L{}, L{}}},
      {"notes, then the block", "checked by A.B.\r\nMETHODS 2018 \r\nSCOUR 2 \r\n", MethodSet::Gec2018, 2,
       {L{}, L{}, L{}}},
  };
  for (const Case& c : cases) {
    ProjectInput in;
    std::string error;
    ASSERT_TRUE(read(kProfile + c.block, in, error)) << c.what << ": " << error;
    EXPECT_EQ(in.methods.set, c.set) << c.what;
    EXPECT_EQ(in.methods.scourDepth, c.scour) << c.what;
    EXPECT_FLOAT_EQ(in.scourDepth, static_cast<Real>(c.scour)) << c.what;
    for (std::size_t i = 0; i < c.layers.size(); ++i) EXPECT_EQ(in.methods.layer(i), c.layers[i]) << c.what << i;
    EXPECT_EQ(in.recordLines, kProfileLines) << c.what;
  }
  // SI: the scour in metres becomes feet, a whole number of feet exactly
  // (11.5824 m = 38 ft).
  std::string si = kProfile;
  si.replace(si.find("\r\n1\r\n"), 5, "\r\n2\r\n");
  ProjectInput in;
  std::string error;
  ASSERT_TRUE(read(si + "METHODS 2018 \r\nSCOUR 11.5824 \r\n", in, error)) << error;
  EXPECT_EQ(in.scourDepth, 38.0F);
}

// A fault of the block refuses the run (status 10) naming its line, the
// value and what is wrong, in the report and the run notes.
TEST(DesignMethods, FaultsOfTheBlockRefuseTheRunNamingLineAndValue) {
  struct Case {
    std::string block;
    std::string message;
  };
  const std::string at = "INPUT ERROR, DESIGN METHODS, LINE ";
  const std::vector<Case> cases = {
      {"METHODS 2019 \r\n", at + "20, METHODS: \"2019\" IS NOT A METHOD SET (1999 OR 2018)"},
      {"\r\nMETHODS \r\n", at + "21, METHODS: A VALUE IS MISSING"},
      {"METHODS 2018 1999 \r\n", at + "20, METHODS: \"1999\" FOLLOWS THE LAST VALUE"},
      {"METHODS 2018 \r\nMETHODS 2018 \r\n", at + "21, METHODS: GIVEN TWICE"},
      {"METHODS 2018 \r\nSCOUR deep \r\n", at + "21, SCOUR DEPTH: \"deep\" IS NOT A NUMBER"},
      {"METHODS 2018 \r\nSCOUR -3 \r\n", at + "21, SCOUR DEPTH: -3 FT IS OUT OF RANGE (0 TO 2000 FT)"},
      {"METHODS 2018 \r\nSCOUR 1E30 \r\n", at + "21, SCOUR DEPTH: 1e+30 FT IS OUT OF RANGE (0 TO 2000 FT)"},
      {"METHODS 2018 \r\nSCOUR 5 \r\nSCOUR 6 \r\n", at + "22, SCOUR DEPTH: GIVEN TWICE"},
      {"METHODS 2018 \r\nLAYER 4 TEST UU \r\n", at + "21, LAYER: 4 IS OUT OF RANGE (1 TO 3)"},
      {"METHODS 2018 \r\nLAYER 1.5 TEST UU \r\n", at + "21, LAYER: \"1.5\" IS NOT A LAYER NUMBER"},
      {"METHODS 2018 \r\nLAYER 1 TEST UU \r\n", at + "21, LAYER 1 TEST: THE LAYER IS NOT CLAY (MODEL 2)"},
      {"METHODS 2018 \r\nLAYER 2 SAND CLEAN \r\n", at + "21, LAYER 2 SAND: THE LAYER IS NOT SAND (MODEL 1)"},
      {"METHODS 2018 \r\nLAYER 2 TEST VST \r\n",
       at + "21, LAYER 2 TEST: \"VST\" IS NOT A STRENGTH TEST (UU, UC OR CIUC)"},
      {"METHODS 2018 \r\nLAYER 3 SAND LOOSE \r\n",
       at + "21, LAYER 3 SAND: \"LOOSE\" IS NOT A SAND KIND (CLEAN, SILTY OR GRAVELLY)"},
      {"METHODS 2018 \r\nLAYER 2 TEST UC \r\nLAYER 2 TEST UU \r\n", at + "22, LAYER 2 TEST: GIVEN TWICE"},
      {"METHODS 2018 \r\nLAYER 2 PHI 30 \r\n", at + "21, LAYER 2: \"PHI\" IS NOT A LAYER VALUE (TEST OR SAND)"},
      {"METHODS 2018 \r\nLAYER 2 TEST \r\n", at + "21, LAYER: A VALUE IS MISSING"},
      // Within the block every line is one of its own: a misspelt keyword, or
      // a note after the block, is refused rather than read past.
      {"METHODS 2018 \r\nSCOURE 38 \r\n",
       at + "21: \"SCOURE\" IS NOT A KEYWORD OF THE DESIGN METHODS (METHODS, SCOUR OR LAYER)"},
      {"METHODS 2018 \r\nchecked\x01 by A.B.\r\n",
       at + "21: \"checked?\" IS NOT A KEYWORD OF THE DESIGN METHODS (METHODS, SCOUR OR LAYER)"},
  };
  TempFolder dir;
  for (const Case& c : cases) {
    writeFile(dir / "p.pq8d", kProfile + c.block);
    const ProjectRun run = runProject(dir / "p.pq8d", test::fixedTime);
    EXPECT_EQ(run.summary.status, kStatusBadInput) << c.block;
    EXPECT_EQ(run.summary.message, c.message) << c.block;
    EXPECT_NE(readFile(dir / "p.pq8o").find(c.message), std::string::npos) << c.block;
    EXPECT_NE(readFile(dir / "p.pq8r").find(c.message), std::string::npos) << c.block;
  }
  // SI: the value and the range in metres.
  std::string si = kProfile;
  si.replace(si.find("\r\n1\r\n"), 5, "\r\n2\r\n");
  ProjectInput in;
  std::string error;
  EXPECT_FALSE(read(si + "METHODS 2018 \r\nSCOUR 700 \r\n", in, error));
  EXPECT_EQ(error, at + "21, SCOUR DEPTH: 700 M IS OUT OF RANGE (0 TO 609.607 M)");
}

// The writer writes what the reader reads: the block only when the set is
// 2018 or a value differs from its default, layer values only where the
// layer's model holds them, numbers as the project file writes them.
TEST(DesignMethods, TheWriterWritesTheBlockInItsOneForm) {
  const std::vector<int> codes = {1, 2, 1, 9};
  methods::DesignMethods m;
  EXPECT_EQ(methods::methodBlockText(m, codes), "");
  m.layers.assign(4, {});
  m.layers[3].sand = SandKind::Silty;  // gravel holds no sand kind
  m.layers[2].test = StrengthTest::UC;  // nor does sand a strength test
  EXPECT_EQ(methods::methodBlockText(m, codes), "");
  m.scourDepth = 11.5824;
  EXPECT_EQ(methods::methodBlockText(m, codes), "METHODS 1999 \r\nSCOUR 11.5824 \r\n");
  m.set = MethodSet::Gec2018;
  m.scourDepth = 0;
  EXPECT_EQ(methods::methodBlockText(m, codes), "METHODS 2018 \r\n");
  m.scourDepth = 1e-5;
  m.layers[1].test = StrengthTest::CIUC;
  m.layers[0].sand = SandKind::Gravelly;
  EXPECT_EQ(methods::methodBlockText(m, codes),
            "METHODS 2018 \r\nSCOUR 1E-5 \r\nLAYER 1 SAND GRAVELLY \r\nLAYER 2 TEST CIUC \r\n");
  // And back.
  std::string text = kProfile;
  ProjectInput in;
  std::string error;
  ASSERT_TRUE(read(kProfile + "METHODS 2018 \r\nSCOUR 38 \r\nLAYER 1 SAND SILTY \r\nLAYER 2 TEST UC \r\n", in, error));
  const std::vector<int> profileCodes = {1, 2, 1};
  EXPECT_EQ(methods::methodBlockText(in.methods, profileCodes),
            "METHODS 2018 \r\nSCOUR 38 \r\nLAYER 1 SAND SILTY \r\nLAYER 2 TEST UC \r\n");
}

// Every model has its AASHTO factors for a new layer of a 2018 project,
// within the hard range of the layer's factors (input_ranges.h), the uplift
// factor below the compression one.
TEST(DesignMethods, ResistanceFactorsForEveryModel) {
  const inputs::InputRange* side = inputs::findRange(inputs::Input::PhiSide);
  const inputs::InputRange* base = inputs::findRange(inputs::Input::PhiBase);
  for (int code = 1; code <= 9; ++code) {
    const methods::ModelResistanceFactors* f = methods::resistanceFactors(code);
    ASSERT_NE(f, nullptr) << code;
    EXPECT_EQ(inputs::checkValue(*side, f->side), inputs::RangeCheck::Usual) << code;
    EXPECT_EQ(inputs::checkValue(*base, f->base), inputs::RangeCheck::Usual) << code;
    EXPECT_LT(f->uplift, f->side) << code;
  }
  EXPECT_EQ(methods::resistanceFactors(0), nullptr);
  EXPECT_EQ(methods::resistanceFactors(10), nullptr);
  // GEC-10 Appendix A: beta side 0.55, alpha side 0.45, sand base 0.50.
  EXPECT_EQ(methods::resistanceFactors(1)->side, 0.55);
  EXPECT_EQ(methods::resistanceFactors(2)->side, 0.45);
  EXPECT_EQ(methods::resistanceFactors(1)->base, 0.50);
}

// Every stored project, read by the engine, is its records followed by the
// block the writer makes of what was read: the samples without a block are
// 1999 projects that end with their last record, and those with one hold it
// in the writer's form.
TEST(DesignMethods, EveryStoredSampleIsWrittenBackByteForByte) {
  std::vector<fs::path> files;
  for (const char* folder : {"examples", "samples"})
    for (const auto& e : fs::directory_iterator(fs::path(PYLAR_SOURCE_DIR) / folder))
      if (e.path().extension() == ".pq8d") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 16U);
  int with2018 = 0;
  for (const fs::path& file : files) {
    const std::string text = readFile(file);
    ProjectInput in;
    std::string error;
    ASSERT_TRUE(read(text, in, error)) << file << ": " << error;
    std::size_t end = 0;
    for (int k = 0; k < in.recordLines; ++k) end = text.find("\r\n", end) + 2;
    std::vector<int> codes;
    for (const Layer& l : in.layers) codes.push_back(l.code);
    EXPECT_EQ(text.substr(0, end) + methods::methodBlockText(in.methods, codes), text) << file;
    with2018 += in.gec2018() ? 1 : 0;
  }
  EXPECT_GE(with2018, 1) << "a sample of the 2018 set";
}

// The report and the run notes state the 2018 set and its scour; a 1999
// project's report says nothing new (the golden files hold it), and a 1999
// run of a project with 2018 values says they are not used.
TEST(DesignMethods, TheRunStatesTheSetItUsed) {
  TempFolder dir;
  writeFile(dir / "p.pq8d", kProfile + "METHODS 2018 \r\nSCOUR 4 \r\n");
  ProjectRun run = runProject(dir / "p.pq8d", test::fixedTime);
  ASSERT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
  const std::string report = readFile(dir / "p.pq8o");
  EXPECT_NE(report.find("     WATER TABLE DEPTH =      10.0 FT.\r\n     -------------------\r\n\r\n\r\n"
                        "     DESIGN METHODS: 2018 (FHWA GEC-10, FHWA-NHI-18-024, AND AASHTO LRFD 10.8)\r\n"
                        "     --------------\r\n"
                        "     SCOUR DEPTH =       4.0 FT.\r\n\r\n"),
            std::string::npos)
      << report.substr(0, 2000);
  EXPECT_EQ(readFile(dir / "p.pq8r").rfind(
                "     DESIGN METHODS: 2018 (FHWA GEC-10, FHWA-NHI-18-024, AND AASHTO LRFD 10.8)\r\n"
                "     --------------\r\n\r\n",
                0),
            0U);

  RunOptions as1999;
  as1999.methods = MethodSet::Fhwa1999;
  run = runProject(dir / "p.pq8d", test::fixedTime, as1999);
  ASSERT_EQ(run.summary.status, kStatusCompleted);
  EXPECT_EQ(readFile(dir / "p.pq8o").find("DESIGN METHODS"), std::string::npos);
  EXPECT_EQ(readFile(dir / "p.pq8r").find("DESIGN METHODS"), std::string::npos);
  const RunWarning unused{0, "THE SCOUR DEPTH AND THE LAYER VALUES OF THE 2018 METHODS ARE NOT USED: THE RUN USES "
                             "THE 1999 METHODS"};
  EXPECT_NE(std::find(run.summary.warnings.begin(), run.summary.warnings.end(), unused), run.summary.warnings.end());
}

}  // namespace
}  // namespace pylar::engine
