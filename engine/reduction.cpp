#include "engine/reduction.h"

#include <cmath>

#include "engine/field_file.h"
#include "engine/numeric_prefix.h"

namespace quarrow {

// Both read their four fields in place rather than copying each out of
// LineBuffer: this is the innermost loop of both passes.

void ReadBacksight(RunState& rs) {
  FieldReader fields(rs.LineBuffer);
  rs.BsName.assign(fields.Next());
  if (rs.FirstMark.empty()) rs.FirstMark = rs.BsName;
  rs.VertAngle = ParseZenithAngle(rs, fields.Next());
  rs.SlopeDist = NumericPrefix(fields.Next());
  rs.BsSh = NumericPrefix(fields.Next());
  fields.Finish();
  rs.BsVd = std::sin(rs.VertAngle) * rs.SlopeDist;
  rs.BsHd = std::cos(rs.VertAngle) * rs.SlopeDist;
  rs.Hi = rs.BsElev - rs.BsVd + rs.BsSh;
}

void ReadForesight(RunState& rs) {
  FieldReader fields(rs.LineBuffer);
  rs.FsName.assign(fields.Next());
  rs.VertAngle = ParseZenithAngle(rs, fields.Next());
  rs.SlopeDist = NumericPrefix(fields.Next());
  rs.FsSh = NumericPrefix(fields.Next());
  fields.Finish();
  rs.FsVd = std::sin(rs.VertAngle) * rs.SlopeDist;
  rs.FsHd = std::cos(rs.VertAngle) * rs.SlopeDist;
  rs.Elev = rs.Hi + rs.FsVd - rs.FsSh;
}

}  // namespace quarrow
