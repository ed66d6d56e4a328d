#pragma once

// The network as a picture, from plain data: the marks (by kind, with a
// position when the marks table gives one) and the runs between them (by
// verdict, flagged ones bold). A drawing lays the marks out and paints the
// whole picture; the view (network_diagram_view.h) only needs where each
// mark and run ended up, to zoom, pan and select by clicking.
//
// The office's own drawing places marks by their easting and northing, or
// on a circle in the order the runs reach them, and draws runs as straight
// lines. The diagram --diagram draws (with a graph layout for marks without
// positions) goes behind the same interface: NetworkDiagramView::SetDrawing.

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

#include "network/network_solver.h"
#include "office/project_adjustment.h"

class QPainter;

namespace quarrow {

struct DiagramMark {
  QString name;
  MarkStatus status = MarkStatus::kAdjusted;
  bool listed = false;              // in the marks table (else met by the runs only)
  std::optional<QPointF> position;  // easting, northing
  bool checked = true;
};

struct DiagramRun {
  int from = 0;  // indices into the marks
  int to = 0;
  QString name;
  RunVerdict verdict = RunVerdict::kNotChecked;
  bool adjusted = false;
  std::optional<double> standardized;
  bool flagged = false;
};

struct DiagramData {
  std::vector<DiagramMark> marks;
  std::vector<DiagramRun> runs;
};

// Where a drawing put the marks and runs, in scene units (y down).
struct DiagramLayout {
  std::vector<QPointF> marks;      // per mark, its symbol's centre
  std::vector<QPainterPath> runs;  // per run, its line
  QRectF bounds;                   // all of the picture
};

class NetworkDrawing {
 public:
  virtual ~NetworkDrawing() = default;
  virtual DiagramLayout Layout(const DiagramData& data) = 0;
  // Paints the picture as `layout` placed it, on a painter whose world
  // transform is the view's zoom.
  virtual void Paint(QPainter& painter, const DiagramData& data, const DiagramLayout& layout) = 0;
};

// The office's own drawing. Symbols, lines and names keep their size on
// screen at any zoom, as on a map: zooming in spreads the marks apart.

class SimpleNetworkDrawing : public NetworkDrawing {
 public:
  DiagramLayout Layout(const DiagramData& data) override;
  void Paint(QPainter& painter, const DiagramData& data, const DiagramLayout& layout) override;

  // More marks than this, and only the listed marks are named.
  static constexpr std::size_t kNamedMarks = 120;

  // Where the name of mark `mark` stands, in view pixels from the mark's
  // centre: beside it, away from the middle of the picture.
  static QRectF LabelBox(const DiagramData& data, const DiagramLayout& layout, std::size_t mark);
  // Whether mark `mark` is named at all.
  static bool IsNamed(const DiagramData& data, std::size_t mark);
};

// The colour of a run's line.
QColor RunColor(const DiagramRun& run);

}  // namespace quarrow
