// Faults of the file layer on demand, for the tests of failed saves.
//
// When the environment variable SOCIANTES_FAULT is set, the system calls
// behind replace_file and write_file (fs_ops) are wrapped so that one of them
// fails as a full or broken disk would make it fail:
//
//   SOCIANTES_FAULT=OP:WHAT[@NAME][#K]
//
// OP is open (creating the new file), write, fsync (the new file), dirsync
// (the directory after the rename), rename or syncfs (the flush of a batch
// of new files, such as an import's history files), or read (read_file: the
// first failing read gives half of what it was asked, as a share that drops
// in the middle of a file). WHAT is an errno name (ENOSPC,
// EIO, EACCES, EROFS, EDQUOT, EPERM) or, for write, "short": half of the
// bytes are written and every later write fails with ENOSPC, as when the disk
// fills up in the middle. With @NAME only the calls for files of that name
// count (a leading '*' matches the end of the name: @*.dat); without it,
// every call, lock files included. The K-th counted call (1 = the first, the
// default) fails and so does every later one: a full disk stays full.
// Without the variable nothing is wrapped.
#pragma once

#include <string>

namespace soc {

struct FsOps;

// Reads SOCIANTES_FAULT and wraps the calls of ops accordingly (nothing
// without the variable). The file layer calls it before its first system
// call and at every fs_ops_reset().
void fault_setup(FsOps& ops);
// The file the calls that follow are made for ("" = none known), so that a
// fault given with @NAME strikes only there.
void fault_target(const std::string& path);
// How many calls the fault has made fail so far.
long fault_hits();

}  // namespace soc
