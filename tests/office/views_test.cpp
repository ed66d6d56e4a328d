// Every view drawn offscreen as a user would see it, without pixel goldens:
// each has drawn something, every mark and run of the network is drawn
// where its layout put it, no table's text is cut or runs out of its cell,
// the names screen readers use are there, table cells tell their text, and
// the models keep Qt's rules throughout.

#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QThreadPool>
#include <QToolButton>

#include "office/network_diagram_view.h"
#include "office/profile_view.h"
#include "office/result_models.h"
#include "office/runs_model.h"
#include "tests/office/scripted_office.h"

namespace quarrow {
namespace {

bool HasDrawing(const QImage& image) {
  const QRgb corner = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      if (image.pixel(x, y) != corner) return true;
    }
  }
  return false;
}

// True when some pixel within `reach` of `at` is not the background.
bool InkNear(const QImage& image, QPoint at, int reach, QRgb background) {
  for (int y = at.y() - reach; y <= at.y() + reach; ++y) {
    for (int x = at.x() - reach; x <= at.x() + reach; ++x) {
      if (image.rect().contains(x, y) && image.pixel(x, y) != background) return true;
    }
  }
  return false;
}

QWidget* Named(QWidget& window, const QString& name) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->accessibleName() == name) return widget;
  }
  return nullptr;
}

// Shows `view` (bringing its tab forward) and draws it into the pictures folder.
QImage Draw(QWidget& view, const QString& file) {
  for (QWidget* parent = view.parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget())) {
      tabs->setCurrentWidget(parent);
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
      if (tabs->indexOf(&view) >= 0) tabs->setCurrentWidget(&view);
    }
  }
  QApplication::processEvents();
  const QImage image = view.grab().toImage();
  QDir().mkpath(QUARROW_PICTURES);
  image.save(QDir(QUARROW_PICTURES).filePath(file));
  return image;
}

class Views : public OfficeTest {};

TEST_F(Views, EveryViewDrawsAndNoTextLeavesItsCell) {
  OpenAndAdjust(Path("network/project.qproject"));
  window->SelectRun(1);
  Settle();
  Draw(*window, "office-window.png");
  for (const char* name :
       {"Runs", "Marks", "Loops", "Checks", "Profile", "Network Diagram", "Summary"}) {
    SCOPED_TRACE(name);
    QWidget* view = Named(*window, name);
    ASSERT_NE(view, nullptr);
    const QImage image = Draw(*view, QString(name).remove(' ') + ".png");
    EXPECT_TRUE(HasDrawing(image));
    auto* table = qobject_cast<QTableView*>(view);
    if (table == nullptr) continue;
    ASSERT_GT(table->model()->rowCount(), 0);
    for (int row = 0; row < table->model()->rowCount(); ++row) {
      for (int column = 0; column < table->model()->columnCount(); ++column) {
        const QModelIndex index = table->model()->index(row, column);
        const QString text = index.data().toString();
        if (text.isEmpty() || table->isColumnHidden(column)) continue;
        const QRect cell = table->visualRect(index);
        const bool icon = !index.data(Qt::DecorationRole).isNull();
        const int needed = table->fontMetrics().horizontalAdvance(text) + (icon ? 22 : 0) + 6;
        EXPECT_LE(needed, cell.width()) << "row " << row << ", " << text.toStdString();
      }
    }
  }
}

TEST_F(Views, TheDiagramDrawsEveryMarkAndRun) {
  OpenAndAdjust(Path("network/project.qproject"));
  Settle();
  auto* diagram = window->findChild<NetworkDiagramView*>();
  ASSERT_NE(diagram->picture(), nullptr);
  const QImage image = Draw(*diagram, "diagram.png");
  const QRgb background = QColor(Qt::white).rgb();
  const DiagramLayout& layout = diagram->layout();
  ASSERT_EQ(layout.marks.size(), 5u);  // three listed, two junctions
  ASSERT_EQ(layout.observations.size(), 6u);
  const QRectF canvas = layout.canvas;
  for (std::size_t m = 0; m < layout.marks.size(); ++m) {
    SCOPED_TRACE("mark " + std::to_string(m));
    const QPoint at = diagram->mapFromScene(layout.marks[m]);
    EXPECT_TRUE(diagram->viewport()->rect().contains(at));
    EXPECT_TRUE(InkNear(image, at, 2, background));
    EXPECT_EQ(diagram->MarkAt(at), static_cast<int>(m));
    EXPECT_TRUE(layout.map.contains(layout.marks[m]));
    EXPECT_TRUE(canvas.contains(layout.names[m]));
  }
  for (std::size_t o = 0; o < layout.observations.size(); ++o) {
    SCOPED_TRACE("observation " + std::to_string(o));
    const QPointF middle = layout.observations[o].pointAtPercent(0.5);
    EXPECT_TRUE(InkNear(image, diagram->mapFromScene(middle), 1, background));
  }
  // Clicking an observation selects its run in the runs table, a mark its
  // row in the marks table.
  const QPoint third = diagram->mapFromScene(layout.observations[2].pointAtPercent(0.5));
  ASSERT_EQ(diagram->ObservationAt(third), 2);
  window->picNetwork_ObservationClicked(2);
  EXPECT_EQ(window->SelectedRun(), 2);
  EXPECT_EQ(diagram->selected_observations(), std::vector<int>{2});
  window->picNetwork_MarkClicked(0);
  EXPECT_EQ(window->findChild<QTableView*>("grdMarks")->currentIndex().row(), 0);
  EXPECT_EQ(diagram->selected_mark(), 0);
  // Zoomed in, a mark stays hit where it is drawn.
  diagram->ZoomIn();
  diagram->ZoomIn();
  const QPoint moved = diagram->mapFromScene(layout.marks[0]);
  if (diagram->viewport()->rect().contains(moved)) {
    EXPECT_EQ(diagram->MarkAt(moved), 0);
  }
}

TEST_F(Views, TheProfileIsTheDrawingOfProfile) {
  OpenAndAdjust(Path("single.qproject"));
  window->SelectRun(0);
  Settle();
  auto* profile = static_cast<ProfileView*>(window->findChild<QWidget*>("picProfile"));
  ASSERT_TRUE(profile->HasProfile())
      << window->findChild<QPlainTextEdit*>("txtReport")->toPlainText().toStdString();
  EXPECT_EQ(profile->profile()->mark_distance.size(), 3u);  // BM1, TP1, BM2
  EXPECT_EQ(profile->profile()->side_distance.size(), 1u);
  for (const PlacedName& name : PlaceNames(*profile->profile())) {
    EXPECT_TRUE(QRectF(0, 0, kCanvasWidth, kCanvasHeight).contains(name.box));
  }
  EXPECT_TRUE(HasDrawing(Draw(*profile, "profile.png")));
  const QString report = window->findChild<QPlainTextEdit*>("txtReport")->toPlainText();
  EXPECT_NE(report.indexOf("This level run MEETS third order specifications."), -1);
}

TEST_F(Views, TheNamesScreenReadersUse) {
  Window();
  for (const char* name : {"Add Files", "Adjust", "Export", "Save Project"}) {
    SCOPED_TRACE(name);
    QWidget* button = Named(*window, name);
    ASSERT_NE(button, nullptr);
    EXPECT_NE(qobject_cast<QToolButton*>(button), nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), name);
  }
  for (const char* name : {"Runs", "Marks", "Loops", "Checks", "Profile", "Network Diagram",
                           "Summary", "Progress", "Cancel"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(Named(*window, name), nullptr);
  }
  EXPECT_NE(qobject_cast<QProgressBar*>(Named(*window, "Progress")), nullptr);
  EXPECT_NE(qobject_cast<QPushButton*>(Named(*window, "Cancel")), nullptr);
  // While a job runs, both show.
  services.files = {{Path("network")}};
  window->AddRuns({Path("network")});
  EXPECT_TRUE(Named(*window, "Progress")->isVisible());
  EXPECT_TRUE(Named(*window, "Cancel")->isVisible());
  window->jobs().Wait();
  EXPECT_FALSE(Named(*window, "Progress")->isVisible());
}

TEST_F(Views, TableCellsTellTheirText) {
  OpenAndAdjust(Path("network/project.qproject"));
  for (const char* name : {"Runs", "Marks", "Loops"}) {
    SCOPED_TRACE(name);
    auto* table = qobject_cast<QTableView*>(Named(*window, name));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(accessible, nullptr);
    QAccessibleTableInterface* cells = accessible->tableInterface();
    ASSERT_NE(cells, nullptr);
    ASSERT_EQ(cells->rowCount(), table->model()->rowCount());
    for (int row = 0; row < cells->rowCount(); ++row) {
      for (int column = 0; column < cells->columnCount(); ++column) {
        QAccessibleInterface* cell = cells->cellAt(row, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name),
                  table->model()->index(row, column).data().toString());
      }
    }
  }
}

TEST_F(Views, TheModelsKeepQtsRules) {
  int complaints = 0;
  static int* counter = nullptr;
  counter = &complaints;
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type >= QtWarningMsg && message.contains("FAIL")) ++*counter;
      });
  Window();
  std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
  for (QTableView* table : window->findChildren<QTableView*>()) {
    testers.push_back(std::make_unique<QAbstractItemModelTester>(
        table->model(), QAbstractItemModelTester::FailureReportingMode::Warning));
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(table->model())) {
      testers.push_back(std::make_unique<QAbstractItemModelTester>(
          proxy->sourceModel(), QAbstractItemModelTester::FailureReportingMode::Warning));
    }
  }
  ASSERT_GE(testers.size(), 5u);
  // Through everything the models see: a project opened, read, adjusted,
  // edited, runs added and removed, undone, a run selected, a new project.
  window->OpenProject(Path("network/project.qproject"));
  window->jobs().Wait();
  window->mnuAdjust_Click();
  window->jobs().Wait();
  window->SelectRun(3);
  window->AddRuns({Path("run.txt"), Path("convert/run.jxl"), Path("missing.txt")});
  window->jobs().Wait();
  window->mnuAdjust_Click();
  window->jobs().Wait();
  window->document().undo().undo();
  window->jobs().Wait();
  window->document().undo().redo();
  window->jobs().Wait();
  window->SelectRun(7);
  window->mnuRemoveRuns_Click();
  window->document().undo().setClean();
  window->mnuNew_Click();
  qInstallMessageHandler(previous);
  EXPECT_EQ(complaints, 0);
}

}  // namespace
}  // namespace quarrow
