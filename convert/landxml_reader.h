#pragma once

// Reading the survey observations of LandXML 1.2 (.xml), as office packages
// export them and Leica Captivate writes them (HeXML, LandXML with Leica's
// own elements added, reads the same; the additions are passed over).
//
// The elements used:
//   Units/Metric or Units/Imperial  linearUnit (meter, millimeter, foot,
//       USSurveyFoot) and angularUnit (decimal degrees, decimal dd.mm.ss,
//       grads, radians) for every number in the file.
//   Survey/InstrumentSetup  a setup, standing on stationName (or its
//       InstrumentPoint's pntRef); instrumentHeight is not needed. Its
//       Backsight/BacksightPoint names the point it backsights.
//   RawObservation  inside its InstrumentSetup, or naming it by setupID (its
//       own, or its ObservationGroup's): zenithAngle; slopeDistance, or
//       horizDistance turned into a slope distance with the zenith;
//       targetHeight, the rod; the point its TargetPoint names by pntRef (or
//       name). purpose="backsight" and "foresight" mark the roles;
//       purpose="check" is a check shot, passed over; sideshot, normal,
//       traverse and the rest are observations whose role the next setup's
//       backsight decides. Without a distance it is angle-only, passed over
//       and counted.
//   CgPoints/CgPoint, GPSPosition, GPSVector  coordinates and GNSS results:
//       what a file without observations holds.
// Everything else is passed over.

#include <string_view>

#include "convert/field_book.h"

namespace quarrow {

// Throws ConvertError naming the line for XML that does not parse, a root
// other than LandXML (or a namespace of another LandXML than 1.x), units it
// does not know, an observation of no setup, without a zenith or a rod
// height, a number that is not one, and a file without observations
// (saying whether it holds GNSS results, coordinates or only angles).
FieldBook ReadLandXml(std::string_view bytes);

}  // namespace quarrow
