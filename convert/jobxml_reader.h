#pragma once

// Reading Trimble JobXML (.jxl): the FieldBook's records, in document order.
// A setup is a StationRecord; its observations are the PointRecords whose
// StationID names it and that carry a Circle with a VerticalCircle and an
// EDMDistance, are not Deleted, are direct readings (a PointRecord without a
// Method counts as one; computed means do not) and are not classified Check.
//
// Slope distance = EDMDistance x (1 + PPM / 1e6, when the atmosphere in
// force says ApplyPPMToRawDistances) + the PrismConstant of the
// observation's TargetRecord. The station's scale factor is not applied: a
// level run wants the distance as measured. The rod height is the target
// record's TargetHeight. JobXML holds metres and decimal degrees.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError for XML that does not parse (with its line), a root
// element other than JOBFile, and records that name a missing station,
// target or atmosphere, lack a target height or hold a number that is not
// one (with the record's ID).
FieldBook ReadJobXml(std::string_view bytes);

// True when the first thing in `bytes`, after an optional byte-order mark
// and blanks, is "<": the file is meant to be XML.
bool LooksLikeXml(std::string_view bytes);

}  // namespace quarrow
