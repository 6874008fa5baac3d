// Decomposed rock and cohesionless intermediate geomaterial (code 5): side
// and base of the slice by the cohesionless-IGM procedure (igm_resistance),
// the socket's load-settlement by Randolph and Wroth's elastic solution with
// a plastic branch (rock_socket.cpp).
#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

using family::nonNegative;

class DecomposedRockFamily : public SoilBehaviour {
 public:
  Real side(const SliceContext& s, SliceResistance& r) const override {
    const DecomposedRockSlice d = decomposedRockSlice(s.input, s.stress, s.index, s.depth, s.tipDepth, s.scourStress);
    r.coefficient = 1;
    r.strengthTerm = d.side * s.upliftFactor(false);
    r.hasBase = true;
    r.base = d.base;
    return r.strengthTerm / kPoundsPerTon;
  }

  void writeEnd(LayerReport& e) const override {
    e.value("ELASTIC MODULUS OF GRAVEL, " + e.modulusWord(), e.u.modulus(e.v.youngModulus));
    e.value("POISSION RATIO OF GRAVEL", e.v.poissonRatio);
    e.common();
    e.depthLine();
  }

  // The socket runs up through the unbroken run of decomposed-rock layers.
  Real socketTop(const ProjectInput& project, std::size_t tipLayer) const override {
    return family::topOfRun(project, tipLayer, [this](int code) { return soilModel(code).behaviour == this; });
  }

  void socketInput(RockSocketInput& in, const ProjectInput& project, std::size_t tipLayer) const override {
    const Layer& layer = project.layers[tipLayer];
    const Real pierLength = in.pierLength;
    const Real t = layerFraction(project.layerTop(tipLayer), layer.bottom, pierLength);
    Real& ds = in.socketDiameter;
    if (!(ds >= 0.001F)) ds = nonNegative(project.DSTART);
    in.blowCount = family::inputAt(layer, &LayerEnd::blowCount, t);
    in.blowCountTop = layer.top().blowCount;
    in.blowCountBottom = layer.bot().blowCount;
    in.modulusTop = layer.top().youngModulus;
    in.modulusBottom = layer.bot().youngModulus;
    in.effectiveStress = midLayerStress(project, tipLayer);
    // As the capacity analysis's slice: a profile that ends less than two
    // socket diameters below the tip takes the stress at the tip.
    if (project.layers.back().bottom - pierLength < 2 * ds)
      in.effectiveStress = EffectiveStressTable(project).at(pierLength);
  }

  RockSocketResult socketRelationship(const RockSocketInput& in) const override {
    return decomposedRockRelationship(in);
  }
};

// Under the 2018 set: the 1999 procedure (the 2018 methods give none for
// intermediate geomaterials), whose stresses are those after scour through
// SliceContext::scourStress.
class DecomposedRock2018Family final : public DecomposedRockFamily {
 public:
  void writeRules2018(Lines& out, const ProjectInput&, const Layer&, const CompletedLayer&) const override {
    out.emplace_back("       RULES: THE 1999 METHODS (FHWA-IF-99-025); THE 2018 METHODS HAVE NONE FOR THIS MODEL;");
    out.emplace_back("       THE SIDE AND BASE TAKE THE STRESSES OF THE GROUND AFTER SCOUR");
    out.emplace_back();
  }
};

}  // namespace

const SoilBehaviour& decomposedRockBehaviour() {
  static const DecomposedRockFamily decomposed;
  return decomposed;
}

const SoilBehaviour& decomposedRock2018Behaviour() {
  static const DecomposedRock2018Family decomposed;
  return decomposed;
}

}  // namespace pylar::engine
