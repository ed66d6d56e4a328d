#include "plot/network_labels.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "plot/label_placement.h"
#include "plot/palette.h"

namespace quarrow {

std::int64_t CanvasIndex::Cell(double at) const {
  // Far off the canvas every spot is one cell: nothing is drawn there.
  return static_cast<std::int64_t>(std::floor(std::clamp(at, -1e5, 1e5) / cell_));
}

template <typename Visit>
void CanvasIndex::ForCells(const QRectF& box, Visit visit) const {
  for (std::int64_t x = Cell(box.left()); x <= Cell(box.right()); ++x) {
    for (std::int64_t y = Cell(box.top()); y <= Cell(box.bottom()); ++y) visit(Key(x, y));
  }
}

void CanvasIndex::AddBox(const QRectF& box) {
  const std::size_t index = boxes_.size();
  boxes_.push_back(box);
  box_seen_.push_back(0);
  ForCells(box, [&](std::int64_t key) { box_cells_[key].push_back(index); });
}

void CanvasIndex::AddSegment(QPointF a, QPointF b) {
  const std::size_t index = segments_.size();
  segments_.emplace_back(a, b);
  segment_seen_.push_back(0);
  // The cells along the segment, a half cell apart, and their neighbours
  // across: enough for any box that meets it.
  const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
  const int steps = static_cast<int>(std::min(4000.0, std::ceil(2 * length / cell_))) + 1;
  for (int i = 0; i <= steps; ++i) {
    const QPointF p = a + (b - a) * (static_cast<double>(i) / steps);
    const QRectF around(p - QPointF(cell_ / 2, cell_ / 2), QSizeF(cell_, cell_));
    ForCells(around, [&](std::int64_t key) {
      std::vector<std::size_t>& cell = segment_cells_[key];
      if (cell.empty() || cell.back() != index) cell.push_back(index);
    });
  }
}

int CanvasIndex::BoxesMet(const QRectF& box) const {
  ++stamp_;
  int met = 0;
  ForCells(box, [&](std::int64_t key) {
    const auto found = box_cells_.find(key);
    if (found == box_cells_.end()) return;
    for (const std::size_t i : found->second) {
      if (box_seen_[i] == stamp_) continue;
      box_seen_[i] = stamp_;
      if (boxes_[i].intersects(box)) ++met;
    }
  });
  return met;
}

int CanvasIndex::SegmentsMet(const QRectF& box) const {
  ++stamp_;
  int met = 0;
  ForCells(box, [&](std::int64_t key) {
    const auto found = segment_cells_.find(key);
    if (found == segment_cells_.end()) return;
    for (const std::size_t i : found->second) {
      if (segment_seen_[i] == stamp_) continue;
      segment_seen_[i] = stamp_;
      if (SegmentTouches(segments_[i].first, segments_[i].second, box)) ++met;
    }
  });
  return met;
}

SceneText MakeText(const QString& text, int pixels, bool bold, double room) {
  const QFontMetricsF metrics(Font(pixels, bold));
  SceneText made;
  made.text = text;
  made.pixels = pixels;
  made.bold = bold;
  made.box = QRectF(0, 0, metrics.horizontalAdvance(text) + 2 * room, metrics.height() + room);
  MoveText(made, made.box.center());
  return made;
}

void MoveText(SceneText& text, QPointF centre) {
  const QFontMetricsF metrics(Font(text.pixels, text.bold));
  text.box.moveCenter(centre);
  text.anchor =
      QPointF(text.box.left() + (text.box.width() - metrics.horizontalAdvance(text.text)) / 2,
              text.box.center().y() + (metrics.ascent() - metrics.descent()) / 2);
}

namespace {

int KindRank(DiagramMarkKind kind) {
  switch (kind) {
    case DiagramMarkKind::kFixed:
      return 0;
    case DiagramMarkKind::kWeighted:
      return 1;
    case DiagramMarkKind::kAdjusted:
      return 2;
  }
  return 3;
}

// The name and the elevation under it, as one block centred on `centre`.
QRectF Block(const SceneMark& mark, QPointF centre) {
  QSizeF size = mark.name.box.size();
  if (mark.elevation) {
    size = QSizeF(std::max(size.width(), mark.elevation->box.width()),
                  size.height() + mark.elevation->box.height());
  }
  QRectF block(QPointF(0, 0), size);
  block.moveCenter(centre);
  return block;
}

void SetBlock(SceneMark& mark, const QRectF& block) {
  MoveText(mark.name, QPointF(block.center().x(), block.top() + mark.name.box.height() / 2));
  if (mark.elevation) {
    MoveText(*mark.elevation,
             QPointF(block.center().x(), block.bottom() - mark.elevation->box.height() / 2));
  }
}

}  // namespace

void PlaceMarkNames(std::vector<SceneMark>& marks, double radius, const QRectF& map,
                    CanvasIndex& index) {
  std::vector<std::size_t> order(marks.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return KindRank(marks[a].kind) < KindRank(marks[b].kind);
  });
  for (const std::size_t i : order) {
    SceneMark& mark = marks[i];
    const QSizeF size = Block(mark, QPointF(0, 0)).size();
    const double across = radius + 3 + size.width() / 2;
    const double down = radius + 2 + size.height() / 2;
    // Below the symbol reads first, then above, beside, and at the corners;
    // then the same again further out.
    const QPointF offsets[] = {{0, down},      {0, -down},      {across, 0},     {-across, 0},
                               {across, down}, {-across, down}, {across, -down}, {-across, -down}};
    QRectF best;
    double best_score = -1;
    for (const double reach : {1.0, 1.8}) {
      for (const QPointF& offset : offsets) {
        const QRectF block = Block(mark, mark.centre + offset * reach);
        // Deliberate: past a few thousand marks the lines are a texture
        // and names give way to names alone.
        const double crossings = marks.size() <= 2000 ? index.SegmentsMet(block) : 0;
        const double score = (map.contains(block) ? 0 : 1000) + 10.0 * index.BoxesMet(block) +
                             crossings + (reach > 1 ? 0.5 : 0);
        if (best_score < 0 || score < best_score) {
          best = block;
          best_score = score;
        }
        if (score == 0) break;
      }
      if (best_score == 0) break;
    }
    SetBlock(mark, best);
    index.AddBox(best);
  }
}

std::vector<SceneLabel> PlaceLineLabels(const std::vector<SceneLine>& lines,
                                        const std::vector<SceneText>& texts, const QRectF& map,
                                        CanvasIndex& index) {
  std::vector<SceneLabel> labels;
  // Flagged lines choose first: their labels are never left out.
  std::vector<std::size_t> order(lines.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return lines[a].flagged > lines[b].flagged;
  });
  for (const std::size_t i : order) {
    if (i >= texts.size() || texts[i].text.isEmpty()) continue;
    SceneText text = texts[i];
    int best_met = -1;
    QPointF best;
    for (const double t : {0.5, 0.4, 0.6, 0.3, 0.7, 0.22, 0.78}) {
      MoveText(text, lines[i].At(t));
      const int met = index.BoxesMet(text.box) + (map.contains(text.box) ? 0 : 100);
      if (best_met < 0 || met < best_met) {
        best_met = met;
        best = lines[i].At(t);
      }
      if (met == 0) break;
    }
    if (best_met != 0 && !lines[i].flagged) continue;
    MoveText(text, best);
    index.AddBox(text.box);
    labels.push_back({text, i});
  }
  return labels;
}

}  // namespace quarrow
