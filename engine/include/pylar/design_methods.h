#pragma once
// The design method set of a project and the block of keyword lines that
// holds it in the project file (plain C++, header only, no Qt): the engine's
// reader and the desktop program's reader and writer share it.
//
// Two sets: "1999", the methods of FHWA-IF-99-025 (O'Neill and Reese), the
// default and the set of every project file without the block; and "2018",
// FHWA GEC-10 (FHWA-NHI-18-024, Brown et al. 2018) with AASHTO LRFD 10.8 for
// the models that have a rule there. docs/technical-manual.md (chapter 7)
// gives the rules of the 2018 set.
//
// The block follows the last record of the project file. Readers that stop
// at the last record they need read a file with the block as before. Every
// line is a keyword and its values, each value followed by one blank, CRLF:
//
//   METHODS 2018            the set: 1999 or 2018
//   SCOUR 38                depth of scour below the pier top, in the
//                           project's length unit (ft or m); 0: none
//   LAYER 4 TEST CIUC       a clay layer's strength test: UU (default), UC
//                           or CIUC
//   LAYER 2 SAND SILTY      a sand layer's kind for its preconsolidation
//                           stress: CLEAN (default), SILTY or GRAVELLY
//
// The block is written only when the set is 2018 or a value differs from its
// default, so every project without it reads as 1999 and is written back as
// it was; it starts with its METHODS line, then SCOUR when not 0, then one
// line per layer value that differs from its default, in layer order.
// Keywords are read in any case; blank lines are skipped.
//
// The block starts at the first line after the records whose first word is
// METHODS and runs to the end of the file. Lines before it are notes, read
// past as every reader always has (a note typed after the last record);
// within it every line is one of the block's, so that a misspelt keyword is
// refused rather than read past.
//
// The resistance factors of AASHTO LRFD for each model (kResistanceFactors)
// are the values a new layer of a 2018 project starts with; the engine takes
// the factors of each layer from the project file.

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "pylar/input_ranges.h"

namespace pylar::methods {

enum class MethodSet : std::uint8_t { Fhwa1999, Gec2018 };

// A clay's undrained strength as tested: unconsolidated-undrained triaxial
// (UU), unconfined compression (UC), or consolidated-isotropically undrained
// triaxial compression (CIUC), which the 2018 alpha is written with.
enum class StrengthTest : std::uint8_t { UU, UC, CIUC };

// A sand's kind, which sets its preconsolidation stress from N60: clean
// quartz sand (exponent m = 0.6), silty sand to sandy silt (m = 0.8), or
// gravelly soil (0.15 N60 pa).
enum class SandKind : std::uint8_t { Clean, Silty, Gravelly };

inline constexpr std::string_view kMethodsKeyword = "METHODS";
inline constexpr std::string_view kScourKeyword = "SCOUR";
inline constexpr std::string_view kLayerKeyword = "LAYER";
inline constexpr std::string_view kTestWord = "TEST";
inline constexpr std::string_view kSandWord = "SAND";

inline constexpr std::array<std::string_view, 2> kMethodSetNames = {"1999", "2018"};
inline constexpr std::array<std::string_view, 3> kStrengthTestNames = {"UU", "UC", "CIUC"};
inline constexpr std::array<std::string_view, 3> kSandKindNames = {"CLEAN", "SILTY", "GRAVELLY"};

// The soil codes whose layers hold a strength test (clay) and a sand kind
// (sand): the models the 2018 set gives these rules.
inline constexpr int kClayCode = 2;
inline constexpr int kSandCode = 1;

constexpr std::string_view methodSetName(MethodSet s) { return kMethodSetNames[static_cast<std::size_t>(s)]; }
constexpr std::string_view strengthTestName(StrengthTest t) { return kStrengthTestNames[static_cast<std::size_t>(t)]; }
constexpr std::string_view sandKindName(SandKind k) { return kSandKindNames[static_cast<std::size_t>(k)]; }

// Upper case of ASCII text.
inline std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The index of `word` (any case) among `names`, or nullopt.
template <std::size_t N>
std::optional<std::size_t> nameIndex(const std::array<std::string_view, N>& names, std::string_view word) {
  const std::string upper = upperCase(word);
  for (std::size_t k = 0; k < N; ++k)
    if (names[k] == upper) return k;
  return std::nullopt;
}

// "1999" or "2018" (what `pylar run --methods` takes); nullopt otherwise.
inline std::optional<MethodSet> methodSetFromName(std::string_view name) {
  const auto k = nameIndex(kMethodSetNames, name);
  return k ? std::optional<MethodSet>(static_cast<MethodSet>(*k)) : std::nullopt;
}

struct LayerMethods {
  StrengthTest test = StrengthTest::UU;
  SandKind sand = SandKind::Clean;
  bool operator==(const LayerMethods&) const = default;
};

struct DesignMethods {
  MethodSet set = MethodSet::Fhwa1999;
  double scourDepth = 0;             // project length unit (ft or m), as in the file
  std::vector<LayerMethods> layers;  // by layer; a layer beyond the list has the defaults

  bool gec2018() const { return set == MethodSet::Gec2018; }
  LayerMethods layer(std::size_t i) const { return i < layers.size() ? layers[i] : LayerMethods{}; }
  // Scour or a layer value other than its default: values only the 2018
  // set uses.
  bool has2018Values() const {
    return scourDepth != 0 ||
           std::any_of(layers.begin(), layers.end(), [](const LayerMethods& l) { return l != LayerMethods{}; });
  }
  bool operator==(const DesignMethods& o) const {
    if (set != o.set || scourDepth != o.scourDepth) return false;
    for (std::size_t i = 0; i < std::max(layers.size(), o.layers.size()); ++i)
      if (layer(i) != o.layer(i)) return false;
    return true;
  }
};

// A real as the project file writes it: general format with at most 8
// significant digits and "." ("38", "11.582", "1E-5").
inline std::string fileNumber(double value) {
  char buf[48];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 8);
  if (ec != std::errc()) return "0";
  std::string text(buf, end);
  const auto e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
  exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// The block for a project whose layers have `layerCodes`, CRLF lines; empty
// when the set is 1999 and every value has its default. Layer values that
// their layer's model does not hold are not written.
inline std::string methodBlockText(const DesignMethods& m, std::span<const int> layerCodes) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < layerCodes.size(); ++i) {
    const LayerMethods l = m.layer(i);
    const std::string layer = std::string(kLayerKeyword) + " " + std::to_string(i + 1) + " ";
    if (layerCodes[i] == kClayCode && l.test != StrengthTest::UU)
      lines.push_back(layer + std::string(kTestWord) + " " + std::string(strengthTestName(l.test)) + " ");
    if (layerCodes[i] == kSandCode && l.sand != SandKind::Clean)
      lines.push_back(layer + std::string(kSandWord) + " " + std::string(sandKindName(l.sand)) + " ");
  }
  if (m.set == MethodSet::Fhwa1999 && m.scourDepth == 0 && lines.empty()) return {};
  std::string text = std::string(kMethodsKeyword) + " " + std::string(methodSetName(m.set)) + " \r\n";
  if (m.scourDepth != 0) text += std::string(kScourKeyword) + " " + fileNumber(m.scourDepth) + " \r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A line of the file after the last record, with its line number (from 1).
struct BlockLine {
  int number = 0;
  std::string text;
};

// What is wrong with the block: the line, the value's name, and what (in the
// words of the engine's input errors).
struct BlockProblem {
  int line = 0;
  std::string name;
  std::string what;
  // "INPUT ERROR, DESIGN METHODS, LINE 58, SCOUR DEPTH: ..."
  std::string message() const {
    return "INPUT ERROR, DESIGN METHODS, LINE " + std::to_string(line) + (name.empty() ? "" : ", " + name) + ": " + what;
  }
};

namespace detail {

inline std::vector<std::string> words(std::string_view line) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  for (;;) {
    pos = line.find_first_not_of(" \t\r", pos);
    if (pos == std::string_view::npos) return out;
    std::size_t end = line.find_first_of(" \t\r", pos);
    if (end == std::string_view::npos) end = line.size();
    out.emplace_back(line.substr(pos, end - pos));
    pos = end;
  }
}

// A word as an error quotes it: at most 40 characters, controls as '?'.
inline std::string quote(std::string_view word) {
  std::string text(word.substr(0, 40));
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
  return "\"" + text + (word.size() > 40 ? "...\"" : "\"");
}

inline std::optional<double> number(const std::string& word) {
  double value = 0;
  const char* first = word.data();
  if (!word.empty() && word[0] == '+') ++first;
  auto [end, ec] = std::from_chars(first, word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

inline std::string shortNumber(double value) {
  char buf[48];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

template <std::size_t N>
std::string nameList(const std::array<std::string_view, N>& names) {
  std::string out;
  for (std::size_t k = 0; k < N; ++k) out += (k == 0 ? "" : k + 1 == N ? " OR " : ", ") + std::string(names[k]);
  return out;
}

}  // namespace detail

// Reads the lines after the project's records into `out` (reset first) for
// a project whose layers have `layerCodes`, in SI (`si`) or English units:
// the block from its METHODS line on (the lines before it are notes).
// Returns the first problem: a keyword that is not one of the block's, a
// keyword given twice, a value missing, not a number, not one of its words or
// outside its hard range (input_ranges.h), a layer number outside the
// profile, or a layer value the layer's model does not hold.
inline std::optional<BlockProblem> readMethodBlock(std::span<const BlockLine> lines, std::span<const int> layerCodes,
                                                   bool si, DesignMethods& out) {
  using detail::quote;
  out = DesignMethods{};
  out.layers.assign(layerCodes.size(), LayerMethods{});
  bool seenMethods = false;
  bool seenScour = false;
  std::vector<std::array<bool, 2>> seenLayer(layerCodes.size(), {false, false});
  bool inBlock = false;
  for (const BlockLine& line : lines) {
    const std::vector<std::string> w = detail::words(line.text);
    if (w.empty()) continue;
    const std::string keyword = upperCase(w[0]);
    if (!inBlock && keyword != kMethodsKeyword) continue;  // a note before the block
    inBlock = true;
    auto problem = [&line](std::string name, std::string what) {
      return BlockProblem{line.number, std::move(name), std::move(what)};
    };
    auto expectCount = [&](std::size_t count, std::string_view name) -> std::optional<BlockProblem> {
      if (w.size() < count) return problem(std::string(name), "A VALUE IS MISSING");
      if (w.size() > count) return problem(std::string(name), quote(w[count]) + " FOLLOWS THE LAST VALUE");
      return std::nullopt;
    };
    if (keyword == kMethodsKeyword) {
      if (auto p = expectCount(2, "METHODS")) return p;
      if (seenMethods) return problem("METHODS", "GIVEN TWICE");
      seenMethods = true;
      const auto set = methodSetFromName(w[1]);
      if (!set) return problem("METHODS", quote(w[1]) + " IS NOT A METHOD SET (" + detail::nameList(kMethodSetNames) + ")");
      out.set = *set;
    } else if (keyword == kScourKeyword) {
      if (auto p = expectCount(2, "SCOUR DEPTH")) return p;
      if (seenScour) return problem("SCOUR DEPTH", "GIVEN TWICE");
      seenScour = true;
      const auto value = detail::number(w[1]);
      if (!value) return problem("SCOUR DEPTH", quote(w[1]) + " IS NOT A NUMBER");
      const inputs::InputRange* r = inputs::findRange(inputs::Input::ScourDepth);
      const double factor = si ? inputs::siToEnglish(r->unit) : 1.0;
      if (inputs::checkValue(*r, *value * factor) == inputs::RangeCheck::Impossible) {
        const std::string unit(inputs::unitWord(r->unit, si));
        return problem("SCOUR DEPTH", detail::shortNumber(*value) + " " + unit + " IS OUT OF RANGE (" +
                                          detail::shortNumber(r->hardMin / factor) + " TO " +
                                          detail::shortNumber(r->hardMax / factor) + " " + unit + ")");
      }
      out.scourDepth = *value;
    } else if (keyword == kLayerKeyword) {
      if (auto p = expectCount(4, "LAYER")) return p;
      const auto n = detail::number(w[1]);
      if (!n || *n != std::floor(*n)) return problem("LAYER", quote(w[1]) + " IS NOT A LAYER NUMBER");
      if (*n < 1 || *n > static_cast<double>(layerCodes.size()))
        return problem("LAYER", w[1] + " IS OUT OF RANGE (1 TO " + std::to_string(layerCodes.size()) + ")");
      const auto i = static_cast<std::size_t>(*n) - 1;
      const std::string what = upperCase(w[2]);
      const std::string name = "LAYER " + std::to_string(i + 1) + " " + what;
      if (what == kTestWord) {
        if (layerCodes[i] != kClayCode) return problem(name, "THE LAYER IS NOT CLAY (MODEL 2)");
        if (seenLayer[i][0]) return problem(name, "GIVEN TWICE");
        seenLayer[i][0] = true;
        const auto k = nameIndex(kStrengthTestNames, w[3]);
        if (!k) return problem(name, quote(w[3]) + " IS NOT A STRENGTH TEST (" + detail::nameList(kStrengthTestNames) + ")");
        out.layers[i].test = static_cast<StrengthTest>(*k);
      } else if (what == kSandWord) {
        if (layerCodes[i] != kSandCode) return problem(name, "THE LAYER IS NOT SAND (MODEL 1)");
        if (seenLayer[i][1]) return problem(name, "GIVEN TWICE");
        seenLayer[i][1] = true;
        const auto k = nameIndex(kSandKindNames, w[3]);
        if (!k) return problem(name, quote(w[3]) + " IS NOT A SAND KIND (" + detail::nameList(kSandKindNames) + ")");
        out.layers[i].sand = static_cast<SandKind>(*k);
      } else {
        return problem("LAYER " + std::to_string(i + 1), quote(w[2]) + " IS NOT A LAYER VALUE (TEST OR SAND)");
      }
    } else {
      return problem("", quote(w[0]) + " IS NOT A KEYWORD OF THE DESIGN METHODS (METHODS, SCOUR OR LAYER)");
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// AASHTO LRFD resistance factors of drilled shafts (Table 10.5.5.2.4-1, as
// GEC-10 2018 Table 8-4 and its Appendix A use them), per soil model: the
// values a new layer of a 2018 project starts with. Strength limit state;
// the extreme event limit state takes 1.0.

struct ModelResistanceFactors {
  int code;              // soil model code
  double side;           // compression
  double base;
  double uplift;         // side resistance in uplift
  std::string_view basis;  // the row of the table the model takes, and why
};

inline constexpr ModelResistanceFactors kResistanceFactors[] = {
    {1, 0.55, 0.50, 0.45, "cohesionless soil: side by the beta method, tip by the N60 rule"},
    {2, 0.45, 0.40, 0.35, "cohesive soil: side by the alpha method, tip by the Nc rule"},
    {3, 0.45, 0.40, 0.35, "clay shale: side by the alpha method, tip by the Nc rule (cohesive soil row)"},
    {4, 0.50, 0.50, 0.40, "rock: side by Kulhawy et al. (2005) and tip 2.5 qu; side 0.50 of GEC-10 Table 8-4 "
                          "(0.55 in other transcriptions of the AASHTO table: the lower value is kept)"},
    {5, 0.55, 0.50, 0.45, "cohesionless intermediate geomaterial: the cohesionless soil row (no row of its own)"},
    {6, 0.60, 0.55, 0.50, "cohesive intermediate geomaterial"},
    {7, 0.50, 0.50, 0.40, "rock: as model 4"},
    {8, 0.55, 0.50, 0.45, "gravelly sand: the cohesionless soil row"},
    {9, 0.55, 0.50, 0.45, "gravel: the cohesionless soil row"},
};

inline constexpr const ModelResistanceFactors* resistanceFactors(int code) {
  for (const ModelResistanceFactors& f : kResistanceFactors)
    if (f.code == code) return &f;
  return nullptr;
}

}  // namespace pylar::methods
