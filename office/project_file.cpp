#include "office/project_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <set>

#include "engine/code_pages.h"
#include "network/network_adjustment.h"

namespace quarrow {

namespace {

// A name that is not UTF-8 (a field file's Windows-1252 bytes) is written
// as its Windows-1252 characters, and the mark says so, so that reading the
// file gives back the very bytes the runs name.
constexpr const char* kNameCodePage = "name_code_page";
constexpr const char* kWindows1252 = "windows-1252";

QString NameText(const std::string& name, bool& code_page) {
  code_page = !IsValidUtf8(name);
  if (!code_page) return QString::fromStdString(name);
  std::string utf8;
  for (const char byte : name) {
    AppendUtf8(utf8, DecodeByte(static_cast<unsigned char>(byte), CodePage::kWindows1252));
  }
  return QString::fromStdString(utf8);
}

bool NameBytes(const QString& text, bool code_page, std::string& name) {
  if (!code_page) {
    name = text.toStdString();
    return true;
  }
  name.clear();
  for (const char32_t c : text.toUcs4()) {
    const int byte = EncodeChar(c, CodePage::kWindows1252);
    if (byte < 0) return false;
    name.push_back(static_cast<char>(byte));
  }
  return true;
}

QJsonValue Number(const std::optional<double>& value) {
  return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// The reading of one file: the first problem found, named by where it is.
class Reader {
 public:
  bool failed() const { return !error_.isEmpty(); }
  const QString& error() const { return error_; }
  void Fail(const QString& where, const QString& what) {
    if (error_.isEmpty()) error_ = where + QStringLiteral(": ") + what;
  }
  // A number or nothing at `key`; anything else is refused. `positive`
  // refuses zero and below.
  std::optional<double> OptionalNumber(const QJsonObject& object, const char* key,
                                       const QString& where, bool positive = false) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    if (!value.isDouble() || !std::isfinite(value.toDouble())) {
      Fail(where, QStringLiteral("\"%1\" is not a number.").arg(QLatin1String(key)));
      return std::nullopt;
    }
    if (positive && !(value.toDouble() > 0)) {
      Fail(where, QStringLiteral("\"%1\" is not a positive number.").arg(QLatin1String(key)));
      return std::nullopt;
    }
    return value.toDouble();
  }

 private:
  QString error_;
};

int LineOfOffset(const QByteArray& bytes, int offset) {
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

void ReadOptions(const QJsonObject& object, ProjectOptions& options, Reader& reader) {
  const QString where = QStringLiteral("options");
  const QString units = object.value(QLatin1String("units")).toString(QStringLiteral("feet"));
  if (units == QLatin1String("feet")) {
    options.units = Units::kFeet;
  } else if (units == QLatin1String("metric")) {
    options.units = Units::kMetric;
  } else {
    reader.Fail(where,
                QStringLiteral("\"units\" is \"%1\", not \"feet\" or \"metric\".").arg(units));
  }
  options.refraction_k = reader.OptionalNumber(object, "refraction_k", where);
  if (options.refraction_k && !(*options.refraction_k >= 0 && *options.refraction_k < 1)) {
    reader.Fail(where, QStringLiteral("\"refraction_k\" must be at least 0 and below 1."));
  }
  const QString distribution =
      object.value(QLatin1String("distribution")).toString(QStringLiteral("distance"));
  if (distribution != QLatin1String("distance") && distribution != QLatin1String("setups")) {
    reader.Fail(where, QStringLiteral("\"distribution\" is \"%1\", not \"distance\" or \"setups\".")
                           .arg(distribution));
  }
  options.distribute_by_setups = distribution == QLatin1String("setups");
  if (object.contains(QLatin1String("sigma"))) {
    options.sigma_millimetres.clear();
    const QJsonObject sigma = object.value(QLatin1String("sigma")).toObject();
    for (auto entry = sigma.begin(); entry != sigma.end(); ++entry) {
      const QJsonValue value = entry.value();
      if (!value.isDouble() || !(value.toDouble() > 0) || !std::isfinite(value.toDouble())) {
        reader.Fail(
            where,
            QStringLiteral("the sigma of group \"%1\" is not a positive number.").arg(entry.key()));
        continue;
      }
      options.sigma_millimetres[entry.key().toStdString()] = value.toDouble();
    }
  }
  if (object.contains(QLatin1String("orders"))) {
    options.orders.clear();
    for (const QJsonValue& value : object.value(QLatin1String("orders")).toArray()) {
      const std::string order = value.toString().toStdString();
      const auto& known = KnownOrders();
      if (std::find(known.begin(), known.end(), order) == known.end()) {
        reader.Fail(where, QStringLiteral("\"%1\" is no FGCS order (first-i, first-ii, second-i, "
                                          "second-ii, third).")
                               .arg(value.toString()));
        continue;
      }
      options.orders.push_back(order);
    }
  }
}

ProjectMark ReadMark(const QJsonValue& value, int index, Reader& reader) {
  ProjectMark mark;
  const QString where = QStringLiteral("marks[%1]").arg(index);
  const QJsonObject object = value.toObject();
  const QString name = object.value(QLatin1String("name")).toString();
  if (!value.isObject() || name.trimmed().isEmpty()) {
    reader.Fail(where, QStringLiteral("a mark needs a \"name\"."));
    return mark;
  }
  const bool code_page =
      object.value(QLatin1String(kNameCodePage)).toString() == QLatin1String(kWindows1252);
  if (!NameBytes(name, code_page, mark.name)) {
    reader.Fail(where,
                QStringLiteral("the name %1 has characters Windows-1252 cannot hold.").arg(name));
  }
  mark.elevation = reader.OptionalNumber(object, "elevation", where);
  mark.std_dev = reader.OptionalNumber(object, "standard_deviation", where, true);
  mark.easting = reader.OptionalNumber(object, "easting", where);
  mark.northing = reader.OptionalNumber(object, "northing", where);
  return mark;
}

}  // namespace

QString MarkNameText(const std::string& name) {
  bool code_page = false;
  return NameText(name, code_page);
}

double ProjectOptions::TrigSigma() const {
  const auto trig = sigma_millimetres.find(std::string(kTrigGroup));
  return trig == sigma_millimetres.end() ? kDefaultSigmaMillimetres : trig->second;
}

const std::vector<std::string>& KnownOrders() {
  static const std::vector<std::string> orders = {"first-i", "first-ii", "second-i", "second-ii",
                                                  "third"};
  return orders;
}

QByteArray ProjectJson(const Project& project, const QString& folder) {
  const QDir base(folder);
  QJsonArray runs;
  for (const QString& run : project.runs) runs.append(base.relativeFilePath(run));
  QJsonArray marks;
  for (const ProjectMark& mark : project.marks) {
    QJsonObject object;
    bool code_page = false;
    object.insert(QStringLiteral("name"), NameText(mark.name, code_page));
    if (code_page) object.insert(QLatin1String(kNameCodePage), QLatin1String(kWindows1252));
    object.insert(QStringLiteral("elevation"), Number(mark.elevation));
    if (mark.std_dev) object.insert(QStringLiteral("standard_deviation"), *mark.std_dev);
    if (mark.easting) object.insert(QStringLiteral("easting"), *mark.easting);
    if (mark.northing) object.insert(QStringLiteral("northing"), *mark.northing);
    marks.append(object);
  }
  const ProjectOptions& options = project.options;
  QJsonObject sigma;
  for (const auto& [group, value] : options.sigma_millimetres) {
    sigma.insert(QString::fromStdString(group), value);
  }
  QJsonArray orders;
  for (const std::string& order : options.orders) orders.append(QString::fromStdString(order));
  QJsonObject options_object;
  options_object.insert(QStringLiteral("units"), QString::fromLatin1(UnitsName(options.units)));
  options_object.insert(QStringLiteral("refraction_k"), Number(options.refraction_k));
  options_object.insert(QStringLiteral("distribution"), options.distribute_by_setups
                                                            ? QStringLiteral("setups")
                                                            : QStringLiteral("distance"));
  options_object.insert(QStringLiteral("sigma"), sigma);
  options_object.insert(QStringLiteral("orders"), orders);

  QJsonObject root;
  root.insert(QStringLiteral("format"), QLatin1String(kProjectFormat));
  root.insert(QStringLiteral("version"), kProjectVersion);
  root.insert(QStringLiteral("runs"), runs);
  root.insert(QStringLiteral("marks"), marks);
  root.insert(QStringLiteral("options"), options_object);
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Project> ReadProjectJson(const QByteArray& bytes, const QString& folder,
                                       QString& error) {
  QJsonParseError parse{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
  if (parse.error != QJsonParseError::NoError) {
    error = QStringLiteral("line %1: this is not JSON (%2).")
                .arg(LineOfOffset(bytes, parse.offset))
                .arg(parse.errorString());
    return std::nullopt;
  }
  const QJsonObject root = document.object();
  if (!document.isObject() ||
      root.value(QLatin1String("format")).toString() != QLatin1String(kProjectFormat)) {
    error =
        QStringLiteral("this is no Quarrow Office project (it does not say \"format\": \"%1\").")
            .arg(QLatin1String(kProjectFormat));
    return std::nullopt;
  }
  const QJsonValue version = root.value(QLatin1String("version"));
  if (!version.isDouble() || version.toDouble() < 1 ||
      version.toDouble() != std::floor(version.toDouble())) {
    error = QStringLiteral("the project has no version number.");
    return std::nullopt;
  }
  if (version.toDouble() > kProjectVersion) {
    error = QStringLiteral(
                "the project was saved by a newer Quarrow Office (project version %1); this one "
                "reads version %2 and earlier. Open it with a newer Quarrow Office; it was not "
                "changed.")
                .arg(version.toInt())
                .arg(kProjectVersion);
    return std::nullopt;
  }

  Project project;
  Reader reader;
  const QDir base(folder);
  const QJsonArray runs = root.value(QLatin1String("runs")).toArray();
  QSet<QString> listed;
  for (int i = 0; i < runs.size(); ++i) {
    const QString run = runs.at(i).toString();
    if (run.isEmpty()) {
      reader.Fail(QStringLiteral("runs[%1]").arg(i), QStringLiteral("a run needs a file name."));
      continue;
    }
    const QString path = QDir::cleanPath(base.absoluteFilePath(run));
    if (listed.contains(path)) {
      reader.Fail(QStringLiteral("runs[%1]").arg(i),
                  QStringLiteral("%1 is listed twice.").arg(run));
      continue;
    }
    project.runs.append(path);
    listed.insert(path);
  }
  const QJsonArray marks = root.value(QLatin1String("marks")).toArray();
  for (int i = 0; i < marks.size(); ++i) {
    ProjectMark mark = ReadMark(marks.at(i), i, reader);
    for (const ProjectMark& earlier : project.marks) {
      if (earlier.name == mark.name) {
        reader.Fail(
            QStringLiteral("marks[%1]").arg(i),
            QStringLiteral("the mark %1 is listed twice.").arg(QString::fromStdString(mark.name)));
      }
    }
    project.marks.push_back(std::move(mark));
  }
  ReadOptions(root.value(QLatin1String("options")).toObject(), project.options, reader);
  if (reader.failed()) {
    error = reader.error();
    return std::nullopt;
  }
  return project;
}

std::optional<Project> LoadProjectFile(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("%1: the project cannot be opened: %2.").arg(path, file.errorString());
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = QStringLiteral("%1: the project cannot be read: %2.").arg(path, file.errorString());
    return std::nullopt;
  }
  std::optional<Project> project = ReadProjectJson(bytes, QFileInfo(path).absolutePath(), error);
  if (!project) error = path + QStringLiteral(", ") + error;
  return project;
}

bool SaveProjectFile(const Project& project, const QString& path, QString& error) {
  QSaveFile file(path);
  const QByteArray bytes = ProjectJson(project, QFileInfo(path).absolutePath());
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    error = QStringLiteral("%1: the project cannot be saved: %2. Any earlier file is as it was.")
                .arg(path, file.errorString());
    return false;
  }
  return true;
}

}  // namespace quarrow
