#include "plot/network_legend.h"

#include <QDate>
#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "plot/palette.h"
#include "plot/scales.h"
#include "plot/shown_text.h"

namespace quarrow {

namespace {

constexpr double kRowHeight = 24;
constexpr double kScaleRowHeight = 58;  // the colour bar and its numbers
constexpr double kSidePadding = 16;

void SetHeading(const DiagramData& data, const QLocale& locale, DiagramScene& scene) {
  const QFontMetricsF title(Font(28, true));
  const QString name = data.title.empty() ? DiagramTr("Level network") : ShownText(data.title);
  scene.title = title.elidedText(name, Qt::ElideMiddle, kDiagramMap.width());
  QStringList subtitle{DiagramTr("Adjusted level network"),
                       data.units == Units::kFeet ? DiagramTr("feet") : DiagramTr("metres")};
  const QDate date(data.date.year, data.date.month, data.date.day);
  if (date.isValid()) subtitle << locale.toString(date, QLocale::ShortFormat);
  scene.subtitle = subtitle.join(QStringLiteral("  \u00b7  "));
  switch (scene.placement) {
    case MapPlacement::kToScale:
      scene.map_note = DiagramTr("North up; every mark at its coordinates.");
      break;
    case MapPlacement::kPartlyToScale:
      scene.map_note =
          DiagramTr("North up; marks with coordinates at them, the others placed among them.");
      break;
    case MapPlacement::kSchematic:
      scene.map_note = DiagramTr("Schematic: marks placed to show how they connect, not to scale.");
      break;
  }
  if (data.marks.empty()) scene.empty_note = DiagramTr("The network has no marks to draw.");
}

void SetLegend(const DiagramData& data, const QLocale& locale, DiagramScene& scene) {
  auto has_mark = [&](DiagramMarkKind kind) {
    return std::any_of(data.marks.begin(), data.marks.end(),
                       [kind](const DiagramMark& mark) { return mark.kind == kind; });
  };
  bool trig = false, levelled = false, unchecked = false;
  for (const SceneLine& line : scene.lines) {
    const DiagramObservation& observation = data.observations[line.observation];
    (observation.kind == DiagramObservationKind::kLevelledLine ? levelled : trig) = true;
    if (!observation.standardized || !std::isfinite(*observation.standardized)) unchecked = true;
  }
  const double left = kDiagramSide.left() + kSidePadding;
  const double width = kDiagramSide.width() - 2 * kSidePadding;
  double y = kDiagramSide.top() + 12;
  auto add = [&](LegendSymbol symbol, const QString& text, double height = kRowHeight) {
    scene.legend.push_back({symbol, text, QRectF(left, y, width, height)});
    y += height;
  };
  add(LegendSymbol::kHeading, DiagramTr("Marks"));
  if (has_mark(DiagramMarkKind::kFixed)) add(LegendSymbol::kFixed, DiagramTr("Fixed"));
  if (has_mark(DiagramMarkKind::kWeighted)) {
    add(LegendSymbol::kWeighted, DiagramTr("Weighted (held by its standard deviation)"));
  }
  if (has_mark(DiagramMarkKind::kAdjusted)) add(LegendSymbol::kAdjusted, DiagramTr("Adjusted"));
  if (!scene.lines.empty()) {
    y += 6;
    add(LegendSymbol::kHeading, DiagramTr("Observations"));
    if (trig) add(LegendSymbol::kTrigRun, DiagramTr("Trig run"));
    if (levelled) add(LegendSymbol::kLevelledLine, DiagramTr("Levelled line"));
    add(LegendSymbol::kColourScale, DiagramTr("Standardized residual |w|"), kScaleRowHeight);
    if (unchecked) add(LegendSymbol::kUnchecked, DiagramTr("Not checked by any other"));
    add(LegendSymbol::kFlagged,
        DiagramTr("Flagged beyond %1, labelled with w").arg(Number(locale, scene.flag_limit, 2)));
  }
  if (!data.loops.empty()) add(LegendSymbol::kFailingLoop, DiagramTr("Loop failing third order"));
  scene.legend_box = QRectF(kDiagramSide.left(), kDiagramSide.top(), kDiagramSide.width(),
                            y - kDiagramSide.top() + 10);
}

void SetSummary(const DiagramData& data, DiagramScene& scene) {
  const double left = kDiagramSide.left() + kSidePadding;
  const double width = kDiagramSide.width() - 2 * kSidePadding;
  const double top = scene.legend_box.bottom() + 18;
  scene.meets = data.meets;
  scene.verdict =
      data.meets ? DiagramTr("Meets third order") : DiagramTr("Does not meet third order");
  scene.badge = QRectF(left, top + 14, width, 38);
  double y = scene.badge.bottom() + 10;
  const QFontMetricsF metrics(Font(14));
  for (const std::string& line : data.summary) {
    // Deliberate: a line is shown as the report has it, its frame's blanks
    // trimmed; a line longer than any report's is cut first.
    const QString text = ShownText(line.substr(0, 600)).trimmed();
    if (text.isEmpty()) continue;
    const QRectF wrapped = metrics.boundingRect(QRectF(0, 0, width, 1e6),
                                                Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
    if (y + wrapped.height() > kDiagramSide.bottom() - 12) break;
    SceneText shown;
    shown.text = text;
    shown.pixels = 14;
    shown.box = QRectF(left, y, width, wrapped.height());
    shown.anchor = shown.box.topLeft();
    scene.summary.push_back(shown);
    y += wrapped.height() + 4;
  }
  scene.summary_box =
      QRectF(kDiagramSide.left(), top, kDiagramSide.width(), y - top + kSidePadding - 4);
}

}  // namespace

void LayOutLegendAndSummary(const DiagramData& data, const QLocale& locale, DiagramScene& scene) {
  SetHeading(data, locale, scene);
  SetLegend(data, locale, scene);
  SetSummary(data, scene);
}

}  // namespace quarrow
