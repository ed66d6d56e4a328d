#include "office/network_drawing.h"

#include <QLocale>
#include <QPainter>

#include "plot/network_painting.h"
#include "plot/network_scene.h"

namespace quarrow {

namespace {

class DiagramPicture : public NetworkPicture {
 public:
  DiagramPicture(const DiagramData& data, bool adjusted)
      : scene_(ComputeDiagramScene(data, QLocale())) {
    if (!adjusted) {
      // Before adjusting there is no verdict to tell: no badge.
      scene_.badge = QRectF();
      scene_.verdict.clear();
    }
    layout_.canvas = QRectF(0, 0, kCanvasWidth, kCanvasHeight);
    layout_.map = kDiagramMap;
    layout_.mark_radius = scene_.mark_radius;
    for (const SceneMark& mark : scene_.marks) {
      layout_.marks.push_back(mark.centre);
      layout_.names.push_back(mark.name.box);
    }
    layout_.observations.resize(data.observations.size());
    for (const SceneLine& line : scene_.lines) {
      if (line.observation >= layout_.observations.size()) continue;
      // The line as drawn, bow and all.
      QPainterPath path(line.At(0));
      for (int step = 1; step <= 16; ++step) path.lineTo(line.At(step / 16.0));
      layout_.observations[line.observation] = path;
    }
  }
  const DiagramLayout& layout() const override { return layout_; }
  void Paint(QPainter& painter) const override { DrawNetworkDiagram(painter, scene_); }

 private:
  DiagramScene scene_;
  DiagramLayout layout_;
};

}  // namespace

std::shared_ptr<const NetworkPicture> DrawDiagramPicture(const DiagramData& data, bool adjusted) {
  return std::make_shared<DiagramPicture>(data, adjusted);
}

}  // namespace quarrow
