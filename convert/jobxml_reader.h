#pragma once

// Reading Trimble JobXML (.jxl) as Trimble Access writes it: the FieldBook's
// records, in document order. A setup is a StationRecord; its observations
// are the PointRecords whose StationID names it and that carry a Circle
// with a VerticalCircle and an EDMDistance, are not Deleted and are not
// classified Check:
// - direct readings (a Method of DirectReading, or none) always;
// - means of rounds (a Method starting with "Mean" or "Average", such as
//   MeanTurnedAngle or AverageMeasurements) only where the setup keeps no
//   direct reading of that point, never beside the readings they average;
// - angle-only records (no EDMDistance, or a Method of AngleOnly kind) are
//   passed over and counted; other computed records (offsets, keyed-in
//   points) are passed over.
//
// Slope distance = EDMDistance x (1 + PPM / 1e6, when the atmosphere in
// force says ApplyPPMToRawDistances) + the PrismConstant of the
// observation's TargetRecord. The station's scale factor is not applied: a
// level run wants the distance as measured. The rod height is the target
// record's TargetHeight. IDs repeat in real files: a TargetID or
// AtmosphereID names the last record of that ID before the observation (the
// first after it when none comes before). JobXML holds metres and decimal
// degrees.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError for XML that does not parse (with its line), a root
// element other than JOBFile, records that name a missing station, target
// or atmosphere, a point without a rod height, a number that is not one
// (with the record's ID), and a file without total-station observations
// (saying whether it holds only GNSS observations, only coordinates or
// only angles).
FieldBook ReadJobXml(std::string_view bytes);

// True when the first thing in `bytes`, after an optional byte-order mark
// and blanks, is "<": the file is meant to be XML.
bool LooksLikeXml(std::string_view bytes);

}  // namespace quarrow
