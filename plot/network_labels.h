#pragma once

// Where the diagram's words go: each mark's name beside its symbol, each
// observation's label on its line, wherever they cover nothing already
// drawn. A mark's name is always placed (the least crowded spot when none is
// clear); a line's label only where it fits, unless the line is flagged.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "plot/network_scene.h"

namespace quarrow {

// What is already on the canvas, in a grid of square cells, so that a
// candidate spot is checked against its neighbours only.
class CanvasIndex {
 public:
  explicit CanvasIndex(double cell = 48) : cell_(cell) {}
  void AddBox(const QRectF& box);
  void AddSegment(QPointF a, QPointF b);
  // How many boxes, and how many segments, `box` meets.
  int BoxesMet(const QRectF& box) const;
  int SegmentsMet(const QRectF& box) const;

 private:
  std::int64_t Key(std::int64_t x, std::int64_t y) const { return (x << 32) ^ (y & 0xffffffff); }
  std::int64_t Cell(double at) const;
  template <typename Visit>
  void ForCells(const QRectF& box, Visit visit) const;

  double cell_;
  std::vector<QRectF> boxes_;
  std::vector<std::pair<QPointF, QPointF>> segments_;
  std::unordered_map<std::int64_t, std::vector<std::size_t>> box_cells_;
  std::unordered_map<std::int64_t, std::vector<std::size_t>> segment_cells_;
  mutable std::vector<std::uint32_t> box_seen_, segment_seen_;
  mutable std::uint32_t stamp_ = 0;
};

// The text of a name or label as the diagram sets it: its box sized to the
// text with `room` around it; the anchor is set by MoveText.
SceneText MakeText(const QString& text, int pixels, bool bold, double room = 3);
// Moves `text` so that its box is centred on `centre`.
void MoveText(SceneText& text, QPointF centre);

// Sets each mark's name (and the elevation under it) beside its symbol of
// `radius`,
// within `map` where it can be, clear of `index`, and adds it to `index`.
// Fixed marks choose first, then weighted, then adjusted ones.
void PlaceMarkNames(std::vector<SceneMark>& marks, double radius, const QRectF& map,
                    CanvasIndex& index);

// Labels centred on their lines, `texts` a line each (empty: none), clear
// of `index`; added to it.
std::vector<SceneLabel> PlaceLineLabels(const std::vector<SceneLine>& lines,
                                        const std::vector<SceneText>& texts, const QRectF& map,
                                        CanvasIndex& index);

}  // namespace quarrow
