#include "launcher/KeyScript.h"

#include <array>
#include <fstream>

#include "support/Utf8.h"

namespace {
constexpr int kFunctionKeyCount = 12;

struct NamedKey {
  std::string_view name;
  ScriptKeyKind kind;
};

constexpr std::array<NamedKey, 13> kNamedKeys = {{
    {"Return", ScriptKeyKind::Return},
    {"Esc", ScriptKeyKind::Escape},
    {"Tab", ScriptKeyKind::Tab},
    {"Backspace", ScriptKeyKind::Backspace},
    {"Delete", ScriptKeyKind::ForwardDelete},
    {"Left", ScriptKeyKind::Left},
    {"Right", ScriptKeyKind::Right},
    {"Up", ScriptKeyKind::Up},
    {"Down", ScriptKeyKind::Down},
    {"Home", ScriptKeyKind::Home},
    {"End", ScriptKeyKind::End},
    {"PageUp", ScriptKeyKind::PageUp},
    {"PageDown", ScriptKeyKind::PageDown},
}};

// The key of a name between braces; false when there is none.
bool namedKey(std::u32string_view name, ScriptKey& key) {
  std::string ascii;
  for (char32_t scalar : name) {
    if (scalar > 0x7E) return false;
    ascii.push_back(static_cast<char>(scalar));
  }
  for (const NamedKey& named : kNamedKeys) {
    if (ascii == named.name) {
      key = {named.kind, 0};
      return true;
    }
  }
  if (ascii.size() >= 2 && ascii.size() <= 3 && ascii[0] == 'F') {
    int number = 0;
    for (std::size_t index = 1; index < ascii.size(); ++index) {
      if (ascii[index] < '0' || ascii[index] > '9') return false;
      number = number * 10 + (ascii[index] - '0');
    }
    if (number < 1 || number > kFunctionKeyCount || ascii[1] == '0') return false;
    key = {ScriptKeyKind::Function, static_cast<char32_t>(number)};
    return true;
  }
  if (ascii.starts_with("Menu ")) {
    const std::string digits = ascii.substr(5);
    char32_t tag = 0;
    for (char digit : digits) {
      if (digit < '0' || digit > '9') return false;
      tag = tag * 10 + static_cast<char32_t>(digit - '0');
      if (tag > kMaxMenuTag) return false;
    }
    if (digits.empty() || tag == 0) return false;
    key = {ScriptKeyKind::Menu, tag};
    return true;
  }
  if (ascii.size() == 6 && ascii.compare(0, 5, "Ctrl-") == 0) {
    char letter = ascii[5];
    if ((letter >= 'A' && letter <= 'Z') || letter == '^') {
      key = {ScriptKeyKind::Control, static_cast<char32_t>(letter)};
      return true;
    }
  }
  return false;
}

std::string lineError(int line, const std::string& message) {
  return "line " + std::to_string(line) + ": " + message;
}
}  // namespace

KeyScript parseKeyScript(std::string_view utf8) {
  KeyScript script;
  if (!isValidUtf8(utf8)) {
    script.error = "line 1: the file is not UTF-8 text";
    return script;
  }
  std::u32string text = utf8ToScalars(utf8);
  int line = 1;
  auto add = [&](ScriptKey key) {
    script.keys.push_back(key);
    script.lines.push_back(line);
  };
  for (std::size_t index = 0; index < text.size(); ++index) {
    char32_t scalar = text[index];
    const bool lineStart = index == 0 || text[index - 1] == U'\n' || text[index - 1] == U'\r';
    if (lineStart && scalar == U'#') {  // a comment line, its line end included
      while (index + 1 < text.size() && text[index + 1] != U'\n' && text[index + 1] != U'\r')
        ++index;
      if (index + 2 < text.size() && text[index + 1] == U'\r' && text[index + 2] == U'\n') ++index;
      ++index;
      ++line;
      continue;
    }
    if (scalar == U'\r' && index + 1 < text.size() && text[index + 1] == U'\n') continue;
    if (scalar == U'\n' || scalar == U'\r') {
      add({ScriptKeyKind::Return, 0});
      ++line;
      continue;
    }
    if (scalar != U'{') {
      add({ScriptKeyKind::Character, scalar});
      continue;
    }
    if (index + 1 < text.size() && text[index + 1] == U'{') {
      add({ScriptKeyKind::Character, U'{'});
      ++index;
      continue;
    }
    std::size_t close = text.find(U'}', index + 1);
    if (close == std::u32string::npos || close - index - 1 > kMaxKeyNameLength) {
      script.error =
          lineError(line, "\"{\" without a key name and \"}\" (write \"{{\" for a brace)");
      return script;
    }
    std::u32string_view name(text.data() + index + 1, close - index - 1);
    ScriptKey key;
    if (!namedKey(name, key)) {
      script.error = lineError(line, "unknown key name {" + scalarsToUtf8(name) + "}");
      return script;
    }
    add(key);
    index = close;
  }
  return script;
}

KeyScript readKeyScript(const std::string& path) {
  KeyScript script;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    script.error = "cannot read " + path;
    return script;
  }
  std::string bytes;
  char buffer[65536];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kMaxKeyScriptBytes) {
      script.error = path + " is larger than " + std::to_string(kMaxKeyScriptBytes) + " bytes";
      return script;
    }
  }
  return parseKeyScript(bytes);
}
