#pragma once

// The colours and the type of the pictures, in one place so that the
// profile and the network diagram read as one family.

#include <QColor>
#include <QFont>

namespace quarrow {

// Text, frames and grid lines.
inline constexpr QColor kInk(0x21, 0x21, 0x21);
inline constexpr QColor kMutedInk(0x5f, 0x63, 0x68);
inline constexpr QColor kGrid(0xe4, 0xe6, 0xe9);
inline constexpr QColor kFrame(0xa0, 0xa4, 0xa8);
inline constexpr QColor kPanelFill(0xf7, 0xf8, 0xf9);
// Verdicts: what is over a limit, and what meets it.
inline constexpr QColor kOver(0xc6, 0x28, 0x28);
inline constexpr QColor kMeets(0x2e, 0x7d, 0x32);

// The profile: the run's line, its side shots, the balance bars and band.
inline constexpr QColor kRunLine(0x1f, 0x4e, 0x79);
inline constexpr QColor kSideShot(0xd9, 0x6c, 0x1e);
inline constexpr QColor kSideShotFill(0xfd, 0xe8, 0xd7);
inline constexpr QColor kBar(0x8f, 0xa9, 0xc4);
inline constexpr QColor kBand(0x2e, 0x7d, 0x32, 0x22);
inline constexpr QColor kCumulative(0x26, 0x32, 0x38);

// The network diagram: its marks, the observations nothing checks, and the
// shade of a loop that fails.
inline constexpr QColor kMarkInk(0x1f, 0x4e, 0x79);
inline constexpr QColor kUnchecked(0xa6, 0xab, 0xb0);
inline constexpr QColor kFailingLoop(0xc6, 0x28, 0x28, 0x2e);

// The colour of an observation whose standardized residual is
// `standardized`, on a scale from blue (none) through amber (1.96, the 95 %
// point) to red at `flag_limit` and dark red beyond it. Only the size
// counts; a value that is not a number is drawn kUnchecked.
QColor ResidualColour(double standardized, double flag_limit);
// How far the colour scale reaches, as a multiple of the flag limit.
inline constexpr double kResidualScaleReach = 1.25;

// The sans-serif face every picture writes in, `pixels` high. Liberation
// Sans is installed with the program, so that a picture looks the same on
// every machine.
QFont Font(int pixels, bool bold = false);

}  // namespace quarrow
