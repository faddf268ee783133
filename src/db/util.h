// The data directory, path composition, settings and locks.
//
// Every file of the program is reached through the path composers below,
// which fill one current path (file_name). Settings are `key=value` lines of
// the settings file `.sociantes.rc`: the local one, or in network mode the one
// of the network data directory (the "network settings"). Workstations that
// share a data directory coordinate only through lock files: the lock on a
// file F is the presence of F with ".lck" appended.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace soc {

inline constexpr const char* kVersion = "sociantes_v3.4.2";   // layout version of the data directory
inline constexpr const char* kRcName = ".sociantes.rc";       // settings file name
inline constexpr std::size_t kRcLineMax = 254;                // longest settings line kept
inline constexpr long kScratchAge = 15 * 60;                   // seconds after which a sibling is a leftover

extern std::string home;       // the user's home directory, with a final '/'
extern std::string file_name;  // the current path, filled by the composers
extern std::string tmp_root;   // the private temporary directory, with a final '/'; "" when refused
extern int nfs;                // 1 = network mode
extern int type_id;            // identification mode 0..3
extern int dirs;               // 1 = member folders active
extern int bip;                // 1 = dialogs beep when they open
extern int info_flg;           // 1 = hints are shown
extern int listing_type;       // flag filter rule 0..4

// Path composers: each leaves its result in file_name.
void get_home();
void mk_fname(const std::string& name);     // local data directory + name
void mk_nfname(const std::string& name);    // network data directory in network mode, else local
void mk_tmp_fname(const std::string& name); // temporary directory + name

// File tests.
int chk_file();                                // nonzero when file_name is not a readable file
int is_this_file(const std::string& path);     // the same test on path
long get_file_len(const std::string& path);    // size in bytes, -1 when it cannot be opened

// Settings.
std::string getrc(const std::string& key);
int setrc(const std::string& key, const std::string& value);
// Several settings of the local settings file in one rewrite, each as setrc
// stores it (in the given order where a key is new). 1 on success, 0 when
// the file cannot be read or replaced (then none is stored).
using Setting = std::pair<std::string, std::string>;   // key, value
int setrc_many(const std::vector<Setting>& settings);
// setrc and setrc_many for a command of the user: a setting that cannot be
// stored is told (the settings file, and that nothing was stored). 1 on
// success, 0 on failure.
int save_rc(const std::string& key, const std::string& value);
int save_rc_many(const std::vector<Setting>& settings);
std::string getnrc(const std::string& key);
int setnrc(const std::string& key, const std::string& value);
void chk_options();
// The number at the start of text as atoi reads it (blanks, a sign, digits;
// 0 when there is none), held within lo..hi instead of wrapping.
long clamp_num(const std::string& text, long lo, long hi);

// Locks on the current path. The lock file records its owner (see README);
// a lock whose owner ran on this host and runs no more is removed by lock_f.
int lock_f();
int unlock_f();

// Removes the sibling files of replacements that were killed: in the data
// directories and the temporary directory those older than kScratchAge, and
// those of the member file and of the network settings at once when their
// lock can be taken without waiting. Shows nothing.
void clean_scratch();

// Start-up check and upgrades. check_db returns 0 = up to date, 1 =
// created, 2 = creation failed, 3 = upgraded, or one of the two below, whose
// explanation for the user is left in check_note.
inline constexpr int kCheckRcUnreadable = 4;  // the settings file cannot be read: nothing upgraded
inline constexpr int kCheckNotConverted = 5;  // the member file needed converting and was not
extern std::string check_note;                // what the last check_db has to tell the user; "" = nothing
int check_db();
int convert_options();
int upg2_6();   // 0 = converted or nothing to convert, 1 = failed, 2 = old layout but damaged
int mk_tmp_dir();   // creates the private temporary directory; 0 = usable

// Mode commands.
void mode_loc();
void mode_net();
void set_win_path();

// Resets every global of this module (tests).
void util_reset();

}  // namespace soc
