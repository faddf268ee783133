// The message function, the status line, and the dialog procedure: captions
// by template, input gathered by action, the completions' input rules.
#include "db/util.h"
#include "fixture.h"
#include "shell/dialog.h"

namespace soc {
namespace {

class Message : public test::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    get_home();
  }
};

TEST_F(Message, KindsThatShowNothing) {
  for (int kind : {8, 12, 20, 28, 30, 99}) {
    winfo("text", kind);
    EXPECT_EQ(take_output(), "") << "kind " << kind;
  }
  info_flg = 0;
  info("hint", 0);
  EXPECT_EQ(take_output(), "");
  info_flg = 1;
  info("hint", 0);
  EXPECT_EQ(take_output(), "info 0 \"hint\"\n");
  info("stop", 1);
  EXPECT_EQ(take_output(), "info 1 \"stop\"\n") << "boxes never beep";
}

TEST_F(Message, DialogsBeepOnlyWithBipOn) {
  bip = 0;
  info("q", 2);
  EXPECT_EQ(take_output(), "info 2 \"q\"\n");
  bip = 1;
  info("q", 2);
  EXPECT_EQ(take_output(), "beep\ninfo 2 \"q\"\n");
}

TEST_F(Message, LongTextIsCutTo511Bytes) {
  info(std::string(600, 'x'), 1);
  EXPECT_EQ(dlg_msg.size(), 511u);
}

TEST_F(Message, StatusLineByAction) {
  struct Case {
    int action;
    const char* text;
  } cases[] = {{0, "Action: Selection "}, {1, "Action: New "}, {2, "Action: Delete "},
               {3, "Action: Modify "}, {4, "Action: Search "}, {7, "Action: Label modification. "},
               {10, "Action: Address position "}, {11, "Action: grep "}, {14, "Action: Photo "},
               {16, "Action: Archives "}, {19, "Action: Naming  "}, {20, "Action: Export CSV "},
               {21, "Action: Import CSV  "}, {24, " Action: Parameters  "}, {27, "Print labels"},
               {28, "Flags"}, {34, "Action: Email"}, {32, "Action: Selection "},
               {5, "Action: Selection "}};
  for (const auto& c : cases) {
    task_in = c.action;
    EXPECT_EQ(status_text(), std::string(c.text) +
                                 "    Bip: On    Info: On    Net: Local   ID: [0]   Filters: ")
        << c.action;
  }
}

TEST(InputRules, LabelIsCutAndRightAligned) {
  EXPECT_EQ(label_from_input("Job"), std::string(18, ' ') + "Job");
  EXPECT_EQ(label_from_input("ABCDEFGHIJKLMNOPQRST"), std::string(6, ' ') + "ABCDEFGHIJKLMNO");
  EXPECT_EQ(label_from_input(""), std::string(21, ' '));
  // 14 ASCII bytes then a two-byte letter: the letter would straddle the cut.
  EXPECT_EQ(label_from_input("ABCDEFGHIJKLMN\xC3\xA9"), std::string(7, ' ') + "ABCDEFGHIJKLMN");
}

TEST(InputRules, NumberAsAtoiHeldWithinItsRange) {
  // Out of range numbers are held at the bound, never wrapped.
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"8", "8"}, {"007", "7"}, {"  12abc", "12"}, {"abc", "0"}, {"", "0"},
               {"+5", "5"}, {"-1", "0"}, {"-2147483648", "0"}, {"200", "200"}, {"201", "200"},
               {"4294967297", "200"}, {"99999999999999999999999", "200"}};
  for (const auto& c : cases) EXPECT_EQ(number_from_input(c.in), c.out) << c.in;
}

// A dialog run with one reply, seen from the dialog procedure.
class Routing : public Message {
 protected:
  void open(int action, int kind, Reply r) {
    task_in = action;
    ws_.replies.push_back(r);
    info("prompt", kind);
  }
};

TEST_F(Routing, DialogIsForgottenOnceItIsGone) {
  ws_.replies.push_back({Reply::close, {}, 0});
  info("question", 2);
  EXPECT_EQ(take_output(), "beep\ninfo 2 \"question\"\n");
  EXPECT_EQ(hdlg, nullptr);
}

TEST_F(Routing, ControlsAsTheDialogOpens) {
  auto text = [this](int id) {
    for (const auto& [i, t] : ws_.opened)
      if (i == id) return t;
    return std::string("<none>");
  };
  struct Case {
    int kind;
    const char* ok;     // caption of 1001
    const char* close;  // caption of 1004
  } cases[] = {{2, "Yes", "No"},     {3, "OK", " Close "}, {5, "<none>", " Close "},
               {6, "OK", " Close "}, {7, "<none>", "OK"},   {11, "OK", " Close "},
               {29, "OK", " Close "}};
  for (const auto& c : cases) {
    open(0, c.kind, {Reply::close, {}, 0});
    EXPECT_EQ(text(1001), c.ok) << c.kind;
    EXPECT_EQ(text(1004), c.close) << c.kind;
    EXPECT_EQ(c.kind == 7 ? "<none>" : text(1005), c.kind == 7 ? "<none>" : "prompt") << c.kind;
  }
  open(34, 11, {Reply::close, {}, 0});
  EXPECT_EQ(text(1071), "Identification");
  EXPECT_EQ(text(1073), "<none>") << "the third row is removed";
  EXPECT_EQ(text(1076), "<none>");
  open(26, 10, {Reply::close, {}, 0});
  EXPECT_EQ(text(1074), "30");
  EXPECT_EQ(text(1075), "30");
  tmp_str = "A B C D ";
  open(23, 3, {Reply::close, {}, 0});
  EXPECT_EQ(text(1003), "A B C D ") << "the info labels are prefilled";
}

TEST_F(Routing, SslDialogGathersTwoPartsAndServerKeepsEmptyParts) {
  open(34, 11, {Reply::ok, {{1074, "user"}, {1075, "secret"}}, 0});
  EXPECT_EQ(dlg_input, "user|secret");
  open(31, 11, {Reply::ok, {{1074, "smtp.example.org"}, {1075, ""}, {1076, "a@b.c"}}, 0});
  EXPECT_EQ(dlg_input, "smtp.example.org||a@b.c");
  open(26, 10, {Reply::ok, {{1074, "12345"}, {1075, "7"}}, 0});
  EXPECT_EQ(dlg_input, "123|7") << "three characters per field";
  open(29, 29, {Reply::ok, {{1074, "Subject"}, {1075, "/t/x.txt"}, {1076, "/t/a.pdf"}}, 0});
  EXPECT_EQ(dlg_input, "Subject|/t/x.txt");
  EXPECT_EQ(pdf_fname, "/t/a.pdf");
  open(32, 3, {Reply::ok, {{1003, std::string(600, 'y')}}, 0});
  EXPECT_EQ(dlg_input.size(), kInputMax);
  // entries whose prompt states a limit take no more
  open(19, 3, {Reply::ok, {{1003, std::string(600, 'y')}}, 0});
  EXPECT_EQ(dlg_input, std::string(20, 'y')) << "20 Letters max.";
  open(6, 3, {Reply::ok, {{1003, "abcdefghijklmnopqrs"}}, 0});
  EXPECT_EQ(dlg_input, "abcdefghijklmno") << "15 characters max.";
}

TEST_F(Routing, CloseEndsListedActionsAndKeepsEditActions) {
  std::filesystem::create_directories(db());
  for (int a : {6, 8, 19, 22, 32, 35}) {
    open(a, 3, {Reply::close, {}, 0});
    EXPECT_EQ(task_in, 0) << a;
  }
  for (int a : {1, 3, 20, 21}) {
    open(a, 3, {Reply::close, {}, 0});
    EXPECT_EQ(task_in, a) << "Close leaves action " << a;
  }
  for (int a : {6, 19, 28, 32}) {
    open(a, a == 28 ? 2 : 3, {Reply::closebox, {}, 0});
    EXPECT_EQ(task_in, 0) << "the title-bar close box is the close button, action " << a;
  }
  open(3, 5, {Reply::closebox, {}, 0});
  EXPECT_EQ(task_in, 3) << "as Close, the close box leaves an edit action";
}

// A running archive has greyed its buttons: the close box cannot abandon it,
// neither can a press of the greyed Close.
TEST_F(Routing, CloseBoxIsIgnoredWithoutACloseButtonToPress) {
  // An archive that runs greys OK and Close: the close box must not end it.
  task_in = 16;
  ws_.on_open = [](Dialog& d) {
    d.enable(1001, false);
    d.enable(1004, false);
  };
  ws_.replies.push_back({Reply::closebox, {}, 0});
  ws_.replies.push_back({Reply::close, {}, 0});
  info("prompt", 3);
  ws_.on_open = nullptr;
  EXPECT_EQ(task_in, 16);
  EXPECT_TRUE(ws_.replies.empty()) << "the dialog stayed open for every reply";
}

}  // namespace
}  // namespace soc
