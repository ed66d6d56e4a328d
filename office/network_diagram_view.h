#pragma once

// The network diagram in the window: a QGraphicsView showing a
// NetworkPicture (office/network_drawing.h), fitted to the network's map,
// with zoom (the wheel, or the View menu), pan (drag), and selection: a
// click on a mark or an observation tells the window, which selects it in
// its table, and the tables' selection is ringed here.

#include <QGraphicsView>
#include <memory>
#include <vector>

#include "office/network_drawing.h"

namespace quarrow {

class NetworkDiagramView : public QGraphicsView {
  Q_OBJECT

 public:
  explicit NetworkDiagramView(QWidget* parent = nullptr);
  ~NetworkDiagramView() override;

  // Shows `picture`; none shows `note` instead.
  void SetPicture(std::shared_ptr<const NetworkPicture> picture, const QString& note = QString());
  const NetworkPicture* picture() const { return picture_.get(); }
  const DiagramLayout& layout() const;

  // -1 for none.
  void SelectMark(int mark);
  void SelectObservations(const std::vector<int>& observations);
  int selected_mark() const { return selected_mark_; }
  const std::vector<int>& selected_observations() const { return selected_observations_; }

  void ZoomIn();
  void ZoomOut();
  void ZoomToFit();

  // What lies under the view's point `at`: a mark first, then an
  // observation; -1 for none.
  int MarkAt(const QPoint& at) const;
  int ObservationAt(const QPoint& at) const;

  QSize sizeHint() const override { return {480, 360}; }

 signals:
  void markClicked(int mark);
  void observationClicked(int observation);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private:
  class Picture;
  class Selection;

  void Zoom(double factor);

  std::shared_ptr<const NetworkPicture> picture_;
  QString note_;
  Picture* item_ = nullptr;
  Selection* selection_ = nullptr;
  int selected_mark_ = -1;
  std::vector<int> selected_observations_;
  QPoint pressed_at_;
  bool fitted_ = true;  // follows the view's size until the user zooms
};

}  // namespace quarrow
