// Builds the field guide PDF from its Markdown source with Qt's own text
// engine, so the build needs nothing beyond Qt.
//
//   make_guide SOURCE.md OUTPUT.pdf [FOLDER...]
//
// Beyond Markdown:
// - `![...](NAME)` pictures are looked up by NAME in the FOLDERs, in order,
//   shown at their own resolution (never wider than the page) and centred;
//   an italic paragraph starting with "Figure" is a caption, centred too.
// - A line `@include NAME` is replaced by the file NAME from the FOLDERs as a
//   code block; a code block too wide for the page gets a smaller font, and
//   one shorter than a page is kept on one page.
// - A level-two heading "Contents" right after the introduction is filled
//   with the headings below it and their page numbers.
// - A heading, a picture or a paragraph ending in a colon never ends a page:
//   it moves to the next page with what it introduces. Tables and code blocks
//   shorter than a page are not split.

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/make_guide/guide_pages.h"

namespace {

const char* const kTitle = "Trigonometric Level Runs with Quarrow";
const char* const kContents = "Contents";
constexpr int kDotsPerInch = 300;
// Qt sizes pictures in pixels of a 96 dots-per-inch screen.
constexpr double kPictureDotsPerInch = 96;

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "make_guide: %s\n", qPrintable(message));
  std::exit(1);
}

QString FindFile(const QStringList& folders, const QString& name) {
  for (const QString& folder : folders) {
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path)) return path;
  }
  Fail("cannot find " + name + " in " + folders.join(", "));
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) Fail("cannot read " + path);
  return file.readAll();
}

// The source with every `@include NAME` line replaced by NAME's lines as an
// indented code block, blank lines around it.
QString ExpandIncludes(const QString& source, const QStringList& folders) {
  static const QRegularExpression include("^@include\\s+(\\S.*)$");
  QStringList lines;
  for (const QString& line : source.split('\n')) {
    const QRegularExpressionMatch match = include.match(line.trimmed());
    if (!match.hasMatch()) {
      lines << line;
      continue;
    }
    QString text = QString::fromUtf8(ReadFile(FindFile(folders, match.captured(1))));
    text.remove('\r');
    lines << "";
    for (const QString& included : text.split('\n')) lines << "    " + included;
    lines << "";
  }
  return lines.join('\n');
}

// Loads every picture into the document, sized and centred, and centres
// the caption after it.
void PlacePictures(QTextDocument& document, const QStringList& folders, double content_inches) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!IsPictureBlock(block)) continue;
    QTextImageFormat picture = block.begin().fragment().charFormat().toImageFormat();
    const QString path = FindFile(folders, picture.name());
    const QImage image(path);
    if (image.isNull()) Fail("cannot read the picture " + path);
    document.addResource(QTextDocument::ImageResource, QUrl(picture.name()), image);
    const double dots_per_inch = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96;
    const double inches = std::min(image.width() / dots_per_inch, content_inches);
    picture.setWidth(inches * kPictureDotsPerInch);
    picture.setHeight(inches * kPictureDotsPerInch * image.height() / image.width());
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    cursor.setCharFormat(picture);
    QTextBlockFormat centred = block.blockFormat();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(8);
    cursor.setBlockFormat(centred);
  }
}

// Centres the captions: italic paragraphs that start with "Figure".
void CentreCaptions(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!block.text().startsWith("Figure ") ||
        !block.begin().fragment().charFormat().fontItalic()) {
      continue;
    }
    QTextCursor cursor(block);
    QTextBlockFormat format = block.blockFormat();
    format.setAlignment(Qt::AlignHCenter);
    format.setBottomMargin(12);
    cursor.setBlockFormat(format);
  }
}

// Code blocks on a tinted ground, in a font small enough for the widest line.
void FitCodeBlocks(QTextDocument& document, QPaintDevice& device, double content_width) {
  for (QTextBlock block = document.begin(); block.isValid();) {
    if (!IsCodeBlock(block)) {
      block = block.next();
      continue;
    }
    QTextBlock end = block;
    QFont font = block.begin().fragment().charFormat().font();
    double widest = 0;
    for (; end.isValid() && IsCodeBlock(end); end = end.next()) {
      widest = std::max(widest, QFontMetricsF(font, &device).horizontalAdvance(end.text()));
    }
    const double room = content_width - 24;
    if (widest > room) font.setPointSizeF(std::floor(font.pointSizeF() * room / widest * 4) / 4);
    for (; block != end; block = block.next()) {
      QTextCursor cursor(block);
      QTextBlockFormat format = block.blockFormat();
      format.setBackground(QColor(0xf2, 0xf2, 0xf2));
      format.setLeftMargin(20);
      cursor.setBlockFormat(format);
      cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      QTextCharFormat characters;
      characters.setFont(font);
      cursor.mergeCharFormat(characters);
    }
  }
}

// Spacing for print. Qt counts margins in pixels of a 96 dots-per-inch
// screen, whatever the device.
void SpaceForPrint(QTextDocument& document) {
  constexpr double kPoint = kPictureDotsPerInch / 72.0;
  document.setIndentWidth(18 * kPoint);
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat format = block.blockFormat();
    if (format.headingLevel() > 0) {
      format.setTopMargin((format.headingLevel() == 1 ? 0 : 12) * kPoint);
      format.setBottomMargin(4 * kPoint);
    } else if (IsCodeBlock(block)) {
      const bool first = !IsCodeBlock(block.previous());
      const bool last = !IsCodeBlock(block.next());
      format.setTopMargin(first ? 3 * kPoint : 0);
      format.setBottomMargin(last ? 6 * kPoint : 0);
    } else if (QTextCursor(block).currentTable() == nullptr && !block.textList()) {
      format.setBottomMargin(5 * kPoint);
    } else if (block.textList()) {
      format.setBottomMargin(2 * kPoint);
    }
    QTextCursor(block).setBlockFormat(format);
  }
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    format.setCellPadding(2 * kPoint);
    format.setCellSpacing(0);
    format.setBorder(0.75 * kPoint);
    format.setBorderCollapse(true);
    format.setBorderBrush(QColor(0x99, 0x99, 0x99));
    format.setBottomMargin(6 * kPoint);
    table->setFormat(format);
  }
}

struct Heading {
  int level = 0;
  QString text;
  QTextBlock block;
};

// The "Contents" heading's table: one row per heading after it, the page
// column filled later.
QTextTable* InsertContents(QTextDocument& document, std::vector<Heading>& headings) {
  QTextBlock contents;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level == 0) continue;
    if (!contents.isValid()) {
      if (level == 2 && block.text() == kContents) contents = block;
      continue;
    }
    if (level <= 3) headings.push_back({level, block.text(), block});
  }
  if (!contents.isValid()) return nullptr;
  QTextCursor cursor(contents);
  cursor.movePosition(QTextCursor::EndOfBlock);
  QTextTableFormat format;
  format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
  format.setCellPadding(1);
  format.setCellSpacing(0);
  format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  format.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 92),
                                    QTextLength(QTextLength::PercentageLength, 8)});
  QTextTable* table = cursor.insertTable(static_cast<int>(headings.size()), 2, format);
  for (int row = 0; row < static_cast<int>(headings.size()); ++row) {
    const Heading& heading = headings[row];
    QTextCursor title = table->cellAt(row, 0).firstCursorPosition();
    QTextBlockFormat indent;
    indent.setLeftMargin(heading.level == 3 ? 24 : 0);
    title.setBlockFormat(indent);
    QTextCharFormat text;
    text.setFontWeight(heading.level == 2 ? QFont::Bold : QFont::Normal);
    title.insertText(heading.text, text);
    QTextCursor page = table->cellAt(row, 1).firstCursorPosition();
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    page.setBlockFormat(right);
    page.insertText("00", text);
  }
  return table;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Fonts and a paint device need a GUI application, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() < 3) {
    std::fprintf(stderr, "usage: make_guide SOURCE.md OUTPUT.pdf [FOLDER...]\n");
    return 2;
  }
  QStringList folders = arguments.mid(3);
  folders.prepend(QFileInfo(arguments[1]).absolutePath());
  const QString source = ExpandIncludes(QString::fromUtf8(ReadFile(arguments[1])), folders);

  QPdfWriter pdf(arguments[2]);
  pdf.setTitle(kTitle);
  pdf.setCreator("Quarrow");
  pdf.setResolution(kDotsPerInch);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter));
  const QRect paint_rect = pdf.pageLayout().paintRectPixels(kDotsPerInch);
  const double footer_height = 0.35 * kDotsPerInch;
  const QSizeF page(paint_rect.width(), paint_rect.height() - footer_height);

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&pdf);
  document.setDefaultFont(QFont("Liberation Sans", 10));
  document.setDocumentMargin(0);
  document.setMarkdown(source);
  document.setPageSize(page);

  PlacePictures(document, folders, page.width() / kDotsPerInch);
  CentreCaptions(document);
  SpaceForPrint(document);
  FitCodeBlocks(document, pdf, page.width());
  std::vector<Heading> headings;
  QTextTable* contents = InsertContents(document, headings);

  // Page numbers in the contents cannot change its length, so one more
  // round after filling them in settles everything.
  Pages pages(document, page.height());
  pages.Relayout();
  for (int round = 0; round < 4; ++round) {
    pages.KeepWithNext();
    if (contents == nullptr) break;
    bool changed = false;
    for (int row = 0; row < static_cast<int>(headings.size()); ++row) {
      const QString number = QString::number(pages.PageOf(pages.Top(headings[row].block)) + 1);
      QTextCursor cell = contents->cellAt(row, 1).firstCursorPosition();
      cell.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      if (cell.selectedText() == number) continue;
      cell.insertText(number);
      changed = true;
    }
    pages.Relayout();
    if (!changed) break;
  }

  const int page_count = document.pageCount();
  QPainter painter(&pdf);
  // Line drawings and screenshots stay sharp: no JPEG.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  QFont footer_font("Liberation Sans", 8);
  for (int index = 0; index < page_count; ++index) {
    if (index > 0) pdf.newPage();
    painter.save();
    painter.translate(0, -index * page.height());
    document.drawContents(&painter, QRectF(0, index * page.height(), page.width(), page.height()));
    painter.restore();
    painter.setFont(footer_font);
    painter.setPen(QColor(0x66, 0x66, 0x66));
    painter.drawText(
        QRectF(0, page.height(), page.width(), footer_height), Qt::AlignBottom | Qt::AlignHCenter,
        QString("%1  \u00b7  page %2 of %3").arg(kTitle).arg(index + 1).arg(page_count));
  }
  return painter.end() ? 0 : 1;
}
