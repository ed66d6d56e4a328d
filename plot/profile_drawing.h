#pragma once

// The one routine that draws the profile picture, and the names it places.
// The same drawing goes to every format: it is made on a canvas of fixed
// size (kCanvasWidth by kCanvasHeight), which each output scales to its page
// or image. The parts are worked out before they are painted: the panels in
// plot/elevation_panel.h and plot/balance_panel.h.

#include <QLocale>
#include <vector>

#include "plot/label_placement.h"
#include "plot/profile_data.h"
#include "plot/shown_text.h"

class QPainter;

namespace quarrow {

// The names DrawProfile shows in the elevation panel: none covers another or
// leaves the panel, and the bench marks are always among them unless a value
// of theirs is not finite.
std::vector<PlacedName> PlaceNames(const ProfileData& data);

// Draws the picture on `painter`, whose coordinates span kCanvasWidth by
// kCanvasHeight. Numbers and the date are written in `locale`'s form.
// Non-finite values are left out; nothing the data holds can stop it.
void DrawProfile(QPainter& painter, const ProfileData& data, const QLocale& locale);

}  // namespace quarrow
