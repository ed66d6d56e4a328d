#pragma once

// What the profile picture shows, and the one routine that draws it. The
// same drawing goes to every format: it is made on a canvas of fixed size,
// which each output scales to its page or image.

#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <string>
#include <vector>

#include "engine/platform.h"
#include "engine/run_listener.h"

class QPainter;

namespace quarrow {

inline constexpr double kCanvasWidth = 1600;
inline constexpr double kCanvasHeight = 1000;
// How many names could ever stand side by side along the run: the narrowest
// label (an upright one, one line high) in the width of the panels. A
// listener need keep no more names than this per kind of point.
inline constexpr int kLabelSlots = 180;

// A name that may be drawn, where its point is.
struct ProfileLabel {
  double distance = 0;
  double elevation = 0;
  PointRole role = PointRole::kTurn;
  std::string name;  // bytes as read from the field file
};

struct ProfileData {
  std::string field_file;  // the field file's name, without its folder, as bytes
  bool feet = false;       // feet, else metres
  CivilDate date;
  double run_length = 0;
  double misclosure = 0;
  double allowed_error = 0;
  double max_diff = 0;  // the BS - FS limit of a setup and of the whole run
  bool meets = true;    // the run meets third order
  // The beginning mark, the turning points and the ending mark, in run order.
  std::vector<double> mark_distance;
  std::vector<double> mark_elevation;
  // Side shots, at the run distance of their instrument.
  std::vector<double> side_distance;
  std::vector<double> side_elevation;
  // Per setup: the run distance at its turning point and its BS - FS.
  std::vector<double> setup_end;
  std::vector<double> setup_difference;
  // Names worth trying to place; the beginning and ending marks always.
  std::vector<ProfileLabel> labels;
};

// Bytes from the field file as the picture shows them: decoded as the
// system's 8-bit text, control characters (a tab, an end-of-file mark) as the
// replacement character.
QString ShownText(const std::string& bytes);

// A name as DrawProfile places it, in canvas coordinates.
struct PlacedName {
  QRectF box;      // what the name covers, upright or not
  QPointF anchor;  // where its text starts (upright: its baseline's left end)
  bool upright = false;
  bool bench = false;  // the beginning or ending mark
  QString text;        // shortened with an ellipsis when very long
};

// The names DrawProfile shows in the elevation panel: none covers another or
// leaves the panel, and the bench marks are always among them unless a value
// of theirs is not finite.
std::vector<PlacedName> PlaceNames(const ProfileData& data);

// Draws the picture on `painter`, whose coordinates span kCanvasWidth by
// kCanvasHeight. Numbers and the date are written in `locale`'s form.
// Non-finite values are left out; nothing the data holds can stop it.
void DrawProfile(QPainter& painter, const ProfileData& data, const QLocale& locale);

}  // namespace quarrow
