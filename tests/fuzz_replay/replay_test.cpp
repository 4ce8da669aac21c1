// Every input kept from fuzzing (seeds and findings alike) must pass its target's checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "fuzz/checks/check.h"
#include "fuzz_replay/fuzz_files.h"
#include "platform/errors.h"

namespace {

struct Target {
  std::string_view name;
  void (*check)(fuzz::Bytes);
};

constexpr Target kTargets[] = {
    {"utf8", fuzz::checkUtf8},
    {"patterns", fuzz::checkPatterns},
    {"reply", fuzz::checkReply},
    {"selection", fuzz::checkSelection},
    {"paths", fuzz::checkPaths},
    {"companion", fuzz::checkCompanion},
    {"fifo_reply", fuzz::checkFifoReply},
#ifdef FUZZ_REPLAY_ENCODING
    {"encoding", fuzz::checkEncoding},
#endif
};

std::vector<std::filesystem::path> keptInputs(std::string_view target) {
  const std::filesystem::path folder = std::filesystem::path(fuzz::kCorpusDirectory) / target;
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(folder)) {
    return files;
  }
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The failure text of one input, or nothing when every property held.
std::string failureOf(const Target& target, const std::vector<std::uint8_t>& input) {
  try {
    target.check(input);
    return {};
  } catch (const fuzz::PropertyFailure& failure) {
    return std::string("property failed: ") + failure.what();
  } catch (const platform::Error& error) {
    return "unexpected " + std::string(error.kind()) + ": " + error.message();
  } catch (const std::exception& error) {
    return std::string("unexpected exception: ") + error.what();
  }
}

class Replay : public ::testing::TestWithParam<Target> {};

TEST_P(Replay, EveryKeptInputPassesItsChecks) {
  const Target& target = GetParam();
  const auto files = keptInputs(target.name);
  // An empty folder would let a wrong corpus path pass unnoticed.
  ASSERT_FALSE(files.empty()) << "no inputs under " << fuzz::kCorpusDirectory << "/" << target.name;
  for (const auto& file : files) {
    const auto input = bytesOf(file);
    EXPECT_EQ(failureOf(target, input), "")
        << file.filename().string() << ": "
        << fuzz::shown({reinterpret_cast<const char*>(input.data()), input.size()});
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Replay, ::testing::ValuesIn(kTargets),
                         [](const auto& param) { return std::string(param.param.name); });

// scripts/fuzz seeds each target it runs with its kept inputs and its dictionary; a fuzzer given a
// dictionary that is not there does not start.
TEST(ListedTargets, EachHasKeptInputsAndADictionary) {
  std::vector<std::string> missing;
  for (const std::string_view target : fuzz::kListedTargets) {
    if (keptInputs(target).empty()) {
      missing.push_back(std::string(target) + ": no kept inputs");
    }
    const std::filesystem::path dictionary =
        std::filesystem::path(fuzz::kDictionaryDirectory) / (std::string(target) + ".dict");
    std::error_code error;
    const auto size = std::filesystem::file_size(dictionary, error);
    if (error || size == 0) {
      missing.push_back(std::string(target) + ": no dictionary");
    }
  }
  EXPECT_EQ(missing, std::vector<std::string>{});
}

}  // namespace
