#pragma once

// The network diagram worked out as canvas geometry before anything is
// painted: where each mark stands and its name, each observation's line and
// colour, the failing loops' shades, the labels, the legend and the summary.
// DrawNetworkDiagram (plot/network_painting.h) paints it; the tests read it.
//
// The canvas is kCanvasWidth by kCanvasHeight, as the profile's: the map
// on the left, the legend and the summary on the right.

#include <QColor>
#include <QLocale>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "plot/network_diagram_data.h"
#include "plot/profile_data.h"

namespace quarrow {

inline constexpr QRectF kDiagramMap(36, 112, 1072, 856);
inline constexpr QRectF kDiagramSide(1136, 112, 428, 856);

// How the marks were placed on the map.
enum class MapPlacement {
  kToScale,        // every mark at its coordinates, north up, one scale
  kPartlyToScale,  // marks with coordinates so; the others among them by the layout
  kSchematic,      // by the layout alone: connections, not distances
};

struct SceneText {
  QRectF box;      // what the text covers, with a little room around it
  QPointF anchor;  // its baseline's left end
  QString text;
  int pixels = 14;
  bool bold = false;
};

struct SceneMark {
  QPointF centre;
  DiagramMarkKind kind = DiagramMarkKind::kAdjusted;
  bool positioned = false;  // at its coordinates rather than placed by the layout
  SceneText name;
  std::optional<SceneText> elevation;  // under the name
};

// The size of the marks' symbols, about, from the centre: smaller as the
// network grows.
double MarkRadius(std::size_t marks);

struct SceneLine {
  std::size_t observation = 0;  // index into DiagramData::observations
  QPointF from, to;             // the centres of its two marks
  // How far the middle bows out to the left of from -> to, so that several
  // observations between the same two marks are told apart; 0 is straight.
  double bend = 0;
  QColor colour;
  double width = 3;
  bool dashed = false;  // a levelled line rather than a trig run
  bool flagged = false;
  // The point a fraction `t` of the way along the line, bow included.
  QPointF At(double t) const;
};

struct SceneLabel {
  SceneText text;
  std::size_t line = 0;  // index into DiagramScene::lines
};

struct SceneShade {
  QPolygonF outline;  // through the centres of the loop's marks
  std::optional<SceneText> label;
};

// Where the north arrow stands in the map, when the map is to scale.
inline constexpr QRectF kNorthArrow(kDiagramMap.right() - 58, kDiagramMap.top() + 30, 48, 76);

struct ScaleBar {
  QPointF start;  // its left end
  double pixels = 0;
  QString text;  // the length it stands for, with its unit
};

enum class LegendSymbol {
  kFixed,
  kWeighted,
  kAdjusted,
  kTrigRun,
  kLevelledLine,
  kColourScale,
  kUnchecked,
  kFlagged,
  kFailingLoop,
  kHeading,
};

struct LegendRow {
  LegendSymbol symbol = LegendSymbol::kHeading;
  QString text;
  QRectF box;  // the row, symbol and text
};

struct DiagramScene {
  QString title;
  QString subtitle;
  MapPlacement placement = MapPlacement::kSchematic;
  QString map_note;  // how the marks were placed, under the map's top edge
  std::vector<SceneShade> shades;
  std::vector<SceneLine> lines;  // in painting order: the largest residuals on top
  std::vector<SceneMark> marks;  // one for each mark of the data, in its order
  double mark_radius = 7;        // MarkRadius of their count
  std::vector<SceneLabel> labels;
  std::optional<ScaleBar> scale_bar;  // under the map, with a north arrow in it, when to scale
  QString empty_note;                 // said in the map when there is nothing to draw

  QRectF legend_box;
  std::vector<LegendRow> legend;
  double flag_limit = 3.29;
  QRectF summary_box;
  QRectF badge;
  bool meets = true;
  QString verdict;
  std::vector<SceneText> summary;
};

// Everything the diagram of `data` shows; numbers in `locale`'s form.
DiagramScene ComputeDiagramScene(const DiagramData& data, const QLocale& locale);

// The diagram's words, translated in its own context.
QString DiagramTr(const char* text);

}  // namespace quarrow
