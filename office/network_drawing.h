#pragma once

// The network as the window shows it: the very picture --diagram draws
// (plot/network_scene.h, plot/network_painting.h), worked out before it is
// painted, behind a small seam. A NetworkPicture knows where it put each
// mark and each observation, so that the view can zoom, pan and select by
// clicking without knowing how the picture is drawn; another drawing of the
// same data needs only another MakeNetworkPicture.

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <functional>
#include <memory>
#include <vector>

#include "plot/network_diagram_data.h"

class QPainter;

namespace quarrow {

// Where a picture put the network, in its own units (y down).
struct DiagramLayout {
  std::vector<QPointF> marks;              // per mark of the data, its symbol's centre
  std::vector<QPainterPath> observations;  // per observation of the data, its line
  std::vector<QRectF> names;               // per mark, what its name covers
  double mark_radius = 7;                  // about the size of a mark's symbol
  QRectF map;                              // where the network stands: what the view fits
  QRectF canvas;                           // all of the picture, legend and summary too
};

class NetworkPicture {
 public:
  virtual ~NetworkPicture() = default;
  virtual const DiagramLayout& layout() const = 0;
  // Paints on `painter`, in the layout's units.
  virtual void Paint(QPainter& painter) const = 0;
};

// Makes the picture of `data`; may take a while (a graph layout places the
// marks without coordinates) and runs on any thread. Unless `adjusted`, the
// picture tells no verdict.
using MakeNetworkPicture =
    std::function<std::shared_ptr<const NetworkPicture>(const DiagramData& data, bool adjusted)>;

// The picture --diagram draws.
std::shared_ptr<const NetworkPicture> DrawDiagramPicture(const DiagramData& data, bool adjusted);

}  // namespace quarrow
