#include "plot/network_diagram.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>
#include <thread>

#include "plot/network_scene.h"
#include "plot/palette.h"
#include "tests/plot/network_samples.h"

namespace quarrow {
namespace {

using network_samples::Example;
using network_samples::ExamplePartly;
using network_samples::ExampleWithBlunder;
using network_samples::Grid;

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::string Path(const QTemporaryDir& dir, const char* name) {
  return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

QByteArray Contents(const std::string& path) {
  QFile file(QFile::decodeName(path.c_str()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray DrawnSvg(const DiagramData& data) {
  QTemporaryDir dir;
  const std::string path = Path(dir, "network.svg");
  NetworkDiagram diagram(path);
  EXPECT_TRUE(diagram.Write(data)) << diagram.ErrorText();
  EXPECT_TRUE(diagram.Commit()) << diagram.ErrorText();
  return Contents(path);
}

// What an SVG from QSvgGenerator draws: its texts, with their weight, and
// its two-point polylines, with the stroke of the group they are in.
struct SvgText {
  QString text;
  bool bold = false;
};
struct SvgLine {
  QPointF from, to;
  QString stroke;
  double width = 0;
};
struct Svg {
  std::vector<SvgText> texts;
  std::vector<SvgLine> lines;
  int count(const QString& text) const {
    return static_cast<int>(std::count_if(texts.begin(), texts.end(),
                                          [&](const SvgText& t) { return t.text == text; }));
  }
};

Svg ParseSvg(const QByteArray& bytes) {
  Svg svg;
  QXmlStreamReader reader(bytes);
  std::vector<QXmlStreamAttributes> groups;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::EndElement && reader.name() == u"g" && !groups.empty()) {
      groups.pop_back();
    }
    if (token != QXmlStreamReader::StartElement) continue;
    if (reader.name() == u"g") {
      groups.push_back(reader.attributes());
    } else if (reader.name() == u"text") {
      const bool bold = reader.attributes().value("font-weight") == u"700";
      svg.texts.push_back(
          {reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(), bold});
    } else if (reader.name() == u"polyline" && !groups.empty()) {
      const QStringList pairs =
          reader.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
      if (pairs.size() != 2) continue;
      auto point = [](const QString& pair) {
        const QStringList xy = pair.split(',');
        return QPointF(xy.value(0).toDouble(), xy.value(1).toDouble());
      };
      svg.lines.push_back({point(pairs[0]), point(pairs[1]),
                           groups.back().value("stroke").toString(),
                           groups.back().value("stroke-width").toDouble()});
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return svg;
}

bool Near(QPointF a, QPointF b, double within = 0.01) {
  return std::hypot(a.x() - b.x(), a.y() - b.y()) <= within;
}

DiagramObservation Joining(std::int64_t from, std::int64_t to, const std::string& label) {
  DiagramObservation observation;
  observation.from = from;
  observation.to = to;
  observation.label = label;
  return observation;
}

// Marks placed only by the layout: a network with no coordinates at all.
DiagramData Star(int spokes) {
  DiagramData data;
  data.marks.push_back({"HUB", DiagramMarkKind::kFixed, std::nullopt, 10});
  for (int i = 0; i < spokes; ++i) {
    data.marks.push_back({"S" + std::to_string(i), DiagramMarkKind::kAdjusted, std::nullopt, 11});
    data.observations.push_back(Joining(0, i + 1, std::to_string(i + 1)));
  }
  return data;
}

DiagramData Unjoined(int marks) {
  DiagramData data;
  for (int i = 0; i < marks; ++i) {
    data.marks.push_back({"U" + std::to_string(i), DiagramMarkKind::kAdjusted, std::nullopt, 1});
  }
  return data;
}

struct Sample {
  const char* case_name;
  DiagramData data;
};

std::vector<Sample> Samples() {
  DiagramData parallel = Example();
  parallel.observations.push_back({0, 3, "7", DiagramObservationKind::kLevelledLine, 0.5});
  parallel.observations.push_back({3, 0, "8", DiagramObservationKind::kLevelledLine, 0.2});
  return {{"example, schematic", Example()},
          {"example, to scale", ExampleWithBlunder()},
          {"example, partly to scale", ExamplePartly()},
          {"three observations between two marks", parallel},
          {"grid, schematic", Grid(6)},
          {"grid, partly to scale", Grid(8, 3)},
          {"star", Star(24)},
          {"marks joined by nothing", Unjoined(30)}};
}

TEST(ComputeDiagramScene, EveryMarkOnceAndEveryLineJoinsItsMarks) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.case_name);
    const DiagramScene scene = ComputeDiagramScene(sample.data, QLocale());
    ASSERT_EQ(scene.marks.size(), sample.data.marks.size());
    for (const SceneMark& mark : scene.marks) {
      EXPECT_TRUE(kDiagramMap.contains(mark.centre)) << mark.name.text.toStdString();
      EXPECT_TRUE(kDiagramMap.contains(mark.name.box)) << mark.name.text.toStdString();
    }
    std::vector<int> drawn(sample.data.observations.size(), 0);
    for (const SceneLine& line : scene.lines) {
      ASSERT_LT(line.observation, drawn.size());
      ++drawn[line.observation];
      const DiagramObservation& observation = sample.data.observations[line.observation];
      EXPECT_TRUE(Near(line.from, scene.marks[observation.from].centre, 1e-9));
      EXPECT_TRUE(Near(line.to, scene.marks[observation.to].centre, 1e-9));
      EXPECT_TRUE(Near(line.At(0), line.from) && Near(line.At(1), line.to));
    }
    for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_EQ(drawn[i], 1) << "observation " << i;
  }
}

TEST(ComputeDiagramScene, NoTwoMarksOnOneSpotWithoutCoordinates) {
  for (const Sample& sample : Samples()) {
    if (sample.data.marks.empty() || sample.data.marks[0].position) continue;
    SCOPED_TRACE(sample.case_name);
    const DiagramScene scene = ComputeDiagramScene(sample.data, QLocale());
    for (std::size_t i = 0; i < scene.marks.size(); ++i) {
      for (std::size_t j = i + 1; j < scene.marks.size(); ++j) {
        const QPointF d = scene.marks[i].centre - scene.marks[j].centre;
        EXPECT_GT(std::hypot(d.x(), d.y()), 3 * scene.mark_radius)
            << scene.marks[i].name.text.toStdString() << " and "
            << scene.marks[j].name.text.toStdString();
        EXPECT_FALSE(scene.marks[i].name.box.intersects(scene.marks[j].name.box))
            << scene.marks[i].name.text.toStdString() << " and "
            << scene.marks[j].name.text.toStdString();
      }
    }
  }
}

// The office lays networks out on a pool of threads, and Graphviz keeps its
// state in globals: layouts on several threads at once must not corrupt
// each other. (They need not agree to the pixel: sfdp carries some of its
// working state from one layout to the next within a process.)
TEST(ComputeDiagramScene, LayoutsOnSeveralThreadsAtOnce) {
  const DiagramData data = Grid(24);  // laid out by sfdp, overlaps removed
  std::vector<DiagramScene> scenes(4);
  std::vector<std::thread> threads;
  for (DiagramScene& scene : scenes) {
    threads.emplace_back([&data, &scene] { scene = ComputeDiagramScene(data, QLocale()); });
  }
  for (std::thread& thread : threads) thread.join();
  for (const DiagramScene& scene : scenes) {
    ASSERT_EQ(scene.marks.size(), data.marks.size());
    for (std::size_t i = 0; i < scene.marks.size(); ++i) {
      for (std::size_t j = i + 1; j < scene.marks.size(); ++j) {
        const QPointF d = scene.marks[i].centre - scene.marks[j].centre;
        ASSERT_GT(std::hypot(d.x(), d.y()), 3 * scene.mark_radius) << i << " and " << j;
      }
    }
  }
}

// Marks with coordinates stand where they say, north up, at one scale for
// both axes; the marks placed among them do not disturb that.
TEST(ComputeDiagramScene, PositionedMarksAtTheirCoordinates) {
  for (const Sample& sample : Samples()) {
    std::vector<std::size_t> positioned;
    for (std::size_t i = 0; i < sample.data.marks.size(); ++i) {
      if (sample.data.marks[i].position) positioned.push_back(i);
    }
    if (positioned.size() < 2) continue;
    SCOPED_TRACE(sample.case_name);
    const DiagramScene scene = ComputeDiagramScene(sample.data, QLocale());
    EXPECT_NE(scene.placement, MapPlacement::kSchematic);
    EXPECT_TRUE(scene.scale_bar.has_value());
    const std::size_t first = positioned[0];
    auto ground = [&](std::size_t i) {
      return QPointF(sample.data.marks[i].position->easting,
                     sample.data.marks[i].position->northing);
    };
    const std::size_t second = positioned[1];
    const QPointF ground_step = ground(second) - ground(first);
    const QPointF canvas_step = scene.marks[second].centre - scene.marks[first].centre;
    const double scale =
        std::hypot(canvas_step.x(), canvas_step.y()) / std::hypot(ground_step.x(), ground_step.y());
    for (const std::size_t i : positioned) {
      const QPointF expected =
          scene.marks[first].centre +
          QPointF(ground(i).x() - ground(first).x(), ground(first).y() - ground(i).y()) * scale;
      EXPECT_TRUE(Near(scene.marks[i].centre, expected, 1e-6)) << i;
      EXPECT_TRUE(scene.marks[i].positioned);
    }
    // The scale bar says the same scale.
    const std::string bar = scene.scale_bar->text.toStdString();
    EXPECT_NEAR(
        QLocale().toDouble(scene.scale_bar->text.section(' ', 0, 0)) / scene.scale_bar->pixels,
        1 / scale, 1e-6 / scale)
        << bar;
  }
}

TEST(ComputeDiagramScene, FlaggedBoldAndLabelledFailingLoopsShaded) {
  const DiagramData data = ExampleWithBlunder();
  const DiagramScene scene = ComputeDiagramScene(data, QLocale());
  int flagged = 0;
  for (std::size_t i = 0; i < scene.lines.size(); ++i) {
    const SceneLine& line = scene.lines[i];
    const DiagramObservation& observation = data.observations[line.observation];
    EXPECT_EQ(line.flagged, observation.flagged);
    if (!line.flagged) continue;
    ++flagged;
    EXPECT_GT(line.width, 1.5 * scene.lines[0].width);
    EXPECT_EQ(i + 1, scene.lines.size()) << "drawn last, over the others";
    const auto label = std::find_if(scene.labels.begin(), scene.labels.end(),
                                    [&](const SceneLabel& l) { return l.line == i; });
    ASSERT_NE(label, scene.labels.end());
    EXPECT_TRUE(label->text.bold);
    EXPECT_EQ(label->text.text, QString::fromUtf8("5  w = \u22124.12"));
  }
  EXPECT_EQ(flagged, 1);
  // Loop 3 runs 5 then 3: BM N-4, J-3, BM N-1, the chain between fixed marks.
  ASSERT_EQ(scene.shades.size(), 1u);
  for (const std::size_t mark : {1, 4, 0}) {
    EXPECT_TRUE(scene.shades[0].outline.contains(scene.marks[mark].centre)) << mark;
  }
  ASSERT_TRUE(scene.shades[0].label.has_value());
  EXPECT_EQ(scene.shades[0].label->text, "Loop 3");
  EXPECT_TRUE(ComputeDiagramScene(Example(), QLocale()).shades.empty()) << "every loop meets";
}

// The painting shows what the scene says: each name once as text, each
// line at its marks with its colour and weight.
TEST(NetworkDiagram, SvgShowsEveryNameOnceAndEveryLineAtItsMarks) {
  DiagramData markup = Example();
  markup.marks[3].name = "J<2> & \"R&D\"";
  markup.title = "a<b>";
  std::vector<Sample> samples = Samples();
  samples.push_back({"names with markup", markup});
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.case_name);
    const DiagramScene scene = ComputeDiagramScene(sample.data, QLocale());
    const Svg svg = ParseSvg(DrawnSvg(sample.data));
    for (const DiagramMark& mark : sample.data.marks) {
      EXPECT_EQ(svg.count(QString::fromStdString(mark.name)), 1) << mark.name;
    }
    for (const SceneLine& line : scene.lines) {
      if (line.bend != 0) continue;
      const bool found = std::any_of(svg.lines.begin(), svg.lines.end(), [&](const SvgLine& l) {
        return Near(l.from, line.from) && Near(l.to, line.to) && l.stroke == line.colour.name() &&
               std::fabs(l.width - line.width) < 1e-6;
      });
      EXPECT_TRUE(found) << "observation " << line.observation;
    }
  }
  const Svg blunder = ParseSvg(DrawnSvg(ExampleWithBlunder()));
  const auto label = std::find_if(blunder.texts.begin(), blunder.texts.end(), [](const SvgText& t) {
    return t.text == QString::fromUtf8("5  w = \u22124.12");
  });
  ASSERT_NE(label, blunder.texts.end());
  EXPECT_TRUE(label->bold);
}

TEST(ResidualColour, BlueToRedBySizeGreyWhenUnchecked) {
  const struct {
    double standardized;
    QColor expected;
  } cases[] = {
      {0, QColor::fromHsvF(212 / 360.0f, 0.70f, 0.72f)},
      {-3.29, QColor::fromHsvF(6 / 360.0f, 0.86f, 0.84f)},
      {3.29, QColor::fromHsvF(6 / 360.0f, 0.86f, 0.84f)},
      {1e9, QColor::fromHsvF(0, 1.0f, 0.5f)},
      {kNan, kUnchecked},
      {kInf, kUnchecked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.standardized);
    EXPECT_EQ(ResidualColour(c.standardized, 3.29).name(), c.expected.name());
  }
  // Amber at the 95 % point, whatever the flag limit.
  EXPECT_EQ(ResidualColour(1.96, 3.29).name(), ResidualColour(3.0, 3.0 * 3.29 / 1.96).name());
  EXPECT_EQ(ResidualColour(2, kNan).name(), ResidualColour(2, 3.29).name());
}

TEST(NetworkDiagram, EachFormatCommittedOrNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.svg"));
  for (const char* name : {"a.svg", "a.PNG", "a.pdf"}) {
    SCOPED_TRACE(name);
    const std::string path = Path(dir, name);
    {
      NetworkDiagram uncommitted(path);
      ASSERT_TRUE(uncommitted.Write(Example())) << uncommitted.ErrorText();
    }
    EXPECT_TRUE(Contents(path).isEmpty()) << "left behind uncommitted";
    NetworkDiagram diagram(path);
    ASSERT_TRUE(diagram.Write(Example())) << diagram.ErrorText();
    ASSERT_TRUE(diagram.Commit()) << diagram.ErrorText();
    const QByteArray bytes = Contents(path);
    EXPECT_TRUE(bytes.startsWith("<?xml") || bytes.startsWith("\x89PNG") ||
                bytes.startsWith("%PDF"))
        << bytes.left(8).toStdString();
  }
  for (const char* name : {"a.jpg", "missing/a.svg", "folder.svg"}) {
    SCOPED_TRACE(name);
    NetworkDiagram diagram(Path(dir, name));
    EXPECT_FALSE(diagram.Write(Example()));
    EXPECT_FALSE(diagram.ErrorText().empty());
    EXPECT_FALSE(diagram.Commit());
  }
  QStringList left = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
  left.sort();
  EXPECT_EQ(left, QStringList({"a.PNG", "a.pdf", "a.svg", "folder.svg"}));
}

TEST(NetworkDiagram, BadDataStillDraws) {
  DiagramData broken = ExampleWithBlunder();
  broken.marks[0].position = DiagramPosition{kNan, 5};
  broken.marks[1].position = DiagramPosition{1e300, -1e300};
  broken.marks[2].adjusted_elevation = kInf;
  broken.marks[3].name = std::string(5000, 'N');
  broken.marks[4].name = std::string("\x01\t\x1a\xff", 4);
  broken.observations.push_back(Joining(-1, 2, "before"));
  broken.observations.push_back(Joining(2, 99, "beyond"));
  broken.observations.push_back(Joining(2, 2, "itself"));
  broken.observations[0].standardized = kNan;
  broken.observations[1].standardized = -kInf;
  broken.loops.push_back({{-5, 99, 0}, false, std::string(3000, 'L')});
  broken.loops.push_back({{}, false, "empty"});
  broken.summary.push_back(std::string(100000, 'S'));
  broken.flag_limit = kNan;
  broken.decimals = 1000;
  broken.title = std::string(4000, 'T');
  broken.date = {0, 13, 40};
  DiagramData one;
  one.marks.push_back({"ALONE", DiagramMarkKind::kFixed, DiagramPosition{1, 1}, 5});
  DiagramData same_spot = Example();
  for (DiagramMark& mark : same_spot.marks) mark.position = DiagramPosition{7, 7};
  DiagramData huge = Grid(40);
  huge.title = "1600 marks";
  const struct {
    const char* case_name;
    DiagramData data;
  } cases[] = {{"broken numbers and indices", broken},
               {"empty", DiagramData{}},
               {"one mark", one},
               {"every mark on one spot", same_spot},
               {"thousands of marks", huge}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_name);
    const Svg svg = ParseSvg(DrawnSvg(c.data));
    EXPECT_GE(svg.texts.size(), c.data.marks.size());
  }
  QTemporaryDir dir;
  NetworkDiagram png(Path(dir, "broken.png"));
  EXPECT_TRUE(png.Write(broken)) << png.ErrorText();
}

// Diagrams to look at: written where the build keeps them, not checked.
TEST(NetworkDiagram, DrawsDiagramsForTheEye) {
  const QString folder = QStringLiteral(QUARROW_PICTURES);
  ASSERT_TRUE(QDir().mkpath(folder));
  auto draw = [&](const DiagramData& data, const char* name) {
    NetworkDiagram diagram(QFile::encodeName(folder + "/" + name).toStdString());
    ASSERT_TRUE(diagram.Write(data)) << diagram.ErrorText();
    ASSERT_TRUE(diagram.Commit()) << diagram.ErrorText();
  };
  draw(Example(), "network-example.png");
  draw(Example(), "network-example.svg");
  draw(Example(), "network-example.pdf");
  draw(ExampleWithBlunder(), "network-blunder.png");
  draw(ExamplePartly(), "network-partly.png");
  draw(Grid(6), "network-grid-36.png");
  draw(Grid(8, 3), "network-grid-partly.png");
  draw(Grid(30), "network-grid-900.png");
}

}  // namespace
}  // namespace quarrow
