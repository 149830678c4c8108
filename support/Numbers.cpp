// Number formatting of qbtools: German notation (decimal comma, "." between
// groups of three digits) and upper-case hexadecimal.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/Utf8.h"
#include "support/qbtools.h"

namespace {

// The tables are constants built by the compiler, so they are complete before
// any thread can read them (initqbtools has nothing left to fill in).
constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

constexpr std::array<int, 256> buildHexValues() {
  std::array<int, 256> values{};
  for (int& value : values) value = -1;
  for (int digit = 0; digit < 16; ++digit) {
    const char upper = kHexDigits[static_cast<std::size_t>(digit)];
    values[static_cast<unsigned char>(upper)] = digit;
    if (upper >= 'A') values[static_cast<unsigned char>(upper - 'A' + 'a')] = digit;
  }
  return values;
}

// Beyond this many decimals the shortest form of any double has only zeros.
constexpr int kMaxFormatDecimals = 400;
// Below 2^53 every integer is exact and the shortest form is written plainly;
// from there on, and below 1e-4, it is written with an exponent.
constexpr double kPlainNotationLimit = 9007199254740992.0;
constexpr double kPlainNotationSmallest = 1e-4;

std::string hexDigitsOf(std::uint64_t value, int digitCount) {
  std::string digits(static_cast<std::size_t>(digitCount), '0');
  for (int index = digitCount - 1; index >= 0; --index) {
    digits[static_cast<std::size_t>(index)] = hexdigits[value & 0xF];
    value >>= 4;
  }
  return digits;
}

std::string groupDigits(const std::string& digits) {
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (std::size_t index = 0; index < digits.size(); ++index) {
    if (index > 0 && (digits.size() - index) % 3 == 0) grouped.push_back('.');
    grouped.push_back(digits[index]);
  }
  return grouped;
}

std::string padLeft(const std::string& text, int padCharacter, int width) {
  if (!isUnicodeScalar(padCharacter)) return text;
  const auto length = static_cast<std::int64_t>(utf8ToScalars(text).size());
  std::string padding;
  for (std::int64_t missing = width - length; missing > 0; --missing) {
    appendUtf8(padding, static_cast<char32_t>(padCharacter));
  }
  return padding + text;
}

// "-12,5e-07" -> sign "-", integer digits "0", fraction digits "0000125".
struct PlainDecimal {
  bool negative = false;
  std::string integerDigits;
  std::string fractionDigits;
};

PlainDecimal resolveExponent(const std::string& shortest) {
  PlainDecimal plain;
  std::string mantissa = shortest;
  if (!mantissa.empty() && mantissa[0] == '-') {
    plain.negative = true;
    mantissa.erase(0, 1);
  }
  int exponent = 0;
  const std::size_t e = mantissa.find('e');
  if (e != std::string::npos) {
    std::from_chars(mantissa.data() + e + (mantissa[e + 1] == '+' ? 2 : 1),
                    mantissa.data() + mantissa.size(), exponent);
    mantissa.erase(e);
  }
  const std::size_t comma = mantissa.find(',');
  std::string digits = mantissa;
  std::int64_t point = static_cast<std::int64_t>(mantissa.size());
  if (comma != std::string::npos) {
    digits.erase(comma, 1);
    point = static_cast<std::int64_t>(comma);
  }
  point += exponent;
  const auto digitCount = static_cast<std::int64_t>(digits.size());
  if (point <= 0) {
    plain.integerDigits = "0";
    plain.fractionDigits = std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else if (point >= digitCount) {
    plain.integerDigits = digits + std::string(static_cast<std::size_t>(point - digitCount), '0');
  } else {
    plain.integerDigits = digits.substr(0, static_cast<std::size_t>(point));
    plain.fractionDigits = digits.substr(static_cast<std::size_t>(point));
  }
  const std::size_t firstNonZero = plain.integerDigits.find_first_not_of('0');
  plain.integerDigits =
      firstNonZero == std::string::npos ? "0" : plain.integerDigits.substr(firstNonZero);
  return plain;
}

// The shortest decimal digits that read back as value, as std::to_chars
// writes them without a precision: 1.5e-07 has the digits "15" and the
// exponent -7. Built on printf, which rounds exactly, so the first precision
// that reads back has to_chars's digits; not every standard library has
// to_chars for floating point. Digits and exponent are taken apart from
// printf's text, so its locale's decimal separator does not matter.
struct ShortestDecimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Seventeen significant digits read back as any double.
constexpr int kRoundTripPrecision = 16;

ShortestDecimal shortestDecimal(double value) {
  char buffer[64];
  for (int precision = 0; precision <= kRoundTripPrecision; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  ShortestDecimal shortest;
  const char* character = buffer;
  if (*character == '-') {
    shortest.negative = true;
    ++character;
  }
  for (; *character != '\0' && *character != 'e'; ++character) {
    if (*character >= '0' && *character <= '9') shortest.digits += *character;
  }
  if (*character == 'e') shortest.exponent = std::atoi(character + 1);
  return shortest;
}

// "1.5e-07", "1e+20": at least two exponent digits.
std::string scientificNotation(const ShortestDecimal& shortest) {
  std::string text = shortest.negative ? "-" : "";
  text += shortest.digits.substr(0, 1);
  if (shortest.digits.size() > 1) text += "." + shortest.digits.substr(1);
  const int magnitude = std::abs(shortest.exponent);
  text += shortest.exponent < 0 ? "e-" : "e+";
  if (magnitude < 10) text += "0";
  return text + std::to_string(magnitude);
}

// "0.00015", "1234.5", "100".
std::string fixedNotation(const ShortestDecimal& shortest) {
  std::string text = shortest.negative ? "-" : "";
  const std::string& digits = shortest.digits;
  if (shortest.exponent < 0) {
    return text + "0." + std::string(static_cast<std::size_t>(-shortest.exponent - 1), '0') +
           digits;
  }
  const auto integerLength = static_cast<std::size_t>(shortest.exponent) + 1;
  if (digits.size() <= integerLength)
    return text + digits + std::string(integerLength - digits.size(), '0');
  return text + digits.substr(0, integerLength) + "." + digits.substr(integerLength);
}

}  // namespace

constinit const std::array<char, 16> hexdigits = kHexDigits;
constinit const std::array<int, 256> hexvalues = buildHexValues();

std::string formatnumber(std::int64_t value, int padCharacter, int width, bool groups) {
  std::string digits = std::to_string(value);
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  if (groups) digits = groupDigits(digits);
  return padLeft(negative ? "-" + digits : digits, padCharacter, width);
}

std::string doubletostring(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  const double magnitude = std::fabs(value);
  const bool plain =
      magnitude == 0 || (magnitude >= kPlainNotationSmallest && magnitude < kPlainNotationLimit);
  const ShortestDecimal shortest = shortestDecimal(value);
  std::string text = plain ? fixedNotation(shortest) : scientificNotation(shortest);
  for (char& character : text) {
    if (character == '.') character = ',';
  }
  if (text.size() >= 3 && text.ends_with(",0")) text.erase(text.size() - 2);
  return text;
}

std::string formatdouble(int padCharacter, int width, int decimals, bool groups, double value) {
  if (!std::isfinite(value)) return padLeft(doubletostring(value), padCharacter, width);
  const PlainDecimal plain = resolveExponent(doubletostring(value));
  std::string text = plain.negative ? "-" : "";
  text += groups ? groupDigits(plain.integerDigits) : plain.integerDigits;
  const int fractionLength = std::clamp(decimals, 0, kMaxFormatDecimals);
  if (fractionLength > 0) {
    std::string fraction = plain.fractionDigits.substr(
        0, std::min(plain.fractionDigits.size(), static_cast<std::size_t>(fractionLength)));
    fraction.resize(static_cast<std::size_t>(fractionLength), '0');
    text += "," + fraction;
  }
  return padLeft(text, padCharacter, width);
}

std::string hexbyte(std::uint64_t value) {
  return hexDigitsOf(value, 2);
}

Text wordtohex(std::uint64_t value) {
  return Text::fromBytes(hexDigitsOf(value, 4));
}

std::string longtohex(std::uint64_t value) {
  return hexDigitsOf(value, 8);
}
