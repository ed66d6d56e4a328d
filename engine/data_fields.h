#pragma once

// Fields of the data files beside the field file (a marks file, a file of
// levelled lines) and numbers typed for the tools' own options: data, not
// typing, so "." is the decimal point in every locale and a field must be
// a number whole or it is not one. (The field file's own fields follow the
// numeric-prefix rule of engine/numeric_prefix.h instead.)

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace quarrow {

// `text` without the blanks and tabs at either end. (Paths the user typed
// are trimmed of blanks only: shell/command_line.h.)
std::string_view TrimBlanksAndTabs(std::string_view text);

// A finite number written with "." (an optional sign, digits, a point,
// digits, an exponent), nothing else but surrounding blanks and tabs.
std::optional<double> ReadDataNumber(std::string_view text);

// Calls `line` for every line of a data file that holds data: with its
// number (from 1) and its comma-separated fields, untrimmed. Blank lines and
// lines starting with '#' (blanks aside) are passed over, as is a UTF-8
// byte-order mark at the start; lines end at LF or CR LF. Stops when `line`
// returns false.
void ForEachDataLine(
    std::string_view bytes,
    const std::function<bool(int number, const std::vector<std::string_view>& fields)>& line);

}  // namespace quarrow
