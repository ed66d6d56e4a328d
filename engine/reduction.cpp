#include "engine/reduction.h"

#include <cmath>

#include "engine/field_file.h"
#include "engine/numeric_prefix.h"

namespace quarrow {

namespace {

// The earth's mean radius, in metres and in international feet.
constexpr double kEarthRadiusMetres = 6'371'000;
constexpr double kEarthRadiusFeet = 20'902'231;

// A horizontal line of sight leaves the level surface by HD^2 / 2R over a
// sight of HD, and refraction bends the ray back by k of that: the point
// sighted stands (1 - k) HD^2 / 2R higher than the reading says.
double CurvatureAndRefraction(const RunState& rs, double horizontal_distance) {
  const double radius = rs.UnitMark == '\'' ? kEarthRadiusFeet : kEarthRadiusMetres;
  return (1 - rs.RefractionK) * horizontal_distance * horizontal_distance / (2 * radius);
}

}  // namespace

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
  if (rs.CurvatureApplied) rs.BsVd += CurvatureAndRefraction(rs, rs.BsHd);
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
  if (rs.CurvatureApplied) rs.FsVd += CurvatureAndRefraction(rs, rs.FsHd);
  rs.Elev = rs.Hi + rs.FsVd - rs.FsSh;
}

}  // namespace quarrow
