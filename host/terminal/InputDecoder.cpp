#include "host/terminal/InputDecoder.h"

#include <array>
#include <optional>

namespace terminal {
namespace {

constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kDeleteCharacter = 0x7F;
constexpr std::string_view kPasteEnd = "\x1b[201~";
constexpr int kPasteStartCode = 200;

// xterm's modifier parameter: 1 + bit mask (1 Shift, 2 Alt, 4 Control, 8 Meta).
void applyModifier(InputEvent& key, int parameter) {
  if (parameter < 2) return;
  int mask = parameter - 1;
  key.shift = key.shift || (mask & 1) != 0;
  key.alt = key.alt || (mask & (2 | 8)) != 0;
  key.control = key.control || (mask & 4) != 0;
}

InputEvent named(NamedKey name) {
  InputEvent key;
  key.kind = InputKind::Named;
  key.key = name;
  return key;
}

InputEvent function(int number) {
  InputEvent key;
  key.kind = InputKind::Function;
  key.functionNumber = number;
  return key;
}

InputEvent character(char32_t scalar) {
  InputEvent key;
  key.character = scalar;
  return key;
}

// The key of one byte below 0x20 or 0x7F.
InputEvent controlKey(unsigned char byte) {
  switch (byte) {
    case '\r':
      return named(NamedKey::Return);
    case '\t':
      return named(NamedKey::Tab);
    case kDeleteCharacter:
    case '\b':  // the backspace of terminals that send Ctrl-H for it
      return named(NamedKey::Backspace);
    case kEscape:
      return named(NamedKey::Escape);
    default: {
      InputEvent key = character(byte);
      key.control = true;
      return key;
    }
  }
}

// The numbers of a parameter string such as "1;5" (sub-parameters after ':'
// are ignored; an empty field counts as 0). Digits beyond int are capped.
std::vector<int> parameterNumbers(std::string_view parameters) {
  constexpr int kCap = 1 << 20;
  std::vector<int> numbers(1, 0);
  bool inSubParameter = false;
  for (char byte : parameters) {
    if (byte == ';') {
      numbers.push_back(0);
      inSubParameter = false;
    } else if (byte == ':') {
      inSubParameter = true;
    } else if (byte >= '0' && byte <= '9' && !inSubParameter) {
      int& number = numbers.back();
      number = number >= kCap ? kCap : number * 10 + (byte - '0');
    }
  }
  return numbers;
}

// "ESC [ n ~" and its rxvt forms with "^" (Control) and "@" (Control-Shift).
std::optional<InputEvent> tildeKey(int number) {
  switch (number) {
    case 1:
    case 7:
      return named(NamedKey::Home);
    case 2:
      return named(NamedKey::Insert);
    case 3:
      return named(NamedKey::Delete);
    case 4:
    case 8:
      return named(NamedKey::End);
    case 5:
      return named(NamedKey::PageUp);
    case 6:
      return named(NamedKey::PageDown);
    default:
      break;
  }
  // F1..F20 skip 16, 22, 27 and 30 in the VT220 numbering.
  constexpr std::array<int, 20> kFunctionNumbers = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21,
                                                    23, 24, 25, 26, 28, 29, 31, 32, 33, 34};
  for (std::size_t index = 0; index < kFunctionNumbers.size(); ++index) {
    if (kFunctionNumbers[index] == number) return function(static_cast<int>(index) + 1);
  }
  return std::nullopt;
}

// The final letters shared by "ESC [" and "ESC O": cursor keys, Home, End, F1..F4.
std::optional<InputEvent> letterKey(char final) {
  switch (final) {
    case 'A':
      return named(NamedKey::Up);
    case 'B':
      return named(NamedKey::Down);
    case 'C':
      return named(NamedKey::Right);
    case 'D':
      return named(NamedKey::Left);
    case 'H':
      return named(NamedKey::Home);
    case 'F':
      return named(NamedKey::End);
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
      return function(final - 'P' + 1);
    default:
      return std::nullopt;
  }
}

// A character from the keyboard protocols that report a code point (xterm's
// modifyOtherKeys "ESC [ 27 ; m ; code ~", the "ESC [ code ; m u" form).
std::optional<InputEvent> codePointKey(int code) {
  if (code <= 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  if (code < 0x20 || code == kDeleteCharacter) return controlKey(static_cast<unsigned char>(code));
  return character(static_cast<char32_t>(code));
}

bool isParameterByte(unsigned char byte) {
  return byte >= 0x30 && byte <= 0x3F;
}
bool isIntermediateByte(unsigned char byte) {
  return byte >= 0x20 && byte <= 0x2F;
}
bool isFinalByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0x7E;
}

// Length of the UTF-8 sequence that lead begins; 0 for a byte that begins none.
int utf8Length(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The allowed range of the second byte, which rules out overlong forms,
// surrogates and code points beyond U+10FFFF.
bool validSecondByte(unsigned char lead, unsigned char second) {
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  return second >= low && second <= high;
}

}  // namespace

void InputDecoder::feed(std::string_view bytes, std::vector<InputEvent>& keys) {
  pending_.append(bytes);
  while (!pending_.empty()) {
    if (inPaste_) {
      continuePaste();
      if (inPaste_) return;
      InputEvent paste;
      paste.kind = InputKind::Paste;
      paste.text = std::move(paste_);
      paste_.clear();
      keys.push_back(std::move(paste));
      continue;
    }
    used_ = 0;
    if (skipping_ != Skipping::No) {
      skipSequenceRest();
    } else if (decodeOne(keys) == Step::NeedMore) {
      return;
    }
    pending_.erase(0, used_);
  }
}

void InputDecoder::flushPending(std::vector<InputEvent>& keys) {
  skipping_ = Skipping::No;
  if (inPaste_ || pending_.empty()) return;
  const auto first = static_cast<unsigned char>(pending_[0]);
  if (first == kEscape && pending_.size() == 1) {
    keys.push_back(named(NamedKey::Escape));
  } else if (first == kEscape && pending_.size() == 2) {
    // "ESC [" or "ESC O" with nothing after them: Alt-[ or Alt-O.
    const auto second = static_cast<unsigned char>(pending_[1]);
    InputEvent key = second < 0x20 ? controlKey(second) : character(second);
    key.alt = true;
    keys.push_back(key);
  } else if (first != kEscape) {
    for (char byte : pending_) keys.push_back(character(static_cast<unsigned char>(byte)));
  }
  pending_.clear();
}

InputDecoder::Step InputDecoder::decodeOne(std::vector<InputEvent>& keys) {
  const auto first = static_cast<unsigned char>(pending_[0]);
  if (first == kEscape) return decodeEscape(keys);
  if (first < 0x20 || first == kDeleteCharacter) {
    keys.push_back(controlKey(first));
    used_ = 1;
    return Step::Complete;
  }
  if (first < 0x80) {
    keys.push_back(character(first));
    used_ = 1;
    return Step::Complete;
  }
  return decodeUtf8(keys, 0);
}

InputDecoder::Step InputDecoder::decodeEscape(std::vector<InputEvent>& keys) {
  if (pending_.size() < 2) return Step::NeedMore;
  const auto second = static_cast<unsigned char>(pending_[1]);
  if (second == '[') return decodeControlSequence(keys);
  if (second == 'O') return decodeSingleShift(keys);
  if (second == kEscape) {
    // Two escapes: the first is the key; the second may begin a sequence.
    keys.push_back(named(NamedKey::Escape));
    used_ = 1;
    return Step::Complete;
  }
  // ESC before a key is that key with Alt (Meta sends ESC prefix).
  if (second >= 0x80) return decodeUtf8(keys, 1);
  InputEvent key =
      second < 0x20 || second == kDeleteCharacter ? controlKey(second) : character(second);
  key.alt = true;
  keys.push_back(key);
  used_ = 2;
  return Step::Complete;
}

InputDecoder::Step InputDecoder::decodeControlSequence(std::vector<InputEvent>& keys) {
  std::size_t index = 2;
  // The Linux console's F1..F5: "ESC [ [ A" to "ESC [ [ E".
  if (pending_.size() > index && pending_[index] == '[') {
    if (pending_.size() < index + 2) return Step::NeedMore;
    const char letter = pending_[index + 1];
    if (letter >= 'A' && letter <= 'E') keys.push_back(function(letter - 'A' + 1));
    used_ = index + 2;
    return Step::Complete;
  }
  const std::size_t parametersStart = index;
  while (index < pending_.size() && isParameterByte(static_cast<unsigned char>(pending_[index])))
    ++index;
  const std::size_t parametersEnd = index;
  while (index < pending_.size() && isIntermediateByte(static_cast<unsigned char>(pending_[index])))
    ++index;
  if (index >= pending_.size()) {
    if (index <= kLongestSequenceBytes) return Step::NeedMore;
    // No terminal sends this much for a key: drop it, with the rest of it
    // that is still to come.
    used_ = index;
    skipping_ = parametersEnd != index ? Skipping::Intermediates : Skipping::Parameters;
    return Step::Complete;
  }
  const auto final = static_cast<unsigned char>(pending_[index]);
  if (!isFinalByte(final) || index >= kLongestSequenceBytes) {
    // Broken by a byte that no sequence holds: drop what came before it and
    // decode that byte on its own.
    used_ = isFinalByte(final) ? index + 1 : index;
    return Step::Complete;
  }
  used_ = index + 1;
  const std::string_view parameters(pending_.data() + parametersStart,
                                    parametersEnd - parametersStart);
  const bool intermediates = parametersEnd != index;
  if (intermediates) return Step::Complete;
  if (!parameters.empty() && parameters[0] == '?') {
    if (final == 'c') {
      InputEvent answer;
      answer.kind = InputKind::DeviceAttributes;
      answer.text = std::string(parameters);
      keys.push_back(std::move(answer));
    }
    return Step::Complete;
  }
  if (!parameters.empty() && parameters[0] == '<') {
    if (final == 'M') decodeMouseReport(parameters.substr(1), keys);
    return Step::Complete;  // a button's release ('m') means nothing here
  }
  if (!parameters.empty() && (parameters[0] < '0' || parameters[0] > ';')) {
    return Step::Complete;  // other private sequences
  }
  const std::vector<int> numbers = parameterNumbers(parameters);
  const int modifier = numbers.size() > 1 ? numbers[1] : 1;
  std::optional<InputEvent> key;
  switch (final) {
    case '~':
    case '^':
    case '@':
      if (numbers[0] == kPasteStartCode) {
        inPaste_ = true;
        return Step::Complete;
      }
      if (numbers[0] == 27 && numbers.size() > 2) {
        key = codePointKey(numbers[2]);
      } else {
        key = tildeKey(numbers[0]);
      }
      if (key && final != '~') {
        key->control = true;
        key->shift = final == '@';
      }
      break;
    case 'u':
      key = codePointKey(numbers[0]);
      break;
    case 'Z':
      key = named(NamedKey::BackTab);
      key->shift = true;
      break;
    case 'a':
    case 'b':
    case 'c':
    case 'd':
      // rxvt's Shift with the cursor keys.
      if (parameters.empty()) {
        key = letterKey(static_cast<char>(final - 'a' + 'A'));
        key->shift = true;
      }
      break;
    case 'R':
      // "ESC [ row ; column R" is a cursor position report, not F3.
      if (numbers.size() < 2 || numbers[0] <= 1) key = letterKey('R');
      break;
    default:
      key = letterKey(static_cast<char>(final));
      break;
  }
  if (key) {
    applyModifier(*key, modifier);
    keys.push_back(*key);
  }
  return Step::Complete;
}

// "ESC [ < button ; column ; row M": of the buttons only the wheel (64 up,
// 65 down; 4, 8 and 16 added for Shift, Alt and Ctrl) is a key.
void InputDecoder::decodeMouseReport(std::string_view parameters, std::vector<InputEvent>& keys) {
  constexpr int kWheelUp = 64;
  constexpr int kModifierBits = 4 | 8 | 16;
  const std::vector<int> numbers = parameterNumbers(parameters);
  const int button = numbers[0] & ~kModifierBits;
  if (button != kWheelUp && button != kWheelUp + 1) return;
  InputEvent wheel;
  wheel.kind = InputKind::Wheel;
  wheel.key = button == kWheelUp ? NamedKey::Up : NamedKey::Down;
  wheel.shift = (numbers[0] & 4) != 0;
  wheel.alt = (numbers[0] & 8) != 0;
  wheel.control = (numbers[0] & 16) != 0;
  keys.push_back(wheel);
}

InputDecoder::Step InputDecoder::decodeSingleShift(std::vector<InputEvent>& keys) {
  std::size_t index = 2;
  // Some terminals put a modifier between "ESC O" and the letter ("ESC O 5 A").
  while (index < pending_.size() && isParameterByte(static_cast<unsigned char>(pending_[index])))
    ++index;
  if (index >= pending_.size()) {
    if (index <= kLongestSequenceBytes) return Step::NeedMore;
    used_ = index;
    skipping_ = Skipping::SingleShiftParameters;
    return Step::Complete;
  }
  const auto final = static_cast<unsigned char>(pending_[index]);
  if (!isFinalByte(final) || index >= kLongestSequenceBytes) {
    used_ = isFinalByte(final) ? index + 1 : index;
    return Step::Complete;
  }
  used_ = index + 1;
  const std::vector<int> numbers =
      parameterNumbers(std::string_view(pending_.data() + 2, index - 2));
  const int modifier = numbers.size() > 1 ? numbers[1] : numbers[0];
  std::optional<InputEvent> key;
  if (final == 'M') {
    key = named(NamedKey::KeypadEnter);
  } else if (final >= 'p' && final <= 'y') {
    key = character(U'0' + (final - 'p'));  // keypad digits in application mode
  } else {
    key = letterKey(static_cast<char>(final));
  }
  if (key) {
    applyModifier(*key, modifier);
    keys.push_back(*key);
  }
  return Step::Complete;
}

InputDecoder::Step InputDecoder::decodeUtf8(std::vector<InputEvent>& keys, std::size_t start) {
  const auto lead = static_cast<unsigned char>(pending_[start]);
  const auto length = static_cast<std::size_t>(utf8Length(lead));
  InputEvent key = character(lead);  // Latin-1 unless a valid sequence follows
  key.alt = start > 0;               // after an ESC prefix
  used_ = start + 1;
  if (length == 0) {
    keys.push_back(key);
    return Step::Complete;
  }
  char32_t scalar = lead & (0xFF >> (length + 1));
  for (std::size_t offset = 1; offset < length; ++offset) {
    if (start + offset >= pending_.size()) return Step::NeedMore;
    const auto next = static_cast<unsigned char>(pending_[start + offset]);
    const bool valid = offset == 1 ? validSecondByte(lead, next) : (next & 0xC0) == 0x80;
    if (!valid) {
      keys.push_back(key);
      return Step::Complete;
    }
    scalar = (scalar << 6) | (next & 0x3F);
  }
  key.character = scalar;
  keys.push_back(key);
  used_ = start + length;
  return Step::Complete;
}

void InputDecoder::skipSequenceRest() {
  while (used_ < pending_.size()) {
    const auto byte = static_cast<unsigned char>(pending_[used_]);
    if (isParameterByte(byte) && skipping_ != Skipping::Intermediates) {
      ++used_;
      continue;
    }
    if (isIntermediateByte(byte) && skipping_ != Skipping::SingleShiftParameters) {
      skipping_ = Skipping::Intermediates;
      ++used_;
      continue;
    }
    if (isFinalByte(byte)) ++used_;
    skipping_ = Skipping::No;
    return;
  }
}

void InputDecoder::continuePaste() {
  const std::size_t end = pending_.find(kPasteEnd);
  // Without the end marker, keep the bytes that may be the start of it.
  const std::size_t take =
      end != std::string::npos
          ? end
          : (pending_.size() > kPasteEnd.size() ? pending_.size() - kPasteEnd.size() : 0);
  const std::size_t room = kLongestPasteBytes - std::min(paste_.size(), kLongestPasteBytes);
  paste_.append(pending_, 0, std::min(take, room));
  if (end != std::string::npos) {
    pending_.erase(0, end + kPasteEnd.size());
    inPaste_ = false;
  } else {
    pending_.erase(0, take);
  }
}

}  // namespace terminal
