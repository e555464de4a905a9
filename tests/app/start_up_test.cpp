#include "app/start_up.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/ui/answers_driver.h"
#include "platform/host/ui/answers_file.h"
#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "setupdb/setup_file.h"
#include "tests/support/bitmap_layout.h"
#include "tests/support/current_folder.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using platform::host::MessageBoxView;

constexpr std::uint32_t kMegabyte = 1048576;
constexpr std::uint32_t kDriveFree = 50 * kMegabyte;
constexpr std::size_t kIndex4096 = 12;  // the size-table entry of 4096-byte clusters

// C: is the one drive that can take a game, with a fixed room; the medium lies on a network drive,
// which is never offered, so that its files take none of that room.
std::string MachineIni(std::int32_t screen_width, std::int32_t screen_height) {
  return "[Drive C]\nFolder = drive_c\nType = fixed\nFreeBytes = " + std::to_string(kDriveFree) +
         "\nClusterSize = 4096\n"
         "[Drive M]\nFolder = medium\nType = remote\n"
         "[System]\nTempFolder = M:\\Temp\nScreenWidth = " +
         std::to_string(screen_width) + "\nScreenHeight = " + std::to_string(screen_height) + "\n";
}

// A 24-bit bitmap file of the given size, laid out by hand; a negative height stores it top-down.
std::string Picture(std::int32_t width, std::int32_t height) {
  // Sizes taken through unsigned 16 bits, which every test picture fits: a wider type makes GCC 12 at
  // -O3 warn of a fill it imagines past any object's size.
  const std::size_t row = (std::size_t{static_cast<std::uint16_t>(width)} * 3 + 3) / 4 * 4;
  const std::size_t rows = static_cast<std::uint16_t>(std::abs(height));
  testing::Bytes rest = testing::Info({.width = width, .height = height, .bits = 24});
  rest.insert(rest.end(), row * rows, 0);
  const testing::Bytes file = testing::WithFileHeader(rest, 54);
  return std::string(file.begin(), file.end());
}

PackInfo Pack(std::uint32_t plain_bytes, std::uint32_t bytes_at_4096) {
  PackInfo pack;
  pack.Typename = "Typ";
  pack.PackSizes.fill(bytes_at_4096);
  pack.PackSizes[0] = plain_bytes;
  return pack;
}

// Sees each box as the user does, and which window owned it, before the answers text answers it.
class OwnerWitness final : public platform::host::UiDriver {
 public:
  OwnerWitness(std::unique_ptr<platform::host::UiDriver> answers, const Messages*& messages)
      : answers_(std::move(answers)), messages_(messages) {}

  struct Box {
    MessageBoxView view;
    platform::Window owner;
  };
  std::vector<Box> boxes;

  std::optional<std::vector<platform::host::UserAction>> PageActions(const platform::host::DialogState& page,
                                                                     bool again) override {
    return answers_->PageActions(page, again);
  }
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override {
    boxes.push_back({box, messages_ != nullptr ? messages_->Owner() : nullptr});
    return answers_->MessageAnswer(box);
  }
  std::optional<std::string> BrowseAnswer(const std::string& title) override {
    return answers_->BrowseAnswer(title);
  }

 private:
  std::unique_ptr<platform::host::UiDriver> answers_;
  const Messages*& messages_;
};

// A host machine with a transcript and a medium in M:\Setup holding the database the test describes,
// and everything the entry lends start-up.
class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() {
    info_.Company = "Vantor Software";
    info_.Product = "Orvella";
    info_.GroupName = TextString("Vantor\\Orvella");
    info_.DefDestDir = "%DefaultPrgDir%\\Orvella";
    info_.Packs = {Pack(kMegabyte, kMegabyte)};
    UseMachine(MachineIni(1024, 768));
  }

  void UseMachine(const std::string& machine_ini) {
    machine_ = std::make_unique<testing::TestMachine>(machine_ini, true);
  }

  void WriteFile(const std::string& windows_path, const std::string& bytes) {
    const std::filesystem::path host = machine_->Host(windows_path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
  }
  void WriteRegistry(const std::string& keys) {
    std::ofstream(machine_->Machine().RegistryFile(), std::ios::binary) << "REGEDIT4\r\n\r\n" << keys;
  }
  void WriteDatabase() {
    std::filesystem::create_directories(machine_->Host("M:\\Setup"));
    ASSERT_EQ(WriteSetupFile(machine_->System().Files(), info_, "M:\\Setup\\SETUP.INF"), SETUP_FILE_OK);
  }

  // What the entry lends start-up, on a user interface answered by `answers`.
  void MakeRun(const std::string& answers = "",
               std::span<const resources::StringEntry> strings = resources::StringTable()) {
    Reset();
    platform::host::AnswersRead read = platform::host::ParseAnswers(answers, "answers.txt");
    EXPECT_EQ(read.error, "");
    auto witness =
        std::make_unique<OwnerWitness>(std::make_unique<platform::host::AnswersDriver>(
                                           std::move(read.lines), machine_->Machine().Record(), errors_),
                                       witnessed_messages_);
    witness_ = witness.get();
    platform::host::HostSystem& system = machine_->System();
    ui_ = std::make_unique<platform::host::HostUserInterface>(
        machine_->Machine(), platform::host::UiResources{resources::DialogTemplates(), strings},
        std::move(witness), "");
    messages_ = std::make_unique<Messages>(*ui_);
    witnessed_messages_ = messages_.get();
    picture_ = std::make_unique<Dib>(system.Files(), system.Pictures());
    background_ = std::make_unique<BackgroundWindow>(*ui_, *picture_);
    pages_ = std::make_unique<wizard::PageFramework>(*ui_, *background_);
    progress_ = std::make_unique<wizard::ProgressDialog>(*ui_, *background_);
    run_ = std::make_unique<SetupRun>(SetupRun{system,
                                               *ui_,
                                               *messages_,
                                               *picture_,
                                               *background_,
                                               *pages_,
                                               *progress_,
                                               TextString(kSetupFolder),
                                               {},
                                               {}});
    run_->choices.source_folder = kSetupFolder;
  }

  // Start-up as the entry runs it: the setup folder current and the source folder set to it.
  bool RunPrepare() {
    std::filesystem::create_directories(machine_->Host(kSetupFolder));
    const testing::CurrentFolder in_setup_folder(machine_->Host(kSetupFolder));
    return PrepareSetup(*run_, database_, temp_folder_);
  }

  bool Prepare(const std::string& answers = "",
               std::span<const resources::StringEntry> strings = resources::StringTable()) {
    MakeRun(answers, strings);
    return RunPrepare();
  }

  // What one run lent start-up goes before the next; the user interface last, as its windows' owners
  // still refer to it.
  void Reset() {
    run_.reset();
    progress_.reset();
    pages_.reset();
    background_.reset();
    picture_.reset();
    witnessed_messages_ = nullptr;
    messages_.reset();
    ui_.reset();
    database_.reset();
    temp_folder_ = TextString();
  }

  platform::PixelRect WindowPlace() { return ui_->WindowPlace(background_->Window()); }

  // The one box shown.
  OwnerWitness::Box OnlyBox() {
    EXPECT_EQ(witness_->boxes.size(), 1u);
    return witness_->boxes.empty() ? OwnerWitness::Box{} : witness_->boxes.front();
  }

  std::vector<std::string> ProgressLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : machine_->TranscriptLines()) {
      if (line.rfind("progress dialog", 0) == 0 || line.rfind("message box", 0) == 0) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  static constexpr char kSetupFolder[] = "M:\\Setup\\";

  SetupInfo info_;
  std::unique_ptr<testing::TestMachine> machine_;
  std::ostringstream errors_;
  const Messages* witnessed_messages_ = nullptr;
  OwnerWitness* witness_ = nullptr;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  std::unique_ptr<Messages> messages_;
  std::unique_ptr<Dib> picture_;
  std::unique_ptr<BackgroundWindow> background_;
  std::unique_ptr<wizard::PageFramework> pages_;
  std::unique_ptr<wizard::ProgressDialog> progress_;
  std::unique_ptr<SetupRun> run_;
  std::unique_ptr<SetupInfo> database_;
  TextString temp_folder_;
};

// --- The background picture by the screen's resolution -----------------------------------------------

struct ResolutionCase {
  std::int32_t width;
  std::int32_t height;
  const char* names;  // which of 640, 800, 1024 and 1280 the database names, as "6 8 1 2"
  const char* chosen;
};

class BackgroundNameTest : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(BackgroundNameTest, TakesTheClassPictureOrTheNextSmallerOne) {
  const ResolutionCase& given = GetParam();
  SetupInfo info;
  const std::string names = given.names;
  if (names.find('6') != std::string::npos) {
    info.Bitmaps.Background640x480 = "b640.bmp";
  }
  if (names.find('8') != std::string::npos) {
    info.Bitmaps.Background800x600 = "b800.bmp";
  }
  if (names.find('1') != std::string::npos) {
    info.Bitmaps.Background1024x768 = "b1024.bmp";
  }
  if (names.find('2') != std::string::npos) {
    info.Bitmaps.Background1280x1024 = "b1280.bmp";
  }
  EXPECT_EQ(std::string(ChooseBackgroundName(info, given.width, given.height).Data()), given.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, BackgroundNameTest,
    ::testing::Values(ResolutionCase{1024, 768, "6 2", "b640.bmp"},       // never larger than the screen
                      ResolutionCase{1280, 960, "6 8 1 2", "b1024.bmp"},  // too low for class 3
                      ResolutionCase{1280, 1024, "6 8 1 2", "b1280.bmp"},
                      ResolutionCase{1600, 1200, "6 8", "b800.bmp"},
                      ResolutionCase{1023, 768, "6 8 1 2", "b800.bmp"},
                      ResolutionCase{800, 600, "6 8 1 2", "b800.bmp"},
                      ResolutionCase{800, 599, "6 8 1 2", "b640.bmp"}, ResolutionCase{640, 480, "8 1 2", ""},
                      ResolutionCase{1280, 1024, "", ""}));

TEST_F(StartUpTest, WindowTakesThePicturesSizeFromBelowTheBitmapFolder) {
  info_.Options.BitmapDir = "Bilder\\";
  info_.Bitmaps.Background640x480 = "b640.bmp";
  info_.Bitmaps.Background1280x1024 = "b1280.bmp";
  WriteFile("M:\\Setup\\Bilder\\b640.bmp", Picture(64, 48));
  WriteFile("M:\\Setup\\Bilder\\b1280.bmp", Picture(128, 102));
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_EQ(WindowPlace().width, 64);
  EXPECT_EQ(WindowPlace().height, 48);
  EXPECT_EQ(picture_->DibWidth(), 64);
}

TEST_F(StartUpTest, PictureStoredTopDownGivesTheWindowItsHeight) {
  info_.Bitmaps.Background640x480 = "b640.bmp";
  WriteFile("M:\\Setup\\b640.bmp", Picture(64, -48));
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_EQ(WindowPlace().height, 48);
}

TEST_F(StartUpTest, WithoutPictureNamesTheWindowCoversTheScreen) {
  UseMachine(MachineIni(800, 600));
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  const platform::PixelRect place = WindowPlace();
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 0);
  EXPECT_EQ(place.width, 800);
  EXPECT_EQ(place.height, 600);
  EXPECT_FALSE(picture_->IsLoaded());
}

TEST_F(StartUpTest, PictureInNeitherPlaceGivesAWindowOfNoSizeAndStillGoesOn) {
  info_.Bitmaps.Background1024x768 = "fehlt.bmp";
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_NE(background_->Window(), nullptr);
  EXPECT_EQ(WindowPlace().width, 0);
  EXPECT_EQ(WindowPlace().height, 0);
}

TEST_F(StartUpTest, PictureAmongTheTemporaryFilesIsTakenBeforeTheMediums) {
  info_.Options.BitmapDir = "Bilder\\";
  info_.Bitmaps.Background1024x768 = "b1024.bmp";
  const std::string in_temp = Picture(100, 75);
  info_.TempFiles = {
      FileEntry{RECORD_SIZE_FILE, "Temp\\b1024.bmp", static_cast<std::uint32_t>(in_temp.size()), 0}};
  info_.TempTotalSize = info_.TempFiles[0].FileSize;
  WriteFile("M:\\Setup\\Temp\\b1024.bmp", in_temp);
  WriteFile("M:\\Setup\\Bilder\\b1024.bmp", Picture(102, 76));
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_STREQ(temp_folder_.Data(), "M:\\Temp\\");
  EXPECT_TRUE(std::filesystem::exists(machine_->Host("M:\\Temp\\b1024.bmp")));
  EXPECT_EQ(WindowPlace().width, 100);
}

TEST_F(StartUpTest, TemporaryFileThatCannotBeCopiedDoesNotStopTheStart) {
  info_.TempFiles = {FileEntry{RECORD_SIZE_FILE, "fehlt.dll", 10, 0}};
  WriteDatabase();
  EXPECT_TRUE(Prepare());
  EXPECT_STREQ(temp_folder_.Data(), "M:\\Temp\\");
  EXPECT_TRUE(witness_->boxes.empty());
}

TEST_F(StartUpTest, WithoutTemporaryFilesTheTemporaryFolderStaysUnset) {
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_TRUE(temp_folder_.IsEmpty());
}

// --- The folders -------------------------------------------------------------------------------------------

struct FolderCase {
  const char* relative_dir;
  const char* source_folder;
};

class SourceFolderTest : public StartUpTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SourceFolderTest, IsTheSetupFolderWithTheRelativeFolderAndABackslash) {
  info_.Options.RelativeDir = GetParam().relative_dir;
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_STREQ(run_->choices.source_folder.Data(), GetParam().source_folder);
}

INSTANTIATE_TEST_SUITE_P(RelativeDirs, SourceFolderTest,
                         ::testing::Values(FolderCase{"", "M:\\Setup\\"},
                                           FolderCase{"Spiel", "M:\\Setup\\Spiel\\"},
                                           FolderCase{"Spiel\\Daten\\", "M:\\Setup\\Spiel\\Daten\\"},
                                           FolderCase{"Spiel/", "M:\\Setup\\Spiel/"}));

class DestinationSubfolderTest : public StartUpTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(DestinationSubfolderTest, LosesTheMarkerAndTheLeadingBackslashInTheDatabaseToo) {
  info_.DefDestDir = GetParam().relative_dir;
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_STREQ(run_->choices.destination_subfolder.Data(), GetParam().source_folder);
  EXPECT_STREQ(database_->DefDestDir.Data(), GetParam().source_folder);
}

INSTANTIATE_TEST_SUITE_P(
    DefDestDirs, DestinationSubfolderTest,
    ::testing::Values(FolderCase{"%DefaultPrgDir%\\Orvella", "Orvella"},
                      FolderCase{"\\Games\\Orvella", "Games\\Orvella"}, FolderCase{"%DefaultPrgDir%", ""},
                      FolderCase{"Spiele\\%DefaultPrgDir%\\Orvella", "Spiele\\Orvella"}));

TEST_F(StartUpTest, DestinationBaseIsTheProgramFilesFolderOfTheRegistry) {
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_STREQ(run_->choices.destination_base.Data(), "C:\\Program Files");
}

struct RegistryCase {
  const char* name;
  const char* keys;
  const char* destination_base;
};

class ProgramFilesTest : public StartUpTest, public ::testing::WithParamInterface<RegistryCase> {};

TEST_P(ProgramFilesTest, ComesFromTheRegistryOrTheStringTable) {
  WriteRegistry(GetParam().keys);
  WriteDatabase();
  ASSERT_TRUE(Prepare());
  EXPECT_STREQ(run_->choices.destination_base.Data(), GetParam().destination_base);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ProgramFilesTest,
    ::testing::Values(
        RegistryCase{"ValueMissing", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n",
                     "c:\\Programme"},
        RegistryCase{"ValueEmpty",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
                     "\"ProgramFilesDir\"=\"\"\r\n",
                     "c:\\Programme"},
        RegistryCase{"OnlyTheNtKey",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                     "\"ProgramFilesDir\"=\"D:\\\\Programs\"\r\n",
                     "D:\\Programs"},
        RegistryCase{"TheWindowsKeyFirst",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                     "\"ProgramFilesDir\"=\"D:\\\\Programs\"\r\n\r\n"
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
                     "\"ProgramFilesDir\"=\"E:\\\\Programme\"\r\n",
                     "E:\\Programme"},
        RegistryCase{"TheNtKeyWithoutTheValue",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n",
                     "c:\\Programme"},
        RegistryCase{"NeitherKey", "", "c:\\Programme"}),
    [](const ::testing::TestParamInfo<RegistryCase>& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, FolderWithoutTheRegistryIsTheStringTablesOrItsOwnWithoutOne) {
  WriteRegistry("");
  WriteDatabase();
  std::vector<resources::StringEntry> strings;
  for (const resources::StringEntry& entry : resources::StringTable()) {
    if (entry.id != 5002) {
      strings.push_back(entry);
    }
  }
  ASSERT_TRUE(Prepare("", strings));
  EXPECT_STREQ(run_->choices.destination_base.Data(), "c:\\Programme");

  strings.push_back({5002, "e:\\Spiele"});
  std::sort(strings.begin(), strings.end(),
            [](const resources::StringEntry& a, const resources::StringEntry& b) { return a.id < b.id; });
  ASSERT_TRUE(Prepare("", strings));
  EXPECT_STREQ(run_->choices.destination_base.Data(), "e:\\Spiele");
}

// --- The room for the smallest type ------------------------------------------------------------------------

struct RoomCase {
  const char* name;
  std::vector<PackInfo> packs;
  bool asks;
};

class RoomTest : public StartUpTest, public ::testing::WithParamInterface<RoomCase> {};

TEST_P(RoomTest, AsksOnlyWhenNoTypeHasMoreRoomThanItNeedsOnAnyDrive) {
  info_.Packs = GetParam().packs;
  WriteDatabase();
  EXPECT_TRUE(Prepare("message ok"));
  EXPECT_EQ(witness_->boxes.size(), GetParam().asks ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Packs, RoomTest,
    ::testing::Values(RoomCase{"OneByteLess", {Pack(kDriveFree, kDriveFree - 1)}, false},
                      RoomCase{"ExactlyTheFreeBytes", {Pack(1, kDriveFree)}, true},
                      // the entry of the drive's clusters counts, not the plain sum
                      RoomCase{"PlainSumWouldFit", {Pack(kMegabyte, kDriveFree + 1)}, true},
                      RoomCase{
                          "ClusterSizeFitsThoughPlainSumWouldNot", {Pack(kDriveFree + 1, kMegabyte)}, false},
                      RoomCase{"SecondTypeFits", {Pack(1, kDriveFree), Pack(1, kDriveFree - 1)}, false}),
    [](const ::testing::TestParamInfo<RoomCase>& info) { return std::string(info.param.name); });

// The entry of 5019 with the figure as printf writes "%0.1f", worked out by hand.
std::string NoRoomText(const std::string& figure) {
  std::string text = resources::FindString(5019);
  const std::size_t place = text.find("%0.1f");
  EXPECT_NE(place, std::string::npos);
  return place == std::string::npos ? text : text.replace(place, 5, figure);
}

TEST_F(StartUpTest, NoRoomShowsTheSmallestTypesSizeAndGoesOnAfterOk) {
  info_.Packs = {Pack(50 * kMegabyte, kDriveFree), Pack(10 * kMegabyte, kDriveFree + 5)};
  WriteDatabase();
  ASSERT_TRUE(Prepare("message ok"));
  const OwnerWitness::Box box = OnlyBox();
  EXPECT_EQ(box.view.text, NoRoomText("10.0"));
  EXPECT_EQ(box.view.style, platform::BOX_OK_CANCEL | platform::BOX_ICON_INFORMATION);
  EXPECT_EQ(box.view.title, kMessageTitle);
  EXPECT_EQ(box.owner, background_->Window());
  EXPECT_STREQ(run_->choices.destination_base.Data(), "C:\\Program Files");
  EXPECT_STREQ(run_->choices.destination_subfolder.Data(), "Orvella");
}

TEST_F(StartUpTest, NoRoomAnsweredCancelEndsTheStartWithTheWindowShown) {
  info_.Packs = {Pack(10 * kMegabyte, kDriveFree)};
  WriteDatabase();
  EXPECT_FALSE(Prepare("message cancel"));
  EXPECT_EQ(OnlyBox().view.text, NoRoomText("10.0"));
  EXPECT_NE(background_->Window(), nullptr);
  EXPECT_TRUE(run_->choices.destination_base.IsEmpty());
}

TEST_F(StartUpTest, DatabaseWithoutTypesAsksWithTheLargestCount) {
  info_.Packs.clear();
  WriteDatabase();
  EXPECT_FALSE(Prepare("message cancel"));
  EXPECT_EQ(OnlyBox().view.text, NoRoomText("4096.0"));
}

// --- The database that cannot be used, and the window that cannot be made ----------------------------

TEST_F(StartUpTest, MissingDatabaseIsToldWithoutOwnerWhileThePreparingDialogStaysOpen) {
  EXPECT_FALSE(Prepare("message ok"));
  const OwnerWitness::Box box = OnlyBox();
  EXPECT_EQ(box.view.text, resources::FindString(5000));
  EXPECT_EQ(box.view.style, platform::BOX_OK | platform::BOX_ICON_STOP);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_NE(progress_->Window(), nullptr);
  EXPECT_EQ(background_->Window(), nullptr);
  EXPECT_EQ(database_, nullptr);
}

struct DamageCase {
  const char* name;
  std::function<void(std::string&)> damage;
};

class DamagedDatabaseTest : public StartUpTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedDatabaseTest, IsToldWithoutOwnerWhileThePreparingDialogStaysOpen) {
  WriteDatabase();
  const std::string host = machine_->Host("M:\\Setup\\SETUP.INF");
  std::string bytes;
  {
    std::ifstream in(host, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  GetParam().damage(bytes);
  std::ofstream(host, std::ios::binary | std::ios::trunc) << bytes;

  EXPECT_FALSE(Prepare("message ok"));
  const OwnerWitness::Box box = OnlyBox();
  EXPECT_EQ(box.view.text, resources::FindString(5001));
  EXPECT_EQ(box.view.style, platform::BOX_OK | platform::BOX_ICON_STOP);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_NE(progress_->Window(), nullptr);
  EXPECT_EQ(background_->Window(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedDatabaseTest,
    ::testing::Values(DamageCase{"LastByteChanged", [](std::string& bytes) { bytes.back() ^= 0x01; }},
                      DamageCase{"WrongMagic", [](std::string& bytes) { bytes[0] = 'X'; }},
                      DamageCase{"CutShort", [](std::string& bytes) { bytes.resize(bytes.size() / 2); }},
                      DamageCase{"Empty", [](std::string& bytes) { bytes.clear(); }}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, WindowThatCannotBeMadeEndsTheStartWithoutABox) {
  info_.Packs.clear();  // would ask about the room
  WriteDatabase();
  MakeRun("message ok");
  // Another window of the class exists, so the class cannot be registered again.
  ASSERT_TRUE(ui_->RegisterBackgroundClass());
  EXPECT_FALSE(RunPrepare());
  EXPECT_EQ(background_->Window(), nullptr);
  EXPECT_TRUE(witness_->boxes.empty());
  EXPECT_TRUE(run_->choices.destination_base.IsEmpty());
}

// --- What the user sees of a run ---------------------------------------------------------------------------

TEST_F(StartUpTest, PreparingDialogMovesWhileTypesAreReadAndClosesBeforeTheWindowOpens) {
  info_.Packs = {Pack(20 * kMegabyte, kDriveFree), Pack(30 * kMegabyte, kDriveFree),
                 Pack(40 * kMegabyte, kDriveFree), Pack(10 * kMegabyte, kDriveFree)};
  WriteDatabase();
  ASSERT_TRUE(Prepare("message ok"));
  EXPECT_EQ(progress_->Window(), nullptr);
  const std::vector<std::string> lines = ProgressLines();
  ASSERT_EQ(lines.size(), 7u) << ::testing::PrintToString(lines);
  EXPECT_EQ(lines[0], "progress dialog 107 opened");
  EXPECT_EQ(lines[1], "progress dialog 107: 25 of 100");
  EXPECT_EQ(lines[2], "progress dialog 107: 50 of 100");
  EXPECT_EQ(lines[3], "progress dialog 107: 75 of 100");
  EXPECT_EQ(lines[4], "progress dialog 107: 0 of 100");
  EXPECT_EQ(lines[5], "progress dialog 107 closed");
  EXPECT_EQ(lines[6].rfind("message box (style 65) \"Vantor Setup\": ", 0), 0u) << lines[6];
  EXPECT_NE(lines[6].find(" 10.0 "), std::string::npos) << lines[6];
  EXPECT_NE(lines[6].find("-> 1 (ok)"), std::string::npos) << lines[6];
}

}  // namespace
}  // namespace vtsetup::app
