#include "tests/convert/survey_writers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace quarrow::testing_support {

namespace {

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

long long ZenithTenths(const std::string& text, char mark) {
  const std::size_t m = text.find(mark);
  const std::size_t q = text.find('\'');
  const long long degrees = std::stoll(text.substr(0, m));
  const long long minutes = std::stoll(text.substr(m + 1, q - m - 1));
  const double seconds = std::stod(text.substr(q + 1));
  return (degrees * 3600 + minutes * 60) * 10 + std::llround(seconds * 10);
}

std::string Shortest(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Sexagesimal(long long tenths) {
  const long long degrees = tenths / 36000;
  const long long minutes = tenths / 600 % 60;
  const long long rest = tenths % 600;
  char text[32];
  std::snprintf(text, sizeof text, "%03lld%02lld%03lld", degrees, minutes, rest);
  return text;
}

constexpr long long kFullCircleTenths = 360LL * 36000;

// The readings of one point: face I alone, or face I then face II with the
// index error on both and the distance split evenly either side.
struct Sighting {
  long long zenith_tenths;
  double slope_offset;  // in the run's unit
};

std::vector<Sighting> Sightings(long long zenith, bool both_faces, long long index_tenths,
                                double slope_step) {
  if (!both_faces) return {{zenith + index_tenths, 0}};
  return {{zenith + index_tenths, slope_step},
          {kFullCircleTenths - zenith + index_tenths, -slope_step}};
}

// The order in which the crew took the setup's points. The last setup's
// foresight is its last observation, so only earlier setups may end with
// side shots.
std::vector<std::size_t> RecordingOrder(std::size_t count, bool side_shots_last) {
  std::vector<std::size_t> order;
  order.push_back(0);
  if (side_shots_last) order.push_back(count - 1);
  for (std::size_t i = 1; i + 1 < count; ++i) order.push_back(i);
  if (!side_shots_last) order.push_back(count - 1);
  return order;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

}  // namespace

FieldRun ReadFieldRun(const std::string& bytes) {
  FieldRun run;
  std::string previous_setup;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const char mark = line.find('\xb0') != std::string::npos   ? '\xb0'
                      : line.find('\xf8') != std::string::npos ? '\xf8'
                                                               : 0;
    if (mark == 0) continue;
    const std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 5) continue;
    // The line after a backsight always belongs to its setup, as the
    // adjustment reads it.
    const bool new_setup =
        run.setups.empty() || (fields[0] != previous_setup && run.setups.back().size() >= 2);
    if (new_setup) run.setups.emplace_back();
    previous_setup = fields[0];
    run.setups.back().push_back(
        {fields[1], ZenithTenths(fields[2], mark), std::stod(fields[3]), std::stod(fields[4])});
  }
  return run;
}

std::string WriteJobXml(const FieldRun& run, const JobXmlStyle& style) {
  const double to_metres = style.feet ? 0.3048 : 1.0;
  int next_id = 1;
  auto id = [&next_id] {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", next_id++);
    return std::string(text);
  };
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<JOBFile jobName=\"round trip\" version=\"5.6\">\n"
      "  <Environment><DisplaySettings><AngleUnits>DMSDegrees</AngleUnits></DisplaySettings>"
      "</Environment>\n"
      "  <FieldBook>\n";
  const std::string atmosphere_id = id();
  xml += "    <AtmosphereRecord ID=\"" + atmosphere_id + "\"><Pressure>1013</Pressure>" +
         "<Temperature>20</Temperature><PPM>" + Shortest(style.ppm) +
         "</PPM><ApplyPPMToRawDistances>" + (style.apply_ppm ? "true" : "false") +
         "</ApplyPPMToRawDistances></AtmosphereRecord>\n";
  std::string target_id;
  double target_rod = -1;
  const std::string repeated_id = "7a7a7a7a";
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    if (style.repeated_target_ids) target_rod = -1;
    const std::string station_id = id();
    xml += "    <StationRecord ID=\"" + station_id + "\"><StationName>STN" + std::to_string(s + 1) +
           "</StationName><TheodoliteHeight>1.6</TheodoliteHeight><ScaleFactor>0.9996" +
           "</ScaleFactor>" +
           (style.atmosphere_named_by_station ? "<AtmosphereID>" + atmosphere_id + "</AtmosphereID>"
                                              : std::string()) +
           "</StationRecord>\n";
    if (style.atmosphere_named_by_station) {
      // A later atmosphere the station does not name: it must not count.
      xml += "    <AtmosphereRecord ID=\"" + id() +
             "\"><PPM>250</PPM><ApplyPPMToRawDistances>true</ApplyPPMToRawDistances>"
             "</AtmosphereRecord>\n";
    }
    if (style.back_bearing) {
      xml += "    <BackBearingRecord ID=\"" + id() + "\"><Station>STN" + std::to_string(s + 1) +
             "</Station><BackSight>" + XmlEscape(setup.front().name) +
             "</BackSight><StationRecordID>" + station_id +
             "</StationRecordID></BackBearingRecord>\n";
    }
    for (std::size_t i :
         RecordingOrder(setup.size(), style.side_shots_last && s + 1 < run.setups.size())) {
      const FieldLine& line = setup[i];
      if (line.rod != target_rod) {
        target_rod = line.rod;
        target_id = style.repeated_target_ids ? repeated_id : id();
        xml += "    <TargetRecord ID=\"" + target_id + "\"><PrismType>Custom</PrismType>" +
               "<PrismConstant>" + Shortest(style.prism_constant) +
               "</PrismConstant><TargetHeight>" + Shortest(line.rod * to_metres) +
               "</TargetHeight></TargetRecord>\n";
      }
      const bool backsight = i == 0;
      auto point = [&](long long zenith_tenths, double slope, const std::string& extra) {
        const double edm = (slope * to_metres - style.prism_constant) /
                           (style.apply_ppm ? 1 + style.ppm * 1e-6 : 1.0);
        xml += "    <PointRecord ID=\"" + id() + "\"><Name>" + XmlEscape(line.name) +
               "</Name><Code/>" + extra + "<StationID>" + station_id + "</StationID><TargetID>" +
               target_id + "</TargetID><Circle><HorizontalCircle>12.5</HorizontalCircle>" +
               "<VerticalCircle>" + Shortest(static_cast<double>(zenith_tenths) / 36000.0) +
               "</VerticalCircle><EDMDistance>" + Shortest(edm) +
               "</EDMDistance></Circle></PointRecord>\n";
      };
      const std::string classification = backsight && !style.back_bearing
                                             ? "<Classification>BackSight</Classification>"
                                             : "<Classification>Normal</Classification>";
      if (style.means_only) {
        point(line.zenith_tenths, line.slope,
              "<Method>AverageMeasurements</Method>" + classification + "<Deleted>false</Deleted>");
      } else {
        for (const Sighting& sight : Sightings(line.zenith_tenths, style.both_faces,
                                               std::llround(style.index_error * 10), 0.00005)) {
          point(sight.zenith_tenths, line.slope + sight.slope_offset,
                "<Method>DirectReading</Method>" + classification + "<Deleted>false</Deleted>");
        }
      }
      if (style.angle_only_shots && backsight) {
        xml += "    <PointRecord ID=\"" + id() + "\"><Name>ANGLE ONLY</Name><Method>DirectReading" +
               "</Method><StationID>" + station_id + "</StationID><TargetID>" + target_id +
               "</TargetID><Circle><HorizontalCircle>40.5</HorizontalCircle><VerticalCircle>" +
               "91.25</VerticalCircle></Circle></PointRecord>\n";
      }
      if (style.noise_records) {
        point(line.zenith_tenths + 3000, line.slope + 1, "<Deleted>true</Deleted>");
        point(line.zenith_tenths + 3000, line.slope + 1, "<Method>MeanTurnedAngle</Method>");
        point(line.zenith_tenths + 3000, line.slope + 1, "<Classification>Check</Classification>");
        xml +=
            "    <PointRecord ID=\"" + id() + "\"><Name>" + XmlEscape(line.name) +
            "</Name><Method>Keyed</Method><Grid><Elevation>10</Elevation></Grid></PointRecord>\n";
      }
    }
    if (style.repeated_target_ids) {
      xml += "    <TargetRecord ID=\"" + repeated_id +
             "\"><PrismConstant>0.5</PrismConstant><TargetHeight>9.99</TargetHeight>"
             "</TargetRecord>\n";
    }
  }
  xml += "  </FieldBook>\n  <Reductions/>\n</JOBFile>\n";
  return xml;
}

std::string GsiWord(const std::string& index, const std::string& info, char sign,
                    const std::string& data, bool gsi16, char pad) {
  const std::size_t width = gsi16 ? 16 : 8;
  if (data.size() > width) throw std::invalid_argument("GSI data too wide: " + data);
  return index + info + sign + std::string(width - data.size(), pad) + data + " ";
}

std::string WriteGsi(const FieldRun& run, const GsiStyle& style) {
  const bool gsi16 = style.gsi16;
  auto length = [&](double value) {
    double per_unit = 0;
    switch (style.length_unit) {
      case '0':
      case '1':
        per_unit = 1e3;
        break;
      case '6':
      case '7':
        per_unit = 1e4;
        break;
      default:
        per_unit = 1e5;
        break;
    }
    return std::to_string(std::llround(value * per_unit));
  };
  const std::string unit_info = std::string("..") + '0' + style.length_unit;
  std::string gsi;
  int block = 0;
  double rod_given = -1;
  auto start_line = [&] {
    if (gsi16) gsi += '*';
    char number[8];
    std::snprintf(number, sizeof number, "%04d", ++block % 10000);
    return std::string(number);
  };
  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::vector<FieldLine>& setup = run.setups[s];
    if (style.station_blocks) {
      const std::string number = start_line();
      gsi += GsiWord("11", number, '+', "STN" + std::to_string(s + 1), gsi16);
      gsi += GsiWord("84", unit_info, '+', length(1000), gsi16);
      gsi += GsiWord("85", unit_info, '+', length(2000), gsi16);
      gsi += GsiWord("86", unit_info, '+', length(100), gsi16);
      gsi += GsiWord("87", unit_info, '+', length(setup.front().rod), gsi16);
      gsi += GsiWord("88", unit_info, '+', length(1.6), gsi16);
      rod_given = setup.front().rod;
      gsi += "\r\n";
    }
    if (style.code_blocks) {
      const std::string number = start_line();
      gsi += GsiWord("41", number, '+', "2", gsi16);
      gsi += GsiWord("42", "....", '+', "STN" + std::to_string(s + 1), gsi16);
      gsi += GsiWord("43", "....", '+', "1600", gsi16);
      gsi += "\r\n";
    }
    for (std::size_t i :
         RecordingOrder(setup.size(), style.side_shots_last && s + 1 < run.setups.size())) {
      const FieldLine& line = setup[i];
      const double step = style.length_unit == '1' || style.length_unit == '0' ? 0.002 : 0.00002;
      for (const Sighting& sight :
           Sightings(line.zenith_tenths, style.both_faces, style.index_error_tenths, step)) {
        const std::string number = start_line();
        gsi += GsiWord("11", number, '+', line.name, gsi16);
        gsi += GsiWord("21", ".104", '+', "12345670", gsi16);
        gsi += GsiWord("22", ".104", '+', Sexagesimal(sight.zenith_tenths), gsi16);
        gsi += GsiWord("31", unit_info, '+', length(line.slope + sight.slope_offset), gsi16);
        if (style.rod_every_block || line.rod != rod_given) {
          gsi += GsiWord("87", unit_info, '+', length(line.rod), gsi16);
          rod_given = line.rod;
        }
        if (style.instrument_height_every_block) {
          gsi += GsiWord("88", unit_info, '+', length(1.6), gsi16);
        }
        gsi += "\r\n";
      }
      if (style.angle_only_shots && i == 0) {
        const std::string number = start_line();
        gsi += GsiWord("11", number, '+', "TREE", gsi16);
        gsi += GsiWord("21", ".104", '+', "04530000", gsi16);
        gsi += GsiWord("22", ".104", '+', "09115000", gsi16);
        gsi += "\r\n";
      }
    }
  }
  return gsi;
}

}  // namespace quarrow::testing_support
