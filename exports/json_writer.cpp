#include "exports/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "exports/name_encoding.h"

namespace quarrow {

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";  // JSON has no infinities
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string JsonText(std::string_view text) {
  return JsonString(IsValidUtf8(text) ? std::string(text)
                                      : ToUtf8(text, NameEncoding::kWindows1252));
}

std::string JsonList(const std::vector<std::string>& values) {
  std::string list = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) list += ", ";
    list += values[i];
  }
  return list + "]";
}

JsonLine& JsonLine::Add(std::string_view key, std::string_view value) {
  if (text_.size() > 1) text_ += ", ";
  text_ += JsonString(key);
  text_ += ": ";
  text_ += value;
  return *this;
}

void JsonDocument::Key(std::string_view key, std::string_view value) {
  out_ += "  ";
  out_ += JsonString(key);
  out_ += ": ";
  out_ += value;
  out_ += ",\n";
}

void JsonDocument::Lines(std::string_view key, const std::vector<std::string>& values) {
  out_ += "  ";
  out_ += JsonString(key);
  out_ += ": [";
  for (std::size_t i = 0; i < values.size(); ++i) {
    out_ += ItemPrefix(i == 0);
    out_ += values[i];
  }
  out_ += "\n  ],\n";
}

void JsonDocument::OpenStream(std::string_view key) {
  out_ += "  ";
  out_ += JsonString(key);
  out_ += ": [";
}

}  // namespace quarrow
