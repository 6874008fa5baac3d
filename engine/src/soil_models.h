#pragma once
// One description per soil and rock model code: the behaviour of its family
// (soil_family.h: completion, side, base, report block, rock socket), how its
// property lines are laid out in the project file, how the report heads its
// layer, which load-transfer tables it uses and whether a pier tip in it is a
// rock socket. The reader, the resistance procedures, the report and the
// load-settlement analyses ask this table instead of testing codes
// themselves; soil_models.cpp holds it, one row per code.

#include <span>
#include <string_view>

#include "project_input.h"
#include "units.h"

namespace pylar::engine {

class SoilBehaviour;  // soil_family.h

// The normalised load-transfer tables the model's curves are scaled from.
enum class CurveTable { Sand, Clay };

// The record that follows the two property lines of a layer.
enum class ExtraRecord { None, SandProcedure, Alpha };

// One value of a property line: a field of the layer end, or (wide >= 0) one
// of the four layer-wide values, which are taken from the bottom line.
struct PropertyField {
  std::string_view name;  // as an input error names it
  Real LayerEnd::*member = nullptr;
  int wide = -1;  // 0 max side, 1 max base, 2 phi side, 3 phi base
};

struct SoilModel {
  int code = 0;  // 0: a code outside the table
  const SoilBehaviour* behaviour = nullptr;  // never null in the table
  std::string_view title;  // report heading "LAYER NO n----<title>"
  int numberWidth = 3;     // width of n in that heading
  std::span<const PropertyField> propertyLine;
  ExtraRecord extraRecord = ExtraRecord::None;
  // A tip in the model takes a rock-socket load-settlement relationship, and
  // its slices carry side over the socket diameter when one is given.
  bool rockSocket = false;
  // Rock in the sense of the weak-rock procedure: its top is the rock top,
  // and a strong-rock socket runs up through it.
  bool rock = false;
  // The run notes ask for the total unit weight when it is below 50 lb/ft^3.
  bool needsUnitWeight = false;
  CurveTable sideCurves = CurveTable::Clay;
  CurveTable baseCurves = CurveTable::Sand;
  // The behaviour under the 2018 method set (design_methods.h), for the
  // models that have 2018 rules; the others keep their 1999 behaviour.
  const SoilBehaviour* behaviour2018 = nullptr;

  // The behaviour of the model under the project's method set: completion,
  // side, base and the layer's report block.
  const SoilBehaviour& rules(const ProjectInput& project) const {
    return project.gec2018() && behaviour2018 ? *behaviour2018 : *behaviour;
  }

  // The model's property lines hold `field` (a layer of the model can give it).
  bool holds(Real LayerEnd::*field) const {
    for (const PropertyField& f : propertyLine)
      if (f.member == field) return true;
    return false;
  }

  // A tip in the model is analysed by the soil load-transfer solver.
  bool soilTip() const { return code != 0 && !rockSocket; }
};


// The description of a model code; a code outside 1..9, which the reader
// refuses, gets a description without behaviour (it keeps the heading and
// layout of the last row, as before).
const SoilModel& soilModel(int code);

}  // namespace pylar::engine
