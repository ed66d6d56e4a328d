// Draws the field guide's figure of one setup, in side view: the instrument
// between the backsight and the foresight rods, the sights with their zenith
// angles and slope distances, the horizontal distances, the vertical
// differences, the rod heights and the height of instrument.
//
//   draw_setup OUTPUT.png
//
// The picture is 6 by 3.5 inches at 300 dots per inch. The geometry is made
// up for clarity (the sights are steep and short), not to scale.

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cstdio>

namespace {

constexpr int kWidth = 1800;
constexpr int kHeight = 1050;
constexpr int kDotsPerInch = 300;

const QColor kInk(0x22, 0x22, 0x22);
const QColor kSight(0x1f, 0x4e, 0x79);
const QColor kAngle(0xc0, 0x50, 0x10);
const QColor kDimension(0x2e, 0x7d, 0x32);
const QColor kGround(0xd9, 0xc9, 0xa8);

// Where things stand, in pixels (y grows downwards).
const QPointF kBacksightFoot(230, 760);
const QPointF kForesightFoot(1570, 560);
const QPointF kInstrumentFoot(900, 660);
const QPointF kAxis(900, 400);  // the instrument's horizontal axis: HI
constexpr double kRodHeight = 250;
const QPointF kBacksightPrism(kBacksightFoot.x(), kBacksightFoot.y() - kRodHeight);
const QPointF kForesightPrism(kForesightFoot.x(), kForesightFoot.y() - kRodHeight);

QFont LabelFont(int pixels, bool bold = false, bool italic = false) {
  QFont font("Liberation Sans");
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

// Text centred on `centre`.
void CentredText(QPainter& painter, QPointF centre, const QString& text) {
  const QRectF box(centre.x() - 800, centre.y() - 100, 1600, 200);
  painter.drawText(box, Qt::AlignCenter, text);
}

// An arrow head at `tip` pointing away from `from`.
void ArrowHead(QPainter& painter, QPointF from, QPointF tip) {
  const QLineF line(tip, from);
  const double angle = qDegreesToRadians(line.angle());
  constexpr double kLength = 22;
  constexpr double kSpread = 0.35;
  const QPointF left =
      tip + QPointF(std::cos(angle + kSpread), -std::sin(angle + kSpread)) * kLength;
  const QPointF right =
      tip + QPointF(std::cos(angle - kSpread), -std::sin(angle - kSpread)) * kLength;
  painter.save();
  painter.setBrush(painter.pen().color());
  painter.drawPolygon(QPolygonF({tip, left, right}));
  painter.restore();
}

// A dimension line from `a` to `b`, arrows at both ends.
void Dimension(QPainter& painter, QPointF a, QPointF b) {
  painter.drawLine(a, b);
  ArrowHead(painter, b, a);
  ArrowHead(painter, a, b);
}

void DrawGround(QPainter& painter) {
  QPainterPath ground;
  ground.moveTo(0, 800);
  ground.cubicTo(120, 790, 160, kBacksightFoot.y(), kBacksightFoot.x(), kBacksightFoot.y());
  ground.cubicTo(520, 760, 600, kInstrumentFoot.y(), kInstrumentFoot.x(), kInstrumentFoot.y());
  ground.cubicTo(1200, 660, 1300, kForesightFoot.y(), kForesightFoot.x(), kForesightFoot.y());
  ground.cubicTo(1680, 560, 1740, 540, kWidth, 530);
  QPainterPath solid = ground;
  solid.lineTo(kWidth, kHeight);
  solid.lineTo(0, kHeight);
  solid.closeSubpath();
  painter.fillPath(solid, kGround);
  painter.setPen(QPen(kInk, 4));
  painter.drawPath(ground);
}

void DrawRod(QPainter& painter, QPointF foot, QPointF prism) {
  painter.setPen(QPen(kInk, 3));
  painter.setBrush(QColor(0xf5, 0xd0, 0x40));
  painter.drawRect(QRectF(foot.x() - 9, prism.y(), 18, foot.y() - prism.y()));
  // The prism on top, its centre at the rod height.
  painter.setBrush(QColor(0xe0, 0xe6, 0xee));
  painter.drawEllipse(prism, 24, 24);
  painter.setBrush(kSight);
  painter.drawEllipse(prism, 7, 7);
  // A plate or a bench mark under the rod.
  painter.setBrush(kInk);
  painter.drawRect(QRectF(foot.x() - 40, foot.y() - 4, 80, 10));
}

void DrawInstrument(QPainter& painter) {
  painter.setPen(QPen(kInk, 5));
  const QPointF head(kAxis.x(), kAxis.y() + 60);
  painter.drawLine(head, QPointF(kInstrumentFoot.x() - 80, kInstrumentFoot.y() + 4));
  painter.drawLine(head, QPointF(kInstrumentFoot.x() + 80, kInstrumentFoot.y() + 4));
  painter.drawLine(head, QPointF(kInstrumentFoot.x(), kInstrumentFoot.y() + 8));
  painter.setPen(QPen(kInk, 3));
  painter.setBrush(QColor(0xf0, 0xf0, 0xf0));
  painter.drawRoundedRect(QRectF(kAxis.x() - 45, kAxis.y() - 55, 90, 115), 12, 12);
  painter.setBrush(kInk);
  painter.drawRect(QRectF(kAxis.x() - 60, kAxis.y() + 55, 120, 14));
  painter.setBrush(kSight);
  painter.drawEllipse(kAxis, 12, 12);
}

// The zenith angle from the vertical up through the axis to the sight to
// `target`, as an arc of `radius` with its label beyond it.
void ZenithAngle(QPainter& painter, QPointF target, double radius, const QString& label,
                 double label_radius) {
  const double sight_angle = QLineF(kAxis, target).angle();  // counter-clockwise from east
  const QRectF circle(kAxis.x() - radius, kAxis.y() - radius, 2 * radius, 2 * radius);
  painter.setPen(QPen(kAngle, 4));
  painter.setBrush(Qt::NoBrush);
  double span = sight_angle - 90;
  if (span > 180) span -= 360;
  painter.drawArc(circle, 90 * 16, qRound(span * 16));
  const double middle = qDegreesToRadians(90 + span / 2);
  const QPointF at = kAxis + QPointF(std::cos(middle), -std::sin(middle)) * label_radius;
  painter.setFont(LabelFont(40, true, true));
  CentredText(painter, at, label);
}

void Draw(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(0, 0, kWidth, kHeight), Qt::white);
  DrawGround(painter);

  // The height of instrument: a level line through the axis.
  painter.setPen(QPen(kDimension, 3, Qt::DashLine));
  painter.drawLine(QPointF(90, kAxis.y()), QPointF(1740, kAxis.y()));
  painter.setPen(kDimension);
  painter.setFont(LabelFont(38, true));
  painter.drawText(QRectF(kAxis.x() + 70, kAxis.y() + 8, 600, 50), Qt::AlignLeft | Qt::AlignTop,
                   "HI: elevation of the axis");

  // The vertical through the axis, from which zenith angles are counted.
  painter.setPen(QPen(kAngle, 3, Qt::DashDotLine));
  painter.drawLine(kAxis, QPointF(kAxis.x(), 90));
  painter.setPen(kAngle);
  painter.setFont(LabelFont(38, true));
  CentredText(painter, QPointF(kAxis.x(), 60), "zenith");

  DrawRod(painter, kBacksightFoot, kBacksightPrism);
  DrawRod(painter, kForesightFoot, kForesightPrism);
  DrawInstrument(painter);

  // The sights: slope distances from the axis to the prisms.
  painter.setPen(QPen(kSight, 5));
  painter.drawLine(kAxis, kBacksightPrism);
  painter.drawLine(kAxis, kForesightPrism);
  painter.setFont(LabelFont(40, true, true));
  painter.setPen(kSight);
  CentredText(painter, QPointF(560, 410), "S");
  CentredText(painter, QPointF(1240, 300), "S");

  ZenithAngle(painter, kForesightPrism, 150, "z", 195);
  ZenithAngle(painter, kBacksightPrism, 110, "z", 150);

  painter.setPen(QPen(kDimension, 3));
  painter.setFont(LabelFont(38, true, true));
  // Vertical differences from the axis to each prism: down on the backsight,
  // up on the foresight.
  Dimension(painter, QPointF(kBacksightPrism.x() + 90, kAxis.y()),
            QPointF(kBacksightPrism.x() + 90, kBacksightPrism.y()));
  painter.setFont(LabelFont(34, true, true));
  painter.drawText(QRectF(kBacksightPrism.x() + 105, kAxis.y() + 6, 300, 44),
                   Qt::AlignLeft | Qt::AlignVCenter, "VD < 0");
  Dimension(painter, QPointF(kForesightPrism.x() - 90, kAxis.y()),
            QPointF(kForesightPrism.x() - 90, kForesightPrism.y()));
  painter.drawText(QRectF(kForesightPrism.x() - 405, kForesightPrism.y() + 35, 300, 60),
                   Qt::AlignRight | Qt::AlignVCenter, "VD > 0");
  painter.setFont(LabelFont(38, true, true));
  // Rod heights, from the mark to the prism's centre.
  Dimension(painter, QPointF(kBacksightFoot.x() - 80, kBacksightFoot.y()),
            QPointF(kBacksightFoot.x() - 80, kBacksightPrism.y()));
  painter.drawText(QRectF(kBacksightFoot.x() - 230, kBacksightFoot.y() - 160, 130, 60),
                   Qt::AlignRight | Qt::AlignVCenter, "h");
  Dimension(painter, QPointF(kForesightFoot.x() + 80, kForesightFoot.y()),
            QPointF(kForesightFoot.x() + 80, kForesightPrism.y()));
  painter.drawText(QRectF(kForesightFoot.x() + 100, kForesightFoot.y() - 160, 130, 60),
                   Qt::AlignLeft | Qt::AlignVCenter, "h");

  // Horizontal distances, below the ground, from the rods to the vertical
  // through the instrument.
  const double below = 910;
  painter.setPen(QPen(kInk, 2, Qt::DotLine));
  for (const QPointF& foot : {kBacksightFoot, kInstrumentFoot, kForesightFoot}) {
    painter.drawLine(QPointF(foot.x(), foot.y() + 12), QPointF(foot.x(), below + 20));
  }
  painter.setPen(QPen(kInk, 3));
  Dimension(painter, QPointF(kBacksightFoot.x(), below), QPointF(kInstrumentFoot.x(), below));
  Dimension(painter, QPointF(kInstrumentFoot.x(), below), QPointF(kForesightFoot.x(), below));
  painter.setFont(LabelFont(38, true, true));
  CentredText(painter, QPointF((kBacksightFoot.x() + kInstrumentFoot.x()) / 2, below - 30),
              "HD backsight");
  CentredText(painter, QPointF((kInstrumentFoot.x() + kForesightFoot.x()) / 2, below - 30),
              "HD foresight");

  // What each rod stands on.
  painter.setPen(kInk);
  painter.setFont(LabelFont(36, true));
  CentredText(painter, QPointF(kBacksightFoot.x() + 10, kBacksightPrism.y() - 290), "Backsight");
  CentredText(painter, QPointF(kForesightFoot.x(), kForesightPrism.y() - 120), "Foresight");
  painter.setFont(LabelFont(32));
  CentredText(painter, QPointF(kBacksightFoot.x() + 10, kBacksightPrism.y() - 245),
              "elevation E known");
  CentredText(painter, QPointF(kForesightFoot.x(), kForesightPrism.y() - 75),
              "E = HI + VD \u2212 h");
  CentredText(painter, QPointF(kBacksightFoot.x() + 10, kBacksightPrism.y() - 205),
              "HI = E \u2212 VD + h");
  painter.setFont(LabelFont(34, true));
  CentredText(painter, QPointF(kInstrumentFoot.x(), kInstrumentFoot.y() + 60), "Total station");
  painter.setFont(LabelFont(30));
  CentredText(painter, QPointF(kWidth / 2.0, kHeight - 40),
              "Not to scale. VD = S cos z; HD = S sin z; z over 90\u00b0 looks down.");
}

}  // namespace

int main(int argc, char* argv[]) {
  // Fonts need a GUI application, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: draw_setup OUTPUT.png\n");
    return 2;
  }
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  const int dots_per_metre = qRound(kDotsPerInch / 0.0254);
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  {
    QPainter painter(&image);
    Draw(painter);
  }
  if (!image.save(arguments[1], "PNG")) {
    std::fprintf(stderr, "draw_setup: cannot write %s\n", qPrintable(arguments[1]));
    return 1;
  }
  return 0;
}
