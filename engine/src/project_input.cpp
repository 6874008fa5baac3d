// Reading of the project file (records 1 to 9) into the run's input.
#include "project_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>
#include <variant>

#include "fortran_format.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

// Longest piece of an offending value quoted in an error line.
constexpr std::size_t kQuotedLength = 40;

// A number written correctly whose size no single-precision value holds
// (1E50, 1E-50, or a hundred digits).
bool isNumberBeyondSinglePrecision(std::string_view token) {
  if (!token.empty() && token[0] == '+') token.remove_prefix(1);
  if (token.empty()) return false;
  std::string text(token);
  for (char& c : text) {
    if (c == 'd' || c == 'D') c = 'E';
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  }
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) return false;
  if (ec == std::errc::result_out_of_range) return true;
  return ec == std::errc() && std::isfinite(value) && value != 0 &&
         (std::fabs(value) > std::numeric_limits<Real>::max() || std::fabs(value) < std::numeric_limits<Real>::min());
}

struct Slot {
  std::string_view name;
  std::variant<int*, Real*> target;
};

// Reads whole records into typed slots; remembers the first error as one
// line naming the record, the value and the line of the file.
class RecordReader {
 public:
  RecordReader(ListReader& in, std::string& error) : in_(in), error_(error) {}

  bool read(const std::string& record, std::span<const Slot> slots) {
    if (!in_.readValues(slots.size(), tokens_)) {
      std::string_view missing = tokens_.size() < slots.size() ? slots[tokens_.size()].name : "VALUES";
      return fail(record, missing, "THE FILE ENDS BEFORE THIS VALUE");
    }
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const auto& token = tokens_[k];
      if (auto* integer = std::get_if<int*>(&slots[k].target)) {
        auto value = parseInteger(token.text);
        if (!value) return badToken(record, slots[k].name, token, "IS NOT A WHOLE NUMBER");
        **integer = *value;
      } else {
        auto value = parseReal(token.text);
        if (!value)
          return badToken(record, slots[k].name, token,
                          isNumberBeyondSinglePrecision(token.text) ? "IS OUT OF RANGE FOR SINGLE PRECISION"
                                                                    : "IS NOT A NUMBER");
        *std::get<Real*>(slots[k].target) = *value;
      }
    }
    return true;
  }
  bool read(const std::string& record, std::initializer_list<Slot> slots) {
    return read(record, std::span<const Slot>(slots.begin(), slots.size()));
  }

  // A value that was read but lies outside what the engine can handle.
  bool outOfRange(const std::string& record, std::string_view name, long long value, std::string_view allowed) {
    return fail(record, name, std::to_string(value) + " IS OUT OF RANGE (" + std::string(allowed) + ")");
  }

  bool fail(const std::string& record, std::string_view name, const std::string& what) {
    error_ = "INPUT ERROR, " + record + ", " + std::string(name) + ": " + what;
    return false;
  }

 private:
  bool badToken(const std::string& record, std::string_view name, const ListReader::Token& token,
                std::string_view what) {
    std::string quoted = token.text.substr(0, kQuotedLength);
    for (char& c : quoted)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
    if (token.text.size() > kQuotedLength) quoted += "...";
    return fail(record, name, "\"" + quoted + "\" " + std::string(what) + " (LINE " + std::to_string(token.line) + ")");
  }

  ListReader& in_;
  std::string& error_;
  std::vector<ListReader::Token> tokens_;
};

std::string shortest(Real value) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? end : buf);
}

std::string layerRecord(std::size_t index, std::string_view part) {
  return "RECORD 8, LAYER " + std::to_string(index + 1) + ", " + std::string(part);
}

bool readLayer(RecordReader& reader, std::size_t index, Layer& layer) {
  Real code = 0;
  if (!reader.read(layerRecord(index, "LAYER LINE"),
                   {{"SOIL MODEL CODE", &code}, {"DEPTH OF LAYER BOTTOM", &layer.bottom}}))
    return false;
  // The code is written as an integer but read as a real and truncated.
  if (!(code >= 1 && code < 10))
    return reader.fail(layerRecord(index, "LAYER LINE"), "SOIL MODEL CODE",
                       shortest(code) + " IS OUT OF RANGE (1 TO 9)");
  layer.code = static_cast<int>(code);
  const SoilModel& model = soilModel(layer.code);

  std::array<Real, 4> wide{};
  for (std::size_t end = 0; end < 2; ++end) {
    const auto fields = model.propertyLine;
    std::vector<Slot> slots;
    for (const auto& field : fields)
      slots.push_back({field.name, field.wide >= 0 ? &wide[static_cast<std::size_t>(field.wide)]
                                                   : &(layer.end[end].*field.member)});
    if (!reader.read(layerRecord(index, end == 0 ? "VALUES AT THE TOP" : "VALUES AT THE BOTTOM"), slots))
      return false;
  }
  // Layer-wide values: those of the bottom line.
  layer.maxSide = wide[0];
  layer.maxBase = wide[1];
  layer.phiSide = wide[2];
  layer.phiBase = wide[3];

  if (model.extraRecord == ExtraRecord::SandProcedure) {
    const std::string record = layerRecord(index, "SIDE FRICTION PROCEDURE");
    if (!reader.read(record, {{"PROCEDURE", &layer.sandMethod}})) return false;
    if (layer.sandMethod < kKoMethod || layer.sandMethod > kChenKulhawyMethod)
      return reader.outOfRange(record, "PROCEDURE", layer.sandMethod, "1 TO 3");
    return reader.read(layerRecord(index, "PROCEDURE PARAMETER"),
                       {{"PARAMETER AT THE TOP", &layer.end[0].sideParameter},
                        {"PARAMETER AT THE BOTTOM", &layer.end[1].sideParameter}});
  }
  if (model.extraRecord == ExtraRecord::Alpha)
    return reader.read(layerRecord(index, "ADHESION FACTOR"),
                       {{"ALPHA AT THE TOP", &layer.end[0].sideParameter},
                        {"ALPHA AT THE BOTTOM", &layer.end[1].sideParameter}});
  return true;
}

// Minimum pier length of a series: at least six initial diameters plus the
// ignored portions.
void raiseMinimumLength(ProjectInput& p) {
  p.PDMIN = std::max(p.PDMIN, 6 * p.DSTART + p.TOPLENG + p.bottomLength);
}

}  // namespace

void applyLengthSeriesDefaults(ProjectInput& p) {
  if (p.PDMIN == 0) p.PDMIN = 0.7F * p.proposedDepth;
  if (p.PDINCR == 0) p.PDINCR = p.si() ? 1.0F : 3.0F;
  raiseMinimumLength(p);
}

void applyDesignChartDefaults(ProjectInput& p) {
  if (p.PDMIN == 0) p.PDMIN = 0.3F * p.proposedDepth;
  if (p.PDINCR == 0) p.PDINCR = p.si() ? 1.0F : 3.0F;
  if (p.DIAMINCR == 0) p.DIAMINCR = p.si() ? 0.15F : 0.5F;
  raiseMinimumLength(p);
}

void convertToWorkingUnits(ProjectInput& p) {
  if (!p.si()) return;
  // Every length in feet; one that stands for a whole or half number of
  // feet is that number, as the same project entered in feet would hold it.
  auto toFeet = [](Real& metres) { metres = wholeOrHalfFoot(metres * kFeetPerMetre); };
  for (Real* length : {&p.printIncrement, &p.ValElevation, &p.DSTART, &p.DIALIM, &p.TOPLENG, &p.bottomLength,
                       &p.waterTable, &p.proposedDepth, &p.PDMIN, &p.PDINCR, &p.DIAMINCR, &p.scourDepth})
    toFeet(*length);
  p.Ec *= kPsiPerKPa;
  p.designLoad *= kTonsPerKN;
  for (Real& s : p.PDSETT) s *= kInchesPerMetre;
  for (Real& z : p.tzDepths) toFeet(z);
  for (Layer& layer : p.layers) {
    toFeet(layer.bottom);
    layer.maxSide *= kPsfPerKPa;
    layer.maxBase *= kPsfPerKPa;
    // Fields a model does not use are zero, so every field is converted.
    for (LayerEnd& e : layer.end) {
      e.unitWeight *= kPcfPerKNm3;
      e.cohesion *= kPsfPerKPa;
      e.rockStrength *= kPsfPerKPa;
      e.concreteStrength *= kPsfPerKPa;
      toFeet(e.jointSpacing);
      toFeet(e.jointThickness);
      toFeet(e.socketDiameter);
      e.rockModulus *= kPsiPerKPa;
      e.youngModulus *= kPsiPerKPa;
      e.slump *= kInchesPerMetre;
    }
  }
}

bool readProjectInput(ListReader& in, ProjectInput& p, std::string& error) {
  p = ProjectInput{};
  RecordReader reader(in, error);

  auto title = in.readLine();
  if (!title) return reader.fail("RECORD 1", "TITLE", "THE FILE IS EMPTY");
  p.title = *title;

  if (!reader.read("RECORD 2", {{"UNITS FLAG", &p.units}})) return false;

  if (!reader.read("RECORD 3", {{"METHOD", &p.METHOD},
                                {"KCYCL", &p.KCYCL},
                                {"RCYCL", &p.RCYCL},
                                {"OUTPUT INCREMENT", &p.printIncrement},
                                {"IMOD", &p.IMOD},
                                {"NLRFD", &p.NLRFD},
                                {"IPENT", &p.IPENT},
                                {"ICHART", &p.IChart},
                                {"USEELEVATION", &p.UseElevation},
                                {"VALELEVATION", &p.ValElevation},
                                {"PRINTTZCURVES", &p.PrintTZCurves}}))
    return false;
  if (p.METHOD != 1 && p.METHOD != 2) return reader.outOfRange("RECORD 3", "METHOD", p.METHOD, "1 OR 2");

  if (!reader.read("RECORD 4", {{"MINIMUM DIAMETER", &p.DSTART},
                                {"MAXIMUM DIAMETER", &p.DIALIM},
                                {"RATIO BASE/DIAMETER", &p.RATIO},
                                {"ANGLE OF BELL", &p.BELANGL},
                                {"IGNORED TOP PORTION", &p.TOPLENG},
                                {"IGNORED BOTTOM PORTION", &p.bottomLength},
                                {"ELASTIC MODULUS EC", &p.Ec}}))
    return false;

  int layerCount = 0;
  Real loadOrDepth = 0;
  if (!reader.read("RECORD 5", {{"NUMBER OF LAYERS", &layerCount},
                                {"WATER TABLE DEPTH", &p.waterTable},
                                {p.METHOD == 1 ? "DESIGN LOAD" : "PROPOSED DEPTH", &loadOrDepth},
                                {"FACTOR OF SAFETY, SIDE", &p.FST},
                                {"FACTOR OF SAFETY, BASE", &p.FSB}}))
    return false;
  if (layerCount < 1 || layerCount > kMaxLayers)
    return reader.outOfRange("RECORD 5", "NUMBER OF LAYERS", layerCount, "1 TO " + std::to_string(kMaxLayers));
  (p.METHOD == 1 ? p.designLoad : p.proposedDepth) = loadOrDepth;

  if (p.IPENT >= 1) {
    if (!reader.read("RECORD 6", {{"MINIMUM LENGTH", &p.PDMIN}, {"LENGTH INCREMENT", &p.PDINCR}})) return false;
    applyLengthSeriesDefaults(p);
  }
  if (p.IChart >= 1) {
    if (!reader.read("RECORD 7", {{"MINIMUM LENGTH", &p.PDMIN},
                                  {"LENGTH INCREMENT", &p.PDINCR},
                                  {"DIAMETER INCREMENT", &p.DIAMINCR},
                                  {"NUMBER OF SETTLEMENTS", &p.NPOINTPD}}))
      return false;
    p.NPOINTPD = std::max(p.NPOINTPD, 0);
    if (p.NPOINTPD > kMaxSettlements)
      return reader.outOfRange("RECORD 7", "NUMBER OF SETTLEMENTS", p.NPOINTPD,
                               "0 TO " + std::to_string(kMaxSettlements));
    p.PDSETT.assign(static_cast<std::size_t>(p.NPOINTPD), 0);
    std::vector<Slot> slots;
    for (Real& s : p.PDSETT) slots.push_back({"SETTLEMENT VALUE", &s});
    if (!reader.read("RECORD 7, SETTLEMENTS", slots)) return false;
    p.settlementsAsEntered = p.PDSETT;
    applyDesignChartDefaults(p);
  }

  p.layers.resize(static_cast<std::size_t>(layerCount));
  for (std::size_t i = 0; i < p.layers.size(); ++i)
    if (!readLayer(reader, i, p.layers[i])) return false;

  if (p.PrintTZCurves == 1) {
    int count = 0;
    if (!reader.read("RECORD 9", {{"NUMBER OF T-Z DEPTHS", &count}})) return false;
    if (count < 0 || count > kMaxTzDepths)
      return reader.outOfRange("RECORD 9", "NUMBER OF T-Z DEPTHS", count, "0 TO " + std::to_string(kMaxTzDepths));
    p.tzDepths.assign(static_cast<std::size_t>(count), 0);
    for (std::size_t k = 0; k < p.tzDepths.size(); ++k)
      if (!reader.read("RECORD 9, DEPTH " + std::to_string(k + 1), {{"DEPTH", &p.tzDepths[k]}})) return false;
  }

  // The design methods: every line after the last record.
  p.recordLines = in.linesRead();
  std::vector<methods::BlockLine> block;
  while (auto line = in.readLine()) block.push_back({in.linesRead(), std::move(*line)});
  std::vector<int> codes;
  for (const Layer& layer : p.layers) codes.push_back(layer.code);
  if (const auto problem = methods::readMethodBlock(block, codes, p.si(), p.methods)) {
    error = problem->message();
    return false;
  }
  p.scourDepth = static_cast<Real>(p.methods.scourDepth);

  convertToWorkingUnits(p);
  return true;
}

}  // namespace pylar::engine
