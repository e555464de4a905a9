#include "wizard/memory_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/faulty_file_system.h"
#include "tests/support/test_machine.h"

namespace vtsetup::wizard {
namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

MemoryFile Holding(const std::string& bytes) {
  MemoryFile file;
  file.data.assign(bytes.begin(), bytes.end());
  file.remaining = static_cast<std::int32_t>(bytes.size());
  return file;
}

// One request of the control: what was handed out, and whether the reader said to go on.
struct Request {
  std::uint32_t answer;
  std::string delivered;
};

Request Ask(MemoryFile& file, std::int32_t requested) {
  std::string buffer(64, '#');
  std::int32_t delivered = -1;
  const std::uint32_t answer =
      MemoryStreamReader(&file, reinterpret_cast<std::uint8_t*>(buffer.data()), requested, &delivered);
  EXPECT_GE(delivered, 0);
  // Nothing is written past what was handed out.
  EXPECT_EQ(buffer.substr(static_cast<std::size_t>(std::max(delivered, 0))),
            std::string(64 - static_cast<std::size_t>(std::max(delivered, 0)), '#'));
  return {answer, buffer.substr(0, static_cast<std::size_t>(std::max(delivered, 0)))};
}

TEST(MemoryStreamReaderTest, HandsOutLessThanLeftThenExactlyWhatIsLeftThenStops) {
  MemoryFile file = Holding("Umowa licencyjna");
  Request first = Ask(file, 5);  // fewer than remain
  EXPECT_EQ(first.answer, 0u);
  EXPECT_EQ(first.delivered, "Umowa");
  EXPECT_EQ(file.remaining, 11);
  EXPECT_EQ(file.read_position, 5u);
  Request second = Ask(file, 11);  // exactly what remains
  EXPECT_EQ(second.answer, 0u);
  EXPECT_EQ(second.delivered, " licencyjna");
  EXPECT_EQ(file.remaining, 0);
  Request third = Ask(file, 11);  // nothing remains: the transfer ends
  EXPECT_NE(third.answer, 0u);
  EXPECT_EQ(third.delivered, "");
  EXPECT_EQ(file.read_position, 16u);
}

TEST(MemoryStreamReaderTest, AskingForMoreThanRemainsGivesTheRest) {
  MemoryFile file = Holding("abc");
  const Request request = Ask(file, 60);
  EXPECT_EQ(request.answer, 0u);
  EXPECT_EQ(request.delivered, "abc");
  EXPECT_NE(Ask(file, 60).answer, 0u);
}

TEST(MemoryStreamReaderTest, AnEmptyFileEndsAtTheFirstRequest) {
  MemoryFile file;
  const Request request = Ask(file, 60);
  EXPECT_NE(request.answer, 0u);
  EXPECT_EQ(request.delivered, "");
}

TEST(MemoryStreamReaderTest, ACountBeyondTheBufferNeverReadsPastIt) {
  MemoryFile file = Holding("abcd");
  file.remaining = 40;
  EXPECT_EQ(Ask(file, 60).delivered, "abcd");
  EXPECT_NE(Ask(file, 60).answer, 0u);
}

class LoadFileToMemoryTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::filesystem::path host = machine_.Host(kPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
    return host;
  }
  platform::FileSystem& Files() { return machine_.System().Files(); }
  // A memory file left over from an earlier load, so a failed load is seen to empty it.
  static MemoryFile Stale() { return Holding("stale"); }

  static constexpr const char* kPath = "C:\\Setup\\pl\\agree.rtf";
  testing::TestMachine machine_;
};

TEST_F(LoadFileToMemoryTest, ReadsTheWholeFileReadyToHandOut) {
  std::string bytes("{\\rtf1 \0\xFF", 9);
  bytes.append(5000, 'x');
  bytes.push_back('}');
  Write(bytes);
  // Another reader that allows reading does not keep us out.
  const platform::OpenResult other = Files().Open(kPath, platform::FileAccess::Read, platform::SHARE_READ,
                                                  platform::FileCreation::OpenExisting);
  ASSERT_NE(other.file, nullptr);
  MemoryFile file = Stale();
  ASSERT_TRUE(LoadFileToMemory(Files(), kPath, file));
  EXPECT_EQ(Text(file.data), bytes);
  EXPECT_EQ(file.remaining, static_cast<std::int32_t>(bytes.size()));
  EXPECT_EQ(file.read_position, 0u);
}

TEST_F(LoadFileToMemoryTest, AnEmptyFileLoadsAndEndsAtOnce) {
  Write("");
  MemoryFile file = Stale();
  ASSERT_TRUE(LoadFileToMemory(Files(), kPath, file));
  EXPECT_TRUE(file.data.empty());
  EXPECT_EQ(file.remaining, 0);
  EXPECT_NE(Ask(file, 60).answer, 0u);
}

TEST_F(LoadFileToMemoryTest, WhatCannotBeOpenedOrReadLeavesNothing) {
  MemoryFile file = Stale();
  EXPECT_FALSE(LoadFileToMemory(Files(), kPath, file));  // missing
  EXPECT_TRUE(file.data.empty());
  EXPECT_EQ(file.remaining, 0);

  Write("text");
  file = Stale();
  EXPECT_FALSE(LoadFileToMemory(Files(), "C:\\Setup\\pl", file));  // a folder
  EXPECT_TRUE(file.data.empty());

  testing::FaultyFileSystem faulty(Files());
  faulty.fail_read = 1;
  file = Stale();
  EXPECT_FALSE(LoadFileToMemory(faulty, kPath, file));
  EXPECT_TRUE(file.data.empty());
  EXPECT_EQ(file.remaining, 0);
  EXPECT_EQ(faulty.reads.size(), 1u);  // one read of the whole file, as the size promised
  EXPECT_EQ(faulty.reads[0].size, 4u);
}

TEST_F(LoadFileToMemoryTest, AFileBeyondTheLimitIsNotLoaded) {
  const std::string host = Write("");
  MemoryFile file = Stale();
  // Sparse, so the test costs no disk.
  std::filesystem::resize_file(host, kMaxMemoryFileSize);
  ASSERT_TRUE(LoadFileToMemory(Files(), kPath, file));
  EXPECT_EQ(file.remaining, static_cast<std::int32_t>(kMaxMemoryFileSize));
  std::filesystem::resize_file(host, std::uint64_t{kMaxMemoryFileSize} + 1);
  EXPECT_FALSE(LoadFileToMemory(Files(), kPath, file));
  EXPECT_TRUE(file.data.empty());
  EXPECT_EQ(file.remaining, 0);
  std::filesystem::resize_file(host, std::uint64_t{1} << 32);  // beyond what 32 bits count
  EXPECT_FALSE(LoadFileToMemory(Files(), kPath, file));
}

TEST_F(LoadFileToMemoryTest, AFileThatChangesUnderUsGivesWhatTheOneReadDelivered) {
  const std::string host = Write("abcdef");
  testing::FaultyFileSystem faulty(Files());
  faulty.after_size = [&](int) { std::filesystem::resize_file(host, 2); };
  MemoryFile file;
  ASSERT_TRUE(LoadFileToMemory(faulty, kPath, file));
  EXPECT_EQ(Text(file.data), "ab");
  EXPECT_EQ(file.remaining, 2);
  EXPECT_EQ(Ask(file, 60).delivered, "ab");
  EXPECT_NE(Ask(file, 60).answer, 0u);

  faulty.after_size = [&](int) { std::ofstream(host, std::ios::binary) << "abcdefghijkl"; };
  ASSERT_TRUE(LoadFileToMemory(faulty, kPath, file));
  EXPECT_EQ(Text(file.data), "ab");  // the size taken first bounds the read
  EXPECT_EQ(file.remaining, 2);
}

}  // namespace
}  // namespace vtsetup::wizard
