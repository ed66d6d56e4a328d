#pragma once

#include <initializer_list>
#include <string_view>

#include "engine/platform.h"

namespace quarrow {

// Shows a "Quarrow Error" box (critical stop, OK) whose text is the given
// lines joined by CR LF: the problem first, then the path it concerns.
void ShowError(Platform& platform, std::initializer_list<std::string_view> lines);

}  // namespace quarrow
