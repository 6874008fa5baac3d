#include "ui/View3dScene.h"

#include "model/DataUnit.h"
#include "model/PltData.h"

#include <QPainter>

#include <cmath>

namespace pylar {

namespace {

constexpr int kSlices = 20;
constexpr GLuint kPierList = 1;  // offsets from the list base: list 2 and list 5 of the scene
constexpr GLuint kSoilList = 4;

void colour(TglCalls &gl, TRgb c, double alpha = 1) { gl.Color(c.r, c.g, c.b, alpha); }

// Diameter of the pier at a depth (the bell widens linearly).
double diameterAt(const TPierGeometry &g, double depth) {
  for (const TPierSection &s : g.sections)
    if (depth >= s.top && depth <= s.bottom) {
      const double t = s.bottom > s.top ? (depth - s.top) / (s.bottom - s.top) : 0;
      return s.topDiameter + t * (s.bottomDiameter - s.topDiameter);
    }
  return g.baseDiameter;
}

}  // namespace

void TView3dScene::SetData(const TSceneProject &project, std::vector<TSceneCurve> curves, const QString &forceUnits) {
  if (fListBase != 0 && project == fProject && curves == fCurves && forceUnits == fForceUnits) return;
  fProject = project;
  fCurves = std::move(curves);
  fForceUnits = forceUnits;
  InitKode = 0;
}

void TView3dScene::SetOptions(const TView3dOptions &options) {
  fOptions = options;
  InitKode = 0;
}

void TView3dScene::Build(TglCalls &gl) {
  const auto start = std::chrono::steady_clock::now();
  if (fListBase == 0) fListBase = gl.GenLists(5);
  fLabels.clear();
  gl.NewList(fListBase + kPierList, GL_COMPILE);
  if (fOptions.ShowPylar) buildPier(gl);
  gl.EndList();
  gl.NewList(fListBase + kSoilList, GL_COMPILE);
  buildSoil(gl);
  gl.EndList();
  gl.Finish();
  InitKode = 1;
  fBuildTime = std::chrono::steady_clock::now() - start;
}

void TView3dScene::buildPier(TglCalls &gl) {
  const TPierGeometry g = PierGeometry(fProject);
  if (!g.sections.empty()) {
    // The pier is lit so that it reads as round; colours stay as set where it faces the viewer.
    gl.Enable(GL_LIGHTING);
    gl.Enable(GL_COLOR_MATERIAL);
    gl.Enable(GL_NORMALIZE);
    gl.ColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    // The solids lie a little behind the rings and the curves that start on their surface.
    gl.Enable(GL_POLYGON_OFFSET_FILL);
    gl.PolygonOffset(1, 1);
    for (const TPierSection &s : g.sections) {
      colour(gl, s.colour);
      gl.PushMatrix();
      gl.Translate(s.top, 0, 0);
      gl.Rotate(90, 0, 1, 0);  // the cylinder's z axis along the depth
      gl.SolidCylinder(s.topDiameter / 2, s.bottomDiameter / 2, s.bottom - s.top, kSlices);
      gl.PopMatrix();
    }
    colour(gl, kStemColour);
    gl.PushMatrix();
    gl.Rotate(90, 0, 1, 0);
    gl.Disk(0, g.sections.front().topDiameter / 2, kSlices, true);  // the top faces the ground surface
    gl.PopMatrix();
    gl.PushMatrix();
    gl.Translate(g.tip, 0, 0);
    gl.Rotate(90, 0, 1, 0);
    gl.Disk(0, g.baseDiameter / 2, kSlices);
    gl.PopMatrix();
    gl.Disable(GL_POLYGON_OFFSET_FILL);
    gl.Disable(GL_LIGHTING);
    gl.Disable(GL_COLOR_MATERIAL);

    colour(gl, kRingColour);
    gl.LineWidth(2);
    for (double depth : g.rings) {
      const double r = diameterAt(g, depth) / 2 * 1.03;
      gl.Begin(GL_LINE_LOOP);
      for (int i = 0; i < kSlices; ++i) {
        const double a = 2 * M_PI * i / kSlices;
        gl.Vertex3(depth, r * std::cos(a), r * std::sin(a));
      }
      gl.End();
    }
  }
  if (!fOptions.ShowUltimateEffects) return;
  gl.LineWidth(2);
  int written = 0;
  for (const TSceneCurve &curve : fCurves) {
    colour(gl, curve.colour);
    gl.Begin(GL_LINE_STRIP);
    for (const QPointF &p : curve.points) gl.Vertex3(p.x(), p.y(), 0);
    gl.End();
    if (fOptions.ShowUltimateEffectsValues)
      fLabels.push_back({WorldPoint(curve.maxPoint.x(), curve.maxPoint.y()),
                         FormatGeneral(curve.maxValue, 5, QLatin1Char('.')) + QLatin1Char(' ') + fForceUnits,
                         curve.colour, QPointF(4, 16.0 * written++)});  // one under the other where they meet
  }
}

void TView3dScene::buildSoil(TglCalls &gl) {
  const TSceneExtents e = SceneExtents(fProject);
  const double hw = e.halfWidth;
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gl.LineWidth(1);
  if (fOptions.ShowWaterLevel && std::isfinite(fProject.waterDepth)) {
    const double w = fProject.waterDepth;
    const double d = fProject.diameter > 0 ? fProject.diameter : e.LateralExtent() / 25;
    const double size = d / 2;
    colour(gl, kWaterColour);
    gl.Begin(GL_LINE_LOOP);
    gl.Vertex3(w, -hw, -hw), gl.Vertex3(w, hw, -hw), gl.Vertex3(w, hw, hw), gl.Vertex3(w, -hw, hw);
    gl.End();
    // Translucent faces write no depth, so that nothing behind them is lost.
    gl.Disable(GL_CULL_FACE);
    gl.DepthMask(false);
    colour(gl, kWaterColour, 0.75);
    gl.Begin(GL_QUADS);
    gl.Vertex3(w, -hw, -hw), gl.Vertex3(w, hw, -hw), gl.Vertex3(w, hw, hw), gl.Vertex3(w, -hw, hw);
    gl.End();
    // Inverted pyramids standing on the water table, the apex at the water.
    const double span = std::max(e.LateralExtent() - d, 0.0);
    for (int pass = 0; pass < 2; ++pass) {
      gl.DepthMask(pass == 1);
      colour(gl, kWaterColour, pass == 0 ? 0.5 : 1);
      for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
          const double y = -span / 2 + span * i / 4, z = -span / 2 + span * j / 4;
          const double top = w - size, s = size / 2;
          const double corners[4][2] = {{y - s, z - s}, {y + s, z - s}, {y + s, z + s}, {y - s, z + s}};
          if (pass == 0) {
            gl.Begin(GL_TRIANGLES);
            for (int k = 0; k < 4; ++k) {
              gl.Vertex3(w, y, z);
              gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[(k + 1) % 4][0], corners[(k + 1) % 4][1]);
            }
            gl.End();
            gl.Begin(GL_QUADS);
            for (const auto &c : corners) gl.Vertex3(top, c[0], c[1]);
            gl.End();
          } else {
            gl.Begin(GL_LINES);
            for (int k = 0; k < 4; ++k) {
              gl.Vertex3(w, y, z), gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[(k + 1) % 4][0], corners[(k + 1) % 4][1]);
            }
            gl.End();
          }
        }
    }
    gl.DepthMask(true);
    gl.Enable(GL_CULL_FACE);
  }
  if (fOptions.ShowSoilLayers) {
    for (std::size_t i = 0; i < fProject.layers.size(); ++i) {
      const TSceneLayer &layer = fProject.layers[i];
      const TRgb c = LayerColour(int(i));
      if (std::isfinite(layer.top) && std::isfinite(layer.bottom) && layer.bottom > layer.top) {
        colour(gl, c);
        gl.WireBox(layer.top, -hw, -hw, layer.bottom, hw, hw);
        // The faces lie a little behind the edges, so the edges stay whole.
        gl.DepthMask(false);
        gl.Enable(GL_POLYGON_OFFSET_FILL);
        gl.PolygonOffset(1, 1);
        colour(gl, c, 0.5);
        // Only the outside of the stack is filled: the faces where layers meet
        // would lie on top of each other in every view from above or below,
        // tinting the picture and costing a full-window fill each.
        gl.SolidBox(layer.top, -hw, -hw, layer.bottom, hw, hw, i == 0, i + 1 == fProject.layers.size());
        gl.Disable(GL_POLYGON_OFFSET_FILL);
        gl.DepthMask(true);
      }
      if (fOptions.ShowSoilLayerLabels)
        fLabels.push_back({WorldPoint((layer.top + layer.bottom) / 2, -hw * 0.96, hw),
                           LayerLabel(layer.code, int(i) + 1), {0, 0, 0}, QPointF(4, 5)});
    }
    if (fOptions.ShowSoilLayerDepthLabels && !fProject.layers.empty()) {
      std::vector<double> depths;
      for (const TSceneLayer &layer : fProject.layers) depths.push_back(layer.top);
      depths.push_back(fProject.layers.back().bottom);
      for (double depth : depths)
        fLabels.push_back({WorldPoint(depth, hw, hw), DepthLabel(depth, fProject.units), {0, 0, 0},
                           QPointF(6, 5)});  // centred on the line
    }
  }
  gl.Disable(GL_BLEND);
}

void TView3dScene::drawAxes(TglCalls &gl, const TViewState &view) {
  const double length = 80 / view.PixelsPerUnit();
  const struct {
    QVector3D direction;
    TRgb colour;
    const char *label;
  } axes[] = {{{1, 0, 0}, {1, 0, 0}, "D"}, {{0, 1, 0}, {0, 0.75f, 0}, "Y"}, {{0, 0, 1}, {0, 0, 1}, "X"}};
  gl.LineWidth(2);
  for (const auto &axis : axes) {
    const QVector3D end = axis.direction * float(length);
    colour(gl, axis.colour);
    gl.Begin(GL_LINES);
    gl.Vertex3(0, 0, 0);
    gl.Vertex3(end.x(), end.y(), end.z());
    gl.End();
    const QVector3D at = end * 1.12f;
    gl.WriteText(at.x(), at.y(), at.z(), QString::fromLatin1(axis.label));
  }
}

void TView3dScene::Draw(TglCalls &gl, const TViewState &view, QSize size, double devicePixelRatio) {
  gl.SetViewPort(0, 0, int(std::lround(size.width() * devicePixelRatio)),
                 int(std::lround(size.height() * devicePixelRatio)));
  gl.DepthMask(true);
  gl.ClearColor(1, 1, 1, 1);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // The frame stays opaque: blending must not lower its alpha, or the window
  // and the picture would show the translucent faces lighter than drawn.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  gl.ShadeModels(GL_SMOOTH);
  gl.Enable(GL_DEPTH_TEST);
  gl.Enable(GL_CULL_FACE);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_LIGHTING);
  gl.Disable(GL_TEXTURE_2D);

  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  const TOrthoBox box = OrthoBox(view, size);
  gl.Ortho(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  // A light from over the viewer's shoulder, fixed to the eye.
  const GLfloat position[4] = {0.3f, 0.5f, 1, 0};
  const GLfloat ambient[4] = {0.45f, 0.45f, 0.45f, 1};
  const GLfloat diffuse[4] = {0.6f, 0.6f, 0.6f, 1};
  const GLfloat none[4] = {0, 0, 0, 1};
  gl.Lightfv(GL_LIGHT0, GL_POSITION, position);
  gl.Lightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  gl.Lightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  gl.Lightfv(GL_LIGHT0, GL_SPECULAR, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  gl.Lights()[0].SetEnabled(true);

  gl.Rotate(-90, 0, 0, 1);
  gl.Rotate(view.rotZ, 0, 0, 1);
  gl.Rotate(view.rotY, 0, 1, 0);
  gl.Rotate(view.rotX, 1, 0, 0);
  const double k = view.PixelsPerUnit();
  gl.Scale(k, k, k);
  gl.Translate(view.pan.x(), view.pan.y(), view.pan.z());

  if (InitKode == 0 || fListBase == 0) Build(gl);
  gl.CallList(fListBase + kPierList);
  gl.CallList(fListBase + kSoilList);

  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  for (const TLabel &label : fLabels) {
    colour(gl, label.colour);
    gl.WriteText(label.position.x(), label.position.y(), label.position.z(), label.text, label.offset);
  }
  if (fOptions.ShowLocalAxes) drawAxes(gl, view);
  // The legend of the curves drawn, in the lower left corner.
  if (fOptions.ShowUltimateEffects) {
    const std::vector<TLegendEntry> legend = CurveLegend(fCurves, fOptions.ShowUltimateResults);
    const double line = 18;
    for (std::size_t i = 0; i < legend.size(); ++i) {
      const QPointF at(10, size.height() - 10 - line * double(legend.size() - 1 - i));
      const TRgb c = legend[i].colour;
      gl.WriteWindowText(at * devicePixelRatio, legend[i].text, QColor::fromRgbF(c.r, c.g, c.b));
    }
  }
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl.Flush();
}

TScenePicture RenderScene3d(const TProgramData &project, const TResultPlots &plots, const TView3dOptions &options,
                            QSize size, const TViewState *view) {
  TScenePicture picture;
  TglOffscreen gl(size);
  if (!gl.Error().isEmpty()) {
    picture.error = QStringLiteral("The 3-D View cannot be drawn: ") + gl.Error() + QLatin1Char('.');
    return picture;
  }
  picture.depthBits = gl.DepthBits();
  const TSceneProject scene = SceneProject(project);
  const TGraphPlot &plot = options.ShowUltimateResults == 1 ? plots.pltCombineD : plots.pltCombine;
  TView3dScene drawing;
  drawing.SetOptions(options);
  drawing.SetData(scene, CapacityCurves(plots, scene, options, double(project.ValElevation)),
                  ExpandUnitsTemplate(plot.fXUnits, plot.Units()));
  const TViewState fitted = StartView(SceneExtents(scene), size);
  drawing.Draw(gl, view ? *view : fitted, size);
  picture.image = gl.Image();
  if (picture.image.isNull()) picture.error = QStringLiteral("The 3-D View could not be read back from OpenGL.");
  return picture;
}

}  // namespace pylar
