// File-system operations that must not lose data.
//
// Every rewrite of a data file goes through replace_file(): the new content is
// written to a sibling file in the same directory, flushed to the disk, and
// renamed over the target, so that at any moment either the old or the new
// file is complete. The sibling is "<target>.new-" followed by eight random
// letters and digits, created exclusively and never through a symbolic link,
// so that nobody who can write the directory can make a save write elsewhere.
// The replaced file keeps its permission bits and its group. The system calls
// used here can be replaced in tests (fs_ops) to inject a full disk or a
// failed rename, and from outside through SOCIANTES_FAULT (platform/fault.h).
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace soc {

// The system calls behind the functions below; tests may swap them (and
// SOCIANTES_FAULT does, see platform/fault.h).
struct FsOps {
  int (*open)(const char* path, int flags, mode_t mode);      // open(2) of a new file
  ssize_t (*write)(int fd, const void* buf, size_t n);        // write(2)
  int (*fsync)(int fd);                                       // fsync(2)
  int (*rename)(const char* from, const char* to);            // rename(2)
  std::string (*sibling_tag)();                               // eight random letters and digits
  int (*syncfs)(int fd);                                      // syncfs(2): the file system of fd to the disk
  ssize_t (*read)(int fd, void* buf, size_t n);               // read(2) of read_file
};
FsOps& fs_ops();          // the operations in use
void fs_ops_reset();      // back to the real system calls

// Writes content to a sibling of path, flushes it and renames it over path.
// The new file keeps the permission bits and group of the file it replaces
// (a new file: 0666 less the umask); a private file (mode, e.g. 0600) gets
// exactly those bits whatever the old file had.
// Returns 0 on success, 1 on failure (the old file, if any, is untouched).
inline constexpr mode_t kKeepMode = 0;   // replace_file: keep the replaced file's bits
int replace_file(const std::string& path, std::string_view content, mode_t mode = kKeepMode);

// Directories whose flush to the disk is left for later, so that several
// renames in one directory reach the disk with one flush. Each replacement
// given to it is old-or-new at every moment as before; the new file is only
// certain to survive a power cut once sync() has run (the destructor runs it
// too). Renames whose order matters across a power cut must not share one:
// flush before the step that relies on the earlier renames.
class DirSync {
 public:
  DirSync() = default;
  DirSync(const DirSync&) = delete;
  DirSync& operator=(const DirSync&) = delete;
  ~DirSync() { sync(); }
  // dir (with its final '/', "" = current) awaits a flush after path was put in it
  void add(const std::string& dir, const std::string& path);
  int sync();   // flushes each directory once and forgets them; 0 when every flush worked
 private:
  std::vector<std::pair<std::string, std::string>> dirs_;   // directories not flushed yet, last file put

};

// replace_file telling the failing step apart: 0 = done, kNotWritten = the
// new file could not be created, written or flushed, kNotRenamed = it could
// not be put in place (the old file is untouched in both cases). With later,
// the flush of the directory is left to it.
inline constexpr int kNotWritten = 1;
inline constexpr int kNotRenamed = 2;
int replace_steps(const std::string& path, std::string_view content, mode_t mode = kKeepMode,
                  DirSync* later = nullptr);
// The same with the content of another file (e.g. a copy built in the
// temporary directory). Returns 0 on success, 1 on failure.
int replace_file_from(const std::string& path, const std::string& source);

// Puts content at path through a sibling file and a rename (a new file: 0666
// less the umask; a symbolic link at path is replaced, never followed),
// without flushing it: for a batch of new files made durable at once with
// sync_fs(). The file is whole or absent, never short. 0 on success, 1 on
// failure (nothing then changed at path).
int write_file(const std::string& path, const std::string& content);
// Flushes to the disk what was written in the file system that holds dir
// (syncfs). 0 on success.
int sync_fs(const std::string& dir);

// Creates path holding content, in one step as other programs see it, so
// that path never exists empty or cut short. The content goes to a file
// without a name in path's directory (O_TMPFILE) that is then given path as
// its name; a program killed before leaves nothing. Where the file system
// has no such files (NFS, SMB), the content goes to a named sibling that is
// hard-linked to path and removed (a program killed before leaves the
// sibling); a link reported lost, as over NFS, is judged by the link count
// of the sibling. Without hard links path is created exclusively and then
// written. The file is created with open(2) itself and written through
// fs_ops().write.
enum class LinkNew {
  made,          // path now holds content
  exists,        // path was there already: nothing changed
  failed,        // err says why; nothing changed
};
LinkNew link_new(const std::string& path, std::string_view content, int& err);
void link_new_unnamed(bool on);   // tests: false skips the unnamed file (as on NFS)

// Sibling files left behind by a replacement that was killed: true when a
// directory entry name is one.
bool is_sibling_name(const std::string& name);
// Removes the siblings of path, whatever their age (only while nothing can
// be replacing path). Returns the number removed.
int remove_siblings(const std::string& path);
// Removes the siblings in directory dir (with a final '/') last modified at
// least min_age seconds before now. Returns the number removed.
int remove_old_siblings(const std::string& dir, std::time_t now, long min_age);

// Reads a whole file (one fstat and one read) into out, reusing its room;
// false when it cannot be opened, is no regular file (a directory, a device,
// a pipe) or a read fails part-way (out is then empty: a file cut short is
// never taken for the whole file).
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

// The names of the directory entries of dir that end in suffix.
std::vector<std::string> names_ending(const std::string& dir, const std::string& suffix);

bool is_dir(const std::string& path);

// Tells the allocator to keep the large buffers of whole-file reads and
// rewrites (megabytes for a big member file) when they are freed, instead of
// giving them back to the system and faulting them in afresh at the next
// operation. Called once at the start of each program.
void keep_large_buffers();
// 0 = created, 1 = failed (exists already, ...). mode before the umask.
int make_dir(const std::string& path, unsigned mode = 0777);

}  // namespace soc
