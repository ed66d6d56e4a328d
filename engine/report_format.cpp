#include "engine/report_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quarrow {

namespace {

// |value| rounded to whole thousandths exactly as fixed-point printing
// rounds it: to the nearest, an exact tie to the even neighbour. Works on
// the binary value itself (mantissa x 2^exponent), so no multiplication can
// round first. Declines values of 10^15 and more, infinities and NaN.
bool RoundToThousandths(double value, std::uint64_t& thousandths) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < 1e15)) return false;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased_exponent = static_cast<int>(bits >> 52);
  if (biased_exponent == 0) {  // zero or subnormal: far below half a thousandth
    thousandths = 0;
    return true;
  }
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int exponent = biased_exponent - 1075;  // magnitude = mantissa x 2^exponent
  if (exponent >= 0) {
    thousandths = (mantissa << exponent) * 1000;  // below 10^18: no overflow
    return true;
  }
  const std::uint64_t scaled = mantissa * 1000;  // below 2^63
  const int shift = -exponent;
  if (shift >= 64) {  // below 2^63 / 2^64: under half a thousandth
    thousandths = 0;
    return true;
  }
  std::uint64_t whole = scaled >> shift;
  const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
  thousandths = whole;
  return true;
}

// Room for the short texts below: a sign, 15 digits, a separator of up to
// 16 bytes and three decimals.
constexpr std::size_t kShortRoom = 40;
constexpr std::size_t kLongestSeparator = 16;

// Writes `n` (below 100) as two digits ending at `end`; returns their start.
char* WriteTwoDigits(char* end, unsigned n) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  std::memcpy(end - 2, kPairs + 2 * n, 2);
  return end - 2;
}

// FormatFixed3's text written backwards so that it ends at `end`, with
// kShortRoom bytes of room before it. Returns where the text begins, or
// nullptr when the value or the separator is too long for this short cut.
char* WriteShortFixed3(double value, std::string_view decimal_separator, char* end) {
  if (value == 0.0) value = 0.0;  // Deliberate: negative zero prints as "0.000"
  std::uint64_t thousandths;
  if (decimal_separator.size() > kLongestSeparator || !RoundToThousandths(value, thousandths)) {
    return nullptr;
  }
  char* p = end;
  const auto fraction = static_cast<unsigned>(thousandths % 1000);
  p = WriteTwoDigits(p, fraction % 100);
  *--p = static_cast<char>('0' + fraction / 100);
  if (decimal_separator.size() == 1) {
    *--p = decimal_separator[0];
  } else {
    p -= decimal_separator.size();
    std::memcpy(p, decimal_separator.data(), decimal_separator.size());
  }
  std::uint64_t whole = thousandths / 1000;
  while (whole >= 100) {
    p = WriteTwoDigits(p, static_cast<unsigned>(whole % 100));
    whole /= 100;
  }
  if (whole >= 10) {
    p = WriteTwoDigits(p, static_cast<unsigned>(whole));
  } else {
    *--p = static_cast<char>('0' + whole);
  }
  // Deliberate: a tiny negative value that rounds to zero keeps its sign.
  if (std::signbit(value)) *--p = '-';
  return p;
}

}  // namespace

void AppendFixed3(std::string& out, double value, std::string_view decimal_separator) {
  char buffer[kShortRoom];
  char* const end = buffer + sizeof buffer;
  if (char* text = WriteShortFixed3(value, decimal_separator, end)) {
    out.append(text, end);
    return;
  }
  if (value == 0.0) value = 0.0;
  // Large enough for the widest double in fixed notation (309 digits).
  char digits[400];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
  const std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) {
    out += text;
    return;
  }
  out += text.substr(0, point);
  out += decimal_separator;
  out += text.substr(point + 1);
}

std::string FormatFixed3(double value, std::string_view decimal_separator) {
  std::string text;
  AppendFixed3(text, value, decimal_separator);
  return text;
}

std::string PadText(std::string_view text, int width) {
  if (width < 0) width = 0;
  const std::size_t w = static_cast<std::size_t>(width);
  if (w < text.size()) return std::string(text.substr(0, w));
  std::string padded(text);
  padded.append(w - text.size(), ' ');
  return padded;
}

void AppendReading(std::string& line, double value, int width, std::string_view decimal_separator) {
  const bool signed_reading = width < 0;
  const std::size_t w = static_cast<std::size_t>(signed_reading ? -width : width);
  // Composed in a small buffer, padding included, and appended once.
  char buffer[2 * kShortRoom];
  char* const end = buffer + sizeof buffer;
  char* text = WriteShortFixed3(signed_reading ? std::fabs(value) : value, decimal_separator, end);
  if (text) {
    if (signed_reading && value != 0) *--text = value > 0 ? '+' : '-';
    const auto length = static_cast<std::size_t>(end - text);
    if (length >= w) {
      line.append(text, w);
    } else if (w <= sizeof buffer) {
      char* const start = end - w;
      std::fill(start, text, ' ');
      line.append(start, w);
    } else {
      line.append(w - length, ' ');
      line.append(text, length);
    }
    return;
  }
  const std::size_t start = line.size();
  if (signed_reading) {
    if (value > 0) {
      line += '+';
    } else if (value < 0) {
      line += '-';
    }
  }
  AppendFixed3(line, signed_reading ? std::fabs(value) : value, decimal_separator);
  const std::size_t length = line.size() - start;
  if (w < length) {
    line.resize(start + w);
  } else {
    line.insert(start, w - length, ' ');
  }
}

std::string FormatReading(double value, int width, std::string_view decimal_separator) {
  std::string text;
  AppendReading(text, value, width, decimal_separator);
  return text;
}

std::string FormatReportDate(const CivilDate& date, std::string_view date_separator) {
  char part[16];
  std::string text;
  std::snprintf(part, sizeof part, "%02d", date.month);
  text += part;
  text += date_separator;
  std::snprintf(part, sizeof part, "%02d", date.day);
  text += part;
  text += date_separator;
  std::snprintf(part, sizeof part, "%04d", date.year);
  text += part;
  return text;
}

std::string FrameSummaryLine(std::string_view text, std::string_view frame_fill) {
  std::string line(text);
  if (text.size() < frame_fill.size()) line += frame_fill.substr(text.size());
  return line;
}

}  // namespace quarrow
