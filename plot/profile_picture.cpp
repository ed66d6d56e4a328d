#include "plot/profile_picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "engine/file_paths.h"
#include "plot/picture_file.h"

namespace quarrow {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ProfilePicture", text); }

QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string Bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

ProfilePicture::ProfilePicture(const RunState& rs, std::string path, CivilDate date)
    : RunOutput(std::move(path)), rs_(rs), date_(date) {}

ProfilePicture::~ProfilePicture() = default;

std::optional<ProfileFormat> ProfilePicture::FormatOf(std::string_view path) {
  return ProfileFormatOf(path);
}

void ProfilePicture::Begin(const ThirdOrderVerdict& verdict) {
  data_ = ProfileData{};
  data_.field_file = FileName(rs_.InputPath);
  data_.units = UnitsOfMark(rs_.UnitMark);
  data_.date = date_;
  data_.run_length = rs_.RunLength;
  data_.misclosure = rs_.Misclosure;
  data_.allowed_error = rs_.AllowedError;
  data_.max_diff = rs_.MaxDiff;
  data_.meets = verdict.Meets();
  // ShotPattern has a "0" per setup: the room for a run is taken once.
  const auto setups =
      static_cast<std::size_t>(std::count(rs_.ShotPattern.begin(), rs_.ShotPattern.end(), '0'));
  const std::size_t sides = rs_.ShotPattern.size() - setups;
  data_.mark_distance.reserve(setups + 1);
  data_.mark_elevation.reserve(setups + 1);
  data_.setup_end.reserve(setups);
  data_.setup_difference.reserve(setups);
  data_.side_distance.reserve(sides);
  data_.side_elevation.reserve(sides);
  last_turn_slot_ = last_side_slot_ = -1;
  turn_names_in_slot_ = side_names_in_slot_ = 0;
  slot_width_ = std::isfinite(rs_.RunLength) && rs_.RunLength > 0 ? rs_.RunLength / kLabelSlots : 0;
}

void ProfilePicture::Point(const RunPoint& point) {
  const bool side = point.role == PointRole::kSide;
  (side ? data_.side_distance : data_.mark_distance).push_back(point.distance);
  (side ? data_.side_elevation : data_.mark_elevation).push_back(point.adjusted_elevation);

  bool keep_name = point.role == PointRole::kBegin || point.role == PointRole::kEnd;
  if (!keep_name) {
    // One name per slot along the run for turning points, three for side
    // shots (a setup often has several, one above another); with no usable
    // run length, the first few hundred names.
    std::int64_t& last_slot = side ? last_side_slot_ : last_turn_slot_;
    std::int64_t slot = last_slot + 1;
    if (slot_width_ > 0 && std::isfinite(point.distance)) {
      slot = static_cast<std::int64_t>(
          std::clamp(point.distance / slot_width_, -1.0, static_cast<double>(kLabelSlots) + 1));
    }
    int& names_in_slot = side ? side_names_in_slot_ : turn_names_in_slot_;
    if (slot != last_slot) names_in_slot = 0;
    keep_name = names_in_slot < (side ? 3 : 1) && data_.labels.size() < 6 * kLabelSlots;
    if (keep_name) ++names_in_slot;
    last_slot = slot;
  }
  if (keep_name) {
    data_.labels.push_back(ProfileLabel{point.distance, point.adjusted_elevation, point.role,
                                        std::string(point.name)});
  }
}

void ProfilePicture::Setup(const SetupSights& setup) {
  const double start = data_.setup_end.empty() ? 0 : data_.setup_end.back();
  data_.setup_end.push_back(start + setup.backsight_distance + setup.foresight_distance);
  data_.setup_difference.push_back(setup.backsight_distance - setup.foresight_distance);
}

bool ProfilePicture::Fail(const QString& reason) {
  // The caller names the file: the reason is all that is said here.
  error_ = Bytes(reason);
  file_.reset();
  return false;
}

bool ProfilePicture::Finish() {
  file_.reset();
  error_.clear();
  const std::optional<ProfileFormat> format = FormatOf(path());
  if (!format) return Fail(Tr("Its name must end in .svg, .png or .pdf."));
  file_ = std::make_unique<QSaveFile>(PathText(path()));
  if (!file_->open(QIODevice::WriteOnly)) return Fail(file_->errorString());

  PictureFacts facts;
  facts.title = Tr("Profile of %1").arg(ShownText(data_.field_file));
  facts.description = Tr("Adjusted elevations and sight balance of a level run");
  // Letter for a run in feet, A4 in metres: the paper the crew most likely
  // has.
  facts.letter = data_.units == Units::kFeet;
  QString error;
  const bool drawn = WritePicture(
      *file_, *format, facts, [this](QPainter& painter) { DrawProfile(painter, data_, QLocale()); },
      error);
  if (file_->error() != QFileDevice::NoError) return Fail(file_->errorString());
  if (!drawn) return Fail(error);
  return true;
}

bool ProfilePicture::Commit() {
  if (!file_) {
    if (error_.empty()) error_ = Bytes(Tr("The picture was not drawn."));
    return false;
  }
  const bool moved = file_->commit();
  if (!moved) {
    error_ = Bytes(file_->errorString());
  }
  file_.reset();
  return moved;
}

std::string ProfilePicture::ErrorText() const { return error_; }

}  // namespace quarrow
