// The text documents in the real window: the label sheet dialog prefilled
// and stored, a template definition typed into its three entries, the
// mailing question with Yes and No, and the listing handed to the editor.
// Outside programs are recorded instead of started.
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/util.h"
#include "documents/documents.h"
#include "gui_fixture.h"
#include "platform/services.h"
#include "platform/wx/template_dialog.h"
#include "platform/wx/wx_text.h"
#include "shell/dialog.h"

namespace soc::test {
namespace {

using soc::wxui::Answer;
using soc::wxui::TemplateDialog;
using soc::wxui::u8;

// The real clock and sleeps; outside programs only written down.
class RecordingServices final : public RealServices {
 public:
  int launch(Launch what, const std::string& arg) override {
    launched.push_back(std::to_string(static_cast<int>(what)) + " " + arg);
    return 0;
  }
  std::vector<std::string> launched;  // "KIND ARG" per start
};

class DocumentsGui : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    set_services(&services_);
  }
  void TearDown() override {
    GuiTest::TearDown();
    set_services(nullptr);
  }
  std::string read(const std::filesystem::path& p) const {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::filesystem::path tmp() const { return home_ / ".cache/sociantes/tmp"; }
  RecordingServices services_;
};

TEST_F(DocumentsGui, LabelSheetDialogIsPrefilledAndStoresBothNumbers) {
  start();
  Answer a;
  a.inspect = [](TemplateDialog& d) {
    EXPECT_EQ(u8(d.FindWindow(1071)->GetLabel()), " 1st Position:");
    EXPECT_EQ(u8(d.FindWindow(1072)->GetLabel()), " Next Spaces:");
    EXPECT_EQ(u8(dynamic_cast<wxTextCtrl*>(d.FindWindow(1074))->GetValue()), "30");
    EXPECT_EQ(u8(dynamic_cast<wxTextCtrl*>(d.FindWindow(1075))->GetValue()), "30");
  };
  a.button = 1004;
  hook_.answers.push_back(a);
  command(26);
  ASSERT_FALSE(hook_.dialogs.empty());
  EXPECT_EQ(getrc("labels_up"), "");
  Answer ok;
  ok.entries = {{1074, "25"}, {1075, "40"}};
  ok.button = 1001;
  hook_.answers.push_back(ok);
  command(26);
  EXPECT_EQ(hook_.dialogs.back().rfind("MAPPING|\r\nLabels are printed by 2", 0), 0u);
  EXPECT_EQ(getrc("labels_up"), "25");
  EXPECT_EQ(getrc("labels_gap"), "40");
  EXPECT_EQ(task_in, 0);
}

TEST_F(DocumentsGui, TemplateDefinitionTypedInItsThreeEntries) {
  start();
  Answer a;
  a.entries = {{1074, "12"}, {1075, "0"}, {1076, "7"}};
  a.button = 1001;
  hook_.answers.push_back(a);
  command(435);
  EXPECT_EQ(read(db() / "form.data"), "3 12 0 7\r\n");
  EXPECT_EQ(task_in, 0);
}

TEST_F(DocumentsGui, MailingQuestionYesStartsTheSchedulerNoDeletesTheFile) {
  start();
  Answer no;
  no.button = 1004;
  hook_.answers.push_back(no);
  command(408);
  ASSERT_FALSE(hook_.dialogs.empty());
  EXPECT_EQ(hook_.dialogs.back().rfind("QUESTION| !!! WARNING !!! This function will start", 0), 0u);
  EXPECT_TRUE(services_.launched.empty());
  EXPECT_TRUE(std::filesystem::is_empty(tmp()));
  EXPECT_EQ(task_in, 0);

  Answer yes;
  yes.button = 1001;
  hook_.answers.push_back(yes);
  command(27);
  ASSERT_EQ(services_.launched.size(), 1u);
  EXPECT_EQ(services_.launched[0], "3 " + fmail);
  EXPECT_EQ(read(fmail), "30\r\n30\r\n");
  EXPECT_EQ(task_in, 0);
}

TEST_F(DocumentsGui, ListingIsHandedToTheEditor) {
  start();
  command(419);
  ASSERT_EQ(services_.launched.size(), 1u);
  EXPECT_EQ(services_.launched[0], "0 " + (db() / "listing.qmd").string());
  EXPECT_EQ(read(db() / "listing.qmd").substr(0, 81), std::string(79, '*') + "\r\n");
}

}  // namespace
}  // namespace soc::test
