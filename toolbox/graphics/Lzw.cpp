#include "toolbox/graphics/Lzw.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "support/Clock.h"
#include "support/Log.h"
#include "support/qbtools.h"

namespace {

constexpr std::size_t kProgressStride = 0x80000;  // bytes between looks at the clock
constexpr std::int64_t kProgressIntervalMs = 1000;
constexpr LzwCode kFirstFreeCode = 256;
// The decoder copies entries in 16-byte steps and may write up to this many
// bytes past an entry's end (they are overwritten by the next entry), so the
// buffer keeps that much room beyond the decoded bytes.
constexpr std::size_t kCopyStep = 16;

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

// Encoder dictionary: (prefix code, byte) -> code, open addressing. Keys are
// stored plus one so that 0 marks a free slot.
class StringTable {
 public:
  StringTable() { resize(std::size_t{1} << 16); }

  // The code of prefix+byte, or nothing (inserting it as newCode).
  bool findOrInsert(std::uint64_t prefix, std::uint8_t byte, LzwCode newCode, LzwCode& found) {
    const std::uint64_t key = (prefix << 8 | byte) + 1;
    std::size_t slot = hashSlot(key);
    while (keys_[slot] != 0) {
      if (keys_[slot] == key) {
        found = codes_[slot];
        return true;
      }
      slot = (slot + 1) & mask_;
    }
    keys_[slot] = key;
    codes_[slot] = newCode;
    if (++used_ * 2 > keys_.size()) resize(keys_.size() * 2);
    return false;
  }

 private:
  std::size_t hashSlot(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
  }

  void resize(std::size_t slots) {
    std::vector<std::uint64_t> oldKeys = std::move(keys_);
    std::vector<LzwCode> oldCodes = std::move(codes_);
    keys_.assign(slots, 0);
    codes_.assign(slots, 0);
    mask_ = slots - 1;
    shift_ = 64 - std::countr_zero(slots);
    for (std::size_t i = 0; i < oldKeys.size(); ++i) {
      if (oldKeys[i] == 0) continue;
      std::size_t slot = hashSlot(oldKeys[i]);
      while (keys_[slot] != 0) slot = (slot + 1) & mask_;
      keys_[slot] = oldKeys[i];
      codes_[slot] = oldCodes[i];
    }
  }

  std::vector<std::uint64_t> keys_;
  std::vector<LzwCode> codes_;
  std::size_t used_ = 0;
  std::size_t mask_ = 0;
  int shift_ = 64;
};

void logEncoderProgress(std::size_t index, std::size_t total) {
  logLine("texttolzwunpacked: " + std::to_string(index * 100 / total) + "% of " +
          groupedNumber(total) + " Bytes.");
}

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
  StringTable table;
  std::uint64_t nextCode = kFirstFreeCode;
  LzwCode current = bytes[0];
  LzwCode largest = 0;
  std::int64_t lastReportMs = absoluteTimeMilliseconds();
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    if (i % kProgressStride == 0) {
      const std::int64_t nowMs = absoluteTimeMilliseconds();
      if (nowMs - lastReportMs > kProgressIntervalMs) {
        logEncoderProgress(i, bytes.size());
        lastReportMs = nowMs;
      }
    }
    LzwCode extended;
    if (table.findOrInsert(current, bytes[i], static_cast<LzwCode>(nextCode), extended)) {
      current = extended;
      continue;
    }
    result.codes.push_back(current);
    largest = std::max(largest, current);
    ++nextCode;
    current = bytes[i];
  }
  result.codes.push_back(current);
  largest = std::max(largest, current);
  result.width = 8;
  while (result.width < kMaxLzwCodeWidth && (std::uint64_t{largest} >> result.width) != 0) {
    ++result.width;
  }
  return result;
}

std::vector<std::uint8_t> codestobits(std::span<const LzwCode> codes, int width) {
  std::vector<std::uint8_t> bytes;
  if (!widthUsable("codestobits", width)) return bytes;
  bytes.reserve((codes.size() * width + 7) / 8);
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
  return bytes;
}

std::vector<LzwCode> bitstocodes(std::span<const std::uint8_t> bytes, int width) {
  std::vector<LzwCode> codes;
  if (!widthUsable("bitstocodes", width)) return codes;
  std::size_t count = bytes.size() * 8 / static_cast<std::size_t>(width);
  if (count > kMaxLzwCodes) {
    logLine("bitstocodes: More than " + groupedNumber(kMaxLzwCodes) +
            " codes, the rest is dropped.");
    count = kMaxLzwCodes;
  }
  codes.resize(count);
  // A code starts at most 7 bits into a byte and is at most 32 bits wide, so
  // one 64-bit big-endian load holds it while 8 bytes remain.
  const int dropRight = 64 - width;
  std::size_t index = 0;
  std::uint64_t bitPosition = 0;
  for (; index < count && bitPosition / 8 + 8 <= bytes.size(); ++index, bitPosition += width) {
    const std::uint64_t window = loadBigEndian64(bytes.data() + bitPosition / 8);
    codes[index] = static_cast<LzwCode>((window << (bitPosition % 8)) >> dropRight);
  }
  for (; index < count; ++index, bitPosition += width) {
    std::uint64_t code = 0;
    for (int bit = 0; bit < width; ++bit) {
      const std::uint64_t at = bitPosition + bit;
      code = code << 1 | ((bytes[at / 8] >> (7 - at % 8)) & 1);
    }
    codes[index] = static_cast<LzwCode>(code);
  }
  return codes;
}

namespace {

// A dictionary entry is a stretch of the output already written: the string
// of a new code is the previous entry plus the first byte of the entry after
// it, and the two lie next to each other in the output.
struct OutputStretch {
  std::uint32_t offset;
  std::uint32_t length;
};

class GrowingOutput {
 public:
  explicit GrowingOutput(std::size_t expected) { bytes_.resize(expected + kCopyStep); }
  std::uint8_t* reserve(std::size_t end) {
    if (end + kCopyStep > bytes_.size()) bytes_.resize(std::max(end, bytes_.size() * 2) + kCopyStep);
    return bytes_.data();
  }
  std::vector<std::uint8_t> take(std::size_t length) {
    bytes_.resize(length);
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Copies an earlier stretch to the end of the output in 16-byte steps. Safe
// because the source ends at or before destination: bytes read past the
// source's end are only ever copied past the destination's end.
inline void copyStretch(std::uint8_t* output, std::size_t source, std::size_t destination,
                        std::size_t length) {
  for (std::size_t done = 0; done < length; done += kCopyStep) {
    std::uint8_t step[kCopyStep];
    std::memcpy(step, output + source + done, kCopyStep);
    std::memcpy(output + destination + done, step, kCopyStep);
  }
}

}  // namespace

std::vector<std::uint8_t> lzwunpackedtotext(std::span<const LzwCode> codes, std::size_t maxBytes) {
  maxBytes = std::min(maxBytes, kMaxDecodedBytes);
  if (codes.empty() || maxBytes == 0) return {};
  std::size_t codeCount = codes.size();
  if (codeCount > kMaxLzwCodes) {
    logLine("lzwunpackedtotext: More than " + groupedNumber(kMaxLzwCodes) +
            " codes, the rest is dropped.");
    codeCount = kMaxLzwCodes;
  }
  std::vector<OutputStretch> dictionary(codeCount);
  GrowingOutput buffer(std::min(maxBytes, codeCount * 4));
  std::uint8_t* output = buffer.reserve(1);
  output[0] = static_cast<std::uint8_t>(codes[0]);
  OutputStretch previous{0, 1};
  std::size_t end = 1;
  for (std::size_t n = 1; n < codeCount; ++n) {
    const LzwCode code = codes[n];
    const LzwCode nextCode = static_cast<LzwCode>(kFirstFreeCode + n - 1);
    OutputStretch entry;
    if (code < kFirstFreeCode) {
      entry = {static_cast<std::uint32_t>(end), 1};
      output = buffer.reserve(end + 1);
      output[end] = static_cast<std::uint8_t>(code);
    } else if (code <= nextCode) {
      const bool selfReference = code == nextCode;
      const OutputStretch source =
          selfReference ? OutputStretch{previous.offset, previous.length + 1}
                        : dictionary[code - kFirstFreeCode];
      if (end + source.length > maxBytes) {
        logLine("lzwunpackedtotext: Output exceeds " + groupedNumber(maxBytes) +
                " Bytes, decoding stopped.");
        output = buffer.reserve(maxBytes);
        for (std::size_t i = 0; end < maxBytes; ++i) output[end++] = output[source.offset + i];
        return buffer.take(end);
      }
      output = buffer.reserve(end + source.length);
      if (selfReference) {
        // The entry's last byte is its own first byte, which is written only
        // by this copy; set it afterwards.
        copyStretch(output, source.offset, end, source.length - 1);
        output[end + source.length - 1] = output[source.offset];
      } else {
        copyStretch(output, source.offset, end, source.length);
      }
      entry = {static_cast<std::uint32_t>(end), source.length};
    } else {
      return {};
    }
    dictionary[n - 1] = {previous.offset, previous.length + 1};
    previous = entry;
    end += entry.length;
    if (end > maxBytes) {
      // only a one-byte entry can get here
      logLine("lzwunpackedtotext: Output exceeds " + groupedNumber(maxBytes) +
              " Bytes, decoding stopped.");
      return buffer.take(maxBytes);
    }
  }
  return buffer.take(end);
}

namespace lzw {

std::vector<std::uint8_t> unpackStoredBlock(std::span<const std::uint8_t> block,
                                            std::size_t maxBytes) {
  if (block.empty()) return {};
  return lzwunpackedtotext(bitstocodes(block.subspan(1), block[0]), maxBytes);
}

std::vector<std::uint8_t> packStoredBlock(std::span<const std::uint8_t> bytes) {
  const LzwCodes encoded = texttolzwunpacked(bytes);
  std::vector<std::uint8_t> block{static_cast<std::uint8_t>(encoded.width)};
  const std::vector<std::uint8_t> packed = codestobits(encoded.codes, encoded.width);
  block.insert(block.end(), packed.begin(), packed.end());
  return block;
}

}  // namespace lzw
