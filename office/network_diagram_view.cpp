#include "office/network_diagram_view.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QWheelEvent>
#include <cmath>

#include "office/display.h"

namespace quarrow {

namespace {

constexpr double kPickPixels = 9;  // how near a click must fall to a mark or a run
const QColor kSelection(255, 160, 0, 170);

}  // namespace

// The drawing, as one item of the scene.
class NetworkDiagramView::Picture : public QGraphicsItem {
 public:
  explicit Picture(NetworkDiagramView& view) : view_(view) {}
  QRectF boundingRect() const override { return view_.layout_.bounds; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    view_.drawing_->Paint(*painter, view_.data_, view_.layout_);
  }
  void Changed() { prepareGeometryChange(); }

 private:
  NetworkDiagramView& view_;
};

// The rings and bands of what is selected, over the drawing.
class NetworkDiagramView::Selection : public QGraphicsItem {
 public:
  explicit Selection(NetworkDiagramView& view) : view_(view) { setZValue(1); }
  QRectF boundingRect() const override { return view_.layout_.bounds; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    const double pixel = 1 / std::max(std::abs(painter->worldTransform().m11()), 1e-9);
    QPen band(kSelection, 11, Qt::SolidLine, Qt::RoundCap);
    band.setCosmetic(true);
    painter->setPen(band);
    for (const int run : view_.selected_runs_) {
      if (run >= 0 && run < static_cast<int>(view_.layout_.runs.size())) {
        painter->drawPath(view_.layout_.runs[static_cast<std::size_t>(run)]);
      }
    }
    const int mark = view_.selected_mark_;
    if (mark >= 0 && mark < static_cast<int>(view_.layout_.marks.size())) {
      QPen ring(kSelection, 4);
      ring.setCosmetic(true);
      painter->setPen(ring);
      painter->drawEllipse(view_.layout_.marks[static_cast<std::size_t>(mark)], 15 * pixel,
                           15 * pixel);
    }
  }
  void Changed() {
    prepareGeometryChange();
    update();
  }

 private:
  NetworkDiagramView& view_;
};

NetworkDiagramView::NetworkDiagramView(QWidget* parent)
    : QGraphicsView(parent), drawing_(std::make_unique<SimpleNetworkDrawing>()) {
  setAccessibleName(tr("Network Diagram"));
  setScene(new QGraphicsScene(this));
  setBackgroundBrush(Qt::white);
  setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  setDragMode(QGraphicsView::ScrollHandDrag);
  // Dragging pans; the bars would only take room from the picture.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
  setResizeAnchor(QGraphicsView::AnchorViewCenter);
  setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
  picture_ = new Picture(*this);
  selection_ = new Selection(*this);
  scene()->addItem(picture_);
  scene()->addItem(selection_);
}

NetworkDiagramView::~NetworkDiagramView() = default;

void NetworkDiagramView::SetDrawing(std::unique_ptr<NetworkDrawing> drawing) {
  drawing_ = std::move(drawing);
  SetData(std::move(data_));
}

void NetworkDiagramView::SetData(DiagramData data) {
  data_ = std::move(data);
  picture_->Changed();
  selection_->Changed();
  layout_ = drawing_->Layout(data_);
  selected_mark_ = -1;
  selected_runs_.clear();
  // Room all round to pan into, and to centre the picture above the legend.
  const QRectF& bounds = layout_.bounds;
  scene()->setSceneRect(bounds.adjusted(-3 * bounds.width(), -3 * bounds.height(),
                                        3 * bounds.width(), 3 * bounds.height()));
  picture_->update();
  selection_->Changed();
  ZoomToFit();
}

void NetworkDiagramView::SelectMark(int mark) {
  selected_mark_ = mark;
  selected_runs_.clear();
  selection_->Changed();
  if (mark >= 0 && mark < static_cast<int>(layout_.marks.size())) {
    ensureVisible(QRectF(layout_.marks[static_cast<std::size_t>(mark)], QSizeF(1, 1)), 40, 40);
  }
}

void NetworkDiagramView::SelectRuns(const std::vector<int>& runs) {
  selected_runs_ = runs;
  selected_mark_ = -1;
  selection_->Changed();
  if (runs.size() == 1 && runs.front() >= 0 &&
      runs.front() < static_cast<int>(layout_.runs.size())) {
    ensureVisible(layout_.runs[static_cast<std::size_t>(runs.front())].boundingRect(), 40, 40);
  }
}

void NetworkDiagramView::Zoom(double factor) {
  const double scale = transform().m11() * factor;
  if (scale < 0.02 || scale > 60) return;
  fitted_ = false;
  this->scale(factor, factor);
}

void NetworkDiagramView::ZoomIn() { Zoom(1.25); }
void NetworkDiagramView::ZoomOut() { Zoom(0.8); }

void NetworkDiagramView::ZoomToFit() {
  fitted_ = true;
  const QRectF bounds = layout_.bounds;
  if (bounds.isEmpty()) return;
  // Room at the sides for the names, which keep their size on screen, and
  // below for the legend.
  const QRectF room = QRectF(viewport()->rect()).adjusted(70, 24, -70, -24 - LegendHeight());
  if (room.width() <= 0 || room.height() <= 0) return;
  const double scale = std::min(room.width() / bounds.width(), room.height() / bounds.height());
  setTransform(QTransform::fromScale(scale, scale));
  // The middle of the room lies half the legend above the view's middle.
  centerOn(bounds.center() + QPointF(0, LegendHeight() / 2.0) / scale);
}

int NetworkDiagramView::MarkAt(const QPoint& at) const {
  const QPointF point = mapToScene(at);
  const double reach = kPickPixels / std::max(transform().m11(), 1e-9);
  int nearest = -1;
  double nearest_distance = reach;
  for (std::size_t m = 0; m < layout_.marks.size(); ++m) {
    const QPointF d = layout_.marks[m] - point;
    const double distance = std::hypot(d.x(), d.y());
    if (distance <= nearest_distance) {
      nearest = static_cast<int>(m);
      nearest_distance = distance;
    }
  }
  return nearest;
}

int NetworkDiagramView::RunAt(const QPoint& at) const {
  const QPointF point = mapToScene(at);
  QPainterPathStroker stroker;
  stroker.setWidth(2 * kPickPixels / std::max(transform().m11(), 1e-9));
  for (int r = static_cast<int>(layout_.runs.size()) - 1; r >= 0; --r) {
    const QPainterPath& path = layout_.runs[static_cast<std::size_t>(r)];
    if (!path.boundingRect().adjusted(-40, -40, 40, 40).contains(point)) continue;
    if (stroker.createStroke(path).contains(point)) return r;
  }
  return -1;
}

void NetworkDiagramView::wheelEvent(QWheelEvent* event) {
  Zoom(std::pow(1.0015, event->angleDelta().y()));
  event->accept();
}

void NetworkDiagramView::mousePressEvent(QMouseEvent* event) {
  pressed_at_ = event->position().toPoint();
  QGraphicsView::mousePressEvent(event);
}

void NetworkDiagramView::mouseReleaseEvent(QMouseEvent* event) {
  QGraphicsView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  // A click, not the end of a drag.
  if ((event->position().toPoint() - pressed_at_).manhattanLength() > 4) return;
  const int mark = MarkAt(pressed_at_);
  if (mark >= 0) {
    SelectMark(mark);
    emit markClicked(mark);
    return;
  }
  const int run = RunAt(pressed_at_);
  if (run >= 0) {
    SelectRuns({run});
    emit runClicked(run);
  }
}

void NetworkDiagramView::resizeEvent(QResizeEvent* event) {
  QGraphicsView::resizeEvent(event);
  if (fitted_) ZoomToFit();
}

std::vector<NetworkDiagramView::LegendEntry> NetworkDiagramView::Legend() const {
  const QColor ink(38, 50, 56);
  return {{LegendEntry::kFixed, ink, tr("fixed")},
          {LegendEntry::kWeighted, QColor(176, 190, 197), tr("weighted")},
          {LegendEntry::kAdjusted, Qt::white, tr("adjusted")},
          {LegendEntry::kLine, VerdictColor(RunVerdict::kMeets), tr("meets")},
          {LegendEntry::kLine, VerdictColor(RunVerdict::kFails), tr("fails")},
          {LegendEntry::kLine, VerdictColor(RunVerdict::kNotChecked), tr("not checked")},
          {LegendEntry::kLine, QColor(96, 125, 139), tr("not adjusted")}};
}

QFont NetworkDiagramView::LegendFont() const {
  QFont font = this->font();
  font.setPointSizeF(font.pointSizeF() * 0.9);
  return font;
}

std::vector<QRect> NetworkDiagramView::LegendPlaces() const {
  // The keys in rows along the bottom of the view, as many to a row as fit.
  const QFontMetrics metrics(LegendFont());
  const int line = metrics.height() + 4;
  const int right = viewport()->width() - 8;
  std::vector<QRect> places;
  int x = 8;
  int row = 0;
  for (const LegendEntry& entry : Legend()) {
    const int width = 26 + metrics.horizontalAdvance(entry.text) + 12;
    if (x + width > right && x > 8) {
      x = 8;
      ++row;
    }
    places.emplace_back(x, row, width, line);
    x += width;
  }
  const int rows = row + 1;
  for (QRect& place : places) {
    place.moveTop(viewport()->height() - 4 - (rows - place.top()) * line);
  }
  return places;
}

int NetworkDiagramView::LegendHeight() const {
  const std::vector<QRect> places = LegendPlaces();
  return places.empty() ? 0 : viewport()->height() - places.front().top() + 4;
}

void NetworkDiagramView::drawForeground(QPainter* painter, const QRectF&) {
  painter->save();
  painter->resetTransform();
  painter->setRenderHint(QPainter::Antialiasing);
  const QFont font = LegendFont();
  painter->setFont(font);
  const QFontMetrics metrics(font);
  if (data_.marks.empty()) {
    painter->setPen(palette().color(QPalette::PlaceholderText));
    painter->drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                      Qt::AlignCenter | Qt::TextWordWrap,
                      tr("Add runs to see the network: marks as symbols, runs as lines."));
    painter->restore();
    return;
  }
  const int strip = LegendHeight();
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(250, 250, 250, 235));
  painter->drawRect(QRect(0, viewport()->height() - strip, viewport()->width(), strip));
  painter->setPen(QColor(224, 224, 224));
  painter->drawLine(0, viewport()->height() - strip, viewport()->width(),
                    viewport()->height() - strip);
  const QColor ink(38, 50, 56);
  const std::vector<LegendEntry> legend = Legend();
  const std::vector<QRect> places = LegendPlaces();
  for (std::size_t i = 0; i < legend.size(); ++i) {
    const LegendEntry& entry = legend[i];
    const QRect& place = places[i];
    const QPointF key(place.left() + 11, place.center().y() + 0.5);
    painter->setPen(QPen(ink, 1.4));
    painter->setBrush(entry.color);
    switch (entry.kind) {
      case LegendEntry::kFixed:
      case LegendEntry::kWeighted:
        painter->drawPolygon(
            QPolygonF({key + QPointF(0, -6), key + QPointF(5.5, 4.5), key + QPointF(-5.5, 4.5)}));
        break;
      case LegendEntry::kAdjusted:
        painter->drawEllipse(key, 4.5, 4.5);
        break;
      case LegendEntry::kLine:
        painter->setPen(QPen(entry.color, 3, Qt::SolidLine, Qt::RoundCap));
        painter->drawLine(key - QPointF(9, 0), key + QPointF(9, 0));
        break;
    }
    painter->setPen(ink);
    painter->drawText(QRect(place.left() + 24, place.top(), place.width() - 24, place.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, entry.text);
  }
  painter->restore();
}

}  // namespace quarrow
