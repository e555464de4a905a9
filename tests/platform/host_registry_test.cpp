#include "platform/host/registry/host_registry.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace {

using vtsetup::platform::ERR_ACCESS_DENIED;
using vtsetup::platform::ERR_FILE_NOT_FOUND;
using vtsetup::platform::ERR_HANDLE_DISK_FULL;
using vtsetup::platform::ERR_INVALID_PARAMETER;
using vtsetup::platform::ERR_MORE_DATA;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_NOT_ENOUGH_MEMORY;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::KeyOpen;
using vtsetup::platform::Registry;
using vtsetup::platform::RegistryAccess;
using vtsetup::platform::RegistryKey;
using vtsetup::platform::SystemError;
using vtsetup::platform::ValueRead;
using vtsetup::platform::host::HostRegistry;
using vtsetup::testing::ReadText;
using vtsetup::testing::TempDir;
using vtsetup::testing::TestMachine;
using vtsetup::testing::WriteText;

// The files below are written with LF for readability; the registry writes CRLF.
std::string Crlf(const std::string& text) {
  std::string result;
  for (const char c : text) {
    if (c == '\n') {
      result += '\r';
    }
    result += c;
  }
  return result;
}

std::string Text(const ValueRead& read) {
  return std::string(read.value.Data(), read.value.Length());
}

class HostRegistryTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { WriteText(file_, text); }
  std::string FileText() const { return ReadText(file_); }
  std::unique_ptr<RegistryKey> OpenKey(const char* path, RegistryAccess access = RegistryAccess::Write) {
    KeyOpen open = registry_.Open(path, access);
    EXPECT_EQ(open.error, ERR_NONE) << path;
    return std::move(open.key);
  }
  SystemError OpenError(const char* path) {
    const KeyOpen open = registry_.Open(path, RegistryAccess::Read);
    EXPECT_EQ(open.key == nullptr, open.error != ERR_NONE);
    return open.error;
  }
  ValueRead Query(const char* path, const char* name, std::uint32_t buffer_size = 256) {
    const auto key = OpenKey(path, RegistryAccess::Read);
    return key ? key->QueryString(name, buffer_size) : ValueRead{{}, ERR_FILE_NOT_FOUND};
  }

  TempDir dir_;
  std::string file_ = dir_.File("registry.reg");
  HostRegistry registry_{file_};
};

TEST_F(HostRegistryTest, WritesEscapedStringsAndReadsThemBack) {
  const auto software = OpenKey("");  // a missing file is an empty registry
  ASSERT_NE(software, nullptr);
  const KeyOpen product = software->Create("SOFTWARE\\Vantor Software\\Orvella\\1.0\\");
  ASSERT_EQ(product.error, ERR_NONE);
  EXPECT_EQ(product.key->SetString(nullptr, "C:\\Games\\Orvella"), ERR_NONE);
  EXPECT_EQ(product.key->SetString("Note", "say \"hi\" \\ \xE9t\xE9"), ERR_NONE);
  EXPECT_EQ(product.key->SetString("Lines", "one\r\ntwo"), ERR_NONE);

  EXPECT_EQ(FileText(), Crlf(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Vantor Software\Orvella\1.0]
@="C:\\Games\\Orvella"
"Note"="say \"hi\" \\ )"
                             "\xE9t\xE9"
                             R"("
"Lines"=hex(1):6f,6e,65,0d,0a,74,77,6f,00

)"));

  HostRegistry other(file_);
  const KeyOpen reread = other.Open("SOFTWARE\\Vantor Software\\Orvella\\1.0", RegistryAccess::Read);
  ASSERT_EQ(reread.error, ERR_NONE);
  EXPECT_EQ(Text(reread.key->QueryString("", 256)), "C:\\Games\\Orvella");
  EXPECT_EQ(Text(reread.key->QueryString("Note", 256)), "say \"hi\" \\ \xE9t\xE9");
  EXPECT_EQ(Text(reread.key->QueryString("Lines", 256)), "one\r\ntwo");
}

TEST_F(HostRegistryTest, LongStringsWithLineBreaksWrapWithinEightyColumns) {
  const std::string value = std::string(60, 'x') + "\n" + std::string(60, 'y');
  ASSERT_EQ(OpenKey("")->SetString("Long", value.c_str()), ERR_NONE);
  const std::string text = FileText();
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 80u);
  }
  std::size_t continued = 0;
  for (std::size_t at = 0; (at = text.find(",\\\r\n  ", at)) != std::string::npos; ++at) {
    ++continued;
  }
  EXPECT_GE(continued, 4u);  // 123 bytes at three characters each need five lines at least
  EXPECT_EQ(Text(Query("", "Long", 200)), value);
}

TEST_F(HostRegistryTest, KeepsOtherTypesRootsAndBadLinesAsFound) {
  const std::string found = R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Vantor]
"Volume"="7"

[HKEY_LOCAL_MACHINE\SOFTWARE\Vantor]
"Count"=dword:0000002a
"Blob"=hex:01,02,\
  03,04
; a comment
"Bad"="C:\Games"
"Half"="no end
"Home"=hex(2):25,41,25,00
  "Spaced" = "kept"  
)";
  Write("\r\n" + found + "\n");
  ASSERT_EQ(OpenKey("software\\vantor")->SetString("Name", "Orvella"), ERR_NONE);
  EXPECT_EQ(FileText(), Crlf(found + "\"Name\"=\"Orvella\"\n\n"));

  // Volume is another root's value.
  for (const char* unread : {"Count", "Blob", "Bad", "Half", "Volume"}) {
    EXPECT_EQ(Query("SOFTWARE\\Vantor", unread).error, ERR_FILE_NOT_FOUND) << unread;
  }
  EXPECT_EQ(Text(Query("SOFTWARE\\Vantor", "Home")), "%A%");
  EXPECT_EQ(Text(Query("SOFTWARE\\Vantor", "Spaced")), "kept");

  // Setting a value of another type replaces it in place, as a string.
  ASSERT_EQ(OpenKey("SOFTWARE\\Vantor")->SetString("COUNT", "42"), ERR_NONE);
  EXPECT_NE(FileText().find("\r\n\"Count\"=\"42\"\r\n\"Blob\"=hex:01,02,\\\r\n"), std::string::npos);
}

TEST_F(HostRegistryTest, BadSectionsAreKeptButNeverRead) {
  std::string deep = "[HKEY_LOCAL_MACHINE";
  for (int level = 0; level < 513; ++level) {
    deep += "\\K";
  }
  deep += "]";
  Write(
      "stray line before any key\n"
      "[HKEY_LOCAL_MACHINE\\A]\n\"Own\"=\"1\"\n"
      "[HKEY_LOCAL_MACHINE\\A\\\\B]\n\"Stray\"=\"2\"\n"
      "[HKEY_LOCAL_MACHINE\\C\n\"Unclosed\"=\"3\"\n" +
      deep +
      "\n\"Deep\"=\"4\"\n"
      "[HKEY_LOCAL_MACHINE\\D]\n\"Dangling\"=hex:01,\\\n[HKEY_LOCAL_MACHINE\\E]\n\"Own\"=\"5\"\n\x01\xff\n");

  EXPECT_EQ(Text(Query("A", "Own")), "1");
  EXPECT_EQ(Query("A", "Stray").error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(Query("A", "Unclosed").error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(Query("A", "Deep").error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenError("C"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenError("K"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(Text(Query("E", "Own")), "5");  // the dangling continuation stops at the next key

  ASSERT_EQ(OpenKey("A")->SetString("Own", "6"), ERR_NONE);
  ASSERT_EQ(OpenKey("D")->SetString("After", "7"), ERR_NONE);
  EXPECT_EQ(Text(Query("D", "After")), "7");  // not taken into the dangling continuation
  EXPECT_EQ(FileText(),
            "REGEDIT4\r\n\r\n" + Crlf("stray line before any key\n\n"
                                      "[HKEY_LOCAL_MACHINE\\A]\n\"Own\"=\"6\"\n\n"
                                      "[HKEY_LOCAL_MACHINE\\A\\\\B]\n\"Stray\"=\"2\"\n\n"
                                      "[HKEY_LOCAL_MACHINE\\C\n\"Unclosed\"=\"3\"\n\n" +
                                      deep + "\n\"Deep\"=\"4\"\n\n" +
                                      "[HKEY_LOCAL_MACHINE\\D]\n\"Dangling\"=hex:01,\\\n\n\"After\"=\"7\"\n\n"
                                      "[HKEY_LOCAL_MACHINE\\E]\n\"Own\"=\"5\"\n\x01\xff\n\n"));
}

TEST_F(HostRegistryTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
  Write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor]\r\n\"DisplayName\"=\"Old\"\r\n\r\n");
  EXPECT_EQ(Text(Query("software\\VANTOR", "displayname")), "Old");
  const auto key = OpenKey("Software\\vantor");
  ASSERT_EQ(key->SetString("DISPLAYNAME", "New"), ERR_NONE);
  ASSERT_EQ(key->Create("orvella\\1.0").error, ERR_NONE);
  ASSERT_EQ(key->Create("ORVELLA\\Extra").error, ERR_NONE);
  EXPECT_EQ(FileText(), Crlf(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SOFTWARE\Vantor]
"DisplayName"="New"

[HKEY_LOCAL_MACHINE\SOFTWARE\Vantor\orvella\1.0]

[HKEY_LOCAL_MACHINE\SOFTWARE\Vantor\orvella\Extra]

)"));
  // Letters of the code page above ASCII are not folded.
  ASSERT_EQ(key->SetString("\xC9tat", "1"), ERR_NONE);
  EXPECT_EQ(Query("SOFTWARE\\Vantor", "\xE9tat").error, ERR_FILE_NOT_FOUND);
}

TEST_F(HostRegistryTest, MissingKeysAndValuesReportFileNotFound) {
  TestMachine machine;  // its registry holds the program-files folder, its parents only implied
  Registry& registry = machine.System().LocalMachine();
  const KeyOpen windows = registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegistryAccess::Read);
  ASSERT_EQ(windows.error, ERR_NONE);
  EXPECT_EQ(Text(windows.key->QueryString("ProgramFilesDir", 200)), "C:\\Program Files");
  EXPECT_EQ(windows.key->QueryString("Missing", 200).error, ERR_FILE_NOT_FOUND);
  EXPECT_EQ(windows.key->QueryString(nullptr, 200).error, ERR_FILE_NOT_FOUND);  // no default value set
  EXPECT_EQ(registry.Open("SOFTWARE\\Microsoft", RegistryAccess::Read).error, ERR_NONE);
  for (const char* missing : {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SOFTWARE\\Micro",
                              "SOFTWARE\\\\Microsoft", "\\SOFTWARE"}) {
    EXPECT_EQ(registry.Open(missing, RegistryAccess::Read).error, ERR_FILE_NOT_FOUND) << missing;
  }
}

TEST_F(HostRegistryTest, MoreDataWhenTheTextAndItsZeroDoNotFit) {
  ASSERT_EQ(OpenKey("")->SetString("Name", "Orvella"), ERR_NONE);
  EXPECT_EQ(Text(Query("", "Name", 8)), "Orvella");
  EXPECT_EQ(Query("", "Name", 8).error, ERR_NONE);
  EXPECT_EQ(Query("", "Name", 7).error, ERR_MORE_DATA);
  EXPECT_EQ(Query("", "Name", 0).error, ERR_MORE_DATA);
  ASSERT_EQ(OpenKey("")->SetString("Empty", ""), ERR_NONE);
  EXPECT_EQ(Query("", "Empty", 1).error, ERR_NONE);
  EXPECT_EQ(Query("", "Empty", 0).error, ERR_MORE_DATA);
}

TEST_F(HostRegistryTest, CreateMakesEveryLevelBesideItsRelatives) {
  const std::string windows = R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files"

)";
  const std::string other = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\n";
  Write(Crlf("REGEDIT4\n\n" + windows + other));
  const auto uninstall_parent = OpenKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  const KeyOpen uninstall = uninstall_parent->Create("Uninstall\\Orvella");
  ASSERT_EQ(uninstall.error, ERR_NONE);
  ASSERT_EQ(uninstall.key->SetString("DisplayName", "Orvella"), ERR_NONE);

  const auto software = OpenKey("SOFTWARE\\");
  const KeyOpen product = software->Create("Vantor Software\\Orvella\\1.0\\");
  ASSERT_EQ(product.error, ERR_NONE);
  ASSERT_EQ(product.key->SetString(nullptr, "C:\\Games"), ERR_NONE);
  const std::string written = FileText();
  EXPECT_EQ(written, Crlf("REGEDIT4\n\n" + windows +
                          R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvella]
"DisplayName"="Orvella"

)" + other + R"([HKEY_LOCAL_MACHINE\SOFTWARE\Vantor Software\Orvella\1.0]
@="C:\\Games"

)"));

  EXPECT_EQ(OpenError("SOFTWARE\\Vantor Software\\Orvella"), ERR_NONE);
  EXPECT_EQ(Text(Query("SOFTWARE\\Vantor Software\\Orvella\\1.0", nullptr)), "C:\\Games");
  EXPECT_EQ(software->Create("vantor software\\ORVELLA").error, ERR_NONE);  // exists: the file stays
  EXPECT_EQ(FileText(), written);

  EXPECT_EQ(software->Create("A\\\\B").error, ERR_INVALID_PARAMETER);
  EXPECT_EQ(software->Create("Line\nBreak").error, ERR_INVALID_PARAMETER);
  EXPECT_EQ(software->SetString("Line\nBreak", "x"), ERR_INVALID_PARAMETER);
  std::string deep;
  for (int level = 0; level < 512; ++level) {
    deep += "K\\";
  }
  EXPECT_EQ(software->Create(deep.c_str()).error, ERR_INVALID_PARAMETER);  // SOFTWARE is the 513th level
  EXPECT_EQ(FileText(), written);
}

// Lowers the largest file this process may write, and ignores the signal that passing it raises, so
// that the write fails with an error instead.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : old_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &old_limit_);
    rlimit lowered = old_limit_;
    lowered.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_limit_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_limit_{};
  void (*old_handler_)(int);
};

TEST_F(HostRegistryTest, RefusedOrFailedWritesLeaveTheFileAsItWas) {
  Write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"A\"=\"1\"\r\n\r\n");
  const std::string before = FileText();
  const auto reader = OpenKey("SOFTWARE", RegistryAccess::Read);
  EXPECT_EQ(reader->SetString("A", "2"), ERR_ACCESS_DENIED);
  EXPECT_EQ(reader->SetString(nullptr, "2"), ERR_ACCESS_DENIED);
  const KeyOpen created = reader->Create("Sub");
  EXPECT_EQ(created.error, ERR_ACCESS_DENIED);
  EXPECT_EQ(created.key, nullptr);

  const auto key = OpenKey("SOFTWARE");
  {
    // Files may grow to 16 bytes: the new text cannot be written, whoever runs the test.
    const FileSizeLimit limit(16);
    EXPECT_EQ(key->SetString("A", "2"), ERR_HANDLE_DISK_FULL);
    EXPECT_EQ(key->Create("Sub").error, ERR_HANDLE_DISK_FULL);
  }
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2);  // the file and its lock

  HostRegistry nowhere(dir_.File("missing/registry.reg"));
  const KeyOpen root = nowhere.Open("", RegistryAccess::Write);
  ASSERT_EQ(root.error, ERR_NONE);
  EXPECT_EQ(root.key->SetString("A", "1"), ERR_PATH_NOT_FOUND);
}

TEST_F(HostRegistryTest, UnreadableOrOversizedFilesAreRefused) {
  HostRegistry folder(dir_.Path().string());
  EXPECT_EQ(folder.Open("", RegistryAccess::Read).error, ERR_ACCESS_DENIED);

  Write("REGEDIT4\r\n");
  std::filesystem::resize_file(file_, (std::uintmax_t{8} << 20) + 1);
  EXPECT_EQ(OpenError(""), ERR_NOT_ENOUGH_MEMORY);
}

TEST_F(HostRegistryTest, ConcurrentWritersKeepEveryValue) {
  constexpr int kWriters = 4;
  constexpr int kValuesEach = 25;
  const auto name_of = [](int writer, int value) {
    std::string name(1, 'W');  // appended: GCC 12 at -O3 warns falsely on "W" + a temporary
    name += std::to_string(writer) + "V" + std::to_string(value);
    return name;
  };
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HostRegistry own(file_);
      KeyOpen root = own.Open("", RegistryAccess::Write);
      bool all_set = root.key != nullptr;
      for (int value = 0; all_set && value < kValuesEach; ++value) {
        const std::string name = name_of(writer, value);
        KeyOpen shared = root.key->Create("SOFTWARE\\Shared");
        all_set = shared.key != nullptr &&
                  shared.key->SetString(name.c_str(), (name + "=data").c_str()) == ERR_NONE;
      }
      ::_exit(all_set ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto shared = OpenKey("SOFTWARE\\Shared", RegistryAccess::Read);
  ASSERT_NE(shared, nullptr);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int value = 0; value < kValuesEach; ++value) {
      const std::string name = name_of(writer, value);
      EXPECT_EQ(Text(shared->QueryString(name.c_str(), 256)), name + "=data");
    }
  }
  // One section: the writers found each other's key rather than making it again.
  const std::string text = FileText();
  EXPECT_EQ(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared]"),
            text.rfind("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared]"));
}

// The registration of an installed game as the setup makes it, on a machine just made: the key list of
// uninstallable programs is there to be opened, as on every Windows, and the program-files folder is given.
TEST(HostRegistryFreshMachine, TakesTheUninstallRegistrationAsEveryWindowsDoes) {
  TestMachine machine;
  Registry& registry = machine.System().LocalMachine();
  const KeyOpen current = registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegistryAccess::Read);
  ASSERT_EQ(current.error, ERR_NONE);
  EXPECT_EQ(Text(current.key->QueryString("ProgramFilesDir", 200)), "C:\\Program Files");
  // A machine of the 4.x line has no Windows NT branch for the setup's second try to find.
  EXPECT_EQ(registry.Open("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", RegistryAccess::Write).error,
            ERR_FILE_NOT_FOUND);

  const KeyOpen uninstall =
      registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", RegistryAccess::Write);
  ASSERT_EQ(uninstall.error, ERR_NONE);
  const KeyOpen entry = uninstall.key->Create("Orvella");
  ASSERT_EQ(entry.error, ERR_NONE);
  EXPECT_EQ(entry.key->SetString("DisplayName", "Orvella"), ERR_NONE);
  EXPECT_EQ(entry.key->SetString("UninstallString", "C:\\Gry\\dinstall.exe"), ERR_NONE);
  const KeyOpen again =
      registry.Open("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\orvella", RegistryAccess::Read);
  ASSERT_EQ(again.error, ERR_NONE);
  EXPECT_EQ(Text(again.key->QueryString("UninstallString", 256)), "C:\\Gry\\dinstall.exe");
}

}  // namespace
