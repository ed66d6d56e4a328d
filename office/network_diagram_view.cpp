#include "office/network_diagram_view.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QWheelEvent>
#include <cmath>

namespace quarrow {

namespace {

constexpr double kPickPixels = 9;  // how near a click must fall to a mark or a line
const QColor kSelection(255, 160, 0, 170);
const DiagramLayout kNoLayout;

}  // namespace

// The picture, as one item of the scene.
class NetworkDiagramView::Picture : public QGraphicsItem {
 public:
  explicit Picture(NetworkDiagramView& view) : view_(view) {}
  QRectF boundingRect() const override { return view_.layout().canvas; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    if (view_.picture_) view_.picture_->Paint(*painter);
  }
  void Changed() { prepareGeometryChange(); }

 private:
  NetworkDiagramView& view_;
};

// The rings and bands of what is selected, over the picture.
class NetworkDiagramView::Selection : public QGraphicsItem {
 public:
  explicit Selection(NetworkDiagramView& view) : view_(view) { setZValue(1); }
  QRectF boundingRect() const override { return view_.layout().canvas; }
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
    const DiagramLayout& layout = view_.layout();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    QPen band(kSelection, 11, Qt::SolidLine, Qt::RoundCap);
    band.setCosmetic(true);
    painter->setPen(band);
    for (const int observation : view_.selected_observations_) {
      if (observation >= 0 && observation < static_cast<int>(layout.observations.size())) {
        painter->drawPath(layout.observations[static_cast<std::size_t>(observation)]);
      }
    }
    const int mark = view_.selected_mark_;
    if (mark >= 0 && mark < static_cast<int>(layout.marks.size())) {
      QPen ring(kSelection, 4);
      ring.setCosmetic(true);
      painter->setPen(ring);
      const double radius = layout.mark_radius * 2 + 4;
      painter->drawEllipse(layout.marks[static_cast<std::size_t>(mark)], radius, radius);
    }
  }
  void Changed() {
    prepareGeometryChange();
    update();
  }

 private:
  NetworkDiagramView& view_;
};

NetworkDiagramView::NetworkDiagramView(QWidget* parent) : QGraphicsView(parent) {
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
  item_ = new Picture(*this);
  selection_ = new Selection(*this);
  scene()->addItem(item_);
  scene()->addItem(selection_);
}

NetworkDiagramView::~NetworkDiagramView() = default;

const DiagramLayout& NetworkDiagramView::layout() const {
  return picture_ ? picture_->layout() : kNoLayout;
}

void NetworkDiagramView::SetPicture(std::shared_ptr<const NetworkPicture> picture,
                                    const QString& note) {
  item_->Changed();
  selection_->Changed();
  picture_ = std::move(picture);
  note_ = note;
  const QRectF canvas = layout().canvas;
  // Room all round to pan into.
  scene()->setSceneRect(
      canvas.adjusted(-canvas.width(), -canvas.height(), canvas.width(), canvas.height()));
  selected_mark_ = -1;
  selected_observations_.clear();
  item_->update();
  selection_->Changed();
  viewport()->update();
  if (fitted_) ZoomToFit();
}

void NetworkDiagramView::SelectMark(int mark) {
  selected_mark_ = mark;
  selected_observations_.clear();
  selection_->Changed();
  const DiagramLayout& layout = this->layout();
  if (mark >= 0 && mark < static_cast<int>(layout.marks.size())) {
    ensureVisible(QRectF(layout.marks[static_cast<std::size_t>(mark)], QSizeF(1, 1)), 40, 40);
  }
}

void NetworkDiagramView::SelectObservations(const std::vector<int>& observations) {
  selected_observations_ = observations;
  selected_mark_ = -1;
  selection_->Changed();
  const DiagramLayout& layout = this->layout();
  if (observations.size() == 1 && observations.front() >= 0 &&
      observations.front() < static_cast<int>(layout.observations.size())) {
    ensureVisible(
        layout.observations[static_cast<std::size_t>(observations.front())].boundingRect(), 40, 40);
  }
}

void NetworkDiagramView::Zoom(double factor) {
  const double scale = transform().m11() * factor;
  if (scale < 0.05 || scale > 40) return;
  fitted_ = false;
  this->scale(factor, factor);
}

void NetworkDiagramView::ZoomIn() { Zoom(1.25); }
void NetworkDiagramView::ZoomOut() { Zoom(0.8); }

void NetworkDiagramView::ZoomToFit() {
  fitted_ = true;
  if (!picture_) return;
  fitInView(layout().map, Qt::KeepAspectRatio);
}

int NetworkDiagramView::MarkAt(const QPoint& at) const {
  const QPointF point = mapToScene(at);
  const DiagramLayout& layout = this->layout();
  const double reach = layout.mark_radius + kPickPixels / std::max(transform().m11(), 1e-9);
  int nearest = -1;
  double nearest_distance = reach;
  for (std::size_t m = 0; m < layout.marks.size(); ++m) {
    const QPointF d = layout.marks[m] - point;
    const double distance = std::hypot(d.x(), d.y());
    if (distance <= nearest_distance) {
      nearest = static_cast<int>(m);
      nearest_distance = distance;
    }
  }
  return nearest;
}

int NetworkDiagramView::ObservationAt(const QPoint& at) const {
  const QPointF point = mapToScene(at);
  const DiagramLayout& layout = this->layout();
  QPainterPathStroker stroker;
  stroker.setWidth(2 * kPickPixels / std::max(transform().m11(), 1e-9));
  for (int o = static_cast<int>(layout.observations.size()) - 1; o >= 0; --o) {
    const QPainterPath& path = layout.observations[static_cast<std::size_t>(o)];
    if (!path.boundingRect().adjusted(-40, -40, 40, 40).contains(point)) continue;
    if (stroker.createStroke(path).contains(point)) return o;
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
  const int observation = ObservationAt(pressed_at_);
  if (observation >= 0) {
    SelectObservations({observation});
    emit observationClicked(observation);
  }
}

void NetworkDiagramView::resizeEvent(QResizeEvent* event) {
  QGraphicsView::resizeEvent(event);
  if (fitted_) ZoomToFit();
}

void NetworkDiagramView::drawForeground(QPainter* painter, const QRectF&) {
  if (picture_) return;
  painter->save();
  painter->resetTransform();
  painter->setPen(palette().color(QPalette::PlaceholderText));
  painter->drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                    Qt::AlignCenter | Qt::TextWordWrap,
                    note_.isEmpty() ? tr("Add runs to see the network: marks as symbols, "
                                         "observations as lines.")
                                    : note_);
  painter->restore();
}

}  // namespace quarrow
