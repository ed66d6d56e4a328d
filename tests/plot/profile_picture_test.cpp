#include "plot/profile_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <limits>

#include "tests/plot/profile_runs.h"

namespace quarrow {
namespace {

using profile_runs::RunTable;

const CivilDate kDay{2026, 12, 6};

std::string Path(const QTemporaryDir& dir, const char* name) {
  return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

QByteArray Contents(const std::string& path) {
  QFile file(QFile::decodeName(path.c_str()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The texts of an SVG's <text> elements; a parse error fails the test.
QStringList SvgTexts(const QByteArray& svg) {
  QStringList texts;
  QXmlStreamReader reader(svg);
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"text") {
      texts << reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return texts;
}

// Draws `run` to `path` and moves it into place, checking that what was at
// the path stays as it was until Commit.
void Render(const RunTable& run, const std::string& path) {
  const QByteArray before = Contents(path);
  RunState rs;
  profile_runs::PrepareState(rs, run);
  ProfilePicture picture(rs, path, kDay);
  profile_runs::Tell(rs, run, picture);
  ASSERT_TRUE(picture.Finish()) << picture.ErrorText();
  EXPECT_EQ(Contents(path), before) << "before Commit";
  ASSERT_TRUE(picture.Commit()) << picture.ErrorText();
  EXPECT_NE(Contents(path), QByteArray("<missing>"));
}

// The page's width and height from a PDF's first MediaBox.
QSizeF PdfPage(const QByteArray& pdf) {
  const QRegularExpression box(
      QStringLiteral(R"(/MediaBox\s*\[\s*([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s*\])"));
  const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
  if (!match.hasMatch()) return {};
  return {match.captured(3).toDouble() - match.captured(1).toDouble(),
          match.captured(4).toDouble() - match.captured(2).toDouble()};
}

TEST(ProfileFormatOf, ChoosesByExtensionInAnyCase) {
  const struct {
    const char* path;
    std::optional<ProfileFormat> format;
  } cases[] = {
      {"run.svg", ProfileFormat::kSvg},
      {"run.SVG", ProfileFormat::kSvg},
      {"/jobs/run.png", ProfileFormat::kPng},
      {"run.Png", ProfileFormat::kPng},
      {"C:\\Jobs\\run.PDF", ProfileFormat::kPdf},
      {"run.adj.pdf", ProfileFormat::kPdf},
      {".png", ProfileFormat::kPng},
      {"run.jpg", std::nullopt},
      {"run.pdf.adj", std::nullopt},
      {"run", std::nullopt},
      {"run.", std::nullopt},
      {"", std::nullopt},
      {"jobs.png/run", std::nullopt},
      {"jobs.svg\\run", std::nullopt},
      {"run.svgz", std::nullopt},
      {"run.pn", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ProfilePicture::FormatOf(c.path), c.format);
  }
}

struct Drawn {
  const char* case_name;
  RunTable run;
  QStringList names;  // must show
};

// Names a careless SVG writer would turn into broken markup, control
// characters included.
RunTable Markup() {
  RunTable run = profile_runs::OneSetup();
  run.input_path = "a<b>.txt";
  run.begin_mark = "BM <7> & \"A\"";
  run.setups[0].mark = "R&D 'B'\x01\x1a\t";
  return run;
}

std::vector<Drawn> DrawnRuns() {
  return {
      {"one setup", profile_runs::OneSetup(), {"BM 7", "BM 8", "one-setup.txt"}},
      {"names with markup", Markup(), {"BM <7> & \"A\"", "R&D 'B'", "a<b>.txt"}},
      {"worked example", profile_runs::Example(), {"BM1", "BM2", "TP1", "run.txt"}},
      {"county road",
       profile_runs::CountyRoad(),
       {"BM A-112", "BM A-113", "TP5", "CULV INV N", "county-road-feet.txt"}},
  };
}

TEST(ProfilePicture, SvgParsesAndNamesTheMarks) {
  QTemporaryDir dir;
  for (const Drawn& drawn : DrawnRuns()) {
    SCOPED_TRACE(drawn.case_name);
    const std::string path = Path(dir, "profile.svg");
    Render(drawn.run, path);
    const QStringList texts = SvgTexts(Contents(path));
    for (const QString& name : drawn.names) {
      SCOPED_TRACE(name.toStdString());
      EXPECT_TRUE(texts.filter(name).size() > 0) << texts.join(u'|').toStdString();
    }
  }
}

TEST(ProfilePicture, PngLoadsAtTheWidthPromised) {
  QTemporaryDir dir;
  for (const Drawn& drawn : DrawnRuns()) {
    SCOPED_TRACE(drawn.case_name);
    const std::string path = Path(dir, "profile.png");
    Render(drawn.run, path);
    QImage image;
    ASSERT_TRUE(image.loadFromData(Contents(path), "PNG"));
    EXPECT_GE(image.width(), 1600);
    EXPECT_LT(image.height(), image.width());
  }
}

TEST(ProfilePicture, PdfIsOneLandscapePage) {
  QTemporaryDir dir;
  for (const Drawn& drawn : DrawnRuns()) {
    SCOPED_TRACE(drawn.case_name);
    const std::string path = Path(dir, "profile.pdf");
    Render(drawn.run, path);
    const QByteArray pdf = Contents(path);
    EXPECT_TRUE(pdf.startsWith("%PDF")) << pdf.left(20).toStdString();
    // Landscape Letter for a run in feet, landscape A4 in metres, in points.
    const QSizeF page = PdfPage(pdf);
    const QSizeF paper = drawn.run.unit_mark == '\'' ? QSizeF(792, 612) : QSizeF(842, 595);
    EXPECT_NEAR(page.width(), paper.width(), 1) << page.width() << " x " << page.height();
    EXPECT_NEAR(page.height(), paper.height(), 1);
  }
}

TEST(ProfilePicture, SummaryTellsTheVerdictAndTheLocalesNumbers) {
  const struct {
    const char* case_name;
    RunTable run;
    QLocale locale;
    QStringList shown;
  } cases[] = {
      {"meets, English",
       profile_runs::CountyRoad(),
       QLocale(QLocale::English, QLocale::UnitedStates),
       {"Meets third order", "4,533.353 ft", "-0.009 ft", "\u00b10.047 ft", "feet", "12/6/26"}},
      {"meets, German",
       profile_runs::CountyRoad(),
       QLocale(QLocale::German, QLocale::Germany),
       {"Meets third order", "4.533,353 ft", "-0,009 ft", "\u00b10,047 ft", "06.12.26"}},
      {"does not meet",
       profile_runs::Unbalanced(),
       QLocale(QLocale::English, QLocale::UnitedStates),
       {"Does not meet third order", "Profile of ridge.txt", "2 setups over the limit"}},
      {"metres",
       profile_runs::Example(),
       QLocale(QLocale::English, QLocale::UnitedStates),
       {"200.244 m", "metres", "Limit \u00b110 m"}},
  };
  QTemporaryDir dir;
  const QLocale before;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_name);
    QLocale::setDefault(c.locale);
    const std::string path = Path(dir, "summary.svg");
    Render(c.run, path);
    const QString all = SvgTexts(Contents(path)).join(u'|');
    for (const QString& text : c.shown) {
      EXPECT_TRUE(all.contains(text)) << text.toStdString() << " not in " << all.toStdString();
    }
  }
  QLocale::setDefault(before);
}

// Passes a run on, raising one turning point far above the rest.
class SpikedRun : public RunListener {
 public:
  SpikedRun(RunListener& picture, std::int64_t spiked_turn)
      : picture_(picture), spiked_(spiked_turn) {}
  void Begin(const ThirdOrderVerdict& verdict) override { picture_.Begin(verdict); }
  void Point(const RunPoint& point) override {
    RunPoint told = point;
    if (point.role == PointRole::kTurn && ++turns_ == spiked_) told.adjusted_elevation += 1000;
    picture_.Point(told);
  }
  void Setup(const SetupSights& setup) override { picture_.Setup(setup); }
  bool Finish() override { return picture_.Finish(); }

 private:
  RunListener& picture_;
  std::int64_t spiked_;
  std::int64_t turns_ = 0;
};

// The points of the SVG's polylines that lie wholly in the elevation panel
// (above y 620) and have more than two points: the run's line.
std::vector<QPointF> RunLinePoints(const QByteArray& svg) {
  std::vector<QPointF> points;
  QXmlStreamReader reader(svg);
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"polyline")
      continue;
    std::vector<QPointF> line;
    for (const QString& pair :
         reader.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts)) {
      const QStringList xy = pair.split(',');
      if (xy.size() == 2) line.emplace_back(xy[0].toDouble(), xy[1].toDouble());
    }
    if (line.size() > 2 &&
        std::all_of(line.begin(), line.end(), [](QPointF p) { return p.y() < 620; })) {
      points.insert(points.end(), line.begin(), line.end());
    }
  }
  return points;
}

TEST(ProfilePicture, LongRunThinnedKeepsItsPeakAndBenchMarks) {
  QTemporaryDir dir;
  const std::string path = Path(dir, "spiked.svg");
  RunState rs;
  ProfilePicture picture(rs, path, kDay);
  SpikedRun spiked(picture, 5000);
  profile_runs::TellMadeRun(rs, spiked, 10000);
  ASSERT_TRUE(spiked.Finish()) << picture.ErrorText();
  ASSERT_TRUE(picture.Commit());
  const QByteArray svg = Contents(path);
  const QStringList texts = SvgTexts(svg);
  EXPECT_TRUE(texts.contains("BM START"));
  EXPECT_TRUE(texts.contains("BM END"));
  EXPECT_LT(svg.size(), 1'500'000);
  const std::vector<QPointF> line = RunLinePoints(svg);
  ASSERT_GT(line.size(), 100u);
  EXPECT_LT(line.size(), 4 * 1500u) << "thinned to the columns of the panel";
  // The panel runs from y 150 to 620 and keeps 30% of the run's spread above
  // its highest point: the spike stands in the top quarter, every other turning
  // point well below it.
  const double top = std::min_element(line.begin(), line.end(), [](QPointF a, QPointF b) {
                       return a.y() < b.y();
                     })->y();
  EXPECT_LT(top, 150 + 0.25 * 470);
  const auto near_top =
      std::count_if(line.begin(), line.end(), [](QPointF p) { return p.y() < 150 + 0.4 * 470; });
  EXPECT_LE(near_top, 3) << "one column's peak, not a plateau";
}

TEST(ProfilePicture, FailureToWriteLeavesNothing) {
  QTemporaryDir dir;
  const struct {
    const char* case_name;
    std::string path;
  } cases[] = {
      {"no such folder", Path(dir, "missing/profile.png")},
      {"no such folder, svg", Path(dir, "missing/profile.svg")},
      {"not a picture", Path(dir, "profile.jpg")},
      {"a folder", Path(dir, "folder.pdf")},
  };
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.pdf"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.case_name);
    RunState rs;
    const RunTable run = profile_runs::Example();
    profile_runs::PrepareState(rs, run);
    ProfilePicture picture(rs, c.path, kDay);
    profile_runs::Tell(rs, run, picture);
    EXPECT_FALSE(picture.Finish());
    EXPECT_FALSE(picture.ErrorText().empty());
    EXPECT_FALSE(picture.Commit());
    EXPECT_FALSE(picture.ErrorText().empty());
  }
  const QStringList left = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
  EXPECT_EQ(left, QStringList{"folder.pdf"});
}

TEST(ProfilePicture, UncommittedPictureVanishes) {
  QTemporaryDir dir;
  for (const char* name : {"a.svg", "a.png", "a.pdf"}) {
    SCOPED_TRACE(name);
    const std::string path = Path(dir, name);
    {
      RunState rs;
      const RunTable run = profile_runs::CountyRoad();
      profile_runs::PrepareState(rs, run);
      ProfilePicture picture(rs, path, kDay);
      profile_runs::Tell(rs, run, picture);
      ASSERT_TRUE(picture.Finish());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << QDir(dir.path()).entryList().join(' ').toStdString();
  }
}

TEST(ProfilePicture, BrokenRunsStillDraw) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  RunTable flat = profile_runs::OneSetup();
  flat.setups[0].elevation = flat.begin_elevation;
  RunTable not_finite = profile_runs::CountyRoad();
  not_finite.setups[3].elevation = nan;
  not_finite.setups[5].backsight = inf;
  not_finite.setups[6].sides[0].elevation = -inf;
  not_finite.misclosure = nan;
  RunTable huge = profile_runs::Example();
  huge.setups[0].elevation = 1e300;
  huge.setups[1].foresight = -1e300;
  RunTable extreme = profile_runs::CountyRoad();
  extreme.setups[2].elevation = std::numeric_limits<double>::max();
  extreme.setups[4].elevation = std::numeric_limits<double>::lowest();
  extreme.setups[7].backsight = 1e308;
  extreme.setups[8].foresight = -1e308;
  RunTable long_names = profile_runs::Example();
  long_names.input_path = std::string(3000, 'F') + ".txt";
  long_names.begin_mark = std::string(2000, 'B');
  RunTable empty_names = profile_runs::Example();
  empty_names.begin_mark = "";
  empty_names.setups[1].mark = std::string(2000, 'X');
  const struct {
    const char* case_name;
    RunTable run;
  } cases[] = {
      {"flat", flat},
      {"not finite", not_finite},
      {"huge", huge},
      {"extreme", extreme},
      {"odd names", empty_names},
      {"long names", long_names},
      {"no setups", {"", 'm', 10, 0, 0, 0, "BM1", 10, {}}},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    for (const char* name : {"broken.svg", "broken.png", "broken.pdf"}) {
      SCOPED_TRACE(std::string(c.case_name) + " " + name);
      Render(c.run, Path(dir, name));
    }
  }
  SCOPED_TRACE("never begun");
  RunState rs;
  ProfilePicture picture(rs, Path(dir, "unbegun.png"), CivilDate{0, 13, 40});
  EXPECT_TRUE(picture.Finish()) << picture.ErrorText();
}

// Pictures to look at: written where the build keeps them, not checked.
TEST(ProfilePicture, DrawsPicturesForTheEye) {
  const QString folder = QStringLiteral(QUARROW_PICTURES);
  ASSERT_TRUE(QDir().mkpath(folder));
  auto path = [&](const char* name) {
    return QFile::encodeName(folder + "/" + name).toStdString();
  };
  Render(profile_runs::OneSetup(), path("one-setup.png"));
  Render(profile_runs::Example(), path("example.png"));
  Render(profile_runs::CountyRoad(), path("county-road.png"));
  Render(profile_runs::CountyRoad(), path("county-road.pdf"));
  Render(profile_runs::CountyRoad(), path("county-road.svg"));
  Render(profile_runs::Unbalanced(), path("unbalanced.png"));
  for (const std::int64_t setups : {40, 10000}) {
    RunState rs;
    ProfilePicture picture(rs, path(setups == 40 ? "made-40.png" : "made-10000.png"), kDay);
    profile_runs::TellMadeRun(rs, picture, setups);
    ASSERT_TRUE(picture.Finish());
    ASSERT_TRUE(picture.Commit());
  }
}

}  // namespace
}  // namespace quarrow
