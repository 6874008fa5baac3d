// The run's values for programs: JSON and per-pier summary lines.
#include "run_json.h"

#include <cmath>
#include <map>
#include <string>

#include "capacity.h"
#include "fortran_format.h"
#include "report.h"

namespace pylar::engine {
namespace {

// A number as a report field of `decimals` (Fw.d) or significant digits
// (Ew.d) prints it, without the field's blanks; null when it is not finite.
// The field is wide enough for any single-precision value, so it never fills
// with asterisks or drops a leading zero; should it ever, null is written
// rather than text that is not a number.
std::string numberText(const std::string& field) {
  const auto begin = field.find_first_not_of(' ');
  if (begin == std::string::npos || field.find('*') != std::string::npos) return "null";
  return field.substr(begin);
}
std::string fixed(Real value, int decimals) {
  return std::isfinite(value) ? numberText(formatF(64, decimals, value)) : "null";
}
std::string exponent(Real value) { return std::isfinite(value) ? numberText(formatE(24, 4, value)) : "null"; }

std::string trimmed(const std::string& line) {
  const auto end = line.find_last_not_of(' ');
  const auto begin = line.find_first_not_of(' ');
  return end == std::string::npos ? std::string() : line.substr(begin, end - begin + 1);
}

class Json {
 public:
  Json& raw(std::string_view text) {
    out_ += text;
    return *this;
  }
  Json& key(std::string_view name) {
    comma();
    out_ += jsonString(name);
    out_ += ':';
    fresh_ = true;
    return *this;
  }
  Json& value(std::string_view literal) {
    comma();
    out_ += literal;
    return *this;
  }
  Json& text(std::string_view s) { return value(jsonString(s)); }
  Json& boolean(bool b) { return value(b ? "true" : "false"); }
  Json& open(char bracket) {
    comma();
    out_ += bracket;
    fresh_ = true;
    return *this;
  }
  Json& close(char bracket) {
    out_ += bracket;
    fresh_ = false;
    return *this;
  }
  Json& lines(const Lines& ls) {
    open('[');
    for (const std::string& l : ls)
      if (const std::string t = trimmed(l); !t.empty()) text(t);
    return close(']');
  }
  std::string str() const { return out_; }

 private:
  void comma() {
    if (!fresh_) out_ += ',';
    fresh_ = false;
  }
  std::string out_;
  bool fresh_ = true;
};

void loadSettlementRows(Json& j, const std::vector<LoadSettlementRow>& rows) {
  j.open('[');
  for (const LoadSettlementRow& r : rows) {
    j.open('{');
    j.key("topLoad").value(exponent(r.topLoad)).key("topMovement").value(exponent(r.topMovement));
    j.key("tipLoad").value(exponent(r.tipLoad)).key("tipMovement").value(exponent(r.tipMovement));
    j.close('}');
  }
  j.close(']');
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  static const char* const kHex = "0123456789abcdef";
  for (std::size_t k = 0; k < text.size();) {
    const auto c = static_cast<unsigned char>(text[k]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++k;
    } else if (c < 0x20 || c == 0x7f) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++k;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++k;
    } else {
      // A whole UTF-8 sequence passes; anything else is one replacement.
      std::size_t n = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
      bool valid = n > 0 && k + n <= text.size();
      for (std::size_t i = 1; valid && i < n; ++i) valid = (static_cast<unsigned char>(text[k + i]) & 0xc0) == 0x80;
      if (valid && n == 3) {
        const auto c1 = static_cast<unsigned char>(text[k + 1]);
        valid = !(c == 0xe0 && c1 < 0xa0) && !(c == 0xed && c1 >= 0xa0);
      }
      if (valid && n == 4) {
        const auto c1 = static_cast<unsigned char>(text[k + 1]);
        valid = !(c == 0xf0 && c1 < 0x90) && !(c == 0xf4 && c1 >= 0x90);
      }
      if (valid) {
        out.append(text.substr(k, n));
        k += n;
      } else {
        out += "\\ufffd";
        ++k;
      }
    }
  }
  out += '"';
  return out;
}

RunResults analysisResults(const ProjectInput& in, const Analysis& a) {
  RunResults results;
  results.available = true;
  results.methods = in.methods.set;
  results.si = in.si();
  results.lrfd = in.NLRFD == 1;
  results.uplift = in.KCYCL == 2;
  const ReportUnits u{results.si};
  // The report's decimals: lengths 1, volumes and forces 1 (English) or 2
  // (SI), QU per volume 2, diameters 3.
  const int d = results.si ? 2 : 1;
  const bool lrfd = results.lrfd;
  const char* qbName = results.uplift ? "WT" : "QB";

  Json j;
  j.open('{');
  j.key("units").text(results.si ? "SI" : "English");
  j.key("design").text(lrfd ? "LRFD" : "ASD");
  j.key("methods").text(methods::methodSetName(in.methods.set));
  j.key("loading").text(results.uplift ? "uplift" : "compression");
  {
    Lines notes;
    for (const Messages& m : a.soil.messages) append(notes, m.notes);
    j.key("messages").lines(notes);
  }
  // Every warning of the run with its layer (null: no single layer).
  j.key("warnings").open('[');
  for (const Warning& w : a.warnings) {
    j.open('{').key("layer").value(w.layer > 0 ? std::to_string(w.layer) : "null").key("text").text(w.text);
    j.close('}');
  }
  j.close(']');
  j.key("piers").open('[');
  const std::vector<PierAnalysis>& piers = a.series.piers;
  for (std::size_t k = 0; k < piers.size(); ++k) {
    const PierAnalysis& p = piers[k];
    const PierResult& r = p.result;
    const bool chosen = a.series.chosen && *a.series.chosen == k;
    PierValues values;
    values.caseNumber = p.caseNumber;
    values.stem = fixed(u.length(p.geometry.stem), 3);
    values.base = fixed(u.length(p.geometry.base), 3);
    values.length = fixed(u.length(r.last.depth), 3);  // as the PYLAR LENGTH line
    values.qs = fixed(u.force(r.last.qs), d);
    values.qbOrWeight = fixed(u.force(r.last.qb), d);
    values.qu = fixed(u.force(r.last.qu), d);
    // As the capacity table prints them: QDN with the forces' decimals, LRFD
    // QU with two.
    values.allowable = lrfd ? fixed(u.force(r.last.lrfdQu), 2) : fixed(u.force(r.last.qdn), d);
    values.quPerVolume = fixed(u.forcePerVolume(r.last.quPerVolume), 2);
    values.stopped = r.stopped;
    values.mostEfficient = chosen;

    j.open('{');
    j.key("case").value(std::to_string(p.caseNumber));
    j.key("lengthNumber").value(std::to_string(p.lengthNumber));
    j.key("diameterNumber").value(std::to_string(p.diameterNumber));
    j.key("stem").value(values.stem).key("base").value(values.base).key("length").value(values.length);
    j.key("stopped").boolean(r.stopped).key("mostEfficient").boolean(chosen);
    j.key("designLoadNotReached").boolean(p.designLoadNotReached);
    j.key("shortfall");
    if (p.designLoadNotReached) j.text(p.shortfall);
    else j.value("null");
    j.key("shortOfBase").boolean(r.shortOfBase);
    j.key("messages").lines(p.messages.notes);
    j.key("rows").open('[');
    for (const CapacityRow& row : r.rows) {
      j.open('{');
      j.key("length").value(fixed(u.length(row.depth), 1));
      j.key("volume").value(fixed(u.volume(row.volume), d));
      j.key("QS").value(fixed(u.force(row.qs), d));
      j.key(qbName).value(fixed(u.force(row.qb), d));
      j.key("QU").value(fixed(u.force(row.qu), d));
      if (lrfd) {
        j.key("LRFD QS").value(fixed(u.force(row.lrfdQs), d));
        j.key(results.uplift ? "LRFD WT" : "LRFD QB").value(fixed(u.force(row.lrfdQb), d));
        j.key("LRFD QU").value(fixed(u.force(row.lrfdQu), 2));
      } else {
        j.key("QBD").value(fixed(u.force(row.qbd), d));
        j.key("QDN").value(fixed(u.force(row.qdn), d));
        j.key("QU/VOLUME").value(fixed(u.forcePerVolume(row.quPerVolume), 2));
      }
      j.close('}');
    }
    j.close(']');

    // The side resistance each layer contributes to QS at the stopping
    // depth: the slices the walk sums for that tip, by layer.
    std::map<std::size_t, Real> byLayer;
    for (const CreditedSlice& s : creditedSide(p.profile, r.last.depth, in.TOPLENG, in.bottomLength))
      byLayer[s.layer] += s.side;
    j.key("sideByLayer").open('[');
    for (const auto& [layer, side] : byLayer) {
      j.open('{').key("layer").value(std::to_string(layer + 1)).key("QS").value(fixed(u.force(side), d)).close('}');
    }
    j.close(']');

    j.key("loadSettlement").open('[');
    for (const GeometryResult& g : a.settlement.geometries) {
      if (g.geometry.pier != k || !g.analysed) continue;
      const std::vector<LoadSettlementRow>* lines[] = {&g.curves.trend, &g.curves.upper, &g.curves.lower};
      const char* names[] = {"trend", "upper", "lower"};
      for (int b = 0; b < 3; ++b) {
        if (lines[b]->empty()) continue;
        j.open('{').key("line").text(names[b]).key("diameterNumber").value(std::to_string(g.geometry.diameterIndex));
        j.key("lengthNumber").value(std::to_string(g.geometry.lengthIndex));
        j.key("inReport").boolean(g.geometry.plotted && g.status == 0);
        j.key("points");
        loadSettlementRows(j, *lines[b]);
        j.close('}');
      }
    }
    j.close(']');
    j.close('}');
    results.piers.push_back(std::move(values));
  }
  j.close(']');

  j.key("rockSocket");
  if (a.rockSocket && a.series.chosen) {
    j.open('{').key("pier").value(std::to_string(*a.series.chosen + 1));
    j.key("points");
    loadSettlementRows(j, a.rockSocket->rows);
    j.key("messages").lines(a.rockSocket->notes);
    j.close('}');
  } else {
    j.value("null");
  }
  j.close('}');
  results.json = j.str();
  return results;
}

}  // namespace pylar::engine
