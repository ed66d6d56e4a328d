#include "convert/landxml_reader.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "convert/level_run.h"
#include "convert/no_observations.h"
#include "convert/survey_units.h"
#include "convert/text_lines.h"

namespace quarrow {

namespace {

std::string Utf8(QStringView text) { return text.toUtf8().toStdString(); }

std::u32string Ucs4(QStringView text) {
  const QList<uint> ucs4 = text.toUcs4();
  return std::u32string(ucs4.begin(), ucs4.end());
}

std::optional<std::string> Attribute(const QXmlStreamReader& xml, const char* name) {
  const QXmlStreamAttributes attributes = xml.attributes();
  if (!attributes.hasAttribute(QLatin1String(name))) return std::nullopt;
  return Utf8(attributes.value(QLatin1String(name)).trimmed());
}

struct Units {
  LengthUnit length = LengthUnit::kMetre;
  AngleUnit angle = AngleUnit::kDecimalDegree;
};

Units ReadUnits(const QXmlStreamReader& xml, const std::string& place) {
  Units units;
  const std::string linear = Attribute(xml, "linearUnit").value_or("");
  if (linear == "meter" || linear == "metre") {
    units.length = LengthUnit::kMetre;
  } else if (linear == "foot") {
    units.length = LengthUnit::kInternationalFoot;
  } else if (linear == "USSurveyFoot") {
    units.length = LengthUnit::kUsSurveyFoot;
  } else {
    throw ConvertError(place + ": the linear unit is \"" + linear +
                       "\"; expected meter, foot or USSurveyFoot (linearUnit of <Units>).");
  }
  const std::string angular = Attribute(xml, "angularUnit").value_or("");
  if (angular == "decimal degrees") {
    units.angle = AngleUnit::kDecimalDegree;
  } else if (angular == "decimal dd.mm.ss") {
    units.angle = AngleUnit::kPackedDms;
  } else if (angular == "grads" || angular == "gons") {
    units.angle = AngleUnit::kGon;
  } else if (angular == "radians") {
    units.angle = AngleUnit::kRadian;
  } else {
    throw ConvertError(place + ": the angular unit is \"" + angular +
                       "\"; expected decimal degrees, decimal dd.mm.ss, grads or radians "
                       "(angularUnit of <Units>).");
  }
  return units;
}

// A RawObservation as the document gives it, until its setup is known.
struct RawObservation {
  std::string place;
  std::optional<std::size_t> setup;  // the InstrumentSetup around it
  std::string setup_id;              // else the one it names
  std::u32string name;
  std::string purpose;
  std::optional<std::string> zenith, slope, horizontal, target_height;
  std::optional<Units> units;
};

constexpr const char* kLevelRunNeeds =
    "a level run needs InstrumentSetups with RawObservations giving a zenithAngle and a "
    "slopeDistance to its points.";

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

class LandXmlBook {
 public:
  LandXmlBook() { book_.kind = "LandXML"; }

  void Read(std::string_view bytes) {
    QXmlStreamReader xml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::vector<QString> open;              // the elements around the reader
    std::vector<std::string> group_setups;  // setupID of each open ObservationGroup
    std::optional<std::size_t> in_setup;
    std::optional<RawObservation> observation;
    while (!xml.atEnd()) {
      xml.readNext();
      if (xml.isEndElement()) {
        const QString name = xml.name().toString();
        if (name == u"RawObservation" && observation) {
          observations_.push_back(std::move(*observation));
          observation.reset();
        }
        if (name == u"InstrumentSetup") in_setup.reset();
        if (name == u"ObservationGroup" && !group_setups.empty()) group_setups.pop_back();
        if (!open.empty()) open.pop_back();
        continue;
      }
      if (!xml.isStartElement()) continue;
      const QString name = xml.name().toString();
      const std::string place = "line " + std::to_string(xml.lineNumber());
      if (open.empty()) CheckRoot(xml, place);
      const QString parent = open.empty() ? QString() : open.back();
      open.push_back(name);

      if ((name == u"Metric" || name == u"Imperial") && parent == u"Units" && !units_) {
        units_ = ReadUnits(xml, place);
      } else if (name == u"InstrumentSetup") {
        in_setup = book_.setups.size();
        book_.setups.push_back(SetupStartingAt(place));
        book_.setups.back().station =
            Ucs4(xml.attributes().value(QLatin1String("stationName")).trimmed());
        const std::string id = Attribute(xml, "id").value_or("");
        if (!id.empty()) setup_of_id_.emplace(id, *in_setup);
      } else if (name == u"InstrumentPoint" && in_setup) {
        SetupReadings& setup = book_.setups[*in_setup];
        if (setup.station.empty()) setup.station = PointNamed(xml);
      } else if (name == u"BacksightPoint" && in_setup) {
        const std::u32string point = PointNamed(xml);
        if (!point.empty()) book_.setups[*in_setup].backsight_name = point;
      } else if (name == u"ObservationGroup") {
        group_setups.push_back(Attribute(xml, "setupID").value_or(""));
      } else if (name == u"RawObservation") {
        observation = RawObservation();
        observation->place = place;
        observation->setup = in_setup;
        observation->setup_id = Attribute(xml, "setupID").value_or("");
        if (observation->setup_id.empty() && !group_setups.empty()) {
          observation->setup_id = group_setups.back();
        }
        observation->purpose = Lower(Attribute(xml, "purpose").value_or(""));
        observation->zenith = Attribute(xml, "zenithAngle");
        observation->slope = Attribute(xml, "slopeDistance");
        observation->horizontal = Attribute(xml, "horizDistance");
        observation->target_height = Attribute(xml, "targetHeight");
        observation->units = units_;
      } else if (name == u"TargetPoint" && observation) {
        observation->name = PointNamed(xml);
      } else if (name == u"CgPoint") {
        holdings_.coordinates.Add(place);
        job_points_.insert(Ucs4(xml.attributes().value(QLatin1String("name")).trimmed()));
      } else if (name == u"GPSPosition" || name == u"GPSVector") {
        holdings_.gnss.Add(place);
      }
    }
    if (xml.hasError()) {
      QString why = xml.errorString();
      if (!why.endsWith(u'.')) why += u'.';
      throw ConvertError("line " + std::to_string(xml.lineNumber()) + ", column " +
                         std::to_string(xml.columnNumber()) +
                         ": the XML does not parse: " + Utf8(why));
    }
    if (!root_seen_) throw ConvertError("the file holds no XML element; expected <LandXML>.");
  }

  FieldBook Finish() {
    for (RawObservation& observation : observations_) Take(observation);
    FinishFieldBook(book_, job_points_, holdings_,
                    {"the first on this line", "a slopeDistance", kLevelRunNeeds});
    return std::move(book_);
  }

 private:
  void CheckRoot(const QXmlStreamReader& xml, const std::string& place) {
    root_seen_ = true;
    if (xml.name() != u"LandXML") {
      throw ConvertError(place + ": the root element is <" + Utf8(xml.name()) +
                         ">; a LandXML file's is <LandXML>.");
    }
    const QString ns = xml.namespaceUri().toString();
    if (!ns.isEmpty() && !ns.startsWith(u"http://www.landxml.org/schema/LandXML-1.")) {
      throw ConvertError(place + ": the LandXML namespace is \"" + Utf8(ns) +
                         "\"; expected http://www.landxml.org/schema/LandXML-1.2.");
    }
  }

  std::u32string PointNamed(const QXmlStreamReader& xml) const {
    const QXmlStreamAttributes attributes = xml.attributes();
    const QStringView reference = attributes.value(QLatin1String("pntRef")).trimmed();
    return Ucs4(reference.isEmpty() ? attributes.value(QLatin1String("name")).trimmed()
                                    : reference);
  }

  void Take(const RawObservation& o) {
    if (o.purpose == "check") return;  // a check shot, as JobXML's are passed over
    std::optional<std::size_t> setup_index = o.setup;
    if (!setup_index) {
      const auto found = setup_of_id_.find(o.setup_id);
      if (o.setup_id.empty() || found == setup_of_id_.end()) {
        throw ConvertError(
            o.place + ": " + PointText(o.name) + " is observed from " +
            (o.setup_id.empty() ? std::string("no InstrumentSetup")
                                : "the setup \"" + o.setup_id + "\", which is not in the file") +
            "; expected the RawObservation inside its InstrumentSetup or naming it by setupID.");
      }
      setup_index = found->second;
    }
    if (!o.zenith) {
      if (!o.slope && !o.horizontal) {
        holdings_.angle_only.Add(o.place);
        return;
      }
      throw ConvertError(o.place + ": " + PointText(o.name) +
                         " has a distance but no zenith angle (zenithAngle).");
    }
    if (!o.slope && !o.horizontal) {
      holdings_.angle_only.Add(o.place);
      return;
    }
    if (!o.units) {
      throw ConvertError(o.place + ": " + PointText(o.name) +
                         " is observed before the file's <Units> say what its numbers are in.");
    }
    if (!o.target_height) {
      throw ConvertError(o.place + ": " + PointText(o.name) +
                         " has no rod height: the RawObservation gives no targetHeight.");
    }
    Reading reading;
    reading.name = o.name;
    reading.place = o.place;
    reading.rod = LengthMetres(*o.target_height, o.units->length, o.place, "targetHeight");
    reading.zenith = ZenithSeconds(*o.zenith, o.units->angle, o.place, "zenithAngle");
    const char* what = o.slope ? "slopeDistance" : "horizDistance";
    const std::string& text = o.slope ? *o.slope : *o.horizontal;
    const double metres = LengthMetres(text, o.units->length, o.place, what);
    if (!(metres > 0)) {
      throw ConvertError(o.place + ": the " + std::string(what) + " \"" + text +
                         "\" is not a positive distance.");
    }
    if (o.slope) {
      reading.slope = metres;
    } else {
      constexpr double kRadiansPerSecond = 3.14159265358979323846 / kHalfCircleSeconds;
      reading.slope = metres / std::sin(ReducedZenith(reading) * kRadiansPerSecond);
    }
    if (book_.units_read.empty()) {
      book_.units = FieldFileUnits(o.units->length);
      book_.us_survey_feet = o.units->length == LengthUnit::kUsSurveyFoot;
      book_.units_read = UnitsText(o.units->length, o.units->angle);
    }
    job_points_.insert(reading.name);
    SetupReadings& setup = book_.setups[*setup_index];
    if (o.purpose == "backsight" && !setup.backsight_reading) {
      setup.backsight_reading = setup.readings.size();
    }
    if (o.purpose == "foresight") setup.foresight_reading = setup.readings.size();
    setup.readings.push_back(std::move(reading));
  }

  FieldBook book_;
  bool root_seen_ = false;
  std::optional<Units> units_;
  std::map<std::string, std::size_t> setup_of_id_;
  std::vector<RawObservation> observations_;
  FileHoldings holdings_;
  std::set<std::u32string> job_points_;
};

}  // namespace

FieldBook ReadLandXml(std::string_view bytes) {
  LandXmlBook book;
  book.Read(bytes);
  return book.Finish();
}

}  // namespace quarrow
