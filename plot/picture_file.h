#pragma once

// Writes a drawing made on the pictures' canvas (kCanvasWidth by
// kCanvasHeight) into a file in one of the three formats: SVG at the
// canvas's own size, PNG 1800 pixels across, PDF on one landscape page. The
// profile and the network diagram both write through it.

#include <QIODevice>
#include <QString>
#include <functional>

#include "plot/profile_format.h"

class QPainter;

namespace quarrow {

struct PictureFacts {
  QString title;        // the SVG's and the PDF's title
  QString description;  // the SVG's description
  bool letter = false;  // a PDF on Letter paper, else on A4
};

// Draws by `draw` into `device`, in `format`. False, with `error` saying why,
// when the image cannot be had or the painting fails; whether the device
// could be written is left to the caller to ask.
bool WritePicture(QIODevice& device, ProfileFormat format, const PictureFacts& facts,
                  const std::function<void(QPainter&)>& draw, QString& error);

}  // namespace quarrow
