#include "tools/make_guide/guide_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <cmath>

bool IsPictureBlock(const QTextBlock& block) {
  return block.text() == QString(QChar::ObjectReplacementCharacter) &&
         block.begin().fragment().charFormat().isImageFormat();
}

bool IsCodeBlock(const QTextBlock& block) {
  return block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

int Pages::PageOf(double y) const { return static_cast<int>(std::floor(y / page_height_)); }

double Pages::Top(const QTextBlock& block) const {
  return document_.documentLayout()->blockBoundingRect(block).top();
}

double Pages::BottomOfOpening(const QTextBlock& block) const {
  const QRectF box = document_.documentLayout()->blockBoundingRect(block);
  const QTextLayout* layout = block.layout();
  if (layout == nullptr || layout->lineCount() == 0) return box.bottom();
  const QTextLine line = layout->lineAt(std::min(1, layout->lineCount() - 1));
  return box.top() + line.y() + line.height();
}

void Pages::Relayout() { document_.markContentsDirty(0, document_.characterCount()); }

bool Pages::KeepsWithNext(const QTextBlock& block) {
  if (block.blockFormat().headingLevel() > 0 || IsPictureBlock(block)) return true;
  return block.text().endsWith(':') && !IsCodeBlock(block) &&
         QTextCursor(block).currentTable() == nullptr;
}

void Pages::KeepWithNext() {
  for (bool moved = true; moved;) {
    moved = false;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
      if (!KeepsWithNext(block)) continue;
      QTextBlock next = block.next();
      while (next.isValid() && next.text().isEmpty() && !IsPictureBlock(next)) {
        next = next.next();
      }
      if (!next.isValid() || PageOf(Top(block)) == PageOf(BottomOfOpening(next) - 1)) {
        continue;
      }
      QTextBlock first = block;
      while (first.previous().isValid() && KeepsWithNext(first.previous())) {
        first = first.previous();
      }
      if (first.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
      QTextCursor cursor(first);
      QTextBlockFormat format = first.blockFormat();
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      cursor.setBlockFormat(format);
      Relayout();
      moved = true;
      break;  // positions after it have changed
    }
    if (!moved) moved = KeepCodeTogether() || KeepTablesTogether();
  }
}

bool Pages::BreakBeforeIntroduction(const QTextBlock& content) {
  QTextBlock before = content.previous();
  while (before.isValid() && before.text().isEmpty() && !IsPictureBlock(before)) {
    before = before.previous();
  }
  if (!before.isValid() || !KeepsWithNext(before)) return false;
  while (before.previous().isValid() && KeepsWithNext(before.previous())) {
    before = before.previous();
  }
  QTextBlockFormat format = before.blockFormat();
  if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return false;
  format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  QTextCursor(before).setBlockFormat(format);
  Relayout();
  return true;
}

bool Pages::KeepTablesTogether() {
  for (QTextFrame* frame : document_.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    const QRectF box = document_.documentLayout()->frameBoundingRect(table);
    if (PageOf(box.top()) == PageOf(box.bottom() - 1) || box.height() >= page_height_) continue;
    QTextTableFormat format = table->format();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    if (BreakBeforeIntroduction(table->cellAt(0, 0).firstCursorPosition().block())) return true;
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(format);
    Relayout();
    return true;
  }
  return false;
}

bool Pages::KeepCodeTogether() {
  for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
    if (!IsCodeBlock(block) || (block.previous().isValid() && IsCodeBlock(block.previous()))) {
      continue;
    }
    QTextBlock last = block;
    while (last.next().isValid() && IsCodeBlock(last.next())) last = last.next();
    const double top = Top(block);
    const double bottom = document_.documentLayout()->blockBoundingRect(last).bottom();
    if (PageOf(top) == PageOf(bottom - 1) || bottom - top >= page_height_) continue;
    if (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    if (BreakBeforeIntroduction(block)) return true;
    QTextCursor cursor(block);
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.setBlockFormat(format);
    Relayout();
    return true;
  }
  return false;
}
