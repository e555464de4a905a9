#include "app/background_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/host/ui/host_user_interface.h"
#include "resources/resource_types.h"
#include "tests/app/mock_user_interface.h"
#include "tests/support/absent_user.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using ::testing::_;
using ::testing::Return;

class BackgroundOnHost : public ::testing::Test {
 protected:
  BackgroundOnHost()
      : ui_(machine_.Machine(), {resources::DialogTemplates(), resources::StringTable()},
            std::make_unique<testing::AbsentUser>(), ""),
        picture_(machine_.System().Files(), machine_.System().Pictures()),
        background_(ui_, picture_) {}

  testing::TestMachine machine_;  // a screen of 1024 by 768
  platform::host::HostUserInterface ui_;
  Dib picture_;
  BackgroundWindow background_;
};

TEST_F(BackgroundOnHost, WindowIsCentredAtThePicturesSize) {
  ASSERT_TRUE(background_.CreateBackgroundWindow(800, 600));
  const platform::PixelRect place = ui_.WindowPlace(background_.Window());
  EXPECT_EQ(place.left, 112);
  EXPECT_EQ(place.top, 84);
  EXPECT_EQ(place.width, 800);
  EXPECT_EQ(place.height, 600);
}

TEST_F(BackgroundOnHost, PictureLargerThanTheScreenHangsOverEveryEdge) {
  ASSERT_TRUE(background_.CreateBackgroundWindow(1281, 1025));
  const platform::PixelRect place = ui_.WindowPlace(background_.Window());
  EXPECT_EQ(place.left, 512 - 640);
  EXPECT_EQ(place.top, 384 - 512);
}

TEST_F(BackgroundOnHost, PictureThatFailedToLoadStillGivesAnOwnerForPagesAndBoxes) {
  ASSERT_TRUE(background_.CreateBackgroundWindow(0, 0));
  ASSERT_NE(background_.Window(), nullptr);
  const platform::PixelRect place = ui_.WindowPlace(background_.Window());
  EXPECT_EQ(place.left, 512);
  EXPECT_EQ(place.width, 0);
  const platform::Window page = ui_.CreateDialogWindow(113, background_.Window(), nullptr, nullptr);
  EXPECT_NE(page, nullptr);
  EXPECT_EQ(background_.PumpPendingMessages(), 0);
}

TEST_F(BackgroundOnHost, ClassThatCannotBeRegisteredGivesNoWindow) {
  ASSERT_TRUE(ui_.RegisterBackgroundClass());  // somebody else's window of the class exists
  EXPECT_FALSE(background_.CreateBackgroundWindow(640, 480));
  EXPECT_EQ(background_.Window(), nullptr);
}

TEST_F(BackgroundOnHost, UnregisteringIsRefusedWhileTheWindowLivesAndStillReportsTrue) {
  ASSERT_TRUE(background_.CreateBackgroundWindow(640, 480));
  EXPECT_TRUE(background_.UnregisterBackgroundClass());
  EXPECT_FALSE(ui_.RegisterBackgroundClass());  // the class is still there
}

TEST_F(BackgroundOnHost, CloseRequestAndRightClickChangeNothing) {
  ASSERT_TRUE(background_.CreateBackgroundWindow(640, 480));
  background_.OnClose(background_.Window());
  background_.OnRightButtonDown(background_.Window());
  EXPECT_EQ(background_.PumpPendingMessages(), 0);
  EXPECT_EQ(ui_.WindowPlace(background_.Window()).width, 640);
  EXPECT_FALSE(ui_.PumpOne(nullptr));  // the quit messages were taken and nothing followed them
}

TEST(BackgroundWindow, CloseAndRightClickPostQuitMessagesWithTheirCodes) {
  testing::MockUserInterface ui;
  testing::TestMachine machine;
  Dib picture(machine.System().Files(), machine.System().Pictures());
  BackgroundWindow background(ui, picture);
  EXPECT_CALL(ui, PostQuit(0));
  EXPECT_CALL(ui, PostQuit(1));
  background.OnClose(nullptr);
  background.OnRightButtonDown(nullptr);
}

TEST(BackgroundWindow, SecondWaitCursorKeepsTheFirstSavedCursor) {
  testing::MockUserInterface ui;
  testing::TestMachine machine;
  Dib picture(machine.System().Files(), machine.System().Pictures());
  BackgroundWindow background(ui, picture);
  EXPECT_CALL(ui, ShowWaitCursor()).WillOnce(Return(std::uintptr_t{41}));
  EXPECT_CALL(ui, RestoreCursor(41)).Times(1);
  background.SetWaitCursor(true);
  background.SetWaitCursor(true);
  background.SetWaitCursor(false);
  background.SetWaitCursor(false);  // without a wait cursor: nothing
}

TEST(BackgroundWindow, WithoutACursorBeforeTheWaitCursorStays) {
  testing::MockUserInterface ui;
  testing::TestMachine machine;
  Dib picture(machine.System().Files(), machine.System().Pictures());
  BackgroundWindow background(ui, picture);
  EXPECT_CALL(ui, ShowWaitCursor()).WillOnce(Return(std::uintptr_t{0}));
  EXPECT_CALL(ui, RestoreCursor(_)).Times(0);
  background.SetWaitCursor(true);
  background.SetWaitCursor(false);
}

TEST(BackgroundWindow, PumpOffersEveryMessageToTheCurrentPage) {
  testing::MockUserInterface ui;
  testing::TestMachine machine;
  Dib picture(machine.System().Files(), machine.System().Pictures());
  BackgroundWindow background(ui, picture);
  const auto page = reinterpret_cast<platform::Window>(std::uintptr_t{0x1000});
  background.SetCurrentPage(page);
  EXPECT_CALL(ui, PumpOne(page)).WillOnce(Return(true)).WillOnce(Return(true)).WillOnce(Return(false));
  EXPECT_EQ(background.PumpPendingMessages(), 0);
}

}  // namespace
}  // namespace vtsetup::app
