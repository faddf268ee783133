// Printing through a real CUPS: a private cupsd (its own configuration,
// spool, state and log directories under the test's temporary directory,
// listening on a loopback port) with one queue that prints PDF into a file.
// The cards reach it through printer.dat and through the CUPS default
// destination, and the PDF that comes out of the queue is checked. The test
// skips itself when cupsd cannot start here.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "driver/pdf_probe.h"
#include "driver/test_members_util.h"

extern char** environ;

namespace soc::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kCupsd = "/usr/sbin/cupsd";
const char* const kPdfPpd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

// A free loopback port, as the system hands one out.
int free_port() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

bool port_answers(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

// Waits up to limit for cond; true when it came.
template <class F>
bool wait_for(F cond, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (!cond()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The private print server.
class PrivateCups {
 public:
  PrivateCups() {
    std::string tmpl = (fs::temp_directory_path() / "soc-cups-XXXXXX").string();
    dir_ = ::mkdtemp(tmpl.data());
    // Filters run as another user when cupsd runs as root: they must reach
    // the spool and the PPD.
    ::chmod(dir_.c_str(), 0755);
    for (const char* d : {"spool", "tmp", "cache", "state", "log", "ppd", "out"})
      fs::create_directories(dir_ / d);
    port_ = free_port();
  }
  ~PrivateCups() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      if (!wait_for([this] { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; },
                    std::chrono::seconds(5))) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
      }
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Starts cupsd; "" when it answers on its port, else why not.
  std::string start() {
    if (::access(kCupsd, X_OK) != 0) return std::string(kCupsd) + " is not installed";
    if (!fs::exists(kPdfPpd)) return std::string("no PDF printer description ") + kPdfPpd;
    if (port_ == 0) return "no free loopback port";
    // An A4 printer, as the club's is: the page keeps its size and place.
    std::string ppd = slurp(kPdfPpd);
    for (const char* key : {"PageSize", "PageRegion", "ImageableArea", "PaperDimension"}) {
      const std::string from = std::string("*Default") + key + ": Letter";
      if (auto p = ppd.find(from); p != std::string::npos)
        ppd.replace(p, from.size(), std::string("*Default") + key + ": A4");
    }
    write("ppd/socq.ppd", ppd);
    write("cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port_) +
                            "\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                            "</Policy>\n");
    std::string files = "ServerRoot " + s("") + "\nRequestRoot " + s("spool") + "\nTempDir " +
                        s("tmp") + "\nCacheDir " + s("cache") + "\nStateDir " + s("state") +
                        "\nAccessLog " + s("log/access_log") + "\nErrorLog " + s("log/error_log") +
                        "\nPageLog " + s("log/page_log") + "\nPrintcap " + s("printcap") +
                        "\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice Yes\n";
    if (::getuid() != 0) {
      // Not root: cupsd and its filters run as this user.
      const passwd* pw = ::getpwuid(::getuid());
      const group* gr = ::getgrgid(::getgid());
      if (pw && gr) files += std::string("User ") + pw->pw_name + "\nGroup " + gr->gr_name + "\n";
    }
    write("cups-files.conf", files);
    write("printers.conf", "<DefaultPrinter socq>\nInfo Sociantes test queue\nMakeModel Generic PDF "
                           "Printer\nDeviceURI file://" + out().string() +
                           "\nState Idle\nAccepting Yes\n</DefaultPrinter>\n");
    const std::string conf = s("cupsd.conf"), files_conf = s("cups-files.conf");
    const char* argv[] = {kCupsd, "-f", "-c", conf.c_str(), "-s", files_conf.c_str(), nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    const std::string log = s("log/cupsd.out");
    posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    const int rc = posix_spawn(&pid_, kCupsd, &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
      pid_ = -1;
      return "cupsd could not be started";
    }
    const bool up = wait_for(
        [this] {
          return port_answers(port_) || ::waitpid(pid_, nullptr, WNOHANG) == pid_;
        },
        std::chrono::seconds(10));
    if (!up || !port_answers(port_)) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
      return "cupsd did not answer: " + slurp(dir_ / "log/cupsd.out") + slurp(dir_ / "log/error_log");
    }
    return "";
  }

  int port() const { return port_; }
  fs::path out() const { return dir_ / "out" / "job.pdf"; }
  std::string error_log() const {
    return slurp(dir_ / "log/error_log") + slurp(dir_ / "log/access_log") + slurp(dir_ / "log/page_log");
  }

 private:
  std::string s(const char* rel) const { return (dir_ / rel).string(); }
  void write(const char* name, const std::string& text) { std::ofstream(dir_ / name) << text; }

  fs::path dir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// Waits until the queue's output file holds a whole PDF with text (the PDF
// printer's description wraps it in printer job language lines).
bool printed(const PrivateCups& cups, const std::string& text) {
  return wait_for(
      [&] {
        const std::string pdf = slurp(cups.out());
        if (pdf.find("%PDF-") == std::string::npos || pdf.find("%%EOF") == std::string::npos)
          return false;
        PdfPage page(cups.out());
        return page.ok() && page.all_text().find(text) != std::string::npos;
      },
      std::chrono::seconds(30));
}

std::string member() {
  return "#\r\nDupont\r\nJean\r\n1 rue Haute\r\nRiverton\r\n75001\r\n01 02\r\nBaker\r\nFrench\r\n"
         "05 17 1961 @ Riverton\r\n\r\nID-1\r\nA0000\r\nChoir\r\n";
}

TEST(Cups, CardsPrintThroughAPrivateCupsd) {
  PrivateCups cups;
  const std::string why = cups.start();
  if (!why.empty()) GTEST_SKIP() << "cupsd cannot start here: " << why;
  ::setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(cups.port())).c_str(), 1);

  // printer.dat names the queue: no question, the record card comes out of it.
  ScratchHome h;
  make_db(h, member(), "Choir\r\n", "ref=A0001\r\n");
  h.write(h.db() / "printer.dat", "socq\r\n");
  DriverRun r = run_driver(h, "start\nclick 0\ncmd 413\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_TRUE(lines_with(r, "printdialog").empty()) << r.out;
  EXPECT_TRUE(lines_with(r, "box").empty()) << r.out;
  const std::string log = h.read(h.tmp() / "print_dbg.txt");
  for (const std::string& line :
       {std::string(" Found in <printer.dat> : socq\n"), std::string(" Printer: socq\n"),
        std::string(" Share: Sociantes test queue\n"), " Port: file://" + cups.out().string() + "\n",
        std::string(" Driver: Generic PDF Printer\n"), std::string(" server: 127.0.0.1\n"),
        std::string(" Fonts Ok. Char metrix: w=41 h=77\n All passed OK.\n")})
    EXPECT_NE(log.find(line), std::string::npos) << line << "in\n" << log;
  EXPECT_FALSE(fs::exists(h.tmp() / "print_job.pdf")) << "the spooled PDF is removed";
  ASSERT_TRUE(printed(cups, "RECORD CARD")) << log << cups.error_log();
  PdfPage rec(cups.out());
  EXPECT_EQ(rec.text_at(85 * 23, 23 * 24, kHalfMm), "RECORD CARD");
  EXPECT_EQ(rec.text_at(20 * 23, 52 * 24, kHalfMm), "Dupont");

  // Without printer.dat the CUPS default destination prints the member card.
  fs::remove(h.db() / "printer.dat");
  fs::remove(cups.out());
  r = run_driver(h, "start\nclick 0\ncmd 412\nquit\n");
  ASSERT_EQ(r.rc, 0) << r.out;
  EXPECT_NE(h.read(h.tmp() / "print_dbg.txt").find(" Default Printer: socq\n Name: socq\n"),
            std::string::npos);
  ASSERT_TRUE(printed(cups, "Signature:")) << cups.error_log();

  // The print dialog lists the server's destinations; the one chosen prints.
  h.write(h.db() / "printer.dat", "NO_AUTO\r\n");
  fs::remove(cups.out());
  r = run_driver(h, "start\nclick 0\nreply printer socq\ncmd 413\nquit\n");
  EXPECT_TRUE(r.has("printdialog \"socq\"")) << r.out;
  ASSERT_TRUE(printed(cups, "RECORD CARD")) << cups.error_log();
}

}  // namespace
}  // namespace soc::test
