#pragma once

// The network diagram in the window: a QGraphicsView showing what a
// NetworkDrawing paints, with zoom (the wheel, or the View menu), pan
// (drag), and selection: a click on a mark or a run tells the window,
// which selects it in its table, and the table's selection is ringed here.
// A legend of the symbols stays in the view's corner.

#include <QGraphicsView>
#include <memory>

#include "office/network_drawing.h"

class QGraphicsItem;

namespace quarrow {

class NetworkDiagramView : public QGraphicsView {
  Q_OBJECT

 public:
  explicit NetworkDiagramView(QWidget* parent = nullptr);
  ~NetworkDiagramView() override;

  // Another drawing of the same data: the one --diagram makes, for one.
  void SetDrawing(std::unique_ptr<NetworkDrawing> drawing);
  void SetData(DiagramData data);
  const DiagramData& data() const { return data_; }
  const DiagramLayout& layout() const { return layout_; }

  // -1 for none.
  void SelectMark(int mark);
  void SelectRuns(const std::vector<int>& runs);
  int selected_mark() const { return selected_mark_; }
  const std::vector<int>& selected_runs() const { return selected_runs_; }

  void ZoomIn();
  void ZoomOut();
  void ZoomToFit();

  // What lies under the view's point `at`: a mark first, then a run; -1 for none.
  int MarkAt(const QPoint& at) const;
  int RunAt(const QPoint& at) const;

  QSize sizeHint() const override { return {480, 360}; }

 signals:
  void markClicked(int mark);
  void runClicked(int run);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;

 private:
  class Picture;
  class Selection;
  struct LegendEntry {
    enum Kind { kFixed, kWeighted, kAdjusted, kLine } kind;
    QColor color;
    QString text;
  };
  std::vector<LegendEntry> Legend() const;
  QFont LegendFont() const;
  std::vector<QRect> LegendPlaces() const;
  int LegendHeight() const;

  void Zoom(double factor);

  std::unique_ptr<NetworkDrawing> drawing_;
  DiagramData data_;
  DiagramLayout layout_;
  Picture* picture_ = nullptr;
  Selection* selection_ = nullptr;
  int selected_mark_ = -1;
  std::vector<int> selected_runs_;
  QPoint pressed_at_;
  bool fitted_ = true;  // follows the view's size until the user zooms
};

}  // namespace quarrow
