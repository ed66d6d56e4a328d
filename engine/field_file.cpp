#include "engine/field_file.h"

#include "engine/numeric_prefix.h"

namespace quarrow {

namespace {
// Degrees to radians with pi taken to 15 significant digits (3.14159265358979
// / 180), as the office software of the crews has always reduced with; the
// full-precision factor would move some reports in their last digit.
constexpr double kRadiansPerDegree = 0.017453292519943278;
}  // namespace

void OpenFieldFile(RunState& rs, Platform& platform) {
  rs.InFile.Close();
  rs.FileState = kFileUnavailable;
  rs.LineBuffer.clear();
  std::unique_ptr<ByteSource> source = platform.OpenForReading(rs.InputPath);
  if (!source) return;
  rs.InFile.Open(std::move(source));
  rs.InFile.FetchObservation(rs.DegreeMark);
  const bool found = SkipToObservation(rs);
  if (rs.InFile.ReadFailed()) return;
  rs.FileState = found && rs.InFile.HasObservationAhead() ? kFileUsable : kFileUnrecognised;
}

bool SkipToObservation(RunState& rs) {
  return rs.InFile.TakeObservation(rs.LineBuffer, rs.DegreeMark);
}

bool AtEndOfObservations(const RunState& rs) { return !rs.InFile.HasObservationAhead(); }

std::string NextField(RunState& rs) {
  FieldReader fields(rs.LineBuffer);
  std::string field(fields.Next());
  fields.Finish();
  return field;
}

double ParseZenithAngle(const RunState& rs, std::string_view s) {
  // The mark itself stops the number, so the whole text up to and including
  // it is read; without a mark there are no degrees at all.
  const std::size_t mark = s.find(rs.DegreeMark);
  const double degrees = mark == std::string_view::npos ? 0.0 : NumericPrefix(s.substr(0, mark));
  if (mark != std::string_view::npos) s.remove_prefix(mark + 1);

  const std::size_t apostrophe = s.find('\'');
  const double minutes =
      apostrophe == std::string_view::npos ? 0.0 : NumericPrefix(s.substr(0, apostrophe));
  if (apostrophe != std::string_view::npos) s.remove_prefix(apostrophe + 1);

  const double seconds = NumericPrefix(s);
  const double zenith = degrees + minutes / 60 + seconds / 3600;
  return (90 - zenith) * kRadiansPerDegree;
}

}  // namespace quarrow
