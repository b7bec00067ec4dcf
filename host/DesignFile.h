// Design files on disk: opening one into a stand-in session with the snapshot and top block to
// check, and saving a repaired session, either to a file of the user's choice or back onto the
// design file after keeping its previous content as <design>.bak. Every write is atomic: a reader
// sees the old file or the new one, never a part.
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

// Saves the session to `output`, replacing it, or, when `output` is empty or names the design
// file itself, back onto `designPath` after copying its current content to designPath + ".bak".
// `beforeReplace`, when set, is asked last, once the new file is written and synced and before the
// backup takes its place: a text it returns refuses the save. False with the reason in `error`;
// the design file (and its earlier backup, unless the refusal came after it was replaced) is then
// unchanged.
bool SaveDesignFile(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
                    std::string& error, const std::function<std::string()>& beforeReplace = nullptr);

// A copy of a file made ready to become its backup, path + ".bak": Prepare copies the file's
// content and permissions into a new file beside it, synced (unnamed where the file system allows
// it, else a named temporary file; such files left by a killed backup are removed by the next);
// Keep then puts it in the backup's place, replacing an earlier backup (the unnamed copy is linked
// just after the earlier backup is removed: the design still holds the content then). A copy that
// is not kept is removed.
class BackupCopy
{
public:
    BackupCopy() = default;
    ~BackupCopy();
    BackupCopy(const BackupCopy&) = delete;
    BackupCopy& operator=(const BackupCopy&) = delete;

    bool Prepare(const std::string& path, std::string& error);
    bool Keep(std::string& error);

private:
    std::string m_backup, m_temporary;
    bool m_unnamed = false;
    int m_fd = -1;
};

// path + suffix, when its last name fits the longest file name; else that name cut and given a
// hash of it whole before the suffix, so that every legal name has a sibling of its own.
std::string SiblingName(const std::string& path, const std::string& suffix);

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
