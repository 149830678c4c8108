#include "adventure/GameInfo.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/Utf8.h"

namespace adventure {
namespace {

struct Field {
  const char* name;
  std::string GameInfo::*value;
  bool required;
};

constexpr std::array<Field, 8> kFields{{
    {"title", &GameInfo::title, true},
    {"id", &GameInfo::id, true},
    {"version", &GameInfo::version, true},
    {"author", &GameInfo::author, true},
    {"licence", &GameInfo::licence, true},
    {"language", &GameInfo::language, true},
    {"description", &GameInfo::description, false},
    {"homepage", &GameInfo::homepage, false},
}};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// The fault of a value that the field does not take; empty when it fits.
std::string valueFault(std::string_view field, std::string_view value) {
  if (value.empty()) return "is empty";
  if (value.size() > kMaxGameInfoValueBytes) return "is longer than 2000 bytes";
  if (!isValidUtf8(value)) return "is not UTF-8";
  if (field == "id" && !isReverseDomainName(value))
    return "'" + std::string(value) + "' is no reverse domain name (like de.example.spiel)";
  if (field == "version" && !isVersionNumber(value))
    return "'" + std::string(value) + "' is not numbers and dots (like 1.2)";
  return {};
}

}  // namespace

bool isReverseDomainName(std::string_view id) {
  int labels = 0;
  while (true) {
    const std::size_t dot = id.find('.');
    const std::string_view label = id.substr(0, dot);
    if (label.empty() || !isAsciiLetter(label.front())) return false;
    if (!std::all_of(label.begin(), label.end(), [](char c) {
          return isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '_';
        }))
      return false;
    ++labels;
    if (dot == std::string_view::npos) break;
    id.remove_prefix(dot + 1);
  }
  return labels >= 2;
}

bool isVersionNumber(std::string_view version) {
  if (version.empty() || version.size() > 64) return false;
  bool digitBefore = false;
  for (char c : version) {
    if (isAsciiDigit(c)) {
      digitBefore = true;
    } else if (c == '.' && digitBefore) {
      digitBefore = false;
    } else {
      return false;
    }
  }
  return digitBefore;
}

std::string stateFolderNameOf(const GameInfo& info) {
  return info.id.empty() || info.id == kEngineGameId ? std::string("velmorat") : info.id;
}

GameInfoReading parseGameInfo(std::string_view bytes, const std::string& fileName) {
  GameInfoReading reading;
  std::array<bool, kFields.size()> given{};
  if (bytes.size() > kMaxGameInfoBytes) {
    reading.faults.push_back(fileName + ": larger than 64 KiB, not a game.ini");
    return reading;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a byte order mark
  int lineNumber = 0;
  while (!bytes.empty()) {
    ++lineNumber;
    const std::size_t end = bytes.find('\n');
    const std::string_view line = trimmed(bytes.substr(0, end));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    const std::string where = fileName + ":" + std::to_string(lineNumber) + ": ";
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line != "[game]")
        reading.faults.push_back(where + "unknown section " + std::string(line) + " (only [game])");
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      reading.faults.push_back(where + "no \"field = value\" line");
      continue;
    }
    const std::string field(trimmed(line.substr(0, equals)));
    const std::string_view value = trimmed(line.substr(equals + 1));
    const auto known = std::find_if(kFields.begin(), kFields.end(),
                                    [&](const Field& f) { return field == f.name; });
    if (known == kFields.end()) {
      reading.faults.push_back(where + "unknown field '" + field + "'");
      continue;
    }
    const std::size_t index = static_cast<std::size_t>(known - kFields.begin());
    if (given[index]) {
      reading.faults.push_back(where + "field '" + field + "' given twice");
      continue;
    }
    given[index] = true;
    const std::string fault = valueFault(field, value);
    if (!fault.empty()) {
      reading.faults.push_back(where + "field '" + field + "' " + fault);
      continue;
    }
    reading.info.*(known->value) = std::string(value);
  }
  for (std::size_t index = 0; index < kFields.size(); ++index) {
    if (kFields[index].required && !given[index])
      reading.faults.push_back(fileName + ": field '" + kFields[index].name + "' missing");
  }
  return reading;
}

GameInfoReading readGameInfo(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return {{}, {path + ": missing (every game needs a game.ini)"}};
  }
  if (std::filesystem::file_size(path, error) > kMaxGameInfoBytes) {
    return {{}, {path + ": larger than 64 KiB, not a game.ini"}};
  }
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file && !file.eof()) return {{}, {path + ": cannot be read"}};
  return parseGameInfo(bytes, path);
}

}  // namespace adventure
