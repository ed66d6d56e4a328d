#include "plot/picture_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "plot/profile_data.h"

namespace quarrow {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ProfilePicture", text); }

// Draws the canvas centred on a device of `size`, as large as it fits.
void DrawScaled(QPainter& painter, const std::function<void(QPainter&)>& draw, QSizeF size) {
  const double scale = std::min(size.width() / kCanvasWidth, size.height() / kCanvasHeight);
  painter.translate((size.width() - kCanvasWidth * scale) / 2,
                    (size.height() - kCanvasHeight * scale) / 2);
  painter.scale(scale, scale);
  draw(painter);
}

// The SVG's title as markup. Qt 6.4 writes the title as it is given, so a
// field file named "R&D.txt" would break the file; a later Qt may escape it
// itself. A tiny SVG drawn first tells which.
QString SvgTitle(const QString& title) {
  QBuffer probe_bytes;
  probe_bytes.open(QIODevice::WriteOnly);
  QSvgGenerator probe;
  probe.setOutputDevice(&probe_bytes);
  probe.setTitle(QStringLiteral("&"));
  QPainter painter(&probe);
  painter.end();
  return probe_bytes.data().contains("&amp;") ? title : title.toHtmlEscaped();
}

constexpr int kImageWidth = 1800;  // PNG pixels across; the canvas is scaled up to it

}  // namespace

bool WritePicture(QIODevice& device, ProfileFormat format, const PictureFacts& facts,
                  const std::function<void(QPainter&)>& draw, QString& error) {
  bool drawn = false;
  switch (format) {
    case ProfileFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&device);
      svg.setSize(QSize(static_cast<int>(kCanvasWidth), static_cast<int>(kCanvasHeight)));
      svg.setViewBox(QRectF(0, 0, kCanvasWidth, kCanvasHeight));
      svg.setResolution(96);  // the canvas is laid out in pixels of a common screen
      svg.setTitle(SvgTitle(facts.title));
      svg.setDescription(facts.description);
      QPainter painter;
      drawn = painter.begin(&svg);
      if (drawn) draw(painter);
      drawn = painter.end() && drawn;
      break;
    }
    case ProfileFormat::kPng: {
      const int height = static_cast<int>(std::lround(kImageWidth * kCanvasHeight / kCanvasWidth));
      QImage image(kImageWidth, height, QImage::Format_RGB32);
      if (image.isNull()) {
        error = Tr("There is not enough memory for the image.");
        return false;
      }
      image.setDotsPerMeterX(3780);  // 96 per inch
      image.setDotsPerMeterY(3780);
      QPainter painter(&image);
      DrawScaled(painter, draw, QSizeF(image.size()));
      painter.end();
      drawn = image.save(&device, "PNG");
      break;
    }
    case ProfileFormat::kPdf: {
      QPdfWriter pdf(&device);
      pdf.setTitle(facts.title);
      pdf.setCreator(QStringLiteral("Quarrow"));
      pdf.setPageLayout(QPageLayout(QPageSize(facts.letter ? QPageSize::Letter : QPageSize::A4),
                                    QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                    QPageLayout::Millimeter));
      pdf.setResolution(300);
      QPainter painter;
      drawn = painter.begin(&pdf);
      if (drawn) DrawScaled(painter, draw, QSizeF(pdf.width(), pdf.height()));
      drawn = painter.end() && drawn;
      break;
    }
  }
  if (!drawn) error = Tr("The picture could not be drawn.");
  return drawn;
}

}  // namespace quarrow
