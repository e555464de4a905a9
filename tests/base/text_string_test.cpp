#include "base/text_string.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace vtsetup {
namespace {

TEST(TextStringEmpty, SharesOneStaticTextWithoutABuffer) {
  const TextString never_filled;
  const TextString from_empty_text("");
  const TextString copied(never_filled);
  TextString released("setup");
  released.Release();
  for (const TextString* s :
       {&never_filled, &from_empty_text, &copied, static_cast<const TextString*>(&released)}) {
    EXPECT_EQ(s->Length(), 0u);
    EXPECT_EQ(s->Capacity(), 0u);
    EXPECT_STREQ(s->Data(), "");
    EXPECT_EQ(s->Data(), never_filled.Data());
  }
}

TEST(TextStringBuffer, GrowsToExactlyTheNeededSize) {
  TextString assigned;
  assigned.Assign("abcde");
  EXPECT_EQ(assigned.Capacity(), 5u);
  TextString appended;
  appended.Append("ab");
  EXPECT_EQ(appended.Capacity(), 2u);
  appended.Append(TextString("cde"));
  EXPECT_EQ(appended.Capacity(), 5u);
  appended.Append('f');
  EXPECT_EQ(appended.Capacity(), 6u);
  EXPECT_EQ(appended, "abcdef");
}

TEST(TextStringAssign, IgnoresNullAndOwnTextAndReusesABufferThatIsLargeEnough) {
  TextString s("abcdefgh");
  const char* buffer = s.Data();
  s.Assign(static_cast<const char*>(nullptr));
  s.Assign(s.Data());
  EXPECT_EQ(s, "abcdefgh");
  EXPECT_EQ(s.Data(), buffer);
  s.Assign("xyz");
  EXPECT_EQ(s, "xyz");
  EXPECT_EQ(s.Data(), buffer);
  s.Assign("12345678");
  EXPECT_EQ(s, "12345678");
  EXPECT_EQ(s.Data(), buffer);
  s.Assign("");
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_STREQ(s.Data(), "");
  EXPECT_EQ(s.Data(), buffer);
  EXPECT_EQ(s.Capacity(), 8u);
  s.Assign("123456789");
  EXPECT_EQ(s, "123456789");
  EXPECT_EQ(s.Capacity(), 9u);
}

TEST(TextStringAssign, TakesAPieceOfItsOwnText) {
  TextString s("C:\\Games\\setup.exe");
  s.Assign(s.Data() + 2);
  EXPECT_EQ(s, "\\Games\\setup.exe");
  s.Assign(s.Data() + s.Length());
  EXPECT_EQ(s.Length(), 0u);
}

TEST(TextStringAppend, AddsAtTheEndEvenFromItself) {
  TextString s("ab");
  s.Append("cd");
  s.Append(TextString("ef"));
  s.Append('g');
  EXPECT_EQ(s, "abcdefg");
  s.Append(s);
  EXPECT_EQ(s, "abcdefgabcdefg");
  s.Append(s.Data() + 12);
  EXPECT_EQ(s, "abcdefgabcdefgfg");
}

TEST(TextStringAppend, AppendNumberWritesSignedDecimal) {
  TextString s("n=");
  s.AppendNumber(0);
  s.Append(',');
  s.AppendNumber(-42);
  s.Append(',');
  s.AppendNumber(INT32_MAX);
  s.Append(',');
  s.AppendNumber(INT32_MIN);
  EXPECT_EQ(s, "n=0,-42,2147483647,-2147483648");
}

TEST(TextStringFormat, FitsArgumentsOfAnyLength) {
  TextString s("old text");
  s.Format("%s-%d-%u", "disk", -7, 3u);
  EXPECT_EQ(s, "disk--7-3");
  std::string long_argument;
  for (int i = 0; i < 5000; ++i) {
    long_argument.push_back(static_cast<char>('a' + i % 26));
  }
  s.Format("[%s]", long_argument.c_str());
  EXPECT_EQ(std::string(s.Data()), "[" + long_argument + "]");
}

TEST(TextStringTrailing, EnsureAndRemoveTrailingCharacter) {
  TextString s("dir");
  s.EnsureTrailing('\\');
  s.EnsureTrailing('\\');
  EXPECT_EQ(s, "dir\\");
  TextString empty;
  empty.EnsureTrailing('x');
  EXPECT_EQ(empty, "x");
  s.RemoveTrailing('\\');
  EXPECT_EQ(s, "dir");
  s.RemoveTrailing('\\');
  EXPECT_EQ(s, "dir");
  TextString nothing;
  nothing.RemoveTrailing('x');
  EXPECT_EQ(nothing.Length(), 0u);
  EXPECT_EQ(nothing.Capacity(), 0u);
  EXPECT_EQ(nothing.Data(), TextString().Data());
}

TEST(TextStringTrailing, EnsureTrailingBackslashAcceptsEitherSeparator) {
  for (const auto& [before, after] : {std::pair<const char*, const char*>{"C:\\Games", "C:\\Games\\"},
                                      {"C:\\Games\\", "C:\\Games\\"},
                                      {"/tmp/", "/tmp/"},
                                      {"", "\\"}}) {
    TextString s(before);
    s.EnsureTrailingBackslash();
    EXPECT_EQ(s, after) << "from \"" << before << "\"";
  }
}

TEST(TextStringPieces, AtLeftAndMidStopAtTheEnd) {
  const TextString s("setup.exe");
  EXPECT_EQ(s.At(0), 's');
  EXPECT_EQ(s.At(9), '\0');
  EXPECT_EQ(s.At(1000), '\0');
  EXPECT_EQ(TextString().At(0), '\0');
  EXPECT_EQ(s.Left(5), "setup");
  EXPECT_EQ(s.Left(100), "setup.exe");
  EXPECT_EQ(s.Mid(6), "exe");
  EXPECT_TRUE(s.Mid(9).IsEmpty());
  EXPECT_TRUE(s.Mid(50).IsEmpty());
  EXPECT_EQ(s.Mid(2, 3), "tup");
  EXPECT_EQ(s.Mid(6, 100), "exe");
  EXPECT_TRUE(s.Mid(9, 1).IsEmpty());
  EXPECT_TRUE(s.Mid(20, 2).IsEmpty());
}

TEST(TextStringSearch, FindAndFindLast) {
  const TextString s("Setup setup\\x");
  EXPECT_EQ(s.Find("setup"), 6);
  EXPECT_EQ(s.Find("Setup"), 0);
  EXPECT_EQ(s.Find("Setup setup\\xy"), -1);
  EXPECT_EQ(s.Find(""), 0);
  EXPECT_EQ(TextString().Find("a"), -1);
  EXPECT_EQ(s.FindLast('p'), 10);
  EXPECT_EQ(s.FindLast('S'), 0);
  EXPECT_EQ(s.FindLast('z'), -1);
  EXPECT_EQ(TextString().FindLast('a'), -1);
}

TEST(TextStringCase, ChangesOnlyAsciiLetters) {
  // The characters next to the letter ranges and bytes above 127 must survive both directions.
  TextString s("aZ09@[`{\xA5\xE9 m");
  s.ToUpper();
  EXPECT_EQ(s, "AZ09@[`{\xA5\xE9 M");
  s.ToLower();
  EXPECT_EQ(s, "az09@[`{\xA5\xE9 m");
}

struct SplitCase {
  const char *path, *drive, *directory, *name, *extension;
};

class TextStringSplitPath : public ::testing::TestWithParam<SplitCase> {};

TEST_P(TextStringSplitPath, CutsLikeTheWindowsLibrary) {
  const SplitCase& c = GetParam();
  TextString drive, directory, name, extension;
  TextString(c.path).SplitPath(&drive, &directory, &name, &extension);
  EXPECT_EQ(drive, c.drive);
  EXPECT_EQ(directory, c.directory);
  EXPECT_EQ(name, c.name);
  EXPECT_EQ(extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TextStringSplitPath,
    ::testing::Values(SplitCase{"C:\\Games\\Title\\setup.exe", "C:", "\\Games\\Title\\", "setup", ".exe"},
                      SplitCase{"C:/Games/setup.exe", "C:", "/Games/", "setup", ".exe"},
                      SplitCase{"mixed\\dir/name.ext", "", "mixed\\dir/", "name", ".ext"},
                      SplitCase{"C:\\a.b\\file", "C:", "\\a.b\\", "file", ""},
                      SplitCase{"setup.exe", "", "", "setup", ".exe"},
                      SplitCase{"C:setup", "C:", "", "setup", ""},
                      SplitCase{"archive.tar.gz", "", "", "archive.tar", ".gz"},
                      SplitCase{"file.", "", "", "file", "."},
                      SplitCase{"C:\\Games\\", "C:", "\\Games\\", "", ""}, SplitCase{"", "", "", "", ""}));

TEST(TextStringSplitPathOutputs, AppendsToGivenOutputsAndSkipsNullOnes) {
  const TextString path("C:\\Games\\setup.exe");
  TextString directory("D:");
  TextString extension("*");
  path.SplitPath(nullptr, &directory, nullptr, &extension);
  EXPECT_EQ(directory, "D:\\Games\\");
  EXPECT_EQ(extension, "*.exe");
}

TEST(TextStringSplitPathOutputs, ItselfAsDriveAndDirectoryKeepsDriveAndFolder) {
  TextString as_drive("C:\\Games\\setup.exe");
  as_drive.SplitPath(&as_drive, nullptr, nullptr, nullptr);
  EXPECT_EQ(as_drive, "C:");
  TextString as_both("C:\\Games\\setup.exe");
  as_both.SplitPath(&as_both, &as_both, nullptr, nullptr);
  EXPECT_EQ(as_both, "C:\\Games\\");
  TextString no_drive("\\Games\\setup.exe");
  TextString name;
  no_drive.SplitPath(&no_drive, &no_drive, &name, nullptr);
  EXPECT_EQ(no_drive, "\\Games\\");
  EXPECT_EQ(name, "setup");
}

TEST(TextStringCompareNoCase, FoldsLettersToLowerCaseAndComparesBytesUnsigned) {
  EXPECT_EQ(CompareNoCase("SETUP.exe", "setup.EXE"), 0);
  EXPECT_EQ(CompareNoCase("", ""), 0);
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(CompareNoCase("ABD", "abc"), 0);
  EXPECT_LT(CompareNoCase("ab", "AB1"), 0);
  // Folding to lower case puts '[' and '_' before the letters; folding to upper would put them after.
  EXPECT_LT(CompareNoCase("[", "a"), 0);
  EXPECT_LT(CompareNoCase("_", "A"), 0);
  EXPECT_GT(CompareNoCase("\xA5", "z"), 0);
}

}  // namespace
}  // namespace vtsetup
