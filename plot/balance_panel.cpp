#include "plot/balance_panel.h"

#include <cstdint>
#include <limits>

#include "plot/chart_parts.h"
#include "plot/label_placement.h"

namespace quarrow {

namespace {

// Thinned to the canvas: each unit-wide column shows the extremes of the
// setups centred in it, over the limit when any of them is.
std::vector<BalanceBar> ColumnBars(const ProfileData& data, std::size_t setups, const Scale& sx,
                                   const Scale& sb, double limit) {
  auto start_of = [&](std::size_t i) { return i == 0 ? 0.0 : data.setup_end[i - 1]; };
  const auto columns = static_cast<std::size_t>(std::ceil(kBalancePanel.width())) + 1;
  std::vector<float> lowest(columns, 0), highest(columns, 0);
  std::vector<std::uint8_t> state(columns, 0);  // 1 in use, 2 over the limit
  for (std::size_t i = 0; i < setups; ++i) {
    const double difference = data.setup_difference[i];
    const double end = data.setup_end[i];
    if (!Finite(end, difference)) continue;
    const double at = sx((start_of(i) + end) / 2) - kBalancePanel.left();
    if (!(at >= 0 && at < static_cast<double>(columns))) continue;
    const auto column = static_cast<std::size_t>(at);
    lowest[column] = std::min(lowest[column], static_cast<float>(difference));
    highest[column] = std::max(highest[column], static_cast<float>(difference));
    state[column] |= OverLimit(difference, limit) ? 3 : 1;
  }
  std::vector<BalanceBar> bars;
  for (std::size_t column = 0; column < columns; ++column) {
    if (state[column] == 0) continue;
    const double x = kBalancePanel.left() + static_cast<double>(column);
    bars.push_back({QRectF(QPointF(x, sb(highest[column])), QPointF(x + 1, sb(lowest[column]))),
                    (state[column] & 2) != 0});
  }
  return bars;
}

}  // namespace

BalancePanel ComputeBalancePanel(const ProfileData& data, const Scale& sx) {
  BalancePanel panel;
  // Deliberate: a limit that is not a number draws as none, so that every
  // setup that is out of balance at all shows as over it.
  panel.limit = std::isfinite(data.max_diff) ? std::fabs(data.max_diff) : 0;
  const double limit = panel.limit;

  const std::size_t setups = std::min(data.setup_end.size(), data.setup_difference.size());
  std::vector<double> cumulative(setups);
  double sum = 0;
  Range balance;
  balance.Add(data.max_diff * 1.25);
  for (std::size_t i = 0; i < setups; ++i) {
    const double difference = data.setup_difference[i];
    if (std::isfinite(difference)) sum += difference;
    cumulative[i] = sum;
    balance.Add(std::fabs(difference) * 1.08);
    balance.Add(std::fabs(sum) * 1.08);
    if (OverLimit(difference, limit)) ++panel.over_count;
  }
  const double reach = balance.Empty() || balance.high <= 0 ? 1 : balance.high;
  panel.scale = Scale{-reach, reach, kBalancePanel.bottom(), kBalancePanel.top()};
  const Scale& sb = panel.scale;
  panel.ticks = TicksInside(-reach, reach, 4);
  panel.band =
      QRectF(QPointF(kBalancePanel.left(), sb(limit)), QPointF(kBalancePanel.right(), sb(-limit)));

  auto start_of = [&](std::size_t i) { return i == 0 ? 0.0 : data.setup_end[i - 1]; };
  const double panel_width = kBalancePanel.width();
  if (static_cast<double>(setups) <= panel_width / 3) {
    for (std::size_t i = 0; i < setups; ++i) {
      const double difference = data.setup_difference[i];
      if (!Finite(start_of(i), data.setup_end[i]) || !std::isfinite(difference)) continue;
      const double left = sx(start_of(i)), right = sx(data.setup_end[i]);
      const double width = std::clamp(std::fabs(right - left) * 0.7, 1.5, 46.0);
      const double middle = (left + right) / 2;
      panel.bars.push_back({QRectF(QPointF(middle - width / 2, sb(std::max(difference, 0.0))),
                                   QPointF(middle + width / 2, sb(std::min(difference, 0.0)))),
                            OverLimit(difference, limit)});
    }
  } else {
    panel.bars = ColumnBars(data, setups, sx, sb, limit);
  }

  panel.running = ThinnedLine(
      setups + 1, [&](std::size_t i) { return start_of(i); },
      [&](std::size_t i) { return i == 0 ? 0.0 : cumulative[i - 1]; }, sx, sb);
  panel.running_dots = setups > 0 && static_cast<double>(setups) <= panel_width / 9;
  panel.has_run_end = setups > 0 && !panel.running.isEmpty();
  panel.run_over = OverLimit(sum, limit);

  // Setups over the limit are flagged along the top edge as well, so that a
  // short red bar is not missed; one flag to a cell of 7 units.
  std::int64_t last_flag = std::numeric_limits<std::int64_t>::min();
  for (std::size_t i = 0; i < setups && panel.over_count > 0; ++i) {
    if (!OverLimit(data.setup_difference[i], limit)) continue;
    const double x = sx((start_of(i) + data.setup_end[i]) / 2);
    if (!(x >= kBalancePanel.left() && x <= kBalancePanel.right())) continue;
    const auto cell = static_cast<std::int64_t>(std::floor(x / 7));
    if (cell == last_flag) continue;
    last_flag = cell;
    panel.flags.emplace_back(x, kBalancePanel.top() + 7);
  }
  return panel;
}

void DrawBalancePanel(QPainter& painter, const BalancePanel& panel, const Scale& sx,
                      const AxisTicks& x_ticks, const QLocale& locale, const QString& unit) {
  const Scale& sb = panel.scale;
  DrawGrid(painter, kBalancePanel, x_ticks, sx, panel.ticks, sb);
  DrawYAxis(painter, kBalancePanel, panel.ticks, sb, ProfileTr("BS \u2212 FS (%1)").arg(unit),
            locale);

  painter.save();
  painter.setClipRect(kBalancePanel);
  painter.fillRect(panel.band, kBand);
  painter.setPen(QPen(kMeets, 1.2, Qt::DashLine));
  painter.drawLine(panel.band.topLeft(), panel.band.topRight());
  painter.drawLine(panel.band.bottomLeft(), panel.band.bottomRight());
  painter.setPen(QPen(kFrame, 1));
  painter.drawLine(QPointF(kBalancePanel.left(), sb(0)), QPointF(kBalancePanel.right(), sb(0)));

  for (const BalanceBar& bar : panel.bars) painter.fillRect(bar.box, bar.over ? kOver : kBar);

  painter.setPen(QPen(kCumulative, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(panel.running);
  if (panel.running_dots) {
    painter.setBrush(kCumulative);
    painter.setPen(Qt::NoPen);
    for (const QPointF& p : panel.running) painter.drawEllipse(p, 2.6, 2.6);
  }
  // The whole run's balance, at its end, in red when over the limit.
  if (panel.has_run_end) {
    painter.setBrush(panel.run_over ? kOver : kCumulative);
    painter.setPen(QPen(Qt::white, 1.2));
    painter.drawEllipse(panel.running.back(), 5, 5);
  }
  painter.setBrush(kOver);
  painter.setPen(Qt::NoPen);
  for (const QPointF& flag : panel.flags) DrawTriangle(painter, flag, 10, true);
  painter.restore();
  DrawFrame(painter, kBalancePanel);

  KeyRow key(painter, QPointF(kBalancePanel.left(), kBalancePanel.top() - 18));
  key.Add(ProfileTr("BS \u2212 FS of each setup"),
          [&](QRectF r) { painter.fillRect(r.adjusted(6, 0, -6, 0), kBar); });
  if (panel.over_count > 0) {
    key.Add(panel.over_count == 1
                ? ProfileTr("1 setup over the limit")
                : ProfileTr("%1 setups over the limit")
                      .arg(locale.toString(static_cast<qulonglong>(panel.over_count))),
            [&](QRectF r) { painter.fillRect(r.adjusted(6, 0, -6, 0), kOver); });
  }
  key.Add(ProfileTr("\u03a3BS \u2212 \u03a3FS so far"), [&](QRectF r) {
    painter.setPen(QPen(kCumulative, 2));
    painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
  });
  const double limit = panel.limit;
  key.Add(ProfileTr("Limit \u00b1%1 %2")
              .arg(Number(locale, limit, limit == std::floor(limit) ? 0 : 1), unit),
          [&](QRectF r) {
            painter.fillRect(r, kBand);
            painter.setPen(QPen(kMeets, 1.2, Qt::DashLine));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.bottomLeft(), r.bottomRight());
          });
}

}  // namespace quarrow
