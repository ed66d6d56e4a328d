#include "plot/network_diagram.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include "plot/network_painting.h"
#include "plot/network_scene.h"
#include "plot/picture_file.h"
#include "plot/profile_format.h"

namespace quarrow {

namespace {

std::string Bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

NetworkDiagram::NetworkDiagram(std::string path) : DiagramOutput(std::move(path)) {}

NetworkDiagram::~NetworkDiagram() = default;

bool NetworkDiagram::Fail(const QString& reason) {
  error_ = Bytes(reason);
  file_.reset();  // the temporary file goes with it
  return false;
}

bool NetworkDiagram::Write(const DiagramData& data) {
  file_.reset();
  error_.clear();
  const std::optional<ProfileFormat> format = ProfileFormatOf(path());
  if (!format) return Fail(DiagramTr("Its name must end in .svg, .png or .pdf."));
  file_ = std::make_unique<QSaveFile>(
      QFile::decodeName(QByteArray(path().data(), static_cast<qsizetype>(path().size()))));
  if (!file_->open(QIODevice::WriteOnly)) return Fail(file_->errorString());

  const DiagramScene scene = ComputeDiagramScene(data, QLocale());
  PictureFacts facts;
  facts.title = scene.title;
  facts.description = DiagramTr("Marks and observations of an adjusted level network");
  facts.letter = data.units == Units::kFeet;
  QString error;
  const bool drawn = WritePicture(
      *file_, *format, facts, [&scene](QPainter& painter) { DrawNetworkDiagram(painter, scene); },
      error);
  if (file_->error() != QFileDevice::NoError) return Fail(file_->errorString());
  if (!drawn) return Fail(error);
  return true;
}

bool NetworkDiagram::Commit() {
  if (!file_) {
    if (error_.empty()) error_ = Bytes(DiagramTr("The diagram was not drawn."));
    return false;
  }
  const bool moved = file_->commit();
  if (!moved) error_ = Bytes(file_->errorString());
  file_.reset();
  return moved;
}

std::string NetworkDiagram::ErrorText() const { return error_; }

}  // namespace quarrow
