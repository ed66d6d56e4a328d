#include "convert/field_file_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/messages.h"

namespace quarrow {

std::string FormatFixed(double value, int decimals) {
  // Deliberate: a tiny negative value would show as "-0.0000".
  if (value == 0 || std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, result.ptr);
}

std::string FormatZenith(double seconds, char mark) {
  const long long hundredths = std::llround(seconds * 100);
  const long long degrees = hundredths / 360000;
  const long long minutes = hundredths / 6000 % 60;
  const long long rest = hundredths % 6000;
  char text[48];
  std::snprintf(text, sizeof text, "%lld%c%02lld'%02lld.%02lld", degrees, mark, minutes, rest / 100,
                rest % 100);
  return text;
}

std::string EncodeName(const std::u32string& name, CodePage page, int& unmappable, int& commas) {
  std::string bytes;
  bytes.reserve(name.size());
  for (char32_t c : name) {
    if (c == U',') {
      bytes += ';';
      ++commas;
      continue;
    }
    const int byte = EncodeChar(c, page);
    if (byte < 0) {
      bytes += '?';
      ++unmappable;
    } else {
      bytes += static_cast<char>(byte);
    }
  }
  return bytes;
}

FieldFileText WriteFieldFile(const ReducedRun& run, const FieldFileOptions& options) {
  FieldFileText out;
  const char mark = options.dos ? '\xf8' : '\xb0';
  const CodePage page = options.dos ? CodePage::kDos437 : CodePage::kWindows1252;
  const double scale = options.units == Units::kFeet ? 1 / options.metres_per_foot : 1;

  // The reader passes over any line without the degree sign, so the first
  // line keeps to printable ASCII: a file name could hold a degree sign.
  // The units come last, where the adjustment looks for them.
  std::string source;
  for (unsigned char c : options.source_name) {
    source += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  out.bytes += "Converted by quarrow-convert from " + options.kind + " file " + source + "; ";
  out.bytes += options.units == Units::kFeet ? messages::kFieldFileUnitsFeet
                                             : messages::kFieldFileUnitsMetric;
  out.bytes += "\r\n";

  for (std::size_t s = 0; s < run.setups.size(); ++s) {
    const std::string setup = std::to_string(s + 1);
    for (const Observation& obs : run.setups[s].observations) {
      const int changed_before = out.unmappable + out.commas;
      const std::string name = EncodeName(obs.name, page, out.unmappable, out.commas);
      if (out.unmappable + out.commas != changed_before) ++out.names_changed;
      out.bytes += setup;
      out.bytes += ',';
      out.bytes += name;
      out.bytes += ',';
      out.bytes += FormatZenith(obs.zenith, mark);
      out.bytes += ',';
      out.bytes += FormatFixed(obs.slope * scale, 4);
      out.bytes += ',';
      out.bytes += FormatFixed(obs.rod * scale, 4);
      out.bytes += "\r\n";
    }
  }
  return out;
}

}  // namespace quarrow
