// The terminal's input bytes as keys: UTF-8 characters, control characters,
// and the escape sequences that terminals send for cursor, editing and
// function keys (xterm, VT220, the Linux console, rxvt), with the modifier
// parameter of xterm ("ESC [ 1 ; 5 A" is Ctrl-Up). Also bracketed pastes and
// the terminal's answer to the device attributes query, and the mouse wheel
// in xterm's SGR mouse reports (other mouse reports are dropped).
//
// Bytes may arrive in any split: a sequence cut between two reads is held
// until the rest comes. A lone ESC is ambiguous (the Escape key, or the start
// of a sequence whose rest is late); the caller resolves it by calling
// flushPending() when kEscapeTimeout has passed without more bytes.
// Malformed sequences (too long, broken by a control character, unknown
// final byte) are dropped without producing a key; bytes that are no UTF-8
// are taken as Latin-1, the way a terminal set to Latin-1 sends umlauts.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "toolbox/windows/NamedKeys.h"

namespace terminal {

// How long a lone ESC waits for the rest of a sequence. Terminals send a
// sequence in one write, so its bytes arrive together even over SSH; a
// person cannot type Escape and "[A" within this time.
inline constexpr std::chrono::milliseconds kEscapeTimeout{40};
// A sequence longer than this is no key; it is dropped.
inline constexpr std::size_t kLongestSequenceBytes = 64;
// A bracketed paste keeps at most this much text; the rest is dropped.
inline constexpr std::size_t kLongestPasteBytes = 64 * 1024;

// Cursor and editing keys go by the toolbox's names for them.
using NamedKey = keycode::NamedKey;

enum class InputKind {
  Character,         // a character, control characters included (Ctrl-C is U+0003)
  Named,             // a cursor or editing key
  Function,          // F1..F20
  Paste,             // a bracketed paste: text holds it (UTF-8)
  DeviceAttributes,  // the answer to "ESC [ c": text holds its parameters ("?62;4;22")
  Wheel,             // the mouse wheel turned one step (SGR mouse report): key Up or Down
};

struct InputEvent {
  InputKind kind = InputKind::Character;
  char32_t character = 0;       // Character
  NamedKey key = NamedKey::Up;  // Named, Wheel
  int functionNumber = 0;       // Function: 1 for F1
  bool shift = false;
  bool alt = false;
  bool control = false;
  std::string text;  // Paste, DeviceAttributes

  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

class InputDecoder {
 public:
  // Decodes bytes and appends every complete key to keys.
  void feed(std::string_view bytes, std::vector<InputEvent>& keys);
  // True while bytes of an unfinished sequence or character are held, or the
  // rest of an overlong sequence is being dropped.
  bool hasPending() const { return !pending_.empty() || skipping_ != Skipping::No; }
  // The wait for the rest is over: a lone ESC becomes the Escape key, ESC and
  // one more byte become that key with Alt, an unfinished UTF-8 character
  // becomes its bytes as Latin-1, and an unfinished sequence is dropped.
  // Inside a bracketed paste nothing is flushed: the paste goes on.
  void flushPending(std::vector<InputEvent>& keys);

 private:
  enum class Step { Complete, NeedMore };
  Step decodeOne(std::vector<InputEvent>& keys);
  Step decodeEscape(std::vector<InputEvent>& keys);
  Step decodeControlSequence(std::vector<InputEvent>& keys);
  Step decodeSingleShift(std::vector<InputEvent>& keys);
  void decodeMouseReport(std::string_view parameters, std::vector<InputEvent>& keys);
  // The character whose lead byte is at start (1 after an ESC prefix: with Alt).
  Step decodeUtf8(std::vector<InputEvent>& keys, std::size_t start);
  void continuePaste();
  // After an overlong sequence: drops its remaining bytes up to its final
  // byte, by the same grammar as a sequence that arrives whole, so that where
  // the reads split the bytes never changes the keys.
  void skipSequenceRest();

  std::string pending_;   // bytes not yet decoded
  std::size_t used_ = 0;  // bytes of pending_ consumed by the last step
  bool inPaste_ = false;
  // Which bytes of an overlong sequence are still to drop: a control
  // sequence's parameters or (after the first) its intermediate bytes, or the
  // parameters of an "ESC O" sequence.
  enum class Skipping { No, Parameters, Intermediates, SingleShiftParameters };
  Skipping skipping_ = Skipping::No;
  std::string paste_;
};

}  // namespace terminal
