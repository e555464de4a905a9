#include "platform/win32/profile/win32_profile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "tests/win32/win32_test_folder.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::ERR_INVALID_PARAMETER;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::win32::Win32Profile;
using vtsetup::testing::Exists;
using vtsetup::testing::ReadText;
using vtsetup::testing::Win32TestFolder;
using vtsetup::testing::WriteText;

class Win32ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(script_,
              "[Proginfo]\r\n"
              "Name=Gra testowa\r\n"
              "Long=abcdefghij\r\n"
              "Quoted=\" 12abc\"\r\n"
              "\r\n"
              "[Numbers]\r\n"
              "Negative=-5\r\n"
              "Plus=+7\r\n"
              "Trailing=12abc\r\n"
              "Letters=abc\r\n"
              "Empty=\r\n"
              "Zero=0\r\n"
              "One=1\r\n"
              "Hex=0x10\r\n"
              "Wraps=4294967297\r\n"
              "Smallest=2147483648\r\n"
              "[Empty section]\r\n");
  }

  Win32TestFolder folder_;
  const std::string script_ = folder_.File("setup.ini");
  Win32Profile profile_;
};

TEST_F(Win32ProfileTest, StringsFallBackToTheDefaultAndAreCutToTheBuffer) {
  const char* file = script_.c_str();
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Name", "x", 512), "Gra testowa");
  EXPECT_EQ(profile_.ReadString(file, "PROGINFO", "name", "x", 512), "Gra testowa");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Missing", "Set", 512), "Set");
  EXPECT_EQ(profile_.ReadString(file, "Missing", "Name", "Set", 512), "Set");
  EXPECT_EQ(profile_.ReadString(folder_.File("missing.ini").c_str(), "Proginfo", "Name", "Set", 512), "Set");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Missing", nullptr, 512), "");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Quoted", "x", 512), " 12abc");

  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Long", "x", 11), "abcdefghij");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Long", "x", 10), "abcdefghi");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Long", "x", 5), "abcd");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Long", "x", 1), "");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Long", "x", 0), "");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "Missing", "default text", 8), "default");

  // A missing name never matches, where the system would list the names instead.
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", nullptr, "Set  ", 512), "Set");
  EXPECT_EQ(profile_.ReadString(file, nullptr, "Name", "Set", 3), "Se");
  EXPECT_EQ(profile_.ReadString(file, "Proginfo", "", "Set", 512), "Set");
}

TEST_F(Win32ProfileTest, NumbersAreTheLeadingDecimalOfTheWholeValue) {
  const char* file = script_.c_str();
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Negative", 99), -5);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Plus", 99), 7);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Trailing", 99), 12);
  EXPECT_EQ(profile_.ReadInt(file, "Proginfo", "Quoted", 99), 12);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Letters", 99), 0);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Empty", 99), 0);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Hex", 99), 0);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Wraps", 99), 1);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Smallest", 99), INT_MIN);
  // Values equal to the probes that tell a missing key apart.
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Zero", 99), 0);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "One", 99), 1);

  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Missing", 99), 99);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", "Missing", -1), -1);
  EXPECT_EQ(profile_.ReadInt(file, "Missing", "Negative", 0), 0);
  EXPECT_EQ(profile_.ReadInt(file, "Missing", "Negative", 1), 1);
  EXPECT_EQ(profile_.ReadInt(folder_.File("missing.ini").c_str(), "Numbers", "One", 42), 42);
  EXPECT_EQ(profile_.ReadInt(file, "Numbers", nullptr, 42), 42);
}

TEST_F(Win32ProfileTest, ASectionCountsWhatABufferOfItsSizeReceives) {
  const char* file = script_.c_str();
  // Each entry with its zero, written here as "_".
  const std::uint32_t numbers = static_cast<std::uint32_t>(
      std::string("Negative=-5_Plus=+7_Trailing=12abc_Letters=abc_Empty=_Zero=0_One=1_Hex=0x10_"
                  "Wraps=4294967297_Smallest=2147483648_")
          .size());
  EXPECT_EQ(profile_.ReadSection(file, "Numbers", 4096), numbers);
  EXPECT_EQ(profile_.ReadSection(file, "numbers", numbers + 1), numbers);
  // A list that does not fit with its final zero delivers the buffer's size less two.
  EXPECT_EQ(profile_.ReadSection(file, "Numbers", numbers), numbers - 2);
  EXPECT_EQ(profile_.ReadSection(file, "Numbers", 10), 8u);
  EXPECT_EQ(profile_.ReadSection(file, "Empty section", 4096), 0u);
  EXPECT_EQ(profile_.ReadSection(file, "Missing", 4096), 0u);
  EXPECT_EQ(profile_.ReadSection(folder_.File("missing.ini").c_str(), "Proginfo", 4096), 0u);
  EXPECT_EQ(profile_.ReadSection(file, "Proginfo", 1), 0u);
}

TEST_F(Win32ProfileTest, WritesRemovesKeysAndRemovesSections) {
  const std::string link = folder_.File("Strona gry.url");
  const char* file = link.c_str();
  ASSERT_EQ(profile_.WriteString(file, "InternetShortcut", "URL", "http://www.example.com/"), ERR_NONE);
  EXPECT_TRUE(Exists(link));
  EXPECT_EQ(profile_.ReadString(file, "InternetShortcut", "URL", "", 512), "http://www.example.com/");
  ASSERT_EQ(profile_.WriteString(file, "InternetShortcut", "URL", "http://other/"), ERR_NONE);
  ASSERT_EQ(profile_.WriteString(file, "InternetShortcut", "Kept", "1"), ERR_NONE);
  EXPECT_EQ(profile_.ReadString(file, "InternetShortcut", "URL", "", 512), "http://other/");
  const std::string text = ReadText(link);
  EXPECT_NE(text.find("[InternetShortcut]"), std::string::npos) << text;
  EXPECT_NE(text.find("URL=http://other/"), std::string::npos) << text;

  ASSERT_EQ(profile_.WriteString(file, "InternetShortcut", "URL", nullptr), ERR_NONE);
  EXPECT_EQ(profile_.ReadString(file, "InternetShortcut", "URL", "gone", 512), "gone");
  EXPECT_EQ(profile_.ReadInt(file, "InternetShortcut", "Kept", 0), 1);
  ASSERT_EQ(profile_.WriteString(file, "InternetShortcut", nullptr, nullptr), ERR_NONE);
  EXPECT_EQ(profile_.ReadSection(file, "InternetShortcut", 4096), 0u);
  EXPECT_EQ(profile_.ReadInt(file, "InternetShortcut", "Kept", 0), 0);
}

TEST_F(Win32ProfileTest, RefusesWhatTheFileCannotHoldAndReportsAFailedWrite) {
  const std::string before = ReadText(script_);
  const char* file = script_.c_str();
  EXPECT_EQ(profile_.WriteString(file, "Proginfo", "Name", "two\r\nlines"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(file, "Proginfo", "Bad\nKey", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(file, "Pro]\rginfo", "Key", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(file, "", "Key", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(file, nullptr, "Key", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(file, "Proginfo", "", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(nullptr, "Proginfo", "Key", "x"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(ReadText(script_), before);

  const std::string unreachable = folder_.File("missing\\link.url");
  EXPECT_EQ(profile_.WriteString(unreachable.c_str(), "InternetShortcut", "URL", "http://x/"),
            ERR_PATH_NOT_FOUND);
  EXPECT_FALSE(Exists(unreachable));
}

}  // namespace
