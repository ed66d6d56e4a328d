#pragma once

// The JSON that both exports write, in one layout: a document of one key a
// line, arrays of objects one object a line, and each such object on its
// line with its keys in the order given. UTF-8; numbers in the shortest form
// that reads back to the same double.

#include <string>
#include <string_view>
#include <vector>

namespace quarrow {

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// `value` in the shortest form that reads back to the same double; null for
// a value JSON cannot hold (an infinity, not a number).
std::string JsonNumber(double value);
// `text` as a JSON string; bytes that are not UTF-8 (a path from an old
// system, a name in a code page) are read as Windows-1252 rather than lost.
std::string JsonText(std::string_view text);
inline std::string JsonBool(bool value) { return value ? "true" : "false"; }
// JSON values as an array on one line: [a, b, c].
std::string JsonList(const std::vector<std::string>& values);

// An object on one line: {"key": value, "key": value}.
class JsonLine {
 public:
  // Adds a key whose value is already JSON text.
  JsonLine& Add(std::string_view key, std::string_view value);
  std::string Text() const { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

// The top level of a document, written into `out` as it is built:
//   {
//     "key": value,
//     "key": [
//       {...},
//       {...}
//     ],
//     "last": [        <- OpenStream: items follow, then CloseStream
class JsonDocument {
 public:
  explicit JsonDocument(std::string& out) : out_(out) { out_ += "{\n"; }
  void Key(std::string_view key, std::string_view value);
  // An array of values one a line.
  void Lines(std::string_view key, const std::vector<std::string>& values);
  // The last key, an array whose items are streamed with StreamItem and
  // ended by CloseStream, which also ends the document.
  void OpenStream(std::string_view key);
  // The prefix of the next streamed item: a line break and indent, with
  // the comma before every item but the first.
  static std::string_view ItemPrefix(bool first) { return first ? "\n    " : ",\n    "; }
  static std::string_view StreamEnd() { return "\n  ]\n}\n"; }

 private:
  std::string& out_;
};

}  // namespace quarrow
