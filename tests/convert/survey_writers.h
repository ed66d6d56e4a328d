#pragma once

// Test helpers that play the data collector: they take a level run from a
// field file (the examples and the golden runs) and record it again as a
// JobXML or a GSI file, with the habits of real crews switched on one by
// one: both faces, PPM and prism constants, deleted and check records, rods
// carried over, station blocks or none, side shots after the foresight.

#include <string>
#include <vector>

namespace quarrow::testing_support {

// One line of a field file, with the zenith held exactly.
struct FieldLine {
  std::string name;
  long long zenith_tenths = 0;  // tenths of a second of arc
  double slope = 0;             // in the field file's unit
  double rod = 0;
};

struct FieldRun {
  std::vector<std::vector<FieldLine>> setups;  // backsight first, foresight last
};

// The observation lines of a field file (degree sign 176 or 248) grouped
// into setups by their first field, as quarrow-adjust groups them.
FieldRun ReadFieldRun(const std::string& bytes);

struct JobXmlStyle {
  bool feet = false;  // the run's lengths are feet; JobXML holds metres
  double ppm = 0;
  bool apply_ppm = true;
  bool atmosphere_named_by_station = false;  // else the last record before the readings
  double prism_constant = 0;
  bool both_faces = false;       // every point read in face I and face II
  double index_error = 0;        // seconds, on every reading
  bool noise_records = false;    // deleted, check and mean-angle records to be passed over
  bool back_bearing = false;     // backsight named by a BackBearingRecord, not classified
  bool side_shots_last = false;  // side shots recorded after the foresight
  bool means_only = false;       // one AverageMeasurements record a point, no direct readings
  // One target ID throughout: the record is written again before every
  // setup, and after it a record of the same ID with another height.
  bool repeated_target_ids = false;
  bool angle_only_shots = false;  // an angle-only record after every backsight
};

std::string WriteJobXml(const FieldRun& run, const JobXmlStyle& style);

struct GsiStyle {
  bool gsi16 = false;
  char length_unit = '8';  // 0.01 mm; for a feet run '7' (0.0001 ft) or '1'
  bool feet = false;       // the run's lengths are feet
  bool station_blocks = false;
  bool both_faces = false;
  long long index_error_tenths = 0;
  bool rod_every_block = true;                 // else 87 only when the rod changes
  bool side_shots_last = false;                // needs station or code blocks
  bool code_blocks = false;                    // code 2 with the station and its instrument height
  bool instrument_height_every_block = false;  // word 88 in every measurement block
  bool angle_only_shots = false;               // a shot without distance after every backsight
};

// Zeniths as sexagesimal DDDMMSSs, the only angle unit that carries the
// runs' whole seconds exactly; names padded on the left with zeros.
std::string WriteGsi(const FieldRun& run, const GsiStyle& style);

// A GSI word: index, four characters of information (the last the unit),
// sign and data padded on the left with `pad` to the format's width.
std::string GsiWord(const std::string& index, const std::string& info, char sign,
                    const std::string& data, bool gsi16, char pad = '0');

}  // namespace quarrow::testing_support
