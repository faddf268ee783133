// The spreadsheet export in the real window: the file selection gets the
// program's filter list and starts in the data directory, and the file chosen
// in it receives the export; a cancelled selection ends the import.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gui_fixture.h"
#include "shell/dialog.h"

namespace soc::test {
namespace {

TEST_F(GuiTest, FileSelectionFiltersAndAChosenFileReachTheExport) {
  start();
  std::ofstream(db() / "sociantes.data", std::ios::binary)
      << "#\r\nDupont\r\nJean\r\n\r\nParis\r\n\r\n\r\n\r\n\r\n\r\nx !\r\nID1\r\nA0000\r\nAB\r\n";
  const std::filesystem::path out = home_ / "export.csv";
  hook_.files.push_back(out.string());
  command(20);
  pump(100);
  EXPECT_EQ(hook_.file_selections, 1);
  EXPECT_EQ(hook_.file_wildcard,
            "Tous (*.*)|*.*|Texte (*.TXT)|*.txt|utf8 (*.UTF8)|*.utf8|QMD (*.QMD)|*.qmd|"
            "ASCII (*.ASC)|*.asc");
  EXPECT_EQ(hook_.file_dir, db().string() + "/");
  std::ifstream in(out, std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), "ID1;Dupont;Jean;;Paris;;;;;;x !;AB\r\n");
  EXPECT_EQ(task_in, 0);

  command(21);  // no answer queued: the selection is cancelled
  pump(50);
  EXPECT_EQ(hook_.file_selections, 2);
  EXPECT_EQ(task_in, 0);
}

}  // namespace
}  // namespace soc::test
