// The eight Flags > Set / Reset commands through sociantes-driver: each one
// adds or removes exactly its own flag character in the remarks of every
// member listed, and touches no other flag and no other field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_members_util.h"

namespace soc::test {
namespace {

// The records of a member file as their 13 fields, split at CR LF.
std::vector<std::vector<std::string>> records(const std::string& file) {
  std::vector<std::string> lines;
  std::size_t p = 0;
  while (p < file.size()) {
    std::size_t e = file.find("\r\n", p);
    if (e == std::string::npos) e = file.size();
    lines.push_back(file.substr(p, e - p));
    p = e + 2;
  }
  std::vector<std::vector<std::string>> v;
  for (std::size_t i = 0; i + 13 < lines.size() && lines[i] == "#"; i += 14)
    v.emplace_back(lines.begin() + static_cast<long>(i) + 1,
                   lines.begin() + static_cast<long>(i) + 14);
  return v;
}

TEST(FlagsCommands, EachSetsOrResetsExactlyItsFlagOnEveryMember) {
  const std::string members = rec("Adam", "A0000", "", "Choir") +
                              rec("Berg", "A0001", "!$%&", "Arts") +
                              rec("Cole", "A0002", "x & y $", "") +
                              rec("Dale", "A0003", "%", "Choir", "ID7");
  const auto before = records(members);
  ASSERT_EQ(before.size(), 4u);
  const char flags[4] = {'!', '$', '%', '&'};
  for (int command = 425; command <= 432; ++command) {
    const bool set = command <= 428;
    const char flag = flags[(command - 425) % 4];
    SCOPED_TRACE("command " + std::to_string(command) + (set ? " sets " : " resets ") + flag);
    ScratchHome h;
    make_db(h, members, "Arts\r\nChoir\r\n");
    DriverRun r = run_driver(h, "start\nreply yes\ncmd " + std::to_string(command) + "\nquit\n");
    ASSERT_EQ(r.rc, 0) << r.out;
    const auto after = records(h.read(h.db() / "sociantes.data"));
    ASSERT_EQ(after.size(), before.size()) << h.read(h.db() / "sociantes.data");
    for (std::size_t m = 0; m < before.size(); ++m) {
      for (std::size_t f = 0; f < 13; ++f) {
        if (f == 9) continue;  // the remarks, checked below
        EXPECT_EQ(after[m][f], before[m][f]) << "member " << m << " field " << f + 1;
      }
      const std::string& was = before[m][9];
      const std::string& now = after[m][9];
      for (char c : flags) {
        const bool had = was.find(c) != std::string::npos;
        const bool want = c == flag ? set : had;
        EXPECT_EQ(now.find(c) != std::string::npos, want)
            << "member " << m << " flag " << c << ": \"" << was << "\" -> \"" << now << "\"";
      }
    }
  }
}

}  // namespace
}  // namespace soc::test
