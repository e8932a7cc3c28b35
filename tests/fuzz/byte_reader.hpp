#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace tourwright::fuzzing {

// Hands out the fuzzer's bytes as small typed values. Once the bytes run out
// every read gives zero, so any input, even an empty one, decodes to a case.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t byte() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }

  std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }

  std::uint64_t u64() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 8) value |= std::uint64_t{byte()} << shift;
    return value;
  }

  bool flag() { return (byte() & 1) != 0; }

  // One of a few values of special interest.
  std::uint64_t one_of(std::initializer_list<std::uint64_t> values) {
    return values.begin()[byte() % values.size()];
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace tourwright::fuzzing
