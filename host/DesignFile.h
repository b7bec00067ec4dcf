// Design files on disk: opening one into a stand-in session with the snapshot and top block to
// check, and saving a repaired session, either to a file of the user's choice or back onto the
// design file after keeping its previous content as <design>.bak; the paths of the files a command
// reads and writes. Every write is atomic: a reader sees the old file or the new one, never a part.
#pragma once

#include "lumopi/StandIn.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace KravikHost {

struct OpenDesign
{
    std::unique_ptr<Lumo::LumoPI> session;
    std::string snapshot;
    std::string topBlock;
};

// Loads the file and settles the snapshot (the named one, or the file's first) and the top block
// (the named one, or the first configuration's of that snapshot). False with the reason in `error`
// when the file cannot be read or loaded, or the snapshot or top block does not exist. `progress`,
// when set, hears how far the load has come.
bool OpenDesignFile(const std::string& path, const std::string& snapshot, const std::string& topBlock,
                    OpenDesign& design, std::string& error,
                    const Lumo::StandIn::LoadProgressHook& progress = nullptr);

class DesignLock;

// Saves the session to `output`, or, when `output` is empty or names the design's own path (by
// another spelling or a symbolic link), in place onto `designPath`, keeping the design's current
// content as designPath + ".bak". A save writes through symbolic links: their final target is replaced
// and keeps its mode.
//
// The new file, and in place the copy of the design that becomes the backup, are written, synced
// and named beside the files they replace (and an older backup gets a second name, or a copy, that
// keeps it, unless it is the design itself under another name), all before `lastCheck`, which is
// asked last: a text it returns refuses the save. After it come
// only renames: the backup into place, then the design (or the output; an output that did not
// exist is created only where no file has appeared since). A step that fails undoes the ones
// before, so that on false (the reason in `error`) the design, its backup, the output and every
// other file are as they were; a kill leaves each of them old or new. The temporary files are
// named "." + name + ".kravik-" and six characters; before naming them the save records them in
// `lock`'s file (when given), so that the next writer removes those a killed save left, and only
// those.
bool SaveDesignFile(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
                    DesignLock* lock, std::string& error, const std::function<std::string()>& lastCheck = nullptr);

// Whether `path` is a name that a save onto `file` gives its temporary files: "." + the name +
// ".kravik-" and six letters or digits, beside the file a link of `file` leads to, and for a save in
// place also "." + the name + ".bak.kravik-" and six beside DESIGN.bak (names cut as SiblingName cuts
// them).
bool IsSaveTemporary(const std::string& path, const std::string& file, bool inPlace);

// Whether a save with this --output (empty: none) goes onto the design itself: the same path once
// resolved. A hard link of the design is another path.
bool SavesInPlace(const std::string& designPath, const std::string& output);

// path + suffix, when its last name fits the longest file name; else that name cut and given a
// hash of it whole before the suffix, so that every legal name has a sibling of its own.
std::string SiblingName(const std::string& path, const std::string& suffix);

// The absolute path of `path`, its folder resolved where it exists (else "." and ".." taken out as
// written) and its last name kept as it is, a link or not.
std::string AbsolutePath(const std::string& path);

// The absolute path of the file that `path` names: the links of its last name followed (even to a
// file not there yet) and those of its folder resolved where the folder exists (else "." and ".."
// taken out as written), so that spellings and links of a file not yet created compare equal.
std::string ResolvedPath(const std::string& path);

// Whether the two paths name one file: one existing file (by device and inode, so links and other
// spellings are caught) or, when neither exists yet, one path once resolved (ResolvedPath).
bool SameFile(const std::string& a, const std::string& b);

// Why a design cannot be saved onto `path`: "not a regular file" for an existing device, FIFO,
// folder or socket (a save replaces the file). Empty for a regular file or a new path.
std::string UnsavablePath(const std::string& path);

// A file a command reads or writes, with what it is for the user ("the design", "the log").
struct CommandFile
{
    std::string path; // empty: not given
    const char* what;
};

// Why writing the outputs would destroy an input or another output: "the log would overwrite the
// constraints file". Files are compared by device and inode, so links and other spellings of one
// file are caught. Empty when every output is a file of its own. The saved design may be the
// design file itself (a save in place keeps a backup), so the caller leaves that pair out.
std::string OverwrittenFile(const std::vector<CommandFile>& inputs, const std::vector<CommandFile>& outputs);

} // namespace KravikHost
