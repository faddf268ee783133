// Services of the operating system that the command code needs besides the
// window system: the clock and sleeping, and starting outside programs.
//
// Every wait of the program goes through sleep_ms(), and every reading of the
// time of day through now(), so that tests run on virtual time. Outside
// programs are started detached and never waited for.
#pragma once

#include <ctime>
#include <string>

namespace soc {

enum class Launch { editor, explorer, browser, scheduler, script };

class Services {
 public:
  virtual ~Services() = default;
  virtual std::time_t now() = 0;            // seconds since the epoch, local clock
  virtual void sleep_ms(int ms) = 0;        // one wait of the program
  // Starts an outside program on arg (a path, a URL, or "" for the editor
  // alone). Returns 0 when it was started, 1 when it could not be (no such
  // program); what it does afterwards is not waited for.
  virtual int launch(Launch what, const std::string& arg) = 0;
  // Starts the shell script at path with /bin/sh, detached. Returns 0 when
  // it was started; job then names it for end_group() (process.h).
  virtual int start_script(const std::string& path, int& job);
  // A wait while an outside process works (polling for its end): the
  // program's clock advances by ms as with sleep_ms().
  virtual void poll_ms(int ms) { sleep_ms(ms); }
};

// The shell command that starts the text editor alone: the desktop's
// application for plain text through gtk-launch, else $VISUAL, else the
// system's editor.
inline constexpr const char* kEditorAlone =
    "d=$(xdg-mime query default text/plain) && [ -n \"$d\" ] && command -v gtk-launch "
    ">/dev/null && exec gtk-launch \"${d%.desktop}\"; exec ${VISUAL:-editor}";

// The real services: the system clock, real sleeps, outside programs
// started detached through the desktop (xdg-open). The GUI program refines
// the browser start.
class RealServices : public Services {
 public:
  std::time_t now() override;
  void sleep_ms(int ms) override;
  int launch(Launch what, const std::string& arg) override;
};

Services& sys();                      // the services in use
void set_services(Services* s);       // installed at start-up

// The local time of sys().now() broken down.
std::tm local_now();

// Milliseconds of real time from a fixed point (a monotonic clock). Bounds on
// waits for outside processes are measured with it, also on virtual time.
long long steady_ms();

}  // namespace soc
