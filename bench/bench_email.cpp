// The e-mail send beside msmtp: one message with a 1-MB PDF attachment to
// 999 recipients, sent to the same loopback SMTP server (aiosmtpd, as in the
// net tests) in the same run, by smtp_engine with pacing=no and by msmtp with
// the very bytes the server received from smtp_engine. The server's own work
// (it parses and stores every message) is in both figures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_util.h"
#include "db/util.h"
#include "mail/ssmtp.h"
#include "net/peer.h"
#include "platform/scripted.h"
#include "shell/dialog.h"
#include "shell/mainwin.h"
#include "shell/script.h"

namespace {

namespace fs = std::filesystem;
using namespace soc;

// The benchmark program with the message, its attachment and the recipients.
class Setup : public bench::BenchProgram {
 public:
  Setup() : home_(data_dir().parent_path()) {
    setrc("pacing", "no");
    std::mt19937 rng(7);
    std::string pdf = "%PDF-1.4\n";
    while (pdf.size() < (1u << 20)) pdf += static_cast<char>(rng() & 0xFF);
    std::ofstream(home_ / "doc.pdf", std::ios::binary) << pdf;
    std::string list;
    for (int i = 1; i <= 999; ++i) {
      rcpts_.push_back("member" + std::to_string(i) + "@example.org");
      list += rcpts_.back() + "\n";
    }
    std::ofstream(home_ / "list.txt", std::ios::binary) << list;
    std::string text;
    for (int i = 0; i < 40; ++i) text += "Line " + std::to_string(i) + " of the monthly letter.\n";
    std::ofstream(home_ / "msg.txt", std::ios::binary) << text;
  }
  int send(const test::SmtpPeer& peer) {
    server_name = "127.0.0.1:" + std::to_string(peer.port());
    hostname = "bench";
    sender = "club@example.org";
    pdf_fname = (home_ / "doc.pdf").string();
    std::FILE* t = std::fopen((home_ / "msg.txt").c_str(), "r");
    std::FILE* l = std::fopen((home_ / "list.txt").c_str(), "r");
    int r = smtp_engine("Monthly letter", nullptr, t, l);
    std::fclose(t);
    std::fclose(l);
    return r;
  }
  // msmtp with the message on its standard input; its exit status.
  int msmtp(const test::SmtpPeer& peer, const fs::path& message) {
    std::vector<std::string> argv = {"msmtp", "--host=127.0.0.1",
                                     "--port=" + std::to_string(peer.port()), "--tls=off",
                                     "--auth=off", "--from=club@example.org", "--domain=bench", "--"};
    argv.insert(argv.end(), rcpts_.begin(), rcpts_.end());
    pid_t pid = ::fork();
    if (pid == 0) {
      int fd = ::open(message.c_str(), O_RDONLY);
      ::dup2(fd, 0);
      std::vector<char*> v;
      for (auto& a : argv) v.push_back(a.data());
      v.push_back(nullptr);
      ::execvp("msmtp", v.data());
      ::_exit(127);
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  fs::path home_;  // the scratch home, removed with the program
  std::vector<std::string> rcpts_;
};

Setup& setup() {
  static Setup s;
  return s;
}
test::SmtpPeer& peer() {
  static test::SmtpPeer p;
  return p;
}
void BM_SmtpEngine999(benchmark::State& state) {
  if (!peer().skip().empty()) return state.SkipWithError(peer().skip().c_str());
  for (auto _ : state)
    if (setup().send(peer()) != 0) return state.SkipWithError("the send failed");
}

void BM_Msmtp999(benchmark::State& state) {
  if (!peer().skip().empty()) return state.SkipWithError(peer().skip().c_str());
  // The message as the server received it from smtp_engine.
  const fs::path msg = setup().home_ / "message.eml";
  if (!fs::exists(msg)) {
    setup().send(peer());
    std::ofstream(msg, std::ios::binary) << peer().got(1, "raw.eml");
  }
  for (auto _ : state)
    if (setup().msmtp(peer(), msg) != 0) return state.SkipWithError("msmtp failed (installed?)");
}

BENCHMARK(BM_SmtpEngine999)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Msmtp999)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
