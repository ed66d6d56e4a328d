#include "convert/jobxml_records.h"

#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>
#include <cmath>

#include "convert/field_book.h"

namespace quarrow {

namespace {

// Qt's messages end with a full stop, most of the time.
QString Sentence(QString text) {
  if (!text.endsWith(u'.')) text += u'.';
  return text;
}

bool IsRecordType(QStringView name) {
  return name == u"PointRecord" || name == u"StationRecord" || name == u"TargetRecord" ||
         name == u"AtmosphereRecord" || name == u"BackBearingRecord";
}

JobRecord ReadRecord(QXmlStreamReader& xml) {
  JobRecord record;
  record.type = xml.name().toString();
  record.id = xml.attributes().value(QStringLiteral("ID")).toString();
  record.line = xml.lineNumber();
  QStringList path;
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      path.append(xml.name().toString());
      text.clear();
    } else if (xml.isCharacters()) {
      text += xml.text();
    } else if (xml.isEndElement()) {
      if (path.isEmpty()) break;  // the record's own end
      const QString key = path.join(u'/');
      if (record.fields.find(key) == record.fields.end()) record.fields[key] = text;
      text.clear();
      path.removeLast();
    }
  }
  return record;
}

}  // namespace

QString JobRecord::Field(const QString& path) const {
  const auto found = fields.find(path);
  return found == fields.end() ? QString() : found->second.trimmed();
}

bool JobRecord::HasUnder(const QString& prefix) const {
  const auto found = fields.lower_bound(prefix);
  return found != fields.end() && found->first.startsWith(prefix);
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::string RecordPlace(const JobRecord& record) {
  return "record " +
         (record.id.isEmpty() ? "on line " + std::to_string(record.line) : Utf8(record.id));
}

double RecordNumber(const JobRecord& record, const QString& path, const std::string& what) {
  bool ok = false;
  const double value = record.Field(path).toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    throw ConvertError(RecordPlace(record) + ": the " + what + " \"" + Utf8(record.Field(path)) +
                       "\" is not a number; expected digits with a \".\" decimal point.");
  }
  return value;
}

bool IsTrue(const QString& text) { return text.compare(u"true", Qt::CaseInsensitive) == 0; }

std::u32string Ucs4(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();
  return std::u32string(ucs4.begin(), ucs4.end());
}

std::vector<JobRecord> ReadJobRecords(std::string_view bytes) {
  QXmlStreamReader xml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  std::vector<JobRecord> records;
  bool root_seen = false;
  QStringList open;  // the elements around the reader, records excepted
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && !open.isEmpty()) open.removeLast();
    if (!xml.isStartElement()) continue;
    if (!root_seen) {
      root_seen = true;
      if (xml.name() != u"JOBFile") {
        throw ConvertError("line " + std::to_string(xml.lineNumber()) + ": the root element is <" +
                           Utf8(xml.name().toString()) + ">; a JobXML file's is <JOBFile>.");
      }
      open.append(xml.name().toString());
      continue;
    }
    const bool reduced_point =
        xml.name() == u"Point" && !open.isEmpty() && open.last() == u"Reductions";
    if (IsRecordType(xml.name()) || reduced_point) {
      records.push_back(ReadRecord(xml));
    } else {
      open.append(xml.name().toString());
    }
  }
  if (xml.hasError()) {
    throw ConvertError("line " + std::to_string(xml.lineNumber()) + ", column " +
                       std::to_string(xml.columnNumber()) +
                       ": the XML does not parse: " + Utf8(Sentence(xml.errorString())));
  }
  if (!root_seen) throw ConvertError("the file holds no XML element; expected <JOBFile>.");
  return records;
}

}  // namespace quarrow
