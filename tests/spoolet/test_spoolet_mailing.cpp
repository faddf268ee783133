// The two programs meet: mailing files made by sociantes (through its
// driver) are printed end to end by spoolet on the path the main program
// starts it with.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driver/pdf_probe.h"
#include "driver/test_members_util.h"
#include "spoolet_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

TEST(SpooletMailing, LettersAndLabelsFromTheMainProgram) {
  int w = 0, h = 0;
  main_font_metrics(w, h);
  struct Case {
    const char* cmd;  // the main program's command
    const char* file; // the mailing file it makes
    int parts;        // parts spoolet prints
  };
  for (const Case c : {Case{"cmd 408", "A3507.qmd", 3}, Case{"cmd 27", "L3507.qmd", 1}}) {
    SCOPED_TRACE(c.file);
    SpoolHome s;
    make_db(s.home(), rec("Alpha", "A0000") + rec("Bravo", "A0001") + rec("Charlie", "A0002"),
            "Choir\r\n", "ref=A0003\r\n");
    const DriverRun d =
        run_driver(s.home(), std::string("clock 2026-12-08 14:35:07\nstart\nreply yes\n") + c.cmd + "\nquit\n");
    const std::string path = (s.tmp() / c.file).string();
    ASSERT_TRUE(d.has("launch scheduler \"" + path + "\"")) << d.out;

    const fs::path dir = s.home().path();
    const DriverRun r = s.run("reply pdf-dir " + dir.string() + "\ndelay 3\ncmd 400\ntick done\nshow status\n", path);
    EXPECT_TRUE(r.has("status \"Status: Ok Done: 3/3\"")) << r.out;
    EXPECT_FALSE(fs::exists(path));
    const char* names[] = {"Alpha", "Bravo", "Charlie"};
    for (int k = 0; k < 3; ++k) {
      const int job = c.parts == 3 ? k + 1 : 1;
      PdfPage p(dir / ("print-" + std::to_string(job) + ".pdf"));
      ASSERT_TRUE(p.ok());
      double x = 0, y = 0;
      ASSERT_TRUE(p.find(names[k], x, y)) << p.all_text();
      if (c.parts == 3) {
        // page_up 8 empty rows, then the name after page_lt 32 spaces.
        EXPECT_NEAR(y, h * 8 * 11 / 10, kHalfMm);
        // Monospaced: every character advances by the widest one, whose
        // width the metrics round down to whole units.
        EXPECT_NEAR(x, 8 * w + 32 * w, 2 * kHalfMm);
      } else {
        EXPECT_NEAR(y, 750 * (1 + k / 2), kHalfMm);
        EXPECT_NEAR(x, k % 2 == 0 ? 4960 / 20 : 4960 / 2 + 4960 / 20, kHalfMm);
      }
    }
  }
}

}  // namespace
}  // namespace soc::test
