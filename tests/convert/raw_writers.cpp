#include "tests/convert/raw_writers.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "engine/units.h"

namespace quarrow::testing_support {

namespace {

constexpr long long kFullCircleTenths = 360LL * 36000;

// One reading of a point: face I, or face II with the index error on both
// faces and the distance split evenly either side.
struct Sight {
  long long zenith_tenths;
  double slope;  // in the run's unit
  bool face_two;
};

std::vector<Sight> SightsOf(const FieldLine& line, const RawStyle& style) {
  const long long e = style.index_error_tenths;
  if (!style.both_faces) return {{line.zenith_tenths + e, line.slope, false}};
  constexpr double kStep = 0.0004;
  return {{line.zenith_tenths + e, line.slope + kStep, false},
          {kFullCircleTenths - line.zenith_tenths + e, line.slope - kStep, true}};
}

enum class Role { kBacksight, kSideShot, kForesight };

struct Planned {
  const FieldLine* line;
  Role role;
};

// The order in which the crew took a setup's points: backsight, side shots,
// foresight; or backsight, foresight, side shots. Where the file cannot mark
// the foresight, the last setup's foresight must be its last observation.
std::vector<Planned> Order(const std::vector<FieldLine>& setup, bool side_shots_last,
                           bool foresight_marked, bool last_setup) {
  std::vector<Planned> order;
  order.push_back({&setup.front(), Role::kBacksight});
  const bool after = side_shots_last && (foresight_marked || !last_setup);
  if (after) order.push_back({&setup.back(), Role::kForesight});
  for (std::size_t i = 1; i + 1 < setup.size(); ++i) order.push_back({&setup[i], Role::kSideShot});
  if (!after) order.push_back({&setup.back(), Role::kForesight});
  return order;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Length(double run_value, const RawStyle& style) {
  return Fixed(FileLength(run_value, style), 9);
}

std::string Station(std::size_t s) { return "STN" + std::to_string(s + 1); }

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

double FileLength(double value, const RawStyle& style) {
  const bool file_in_feet = style.length != LengthUnit::kMetre;
  if (style.run_in_feet == file_in_feet) return value;
  if (style.run_in_feet) return value * kMetresPerFoot;
  return value /
         (style.length == LengthUnit::kUsSurveyFoot ? kMetresPerUsSurveyFoot : kMetresPerFoot);
}

std::string AngleText(long long tenths, AngleUnit unit) {
  switch (unit) {
    case AngleUnit::kPackedDms: {
      char text[48];
      std::snprintf(text, sizeof text, "%lld.%02lld%02lld%lld", tenths / 36000, tenths / 600 % 60,
                    tenths % 600 / 10, tenths % 10);
      return text;
    }
    case AngleUnit::kDecimalDegree:
      return Fixed(static_cast<double>(tenths) / 36000.0, 10);
    case AngleUnit::kGon:
      return Fixed(static_cast<double>(tenths) / 32400.0, 10);
    case AngleUnit::kMil:
      return Fixed(static_cast<double>(tenths) / 2025.0, 10);
    case AngleUnit::kRadian:
      return Fixed(static_cast<double>(tenths) / 6480000.0 * 3.14159265358979323846, 14);
  }
  throw std::invalid_argument("angle unit");
}

std::string WriteRw5(const FieldRun& run, const Rw5Style& style) {
  const RawStyle& raw = style.raw;
  const char* un = raw.length == LengthUnit::kMetre               ? "1"
                   : raw.length == LengthUnit::kInternationalFoot ? "0"
                                                                  : "2";
  if (raw.angle != AngleUnit::kPackedDms && raw.angle != AngleUnit::kGon) {
    throw std::invalid_argument("RW5 angles are DMS or gon");
  }
  std::string rw5 = "JB,NMROUND TRIP,DT11-30-2026,TM08:02:11\r\n";
  rw5 += std::string("MO,AD0,UN") + un + ",SF1.00000000,EC1,EO0.0,AU" +
         (raw.angle == AngleUnit::kGon ? "1" : "0") + "\r\n";
  if (style.notes) rw5 += "--Recorded again by the round-trip test\r\n";
  double rod_given = -1;
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    rw5 += "OC,OP" + Station(s) + ",N 5000.00000,E 5000.00000,EL0.000\r\n";
    rw5 += "BK,OP" + Station(s) + ",BP" + setup.front().name + ",BS0.00000,BC0.00000\r\n";
    for (const Planned& p :
         Order(setup, raw.side_shots_last, !raw.no_roles, s + 1 == run.setups.size())) {
      if (!raw.rod_carried || p.line->rod != rod_given) {
        rw5 += "LS,HI1.550000,HR" + Length(p.line->rod, raw) + "\r\n";
        rod_given = p.line->rod;
      }
      for (const Sight& sight : SightsOf(*p.line, raw)) {
        std::string type = "SS";
        if (!raw.no_roles && p.role == Role::kBacksight) type = sight.face_two ? "BR" : "BD";
        if (!raw.no_roles && p.role == Role::kForesight) type = sight.face_two ? "FR" : "FD";
        if (raw.no_roles && p.role == Role::kForesight) type = "TR";
        std::string distance = "SD" + Length(sight.slope, raw);
        if (style.horizontal_distances) {
          const long long face_one =
              sight.face_two ? kFullCircleTenths - sight.zenith_tenths : sight.zenith_tenths;
          const double sine = std::sin(static_cast<double>(face_one) / 6480000.0 * M_PI);
          distance = "HD" + Fixed(FileLength(sight.slope, raw) * sine, 9);
        }
        rw5 += type + ",OP" + Station(s) + ",FP" + p.line->name + ",AR0.00000,ZE" +
               AngleText(sight.zenith_tenths, raw.angle) + "," + distance +
               (style.notes ? ",--CODE, with a comma" : "") + "\r\n";
      }
    }
  }
  return rw5;
}

std::string WriteLandXml(const FieldRun& run, const LandXmlStyle& style) {
  const RawStyle& raw = style.raw;
  const char* linear = raw.length == LengthUnit::kMetre               ? "meter"
                       : raw.length == LengthUnit::kInternationalFoot ? "foot"
                                                                      : "USSurveyFoot";
  const char* angular = raw.angle == AngleUnit::kDecimalDegree ? "decimal degrees"
                        : raw.angle == AngleUnit::kPackedDms   ? "decimal dd.mm.ss"
                        : raw.angle == AngleUnit::kGon         ? "grads"
                                                               : "radians";
  if (raw.angle == AngleUnit::kMil) throw std::invalid_argument("LandXML has no mil");
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LandXML "
      "xmlns=\"http://www.landxml.org/schema/LandXML-1.2\"";
  if (style.hexml) xml += " xmlns:hexml=\"http://www.leica-geosystems.com/hexml\"";
  xml += " version=\"1.2\">\n  <Units><";
  xml += raw.length == LengthUnit::kMetre ? "Metric" : "Imperial";
  xml += std::string(" linearUnit=\"") + linear + "\" angularUnit=\"" + angular + "\"/></Units>\n";
  xml += "  <Survey>\n";
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    const std::string id = "IS" + std::to_string(s + 1);
    std::string observations;
    for (const Planned& p :
         Order(setup, raw.side_shots_last, !raw.no_roles, s + 1 == run.setups.size())) {
      const char* purpose = raw.no_roles                 ? "normal"
                            : p.role == Role::kBacksight ? "backsight"
                            : p.role == Role::kForesight ? "foresight"
                                                         : "sideshot";
      auto observation = [&](const char* role, long long zenith, double slope) {
        observations +=
            "    <RawObservation" +
            (style.observation_groups ? std::string() : " setupID=\"" + id + "\"") + " purpose=\"" +
            role + "\" horizAngle=\"0\" zenithAngle=\"" + AngleText(zenith, raw.angle) +
            "\" slopeDistance=\"" + Length(slope, raw) + "\" targetHeight=\"" +
            Length(p.line->rod, raw) + "\"" + (style.hexml ? " hexml:faceNumber=\"1\"" : "") +
            "><TargetPoint pntRef=\"" + XmlEscape(p.line->name) + "\"/>" +
            (style.hexml ? "<hexml:PointQuality value=\"1\"/>" : "") + "</RawObservation>\n";
      };
      for (const Sight& sight : SightsOf(*p.line, raw)) {
        observation(purpose, sight.zenith_tenths, sight.slope);
      }
      if (style.check_shots && p.role == Role::kForesight) {
        observation("check", setup.front().zenith_tenths + 300, setup.front().slope + 1);
      }
    }
    xml += "    <InstrumentSetup id=\"" + id + "\" stationName=\"" + Station(s) +
           "\" instrumentHeight=\"1.55\"><InstrumentPoint pntRef=\"" + Station(s) + "\"/>\n";
    if (style.hexml) xml += "      <hexml:Annotation text=\"round trip\"/>\n";
    if (style.observation_groups) {
      xml += "    </InstrumentSetup>\n    <ObservationGroup id=\"OG" + std::to_string(s + 1) +
             "\" setupID=\"" + id + "\">\n" + observations + "    </ObservationGroup>\n";
    } else {
      xml += observations + "    </InstrumentSetup>\n";
    }
  }
  xml += "  </Survey>\n</LandXML>\n";
  return xml;
}

std::string WriteSdr(const FieldRun& run, const SdrStyle& style) {
  const RawStyle& raw = style.raw;
  auto name = [](const std::string& text) {
    if (text.size() > 16) throw std::invalid_argument("SDR names hold 16 characters: " + text);
    return std::string(16 - text.size(), ' ') + text;
  };
  auto field = [](std::string text) {
    text.resize(16, ' ');
    return text;
  };
  const char angle = raw.angle == AngleUnit::kDecimalDegree ? '1'
                     : raw.angle == AngleUnit::kGon         ? '2'
                     : raw.angle == AngleUnit::kMil         ? '3'
                                                            : '?';
  if (angle == '?' || raw.length == LengthUnit::kUsSurveyFoot) {
    throw std::invalid_argument("SDR33 units");
  }
  std::string sdr = std::string("00NMSDR33  V04-04.34    30-Nov-26 08:02 ") + angle +
                    (raw.length == LengthUnit::kMetre ? '1' : '2') + "1121\r\n";
  sdr += "10NM" + field("ROUND TRIP") + "121111\r\n";
  double rod_given = -1;
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    sdr += "02TP" + name(Station(s)) + field("") + field("") + field("") + field("1.550") + "\r\n";
    sdr += "07TP" + name(Station(s)) + name(setup.front().name) + field("0.0000") +
           field("0.0000") + "\r\n";
    for (const Planned& p : Order(setup, raw.side_shots_last, false, s + 1 == run.setups.size())) {
      if (!raw.rod_carried || p.line->rod != rod_given) {
        sdr += "03NM" + field(Length(p.line->rod, raw)) + "\r\n";
        rod_given = p.line->rod;
      }
      for (const Sight& sight : SightsOf(*p.line, raw)) {
        sdr += std::string("09") + (sight.face_two ? "F2" : "F1") + name(Station(s)) +
               name(p.line->name) + field(Length(sight.slope, raw)) +
               field(AngleText(sight.zenith_tenths, raw.angle)) + field("0.0000") + "\r\n";
      }
      if (style.means) {
        // Deliberately not the mean of the faces: it must not count.
        sdr += "09MC" + name(Station(s)) + name(p.line->name) +
               field(Length(p.line->slope + 0.5, raw)) +
               field(AngleText(p.line->zenith_tenths + 600, raw.angle)) + field("0.0000") + "\r\n";
      }
    }
  }
  return sdr;
}

std::string WriteGts7(const FieldRun& run, const Gts7Style& style) {
  const RawStyle& raw = style.raw;
  if ((raw.angle != AngleUnit::kPackedDms && raw.angle != AngleUnit::kGon) ||
      raw.length == LengthUnit::kUsSurveyFoot) {
    throw std::invalid_argument("GTS-7 units");
  }
  auto line = [](const std::string& keyword, const std::string& values) {
    std::string text = keyword;
    text.resize(8, ' ');
    return text + values + "\r\n";
  };
  std::string gt7 = line("JOB", "ROUND TRIP,");
  gt7 += line("UNITS", std::string(raw.length == LengthUnit::kMetre ? "M" : "F") + "," +
                           (raw.angle == AngleUnit::kGon ? "G" : "D"));
  double rod_given = -1;
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    gt7 += line("STN", Station(s) + ",1.550,");
    for (const Planned& p :
         Order(setup, raw.side_shots_last, !raw.no_roles, s + 1 == run.setups.size())) {
      const bool new_rod = p.line->rod != rod_given;
      std::string rod;
      if (style.th_records) {
        if (new_rod) gt7 += line("TH", Length(p.line->rod, raw));
      } else if (!raw.rod_carried || new_rod) {
        rod = Length(p.line->rod, raw);
      }
      rod_given = p.line->rod;
      const char* keyword = raw.no_roles                 ? "SS"
                            : p.role == Role::kBacksight ? "BS"
                            : p.role == Role::kForesight ? "FS"
                                                         : "SS";
      gt7 += line(keyword, p.line->name + "," + rod + ",CODE");
      for (const Sight& sight : SightsOf(*p.line, raw)) {
        gt7 += line("SD", "0.0000," + AngleText(sight.zenith_tenths, raw.angle) + "," +
                              Length(sight.slope, raw));
      }
    }
  }
  return gt7;
}

}  // namespace quarrow::testing_support
