// What the fuzz targets share: the check of an invariant, a scratch home
// with the program's state and the scripted window system set up once per
// process, file helpers, a UTF-8 test and the splitting of one input into
// several texts.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "db/util.h"
#include "platform/fs.h"
#include "platform/scripted.h"
#include "platform/services.h"
#include "platform/window_system.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace soc::fuzz {

// A broken invariant: says which, then ends the process as a crash, so that
// libFuzzer keeps the input and the replay test fails.
[[noreturn]] inline void fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(c)                                     \
  do {                                                    \
    if (!(c)) ::soc::fuzz::fail(#c, __FILE__, __LINE__);  \
  } while (0)

// The scratch home of this process (with a final '/'), made at the first
// call (in /dev/shm unless TMPDIR says where) and removed at exit. HOME
// points at it, the cache lies inside it, and
// CUPS is pointed at a server that does not exist, so that no target waits
// for a print service. Files are not flushed to the disk (the targets check
// what is written, not that it survives a power cut), which makes the
// targets that rewrite files many times faster.
inline const std::string& scratch_home() {
  static const std::string home = [] {
    // In memory when the system has a tmpfs for it: the targets rewrite
    // files many times a second.
    const bool shm = ::access("/dev/shm", W_OK | X_OK) == 0 && !std::getenv("TMPDIR");
    std::string tmpl =
        ((shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
         "soc-fuzz-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) fail("mkdtemp", __FILE__, __LINE__);
    ::setenv("HOME", tmpl.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv("CUPS_SERVER", (tmpl + "/no-cups.sock").c_str(), 1);
    fs_ops().fsync = [](int) { return 0; };
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(getenv("HOME"), ec);
    });
    return tmpl + "/";
  }();
  return home;
}

// The scripted window system and services, writing nowhere, on virtual
// time. With window, the main window is created as at start-up (data
// directory, settings, lists): the state every command starts from.
inline ScriptedWindowSystem& program(bool window) {
  static std::ostream nowhere(nullptr);
  static ScriptedWindowSystem ws(nowhere);
  static ScriptedServices sys(nowhere);
  static const bool started = [window] {
    scratch_home();
    reset_program_state();
    set_window_system(&ws);
    set_services(&sys);
    get_home();
    if (window) wm_create();
    return true;
  }();
  (void)started;
  return ws;
}

inline void put_file(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) fail(("cannot write " + path).c_str(), __FILE__, __LINE__);
}

inline std::string get_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// 1 when s is valid UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
inline bool valid_utf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int more;
    unsigned cp;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { more = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { more = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { more = 3; cp = c & 0x07; }
    else return false;
    if (i + static_cast<std::size_t>(more) >= s.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = cp << 6 | (d & 0x3F);
    }
    if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

// A text as the program keeps it (shown) from the text as stored, cut to at
// most n bytes: a prefix, cut only when it had to be, and then only to
// leave out whole the one UTF-8 character that the cut would split; valid
// UTF-8 stays valid.
inline void check_cut(std::string_view stored, std::string_view shown, std::size_t n) {
  FUZZ_CHECK(shown.size() <= n);
  FUZZ_CHECK(stored.substr(0, shown.size()) == shown);
  if (valid_utf8(stored)) FUZZ_CHECK(valid_utf8(shown));
  if (shown.size() == stored.size() || shown.size() == n) return;
  FUZZ_CHECK(stored.size() > n && shown.size() + 3 >= n);
  FUZZ_CHECK(static_cast<unsigned char>(stored[shown.size()]) >= 0xC0);
  for (std::size_t i = shown.size() + 1; i <= n; ++i)
    FUZZ_CHECK((static_cast<unsigned char>(stored[i]) & 0xC0) == 0x80);
}

// The input cut into pieces at each occurrence of sep; at most max pieces
// (the last one keeps the rest, separators included).
inline std::vector<std::string> pieces(std::string_view in, std::string_view sep, std::size_t max) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (out.size() + 1 < max) {
    const std::size_t at = in.find(sep, pos);
    if (at == std::string_view::npos) break;
    out.emplace_back(in.substr(pos, at - pos));
    pos = at + sep.size();
  }
  out.emplace_back(in.substr(pos));
  return out;
}

}  // namespace soc::fuzz
