#pragma once

// The lines of the text formats (GSI, RW5, SDR33, GTS-7) as data collectors
// write them, and the names in them.
//
// Lines end in CR LF, LF or CR alone, mixed within one file; every line end
// counts once, so that a message can name the line an editor shows. Blank
// lines, and lines that start with a control character other than a tab
// (the ETX of a serial download, the DOS end-of-file mark), are passed over.

#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

struct TextLine {
  std::string_view raw;   // without its line end, as written
  std::string_view text;  // without blanks and tabs before, blanks and controls after
  int number = 0;         // counted from 1
};

std::vector<TextLine> TextLines(std::string_view bytes);

// "line 12"
std::string LinePlace(int line);

// How the names of a file are decoded: UTF-8 when the whole file is valid
// UTF-8 (plain ASCII is), else Windows-1252, as older collectors write.
enum class NameEncoding { kUtf8, kWindows1252 };
NameEncoding NameEncodingOf(std::string_view bytes);

// `bytes` as code points in `encoding`. Every byte of a malformed sequence
// comes back as its Windows-1252 character, so nothing is lost.
std::u32string DecodeName(std::string_view bytes, NameEncoding encoding);

// `text` without blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

}  // namespace quarrow
