#include "convert/jobxml_reader.h"

#include <map>
#include <optional>
#include <set>

#include "convert/jobxml_records.h"
#include "convert/no_observations.h"

namespace quarrow {

namespace {

const QString kVertical = QStringLiteral("Circle/VerticalCircle");
const QString kHorizontal = QStringLiteral("Circle/HorizontalCircle");
const QString kEdm = QStringLiteral("Circle/EDMDistance");

enum class PointKind {
  kIgnored,     // deleted, a check shot, or computed (an offset, a resection)
  kDirect,      // a direct reading with angle and distance
  kMean,        // a mean of rounds with angle and distance
  kAngleOnly,   // a sighting without a distance
  kGnss,        // measured by a GNSS receiver
  kCoordinates  // keyed in, imported or computed: no sighting at all
};

bool HasCircle(const JobRecord& point) {
  return point.Has(kVertical) || point.Has(kHorizontal) || point.Has(kEdm);
}

bool IsGnss(const JobRecord& point) {
  const QString method = point.Field(QStringLiteral("Method"));
  return point.HasUnder(QStringLiteral("ECEF")) || point.HasUnder(QStringLiteral("GNSS")) ||
         point.HasUnder(QStringLiteral("GPS")) || method.startsWith(u"Gps") ||
         method.startsWith(u"GNSS", Qt::CaseInsensitive) || method.contains(u"RTK");
}

PointKind Classify(const JobRecord& point) {
  if (IsTrue(point.Field(QStringLiteral("Deleted")))) return PointKind::kIgnored;
  if (point.Field(QStringLiteral("Classification")) == u"Check") return PointKind::kIgnored;
  if (!HasCircle(point)) return IsGnss(point) ? PointKind::kGnss : PointKind::kCoordinates;
  const QString method = point.Field(QStringLiteral("Method"));
  const bool direct = method.isEmpty() || method == u"DirectReading";
  const bool mean = method.startsWith(u"Mean") || method.startsWith(u"Average");
  if (method.contains(u"AngleOnly") || ((direct || mean) && !point.Has(kEdm))) {
    return PointKind::kAngleOnly;
  }
  if (!point.Has(kVertical)) return PointKind::kIgnored;
  if (direct) return PointKind::kDirect;
  return mean ? PointKind::kMean : PointKind::kIgnored;
}

// Records by ID as the document reaches them: the last of an ID so far,
// else the first of it anywhere.
class RecordsById {
 public:
  void Note(const JobRecord& record) { first_.emplace(record.id, &record); }
  void Reach(const JobRecord& record) { last_[record.id] = &record; }
  const JobRecord* Find(const QString& id) const {
    const auto last = last_.find(id);
    if (last != last_.end()) return last->second;
    const auto first = first_.find(id);
    return first == first_.end() ? nullptr : first->second;
  }

 private:
  std::map<QString, const JobRecord*> first_;
  std::map<QString, const JobRecord*> last_;
};

// A reading and what its record says of it, until the means are sorted out.
struct Candidate {
  Reading reading;
  bool mean = false;
  bool backsight = false;  // classified BackSight
};

double RodHeight(const JobRecord& point, const std::u32string& name, const RecordsById& targets) {
  const std::string what = RecordPlace(point) + ": " + PointText(name) + " has no rod height: ";
  const QString id = point.Field(QStringLiteral("TargetID"));
  if (id.isEmpty()) {
    throw ConvertError(what + "it names no target record (TargetID), which holds the height.");
  }
  const JobRecord* target = targets.Find(id);
  if (target == nullptr) {
    throw ConvertError(what + "it names the target record \"" + Utf8(id) +
                       "\", which is not in the file.");
  }
  if (!target->Has(QStringLiteral("TargetHeight"))) {
    throw ConvertError(what + "its target " + RecordPlace(*target) + " gives no TargetHeight.");
  }
  return RecordNumber(*target, QStringLiteral("TargetHeight"), "target height");
}

double PrismConstant(const JobRecord& point, const RecordsById& targets) {
  const JobRecord* target = targets.Find(point.Field(QStringLiteral("TargetID")));
  if (target == nullptr || !target->Has(QStringLiteral("PrismConstant"))) return 0;
  return RecordNumber(*target, QStringLiteral("PrismConstant"), "prism constant");
}

double DistanceScale(const JobRecord& station, const JobRecord* last_atmosphere,
                     const RecordsById& atmospheres) {
  const JobRecord* atmosphere = last_atmosphere;
  const QString id = station.Field(QStringLiteral("AtmosphereID"));
  if (!id.isEmpty()) {
    atmosphere = atmospheres.Find(id);
    if (atmosphere == nullptr) {
      throw ConvertError(RecordPlace(station) + ": the station names the atmosphere record \"" +
                         Utf8(id) + "\", which is not in the file.");
    }
  }
  if (atmosphere == nullptr ||
      !IsTrue(atmosphere->Field(QStringLiteral("ApplyPPMToRawDistances"))) ||
      !atmosphere->Has(QStringLiteral("PPM"))) {
    return 1;
  }
  return 1 + RecordNumber(*atmosphere, QStringLiteral("PPM"), "PPM") * 1e-6;
}

Reading ReadingOf(const JobRecord& point, const JobRecord& station, double rod, double scale,
                  double prism_constant) {
  Reading reading;
  reading.name =
      Ucs4(point.fields.count(QStringLiteral("Name")) ? point.fields.at(QStringLiteral("Name"))
                                                      : QString());
  reading.place = RecordPlace(point);
  reading.rod = rod;
  const double vertical = RecordNumber(point, kVertical, "vertical circle reading");
  if (vertical < 0 || vertical >= 360) {
    throw ConvertError(reading.place + ": " + PointText(reading.name) +
                       " has a vertical circle reading outside 0 to 360 degrees.");
  }
  reading.zenith = vertical * 3600.0;
  const double edm = RecordNumber(point, kEdm, "EDM distance");
  reading.slope = edm * scale + prism_constant;
  if (edm <= 0 || reading.slope <= 0) {
    throw ConvertError(reading.place + ": " + PointText(reading.name) +
                       " has no positive slope distance (EDMDistance with its corrections, " +
                       RecordPlace(station) + ").");
  }
  return reading;
}

// Means stand in for a point only where the setup kept no direct reading.
void KeepReadings(std::vector<Candidate>& candidates, SetupReadings& setup, int& means) {
  std::set<std::u32string> read_directly;
  for (const Candidate& c : candidates) {
    if (!c.mean) read_directly.insert(c.reading.name);
  }
  for (Candidate& c : candidates) {
    if (c.mean && read_directly.count(c.reading.name) != 0) continue;
    if (c.mean) ++means;
    if (c.backsight && !setup.backsight_reading) setup.backsight_reading = setup.readings.size();
    setup.readings.push_back(std::move(c.reading));
  }
}

constexpr const char* kLevelRunNeeds =
    "a level run needs StationRecords with readings of a zenith angle (VerticalCircle) and a "
    "slope distance (EDMDistance) to its points.";

}  // namespace

bool LooksLikeXml(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::size_t pos = 0;
  while (pos < bytes.size() &&
         (bytes[pos] == ' ' || bytes[pos] == '\t' || bytes[pos] == '\r' || bytes[pos] == '\n')) {
    ++pos;
  }
  return pos < bytes.size() && bytes[pos] == '<';
}

FieldBook ReadJobXml(std::string_view bytes) {
  const std::vector<JobRecord> records = ReadJobRecords(bytes);
  FieldBook book;
  book.kind = "JobXML";

  RecordsById targets;
  RecordsById atmospheres;
  std::map<QString, std::size_t> setup_of_station;
  std::vector<const JobRecord*> stations;
  std::set<std::u32string> job_points;  // every point the file names
  for (const JobRecord& r : records) {
    if (r.type == u"TargetRecord") targets.Note(r);
    if (r.type == u"AtmosphereRecord") atmospheres.Note(r);
    if ((r.type == u"PointRecord" && !IsTrue(r.Field(QStringLiteral("Deleted")))) ||
        r.type == u"Point") {
      job_points.insert(Ucs4(r.Field(QStringLiteral("Name"))));
    }
    if (r.type == u"StationRecord") {
      setup_of_station[r.id] = stations.size();
      stations.push_back(&r);
      book.setups.push_back(SetupStartingAt(RecordPlace(r)));
      book.setups.back().station = Ucs4(r.Field(QStringLiteral("StationName")));
    }
  }
  for (SetupReadings& setup : book.setups) {
    setup.station_is_job_point = !setup.station.empty() && job_points.count(setup.station) != 0;
  }

  std::vector<std::vector<Candidate>> candidates(book.setups.size());
  FileHoldings holdings;
  const JobRecord* last_atmosphere = nullptr;
  std::optional<std::size_t> current_setup;
  for (const JobRecord& r : records) {
    if (r.type == u"TargetRecord") targets.Reach(r);
    if (r.type == u"AtmosphereRecord") {
      atmospheres.Reach(r);
      last_atmosphere = &r;
    }
    if (r.type == u"StationRecord") current_setup = setup_of_station[r.id];
    if (r.type == u"BackBearingRecord") {
      // The back bearing belongs to the station it names, or else to the
      // station set up just before it.
      std::optional<std::size_t> setup = current_setup;
      const QString station = r.Field(QStringLiteral("StationRecordID"));
      if (!station.isEmpty()) {
        const auto found = setup_of_station.find(station);
        if (found == setup_of_station.end()) {
          throw ConvertError(RecordPlace(r) + ": the back bearing names the station record \"" +
                             Utf8(station) + "\", which is not in the file.");
        }
        setup = found->second;
      }
      if (setup && r.Has(QStringLiteral("BackSight"))) {
        book.setups[*setup].backsight_name = Ucs4(r.Field(QStringLiteral("BackSight")));
      }
    }
    if (r.type != u"PointRecord") continue;

    const PointKind kind = Classify(r);
    if (kind == PointKind::kGnss) holdings.gnss.Add(RecordPlace(r));
    if (kind == PointKind::kCoordinates) holdings.coordinates.Add(RecordPlace(r));
    if (kind == PointKind::kAngleOnly) holdings.angle_only.Add(RecordPlace(r));
    if (kind != PointKind::kDirect && kind != PointKind::kMean) continue;

    const std::u32string name = Ucs4(
        r.fields.count(QStringLiteral("Name")) ? r.fields.at(QStringLiteral("Name")) : QString());
    const QString station_id = r.Field(QStringLiteral("StationID"));
    if (station_id.isEmpty()) {
      throw ConvertError(RecordPlace(r) + ": " + PointText(name) +
                         " names no station record (StationID); every reading belongs to the "
                         "StationRecord of its setup.");
    }
    const auto station = setup_of_station.find(station_id);
    if (station == setup_of_station.end()) {
      throw ConvertError(RecordPlace(r) + ": " + PointText(name) + " names the station record \"" +
                         Utf8(station_id) + "\", which is not in the file.");
    }
    const JobRecord& station_record = *stations[station->second];
    const double rod = RodHeight(r, name, targets);
    const double scale = DistanceScale(station_record, last_atmosphere, atmospheres);
    Candidate candidate;
    candidate.reading = ReadingOf(r, station_record, rod, scale, PrismConstant(r, targets));
    candidate.mean = kind == PointKind::kMean;
    candidate.backsight = r.Field(QStringLiteral("Classification")) == u"BackSight";
    candidates[station->second].push_back(std::move(candidate));
  }

  bool any_reading = false;
  for (std::size_t s = 0; s < book.setups.size(); ++s) {
    KeepReadings(candidates[s], book.setups[s], book.means);
    any_reading = any_reading || !book.setups[s].readings.empty();
  }
  book.angle_only = holdings.angle_only.count;
  book.units_read = "metres, zenith angles in decimal degrees";
  if (!any_reading) {
    RefuseWithoutObservations(holdings,
                              {"the first in this record", "an EDMDistance", kLevelRunNeeds});
  }
  return book;
}

}  // namespace quarrow
