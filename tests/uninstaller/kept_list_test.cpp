#include "uninstaller/kept_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtsetup::uninstaller {
namespace {

const KeptTexts kTexts{"%s (in use)", "%s (not empty)", "%s (outside)", "%s (error %u)", "and %u more"};

std::string List(const std::vector<KeptItem>& kept, std::uint32_t room, const KeptTexts& texts = kTexts) {
  return KeptList(kept, texts, room).Data();
}

TEST(KeptListTest, EachReasonHasItsOwnLine) {
  const std::vector<KeptItem> kept = {{"C:\\G\\a.exe", KeptReason::InUse},
                                      {"C:\\G\\DATA", KeptReason::NotEmpty},
                                      {"..\\x", KeptReason::Outside},
                                      {"C:\\G\\b", KeptReason::Failed, 5}};
  EXPECT_EQ(List(kept, 499),
            "C:\\G\\a.exe (in use)\r\nC:\\G\\DATA (not empty)\r\n..\\x (outside)\r\nC:\\G\\b (error 5)");
  // Missing entries show the names as they are, and nobody counts what is left out.
  EXPECT_EQ(List(kept, 499, KeptTexts{}), "C:\\G\\a.exe\r\nC:\\G\\DATA\r\n..\\x\r\nC:\\G\\b");
  EXPECT_EQ(List(kept, 21, KeptTexts{}), "C:\\G\\a.exe\r\nC:\\G\\DATA");
  EXPECT_EQ(List(kept, 20, KeptTexts{}), "C:\\G\\a.exe");
  EXPECT_EQ(List({}, 499), "");
}

TEST(KeptListTest, WhatDoesNotFitIsCounted) {
  // Lines of 11 characters, "n1 (in use)" and the like; a count of 10.
  std::vector<KeptItem> kept;
  for (const char* name : {"n1", "n2", "n3", "n4"}) {
    kept.push_back({name, KeptReason::InUse});
  }
  const std::string all = "n1 (in use)\r\nn2 (in use)\r\nn3 (in use)\r\nn4 (in use)";
  ASSERT_EQ(all.size(), 50u);
  EXPECT_EQ(List(kept, 50), all);
  // One character less: the last line gives way to its count.
  EXPECT_EQ(List(kept, 49), "n1 (in use)\r\nn2 (in use)\r\nn3 (in use)\r\nand 1 more");
  EXPECT_EQ(List(kept, 48), "n1 (in use)\r\nn2 (in use)\r\nand 2 more");
  EXPECT_EQ(List(kept, 36), "n1 (in use)\r\nn2 (in use)\r\nand 2 more");
  EXPECT_EQ(List(kept, 35), "n1 (in use)\r\nand 3 more");
  EXPECT_EQ(List(kept, 23), "n1 (in use)\r\nand 3 more");
  EXPECT_EQ(List(kept, 22), "and 4 more");
  // Not even the count fits: it is given all the same, for the box's buffer to cut.
  EXPECT_EQ(List(kept, 0), "and 4 more");
}

}  // namespace
}  // namespace vtsetup::uninstaller
