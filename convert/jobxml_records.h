#pragma once

// The records of a Trimble JobXML file, in document order, as flat maps of
// their elements' text: what the JobXML reader needs of the XML.

#include <QString>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// One record of the FieldBook (or one Point of the Reductions): its type,
// its ID and the text of every element inside it, keyed by path
// ("Circle/VerticalCircle"). A path that repeats keeps its first text.
struct JobRecord {
  QString type;  // "PointRecord", "StationRecord"..., "Point" for a reduced point
  QString id;
  std::map<QString, QString> fields;
  qint64 line = 0;

  // The element's text without its outer blanks; "" when it is missing.
  QString Field(const QString& path) const;
  bool Has(const QString& path) const { return !Field(path).isEmpty(); }
  // True when some element's path starts with `prefix`, text or none.
  bool HasUnder(const QString& prefix) const;
};

// Reads the PointRecord, StationRecord, TargetRecord, AtmosphereRecord and
// BackBearingRecord elements anywhere in the document, and the Point
// elements of its Reductions. Throws ConvertError for XML that does not
// parse (with its line and column) and a root element other than JOBFile.
std::vector<JobRecord> ReadJobRecords(std::string_view bytes);

std::string Utf8(const QString& text);

// "record 0000001f", or "record on line 12" for a record without an ID.
std::string RecordPlace(const JobRecord& record);

// The element's text as a finite number. Throws ConvertError naming the
// record and `what` otherwise.
double RecordNumber(const JobRecord& record, const QString& path, const std::string& what);

bool IsTrue(const QString& text);

std::u32string Ucs4(const QString& text);

}  // namespace quarrow
