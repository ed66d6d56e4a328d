#include "engine/numeric_prefix.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace quarrow {

namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Walks the text with the skipped bytes left out.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) { SkipBlanks(); }
  bool AtEnd() const { return pos_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Advance() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The numbers a field file really holds ("52.114", "-1.5", "0") in one
// sweep, with no text built. It answers only when the result is certain to
// be the one the full reading gives: a mantissa of at most 2^53 and at most
// 22 decimals are exact doubles, so the one division is correctly rounded,
// as from_chars is. Blanks, an exponent and longer numbers are left to the
// full reading.
bool ReadPlainNumber(std::string_view text, double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  std::uint64_t mantissa = 0;
  int digits = 0;  // at most 19 fit in the mantissa
  const auto take_digits = [&] {
    for (; p != end && IsDigit(*p); ++p, ++digits) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
  };
  take_digits();
  int decimals = 0;
  if (p != end && *p == '.') {
    ++p;
    const int before_point = digits;
    take_digits();
    decimals = digits - before_point;
  }
  if (p != end && (IsSkipped(*p) || *p == 'e' || *p == 'E')) return false;
  if (digits > 19 || decimals > 22 || mantissa > (std::uint64_t{1} << 53)) return false;
  // Also no digits at all; and never a negative zero.
  value = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
  if (negative && mantissa != 0) value = -value;
  return true;
}

// Any number, blanks and exponent included, through from_chars. Kept out
// of line so that the plain reading does not pay for its strings' frame.
[[gnu::noinline]] double ReadAnyNumber(std::string_view text) {
  Cursor in(text);
  bool negative = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Advance();
  }

  // The mantissa is collected without its leading zeros, so its length says
  // how large the number is when from_chars finds it out of range.
  std::string mantissa;
  std::int64_t digits_before_point = 0;  // significant digits before "."
  std::int64_t zeros_after_point = 0;    // zeros after "." before the first significant digit
  bool any_digit = false;
  while (IsDigit(in.Peek())) {
    any_digit = true;
    if (!mantissa.empty() || in.Peek() != '0') {
      mantissa += in.Peek();
      ++digits_before_point;
    }
    in.Advance();
  }
  if (in.Peek() == '.') {
    in.Advance();
    mantissa += '.';
    bool significant = digits_before_point > 0;
    while (IsDigit(in.Peek())) {
      any_digit = true;
      significant = significant || in.Peek() != '0';
      if (!significant) ++zeros_after_point;
      mantissa += in.Peek();
      in.Advance();
    }
  }
  if (!any_digit) return 0.0;

  std::int64_t exponent = 0;
  if (in.Peek() == 'e' || in.Peek() == 'E') {
    in.Advance();
    bool exponent_negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
      exponent_negative = in.Peek() == '-';
      in.Advance();
    }
    while (IsDigit(in.Peek())) {
      // Beyond a million the result is 0 or infinite anyway.
      if (exponent < 1000000) exponent = exponent * 10 + (in.Peek() - '0');
      in.Advance();
    }
    if (exponent_negative) exponent = -exponent;
  }

  if (mantissa.empty() || mantissa == ".") return 0.0;
  std::string number = "0" + mantissa + "e" + std::to_string(exponent);
  double value = 0.0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    const std::int64_t magnitude = exponent + digits_before_point - zeros_after_point;
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  if (value == 0.0) return 0.0;  // no negative zero: "-0" reads as plain 0
  return negative ? -value : value;
}

}  // namespace

std::string_view NumericPrefixRest(std::string_view text) {
  std::size_t pos = 0;
  const auto skip = [&] {
    while (pos < text.size() && IsSkipped(text[pos])) ++pos;
  };
  const auto digits = [&] {
    bool any = false;
    for (skip(); pos < text.size() && IsDigit(text[pos]); skip()) {
      ++pos;
      any = true;
    }
    return any;
  };
  skip();
  const std::size_t start = pos;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  bool any_digit = digits();
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    any_digit = digits() || any_digit;
  }
  if (!any_digit) return text.substr(start);
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    skip();
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    digits();
  }
  skip();
  return text.substr(pos);
}

double NumericPrefix(std::string_view text) {
  double plain;
  if (ReadPlainNumber(text, plain)) return plain;
  return ReadAnyNumber(text);
}

}  // namespace quarrow
