#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/filled_text.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::win32::TextOfGrowingBuffer;
using vtsetup::platform::win32::TextOfNeededSize;

// Behaves as GetCurrentDirectoryA does: the length when the text fits with its zero, otherwise the size
// needed with the zero, and the buffer left alone.
class NeededSizeCall {
 public:
  explicit NeededSizeCall(std::string text) : text_(std::move(text)) {}
  DWORD operator()(char* buffer, DWORD size) {
    sizes.push_back(size);
    if (text_.size() + 1 > size) {
      return static_cast<DWORD>(text_.size() + 1);
    }
    std::memcpy(buffer, text_.c_str(), text_.size() + 1);
    return static_cast<DWORD>(text_.size());
  }
  std::vector<DWORD> sizes;

 private:
  std::string text_;
};

// Behaves as GetModuleFileNameA does on the older systems: as much as fits, without a zero when cut,
// and the buffer's size as the answer then.
DWORD CutWithoutZero(const std::string& text, char* buffer, DWORD size) {
  const DWORD copied = std::min<DWORD>(size, static_cast<DWORD>(text.size()));
  std::memcpy(buffer, text.data(), copied);
  if (copied < size) {
    buffer[copied] = '\0';
  }
  return copied;
}

TEST(Win32FilledTextTest, ANeededSizeIsAskedForOnceAndTheTextTakenWhole) {
  const std::string long_path = "C:\\" + std::string(700, 'x');
  NeededSizeCall call(long_path);
  const TextString text = TextOfNeededSize(std::ref(call));
  EXPECT_EQ(text, long_path.c_str());
  ASSERT_EQ(call.sizes.size(), 2u);
  EXPECT_GE(call.sizes[1], long_path.size() + 1);

  NeededSizeCall short_call("C:\\TEMP\\");
  EXPECT_EQ(TextOfNeededSize(std::ref(short_call)), "C:\\TEMP\\");
  EXPECT_EQ(short_call.sizes.size(), 1u);

  EXPECT_TRUE(TextOfNeededSize([](char*, DWORD) -> DWORD { return 0; }).IsEmpty());
  // A call that never fits gives up rather than asking for ever.
  int calls = 0;
  EXPECT_TRUE(TextOfNeededSize([&](char*, DWORD size) -> DWORD {
                ++calls;
                return size + 10;
              }).IsEmpty());
  EXPECT_LT(calls, 10);
}

TEST(Win32FilledTextTest, AGrowingBufferDoublesUntilNothingIsCut) {
  const std::string module = "C:\\" + std::string(1000, 'm') + "\\setup.exe";
  std::vector<DWORD> sizes;
  const TextString whole = TextOfGrowingBuffer(
      [&](char* buffer, DWORD size) {
        sizes.push_back(size);
        return CutWithoutZero(module, buffer, size);
      },
      [](DWORD size) { return size; }, 261, 32768);
  EXPECT_EQ(whole, module.c_str());
  EXPECT_EQ(sizes, (std::vector<DWORD>{261, 522, 1044}));

  // A text exactly the buffer's size is a cut one for this kind of call and is read again.
  const std::string exact(261, 'e');
  sizes.clear();
  EXPECT_EQ(TextOfGrowingBuffer(
                [&](char* buffer, DWORD size) {
                  sizes.push_back(size);
                  return CutWithoutZero(exact, buffer, size);
                },
                [](DWORD size) { return size; }, 261, 32768),
            exact.c_str());
  EXPECT_EQ(sizes.size(), 2u);
}

TEST(Win32FilledTextTest, AGrowingBufferStopsAtItsLargestSizeWithTheCutText) {
  const std::string value(100, 'v');
  // As GetPrivateProfileStringA: a cut value keeps its zero and answers the size less one.
  const auto profile_call = [&](char* buffer, DWORD size) {
    const DWORD copied = std::min<DWORD>(size - 1, static_cast<DWORD>(value.size()));
    std::memcpy(buffer, value.data(), copied);
    buffer[copied] = '\0';
    return copied;
  };
  const auto less_one = [](DWORD size) { return size - 1; };
  EXPECT_EQ(TextOfGrowingBuffer(profile_call, less_one, 16, 50), std::string(49, 'v').c_str());
  EXPECT_EQ(TextOfGrowingBuffer(profile_call, less_one, 16, 101), value.c_str());
  EXPECT_EQ(TextOfGrowingBuffer(profile_call, less_one, 256, 1), "");
  EXPECT_TRUE(TextOfGrowingBuffer(profile_call, less_one, 256, 0).IsEmpty());
}

}  // namespace
