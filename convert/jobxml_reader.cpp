#include "convert/jobxml_reader.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <cmath>
#include <map>
#include <optional>

namespace quarrow {

namespace {

// One record of the FieldBook: its ID and the text of every element inside
// it, keyed by path ("Circle/VerticalCircle").
struct Record {
  QString type;
  QString id;
  std::map<QString, QString> fields;
  qint64 line = 0;

  QString Field(const QString& path) const {
    const auto found = fields.find(path);
    return found == fields.end() ? QString() : found->second.trimmed();
  }
  bool Has(const QString& path) const { return !Field(path).isEmpty(); }
};

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::string RecordPlace(const Record& record) {
  return "record " +
         (record.id.isEmpty() ? "on line " + std::to_string(record.line) : Utf8(record.id));
}

// Qt's messages end with a full stop, most of the time.
QString Sentence(QString text) {
  if (!text.endsWith(u'.')) text += u'.';
  return text;
}

bool IsRecordType(QStringView name) {
  return name == u"PointRecord" || name == u"StationRecord" || name == u"TargetRecord" ||
         name == u"AtmosphereRecord" || name == u"BackBearingRecord";
}

Record ReadRecord(QXmlStreamReader& xml) {
  Record record;
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

double Number(const Record& record, const QString& path, const std::string& what) {
  bool ok = false;
  const double value = record.Field(path).toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    throw ConvertError(RecordPlace(record) + ": the " + what + " \"" + Utf8(record.Field(path)) +
                       "\" is not a number.");
  }
  return value;
}

bool IsTrue(const QString& text) { return text.compare(u"true", Qt::CaseInsensitive) == 0; }

std::u32string Name(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();
  return std::u32string(ucs4.begin(), ucs4.end());
}

std::vector<Record> ReadRecords(std::string_view bytes) {
  QXmlStreamReader xml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  std::vector<Record> records;
  bool root_seen = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (!root_seen) {
      root_seen = true;
      if (xml.name() != u"JOBFile") {
        throw ConvertError("line " + std::to_string(xml.lineNumber()) + ": the root element is <" +
                           Utf8(xml.name().toString()) + ">; a JobXML file's is <JOBFile>.");
      }
      continue;
    }
    if (IsRecordType(xml.name())) records.push_back(ReadRecord(xml));
  }
  if (xml.hasError()) {
    throw ConvertError("line " + std::to_string(xml.lineNumber()) + ", column " +
                       std::to_string(xml.columnNumber()) +
                       ": the XML does not parse: " + Utf8(Sentence(xml.errorString())));
  }
  if (!root_seen) throw ConvertError("the file holds no XML element; expected <JOBFile>.");
  return records;
}

// Direct readings only: means and other computed observations repeat
// readings that are in the file already.
bool IsDirectReading(const Record& point) {
  const QString method = point.Field(QStringLiteral("Method"));
  return method.isEmpty() || method == u"DirectReading";
}

bool IsObservation(const Record& point) {
  return point.Has(QStringLiteral("Circle/VerticalCircle")) &&
         point.Has(QStringLiteral("Circle/EDMDistance")) &&
         !IsTrue(point.Field(QStringLiteral("Deleted"))) && IsDirectReading(point) &&
         point.Field(QStringLiteral("Classification")) != u"Check";
}

}  // namespace

bool LooksLikeXml(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::size_t pos = 0;
  while (pos < bytes.size() &&
         (bytes[pos] == ' ' || bytes[pos] == '\t' || bytes[pos] == '\r' || bytes[pos] == '\n')) {
    ++pos;
  }
  return pos < bytes.size() && bytes[pos] == '<';
}

FieldBook ReadJobXml(std::string_view bytes) {
  const std::vector<Record> records = ReadRecords(bytes);
  FieldBook book;
  book.kind = "JobXML";

  std::map<QString, const Record*> targets;
  std::map<QString, const Record*> atmospheres;
  std::map<QString, std::size_t> setup_of_station;
  std::vector<const Record*> stations;
  for (const Record& r : records) {
    if (r.type == u"TargetRecord") targets[r.id] = &r;
    if (r.type == u"AtmosphereRecord") atmospheres[r.id] = &r;
    if (r.type == u"StationRecord") {
      setup_of_station[r.id] = stations.size();
      stations.push_back(&r);
      book.setups.push_back(SetupReadings{RecordPlace(r), {}, std::nullopt, std::nullopt});
    }
  }

  const Record* last_atmosphere = nullptr;
  std::optional<std::size_t> current_setup;
  for (const Record& r : records) {
    if (r.type == u"AtmosphereRecord") last_atmosphere = &r;
    if (r.type == u"StationRecord") current_setup = setup_of_station[r.id];
    if (r.type == u"BackBearingRecord") {
      // The back bearing belongs to the station it names, or else to the
      // station set up just before it.
      std::optional<std::size_t> setup = current_setup;
      const QString station = r.Field(QStringLiteral("StationRecordID"));
      if (!station.isEmpty()) {
        const auto found = setup_of_station.find(station);
        if (found == setup_of_station.end()) {
          throw ConvertError(RecordPlace(r) + ": the back bearing names the station record " +
                             Utf8(station) + ", which is not in the file.");
        }
        setup = found->second;
      }
      if (setup && r.Has(QStringLiteral("BackSight"))) {
        book.setups[*setup].backsight_name = Name(r.Field(QStringLiteral("BackSight")));
      }
    }
    if (r.type != u"PointRecord" || !IsObservation(r)) continue;

    Reading reading;
    reading.name = Name(r.fields.count(QStringLiteral("Name")) ? r.fields.at(QStringLiteral("Name"))
                                                               : QString());
    reading.place = RecordPlace(r);
    const QString station_id = r.Field(QStringLiteral("StationID"));
    const auto station = setup_of_station.find(station_id);
    if (station == setup_of_station.end()) {
      throw ConvertError(reading.place + ": point " + QuotedName(reading.name) +
                         " names the station record \"" + Utf8(station_id) +
                         "\", which is not in the file.");
    }
    const Record& station_record = *stations[station->second];
    const QString target_id = r.Field(QStringLiteral("TargetID"));
    const auto target = targets.find(target_id);
    if (target == targets.end()) {
      throw ConvertError(reading.place + ": point " + QuotedName(reading.name) +
                         " names the target record \"" + Utf8(target_id) +
                         "\", which is not in the file.");
    }
    const Record& target_record = *target->second;
    if (!target_record.Has(QStringLiteral("TargetHeight"))) {
      throw ConvertError(reading.place + ": point " + QuotedName(reading.name) +
                         " uses the target " + RecordPlace(target_record) +
                         ", which has no target height.");
    }
    reading.rod = Number(target_record, QStringLiteral("TargetHeight"), "target height");
    const double prism_constant =
        target_record.Has(QStringLiteral("PrismConstant"))
            ? Number(target_record, QStringLiteral("PrismConstant"), "prism constant")
            : 0.0;

    const Record* atmosphere = last_atmosphere;
    const QString atmosphere_id = station_record.Field(QStringLiteral("AtmosphereID"));
    if (!atmosphere_id.isEmpty()) {
      const auto found = atmospheres.find(atmosphere_id);
      if (found == atmospheres.end()) {
        throw ConvertError(RecordPlace(station_record) +
                           ": the station names the atmosphere "
                           "record \"" +
                           Utf8(atmosphere_id) + "\", which is not in the file.");
      }
      atmosphere = found->second;
    }
    double scale = 1;
    if (atmosphere != nullptr &&
        IsTrue(atmosphere->Field(QStringLiteral("ApplyPPMToRawDistances"))) &&
        atmosphere->Has(QStringLiteral("PPM"))) {
      scale += Number(*atmosphere, QStringLiteral("PPM"), "PPM") * 1e-6;
    }

    const double vertical =
        Number(r, QStringLiteral("Circle/VerticalCircle"), "vertical circle reading");
    if (vertical < 0 || vertical >= 360) {
      throw ConvertError(reading.place + ": point " + QuotedName(reading.name) +
                         " has a vertical circle reading outside 0 to 360 degrees.");
    }
    reading.zenith = vertical * 3600.0;
    const double edm = Number(r, QStringLiteral("Circle/EDMDistance"), "EDM distance");
    reading.slope = edm * scale + prism_constant;
    if (edm <= 0 || reading.slope <= 0) {
      throw ConvertError(reading.place + ": point " + QuotedName(reading.name) +
                         " has no positive slope distance.");
    }

    SetupReadings& setup = book.setups[station->second];
    if (r.Field(QStringLiteral("Classification")) == u"BackSight" && !setup.backsight_reading) {
      setup.backsight_reading = setup.readings.size();
    }
    setup.readings.push_back(reading);
  }
  return book;
}

}  // namespace quarrow
