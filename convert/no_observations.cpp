#include "convert/no_observations.h"

#include "convert/field_book.h"

namespace quarrow {

void RefuseWithoutObservations(const FileHoldings& holdings, const FormatWords& words) {
  // "3 points, the first in this record": the message names the first.
  auto count = [&words](const Tally& tally, const char* what) {
    return tally.count == 1 ? "1 " + std::string(what)
                            : std::to_string(tally.count) + " " + what + "s, " + words.first_here;
  };
  const Tally& gnss = holdings.gnss;
  const Tally& coordinates = holdings.coordinates;
  if (gnss.count > 0) {
    throw ConvertError(gnss.first + ": the file holds only GNSS observations (" +
                       count(gnss, "point") + ", measured by a GNSS receiver)" +
                       (coordinates.count > 0
                            ? " and coordinates (" + std::to_string(coordinates.count) +
                                  (coordinates.count == 1 ? " point)" : " points)")
                            : std::string()) +
                       ", and no total-station observation; " + words.needs);
  }
  if (holdings.angle_only.count > 0) {
    throw ConvertError(holdings.angle_only.first + ": the file's total-station readings (" +
                       count(holdings.angle_only, "reading") + ") are all angle-only, without " +
                       words.distance + "; " + words.needs);
  }
  if (coordinates.count > 0) {
    throw ConvertError(
        coordinates.first + ": the file holds only coordinates (" + count(coordinates, "point") +
        ", keyed in, imported or computed), and no total-station observation; " + words.needs);
  }
  throw ConvertError(std::string("the file holds no total-station observations; ") + words.needs);
}

void FinishFieldBook(FieldBook& book, const std::set<std::u32string>& job_points,
                     const FileHoldings& holdings, const FormatWords& words) {
  bool any_reading = false;
  for (SetupReadings& setup : book.setups) {
    setup.station_is_job_point = !setup.station.empty() && job_points.count(setup.station) != 0;
    any_reading = any_reading || !setup.readings.empty();
  }
  book.angle_only = holdings.angle_only.count;
  if (!any_reading) RefuseWithoutObservations(holdings, words);
}

}  // namespace quarrow
