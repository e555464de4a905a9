#include "setupdb/path_variables.h"

#include <gtest/gtest.h>

#include "setupdb/default_destination.h"

namespace vtsetup {
namespace {

TextString Expanded(const PathVariables& table, const char* text) {
  TextString result(text);
  EXPECT_EQ(ExpandVariables(&table, &result), VARIABLES_OK);
  return result;
}

TEST(PathVariables, OnlyTheFirstOccurrenceOfEachVariableIsReplaced) {
  PathVariables table;
  ASSERT_EQ(DefineVariable(&table, "PrgName", "Game"), VARIABLES_OK);
  EXPECT_EQ(Expanded(table, "%PrgName%\\%PrgName%"), "Game\\%PrgName%");
  EXPECT_EQ(Expanded(table, "%DefaultPrgPath%\\%PrgName%"), "%DefaultPrgPath%\\Game");
  EXPECT_EQ(Expanded(table, "no markers"), "no markers");
  EXPECT_EQ(Expanded(table, "%Foo% and %prgname%"), "%Foo% and %prgname%");
  EXPECT_EQ(Expanded(table, ""), "");
}

// The whole marker is looked for, never the bare name, and a value is put in once as it stands.
TEST(PathVariables, TheMarkerIsFoundWholeAndItsValueIsNotExpandedAgain) {
  PathVariables table;
  DefineVariable(&table, "Games", "Title");
  EXPECT_EQ(Expanded(table, "Games\\Games%Games%"), "Games\\GamesTitle");
  EXPECT_EQ(Expanded(table, "%Games Games%Games%"), "%Games GamesTitle");

  PathVariables echoing;
  DefineVariable(&echoing, "Games", "Games\\Games%Games%");
  EXPECT_EQ(Expanded(echoing, "%Games%"), "Games\\Games%Games%");
}

TEST(PathVariables, EntriesApplyInDefinitionOrderOnTheChangedText) {
  PathVariables table;
  DefineVariable(&table, "A", "%B%-%A%");
  DefineVariable(&table, "B", "b");
  DefineVariable(&table, "A", "second");
  // A brings in %B% and another %A%; B replaces the %B% that A brought; the second A takes the %A%.
  EXPECT_EQ(Expanded(table, "[%A%]"), "[b-second]");
}

TEST(PathVariables, EmptyTableLeavesTextsAndMissingObjectsGiveFive) {
  PathVariables table;
  EXPECT_EQ(Expanded(table, "%PrgName%"), "%PrgName%");
  TextString text("x");
  EXPECT_EQ(ExpandVariables(nullptr, &text), VARIABLES_NO_OBJECT);
  EXPECT_EQ(ExpandVariables(&table, nullptr), VARIABLES_NO_OBJECT);
  EXPECT_EQ(DefineVariable(nullptr, "A", "B"), VARIABLES_NO_OBJECT);
}

TEST(DefaultDestination, MarkerAndTheCharacterAfterItGo) {
  const struct {
    const char* def_dest_dir;
    const char* reduced;
  } cases[] = {
      {"%DefaultPrgDir%\\Games\\Title", "Games\\Title"},
      {"\\Title", "Title"},
      {"%DefaultPrgDir%", ""},
      {"%DefaultPrgDir%X\\Title", "Title"},
      {"Games\\%DefaultPrgDir%\\Title", "Games\\Title"},
      {"%DefaultPrgPath%\\Title", "%DefaultPrgPath%\\Title"},
      {"", ""},
  };
  for (const auto& c : cases) {
    TextString text(c.def_dest_dir);
    ReduceDefaultDestination(text);
    EXPECT_EQ(text, c.reduced) << c.def_dest_dir;
  }
}

}  // namespace
}  // namespace vtsetup
