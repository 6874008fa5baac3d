// What a family of soil models does when it has nothing of its own to do, and
// the pieces the families share.
#include "soil_family.h"

#include <string>

#include "report.h"
#include "soil_models.h"

namespace pylar::engine {

Real SliceContext::midSliceStress() const {
  Real g = stress.lastStepUnitWeight(index);
  if (depth > input.waterTable) g -= kWaterUnitWeight;
  return family::nonNegative(sigma - g / 2);
}

Real SliceContext::stressAfterScour(Real depthAt) const {
  return family::nonNegative(stress.at(depthAt) - scourStress);
}

Real SliceContext::upliftFactor(bool withBell) const {
  if (!uplift) return Real(1);
  Real f = family::finiteOrZero(input.RCYCL);
  if (withBell && input.RATIO > 1) f *= input.RATIO;
  return f;
}

void SoilBehaviour::complete(LayerCompletion&) const {}
Real SoilBehaviour::side(const SliceContext&, SliceResistance&) const { return 0; }
BaseResistance SoilBehaviour::base(BaseContext&) const { return {}; }
void SoilBehaviour::writeEnd(LayerReport&) const {}
void SoilBehaviour::writeAfterEnds(Lines&, const Layer&, const CompletedLayer&) const {}
void SoilBehaviour::writeRules2018(Lines& out, const ProjectInput&, const Layer&, const CompletedLayer&) const {
  out.emplace_back("       RULES: THE 1999 METHODS (FHWA-IF-99-025); THE 2018 METHODS HAVE NONE FOR THIS MODEL");
  out.emplace_back();
}
bool SoilBehaviour::carriesSideOnly(const Layer&) const { return false; }

// Strong rock runs up through every layer of rock.
Real SoilBehaviour::socketTop(const ProjectInput& project, std::size_t tipLayer) const {
  return family::topOfRun(project, tipLayer, [](int code) { return soilModel(code).rock; });
}

// Strong rock: a socket diameter not given is the stem's; the intact modulus
// and RQD at the tip.
void SoilBehaviour::socketInput(RockSocketInput& in, const ProjectInput& project, std::size_t tipLayer) const {
  const Layer& layer = project.layers[tipLayer];
  const Real t = layerFraction(project.layerTop(tipLayer), layer.bottom, in.pierLength);
  if (!(in.socketDiameter >= 0.001F)) in.socketDiameter = in.stemDiameter;
  in.intactModulus = family::inputAt(layer, &LayerEnd::rockModulus, t);
  in.rqd = family::inputAt(layer, &LayerEnd::rqd, t);
}

RockSocketResult SoilBehaviour::socketRelationship(const RockSocketInput&) const {
  return relationshipNotComputed("THE TIP LAYER IS NOT ROCK.");
}

const SoilBehaviour& noModelBehaviour() {
  static const SoilBehaviour none;
  return none;
}

namespace family {

std::vector<ZonePoint> zoneBelowTip(const BaseContext& tip) {
  std::vector<ZonePoint> points;
  const Real zone = 2 * nonNegative(tip.diameter);
  if (!(zone > 0) || !tip.soil) return points;
  const auto steps = static_cast<std::size_t>(std::max(Real(1), std::ceil(std::min(zone, Real(4000)) - 1.0e-3F)));
  const Real step = zone / static_cast<Real>(steps);
  const Real scour = tip.input.gec2018() ? tip.input.scourDepth : Real(0);
  for (std::size_t k = 0; k < steps; ++k) {
    const Real depth = tip.tipDepth + (static_cast<Real>(k) + 0.5F) * step;
    if (depth <= scour) continue;  // scour removed it
    if (const auto layer = tip.soil->layerAt(depth)) points.push_back({*layer, depth});
  }
  return points;
}

void appendStarBlock(Lines& out, std::string_view kind, std::initializer_list<std::string_view> lines) {
  out.emplace_back();
  std::string stars = "     *********************";
  stars += kind;
  stars += "**********************";
  out.push_back(stars);
  for (std::string_view line : lines) out.push_back(std::string("     ") + std::string(line));
  out.emplace_back();
}

}  // namespace family
}  // namespace pylar::engine
