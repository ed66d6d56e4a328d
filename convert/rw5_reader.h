#pragma once

// Reading RW5 raw data (.rw5) as Carlson SurvCE and SurvPC, MicroSurvey
// FieldGenius and Spectra Survey Pro write it: one record a line, fields
// separated by commas, the record's type first and every other field a
// two-letter header and its value ("N " and "E " are one letter and a
// blank). A field starting with "--" is a note that runs to the end of the
// line; a line starting with "--" is a comment.
//
// The records used:
//   MO      the mode: UN, the distance unit (0 international feet, 1 metres,
//           2 US survey feet), and AU, the angle unit (0 degrees as
//           DDD.MMSS, 1 gon; degrees when AU is missing), for every record
//           after it. AD, SF, EC and EO are the collector's settings for
//           computing coordinates and are not applied.
//   OC      occupy: OP, the point the instrument stands on, starts a setup.
//   LS      line of sight: HR, the rod height, carried to the shots after it
//           until another LS gives one; HI, the instrument height, is not
//           needed.
//   BK      backsight: BP, the point the setup backsights.
//   BD, BR  backsight readings, direct and reverse.
//   FD, FR  foresight readings, direct and reverse.
//   SS, TR  side shots and traverse shots.
//           Every shot: FP, the point sighted; ZE, the zenith angle; SD, the
//           slope distance, or HD, a horizontal distance turned into a slope
//           distance with the zenith. OP, when given, must be the occupied
//           point. A shot without SD or HD is angle-only, passed over and
//           counted. VD and CE beside ZE, and the horizontal angles, are
//           passed over.
//   SP      stored points and GPS, GS GNSS positions: no observation; they
//           say what a file without observations holds.
//   OF      an off-centre shot moves the shot before it: refused.
// Notes, JB and every other record are passed over.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError naming the line for a shot before any OC or MO, a shot
// without FP or ZE, a number that is not one, a unit the mode does not
// define, a shot before any rod height, an off-centre shot, and a file
// without shots (saying whether it holds GNSS positions, coordinates or
// only angles).
FieldBook ReadRw5(std::string_view bytes);

// True when the first line that is not a comment is a record of a type RW5
// defines, followed by a comma.
bool LooksLikeRw5(std::string_view bytes);

}  // namespace quarrow
