// Replays the fuzzer's seed corpus and every input that once broke an
// invariant through the same checks the fuzz target runs, so that they hold
// in the ordinary and the sanitizer builds too, not only while fuzzing.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core_properties.hpp"

namespace tourwright {
namespace {

std::vector<std::filesystem::path> inputs_in(const std::filesystem::path& directory) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  }
  return files;
}

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

void replay(const std::filesystem::path& directory) {
  const auto files = inputs_in(directory);
  for (const auto& file : files) {
    const std::vector<std::uint8_t> bytes = read_bytes(file);
    const auto violation = fuzzing::check_core_properties(bytes);
    EXPECT_FALSE(violation.has_value()) << file.filename() << ": " << violation.value_or("");
  }
}

TEST(FuzzReplayTest, SeedCorpusKeepsEveryInvariant) {
  const std::filesystem::path corpus = TOURWRIGHT_FUZZ_DIR "/corpus";
  ASSERT_FALSE(inputs_in(corpus).empty());
  replay(corpus);
}

TEST(FuzzReplayTest, FormerFindingsStayFixed) { replay(TOURWRIGHT_FUZZ_DIR "/regressions"); }

TEST(FuzzReplayTest, ArbitraryBytesDecodeAndKeepEveryInvariant) {
  // Short byte strings the corpus need not contain: empty, all zero, all ones.
  const std::vector<std::vector<std::uint8_t>> inputs{{},
                                                      std::vector<std::uint8_t>(64, 0x00),
                                                      std::vector<std::uint8_t>(64, 0xff),
                                                      {0x05, 0x01, 0x03, 0x07, 0x80, 0x11}};
  for (const auto& bytes : inputs) {
    const auto violation = fuzzing::check_core_properties(bytes);
    EXPECT_FALSE(violation.has_value()) << violation.value_or("");
  }
}

}  // namespace
}  // namespace tourwright
