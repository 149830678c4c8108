#include "toolbox/graphics/Lzw.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/ZeroedArray.h"
#include "support/qbtools.h"

namespace {

constexpr std::size_t kProgressStride = 0x80000;  // bytes between looks at the clock
constexpr std::int64_t kProgressIntervalMs = 1000;
constexpr LzwCode kFirstFreeCode = 256;
// The decoder copies entries in 16-byte steps and may write up to this many
// bytes past an entry's end (they are overwritten by the next entry), so the
// buffer keeps that much room beyond the decoded bytes.
constexpr std::size_t kCopyStep = 16;
// Dictionary entries hold 32-bit offsets into the output; callers' bounds
// (kMaxDecodedBytes, the data files' own) lie far below.
constexpr std::size_t kMaxOutputBytes = 0xFFFFFFFF - kCopyStep;

std::string groupedNumber(std::uint64_t value) {
  return formatnumber(static_cast<std::int64_t>(value), ' ', 1, true);
}

bool widthUsable(const char* routine, int width) {
  if (width <= 0) return false;
  if (width > kMaxLzwCodeWidth) {
    logLine(std::string(routine) + ": Code width " + std::to_string(width) + " exceeds " +
            std::to_string(kMaxLzwCodeWidth) + " bits.");
    return false;
  }
  return true;
}

// Encoder dictionary. Strings of two bytes, the ones looked up most often,
// sit in a table of their own indexed by the two bytes (256 KiB: it stays in
// the cache). Longer strings are (prefix code, byte) -> code in a hash table
// with open addressing that grows with its entries; key and code share one
// 64-bit slot, and 0 marks a free slot.
class StringTable {
 public:
  // Photo-like pictures give a code for every 2.6 bytes, text for every 6.
  // The table starts with room for a code every 3 bytes (up to 32 MiB) and
  // doubles when it is three quarters full: each doubling rehashes every
  // entry, which for a photo picture cost a sixth of the encoding time.
  explicit StringTable(std::size_t inputBytes) : pairs_(kPairCount) {
    resize(std::bit_ceil(std::clamp(inputBytes / 3 * 4 / 3, kMinSlots, kMaxFirstSlots)));
  }

  // The code of the two bytes' string; 0 while there is none.
  LzwCode& pair(LzwCode first, std::uint8_t second) { return pairs_[first << 8 | second]; }

  // The code of prefix+byte, or nothing (inserting it as newCode).
  bool findOrInsert(LzwCode prefix, std::uint8_t byte, LzwCode newCode, LzwCode& found) {
    const std::uint64_t key = keyOf(prefix, byte);
    std::size_t slot = hashSlot(key);
    for (;;) {
      const std::uint64_t entry = slots_[slot];
      if (entry == 0) break;
      if (entry >> kCodeBits == key) {
        found = static_cast<LzwCode>(entry & kCodeMask);
        return true;
      }
      slot = (slot + 1) & mask_;
    }
    slots_[slot] = key << kCodeBits | newCode;
    if (++used_ * 4 > slots_.size() * 3) resize(slots_.size() * 2);
    return false;
  }

  // Reading ahead: fetches the slot where prefix+byte is or would go, and
  // reads the code in that slot (0 when it holds another string or none).
  [[gnu::always_inline]] void prefetch(LzwCode prefix, std::uint8_t byte) const {
    __builtin_prefetch(&slots_[hashSlot(keyOf(prefix, byte))]);
  }
  LzwCode peek(LzwCode prefix, std::uint8_t byte) const {
    const std::uint64_t key = keyOf(prefix, byte);
    const std::uint64_t entry = slots_[hashSlot(key)];
    return entry >> kCodeBits == key ? static_cast<LzwCode>(entry & kCodeMask) : 0;
  }

 private:
  static constexpr std::size_t kPairCount = std::size_t{1} << 16;
  static constexpr std::size_t kMinSlots = std::size_t{1} << 12;
  static constexpr std::size_t kMaxFirstSlots = std::size_t{1} << 22;
  // Codes stay below 2^27 (the input is bounded by kMaxDecodedBytes), keys
  // below 2^36: both fit one slot.
  static constexpr int kCodeBits = 27;
  static constexpr std::uint64_t kCodeMask = (std::uint64_t{1} << kCodeBits) - 1;
  static_assert(kMaxDecodedBytes + kFirstFreeCode < (std::size_t{1} << kCodeBits));

  static std::uint64_t keyOf(LzwCode prefix, std::uint8_t byte) {
    return (std::uint64_t{prefix} << 8 | byte) + 1;
  }
  std::size_t hashSlot(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
  }

  void resize(std::size_t count) {
    const ZeroedArray<std::uint64_t> old = std::move(slots_);
    slots_ = ZeroedArray<std::uint64_t>(count);
    mask_ = count - 1;
    shift_ = 64 - std::countr_zero(count);
    for (std::size_t at = 0; at < old.size(); ++at) {
      const std::uint64_t entry = old[at];
      if (entry == 0) continue;
      std::size_t slot = hashSlot(entry >> kCodeBits);
      while (slots_[slot] != 0) slot = (slot + 1) & mask_;
      slots_[slot] = entry;
    }
  }

  ZeroedArray<LzwCode> pairs_;
  ZeroedArray<std::uint64_t> slots_;
  std::size_t used_ = 0;
  std::size_t mask_ = 0;
  int shift_ = 64;
};

// A string starts at almost any byte, and each of its steps beyond the first
// two bytes is a cache miss in the hash table. The pair table tells the
// third byte's slot cheaply, so that slot is fetched some bytes before it
// may be needed; a little later, the slot fetched there tells the fourth
// byte's slot, which is fetched in turn (photo picture: 111 -> 79 ms; a
// third stage cost more than it saved). Inlined by force, as every function
// whose only effect is a prefetch: the compiler takes such a function for one
// without effects and drops its calls.
constexpr std::size_t kFarAhead = 24;
constexpr std::size_t kNearAhead = 12;

[[gnu::always_inline]] inline void lookAhead(StringTable& table, const std::uint8_t* bytes,
                                             std::size_t at, std::size_t size) {
  if (at + kFarAhead + 2 < size) {
    const std::uint8_t* far = bytes + at + kFarAhead;
    const LzwCode two = table.pair(far[0], far[1]);
    if (two != 0) table.prefetch(two, far[2]);
  }
  if (at + kNearAhead + 3 < size) {
    const std::uint8_t* near = bytes + at + kNearAhead;
    const LzwCode two = table.pair(near[0], near[1]);
    const LzwCode three = two != 0 ? table.peek(two, near[2]) : 0;
    if (three != 0) table.prefetch(three, near[3]);
  }
}

// The encoder's progress line: the clock is read only at every 512 KiB of
// input, and a line is written when a second has passed since the start or
// since the last line.
class ProgressLine {
 public:
  explicit ProgressLine(std::size_t total) : total_(total), lastMs_(absoluteTimeMilliseconds()) {}

  void at(std::size_t index) {
    if (index % kProgressStride != 0) return;
    const std::int64_t nowMs = absoluteTimeMilliseconds();
    if (nowMs - lastMs_ <= kProgressIntervalMs) return;
    logLine("texttolzwunpacked: " + std::to_string(index * 100 / total_) + "% of " +
            groupedNumber(total_) + " Bytes.");
    lastMs_ = nowMs;
  }

 private:
  std::size_t total_;
  std::int64_t lastMs_;
};

std::uint64_t loadBigEndian64(const std::uint8_t* bytes) {
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
  return __builtin_bswap64(value);
}

}  // namespace

LzwCodes texttolzwunpacked(std::span<const std::uint8_t> bytes) {
  LzwCodes result;
  if (bytes.empty()) return result;
  if (bytes.size() > kMaxDecodedBytes) {
    // Codes stay within 32 bits, and no decoder would give back more than this.
    logLine("texttolzwunpacked: Input of " + groupedNumber(bytes.size()) + " Bytes exceeds " +
            groupedNumber(kMaxDecodedBytes) + " Bytes.");
    return result;
  }
  result.codes.reserve(bytes.size() / 2 + 16);
  scratch::preferHugePages(result.codes.data(), result.codes.capacity() * sizeof(LzwCode));
  StringTable table(bytes.size());
  LzwCode nextCode = kFirstFreeCode;
  LzwCode current = bytes[0];
  LzwCode largest = 0;
  ProgressLine progress(bytes.size());
  progress.at(0);
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    progress.at(i);
    lookAhead(table, bytes.data(), i, bytes.size());
    const std::uint8_t byte = bytes[i];
    if (current < kFirstFreeCode) {
      LzwCode& two = table.pair(current, byte);
      if (two != 0) {
        current = two;
        continue;
      }
      two = nextCode;
    } else if (LzwCode extended; table.findOrInsert(current, byte, nextCode, extended)) {
      current = extended;
      continue;
    }
    result.codes.push_back(current);
    largest = std::max(largest, current);
    ++nextCode;
    current = byte;
  }
  result.codes.push_back(current);
  largest = std::max(largest, current);
  result.width = 8;
  while (result.width < kMaxLzwCodeWidth && (std::uint64_t{largest} >> result.width) != 0) {
    ++result.width;
  }
  return result;
}

namespace {

// Appends the codes packed width bits each (a usable width), most
// significant bit first.
void appendCodeBits(std::span<const LzwCode> codes, int width, std::vector<std::uint8_t>& bytes) {
  bytes.reserve(bytes.size() + (codes.size() * width + 7) / 8);
  scratch::preferHugePages(bytes.data(), bytes.capacity());
  const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
  std::uint64_t accumulator = 0;
  int bitCount = 0;
  for (LzwCode code : codes) {
    accumulator = accumulator << width | (code & mask);
    bitCount += width;
    while (bitCount >= 8) {
      bitCount -= 8;
      bytes.push_back(static_cast<std::uint8_t>(accumulator >> bitCount));
    }
  }
  if (bitCount > 0) bytes.push_back(static_cast<std::uint8_t>(accumulator << (8 - bitCount)));
}

}  // namespace

std::vector<std::uint8_t> codestobits(std::span<const LzwCode> codes, int width) {
  std::vector<std::uint8_t> bytes;
  if (widthUsable("codestobits", width)) appendCodeBits(codes, width, bytes);
  return bytes;
}

namespace {

// Codes first..first+count of a packed block into out. A code starts at most
// 7 bits into a byte and is at most 32 bits wide, so one 64-bit big-endian
// load holds it while 8 bytes remain.
void unpackCodes(std::span<const std::uint8_t> bytes, int width, std::size_t first,
                 std::size_t count, LzwCode* out) {
  const int dropRight = 64 - width;
  std::uint64_t bitPosition = std::uint64_t(first) * width;
  std::size_t index = 0;
  for (; index < count && bitPosition / 8 + 8 <= bytes.size(); ++index, bitPosition += width) {
    const std::uint64_t window = loadBigEndian64(bytes.data() + bitPosition / 8);
    out[index] = static_cast<LzwCode>((window << (bitPosition % 8)) >> dropRight);
  }
  for (; index < count; ++index, bitPosition += width) {
    std::uint64_t code = 0;
    for (int bit = 0; bit < width; ++bit) {
      const std::uint64_t at = bitPosition + bit;
      code = code << 1 | ((bytes[at / 8] >> (7 - at % 8)) & 1);
    }
    out[index] = static_cast<LzwCode>(code);
  }
}

// How many codes a block holds, bounded by kMaxLzwCodes (with a log line).
std::size_t packedCodeCount(std::span<const std::uint8_t> bytes, int width) {
  const std::size_t count = bytes.size() * 8 / static_cast<std::size_t>(width);
  if (count <= kMaxLzwCodes) return count;
  logLine("bitstocodes: More than " + groupedNumber(kMaxLzwCodes) + " codes, the rest is dropped.");
  return kMaxLzwCodes;
}

}  // namespace

std::vector<LzwCode> bitstocodes(std::span<const std::uint8_t> bytes, int width) {
  std::vector<LzwCode> codes;
  if (!widthUsable("bitstocodes", width)) return codes;
  codes.resize(packedCodeCount(bytes, width));
  unpackCodes(bytes, width, 0, codes.size(), codes.data());
  return codes;
}

namespace {

// Copies an earlier stretch to the end of the output in 16-byte steps. Safe
// because the source ends at or before destination: bytes read past the
// source's end are only ever copied past the destination's end.
inline void copyStretch(const std::uint8_t* source, std::uint8_t* destination, std::size_t length) {
  for (std::size_t done = 0; done < length; done += kCopyStep) {
    std::uint8_t step[kCopyStep];
    std::memcpy(step, source + done, kCopyStep);
    std::memcpy(destination + done, step, kCopyStep);
  }
}

// The bytes 0..255 and room for one 16-byte step past the last.
constexpr std::array<std::uint8_t, 256 + kCopyStep> kSingleBytes = [] {
  std::array<std::uint8_t, 256 + kCopyStep> bytes{};
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}();

// The decoder, fed with codes in pieces so that a stored block need not be
// turned into one big code array first.
//
// The dictionary is where each code's bytes begin in the output: the string
// of code 256 + j is the output of the j-th code plus the first byte of the
// output after it, and the two lie next to each other. So one 32-bit start a
// code is all it keeps (4 bytes a code; a picture of 3 MB has about a million).
class LzwDecoder {
 public:
  enum class State { decoding, full, invalid };

  LzwDecoder(std::size_t codeCount, std::size_t maxBytes)
      : starts_(std::max<std::size_t>(codeCount, 1)),
        maxBytes_(std::min(maxBytes, kMaxOutputBytes)) {
    const std::size_t expected = std::min(maxBytes_, codeCount * kExpectedBytesPerCode);
    bytes_.reserve(expected + kCopyStep);
    scratch::preferHugePages(bytes_.data(), bytes_.capacity());
    bytes_.resize(expected + kCopyStep);
  }

  State feed(const LzwCode* codes, std::size_t count) {
    std::size_t n = 0;
    if (decoded_ == 0 && count > 0) {
      bytes_[0] = static_cast<std::uint8_t>(codes[0]);
      starts_[0] = 0;
      end_ = 1;
      decoded_ = 1;
      n = 1;
    }
    // The loop keeps the state in locals: every byte written through the
    // output pointer could otherwise alias the members, which the compiler
    // would then reload and store for each code.
    std::uint32_t* const starts = starts_.data();
    std::uint8_t* output = bytes_.data();
    std::size_t capacity = bytes_.size() - kCopyStep;
    std::size_t end = end_;
    std::size_t index = decoded_;  // of the code at hand, counted from the block's first
    auto save = [&] {
      end_ = end;
      decoded_ = index;
    };
    for (; n < count; ++n, ++index) {
      prefetchAhead(codes, n, count, index, output);
      starts[index] = static_cast<std::uint32_t>(end);
      const LzwCode code = codes[n];
      // index - 1 entries are defined; the next one may be used already
      if (std::size_t{code} >= kFirstFreeCode + index) return State::invalid;
      const bool single = code < kFirstFreeCode;
      // Single bytes are copied from a table like any other entry: a branch
      // between the two would be mispredicted on every mixed picture.
      const std::size_t entry = single ? 0 : code - kFirstFreeCode;
      const bool selfReference = !single && entry == index - 1;
      const std::uint32_t from = starts[entry];
      // the self reference's end is the start just stored
      const std::uint32_t length = single ? 1 : starts[entry + 1] - from + 1;
      if (end + length > capacity) {
        save();
        if (end + length > maxBytes_) return single ? exceeded() : fillToLimit(from);
        grow(end + length);
        output = bytes_.data();
        capacity = bytes_.size() - kCopyStep;
      }
      if (selfReference) {
        // The entry's last byte is its own first byte, which is written only
        // by this copy; set it afterwards.
        copyStretch(output + from, output + end, length - 1);
        output[end + length - 1] = output[from];
      } else {
        copyStretch(single ? kSingleBytes.data() + code : output + from, output + end, length);
      }
      end += length;
    }
    save();
    return State::decoding;
  }

  std::vector<std::uint8_t> take() {
    bytes_.resize(end_);
    return std::move(bytes_);
  }

 private:
  // Photo-like pictures give about 2.6 bytes a code, text about 6.
  static constexpr std::size_t kExpectedBytesPerCode = 4;
  // The codes are known ahead: the start of a code's entry is fetched this
  // many codes before it is needed, and the entry's bytes half as many.
  static constexpr std::size_t kPrefetchStart = 16;
  static constexpr std::size_t kPrefetchBytes = 8;

  // Inlined by force, like lookAhead, or the compiler would drop its calls.
  [[gnu::always_inline]] void prefetchAhead(const LzwCode* codes, std::size_t n, std::size_t count,
                                            std::size_t index, const std::uint8_t* output) const {
    if (n + kPrefetchStart < count && codes[n + kPrefetchStart] >= kFirstFreeCode) {
      __builtin_prefetch(starts_.data() + (codes[n + kPrefetchStart] - kFirstFreeCode));
    }
    if (n + kPrefetchBytes < count && codes[n + kPrefetchBytes] >= kFirstFreeCode) {
      // only entries whose start is already written
      const std::size_t entry = codes[n + kPrefetchBytes] - kFirstFreeCode;
      if (entry < index) __builtin_prefetch(output + starts_[entry]);
    }
  }

  // Room for end bytes (at most maxBytes_) and one copy step beyond. The bytes
  // are zeroed by doubling, the buffer moves by grownCapacity.
  void grow(std::size_t end) {
    if (end + kCopyStep <= bytes_.size()) return;
    const std::size_t size = std::min(std::max(end, bytes_.size() * 2), maxBytes_) + kCopyStep;
    if (size > bytes_.capacity()) {
      bytes_.reserve(grownCapacity(bytes_.capacity(), size, maxBytes_ + kCopyStep));
      scratch::preferHugePages(bytes_.data(), bytes_.capacity());
    }
    bytes_.resize(size);
  }

  // Copies the entry at offset as far as the limit; byte by byte, since a
  // self reference reads the byte it wrote one step before.
  State fillToLimit(std::size_t offset) {
    grow(maxBytes_);
    std::uint8_t* output = bytes_.data();
    for (std::size_t i = 0; end_ < maxBytes_; ++i) output[end_++] = output[offset + i];
    return exceeded();
  }

  State exceeded() {
    logLine("lzwunpackedtotext: Output exceeds " + groupedNumber(maxBytes_) +
            " Bytes, decoding stopped.");
    return State::full;
  }

  ZeroedArray<std::uint32_t> starts_;
  std::size_t maxBytes_;
  std::vector<std::uint8_t> bytes_;
  std::size_t end_ = 0;
  std::size_t decoded_ = 0;
};

}  // namespace

std::vector<std::uint8_t> lzwunpackedtotext(std::span<const LzwCode> codes, std::size_t maxBytes) {
  if (codes.empty() || maxBytes == 0) return {};
  std::size_t codeCount = codes.size();
  if (codeCount > kMaxLzwCodes) {
    logLine("lzwunpackedtotext: More than " + groupedNumber(kMaxLzwCodes) +
            " codes, the rest is dropped.");
    codeCount = kMaxLzwCodes;
  }
  LzwDecoder decoder(codeCount, maxBytes);
  if (decoder.feed(codes.data(), codeCount) == LzwDecoder::State::invalid) return {};
  return decoder.take();
}

namespace lzw {

std::vector<std::uint8_t> unpackStoredBlock(std::span<const std::uint8_t> block,
                                            std::size_t maxBytes) {
  // bitstocodes and lzwunpackedtotext in one, a piece of codes at a time:
  // the code array of a picture would not stay in the cache.
  constexpr std::size_t kPieceCodes = 4096;
  if (block.empty() || maxBytes == 0) return {};
  const int width = block[0];
  if (!widthUsable("bitstocodes", width)) return {};
  const std::span<const std::uint8_t> packed = block.subspan(1);
  const std::size_t codeCount = packedCodeCount(packed, width);
  if (codeCount == 0) return {};
  LzwDecoder decoder(codeCount, maxBytes);
  LzwCode piece[kPieceCodes];
  for (std::size_t first = 0; first < codeCount; first += kPieceCodes) {
    const std::size_t count = std::min(kPieceCodes, codeCount - first);
    unpackCodes(packed, width, first, count, piece);
    const LzwDecoder::State state = decoder.feed(piece, count);
    if (state == LzwDecoder::State::invalid) return {};
    if (state == LzwDecoder::State::full) break;
  }
  return decoder.take();
}

std::vector<std::uint8_t> packStoredBlock(std::span<const std::uint8_t> bytes) {
  const LzwCodes encoded = texttolzwunpacked(bytes);
  std::vector<std::uint8_t> block{static_cast<std::uint8_t>(encoded.width)};
  // the codes go straight behind the width byte, without a copy of their own
  if (widthUsable("codestobits", encoded.width))
    appendCodeBits(encoded.codes, encoded.width, block);
  return block;
}

}  // namespace lzw
