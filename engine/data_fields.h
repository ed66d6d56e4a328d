#pragma once

// Fields of the data files beside the field file (a marks file, a file of
// levelled lines) and numbers typed for the tools' own options: data, not
// typing, so "." is the decimal point in every locale and a field must be
// a number whole or it is not one. (The field file's own fields follow the
// numeric-prefix rule of engine/numeric_prefix.h instead.)

#include <optional>
#include <string_view>

namespace quarrow {

// `text` without the blanks and tabs at either end. (Paths the user typed
// are trimmed of blanks only: shell/command_line.h.)
std::string_view TrimBlanksAndTabs(std::string_view text);

// A finite number written with "." (an optional sign, digits, a point,
// digits, an exponent), nothing else but surrounding blanks and tabs.
std::optional<double> ReadDataNumber(std::string_view text);

}  // namespace quarrow
