#include "plot/network_scene.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "plot/axis_ticks.h"
#include "plot/network_labels.h"
#include "plot/network_layout.h"
#include "plot/network_legend.h"
#include "plot/palette.h"
#include "plot/scales.h"
#include "plot/shown_text.h"

namespace quarrow {

QString DiagramTr(const char* text) { return QCoreApplication::translate("NetworkDiagram", text); }

double MarkRadius(std::size_t marks) { return marks <= 60 ? 7 : marks <= 300 ? 5.5 : 4; }

QPointF SceneLine::At(double t) const {
  if (bend == 0) return from + (to - from) * t;
  // A quadratic curve whose middle stands `bend` to the left of the chord.
  const QPointF chord = to - from;
  const double length = std::hypot(chord.x(), chord.y());
  const QPointF left = length > 0 ? QPointF(chord.y(), -chord.x()) / length : QPointF(0, -1);
  const QPointF control = (from + to) / 2 + left * (2 * bend);
  return from * ((1 - t) * (1 - t)) + control * (2 * t * (1 - t)) + to * (t * t);
}

namespace {

// Where the marks' centres may stand: room left at the edges for names and
// at the top for the note.
const QRectF kMarkArea = kDiagramMap.adjusted(72, 52, -72, -44);

// Coordinates beyond this come only from a broken marks file.
constexpr double kLargestCoordinate = 1e12;

std::optional<QPointF> GroundOf(const DiagramMark& mark) {
  if (!mark.position) return std::nullopt;
  const double e = mark.position->easting, n = mark.position->northing;
  if (!Finite(e, n) || std::fabs(e) > kLargestCoordinate || std::fabs(n) > kLargestCoordinate) {
    return std::nullopt;
  }
  return QPointF(e, n);
}

bool Joins(const DiagramObservation& observation, std::size_t marks) {
  auto valid = [marks](std::int64_t i) { return i >= 0 && static_cast<std::uint64_t>(i) < marks; };
  return valid(observation.from) && valid(observation.to) && observation.from != observation.to;
}

// Names shrink as the network grows, so that more of them find room.
int NamePixels(std::size_t marks) { return marks <= 60 ? 14 : marks <= 300 ? 12 : 10; }

QString UnitSymbol(Units units) { return units == Units::kFeet ? DiagramTr("ft") : DiagramTr("m"); }

std::vector<SceneMark> MakeMarks(const DiagramData& data, const QLocale& locale) {
  const int pixels = NamePixels(data.marks.size());
  const QFontMetricsF metrics(Font(pixels, true));
  const bool elevations = data.marks.size() <= 150;
  const int decimals = std::clamp(data.decimals, 0, 6);
  std::vector<SceneMark> marks;
  marks.reserve(data.marks.size());
  for (const DiagramMark& mark : data.marks) {
    SceneMark shown;
    shown.kind = mark.kind;
    shown.positioned = GroundOf(mark).has_value();
    shown.name =
        MakeText(metrics.elidedText(ShownText(mark.name), Qt::ElideRight, 240), pixels, true, 2);
    if (elevations && std::isfinite(mark.adjusted_elevation)) {
      shown.elevation =
          MakeText(Number(locale, mark.adjusted_elevation, decimals), pixels - 2, false, 2);
    }
    marks.push_back(std::move(shown));
  }
  return marks;
}

struct Placed {
  MapPlacement placement = MapPlacement::kSchematic;
  double units_per_pixel = 0;  // when to scale
};

// Sets every mark's centre on the canvas: at its coordinates where it has
// them, north up and one scale for all; the others by the graph layout.
Placed PlaceMarks(const DiagramData& data, std::vector<SceneMark>& marks) {
  Placed placed;
  const std::size_t count = marks.size();
  if (count == 0) return placed;
  Range east, north;
  std::size_t positioned = 0;
  for (const DiagramMark& mark : data.marks) {
    if (const std::optional<QPointF> ground = GroundOf(mark)) {
      east.Add(ground->x());
      north.Add(ground->y());
      ++positioned;
    }
  }
  // The positioned marks are spread over the map first, at the scale that
  // fits them; the layout places the others among them.
  const double width = positioned > 0 ? east.high - east.low : 0;
  const double height = positioned > 0 ? north.high - north.low : 0;
  const double infinite = std::numeric_limits<double>::infinity();
  double ground_scale = std::min(width > 0 ? kMarkArea.width() / width : infinite,
                                 height > 0 ? kMarkArea.height() / height : infinite);
  const bool to_scale = positioned >= 2 && std::isfinite(ground_scale);
  if (!std::isfinite(ground_scale)) ground_scale = 1;
  const QPointF ground_centre(east.low / 2 + east.high / 2, north.low / 2 + north.high / 2);

  std::vector<LayoutNode> nodes(count);
  for (std::size_t i = 0; i < count; ++i) {
    const QRectF name = marks[i].name.box;
    const double block_height =
        name.height() + (marks[i].elevation ? marks[i].elevation->box.height() : 0);
    const double block_width =
        std::max(name.width(), marks[i].elevation ? marks[i].elevation->box.width() : 0);
    // The name stands under the symbol; the layout's box is centred on the
    // mark, so it reaches as far above.
    const double radius = MarkRadius(count);
    nodes[i].width = std::max(block_width, 2 * radius) + 10;
    nodes[i].height = 2 * (block_height + radius + 4);
    if (const std::optional<QPointF> ground = GroundOf(data.marks[i])) {
      nodes[i].pinned = (*ground - ground_centre) * ground_scale;
    }
  }
  std::vector<LayoutEdge> edges;
  for (const DiagramObservation& observation : data.observations) {
    if (!Joins(observation, count)) continue;
    edges.push_back(
        {static_cast<std::size_t>(observation.from), static_cast<std::size_t>(observation.to)});
  }
  const std::vector<QPointF> laid = LayOutGraph(nodes, edges);

  // The whole drawing fitted to the map at one scale, y turned to point
  // down the canvas. A small schematic network is not blown up past three
  // times the layout's own spacing.
  Range x, y;
  for (const QPointF& p : laid) {
    x.Add(p.x());
    y.Add(p.y());
  }
  if (x.Empty()) x = y = Range{0, 0};
  const double spread_x = x.high - x.low, spread_y = y.high - y.low;
  double fit = std::min(spread_x > 0 ? kMarkArea.width() / spread_x : infinite,
                        spread_y > 0 ? kMarkArea.height() / spread_y : infinite);
  if (!std::isfinite(fit)) fit = 1;
  if (positioned < count) fit = std::min(fit, 3.0);
  const QPointF middle(x.low / 2 + x.high / 2, y.low / 2 + y.high / 2);
  std::vector<QPointF> centres(count);
  std::vector<bool> movable(count);
  for (std::size_t i = 0; i < count; ++i) {
    const QPointF from_middle = laid[i] - middle;
    centres[i] = kMarkArea.center() + QPointF(from_middle.x(), -from_middle.y()) * fit;
    movable[i] = !nodes[i].pinned.has_value();
  }
  const double room = std::sqrt(kMarkArea.width() * kMarkArea.height() / count);
  SeparatePoints(centres, movable, kMarkArea, std::clamp(0.8 * room, 6.0, 28.0));
  for (std::size_t i = 0; i < count; ++i) marks[i].centre = centres[i];

  if (to_scale) {
    placed.placement = positioned == count ? MapPlacement::kToScale : MapPlacement::kPartlyToScale;
    placed.units_per_pixel = 1 / (ground_scale * fit);
  }
  return placed;
}

// The lines, those between the same two marks bowed apart, in painting
// order: unchecked first, then by the size of the residual, flagged last.
std::vector<SceneLine> MakeLines(const DiagramData& data, const std::vector<SceneMark>& marks) {
  std::map<std::pair<std::int64_t, std::int64_t>, std::vector<std::size_t>> between;
  for (std::size_t i = 0; i < data.observations.size(); ++i) {
    const DiagramObservation& observation = data.observations[i];
    if (!Joins(observation, marks.size())) continue;
    between[{std::min(observation.from, observation.to),
             std::max(observation.from, observation.to)}]
        .push_back(i);
  }
  std::vector<SceneLine> lines;
  for (const auto& [pair, observations] : between) {
    for (std::size_t k = 0; k < observations.size(); ++k) {
      const DiagramObservation& observation = data.observations[observations[k]];
      SceneLine line;
      line.observation = observations[k];
      line.from = marks[static_cast<std::size_t>(observation.from)].centre;
      line.to = marks[static_cast<std::size_t>(observation.to)].centre;
      // Bowed to one side of the pair's own direction, whichever way each
      // observation runs.
      const double bend = (static_cast<double>(k) - (observations.size() - 1) / 2.0) * 22;
      line.bend = observation.from == pair.first ? bend : -bend;
      const double w = observation.standardized.value_or(std::nan(""));
      line.colour = ResidualColour(w, data.flag_limit);
      line.flagged = observation.flagged;
      const double thin = marks.size() <= 300 ? 1 : 0.65;
      line.width = (observation.flagged ? 6.5 : 3.2) * thin;
      line.dashed = observation.kind == DiagramObservationKind::kLevelledLine;
      lines.push_back(line);
    }
  }
  auto weight = [&](const SceneLine& line) {
    const std::optional<double> w = data.observations[line.observation].standardized;
    const double size = w && std::isfinite(*w) ? std::fabs(*w) : -1;
    return std::pair(line.flagged, size);
  };
  std::stable_sort(lines.begin(), lines.end(),
                   [&](const SceneLine& a, const SceneLine& b) { return weight(a) < weight(b); });
  return lines;
}

// The outline of a failing loop: along its lines, mark to mark, as drawn.
QPolygonF LoopOutline(const DiagramData& data, const DiagramLoop& loop,
                      const std::vector<std::optional<std::size_t>>& line_of,
                      const std::vector<SceneLine>& lines) {
  std::vector<std::size_t> steps;
  for (const std::int64_t i : loop.observations) {
    if (i < 0 || static_cast<std::uint64_t>(i) >= line_of.size() || !line_of[i]) continue;
    steps.push_back(static_cast<std::size_t>(i));
  }
  QPolygonF outline;
  std::int64_t at = -1;
  if (steps.size() >= 2) {
    const DiagramObservation& first = data.observations[steps[0]];
    const DiagramObservation& second = data.observations[steps[1]];
    const bool shared_from = first.from == second.from || first.from == second.to;
    at = shared_from ? first.to : first.from;
  }
  for (const std::size_t step : steps) {
    const DiagramObservation& observation = data.observations[step];
    const SceneLine& line = lines[*line_of[step]];
    // Walked from the end the loop has reached; a gap in the loop jumps.
    const bool forward = observation.from == at || observation.to != at;
    const int samples = line.bend == 0 ? 1 : 12;
    for (int s = 0; s <= samples; ++s) {
      const double t = static_cast<double>(s) / samples;
      outline << line.At(forward ? t : 1 - t);
    }
    at = forward ? observation.to : observation.from;
  }
  return outline;
}

}  // namespace

DiagramScene ComputeDiagramScene(const DiagramData& data, const QLocale& locale) {
  DiagramScene scene;
  scene.flag_limit = std::isfinite(data.flag_limit) && data.flag_limit > 0 ? data.flag_limit : 3.29;
  scene.marks = MakeMarks(data, locale);
  const Placed placed = PlaceMarks(data, scene.marks);
  scene.placement = placed.placement;
  scene.lines = MakeLines(data, scene.marks);
  std::vector<std::optional<std::size_t>> line_of(data.observations.size());
  for (std::size_t i = 0; i < scene.lines.size(); ++i) line_of[scene.lines[i].observation] = i;

  scene.mark_radius = MarkRadius(scene.marks.size());
  const double radius = scene.mark_radius;
  CanvasIndex index;
  for (const SceneMark& mark : scene.marks) {
    index.AddBox(QRectF(mark.centre - QPointF(radius + 1, radius + 1),
                        QSizeF(2 * radius + 2, 2 * radius + 2)));
  }
  const bool to_scale = scene.placement != MapPlacement::kSchematic && placed.units_per_pixel > 0 &&
                        std::isfinite(placed.units_per_pixel);
  if (to_scale) index.AddBox(kNorthArrow);
  for (const SceneLine& line : scene.lines) {
    if (line.bend == 0) {
      index.AddSegment(line.from, line.to);
    } else {
      index.AddSegment(line.from, line.At(0.5));
      index.AddSegment(line.At(0.5), line.to);
    }
  }
  for (const DiagramLoop& loop : data.loops) {
    if (loop.meets) continue;
    SceneShade shade{LoopOutline(data, loop, line_of, scene.lines), std::nullopt};
    if (shade.outline.size() < 2) continue;
    if (!loop.label.empty()) {
      QPointF centre(0, 0);
      for (const QPointF& p : shade.outline) centre += p;
      centre /= static_cast<double>(shade.outline.size());
      SceneText label = MakeText(ShownText(loop.label).left(60), 13, true);
      MoveText(label, centre);
      index.AddBox(label.box);
      shade.label = label;
    }
    scene.shades.push_back(std::move(shade));
  }
  PlaceMarkNames(scene.marks, radius, kDiagramMap.adjusted(4, 34, -4, -4), index);

  // Every line's label while the network is small enough to read them; the
  // flagged ones always, with their standardized residual.
  const bool all_labels = scene.lines.size() <= 400;
  std::vector<SceneText> texts(scene.lines.size());
  for (std::size_t i = 0; i < scene.lines.size(); ++i) {
    const DiagramObservation& observation = data.observations[scene.lines[i].observation];
    if (!observation.flagged && !all_labels) continue;
    QString text =
        QFontMetricsF(Font(12)).elidedText(ShownText(observation.label), Qt::ElideRight, 140);
    if (observation.flagged && observation.standardized &&
        std::isfinite(*observation.standardized)) {
      const double w = *observation.standardized;
      text += QStringLiteral("  w = ") + (w < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) +
              Number(locale, std::fabs(w), 2);
    }
    texts[i] = MakeText(text.trimmed(), observation.flagged ? 13 : 12, observation.flagged, 4);
  }
  scene.labels = PlaceLineLabels(scene.lines, texts, kDiagramMap.adjusted(4, 34, -4, -4), index);

  if (to_scale) {
    // A bar of a round length, about 160 pixels long.
    const AxisTicks round = RoundTicks(0, 160 * placed.units_per_pixel, 1);
    const double length = round.step;
    scene.scale_bar = ScaleBar{
        QPointF(kDiagramMap.left() + 8, kDiagramMap.bottom() + 17), length / placed.units_per_pixel,
        Number(locale, length, round.decimals) + QChar(' ') + UnitSymbol(data.units)};
  }
  LayOutLegendAndSummary(data, locale, scene);
  return scene;
}

}  // namespace quarrow
