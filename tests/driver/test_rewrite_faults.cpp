// Every rewrite of a data file, killed and failed: the program ended at each
// step of each replacement it makes (and at random moments), and the file
// layer failing as a full or broken disk does (no room for the new file, a
// short write, a failed flush, a failed rename, a failed flush of the
// directory). Each file is the old or the new one, the program starts again,
// and a failure is told with its step and never passes for a success.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "photo_images.h"
#include "test_members_util.h"

namespace soc::test {
namespace {

namespace fs = std::filesystem;

struct Rewrite {
  const char* name;                                  // the command
  std::function<bool(const ScratchHome&)> setup;     // the data before it; false = cannot be made
  std::string script;                                // the command as script lines
  std::vector<std::string> files;                    // files (in the data directory) it rewrites
  std::string target;                                // the file the faults strike (@NAME[#K])
  std::string written;                               // the message when the new file cannot be made
  std::string renamed;                               // the message when it cannot be put in place
};

const std::string kThree = rec("Adam", "A0000", "Note") + rec("Berg", "A0001") + rec("Cole", "A0002");

bool three(const ScratchHome& h, const std::string& extra_rc = "") {
  make_db(h, kThree, "Board\r\nChoir\r\n", "ref=A0003\r\npacing=no\r\n" + extra_rc);
  for (const char* r : {"A0000", "A0001", "A0002"})
    h.write(h.db() / (std::string(r) + ".dat"), std::string("history of ") + r + "\r\n");
  h.write(h.db() / "form.data", "1 1 5 3\r\n1 2 5 4\r\n");
  h.write(h.db() / "sociantes.flg", "A\r\nB\r\nC\r\nD\r\n");
  h.write(h.db() / "pass.crpt", "old secret");
  return true;
}

std::string member_written(const char* code) {
  return std::string("ERROR ") + code + " \\r\\n The temporary file cannot be written";
}
std::string member_renamed(const char* code) {
  return std::string("ERROR ") + code + " \\r\\n The member file cannot be replaced";
}

std::vector<Rewrite> rewrites() {
  auto same = [](const std::string& m) { return std::make_pair(m, m); };
  auto row = [](const char* name, std::function<bool(const ScratchHome&)> setup, std::string script,
                std::vector<std::string> files, std::string target,
                std::pair<std::string, std::string> msgs) {
    return Rewrite{name, std::move(setup), std::move(script), std::move(files), std::move(target),
                   msgs.first, msgs.second};
  };
  const auto plain = [](const ScratchHome& h) { return three(h); };
  const std::string start = "start\n";
  std::vector<Rewrite> v{
      row("New", plain, start + "cmd 400\nset 1 Dahl\ncmd 402\n",
          {"sociantes.data", ".sociantes.rc", "A0003.dat"}, "sociantes.data",
          {member_written("NEW_6"), member_renamed("NEW_7")}),
      row("Modify", plain, start + "click 0\ncmd 401\nset 1 Zorn\ncmd 402\n", {"sociantes.data"},
          "sociantes.data", {" ERROR 16 ", member_renamed("17")}),
      row("Delete", plain, start + "click 1\nreply yes\ncmd 403\ncmd 402\n", {"sociantes.data"},
          "sociantes.data", {member_written("7"), member_renamed("8")}),
      row("bulk flag Set", plain, start + "reply yes\ncmd 425\n", {"sociantes.data"}, "sociantes.data",
          {"ERROR FLG_2 \\r\\n The temporary file cannot be written",
           "ERROR FLG_3 \\r\\n The member file cannot be replaced"}),
      row("info labels", plain, start + "reply ok \"1003=Paid Board Mail Guest\"\ncmd 23\n",
          {"sociantes.flg"}, "sociantes.flg", same("The info labels file cannot be written")),
      row("settings", plain, start + "reply ok \"1003=Chess Club\"\ncmd 19\n", {".sociantes.rc"},
          ".sociantes.rc", same("The settings file cannot be written")),
      row("category added", plain, start + "reply ok 1003=Brass\ncmd 22\n", {"sociantes.cat"},
          "sociantes.cat", same("The categories file cannot be written")),
      row("category removed", plain, start + "reply ok 1003=Board\ncmd 33\n", {"sociantes.cat"},
          "sociantes.cat", same("The categories file cannot be written")),
      row("template field added", plain, start + "reply ok 1074=2 1075=0 1076=69\ncmd 433\n",
          {"form.data"}, "form.data", same("The document cannot be written")),
      row("template field deleted", plain, start + "reply ok 1003=1\ncmd 437\n", {"form.data"},
          "form.data", same("The template definitions cannot be written")),
      row("password stored", plain, start + "reply ok 1074=login 1075=pw\ncmd 34\n", {"pass.crpt"},
          "pass.crpt", same("The password file cannot be written")),
      row("import", [](const ScratchHome& h) {
            three(h);
            h.write(h.path() / "in.csv", "Eady;;;;;;;;;;;\r\nFinn;;;;;;;;;;;\r\nAbel;;;;;;;;;;;\r\n");
            return true;
          },
          "start\nreply file " + std::string("IN_CSV") + "\ncmd 21\n",
          {"sociantes.data", ".sociantes.rc", "A0003.dat", "A0004.dat", "A0005.dat"},
          "sociantes.data", same("ERROR I07 \\r\\n The member file cannot be replaced")),
      row("import counter", [](const ScratchHome& h) {
            three(h);
            h.write(h.path() / "in.csv", "Eady;;;;;;;;;;;\r\n");
            return true;
          },
          "start\nreply file IN_CSV\ncmd 21\n", {"sociantes.data", ".sociantes.rc", "A0003.dat"},
          ".sociantes.rc", same("ERROR NEW_15 \\r\\n The reference counter cannot be advanced")),
      row("archive: history copied", plain, start + "reply ok 1003=JAN\ncmd 16\n",
          {"A0000.dat", "A0001.dat", "A0002.dat", "archives.aff/JAN/A0001.dat",
           "archives.aff/JAN/sociantes.data", "archives.aff/JAN/.sociantes.rc"},
          "A0001.dat", same(" ERROR 101 ")),
      row("archive: history renewed", plain, start + "reply ok 1003=JAN\ncmd 16\n",
          {"A0001.dat"}, "A0001.dat#2", same(" ERROR 102 ")),
      row("archive: member file", plain, start + "reply ok 1003=JAN\ncmd 16\n",
          {"archives.aff/JAN/sociantes.data"}, "sociantes.data", same(" ERROR 103 ")),
      row("photo", [](const ScratchHome& h) {
            three(h);
            return have_convert() &&
                   make_picture(h.path() / "me.jpg", 100, 100, [](int x, int) { return x * 2; });
          },
          "start\nclick 0\nreply file ME_JPG\ncmd 14\n", {"photos/A0000.xpm"}, "A0000.xpm",
          same("The photo file can't be written")),
  };
  return v;
}

// The script of r for the home h (the paths of its input files filled in).
std::string script_for(const Rewrite& r, const ScratchHome& h) {
  std::string s = r.script;
  for (const auto& [mark, file] : {std::pair<std::string, std::string>{"IN_CSV", "in.csv"},
                                   {"ME_JPG", "me.jpg"}})
    if (const auto at = s.find(mark); at != std::string::npos)
      s.replace(at, mark.size(), (h.path() / file).string());
  return s;
}

// The contents of the files of r ("<none>" for a missing file).
std::vector<std::string> contents(const Rewrite& r, const ScratchHome& h) {
  std::vector<std::string> v;
  for (const auto& f : r.files)
    v.push_back(fs::exists(h.db() / f) ? h.read(h.db() / f) : "<none>");
  return v;
}

DriverRun run_with(const ScratchHome& h, const char* var, const std::string& value,
                   const std::string& script) {
  ::setenv(var, value.c_str(), 1);
  DriverRun r = run_driver(h, script);
  ::unsetenv(var);
  return r;
}

// Each file of r in h is the old or the new one, and the program starts
// on what the ending left (a member file it reads whole).
void expect_old_or_new(const Rewrite& r, const ScratchHome& h, const std::vector<std::string>& before,
                       const std::vector<std::string>& after, const std::string& what) {
  const std::vector<std::string> now = contents(r, h);
  for (std::size_t i = 0; i < r.files.size(); ++i)
    EXPECT_TRUE(now[i] == before[i] || now[i] == after[i])
        << what << ": " << r.files[i] << " is neither old nor new:\n" << now[i];
  // Every member stored has its history file (a New is never half done).
  const std::string members = h.read(h.db() / "sociantes.data");
  for (std::size_t p = 0; (p = members.find("\r\nA0", p)) != std::string::npos; p += 2) {
    const std::string ref = members.substr(p + 2, 5);
    EXPECT_TRUE(fs::exists(h.db() / (ref + ".dat"))) << what << ": no history file for " << ref;
  }
  DriverRun again = run_driver(h, "start\nshow list\nshow action\n");
  EXPECT_EQ(again.rc, 0) << what << "\n" << again.out;
  EXPECT_TRUE(again.has("action 0")) << what << "\n" << again.out;
  EXPECT_EQ(again.out.find("damaged"), std::string::npos) << what << "\n" << again.out;
  EXPECT_GE(lines_with(again, "row ").size(), 2u) << what << "\n" << again.out;
}

// Ends the rewrites [first, last) of the table at each step and at random
// moments.
void crash_rewrites(std::size_t first, std::size_t last) {
  int kills = 0, inside = 0;
  std::mt19937 rng(20261209 + static_cast<unsigned>(first));
  const std::vector<Rewrite> table = rewrites();
  for (std::size_t row = first; row < last && row < table.size(); ++row) {
    const Rewrite& r = table[row];
    ScratchHome clean;
    if (!r.setup(clean)) {
      std::printf("[ skipped  ] %s: its input cannot be made (ImageMagick's convert)\n", r.name);
      continue;
    }
    const std::vector<std::string> before = contents(r, clean);
    const auto t0 = std::chrono::steady_clock::now();
    DriverRun ok = run_driver(clean, script_for(r, clean));
    const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - t0).count());
    ASSERT_EQ(ok.rc, 0) << r.name << "\n" << ok.out;
    EXPECT_TRUE(lines_with(ok, "info 1 ").empty()) << r.name << "\n" << ok.out;
    const std::vector<std::string> after = contents(r, clean);
    ASSERT_NE(before, after) << r.name << " changes nothing";

    // Each replacement the command makes, ended before and after its rename,
    // and each member of an archive.
    for (const char* point :
         {"replace:written", "replace:renamed", "write:written", "archive:history"}) {
      for (int k = 1; k <= 20; ++k) {
        ScratchHome h;
        r.setup(h);
        const std::string at = std::string(point) + "#" + std::to_string(k);
        DriverRun run = run_with(h, "SOCIANTES_CRASH_AT", at, script_for(r, h));
        if (run.rc != 86) {
          EXPECT_EQ(run.rc, 0) << r.name << " " << at << "\n" << run.out;
          break;
        }
        ++kills;
        expect_old_or_new(r, h, before, after, std::string(r.name) + " ended at " + at);
      }
    }
    // And at random moments of a run of the command on real time.
    for (int round = 0; round < 2; ++round) {
      ScratchHome h;
      r.setup(h);
      h.write(h.path() / "script.txt", script_for(r, h));
      const pid_t pid = ::fork();
      if (pid == 0) {
        ::setenv("HOME", h.path().c_str(), 1);
        ::unsetenv("XDG_CACHE_HOME");
        const int fd = ::open((h.path() / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::execl(SOC_DRIVER, SOC_DRIVER, (h.path() / "script.txt").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(
          std::uniform_int_distribution<long>(0, (ms + 1) * 1000)(rng)));
      ::kill(pid, SIGKILL);
      int status = 0;
      ::waitpid(pid, &status, 0);
      ++kills;
      if (WIFSIGNALED(status)) ++inside;
      expect_old_or_new(r, h, before, after, std::string(r.name) + " killed, round " +
                                                 std::to_string(round));
    }
  }
  std::printf("[ info     ] %d programs ended inside a rewrite (%d of the random kills landed "
              "before the end)\n", kills, inside);
}

// Three parts of the table, each well within the time limit of a test.
TEST(RewriteCrash, EveryStepOfTheMemberAndSettingsRewritesLeavesTheOldOrTheNewFile) {
  crash_rewrites(0, 8);
}

TEST(RewriteCrash, EveryStepOfTheTemplateImportAndPasswordRewritesLeavesTheOldOrTheNewFile) {
  crash_rewrites(8, 13);
}

TEST(RewriteCrash, EveryStepOfTheArchiveAndPhotoRewritesLeavesTheOldOrTheNewFile) {
  crash_rewrites(13, 100);
}

TEST(RewriteFaults, AFailingDiskKeepsTheOldFileAndTellsTheStep) {
  struct Fault {
    const char* spec;   // OP:WHAT of SOCIANTES_FAULT
    bool renamed;       // the step fails after the new file was written
    bool in_place;      // the new file is in place all the same
  } faults[] = {{"open:ENOSPC", false, false},  {"write:ENOSPC", false, false},
                {"write:short", false, false},  {"fsync:EIO", false, false},
                {"rename:EIO", true, false},    {"rename:EACCES", true, false},
                {"dirsync:EIO", false, true}};
  int injected = 0;
  for (const Rewrite& r : rewrites()) {
    ScratchHome clean;
    if (!r.setup(clean)) {
      std::printf("[ skipped  ] %s: its input cannot be made (ImageMagick's convert)\n", r.name);
      continue;
    }
    ASSERT_EQ(run_driver(clean, script_for(r, clean)).rc, 0) << r.name;
    for (const Fault& f : faults) {
      const std::string what = std::string(r.name) + " with " + f.spec;
      ScratchHome h;
      r.setup(h);
      // The file the fault strikes: the first of the row's files of that name.
      const std::string name = r.target.substr(0, r.target.find('#'));
      std::size_t i = 0;
      while (i < r.files.size() && fs::path(r.files[i]).filename() != name) ++i;
      ASSERT_LT(i, r.files.size()) << what;
      const std::string old = contents(r, h)[i];
      DriverRun run = run_with(h, "SOCIANTES_FAULT", std::string(f.spec) + "@" + r.target,
                               script_for(r, h) + "show action\n");
      ++injected;
      EXPECT_EQ(run.rc, 0) << what << "\n" << run.out;
      EXPECT_TRUE(run.has("action 0")) << what << "\n" << run.out;
      if (f.in_place) {
        // The new file was put in place before the flush failed: the save
        // took place and is not reported as failed (it would be made twice).
        EXPECT_EQ(contents(r, h)[i], contents(r, clean)[i]) << what;
        EXPECT_TRUE(lines_with(run, "info 1 ").empty()) << what << "\n" << run.out;
      } else {
        EXPECT_EQ(contents(r, h)[i], old) << what << ": the old file did not stay";
        const std::string& msg = f.renamed ? r.renamed : r.written;
        bool told = false;
        for (const auto& l : lines_with(run, "info 1 "))
          told = told || l.find(msg) != std::string::npos;
        EXPECT_TRUE(told) << what << ": no message with \"" << msg << "\"\n" << run.out;
      }
      std::vector<std::string> left;
      for (const auto& e : fs::recursive_directory_iterator(h.db()))
        if (e.path().filename().string().find(".new-") != std::string::npos)
          left.push_back(e.path().string());
      EXPECT_TRUE(left.empty()) << what << ": " << left.front();
    }
  }
  std::printf("[ info     ] %d faults injected\n", injected);
}

// Guards the history files of an import: a disk that fills up while one is
// written used to leave it short (truncated in place); it is now whole or
// absent, and the import stops with its message.
TEST(RewriteFaults, AHistoryFileOfAnImportIsWholeOrAbsent) {
  const auto import = [](const ScratchHome& h, const char* spec) {
    three(h);
    h.write(h.path() / "in.csv", "Eady;;;;;;;;;;;\r\nFinn;;;;;;;;;;;\r\nAbel;;;;;;;;;;;\r\n");
    return run_with(h, "SOCIANTES_FAULT", spec,
                    "start\nreply file " + (h.path() / "in.csv").string() + "\ncmd 21\nshow action\n");
  };
  ScratchHome clean;
  ASSERT_TRUE(import(clean, "").has("action 0"));
  const std::string whole = clean.read(clean.db() / "A0003.dat");
  ASSERT_GT(whole.size(), 100u);
  for (const char* spec : {"write:short@A0004.dat", "write:ENOSPC@A0004.dat", "rename:EIO@A0004.dat"}) {
    ScratchHome h;
    DriverRun run = import(h, spec);
    EXPECT_TRUE(run.has("action 0")) << spec << "\n" << run.out;
    EXPECT_TRUE(run.has("info 1 \" ERROR I08 \"")) << spec << "\n" << run.out;
    EXPECT_FALSE(fs::exists(h.db() / "A0004.dat")) << spec << ": " << h.read(h.db() / "A0004.dat");
    EXPECT_EQ(h.read(h.db() / "A0003.dat"), whole) << spec;
    EXPECT_FALSE(fs::exists(h.db() / "A0005.dat")) << spec;
    for (const auto& e : fs::directory_iterator(h.db()))
      EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos)
          << spec << ": " << e.path();
  }
  // Guards the flush of the history files: a failed flush used to go
  // unnoticed and the import reported success. Now nothing is imported.
  ScratchHome h;
  const std::string members = (three(h), h.read(h.db() / "sociantes.data"));
  const std::string rc = h.read(h.db() / ".sociantes.rc");
  DriverRun run = import(h, "syncfs:EIO");
  EXPECT_TRUE(run.has("action 0")) << run.out;
  EXPECT_TRUE(run.has("info 1 \" ERROR I08 \\r\\n The history files cannot be written to the disk. "
                      "\\r\\n Nothing was imported. \"")) << run.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), members);
  EXPECT_EQ(h.read(h.db() / ".sociantes.rc"), rc);
}

// Regression: a read of the member file that failed part-way (a network
// share that drops) gave the bytes read so far as the whole file, and the
// next save wrote the members after them away.
TEST(RewriteFaults, AReadThatFailsPartWayIsNoFile) {
  ScratchHome h;
  three(h);
  const std::string members = h.read(h.db() / "sociantes.data");
  DriverRun run = run_with(h, "SOCIANTES_FAULT", "read:EIO@sociantes.data",
                           "start\ncmd 400\nset 1 Dahl\ncmd 402\nshow action\n"
                           "reply yes\ncmd 425\nshow action\n");
  EXPECT_TRUE(run.has("info 1 \"FATAL ERROR\\r\\nNo access to the database\"")) << run.out;
  EXPECT_TRUE(run.has("info 1 \" ERROR NEW_3\"")) << run.out;
  EXPECT_EQ(lines_with(run, "action 0").size(), 2u) << run.out;
  EXPECT_EQ(h.read(h.db() / "sociantes.data"), members);
}

}  // namespace
}  // namespace soc::test
