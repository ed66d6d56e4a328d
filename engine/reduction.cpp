#include "reduction.h"

#include <cmath>

#include "field_file.h"
#include "numeric_prefix.h"

namespace quarrow {

void ReadBacksight(RunState& rs) {
  rs.BsName = NextField(rs);
  if (rs.FirstMark.empty()) rs.FirstMark = rs.BsName;
  rs.VertAngle = ParseZenithAngle(rs, NextField(rs));
  rs.SlopeDist = NumericPrefix(NextField(rs));
  rs.BsSh = NumericPrefix(NextField(rs));
  rs.BsVd = std::sin(rs.VertAngle) * rs.SlopeDist;
  rs.BsHd = std::cos(rs.VertAngle) * rs.SlopeDist;
  rs.Hi = rs.BsElev - rs.BsVd + rs.BsSh;
}

void ReadForesight(RunState& rs) {
  rs.FsName = NextField(rs);
  rs.VertAngle = ParseZenithAngle(rs, NextField(rs));
  rs.SlopeDist = NumericPrefix(NextField(rs));
  rs.FsSh = NumericPrefix(NextField(rs));
  rs.FsVd = std::sin(rs.VertAngle) * rs.SlopeDist;
  rs.FsHd = std::cos(rs.VertAngle) * rs.SlopeDist;
  rs.Elev = rs.Hi + rs.FsVd - rs.FsSh;
}

}  // namespace quarrow
