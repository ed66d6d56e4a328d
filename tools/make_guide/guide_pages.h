// Pagination of the field guide: where each page of a laid-out document
// ends, and the page breaks that keep headings, pictures, tables and code
// blocks with what they belong to.

#pragma once

#include <QTextBlock>
#include <QTextDocument>

// A paragraph that holds only a picture.
bool IsPictureBlock(const QTextBlock& block);
// A line of a fenced or indented code block.
bool IsCodeBlock(const QTextBlock& block);

// Paginates the document into pages of `page_height`, with every heading and
// picture on the page of the first two lines that follow it.
class Pages {
 public:
  Pages(QTextDocument& document, double page_height)
      : document_(document), page_height_(page_height) {}

  // The page (from 0) that the document's y falls on, and the top of a block.
  int PageOf(double y) const;
  double Top(const QTextBlock& block) const;

  // The bottom of the block's second line (or its only one).
  double BottomOfOpening(const QTextBlock& block) const;

  // Lays the whole document out again. Qt lays a document out lazily and,
  // after format changes, can leave blocks it never reached without lines.
  void Relayout();

  // Headings, pictures, and paragraphs that end in a colon, introducing
  // what follows.
  static bool KeepsWithNext(const QTextBlock& block);

  // Moves to the next page every chain of headings and pictures that would
  // be parted from what follows, until none is.
  void KeepWithNext();

  // Starts a new page at the headings and paragraphs that introduce
  // `content`, when there are any and they do not already start one; says
  // whether it did.
  bool BreakBeforeIntroduction(const QTextBlock& content);

  // Moves to the next page the first table that a page end would part and
  // that fits on one page; says whether it moved one.
  bool KeepTablesTogether();

  // Moves to the next page the first code block that a page end would part
  // and that fits on one page; says whether it moved one.
  bool KeepCodeTogether();

 private:
  QTextDocument& document_;
  double page_height_;
};
