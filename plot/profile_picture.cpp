#include "plot/profile_picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "engine/file_paths.h"

namespace quarrow {

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ProfilePicture", text); }

QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string Bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

// Draws the canvas centred on a device of `size`, as large as it fits.
void DrawScaled(QPainter& painter, const ProfileData& data, QSizeF size) {
  const double scale = std::min(size.width() / kCanvasWidth, size.height() / kCanvasHeight);
  painter.translate((size.width() - kCanvasWidth * scale) / 2,
                    (size.height() - kCanvasHeight * scale) / 2);
  painter.scale(scale, scale);
  DrawProfile(painter, data, QLocale());
}

// The SVG's title as markup. Qt 6.4 writes the title as it is given, so a
// field file named "R&D.txt" would break the file; a later Qt may escape it
// itself. A tiny SVG drawn first tells which.
QString SvgTitle(const QString& title) {
  QBuffer probe_bytes;
  probe_bytes.open(QIODevice::WriteOnly);
  QSvgGenerator probe;
  probe.setOutputDevice(&probe_bytes);
  probe.setTitle(QStringLiteral("&"));
  QPainter painter(&probe);
  painter.end();
  return probe_bytes.data().contains("&amp;") ? title : title.toHtmlEscaped();
}

constexpr int kImageWidth = 1800;  // PNG pixels across; the canvas is scaled up to it

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
  data_.feet = rs_.UnitMark == '\'';
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

  const QString title = Tr("Profile of %1").arg(ShownText(data_.field_file));
  bool drawn = false;
  switch (*format) {
    case ProfileFormat::kSvg: {
      QSvgGenerator svg;
      svg.setOutputDevice(file_.get());
      svg.setSize(QSize(static_cast<int>(kCanvasWidth), static_cast<int>(kCanvasHeight)));
      svg.setViewBox(QRectF(0, 0, kCanvasWidth, kCanvasHeight));
      svg.setResolution(96);  // the canvas is laid out in pixels of a common screen
      svg.setTitle(SvgTitle(title));
      svg.setDescription(Tr("Adjusted elevations and sight balance of a level run"));
      QPainter painter;
      drawn = painter.begin(&svg);
      if (drawn) DrawProfile(painter, data_, QLocale());
      drawn = painter.end() && drawn;
      break;
    }
    case ProfileFormat::kPng: {
      const int height = static_cast<int>(std::lround(kImageWidth * kCanvasHeight / kCanvasWidth));
      QImage image(kImageWidth, height, QImage::Format_RGB32);
      if (image.isNull()) return Fail(Tr("There is not enough memory for the image."));
      image.setDotsPerMeterX(3780);  // 96 per inch
      image.setDotsPerMeterY(3780);
      QPainter painter(&image);
      DrawScaled(painter, data_, QSizeF(image.size()));
      painter.end();
      drawn = image.save(file_.get(), "PNG");
      break;
    }
    case ProfileFormat::kPdf: {
      QPdfWriter pdf(file_.get());
      pdf.setTitle(title);
      pdf.setCreator(QStringLiteral("Quarrow"));
      // Letter for a run in feet, A4 in metres: the paper the crew most
      // likely has.
      pdf.setPageLayout(QPageLayout(QPageSize(data_.feet ? QPageSize::Letter : QPageSize::A4),
                                    QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                    QPageLayout::Millimeter));
      pdf.setResolution(300);
      QPainter painter;
      drawn = painter.begin(&pdf);
      if (drawn) DrawScaled(painter, data_, QSizeF(pdf.width(), pdf.height()));
      drawn = painter.end() && drawn;
      break;
    }
  }
  if (!drawn || file_->error() != QFileDevice::NoError) {
    return Fail(file_->error() != QFileDevice::NoError ? file_->errorString()
                                                       : Tr("The picture could not be drawn."));
  }
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
