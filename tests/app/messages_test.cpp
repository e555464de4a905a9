#include "app/messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "tests/app/mock_user_interface.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using platform::host::MessageBoxView;
using platform::host::UiDriver;
using platform::host::UserAction;

// Answers the message boxes from the test's list and keeps what each box showed.
class BoxAnswerer final : public UiDriver {
 public:
  std::deque<std::int32_t> answers;
  std::vector<MessageBoxView> boxes;

  std::optional<std::vector<UserAction>> PageActions(const platform::host::DialogState&, bool) override {
    return std::nullopt;
  }
  std::optional<std::int32_t> MessageAnswer(const MessageBoxView& box) override {
    boxes.push_back(box);
    if (answers.empty()) {
      return std::nullopt;
    }
    const std::int32_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> BrowseAnswer(const std::string&) override { return std::nullopt; }
};

// The entry of the program's table with its placeholder replaced by the insertion, worked out without printf.
std::string Inserted(std::uint16_t id, const std::string& insertion, const std::string& placeholder = "%s") {
  std::string text = resources::FindString(id);
  const std::size_t place = text.find(placeholder);
  EXPECT_NE(place, std::string::npos) << id;
  return place == std::string::npos ? text : text.replace(place, placeholder.size(), insertion);
}

// The program's own string table on a host user interface, answered by the test.
class MessagesTest : public ::testing::Test {
 protected:
  MessagesTest() {
    auto answerer = std::make_unique<BoxAnswerer>();
    driver_ = answerer.get();
    ui_ = std::make_unique<platform::host::HostUserInterface>(
        machine_.Machine(),
        platform::host::UiResources{resources::DialogTemplates(), resources::StringTable()},
        std::move(answerer), "");
    messages_ = std::make_unique<Messages>(*ui_);
  }

  // The one box shown since the last call.
  MessageBoxView LastBox() {
    EXPECT_EQ(driver_->boxes.size(), 1u);
    const MessageBoxView box = driver_->boxes.empty() ? MessageBoxView{} : driver_->boxes.back();
    driver_->boxes.clear();
    return box;
  }

  testing::TestMachine machine_{"", true};
  BoxAnswerer* driver_ = nullptr;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  std::unique_ptr<Messages> messages_;
};

enum class Call { String, Text, Number };

struct MessageCase {
  std::uint16_t id;
  Call call;
  const char* insertion;  // null: none
  std::uint32_t style;
  std::int32_t answer;
};

// Every message the setup shows, as its callers show it, each answered with one of its buttons.
TEST_F(MessagesTest, EveryMessageShowsItsTextWithItsStyleTitleAndAnswer) {
  const MessageCase cases[] = {
      {5000, Call::String, nullptr, 16, 1},
      {5001, Call::String, nullptr, 16, 1},
      {5004, Call::Text, "D:\\DATA\\orv.exe", 18, 4},
      {5005, Call::Text, "C:\\Gry\\Orvella\\orv.exe", 17, 1},
      {5006, Call::Text, "C:\\Gry\\Orvella\\level1.dat", 21, 2},
      {5007, Call::Text, "D:\\DATA\\level1.dat", 21, 4},
      {5008, Call::Text, "C:\\Gry\\Orvella\\level2.dat", 21, 4},
      {5010, Call::Text, "C:\\Gry\\Orvella\\level3.dat", 18, 5},
      {5012, Call::Text, "D:\\DirectX\\DSETUP.DLL", 16, 1},
      {5013, Call::Text, nullptr, 16, 1},
      {5014, Call::Text, "C:\\Gry\\Orvella\\dinstall.log", 20, 6},
      {5015, Call::Text, "C:\\Gry\\Orvella", 16, 1},
      {5016, Call::Text, "C:\\TEMP\\dsetup.dll", 20, 7},
      {5017, Call::Text, nullptr, 16, 1},
      {5018, Call::Text, "C:\\Gry\\Orvella\\orv.exe", 16, 1},
      {5019, Call::Number, nullptr, 65, 2},
      {5010, Call::Text, "C:\\Gry\\Orvella\\level4.dat", 18, 3},
  };
  for (const MessageCase& c : cases) {
    driver_->answers = {c.answer};
    std::int32_t answer = 0;
    std::string expected;
    switch (c.call) {
      case Call::String:
        answer = messages_->ShowStringMessage(c.id, c.style);
        expected = resources::FindString(c.id);
        break;
      case Call::Text:
        answer = messages_->ShowMessage(c.id, c.insertion, c.style);
        expected = c.insertion != nullptr ? Inserted(c.id, c.insertion) : resources::FindString(c.id);
        break;
      case Call::Number:
        answer = messages_->ShowNumberMessage(c.id, 80.0F, c.style);
        expected = Inserted(c.id, "80.0", "%0.1f");
        break;
    }
    const MessageBoxView box = LastBox();
    EXPECT_EQ(answer, c.answer) << c.id;
    EXPECT_EQ(box.style, c.style) << c.id;
    EXPECT_EQ(box.title, "Vantor Setup") << c.id;
    EXPECT_EQ(box.text, expected) << c.id;
  }
  // The transcript names the box's style, title and the answer for the user's reading of a run.
  const std::vector<std::string> lines = machine_.TranscriptLines();
  ASSERT_EQ(lines.size(), std::size(cases));
  EXPECT_THAT(lines[0], ::testing::StartsWith("message box (style 16) \"Vantor Setup\": "));
  EXPECT_THAT(lines[15], ::testing::EndsWith(" -> 2 (cancel)"));
}

// The copy worker's question about an existing directory has a buffer of its own, 200 bytes.
TEST_F(MessagesTest, TheExistingDirectoryQuestionFitsItsSmallerBuffer) {
  driver_->answers = {6};
  EXPECT_EQ(messages_->ShowMessage(5003, "C:\\Gry\\Orvella\\DATA", 68, 200), 6);
  const MessageBoxView box = LastBox();
  EXPECT_EQ(box.style, 68u);
  EXPECT_EQ(box.text, Inserted(5003, "C:\\Gry\\Orvella\\DATA"));

  const std::string deep = "C:\\" + std::string(300, 'k');
  driver_->answers = {7};
  EXPECT_EQ(messages_->ShowMessage(5003, deep.c_str(), 68, 200), 7);
  EXPECT_EQ(LastBox().text, Inserted(5003, deep).substr(0, 199));
}

TEST_F(MessagesTest, TextsAreShownByteForByte) {
  driver_->answers = {1};
  messages_->ShowMessage(5017, nullptr, 16);
  EXPECT_EQ(LastBox().text,
            "Instalacja nie zosta\xB3"
            "a zako\xF1"
            "czona pomy\x9C"
            "lnie.");
  // Without insertion an entry is not a format: its "%s" reaches the user as it stands.
  driver_->answers = {3};
  EXPECT_EQ(messages_->ShowMessage(5004, nullptr, 18), 3);
  EXPECT_NE(LastBox().text.find("pliku \x9Fr\xF3"
                                "d\xB3owego %s.\r\n"),
            std::string::npos);
  // The number is widened and shown with one decimal.
  driver_->answers = {1};
  EXPECT_EQ(messages_->ShowNumberMessage(5019, 12.34F, 65), 1);
  EXPECT_NE(LastBox().text.find("\r\nPotrzeba przynajmniej 12.3 MB.\r\n"), std::string::npos);
}

TEST_F(MessagesTest, AMissingEntryShowsTheInternalErrorOrAnEmptyBox) {
  driver_->answers = {1};
  EXPECT_EQ(messages_->ShowStringMessage(5011, 16), MESSAGE_MISSING_ENTRY);
  MessageBoxView box = LastBox();
  EXPECT_EQ(box.text, "Interner Fehler - Resource nicht vorhanden");
  EXPECT_EQ(box.title, "Vantor Setup");
  EXPECT_EQ(box.style, 16u);

  driver_->answers = {2};
  EXPECT_EQ(messages_->ShowMessage(5020, "C:\\Gry", 17), 2);
  box = LastBox();
  EXPECT_EQ(box.text, "");
  EXPECT_EQ(box.style, 17u);
  driver_->answers = {7};
  EXPECT_EQ(messages_->ShowMessage(5011, nullptr, 20), 7);
  EXPECT_EQ(LastBox().text, "");
  driver_->answers = {1};
  EXPECT_EQ(messages_->ShowNumberMessage(5020, 1.5F, 65), 1);
  EXPECT_EQ(LastBox().text, "");
}

// A path of any length goes into the 500-byte text: the box shows its first 499 characters and the
// bytes after the buffer are never written.
TEST_F(MessagesTest, ALongInsertedPathIsCutAtTheEndOfTheBuffer) {
  const std::string path = "C:\\" + std::string(1200, 'p') + "\\orv.exe";
  for (const std::uint16_t id : {5004, 5005, 5008, 5010, 5014}) {
    driver_->answers = {2};
    messages_->ShowMessage(id, path.c_str(), 17);
    const std::string shown = LastBox().text;
    EXPECT_EQ(shown.size(), 499u) << id;
    EXPECT_EQ(shown, Inserted(id, path).substr(0, 499)) << id;
  }
  // A text that fits is not cut.
  const std::string fitting(499 - (std::string(resources::FindString(5006)).size() - 2), 'f');
  driver_->answers = {4};
  messages_->ShowMessage(5006, fitting.c_str(), 21);
  EXPECT_EQ(LastBox().text, Inserted(5006, fitting));
}

// The owner is handed over as set: none during start-up, the background window afterwards; the table
// entry is loaded into the 500-byte buffer.
TEST(MessagesOwner, BoxesBelongToTheBackgroundWindowOnceItExists) {
  ::testing::StrictMock<testing::MockUserInterface> ui;
  Messages messages(ui);
  const auto background = reinterpret_cast<platform::Window>(std::uintptr_t{0x4711});
  ::testing::InSequence in_order;
  EXPECT_CALL(ui, LoadStringResource(5000, 500)).WillOnce(::testing::Return(TextString("Brak")));
  EXPECT_CALL(ui, ShowMessageBox(nullptr, ::testing::StrEq("Brak"), ::testing::StrEq("Vantor Setup"), 16))
      .WillOnce(::testing::Return(1));
  EXPECT_CALL(ui, LoadStringResource(5017, 500)).WillOnce(::testing::Return(TextString("Koniec")));
  EXPECT_CALL(ui,
              ShowMessageBox(background, ::testing::StrEq("Koniec"), ::testing::StrEq("Vantor Setup"), 16))
      .WillOnce(::testing::Return(1));
  EXPECT_CALL(ui, LoadStringResource(5019, 500)).WillOnce(::testing::Return(TextString("%0.1f MB")));
  EXPECT_CALL(ui,
              ShowMessageBox(background, ::testing::StrEq("0.5 MB"), ::testing::StrEq("Vantor Setup"), 65))
      .WillOnce(::testing::Return(2));

  EXPECT_EQ(messages.ShowStringMessage(5000, 16), 1);
  messages.SetOwner(background);
  EXPECT_EQ(messages.ShowMessage(5017, nullptr, 16), 1);
  EXPECT_EQ(messages.ShowNumberMessage(5019, 0.5F, 65), 2);
}

// Another program's boxes carry its own title, and a text may take two insertions in their order, cut
// to the 500-byte buffer like one; a missing entry shows an empty box.
TEST(MessagesOwner, AProgramOfItsOwnGivesItsTitleAndTwoInsertions) {
  ::testing::StrictMock<testing::MockUserInterface> ui;
  std::string title = "Usuwanie";
  Messages messages(ui, title.c_str());
  title = "changed after";
  const std::string long_list(600, 'x');
  ::testing::InSequence in_order;
  EXPECT_CALL(ui, LoadStringResource(6005, 500)).WillOnce(::testing::Return(TextString("Gra %s: %s.")));
  EXPECT_CALL(
      ui, ShowMessageBox(nullptr, ::testing::StrEq("Gra Orvella: a.exe."), ::testing::StrEq("Usuwanie"), 48))
      .WillOnce(::testing::Return(1));
  EXPECT_CALL(ui, LoadStringResource(6005, 500)).WillOnce(::testing::Return(TextString("Gra %s: %s.")));
  EXPECT_CALL(ui, ShowMessageBox(nullptr, ::testing::StrEq("Gra Orvella: " + long_list.substr(0, 499 - 13)),
                                 ::testing::StrEq("Usuwanie"), 48))
      .WillOnce(::testing::Return(1));
  EXPECT_CALL(ui, LoadStringResource(6004, 500)).WillOnce(::testing::Return(std::nullopt));
  EXPECT_CALL(ui, ShowMessageBox(nullptr, ::testing::StrEq(""), ::testing::StrEq("Usuwanie"), 64))
      .WillOnce(::testing::Return(1));

  EXPECT_EQ(messages.ShowMessage(6005, "Orvella", "a.exe", 48), 1);
  EXPECT_EQ(messages.ShowMessage(6005, "Orvella", long_list.c_str(), 48), 1);
  EXPECT_EQ(messages.ShowMessage(6004, "Orvella", "", 64), 1);
}

}  // namespace
}  // namespace vtsetup::app
