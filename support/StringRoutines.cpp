// The string routines of qbtools on UTF-8 strings; positions count Unicode
// scalars from 1.
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <string>

#include "support/Utf8.h"
#include "support/qbtools.h"

namespace {

std::string slice(const std::u32string& scalars, std::size_t first, std::size_t count) {
  if (first >= scalars.size()) return std::string();
  return scalarsToUtf8(std::u32string_view(scalars).substr(first, count));
}

// Case mapping needs the full Unicode tables; the C.UTF-8 locale of the C
// library has them and, unlike the process locale, nobody can change it.
locale_t unicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
  return locale;
}

// Characters whose uppercase form is more than one character start with:
// ß gives "SS", the Latin ligatures give "FF", "FI", ..., "ST", ŉ gives "ʼN".
int firstOfLongUppercase(int code) {
  switch (code) {
    case 0xDF:
      return 'S';
    case 0x149:
      return 0x2BC;
    case 0xFB00:
    case 0xFB01:
    case 0xFB02:
    case 0xFB03:
    case 0xFB04:
      return 'F';
    case 0xFB05:
    case 0xFB06:
      return 'S';
    default:
      return -1;
  }
}

int mapCase(int code, bool upper) {
  if (!isUnicodeScalar(code)) return 0;
  if (upper) {
    const int longForm = firstOfLongUppercase(code);
    if (longForm >= 0) return longForm;
  }
  const locale_t locale = unicodeLocale();
  if (locale == locale_t(nullptr)) {  // no tables: ASCII at least
    if (upper && code >= 'a' && code <= 'z') return code - 32;
    if (!upper && code >= 'A' && code <= 'Z') return code + 32;
    return code;
  }
  const auto wide = static_cast<wint_t>(code);
  return static_cast<int>(upper ? towupper_l(wide, locale) : towlower_l(wide, locale));
}

}  // namespace

std::string stringchar(const std::string& text, int index) {
  if (index < 1) return std::string();
  return slice(utf8ToScalars(text), static_cast<std::size_t>(index) - 1, 1);
}

std::string stringfrom(const std::string& text, int start) {
  if (start < 2) return text;
  return slice(utf8ToScalars(text), static_cast<std::size_t>(start) - 1, std::u32string::npos);
}

std::string stringmid(const std::string& text, int start, int length) {
  if (length < 1) return std::string();
  const std::size_t first = start < 2 ? 0 : static_cast<std::size_t>(start) - 1;
  return slice(utf8ToScalars(text), first, static_cast<std::size_t>(length));
}

int stringinstr(const std::string& text, const std::string& pattern, int start) {
  const std::u32string scalars = utf8ToScalars(text);
  const std::u32string wanted = utf8ToScalars(pattern);
  const std::size_t first = start < 2 ? 0 : static_cast<std::size_t>(start) - 1;
  if (wanted.empty() || first >= scalars.size()) return 0;
  const std::size_t found = scalars.find(wanted, first);
  return found == std::u32string::npos ? 0 : static_cast<int>(found) + 1;
}

std::string stringrepeat(const std::string& text, int count) {
  if (count < 1 || count > kMaxStringRepeat || text.empty()) return std::string();
  std::string result;
  result.reserve(text.size() * static_cast<std::size_t>(count));
  for (int copy = 0; copy < count; ++copy) result += text;
  return result;
}

std::string stringspaces(int count) {
  if (count < 1 || count > kMaxStringRepeat) return std::string();
  return std::string(static_cast<std::size_t>(count), ' ');
}

std::string stringfirstline(const std::string& text) {
  std::size_t end = text.find('\r');
  if (end == std::string::npos) end = text.find('\n');
  return end == std::string::npos ? text : text.substr(0, end);
}

std::string stringjustify(const std::string& left, const std::string& right, int width) {
  if (width < 1) return std::string();
  const std::u32string leftScalars = utf8ToScalars(left);
  const std::u32string joined = leftScalars + utf8ToScalars(right);
  const auto blanks = static_cast<std::int64_t>(width) - static_cast<std::int64_t>(joined.size());
  if (blanks < 1) return slice(joined, 0, static_cast<std::size_t>(width));
  std::u32string result = joined;
  result.insert(leftScalars.size(), static_cast<std::size_t>(blanks), U' ');
  return scalarsToUtf8(result);
}

int asc(const std::string& text) {
  if (text.empty()) return 0;
  return static_cast<int>(utf8ToScalars(text.substr(0, std::min<std::size_t>(text.size(), 4)))[0]);
}

int chrupper(int code) {
  return mapCase(code, true);
}

int chrlower(int code) {
  return mapCase(code, false);
}
