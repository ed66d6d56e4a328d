#pragma once

// The windows were drawn in twips, 1/1440 inch: 15 twips make one pixel at
// 96 dots per inch. Qt scales the pixels on high-density screens itself.

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QLabel;

namespace quarrow {

inline constexpr int kTwipsPerPixel = 15;

// Twips to the nearest pixel.
constexpr int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

// The layout's captions were measured for an 8-point sans serif with Arial's
// widths. Liberation Sans (or Arimo, Nimbus Sans) has those widths; Qt's
// usual DejaVu Sans is wider and would cut captions off.
QFont WindowFont();

// The program's icon, a level and its rod, in the sizes the desktop asks for.
QIcon ProgramIcon();

// Places `label` at `twips`, widened to the right just enough that its
// caption is not cut off where this font draws it a pixel or two wider than
// the space the layout gave it.
void PlaceLabel(QLabel& label, const QRect& twips_in_pixels);

}  // namespace quarrow
