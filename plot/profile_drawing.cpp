#include "plot/profile_drawing.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>

#include "plot/balance_panel.h"
#include "plot/elevation_panel.h"
#include "plot/palette.h"

namespace quarrow {

namespace {

// The distance axis both panels share, from the beginning mark to the end of
// the run with a little room either side for the marks' symbols.
DistanceAxis MakeDistanceAxis(const ProfileData& data) {
  Range distance;
  distance.Add(0);
  for (const double d : data.mark_distance) distance.Add(d);
  for (const double d : data.side_distance) distance.Add(d);
  for (const double d : data.setup_end) distance.Add(d);
  if (distance.high - distance.low <= 0) distance.high = distance.low + 1;
  const double x_pad = (distance.high - distance.low) * 0.015;
  const Scale sx{distance.low - x_pad, distance.high + x_pad, kElevationPanel.left(),
                 kElevationPanel.right()};
  return {sx, TicksInside(distance.low, distance.high, 10)};
}

void DrawHeader(QPainter& painter, const ProfileData& data, const QLocale& locale,
                const QString& unit) {
  // Title and subtitle end short of the summary box; a long name loses its
  // middle.
  constexpr double kTitleWidth = 920;
  painter.setPen(kInk);
  painter.setFont(Font(28, true));
  const QString file =
      data.field_file.empty() ? ProfileTr("Level run") : ShownText(data.field_file);
  painter.drawText(
      QRectF(kLeft - 80, 22, kTitleWidth, 40), Qt::AlignLeft | Qt::AlignVCenter,
      QFontMetricsF(painter.font())
          .elidedText(ProfileTr("Profile of %1").arg(file), Qt::ElideMiddle, kTitleWidth));
  QStringList subtitle{ProfileTr("Adjusted trigonometric level run"),
                       data.units == Units::kFeet ? ProfileTr("feet") : ProfileTr("metres")};
  const QDate date(data.date.year, data.date.month, data.date.day);
  if (date.isValid()) subtitle << locale.toString(date, QLocale::ShortFormat);
  painter.setFont(Font(17));
  painter.setPen(kMutedInk);
  painter.drawText(QRectF(kLeft - 80, 64, kTitleWidth, 26), Qt::AlignLeft | Qt::AlignVCenter,
                   subtitle.join(QStringLiteral("  \u00b7  ")));

  // The summary: what the report's box says, at a glance.
  const QRectF box(kRight - 540, 16, 540, 92);
  painter.setPen(QPen(kFrame, 1));
  painter.setBrush(kPanelFill);
  painter.drawRoundedRect(box, 6, 6);
  const QColor verdict_colour = data.meets ? kMeets : kOver;
  const QRectF badge(box.left() + 14, box.top() + 14, 236, box.height() - 28);
  painter.setPen(Qt::NoPen);
  painter.setBrush(verdict_colour);
  painter.drawRoundedRect(badge, 5, 5);
  painter.setPen(Qt::white);
  painter.setFont(Font(16, true));
  painter.drawText(
      badge, Qt::AlignCenter,
      data.meets ? ProfileTr("Meets third order") : ProfileTr("Does not meet third order"));

  const double text_left = badge.right() + 16;
  const QRectF line1(text_left, box.top() + 14, box.right() - text_left - 12, 22);
  const QRectF line2 = line1.translated(0, 22);
  const QRectF line3 = line2.translated(0, 22);
  painter.setFont(Font(15));
  auto row = [&](const QRectF& where, const QString& label, const QString& value, QColor colour) {
    painter.setPen(kMutedInk);
    painter.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, label);
    painter.setPen(colour);
    painter.drawText(where, Qt::AlignRight | Qt::AlignVCenter, value);
  };
  row(line1, ProfileTr("Run length"), Number(locale, data.run_length, 3) + QChar(' ') + unit, kInk);
  row(line2, ProfileTr("Misclosure"), Number(locale, data.misclosure, 3) + QChar(' ') + unit,
      OverLimit(data.misclosure, data.allowed_error) ? kOver : kInk);
  row(line3, ProfileTr("Allowed"),
      QStringLiteral("\u00b1") + Number(locale, data.allowed_error, 3) + QChar(' ') + unit, kInk);
}

// The distance axis under both panels.
void DrawDistanceAxis(QPainter& painter, const DistanceAxis& axis, const QLocale& locale,
                      const QString& unit) {
  painter.setFont(Font(14));
  painter.setPen(kMutedInk);
  for (const double x : axis.ticks.values) {
    painter.drawText(QRectF(axis.scale(x) - 60, kBalancePanel.bottom() + 6, 120, 20),
                     Qt::AlignHCenter | Qt::AlignTop, Number(locale, x, axis.ticks.decimals));
  }
  painter.setFont(Font(15, true));
  painter.setPen(kInk);
  painter.drawText(
      QRectF(kBalancePanel.left(), kBalancePanel.bottom() + 34, kBalancePanel.width(), 24),
      Qt::AlignCenter, ProfileTr("Run distance (%1)").arg(unit));
}

}  // namespace

std::vector<PlacedName> PlaceNames(const ProfileData& data) {
  const Scale sx = MakeDistanceAxis(data).scale;
  const Scale sy = ElevationScale(data);
  return ChooseNames(data, sx, sy, RunLine(data, sx, sy));
}

void DrawProfile(QPainter& painter, const ProfileData& data, const QLocale& locale) {
  // Everything is worked out first; the painting below only reads it.
  const DistanceAxis axis = MakeDistanceAxis(data);
  const ElevationPanel elevation = ComputeElevationPanel(data, axis.scale);
  const BalancePanel balance = ComputeBalancePanel(data, axis.scale);

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), Qt::white);
  const QString unit = data.units == Units::kFeet ? ProfileTr("ft") : ProfileTr("m");
  DrawHeader(painter, data, locale, unit);
  DrawElevationPanel(painter, elevation, axis.scale, axis.ticks, locale, unit);
  DrawBalancePanel(painter, balance, axis.scale, axis.ticks, locale, unit);
  DrawDistanceAxis(painter, axis, locale, unit);
}

}  // namespace quarrow
