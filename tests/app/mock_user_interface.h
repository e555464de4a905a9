#pragma once

#include <gmock/gmock.h>

#include <cstdint>
#include <optional>

#include "platform/user_interface.h"

namespace vtsetup::testing {

// The whole user interface as a mock, for tests that check what a caller hands over (the owner window,
// a buffer size) where the host user interface does not keep it.
class MockUserInterface : public platform::UserInterface {
 public:
  using Window = platform::Window;
  using PixelRect = platform::PixelRect;
  using WindowEvents = platform::WindowEvents;
  using DialogEvents = platform::DialogEvents;
  using StreamReader = platform::StreamReader;
  using ScreenSize = platform::ScreenSize;

  // Out of line, so that the mock's many methods are compiled once, with its virtual table, rather than
  // in every test file that uses it.
  MockUserInterface();
  ~MockUserInterface() override;

  MOCK_METHOD(bool, RegisterBackgroundClass, (), (override));
  MOCK_METHOD(bool, UnregisterBackgroundClass, (), (override));
  MOCK_METHOD(Window, CreateBackgroundWindow, (const PixelRect& place, WindowEvents& events), (override));
  MOCK_METHOD(void, ShowWindow, (Window window, std::uint32_t show), (override));
  MOCK_METHOD(void, Invalidate, (Window window, const PixelRect* area, bool erase), (override));
  MOCK_METHOD(void, Update, (Window window), (override));
  MOCK_METHOD(PixelRect, WindowPlace, (Window window), (override));
  MOCK_METHOD(void, MoveWindow, (Window window, std::int32_t left, std::int32_t top), (override));
  MOCK_METHOD(void, DestroyWindow, (Window window), (override));
  MOCK_METHOD(void, PostQuit, (std::int32_t exit_code), (override));
  MOCK_METHOD(Window, CreateDialogWindow,
              (std::uint16_t template_id, Window owner, DialogEvents* events, void* parameter), (override));
  MOCK_METHOD(bool, HasControl, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(void, SetText, (Window dialog, std::uint16_t id, const char* text), (override));
  MOCK_METHOD(TextString, Text, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(void, Enable, (Window dialog, std::uint16_t id, bool enabled), (override));
  MOCK_METHOD(bool, IsEnabled, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(void, Show, (Window dialog, std::uint16_t id, bool visible), (override));
  MOCK_METHOD(void, SetCheck, (Window dialog, std::uint16_t id, bool checked), (override));
  MOCK_METHOD(bool, IsChecked, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(void, SetListTabStops, (Window dialog, std::uint16_t id, std::int32_t dialog_units),
              (override));
  MOCK_METHOD(std::int32_t, AddListItem, (Window dialog, std::uint16_t id, const char* text), (override));
  MOCK_METHOD(void, SetListItemData,
              (Window dialog, std::uint16_t id, std::int32_t position, std::uint32_t data), (override));
  MOCK_METHOD(std::uint32_t, ListItemData, (Window dialog, std::uint16_t id, std::int32_t position),
              (override));
  MOCK_METHOD(void, SelectListItem, (Window dialog, std::uint16_t id, std::int32_t position), (override));
  MOCK_METHOD(std::int32_t, ListSelection, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(std::int32_t, ListCount, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(void, ClearList, (Window dialog, std::uint16_t id), (override));
  MOCK_METHOD(std::int32_t, FindListItem, (Window dialog, std::uint16_t id, const char* prefix), (override));
  MOCK_METHOD(std::uint32_t, SetProgressRange, (Window dialog, std::uint16_t id, std::uint16_t maximum),
              (override));
  MOCK_METHOD(void, SetProgressPosition, (Window dialog, std::uint16_t id, std::uint16_t position),
              (override));
  MOCK_METHOD(void, StreamRtf, (Window dialog, std::uint16_t id, StreamReader reader, void* cookie),
              (override));
  MOCK_METHOD(bool, PumpOne, (Window keyboard_dialog), (override));
  MOCK_METHOD(std::int32_t, ShowMessageBox,
              (Window owner, const char* text, const char* title, std::uint32_t style), (override));
  MOCK_METHOD(std::optional<TextString>, BrowseForFolder, (Window owner, const char* title), (override));
  MOCK_METHOD(std::optional<TextString>, LoadStringResource, (std::uint16_t id, std::uint32_t buffer_size),
              (override));
  MOCK_METHOD(TextString, FileTitle, (const char* path), (override));
  MOCK_METHOD(std::uintptr_t, ShowWaitCursor, (), (override));
  MOCK_METHOD(void, RestoreCursor, (std::uintptr_t token), (override));
  MOCK_METHOD(std::uintptr_t, SetDialogClassWaitCursor, (), (override));
  MOCK_METHOD(void, RestoreDialogClassCursor, (std::uintptr_t token), (override));
  MOCK_METHOD(ScreenSize, Screen, (), (override));
  MOCK_METHOD(void, InitCommonControls, (), (override));
};

}  // namespace vtsetup::testing
