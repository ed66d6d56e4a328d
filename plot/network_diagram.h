#pragma once

// The network diagram: the marks of an adjusted level network as symbols,
// its observations as lines coloured by their standardized residuals, the
// loops that fail third order shaded, with a legend and the report's
// summary. Marks with coordinates stand at them, north up, at one scale; the
// others are placed by a graph layout (plot/network_layout.h). Drawn into a
// temporary file that only Commit moves into place. Numbers and the date are
// written in the default QLocale's form.

#include <QString>
#include <memory>
#include <string>

#include "plot/network_diagram_module.h"

class QSaveFile;

namespace quarrow {

class NetworkDiagram : public DiagramOutput {
 public:
  explicit NetworkDiagram(std::string path);
  ~NetworkDiagram() override;

  bool Write(const DiagramData& data) override;
  bool Commit() override;
  std::string ErrorText() const override;

 private:
  bool Fail(const QString& reason);

  std::unique_ptr<QSaveFile> file_;
  std::string error_;
};

}  // namespace quarrow
