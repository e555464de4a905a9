#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vtsetup::testing {

// Reads back exactly the forms that make_rc writes, so a test can compare the script with the data it
// came from. Texts come back as the bytes they stand for.
struct ScriptControl {
  std::string text;  // a picture's bitmap number in decimal when `names_bitmap`
  bool names_bitmap = false;
  std::int32_t id = 0;
  std::string class_name;
  std::uint32_t style = 0;
  std::int32_t x = 0, y = 0, width = 0, height = 0;
};

struct ScriptDialog {
  std::int32_t id = 0;
  bool extended = false;
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  std::uint32_t style = 0;
  std::int32_t font_size = 0;
  std::string font;
  std::vector<ScriptControl> controls;
};

struct ResourceScript {
  std::vector<std::string> pragmas;
  std::map<std::int32_t, std::string> icons;
  std::map<std::int32_t, std::string> bitmaps;
  std::vector<ScriptDialog> dialogs;
  std::vector<std::pair<std::int32_t, std::string>> strings;
};

// Fails the current test (and returns what it has) at the first line it does not understand.
ResourceScript ReadResourceScript(const std::string& bytes);

}  // namespace vtsetup::testing
