#pragma once

// Places the marks of a network that has no coordinates for them: a spring
// layout of Graphviz (libgvc) keeps connected marks near each other and
// their names clear of one another, and any mark with a position stays
// pinned where it is. Then SeparatePoints makes sure no two marks stand on
// one spot.

#include <QPointF>
#include <QRectF>
#include <cstddef>
#include <optional>
#include <vector>

namespace quarrow {

struct LayoutNode {
  // What the mark's symbol and name cover, in the layout's units (canvas
  // pixels), centred on the mark.
  double width = 0;
  double height = 0;
  std::optional<QPointF> pinned;  // stays here; y grows to the north
};

struct LayoutEdge {
  std::size_t a = 0;
  std::size_t b = 0;
};

// A position for every node, in the units and frame of the pins (y to the
// north). Pinned nodes come back exactly where they were pinned. Edges that
// name a node out of range, or join a node to itself, are ignored. Should
// Graphviz be unable to lay out, the free nodes stand on a circle instead.
std::vector<QPointF> LayOutGraph(const std::vector<LayoutNode>& nodes,
                                 const std::vector<LayoutEdge>& edges);

// Moves the points that may move apart, within `area`, until no two are
// closer than `gap` or a few dozen rounds have passed (a crowd larger than
// the area can hold stays as close as it must). Points that may not move
// stay; two of them on one spot stay so.
void SeparatePoints(std::vector<QPointF>& points, const std::vector<bool>& movable,
                    const QRectF& area, double gap);

}  // namespace quarrow
