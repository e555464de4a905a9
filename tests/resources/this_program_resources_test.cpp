// Built once for each program's resources library: the definition it links decides what a program's
// user interface is given to show.
#include <gtest/gtest.h>

#include "resources/dinstall_strings.h"
#include "resources/program_resources.h"

namespace vtsetup::resources {
namespace {

#if defined(VT_PROGRAM_RESOURCES_OF_setup)
TEST(SetupProgramResources, AreTheSetupsDialogsAndStrings) {
  const ProgramResources& shown = ThisProgramResources();
  EXPECT_EQ(shown.dialogs.data(), DialogTemplates().data());
  EXPECT_EQ(shown.dialogs.size(), DialogTemplates().size());
  EXPECT_EQ(shown.strings.data(), StringTable().data());
  EXPECT_EQ(shown.strings.size(), StringTable().size());
}
#elif defined(VT_PROGRAM_RESOURCES_OF_dinstall)
TEST(DinstallProgramResources, AreTheUninstallersStringsWithoutDialogs) {
  const ProgramResources& shown = ThisProgramResources();
  EXPECT_TRUE(shown.dialogs.empty());
  EXPECT_EQ(shown.strings.data(), DinstallStringTable().data());
  EXPECT_EQ(shown.strings.size(), DinstallStringTable().size());
}
#elif defined(VT_PROGRAM_RESOURCES_OF_no)
TEST(NoProgramResources, AreEmpty) {
  const ProgramResources& shown = ThisProgramResources();
  EXPECT_TRUE(shown.dialogs.empty());
  EXPECT_TRUE(shown.strings.empty());
}
#else
#error "Say whose resources this test program links"
#endif

}  // namespace
}  // namespace vtsetup::resources
