#pragma once

// Paints a network diagram worked out by ComputeDiagramScene. It decides
// nothing: every position, colour and word comes from the scene.

#include "plot/network_scene.h"

class QPainter;

namespace quarrow {

// Paints `scene` on `painter`, whose coordinates span kCanvasWidth by
// kCanvasHeight.
void DrawNetworkDiagram(QPainter& painter, const DiagramScene& scene);

}  // namespace quarrow
