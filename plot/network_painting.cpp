#include "plot/network_painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "plot/chart_parts.h"
#include "plot/palette.h"
#include "plot/scales.h"

namespace quarrow {

namespace {

// A fixed mark is a solid triangle, a weighted one an open triangle, an
// adjusted one a ring; `radius` 7 is their full size.
void DrawMarkSymbol(QPainter& painter, DiagramMarkKind kind, QPointF at, double radius = 7) {
  const double size = radius / 7;
  switch (kind) {
    case DiagramMarkKind::kFixed:
      painter.setPen(QPen(Qt::white, 1.4 * size));
      painter.setBrush(kMarkInk);
      DrawTriangle(painter, at, 19 * size);
      break;
    case DiagramMarkKind::kWeighted:
      painter.setPen(QPen(kMarkInk, 2.4 * size, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(Qt::white);
      DrawTriangle(painter, at, 17 * size);
      break;
    case DiagramMarkKind::kAdjusted:
      painter.setPen(QPen(kMarkInk, 2.2 * size));
      painter.setBrush(Qt::white);
      painter.drawEllipse(at, 5.5 * size, 5.5 * size);
      break;
  }
}

QPen LinePen(QColor colour, double width, bool dashed) {
  QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  if (dashed) pen.setDashPattern({2.2, 1.6});
  return pen;
}

void DrawCurve(QPainter& painter, const SceneLine& line) {
  if (line.bend == 0) {
    painter.drawLine(line.from, line.to);
    return;
  }
  // The control point that puts the curve's middle at At(0.5).
  const QPointF middle = line.At(0.5);
  QPainterPath path(line.from);
  path.quadTo(middle * 2 - (line.from + line.to) / 2, line.to);
  painter.drawPath(path);
}

void DrawText(QPainter& painter, const SceneText& text, QColor colour) {
  painter.setFont(Font(text.pixels, text.bold));
  painter.setPen(colour);
  painter.drawText(text.anchor, text.text);
}

// A white ground under a name, so that it reads across the lines.
void DrawHalo(QPainter& painter, const QRectF& box) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 225));
  painter.drawRoundedRect(box, 3, 3);
}

void DrawHeader(QPainter& painter, const DiagramScene& scene) {
  painter.setPen(kInk);
  painter.setFont(Font(28, true));
  painter.drawText(QRectF(kDiagramMap.left(), 20, kDiagramMap.width(), 40),
                   Qt::AlignLeft | Qt::AlignVCenter, scene.title);
  painter.setFont(Font(17));
  painter.setPen(kMutedInk);
  painter.drawText(QRectF(kDiagramMap.left(), 62, kDiagramMap.width(), 26),
                   Qt::AlignLeft | Qt::AlignVCenter, scene.subtitle);
}

void DrawMap(QPainter& painter, const DiagramScene& scene) {
  painter.setPen(QPen(kGrid, 1.5));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(kDiagramMap, 6, 6);
  painter.setFont(Font(13));
  painter.setPen(kMutedInk);
  painter.drawText(
      QRectF(kDiagramMap.left() + 16, kDiagramMap.top() + 8, kDiagramMap.width() - 32, 20),
      Qt::AlignLeft | Qt::AlignVCenter, scene.map_note);
  if (!scene.empty_note.isEmpty()) {
    painter.setFont(Font(18));
    painter.drawText(kDiagramMap, Qt::AlignCenter, scene.empty_note);
  }

  painter.save();
  painter.setClipRect(kDiagramMap);
  for (const SceneShade& shade : scene.shades) {
    painter.setPen(QPen(QColor(kOver.red(), kOver.green(), kOver.blue(), 0x90), 1, Qt::DashLine));
    painter.setBrush(kFailingLoop);
    painter.drawPolygon(shade.outline);
  }
  // Each line cased in white, so that where lines cross the upper one reads.
  for (const SceneLine& line : scene.lines) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(LinePen(Qt::white, line.width + 3, false));
    DrawCurve(painter, line);
    painter.setPen(LinePen(line.colour, line.width, line.dashed));
    DrawCurve(painter, line);
  }
  for (const SceneShade& shade : scene.shades) {
    if (!shade.label) continue;
    DrawHalo(painter, shade.label->box);
    DrawText(painter, *shade.label, kOver);
  }
  for (const SceneMark& mark : scene.marks) {
    DrawMarkSymbol(painter, mark.kind, mark.centre, scene.mark_radius);
  }
  for (const SceneMark& mark : scene.marks) {
    QRectF block = mark.name.box;
    if (mark.elevation) block = block.united(mark.elevation->box);
    DrawHalo(painter, block);
    DrawText(painter, mark.name, kInk);
    if (mark.elevation) DrawText(painter, *mark.elevation, kMutedInk);
  }
  for (const SceneLabel& label : scene.labels) {
    const SceneLine& line = scene.lines[label.line];
    painter.setPen(QPen(line.colour, line.flagged ? 2 : 1.2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(label.text.box, 4, 4);
    DrawText(painter, label.text, line.flagged ? kOver : kInk);
  }
  painter.restore();
}

void DrawScaleBar(QPainter& painter, const ScaleBar& bar) {
  const QRectF whole(bar.start - QPointF(0, 4), QSizeF(bar.pixels, 8));
  painter.setPen(QPen(kInk, 1.2));
  painter.setBrush(Qt::white);
  painter.drawRect(whole);
  painter.setBrush(kInk);
  painter.drawRect(QRectF(whole.topLeft(), QSizeF(bar.pixels / 2, 8)));
  painter.setFont(Font(13));
  painter.drawText(QRectF(whole.right() + 8, whole.center().y() - 10, 200, 20),
                   Qt::AlignLeft | Qt::AlignVCenter, bar.text);

  // North: an arrow in the map's top right corner.
  const QPointF tip(kNorthArrow.center().x(), kNorthArrow.top() + 6);
  const QPointF arrow[4] = {tip, tip + QPointF(9, 30), tip + QPointF(0, 23), tip + QPointF(-9, 30)};
  painter.setPen(QPen(kInk, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolygon(arrow, 4);
  painter.setFont(Font(15, true));
  painter.drawText(QRectF(tip.x() - 20, tip.y() + 32, 40, 20), Qt::AlignCenter, DiagramTr("N"));
}

void DrawLegendRow(QPainter& painter, const DiagramScene& scene, const LegendRow& row) {
  const QRectF swatch(row.box.left(), row.box.top() + 4, 34, 16);
  const QPointF middle = swatch.center();
  painter.save();
  switch (row.symbol) {
    case LegendSymbol::kHeading:
      break;
    case LegendSymbol::kFixed:
      DrawMarkSymbol(painter, DiagramMarkKind::kFixed, middle);
      break;
    case LegendSymbol::kWeighted:
      DrawMarkSymbol(painter, DiagramMarkKind::kWeighted, middle);
      break;
    case LegendSymbol::kAdjusted:
      DrawMarkSymbol(painter, DiagramMarkKind::kAdjusted, middle);
      break;
    case LegendSymbol::kTrigRun:
    case LegendSymbol::kLevelledLine:
    case LegendSymbol::kUnchecked:
    case LegendSymbol::kFlagged: {
      const bool flagged = row.symbol == LegendSymbol::kFlagged;
      const QColor colour = row.symbol == LegendSymbol::kUnchecked ? kUnchecked
                            : flagged ? ResidualColour(scene.flag_limit * 1.1, scene.flag_limit)
                                      : kMutedInk;
      painter.setPen(
          LinePen(colour, flagged ? 6.5 : 3.2, row.symbol == LegendSymbol::kLevelledLine));
      painter.drawLine(QPointF(swatch.left() + 2, middle.y()),
                       QPointF(swatch.right() - 2, middle.y()));
      break;
    }
    case LegendSymbol::kFailingLoop:
      painter.setPen(QPen(QColor(kOver.red(), kOver.green(), kOver.blue(), 0x90), 1, Qt::DashLine));
      painter.setBrush(kFailingLoop);
      painter.drawRect(swatch);
      break;
    case LegendSymbol::kColourScale: {
      // The bar from no residual to beyond the flag limit, with its numbers.
      const QRectF bar(row.box.left(), row.box.top() + 26, row.box.width() - 24, 12);
      QLinearGradient gradient(bar.topLeft(), bar.topRight());
      for (int i = 0; i <= 20; ++i) {
        const double at = i / 20.0;
        gradient.setColorAt(
            at, ResidualColour(at * kResidualScaleReach * scene.flag_limit, scene.flag_limit));
      }
      painter.setPen(Qt::NoPen);
      painter.setBrush(gradient);
      painter.drawRect(bar);
      const double reach = kResidualScaleReach * scene.flag_limit;
      painter.setFont(Font(12));
      painter.setPen(kMutedInk);
      for (int tick = 0; tick < reach; ++tick) {
        const double x = bar.left() + bar.width() * tick / reach;
        painter.drawLine(QPointF(x, bar.bottom()), QPointF(x, bar.bottom() + 4));
        painter.drawText(QRectF(x - 20, bar.bottom() + 4, 40, 16), Qt::AlignCenter,
                         QString::number(tick));
      }
      const double limit_x = bar.left() + bar.width() / kResidualScaleReach;
      painter.setPen(QPen(kInk, 1.6));
      painter.drawLine(QPointF(limit_x, bar.top() - 3), QPointF(limit_x, bar.bottom() + 3));
      break;
    }
  }
  painter.restore();
  const bool heading = row.symbol == LegendSymbol::kHeading;
  painter.setFont(heading ? Font(15, true) : Font(14));
  painter.setPen(heading ? kInk : kMutedInk);
  const double text_left =
      heading || row.symbol == LegendSymbol::kColourScale ? row.box.left() : swatch.right() + 12;
  painter.drawText(QRectF(text_left, row.box.top(), row.box.right() - text_left, 24),
                   Qt::AlignLeft | Qt::AlignVCenter, row.text);
}

void DrawSide(QPainter& painter, const DiagramScene& scene) {
  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(kPanelFill);
  painter.drawRoundedRect(scene.legend_box, 6, 6);
  for (const LegendRow& row : scene.legend) DrawLegendRow(painter, scene, row);

  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(kPanelFill);
  painter.drawRoundedRect(scene.summary_box, 6, 6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(scene.meets ? kMeets : kOver);
  painter.drawRoundedRect(scene.badge, 5, 5);
  painter.setPen(Qt::white);
  painter.setFont(Font(17, true));
  painter.drawText(scene.badge, Qt::AlignCenter, scene.verdict);
  painter.setFont(Font(14));
  painter.setPen(kInk);
  for (const SceneText& line : scene.summary) {
    painter.drawText(line.box,
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere,
                     line.text);
  }
}

}  // namespace

void DrawNetworkDiagram(QPainter& painter, const DiagramScene& scene) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), Qt::white);
  DrawHeader(painter, scene);
  DrawMap(painter, scene);
  if (scene.scale_bar) DrawScaleBar(painter, *scene.scale_bar);
  DrawSide(painter, scene);
}

}  // namespace quarrow
