// File-system operations that must not lose data.
//
// Every rewrite of a data file goes through replace_file(): the new content is
// written to a sibling file in the same directory, flushed to the disk, and
// renamed over the target, so that at any moment either the old or the new
// file is complete. The system calls used here can be replaced in tests
// (fs_ops) to inject a full disk or a failed rename.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <sys/types.h>

namespace soc {

// The system calls behind the functions below; tests may swap them.
struct FsOps {
  ssize_t (*write)(int fd, const void* buf, size_t n);        // write(2)
  int (*fsync)(int fd);                                       // fsync(2)
  int (*rename)(const char* from, const char* to);            // rename(2)
};
FsOps& fs_ops();          // the operations in use
void fs_ops_reset();      // back to the real system calls

// Writes content to a sibling of path, flushes it and renames it over path.
// The new file gets the permission bits mode (0600 for a private file).
// Returns 0 on success, 1 on failure (the old file, if any, is untouched).
int replace_file(const std::string& path, const std::string& content, mode_t mode = 0644);
// The same with the content of another file (e.g. a copy built in the
// temporary directory). Returns 0 on success, 1 on failure.
int replace_file_from(const std::string& path, const std::string& source);

// Reads a whole file; false when it cannot be opened.
bool read_file(const std::string& path, std::string& out);
// Splits text into lines, accepting CR LF or LF line ends; a final line
// without a line end counts, an empty tail does not.
std::vector<std::string> split_lines(const std::string& text);
// Reads a text file as lines; false when it cannot be opened.
bool read_lines(const std::string& path, std::vector<std::string>& lines);
// Joins lines with CR LF after each.
std::string join_crlf(const std::vector<std::string>& lines);

// Cuts s to at most n bytes without splitting a UTF-8 character.
std::string cut_utf8(const std::string& s, std::size_t n);

bool is_dir(const std::string& path);
int make_dir(const std::string& path);   // 0 = created, 1 = failed (exists already, ...)

}  // namespace soc
