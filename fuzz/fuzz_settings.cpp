// Fuzz target of the settings file: getrc over any file content, and setrc /
// setrc_many rewriting it. The input is a key line, a value line and the
// file content. Storing a value makes getrc return it (its first line, as
// far as a settings line is kept), leaves every other setting readable with
// its old value, stores nothing twice (a second identical setrc changes no
// byte), and several settings in one rewrite give the same file as one
// setrc after the other.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "fuzz_env.h"
#include "platform/fs.h"

namespace {

using namespace soc;

// A key as the program spells keys: lower case letters, digits and '_'.
std::string as_key(const std::string& s, const char* dflt) {
  std::string k;
  for (char c : s)
    if (((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') && k.size() < 20) k += c;
  return k.empty() ? dflt : k;
}

// What getrc gives for key after setrc(key, value).
std::string stored(const std::string& key, const std::string& value) {
  const std::string line = (key + "=" + value.substr(0, value.find_first_of("\r\n"))).substr(0, kRcLineMax);
  return line.substr(key.size() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::program(false);
  const auto p = fuzz::pieces(std::string_view(reinterpret_cast<const char*>(data), size), "\n", 3);
  const std::string key = as_key(p[0], "ref");
  const std::string value = p.size() > 1 ? p[1] : "";
  const std::string content = p.size() > 2 ? p[2] : "";
  mk_fname(kRcName);
  const std::string path = file_name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());

  // Every key the file names, with the value getrc finds for it.
  fuzz::put_file(path, content);
  std::map<std::string, std::string> before;
  for (const std::string& line : split_lines(content)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    const std::string k = line.substr(0, eq);
    if (k != key && !before.count(k)) before[k] = getrc(k);
  }

  FUZZ_CHECK(setrc(key, value) == 1);
  FUZZ_CHECK(getrc(key) == stored(key, value));
  for (const auto& [k, v] : before) FUZZ_CHECK(getrc(k) == v);
  const std::string once = fuzz::get_file(path);
  FUZZ_CHECK(setrc(key, value) == 1);
  FUZZ_CHECK(fuzz::get_file(path) == once);
  FUZZ_CHECK(split_lines(once).size() <= split_lines(content).size() + 1);

  // Two settings in one rewrite, and one after the other.
  const std::string key2 = key == "network" ? "bip" : "network";
  const std::string value2 = value.substr(value.size() / 2);
  fuzz::put_file(path, content);
  FUZZ_CHECK(setrc_many({{key, value}, {key2, value2}}) == 1);
  const std::string many = fuzz::get_file(path);
  FUZZ_CHECK(getrc(key) == stored(key, value) && getrc(key2) == stored(key2, value2));
  fuzz::put_file(path, content);
  FUZZ_CHECK(setrc(key, value) == 1 && setrc(key2, value2) == 1);
  FUZZ_CHECK(fuzz::get_file(path) == many);
  return 0;
}
