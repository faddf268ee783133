// Helpers of the scheduler tests.
#include "spoolet_util.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <sys/wait.h>

#include "platform/print/prt.h"

namespace soc::test {

namespace fs = std::filesystem;

SpoolHome::SpoolHome(const std::string& printer_dat) {
  fs::create_directories(h_.tmp());
  if (!printer_dat.empty()) h_.write(h_.db() / "printer.dat", printer_dat + "\r\n");
}

std::string SpoolHome::mailing(const std::string& name, const std::string& text) const {
  h_.write(tmp() / name, text);
  return (tmp() / name).string();
}

DriverRun SpoolHome::run(const std::string& script, const std::vector<std::string>& args) const {
  const fs::path script_file = h_.path() / "script.txt";
  const fs::path out_file = h_.path() / "out.txt";
  h_.write(script_file, script);
  std::string cmd = "env -u XDG_CACHE_HOME HOME='" + h_.path().string() + "' CUPS_SERVER='" +
                    (h_.path() / "no-cups.sock").string() + "' '" SOC_SPOOLET "' --script '" +
                    script_file.string() + "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  cmd += " > '" + out_file.string() + "' 2>&1";
  DriverRun r;
  const int status = std::system(cmd.c_str());
  r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = h_.read(out_file);
  return r;
}

std::string letter(const std::vector<std::string>& lines, bool closed) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return closed ? s + "#\r\n" : s;
}

std::string labels_file(int top, int gap, int count) {
  std::string s = std::to_string(top) + "\r\n" + std::to_string(gap) + "\r\n";
  for (int k = 0; k < count; ++k) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Name%02d First\r\n%02d Street\r\n750%02d City\r\n#\r\n", k, k, k);
    s += buf;
  }
  return s;
}

int pdf_pages(const fs::path& pdf) {
  const std::string cmd = "pdfinfo '" + pdf.string() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(cmd.c_str(), "r"), ::pclose);
  if (!p) return 0;
  char line[256];
  while (std::fgets(line, sizeof line, p.get()))
    if (std::string(line).rfind("Pages:", 0) == 0) return std::atoi(line + 6);
  return 0;
}

void main_font_metrics(int& w, int& h) {
  const Font f = make_font("Courier New", kPageH / 72, false, false, true);
  select_font(f);
  const TextMetrics tm = text_metrics();
  w = tm.max_char_width;
  h = tm.height;
}

}  // namespace soc::test
