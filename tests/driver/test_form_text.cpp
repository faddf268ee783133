// Text of the form and its captions through sociantes-driver: a category
// typed into the Category box is a category name (31 bytes at most, cut on a
// whole character), and the info labels written by an older installation
// are shown converted, as the categories are.
#include <gtest/gtest.h>

#include <string>

#include "test_members_util.h"

namespace soc::test {
namespace {

TEST(FormText, TypedCategoryIsCutTo31BytesOnAWholeCharacter) {
  struct Case {
    std::string typed;    // as the script types it
    std::string stored;   // field 13 in the member file
  } cases[] = {
      {std::string(40, 'C'), std::string(31, 'C')},
      {std::string(30, 'C') + "\\xC3\\xA9xyz", std::string(30, 'C')},   // é would cross byte 31
      {std::string(29, 'C') + "\\xC3\\xA9xyz", std::string(29, 'C') + "\xC3\xA9"},
      {"Choir", "Choir"},
  };
  for (const auto& c : cases) {
    ScratchHome h;
    make_db(h, "", "");
    DriverRun r = run_driver(h, "start\ncmd 400\nset 1 Martin\nset 13 \"" + c.typed + "\"\ncmd 402\n"
                                "click 0\ncmd 401\nset 2 Jo\ncmd 402\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    std::string expect = rec("Martin", "A0000", " ", c.stored);
    expect.replace(expect.find("Martin\r\n") + 8, 0, "Jo");
    EXPECT_EQ(h.read(h.db() / "sociantes.data"), expect) << c.typed;
  }
}

TEST(FormText, InfoLabelsAreShownConverted) {
  ScratchHome h;
  make_db(h, "", "");
  h.write(h.db() / "sociantes.flg", "Cotis\xE9\r\nBoard\r\n\xC3\xA9t\xC3\xA9\r\nInfo-&&\r\n");
  DriverRun r = run_driver(h, "start\nshow form\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(r.has("flaglabel 1 \"Cotis\\xC3\\xA9\"")) << r.out;
  EXPECT_TRUE(r.has("flaglabel 2 \"Board\"")) << r.out;
  EXPECT_TRUE(r.has("flaglabel 3 \"\\xC3\\xA9t\\xC3\\xA9\"")) << r.out;
  EXPECT_TRUE(r.has("flaglabel 4 \"Info-&&\"")) << r.out;
}

}  // namespace
}  // namespace soc::test
