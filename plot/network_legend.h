#pragma once

// The words around the network diagram's map, worked out with the rest of
// the scene: the title and subtitle, the note on how the marks were placed,
// the legend of what the map shows, and the report's summary beside it.

#include <QLocale>

#include "plot/network_diagram_data.h"
#include "plot/network_scene.h"

namespace quarrow {

// Sets the scene's title, subtitle, notes, legend and summary for `data`.
// The legend names only the kinds of mark and observation there are; the
// summary's lines wrap to the side column, and those that would run past
// the canvas are left out.
void LayOutLegendAndSummary(const DiagramData& data, const QLocale& locale, DiagramScene& scene);

}  // namespace quarrow
