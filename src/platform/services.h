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
  // Starts an outside program on arg (a path, a URL, or "" for the editor alone).
  virtual void launch(Launch what, const std::string& arg) = 0;
};

// The real services: the system clock, real sleeps, outside programs
// started detached through the desktop (xdg-open). The GUI program refines
// the browser start.
class RealServices : public Services {
 public:
  std::time_t now() override;
  void sleep_ms(int ms) override;
  void launch(Launch what, const std::string& arg) override;
};

Services& sys();                      // the services in use
void set_services(Services* s);       // installed at start-up

// The local time of sys().now() broken down.
std::tm local_now();

}  // namespace soc
