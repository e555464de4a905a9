#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/log_layout.h"
#include "tests/uninstaller/seen_records.h"
#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {
namespace {

using testing::LogHeader;
using testing::LogLayout;
using testing::PutWord;
using Bytes = std::vector<unsigned char>;
using Type = LogRecordType;

// "Vantor Application" has 18 characters: the first record starts at 28 + 4 + 19 = 51.
constexpr const char* kProgram = "Vantor Application";

InstallLogContents Parse(const Bytes& bytes) {
  return ParseInstallLog(bytes);
}

// Every record type once: a directory (51..83), a relative file (83..128), a group (128..165), a
// shortcut (165..211), an absolute file (211..254) and a key (254..318).
LogLayout EveryType() {
  LogLayout log = LogHeader(kProgram);
  log.Directory(".").RelativeFile("DATA\\a.exe").Group("Vantor").Shortcut("Play", "Vantor");
  log.AbsoluteFile("C:\\X.LNK").Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\V");
  return log;
}

const std::vector<SeenRecord> kEveryType = {
    {Type::Directory, false, ".", "", 51},    {Type::File, false, "DATA\\a.exe", "", 83},
    {Type::Group, true, "Vantor", "", 128},   {Type::Shortcut, true, "Vantor", "Play", 165},
    {Type::File, true, "C:\\X.LNK", "", 211}, {Type::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE\\V", "", 254},
};

struct RecordCase {
  const char* name;
  std::function<void(LogLayout&)> add;
  SeenRecord expected;
};

class OneRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(OneRecord, IsReadWithItsTypeFlagAndTexts) {
  LogLayout log = LogHeader(kProgram);
  GetParam().add(log);
  const InstallLogContents closed = Parse(log.Closed());
  EXPECT_EQ(closed.state, LogState::Closed) << closed.problem;
  EXPECT_EQ(closed.program_name, kProgram);
  EXPECT_EQ(Seen(closed), std::vector<SeenRecord>{GetParam().expected});
  const InstallLogContents unclosed = Parse(log.bytes);
  EXPECT_EQ(unclosed.state, LogState::Unclosed) << unclosed.problem;
  EXPECT_EQ(Seen(unclosed), std::vector<SeenRecord>{GetParam().expected});
}

const std::string k242(242, 'd');
const std::string k238(238, 'k');
const std::string k137(137, 'g');
const std::string k100(100, 's');

INSTANTIATE_TEST_SUITE_P(
    EveryTypeAndFlag, OneRecord,
    ::testing::Values(
        RecordCase{"RelativeDirectory",
                   [](LogLayout& log) { log.Directory("DATA\\"); },
                   {Type::Directory, false, "DATA\\", "", 51}},
        RecordCase{"RelativeFile",
                   [](LogLayout& log) { log.RelativeFile("a.exe"); },
                   {Type::File, false, "a.exe", "", 51}},
        RecordCase{"AbsoluteFile",
                   [](LogLayout& log) { log.AbsoluteFile("C:\\X.LNK"); },
                   {Type::File, true, "C:\\X.LNK", "", 51}},
        RecordCase{"Key",
                   [](LogLayout& log) { log.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\V"); },
                   {Type::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE\\V", "", 51}},
        RecordCase{
            "Group", [](LogLayout& log) { log.Group("Vantor"); }, {Type::Group, true, "Vantor", "", 51}},
        RecordCase{"Shortcut",
                   [](LogLayout& log) { log.Shortcut("Play", "Vantor"); },
                   {Type::Shortcut, true, "Vantor", "Play", 51}},
        // Bodies of 255 bytes, the most that the length byte tells.
        RecordCase{"LongestDirectory",
                   [](LogLayout& log) { log.Directory(k242); },
                   {Type::Directory, false, k242, "", 51}},
        RecordCase{"LongestKey", [](LogLayout& log) { log.Key(k238); }, {Type::Key, true, k238, "", 51}},
        RecordCase{"LongestShortcut",
                   [](LogLayout& log) { log.Shortcut(k100, k137); },
                   {Type::Shortcut, true, k137, k100, 51}},
        // Code page 1250 letters are bytes like any other.
        RecordCase{"TextInCodePage",
                   [](LogLayout& log) { log.Group("Gry \xB9\x9C"); },
                   {Type::Group, true, "Gry \xB9\x9C", "", 51}}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(ParseInstallLog, ClosedAndUnclosedLogsGiveEveryRecordInFileOrder) {
  const LogLayout log = EveryType();
  const InstallLogContents closed = Parse(log.Closed());
  EXPECT_EQ(closed.state, LogState::Closed) << closed.problem;
  EXPECT_EQ(closed.program_name, kProgram);
  EXPECT_EQ(Seen(closed), kEveryType);

  const InstallLogContents unclosed = Parse(log.bytes);
  EXPECT_EQ(unclosed.state, LogState::Unclosed) << unclosed.problem;
  EXPECT_EQ(unclosed.program_name, kProgram);
  EXPECT_EQ(Seen(unclosed), kEveryType);
}

TEST(ParseInstallLog, LogWithoutRecordsIsClosedByItsSizeAlone) {
  const InstallLogContents closed = Parse(LogHeader(kProgram, 51).bytes);
  EXPECT_EQ(closed.state, LogState::Closed) << closed.problem;
  EXPECT_TRUE(closed.records.empty());
  const InstallLogContents unclosed = Parse(LogHeader(kProgram).bytes);
  EXPECT_EQ(unclosed.state, LogState::Unclosed) << unclosed.problem;
  EXPECT_TRUE(unclosed.records.empty());
}

TEST(ParseInstallLog, EmptyProgramNamePutsTheFirstRecordAt33) {
  LogLayout log = LogHeader("");
  log.Directory(".");
  const InstallLogContents contents = Parse(log.Closed());
  EXPECT_EQ(contents.state, LogState::Closed) << contents.problem;
  EXPECT_EQ(contents.program_name, "");
  EXPECT_EQ(Seen(contents), (std::vector<SeenRecord>{{Type::Directory, false, ".", "", 33}}));
}

// The record types in the order of EveryType, each for a log's last record.
const std::vector<std::function<void(LogLayout&)>> kLastRecords = {
    [](LogLayout& log) { log.Directory("DATA\\"); },
    [](LogLayout& log) { log.RelativeFile("dinstall.log"); },
    [](LogLayout& log) { log.Group("Vantor"); },
    [](LogLayout& log) { log.Shortcut("Play", "Vantor"); },
    [](LogLayout& log) { log.AbsoluteFile("C:\\X.LNK"); },
    [](LogLayout& log) { log.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\V"); },
};

// A full disk stops the writer anywhere in a record: in its header, its body header or a text. Closing
// then may have stored the size, and may have written the 0 of the chain's end into the next-record
// field as far as that lies in the file; each combination can be left behind.
TEST(ParseInstallLogPartial, EveryCutOfEveryRecordTypeKeepsTheRecordsBefore) {
  for (std::size_t type = 0; type < kLastRecords.size(); ++type) {
    LogLayout log = LogHeader(kProgram);
    log.Directory(".").RelativeFile("DATA\\a.exe");
    kLastRecords[type](log);
    const std::size_t length = log.bytes.size() - 128;
    for (std::size_t cut = 1; cut < length; ++cut) {
      for (const bool zeroed : {false, true}) {
        for (const bool size_stored : {false, true}) {
          Bytes bytes(log.bytes.begin(), log.bytes.begin() + static_cast<long>(128 + cut));
          for (std::size_t at = 128 + 14; zeroed && at < 128 + 18 && at < bytes.size(); ++at) {
            bytes[at] = 0;
          }
          if (size_stored) {
            PutWord(bytes, 16, static_cast<std::uint32_t>(bytes.size()));
          }
          const InstallLogContents contents = Parse(bytes);
          SCOPED_TRACE("type " + std::to_string(type) + ", cut after " + std::to_string(cut) + " bytes" +
                       (zeroed ? ", zeroed" : "") + (size_stored ? ", size stored" : ""));
          EXPECT_EQ(contents.state, LogState::PartialRecord) << contents.problem;
          EXPECT_EQ(Seen(contents), FirstOf(kEveryType, 2));
          EXPECT_NE(contents.problem.find("128"), std::string::npos) << contents.problem;
        }
      }
    }
  }
}

// Once there is room again (the setup deletes its temporary files before it logs the log itself), the
// writer goes on right behind the last byte of the record that the full disk cut short.
TEST(ParseInstallLogPartial, RecordsWrittenBehindACutRecordAreRead) {
  for (std::size_t type = 0; type < kLastRecords.size(); ++type) {
    LogLayout log = LogHeader(kProgram);
    log.Directory(".");
    kLastRecords[type](log);
    const std::size_t length = log.bytes.size() - 83;
    for (std::size_t cut = 1; cut < length; ++cut) {
      LogLayout resumed;
      resumed.bytes.assign(log.bytes.begin(), log.bytes.begin() + static_cast<long>(83 + cut));
      resumed.RelativeFile("dinstall.log");
      const std::vector<SeenRecord> expected = {
          kEveryType[0], {Type::File, false, "dinstall.log", "", static_cast<std::uint32_t>(83 + cut)}};
      SCOPED_TRACE("type " + std::to_string(type) + ", cut after " + std::to_string(cut) + " bytes");
      for (const Bytes& bytes : {resumed.bytes, resumed.Closed()}) {
        const InstallLogContents contents = Parse(bytes);
        EXPECT_EQ(contents.state, LogState::PartialRecord) << contents.problem;
        EXPECT_EQ(Seen(contents), expected);
      }
    }
  }
}

TEST(ParseInstallLogPartial, SeveralCutRecordsEachGoOnBehindTheirLastByte) {
  const LogLayout whole = EveryType();
  LogLayout log;
  // The relative file cut after 20 bytes, the group whole, the shortcut cut after 7 bytes and the key
  // whole, ending the chain.
  log.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + 83 + 20);
  log.Group("Vantor");
  log.bytes.insert(log.bytes.end(), whole.bytes.begin() + 165, whole.bytes.begin() + 165 + 7);
  log.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\V");
  const InstallLogContents contents = Parse(log.Closed());
  EXPECT_EQ(contents.state, LogState::PartialRecord) << contents.problem;
  EXPECT_EQ(Seen(contents),
            (std::vector<SeenRecord>{kEveryType[0],
                                     {Type::Group, true, "Vantor", "", 103},
                                     {Type::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE\\V", "", 147}}));
}

// Faults after a good header and program name: each row one, with how many records lie intact before
// it and an offset that the problem names.
struct DamageCase {
  const char* name;
  std::function<void(Bytes&)> damage;
  std::size_t intact;
  std::uint32_t named_offset;
};

std::function<void(Bytes&)> Word(std::size_t at, std::uint32_t value) {
  return [=](Bytes& bytes) { PutWord(bytes, at, value); };
}
std::function<void(Bytes&)> Byte(std::size_t at, unsigned char value) {
  return [=](Bytes& bytes) { bytes[at] = value; };
}
std::function<void(Bytes&)> Both(std::function<void(Bytes&)> first, std::function<void(Bytes&)> second) {
  return [=](Bytes& bytes) {
    first(bytes);
    second(bytes);
  };
}
// A record in place of the relative file, made as no writer of ours makes it; the log stays closed.
std::function<void(Bytes&)> SecondRecord(std::function<void(LogLayout&)> add) {
  return [=](Bytes& bytes) {
    LogLayout log = LogHeader(kProgram);
    log.Directory(".");
    add(log);
    bytes = log.Closed();
  };
}

class DamagedLog : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedLog, KeepsTheRecordsBeforeTheFault) {
  Bytes bytes = EveryType().Closed();
  GetParam().damage(bytes);
  const InstallLogContents contents = Parse(bytes);
  EXPECT_EQ(contents.state, LogState::Damaged) << contents.problem;
  EXPECT_EQ(contents.program_name, kProgram);
  EXPECT_EQ(Seen(contents), FirstOf(kEveryType, GetParam().intact));
  EXPECT_NE(contents.problem.find(std::to_string(GetParam().named_offset)), std::string::npos)
      << contents.problem;
}

INSTANTIATE_TEST_SUITE_P(
    OneFaultEach, DamagedLog,
    ::testing::Values(
        DamageCase{"RecordHeaderSize", Word(83, 19), 1, 83}, DamageCase{"Marker", Word(87, 16), 1, 83},
        DamageCase{"TypeBelowTheRange", Byte(91, 1), 1, 83}, DamageCase{"TypeAboveTheRange", Byte(91, 7), 1, 83},
        // A file record calling itself a directory: its body header has the other layout.
        DamageCase{"TypeOfAnotherLayout", Byte(91, 2), 1, 83},
        DamageCase{"BodyLengthNotTheNextRecordsDistance", Byte(92, 28), 1, 83},
        // Length byte and chain agree, the text's length in the body header does not.
        DamageCase{"BodyLengthNotTheTextsLength", Both(Byte(92, 28), Word(97, 129)), 1, 83},
        DamageCase{"BodyTooShortForAnyText", Both(Byte(60, 13), Word(65, 82)), 0, 51},
        DamageCase{"AbsoluteDirectory", Word(61, 0x100), 0, 51},
        DamageCase{"FileWithBothFlags", Word(93, 0x300), 1, 83},
        DamageCase{"FileWithoutFlags", Word(93, 0), 1, 83},
        DamageCase{"RelativeGroup", Word(138, 0x200), 2, 128},
        DamageCase{"RelativeShortcut", Word(175, 0x200), 3, 165},
        DamageCase{"RelativeKey", Word(264, 0x200), 5, 254},
        DamageCase{"FlagsWithAnotherBit", Word(221, 0x101), 4, 211},
        DamageCase{"ChainBackwards", Word(142, 51), 2, 128}, DamageCase{"ChainToItself", Word(142, 128), 2, 128},
        DamageCase{"ChainOneByteTooFar", Word(142, 166), 2, 128},
        DamageCase{"ChainPastTheEnd", Word(142, 100000), 2, 128},
        DamageCase{"ChainEndedBeforeTheLastRecord", Word(142, 0), 3, 165},
        DamageCase{"BodyHeaderSize", Word(146, 16), 2, 128},
        DamageCase{"ShortcutTextCount", Word(187, 1), 3, 165},
        DamageCase{"ReservedWord", Word(237, 1), 4, 211},
        DamageCase{"TextLength", Word(241, 10), 4, 211},
        DamageCase{"ShortcutLengthsNotTheBodyLength", Word(191, 8), 3, 165},
        DamageCase{"ShortcutLengthsSwapped", Both(Word(191, 5), Word(195, 7)), 3, 165},
        DamageCase{"ZeroInsideAText", Byte(119, 0), 1, 83},
        DamageCase{"TextWithoutItsZero", Byte(127, 'x'), 1, 83},
        DamageCase{"EmptyDirectory", SecondRecord([](LogLayout& log) { log.Directory(""); }), 1, 83},
        DamageCase{"EmptyFile", SecondRecord([](LogLayout& log) { log.RelativeFile(""); }), 1, 83},
        DamageCase{"EmptyShortcutName", SecondRecord([](LogLayout& log) { log.Shortcut("", "Vantor"); }), 1, 83},
        DamageCase{"EmptyGroupOfAShortcut", SecondRecord([](LogLayout& log) { log.Shortcut("Play", ""); }), 1,
                   83},
        DamageCase{"SizeOneMoreThanTheFile", Word(16, 319), 6, 16},
        DamageCase{"SizeOneLessThanTheFile", Word(16, 317), 6, 16},
        DamageCase{"ByteAfterTheLastRecord",
                   [](Bytes& bytes) {
                     bytes.push_back(0);
                     PutWord(bytes, 16, 319);
                   },
                   6, 318},
        DamageCase{"ChainEndedWithoutTheSize", Word(16, 0), 6, 254},
        DamageCase{"SizeStoredWithoutTheChainsEnd", Word(268, 318), 6, 254},
        DamageCase{"UnclosedWithAStrayByteBehind",
                   [](Bytes& bytes) {
                     bytes = EveryType().bytes;
                     bytes.push_back(0x55);
                   },
                   6, 318},
        // The shortcut cut short after 20 bytes, and behind it nothing that a writer of ours writes.
        DamageCase{"CutRecordFollowedByNoRecord",
                   [](Bytes& bytes) {
                     bytes = EveryType().bytes;
                     bytes.resize(165 + 20);
                     bytes.insert(bytes.end(), 40, 0x41);
                   },
                   3, 165}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

// Not a log at all: each row one fault in the header or the program name.
struct UnreadableCase {
  const char* name;
  std::function<void(Bytes&)> damage;
};

class UnreadableLog : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableLog, HasNoRecordsAndNoName) {
  Bytes bytes = EveryType().Closed();
  GetParam().damage(bytes);
  const InstallLogContents contents = Parse(bytes);
  EXPECT_EQ(contents.state, LogState::Unreadable);
  EXPECT_TRUE(contents.records.empty());
  EXPECT_EQ(contents.program_name, "");
  EXPECT_FALSE(contents.problem.empty());
}

std::function<void(Bytes&)> Keep(std::size_t count) {
  return [=](Bytes& bytes) { bytes.resize(count); };
}

INSTANTIATE_TEST_SUITE_P(
    OneFaultEach, UnreadableLog,
    ::testing::Values(
        UnreadableCase{"Empty", Keep(0)}, UnreadableCase{"HeaderOnly", Keep(28)},
        UnreadableCase{"HeaderAndNameLengthOnly", Keep(32)}, UnreadableCase{"NameCutShort", Keep(50)},
        UnreadableCase{"Magic", Byte(3, 'F')}, UnreadableCase{"MagicInLowerCase", Byte(0, 'i')},
        UnreadableCase{"HeaderSize", Word(4, 29)}, UnreadableCase{"Ten", Word(8, 11)},
        UnreadableCase{"WordAt12", Word(12, 1)}, UnreadableCase{"WordAt20", Word(20, 1)},
        UnreadableCase{"NameLengthZero", Word(28, 0)},
        UnreadableCase{"NameLengthPastTheEnd", Word(28, 318 - 31)},
        UnreadableCase{"NameLengthHuge", Word(28, 0xFFFFFFFF)},
        UnreadableCase{"NameWithoutItsZero", Byte(50, 'n')}, UnreadableCase{"ZeroInsideTheName", Byte(40, 0)},
        UnreadableCase{"FirstRecordOneEarly", Word(24, 50)},
        UnreadableCase{"FirstRecordOneLate", Word(24, 52)},
        UnreadableCase{"LargerThanAnyLog", [](Bytes& bytes) { bytes.resize(kMaxInstallLogBytes + 1, 0); }}),
    [](const ::testing::TestParamInfo<UnreadableCase>& info) { return std::string(info.param.name); });

TEST(ParseInstallLog, LogOfTheLargestSizeIsStillRead) {
  Bytes bytes = EveryType().bytes;
  bytes.resize(kMaxInstallLogBytes, 0);
  const InstallLogContents contents = Parse(bytes);
  EXPECT_EQ(contents.state, LogState::Damaged) << contents.problem;
  EXPECT_EQ(Seen(contents), kEveryType);
}

}  // namespace
}  // namespace vtsetup::uninstaller
