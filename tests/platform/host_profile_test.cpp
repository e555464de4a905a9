#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/host/machine/whole_file.h"
#include "platform/host/profile/parsed_profile.h"
#include "platform/host/profile/profile_cache.h"
#include "platform/profile.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::DiskSpace;
using vtsetup::platform::ERR_ACCESS_DENIED;
using vtsetup::platform::ERR_HANDLE_DISK_FULL;
using vtsetup::platform::ERR_INVALID_PARAMETER;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::ERR_SHARING_VIOLATION;
using vtsetup::platform::FileAccess;
using vtsetup::platform::FileCreation;
using vtsetup::platform::FileSystem;
using vtsetup::platform::OpenResult;
using vtsetup::platform::Profile;
using vtsetup::platform::SHARE_DELETE;
using vtsetup::platform::SHARE_NONE;
using vtsetup::platform::SHARE_READ;
using vtsetup::platform::SHARE_WRITE;
using vtsetup::platform::SystemError;
using vtsetup::platform::host::ParsedProfile;
using vtsetup::platform::host::ProfileCache;
using vtsetup::platform::host::ReplaceWholeFile;
using vtsetup::testing::ReadText;
using vtsetup::testing::TempDir;
using vtsetup::testing::TestMachine;
using vtsetup::testing::WriteText;

class HostProfileTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { WriteText(file_, text); }
  std::string String(const char* section, const char* key, const char* default_value = "none",
                     std::uint32_t buffer_size = 256) {
    const TextString value = profile_.ReadString(file_.c_str(), section, key, default_value, buffer_size);
    return std::string(value.Data(), value.Length());
  }
  std::int32_t Int(const char* section, const char* key, std::int32_t default_value = -7) {
    return profile_.ReadInt(file_.c_str(), section, key, default_value);
  }
  std::uint32_t Section(const char* section, std::uint32_t buffer_size = 4096) {
    return profile_.ReadSection(file_.c_str(), section, buffer_size);
  }

  TempDir dir_;
  TestMachine machine_;
  Profile& profile_ = machine_.System().Profiles();
  std::string file_ = dir_.File("setup.ini");
};

TEST_F(HostProfileTest, MissingOrUnreadableFileReadsAsEmpty) {
  EXPECT_EQ(String("Setup", "Name"), "none");
  EXPECT_EQ(Int("Setup", "Count"), -7);
  EXPECT_EQ(Section("Setup"), 0u);

  file_ = dir_.Path().string();  // a folder cannot be read as a file
  EXPECT_EQ(String("Setup", "Name"), "none");
  EXPECT_EQ(Section("Setup"), 0u);
}

TEST_F(HostProfileTest, TakesWindowsStyleFileNames) {
  Write("[Setup]\r\nName=Game\r\n");
  std::string windows_name = file_;
  for (std::size_t i = 1; i < windows_name.size(); ++i) {
    if (windows_name[i] == '/') {
      windows_name[i] = '\\';
    }
  }
  EXPECT_EQ(profile_.ReadString(windows_name.c_str(), "Setup", "Name", "", 256), "Game");
}

TEST_F(HostProfileTest, ReadsTheFileAfreshOnEachCall) {
  Write("[Setup]\nName=First\n");
  EXPECT_EQ(String("Setup", "Name"), "First");
  Write("[Setup]\nName=Second\n");
  EXPECT_EQ(String("Setup", "Name"), "Second");
}

// The file read last is kept parsed; a change of any kind must still show at the next read.
TEST_F(HostProfileTest, SeesAChangeThatKeepsTheSize) {
  Write("[Setup]\nName=AAAA\n");
  ASSERT_EQ(String("Setup", "Name"), "AAAA");
  Write("[Setup]\nName=BBBB\n");  // the same file and size: its modification time tells
  const auto modified = std::filesystem::last_write_time(file_);
  std::filesystem::last_write_time(file_, modified + std::chrono::seconds(1));
  EXPECT_EQ(String("Setup", "Name"), "BBBB");

  // Rewritten with its modification time put back, as a copy that keeps times leaves it: the change
  // time tells. The wait lets the file system's clock, which may tick in milliseconds, move on.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Write("[Setup]\nName=CCCC\n");
  std::filesystem::last_write_time(file_, modified + std::chrono::seconds(1));
  EXPECT_EQ(String("Setup", "Name"), "CCCC");

  // Another file put in its place.
  const std::string other = dir_.File("other.ini");
  WriteText(other, "[Setup]\nName=DDDD\n");
  std::filesystem::last_write_time(other, modified + std::chrono::seconds(1));
  std::filesystem::rename(other, file_);
  EXPECT_EQ(String("Setup", "Name"), "DDDD");
}

TEST_F(HostProfileTest, EachFileGivesItsOwnValues) {
  Write("[Setup]\nName=First\n");
  const std::string other = dir_.File("other.ini");
  WriteText(other, "[Setup]\nName=Other\n");
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(String("Setup", "Name"), "First");
    EXPECT_EQ(profile_.ReadString(other.c_str(), "Setup", "Name", "", 256), "Other");
    EXPECT_EQ(profile_.ReadString(dir_.File("missing.ini").c_str(), "Setup", "Name", "none", 256), "none");
  }
  std::filesystem::remove(file_);
  EXPECT_EQ(String("Setup", "Name"), "none");
}

// A value written through the profile is read back at once, even when the new file is the same size
// and, on a file system that reuses a freed inode at once, the same inode.
TEST_F(HostProfileTest, ReadsBackWhatItWrote) {
  Write("[Setup]\nName=1\n");
  for (const char* value : {"2", "3", "4", "5"}) {
    ASSERT_EQ(profile_.WriteString(file_.c_str(), "Setup", "Name", value), ERR_NONE);
    EXPECT_EQ(String("Setup", "Name"), value);
  }
}

// Editors that save UTF-8 may begin the file with a byte-order mark; the first section is still found,
// and a write finds it where the reader does, keeping the mark.
TEST_F(HostProfileTest, SkipsAUtf8ByteOrderMarkAtTheStart) {
  Write("\xEF\xBB\xBF[Proginfo]\r\nProduct=Gra\r\n[Options]\r\n\xEF\xBB\xBF[Late]\r\n");
  EXPECT_EQ(String("Proginfo", "Product"), "Gra");
  EXPECT_EQ(Section("Proginfo"), 12u);
  // Only the start of the file: a mark later is part of its line, here an entry of [Options].
  EXPECT_EQ(Section("Late"), 0u);
  EXPECT_EQ(Section("Options"), 10u);

  ASSERT_EQ(profile_.WriteString(file_.c_str(), "proginfo", "Product", "Gry"), ERR_NONE);
  EXPECT_EQ(ReadText(file_), "\xEF\xBB\xBF[Proginfo]\r\nProduct=Gry\r\n[Options]\r\n\xEF\xBB\xBF[Late]\r\n");
  Write("\xEF\xBB\xBF");
  ASSERT_EQ(profile_.WriteString(file_.c_str(), "New", "Key", "v"), ERR_NONE);
  EXPECT_EQ(ReadText(file_), "\xEF\xBB\xBF[New]\r\nKey=v\r\n");
  EXPECT_EQ(String("New", "Key"), "v");
}

// Reading a script key by key must not read and parse it once per key.
TEST(ProfileCache, KeepsTheParsedFileWhileItIsUnchanged) {
  TempDir dir;
  const std::string file = dir.File("setup.ini");
  WriteText(file, "[S]\nK=1\n");
  ProfileCache cache;
  const std::shared_ptr<const ParsedProfile> first = cache.Read(file);
  EXPECT_EQ(cache.Read(file), first);

  WriteText(file, "[S]\nK=22\n");
  const std::shared_ptr<const ParsedProfile> second = cache.Read(file);
  EXPECT_NE(second, first);
  ASSERT_NE(second->Entry("S", "K"), nullptr);
  EXPECT_EQ(second->Entry("S", "K")->value, "22");
  ASSERT_NE(first->Entry("S", "K"), nullptr);  // a holder's text stays whole
  EXPECT_EQ(first->Entry("S", "K")->value, "1");

  cache.Forget(dir.File("other.ini"));
  EXPECT_EQ(cache.Read(file), second);
  cache.Forget(file);
  EXPECT_NE(cache.Read(file), second);
}

// Readers on several threads while the file is replaced again and again each get one of its texts.
TEST(ProfileCache, ServesThreadsWhileTheFileIsReplaced) {
  TestMachine machine;
  Profile& profile = machine.System().Profiles();
  TempDir dir;
  const std::string file = dir.File("setup.ini");
  const std::string texts[] = {"[S]\nK=first\n", "[S]\nK=second value\n"};
  ASSERT_EQ(ReplaceWholeFile(file, texts[0]), 0);
  std::atomic<bool> writing{true};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int i = 0; i < 4; ++i) {
    readers.emplace_back([&] {
      while (writing) {
        const TextString value = profile.ReadString(file.c_str(), "S", "K", "none", 256);
        if (value != "first" && value != "second value") {
          ++wrong;
        }
      }
    });
  }
  for (int i = 1; i <= 40; ++i) {
    EXPECT_EQ(ReplaceWholeFile(file, texts[i % 2]), 0);
  }
  writing = false;
  for (std::thread& reader : readers) {
    reader.join();
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(profile.ReadString(file.c_str(), "S", "K", "none", 256), "first");
}

TEST_F(HostProfileTest, AcceptsCrLfAndLfLineEnds) {
  Write("[A]\r\nOne=1\r\nTwo=2\n[B]\nThree=3\r\nLast=end");
  EXPECT_EQ(String("A", "One"), "1");
  EXPECT_EQ(String("A", "Two"), "2");
  EXPECT_EQ(String("B", "Three"), "3");
  EXPECT_EQ(String("B", "Last"), "end");
  EXPECT_EQ(String("A", "Three"), "none");
}

TEST_F(HostProfileTest, MatchesSectionsAndKeysWithoutAsciiCase) {
  Write("  [  Install Dirs ] trailing\r\nGameDir=C:\\GAME\r\n");
  EXPECT_EQ(String("install dirs", "GAMEDIR"), "C:\\GAME");
  EXPECT_EQ(String("INSTALL DIRS", "gamedir"), "C:\\GAME");
  EXPECT_EQ(String("Install", "GameDir"), "none");
  EXPECT_EQ(String("Install Dirs", "Game"), "none");
}

TEST_F(HostProfileTest, FirstSectionAndFirstKeyWin) {
  Write(
      "[Setup]\r\nName=First\r\nname=Second\r\n[Other]\r\nName=Other\r\n[SETUP]\r\nName=Third\r\nExtra="
      "x\r\n");
  EXPECT_EQ(String("Setup", "Name"), "First");
  EXPECT_EQ(String("Other", "Name"), "Other");
  // The later duplicate section is not merged in.
  EXPECT_EQ(String("Setup", "Extra"), "none");
  EXPECT_EQ(Section("Setup"), std::string("Name=First").size() + 1 + std::string("name=Second").size() + 1);
}

TEST_F(HostProfileTest, RemovesBlanksAroundKeyAndValue) {
  Write("[S]\r\n \tKey One \t= \t a value  with  blanks\t \r\nEmpty =   \r\nSplit=a=b\r\n");
  EXPECT_EQ(String("S", "Key One"), "a value  with  blanks");
  EXPECT_EQ(String("S", "Empty"), "");
  EXPECT_EQ(String("S", "Split"), "a=b");
}

TEST_F(HostProfileTest, DropsOneMatchingPairOfQuotes) {
  Write(
      "[Q]\r\nDouble=\"text\"\r\nSingle='text'\r\nBlanks=\" text \"\r\nDoubled=''text''\r\n"
      "Mixed=\"text'\r\nLone=\"\r\nInner=a \"b\" c\r\nEmpty=\"\"\r\n");
  EXPECT_EQ(String("Q", "Double"), "text");
  EXPECT_EQ(String("Q", "Single"), "text");
  EXPECT_EQ(String("Q", "Blanks"), " text ");
  EXPECT_EQ(String("Q", "Doubled"), "'text'");
  EXPECT_EQ(String("Q", "Mixed"), "\"text'");
  EXPECT_EQ(String("Q", "Lone"), "\"");
  EXPECT_EQ(String("Q", "Inner"), "a \"b\" c");
  EXPECT_EQ(String("Q", "Empty"), "");
}

TEST_F(HostProfileTest, SkipsCommentLinesOnly) {
  Write("[C]\r\n;Hidden=1\r\n  \t;Indented=2\r\nShown=3 ;not a comment\r\n; [D]\r\nAfter=4\r\n");
  EXPECT_EQ(String("C", "Hidden"), "none");
  EXPECT_EQ(String("C", ";Hidden"), "none");
  EXPECT_EQ(String("C", "Indented"), "none");
  EXPECT_EQ(String("C", "Shown"), "3 ;not a comment");
  EXPECT_EQ(String("C", "After"), "4");
  EXPECT_EQ(String("D", "After"), "none");
}

TEST_F(HostProfileTest, LineWithoutEqualsIsAKeyWithEmptyValue) {
  Write("[L]\r\n  Flag  \r\nNext=1\r\n");
  EXPECT_EQ(String("L", "Flag"), "");
  EXPECT_EQ(Int("L", "Flag"), 0);
  EXPECT_EQ(String("L", "Fla"), "none");
  EXPECT_EQ(Section("L"), std::string("Flag").size() + 1 + std::string("Next=1").size() + 1);
}

TEST_F(HostProfileTest, IgnoresLinesBeforeTheFirstSection) {
  Write("Loose=1\r\n[S]\r\nKept=2\r\n");
  EXPECT_EQ(String("S", "Loose"), "none");
  EXPECT_EQ(String("", "Loose"), "none");
  EXPECT_EQ(Section("S"), std::string("Kept=2").size() + 1);
}

TEST_F(HostProfileTest, EmptyOrNullNamesNeverMatch) {
  Write("[]\r\n=nameless\r\nKey=1\r\n[S]\r\n=nameless\r\n");
  EXPECT_EQ(String("", "Key"), "none");
  EXPECT_EQ(String(nullptr, "Key"), "none");
  EXPECT_EQ(String("S", ""), "none");
  EXPECT_EQ(String("S", nullptr), "none");
  EXPECT_EQ(Int("S", ""), -7);
  EXPECT_EQ(Section(""), 0u);
  EXPECT_EQ(Section(nullptr), 0u);
}

TEST_F(HostProfileTest, PassesBytesAbove127Unchanged) {
  // Code page 1250: 0xA5 is "Ą", 0xB9 is "ą", 0xE8 is "č".
  Write("[Gra\xB9]\r\nK\xA5t=\xE8\x61s \x80\xFF\r\n");
  EXPECT_EQ(String("GRA\xB9", "k\xA5T"), "\xE8\x61s \x80\xFF");
  // Only ASCII letters fold; the code page's own cases stay apart.
  EXPECT_EQ(String("Gra\xA5", "K\xA5t"), "none");
  EXPECT_EQ(String("Gra\xB9", "K\xB9t"), "none");
}

TEST_F(HostProfileTest, CutsTheStringToTheBuffer) {
  const std::string long_value(300, 'x');
  Write("[S]\r\nLong=" + long_value + "\r\nShort=abc\r\n");
  EXPECT_EQ(String("S", "Long", "", 256), std::string(255, 'x'));
  EXPECT_EQ(String("S", "Short", "", 4), "abc");
  EXPECT_EQ(String("S", "Short", "", 3), "ab");
  EXPECT_EQ(String("S", "Short", "", 1), "");
  EXPECT_EQ(String("S", "Short", "", 0), "");
  EXPECT_EQ(String("S", "Missing", "default", 4), "def");
  // A zero byte ends the text as a caller's zero-terminated buffer would.
  Write(std::string("[S]\r\nZero=ab\0cd\r\n", 16));
  const TextString zero = profile_.ReadString(file_.c_str(), "S", "Zero", "", 256);
  EXPECT_EQ(zero.Length(), 2u);
  EXPECT_EQ(zero, "ab");
}

TEST_F(HostProfileTest, DefaultLosesTrailingBlanksOnly) {
  Write("[S]\r\n");
  EXPECT_EQ(String("S", "Missing", nullptr), "");
  EXPECT_EQ(String("S", "Missing", "  value \t "), "  value");
  EXPECT_EQ(String("S", "Missing", "   "), "");
  EXPECT_EQ(String("Nowhere", "Missing", "x "), "x");
}

TEST_F(HostProfileTest, ReadsTheLeadingDecimalNumber) {
  Write(
      "[N]\r\nPlain=42\r\nSuffix=102abc\r\nWord=abc\r\nEmpty=\r\nQuoted=\"12\"\r\nHex=0x1F\r\n"
      "Blanks=  7  \r\nQuotedBlanks=\" 12abc\"\r\nTab=\"\t3\"\r\n");
  EXPECT_EQ(Int("N", "Plain"), 42);
  EXPECT_EQ(Int("N", "Suffix"), 102);
  EXPECT_EQ(Int("N", "Word"), 0);
  EXPECT_EQ(Int("N", "Empty"), 0);
  EXPECT_EQ(Int("N", "Quoted"), 12);
  EXPECT_EQ(Int("N", "Hex"), 0);
  EXPECT_EQ(Int("N", "Blanks"), 7);
  // Blanks that the quotes kept are skipped by the number reader itself.
  EXPECT_EQ(Int("N", "QuotedBlanks"), 12);
  EXPECT_EQ(Int("N", "Tab"), 3);
  EXPECT_EQ(Int("N", "Missing", -3), -3);
  EXPECT_EQ(Int("Missing", "Plain", 9), 9);
}

TEST_F(HostProfileTest, TakesOneSignBeforeTheDigits) {
  Write(
      "[N]\r\nNegative=-5\r\nPlus=+750\r\nMinusOnly=-\r\nPlusOnly=+\r\nTwoSigns=--5\r\nMixed=+-5\r\n"
      "Apart=- 5\r\nNegativeSuffix=-12ms\r\nNegativeZero=-0\r\n");
  EXPECT_EQ(Int("N", "Negative"), -5);
  EXPECT_EQ(Int("N", "Plus"), 750);
  EXPECT_EQ(Int("N", "MinusOnly"), 0);
  EXPECT_EQ(Int("N", "PlusOnly"), 0);
  EXPECT_EQ(Int("N", "TwoSigns"), 0);
  EXPECT_EQ(Int("N", "Mixed"), 0);
  EXPECT_EQ(Int("N", "Apart"), 0);
  EXPECT_EQ(Int("N", "NegativeSuffix"), -12);
  EXPECT_EQ(Int("N", "NegativeZero"), 0);
}

// The digits gather in 32 bits that wrap, as on Windows: 4294967297 is 2^32 + 1, 2147483648 is 2^31,
// and 4294967301 is 2^32 + 5.
TEST_F(HostProfileTest, NumbersPast32BitsWrap) {
  Write(
      "[N]\r\nLargest=2147483647\r\nSmallest=-2147483648\r\nPastLargest=2147483648\r\n"
      "Wrapped=4294967297\r\nNegativeWrapped=-4294967301\r\nAllOnes=4294967295\r\n");
  EXPECT_EQ(Int("N", "Largest"), 2147483647);
  EXPECT_EQ(Int("N", "Smallest"), -2147483647 - 1);
  EXPECT_EQ(Int("N", "PastLargest"), -2147483647 - 1);
  EXPECT_EQ(Int("N", "Wrapped"), 1);
  EXPECT_EQ(Int("N", "NegativeWrapped"), -5);
  EXPECT_EQ(Int("N", "AllOnes"), -1);
}

// "A = 1", a comment, a blank line, B="two" and Flag deliver "A=1\0B=\"two\"\0Flag\0\0": 17 characters
// before the final null, 18 bytes in all.
class HostProfileSectionTest : public HostProfileTest {
 protected:
  void SetUp() override {
    Write(
        "[S]\r\n  A = 1 "
        "\r\n;comment=x\r\n\r\nB=\"two\"\r\nFlag\r\n[Comments]\r\n;only\r\n[Empty]\r\n[Next]\r\nX=1\r\n");
  }
};

TEST_F(HostProfileSectionTest, CountsEntriesAsDelivered) {
  EXPECT_EQ(Section("S"), 17u);
  EXPECT_EQ(Section("s"), 17u);
  EXPECT_EQ(Section("S", 18), 17u);
}

TEST_F(HostProfileSectionTest, GivesSizeMinusTwoWhenTheListDoesNotFit) {
  EXPECT_EQ(Section("S", 17), 15u);
  EXPECT_EQ(Section("S", 5), 3u);
  EXPECT_EQ(Section("S", 2), 0u);
  EXPECT_EQ(Section("S", 1), 0u);
  EXPECT_EQ(Section("S", 0), 0u);
}

TEST_F(HostProfileSectionTest, MissingOrEntrylessSectionGivesZero) {
  EXPECT_EQ(Section("Missing"), 0u);
  EXPECT_EQ(Section("Comments"), 0u);
  EXPECT_EQ(Section("Empty"), 0u);
  EXPECT_EQ(Section("Empty", 1), 0u);
  EXPECT_EQ(Section("Next"), 4u);
}

class HostProfileWriterTest : public HostProfileTest {
 protected:
  SystemError Put(const char* section, const char* key, const char* value) {
    return profile_.WriteString(file_.c_str(), section, key, value);
  }
  std::string Text() { return ReadText(file_); }
  // The file's text after a write that must succeed.
  std::string Edited(const char* section, const char* key, const char* value) {
    EXPECT_EQ(Put(section, key, value), ERR_NONE) << section << " " << (key ? key : "(all)");
    return Text();
  }
};

TEST_F(HostProfileWriterTest, WritesAnInternetShortcutIntoAMachineFolder) {
  const std::string folder = "C:\\Windows\\Start Menu\\Programs\\Gra";
  std::filesystem::create_directories(machine_.Host(folder));
  const std::string url = folder + "\\N.URL";
  ASSERT_EQ(profile_.WriteString(url.c_str(), "InternetShortcut", "URL", "http://x"), ERR_NONE);
  EXPECT_EQ(ReadText(machine_.Host(url)), "[InternetShortcut]\r\nURL=http://x\r\n");
  EXPECT_EQ(profile_.ReadString(url.c_str(), "InternetShortcut", "URL", "", 500), "http://x");

  const std::string lost = "C:\\Windows\\Start Menu\\Programs\\Missing\\N.URL";
  EXPECT_EQ(profile_.WriteString(lost.c_str(), "InternetShortcut", "URL", "http://x"), ERR_PATH_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(machine_.Host("C:\\Windows\\Start Menu\\Programs\\Missing")));
}

// Drive Q: has room for two clusters of 512 bytes.
class HostProfileWriterFiles : public ::testing::Test {
 protected:
  SystemError PutUrl(const std::string& url) {
    return profile_.WriteString("Q:\\Gra.URL", "InternetShortcut", "URL", url.c_str());
  }
  std::string UrlFile() const { return ReadText(machine_.Host("Q:\\Gra.URL")); }
  std::uint32_t FreeClusters() {
    DiskSpace space;
    EXPECT_EQ(machine_.System().Disks().FreeSpace("Q:\\", space), ERR_NONE);
    return space.free_clusters;
  }
  long EntriesOnQ() const {
    return std::distance(std::filesystem::directory_iterator(machine_.Host("Q:\\")), {});
  }

  TestMachine machine_{
      "[Drive C]\nFolder = drive_c\n[Drive Q]\nFolder = q\nType = removable\nFreeBytes = 1024\nClusterSize = "
      "512\n[Drive Z]\nFolder = /\nType = remote\n"};
  Profile& profile_ = machine_.System().Profiles();
  FileSystem& files_ = machine_.System().Files();
};

TEST_F(HostProfileWriterFiles, InternetShortcutIsChargedToTheQuotaAndReplacedOnlyWhole) {
  ASSERT_EQ(PutUrl("http://x"), ERR_NONE);
  EXPECT_EQ(FreeClusters(), 1u);
  // Three clusters do not fit: the old file stays as it was, with nothing beside it.
  EXPECT_EQ(PutUrl("http://" + std::string(1100, 'x')), ERR_HANDLE_DISK_FULL);
  EXPECT_EQ(UrlFile(), "[InternetShortcut]\r\nURL=http://x\r\n");
  EXPECT_EQ(EntriesOnQ(), 1);
  EXPECT_EQ(FreeClusters(), 1u);
  // Two clusters fit, the file's first one counted once; a shorter text gives one back.
  ASSERT_EQ(PutUrl("http://" + std::string(900, 'x')), ERR_NONE);
  EXPECT_EQ(UrlFile().size(), 933u);
  EXPECT_EQ(FreeClusters(), 0u);
  ASSERT_EQ(PutUrl("http://y"), ERR_NONE);
  EXPECT_EQ(FreeClusters(), 1u);
  EXPECT_EQ(EntriesOnQ(), 1);
}

TEST_F(HostProfileWriterFiles, InternetShortcutHeldOpenIsNotReplaced) {
  ASSERT_EQ(PutUrl("http://x"), ERR_NONE);
  // Held unshared, or shared in every way but deletion, which replacing the file needs.
  for (const std::uint32_t share : {std::uint32_t{SHARE_NONE}, std::uint32_t{SHARE_READ | SHARE_WRITE}}) {
    const OpenResult held = files_.Open("q:\\gra.url", FileAccess::Read, share, FileCreation::OpenExisting);
    ASSERT_EQ(held.error, ERR_NONE);
    EXPECT_EQ(PutUrl("http://y"), ERR_SHARING_VIOLATION) << share;
  }
  EXPECT_EQ(UrlFile(), "[InternetShortcut]\r\nURL=http://x\r\n");
  const OpenResult shared = files_.Open("Q:\\Gra.URL", FileAccess::Read,
                                        SHARE_READ | SHARE_WRITE | SHARE_DELETE, FileCreation::OpenExisting);
  ASSERT_EQ(shared.error, ERR_NONE);
  EXPECT_EQ(PutUrl("http://y"), ERR_NONE);
  EXPECT_EQ(UrlFile(), "[InternetShortcut]\r\nURL=http://y\r\n");
}

TEST_F(HostProfileWriterTest, ReplacesTheFirstMatchingValueInPlace) {
  Write("; top\n[Setup]\n  Key = old ;x\r\nOther=1\n\n[setup]\r\nKey=second\r\n[B]\nKey=b");
  EXPECT_EQ(Edited("SETUP", "KEY", "new value"),
            "; top\n[Setup]\nKey=new value\r\nOther=1\n\n[setup]\r\nKey=second\r\n[B]\nKey=b");
  // A last line without a line end gets one with its new value; a line without "=" gets one.
  EXPECT_EQ(Edited("b", "key", "c"),
            "; top\n[Setup]\nKey=new value\r\nOther=1\n\n[setup]\r\nKey=second\r\n[B]\nKey=c\r\n");
  Write("[S]\r\n Flag \r\n");
  EXPECT_EQ(Edited("S", "flag", "on"), "[S]\r\nFlag=on\r\n");
  EXPECT_EQ(String("S", "Flag"), "on");
}

TEST_F(HostProfileWriterTest, AddsAKeyAfterTheLastEntryOfItsSection) {
  Write("[A]\r\nX=1\r\n; about B\r\n\r\n[B]\r\nY=2\r\n");
  EXPECT_EQ(Edited("A", "New", "v"), "[A]\r\nX=1\r\nNew=v\r\n; about B\r\n\r\n[B]\r\nY=2\r\n");
  Write("[Empty]\n[B]\nY=2");
  ASSERT_EQ(Put("Empty", "K", "1"), ERR_NONE);
  EXPECT_EQ(Edited("B", "Z", "3"), "[Empty]\nK=1\r\n[B]\nY=2\r\nZ=3\r\n");
  EXPECT_EQ(String("B", "Y"), "2");
  EXPECT_EQ(String("B", "Z"), "3");
}

TEST_F(HostProfileWriterTest, AppendsAMissingSectionAtTheEnd) {
  Write("Loose=1\r\n[A]\r\nX=1");
  EXPECT_EQ(Edited("Loose", "K", "v"), "Loose=1\r\n[A]\r\nX=1\r\n\r\n[Loose]\r\nK=v\r\n");
  Write("[A]\r\n\r\n");
  // Bytes above 127, "=", ";" and quotes as given.
  EXPECT_EQ(Edited("B", "K", "\xB9 ;=\"q\""), "[A]\r\n\r\n[B]\r\nK=\xB9 ;=\"q\"\r\n");
}

TEST_F(HostProfileWriterTest, RemovesKeysAndSectionsSoTheReaderFindsNeither) {
  Write("[A]\r\nK=1\r\nL=2\r\nk=3\r\n[B]\r\nK=4\r\n[a]\r\nK=5\r\n");
  EXPECT_EQ(Edited("A", "K", nullptr), "[A]\r\nL=2\r\n[B]\r\nK=4\r\n[a]\r\nK=5\r\n");
  EXPECT_EQ(String("A", "K"), "none");
  EXPECT_EQ(Edited("A", nullptr, nullptr), "[B]\r\nK=4\r\n");
  EXPECT_EQ(String("A", "L"), "none");

  // Removing what is not there succeeds and leaves the file, or its absence, alone.
  ASSERT_EQ(Put("B", "Missing", nullptr), ERR_NONE);
  EXPECT_EQ(Edited("Missing", nullptr, nullptr), "[B]\r\nK=4\r\n");
  file_ = dir_.File("absent.ini");
  ASSERT_EQ(Put("B", nullptr, nullptr), ERR_NONE);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(HostProfileWriterTest, RefusesWhatTheReaderCouldNotFindAgain) {
  Write("[S]\r\nK=1\r\n");
  EXPECT_EQ(Put(nullptr, "K", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Put("", "K", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Put("S", "", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Put("S\r\n[T]", "K", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Put("S", "K\n", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Put("S", "K", "2\r\n[Other]\r\nX=1"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(profile_.WriteString(nullptr, "S", "K", "2"), ERR_INVALID_PARAMETER);
  EXPECT_EQ(Text(), "[S]\r\nK=1\r\n");

  file_ = dir_.Path().string();  // a folder is no file to write
  EXPECT_EQ(Put("S", "K", "2"), ERR_ACCESS_DENIED);
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

TEST_F(HostProfileWriterTest, ReplacesTheFileFoundRegardlessOfCaseKeepingItsMode) {
  Write("[S]\r\nK=1\r\n");
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  file_ = dir_.File("SETUP.INI");
  ASSERT_EQ(Put("S", "K", "2"), ERR_NONE);
  file_ = dir_.File("setup.ini");
  EXPECT_EQ(Text(), "[S]\r\nK=2\r\n");
  // Nothing else in the folder: no temporary file stays behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 1);
  struct stat info {};
  ASSERT_EQ(stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

}  // namespace
