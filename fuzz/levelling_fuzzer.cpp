// Whatever bytes arrive, the digital-level readers answer with levelled
// lines or a message: never a crash, a hang, a leak or undefined behaviour.
// The first byte chooses the reader (recognised, GSI, DiNi); the rest is the
// file. Lines that are read must be whole (named marks, setups, a finite
// difference and a positive length), and their lines file must read back to
// them: its first line naming the units, one row a line, the numbers within
// half the last decimal.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/field_book.h"
#include "engine/data_fields.h"
#include "engine/units_hint.h"
#include "levelling/levelled_file.h"
#include "levelling/lines_csv.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckRoundTrip(const quarrow::LevelledFile& file, const std::string& csv) {
  std::vector<std::string_view> rows = Split(csv, '\n');
  Check(!rows.empty() && rows.back().empty());  // every line ends
  rows.pop_back();
  Check(rows.size() == file.lines.size() + 2);
  for (std::string_view& row : rows) {
    Check(!row.empty() && row.back() == '\r');
    row.remove_suffix(1);
  }
  Check(quarrow::UnitsNamedBy(rows[0]) == file.units);
  Check(rows[1] == "from,to,difference,length,standard_deviation,group");
  const double half = 0.5 * std::pow(10.0, -file.decimals) * 1.000001;
  for (std::size_t i = 0; i < file.lines.size(); ++i) {
    const quarrow::LevelledLine& line = file.lines[i];
    const std::vector<std::string_view> fields = Split(rows[i + 2], ',');
    Check(fields.size() == 6);
    Check(!fields[0].starts_with('#'));
    Check(fields[0] == line.from && fields[1] == line.to);
    const auto difference = quarrow::ReadDataNumber(fields[2]);
    const auto length = quarrow::ReadDataNumber(fields[3]);
    Check(difference &&
          std::fabs(*difference - line.difference) <= half + std::fabs(line.difference) * 1e-15);
    Check(length && std::fabs(*length - line.length) <= half + line.length * 1e-15);
    Check(fields[4].empty() && fields[5] == "level");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto format = static_cast<quarrow::LevelFormat>(data[0] % 3);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  (void)quarrow::IsDigitalLevelFile(bytes);
  quarrow::LevelledFile file;
  try {
    file = quarrow::ReadLevelledFile(bytes, format);
  } catch (const quarrow::ConvertError&) {
    return 0;
  }
  Check(!file.lines.empty());
  for (const quarrow::LevelledLine& line : file.lines) {
    Check(!line.from.empty() && !line.to.empty() && line.setups > 0);
    Check(std::isfinite(line.difference) && std::isfinite(line.length) && line.length > 0);
  }
  (void)quarrow::LevelledSummaryText(file);
  try {
    CheckRoundTrip(file, quarrow::WriteLinesCsv(file, "fuzz.in"));
  } catch (const quarrow::ConvertError&) {
    // A name the lines file cannot hold, refused.
  }
  return 0;
}
