// Member records for the e-mail tests: field 6 holds telephone and address.
#pragma once

#include <string>

namespace soc::test {

inline std::string mail_rec(const std::string& name, const std::string& tel_email,
                            const std::string& ref, const std::string& rem,
                            const std::string& cat) {
  std::string s = "#\r\n" + name + "\r\n\r\n\r\n\r\n\r\n" + tel_email + "\r\n\r\n\r\n\r\n";
  return s + rem + "\r\n\r\n" + ref + "\r\n" + cat + "\r\n";
}

}  // namespace soc::test
