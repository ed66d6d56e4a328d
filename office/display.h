#pragma once

// How the office shows what the engine computed: numbers in the user's
// locale with the report's decimals, a verdict as an icon and a colour,
// the engine's UTF-8 texts as they are.

#include <QColor>
#include <QIcon>
#include <QString>
#include <optional>
#include <string>

#include "office/project_adjustment.h"

namespace quarrow {

// The report's three decimals (or `decimals`), the locale's separator.
QString FormatNumber(double value, int decimals = 3);
QString FormatNumber(const std::optional<double>& value, int decimals = 3);
// A number as typed in the user's locale, or else with "."; none for
// anything that is not a finite number.
std::optional<double> ReadTypedNumber(const QString& text);

// Text the engine wrote (UTF-8).
inline QString Shown(const std::string& text) { return QString::fromStdString(text); }

// A round badge for each verdict: a tick on green, a cross on red, a dash
// on grey, an exclamation mark on orange.
QIcon VerdictIcon(RunVerdict verdict);
QColor VerdictColor(RunVerdict verdict);
QString VerdictText(RunVerdict verdict);

}  // namespace quarrow
