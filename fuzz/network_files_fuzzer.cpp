// libFuzzer over the network's data files: any bytes as a marks file and as
// a lines file. Each is read, or refused with a message naming what is
// wrong; what is read holds what the readers promise.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "network/lines_file.h"
#include "network/marks_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const quarrow::MarksFile marks = quarrow::ReadMarksFile(bytes);
  if (marks.error.empty() == marks.marks.empty()) __builtin_trap();
  for (const quarrow::ListedMark& mark : marks.marks) {
    if (mark.name.empty() || !std::isfinite(mark.elevation) || mark.line < 1) __builtin_trap();
    if (mark.std_dev && !(*mark.std_dev > 0 && std::isfinite(*mark.std_dev))) __builtin_trap();
  }

  const quarrow::LinesFile lines = quarrow::ReadLinesFile(bytes);
  if (lines.error.empty() == lines.lines.empty()) __builtin_trap();
  for (const quarrow::ListedLine& line : lines.lines) {
    if (line.from.empty() || line.to.empty() || line.from == line.to) __builtin_trap();
    if (!std::isfinite(line.difference) || !(line.length > 0) || line.group.empty()) {
      __builtin_trap();
    }
    if (line.std_dev && !(*line.std_dev > 0)) __builtin_trap();
  }
  return 0;
}
