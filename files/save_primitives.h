#pragma once
// The small steps a save is made of, one platform at a time
// (save_primitives_posix.cpp, save_primitives_windows.cpp). Each step does
// what it is told and reports how it went; what to do about a failure is
// decided by the save policy (save_policy.cpp) alone. Tests put a fake in
// their place that fails any one step.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zentab {

using Bytes = std::vector<std::uint8_t>;

// How a step went. Apart from kOk and kFailed, each outcome names a case
// the policy has a way around.
enum class Outcome {
    kOk,
    kFailed,         // an error; reason says which
    kRefused,        // the folder takes no new file (permission, read-only)
    kUnsupported,    // this system cannot do it here (no unnamed files, no folder sync)
    kCannotReplace,  // a rename cannot replace this file (held open, bind mount)
};

struct Status {
    Outcome outcome = Outcome::kOk;
    std::string reason;  // the platform's text for a failure

    bool ok() const { return outcome == Outcome::kOk; }
    static Status Ok() { return {}; }
};

// What the file a save names turns out to be, links resolved.
struct SaveTarget {
    enum class Kind { kMissing, kRegular, kFolder, kOther };
    Kind kind = Kind::kMissing;
    std::filesystem::path file;    // the name to write: the final target of any link
    std::filesystem::path folder;  // the folder holding it
    bool readOnly = false;         // no write permission bit (or the read-only attribute)
    bool renameKeepsAll = false;   // one link, same file system as its folder: a rename loses no name
    bool writable = true;          // the saver may write the file
    std::string notWritable;       // why not, when writable is false
    // Of an existing file: which file it is (device and inode, or volume
    // serial and file index), and its full path with links and case as the
    // system resolves them. A copy made in a shared folder carries both.
    std::string identity;
    std::filesystem::path fullPath;
};

// A file found under a leftover's name, as the folder lists it: nothing is
// opened to learn this, so another user's file is never touched.
struct Leftover {
    std::filesystem::path path;
    bool regular = false;         // a regular file, not a link
    bool saversOwn = false;       // owned by the saver
    std::uint64_t links = 1;
    bool othersMayWrite = false;  // its group or anyone else may write it
};

// A file being written by the save; the primitives keep what it stands for.
using Scratch = int;
constexpr Scratch kNoScratch = -1;

class SavePrimitives {
public:
    virtual ~SavePrimitives() = default;

    // Resolves links the way the system does, refusing a link the system's
    // rule on links in shared folders would refuse.
    virtual Status inspect(const std::filesystem::path& requested, SaveTarget& target) = 0;

    // Unnamed (when asked and the system has them) or named "folder/prefixXXXXXX"
    // file for reading and writing, private to the saver; a new file takes
    // the creation mode. With accessOf, the new file is given that file's
    // access as it is created, where the system would otherwise give it the
    // folder's (Windows).
    virtual Status createScratch(const std::filesystem::path& folder, const std::filesystem::path& prefix,
                                 bool unnamed, const std::filesystem::path& accessOf, Scratch& scratch) = 0;
    // Marks the scratch file as in use, so a leftover sweep leaves it alone.
    virtual Status lock(Scratch scratch) = 0;
    // Writes bytes as the whole content from offset 0, syncs, reads back.
    virtual Status writeAll(Scratch scratch, const Bytes& bytes) = 0;
    // Gives the scratch file the old file's owner, group, mode, attributes
    // and permissions, after its content.
    virtual Status carryMetadata(const std::filesystem::path& from, Scratch to) = 0;
    // Puts the finished scratch file under name: over an existing file
    // when replace, else never over one that appeared meanwhile.
    virtual Status commit(Scratch scratch, const std::filesystem::path& name, bool replace) = 0;
    // Gives a finished scratch file a lasting name of its own beside it.
    virtual Status keep(Scratch scratch, std::filesystem::path& name) = 0;
    // Closes it; removes it unless it was committed or kept.
    virtual void discard(Scratch scratch) = 0;

    // Opens the file itself for a rewrite and reads its bytes (at most
    // maxSize). Refuses a file whose set-id bits or capabilities a write
    // would clear and this saver could not give back.
    virtual Status openInPlace(const std::filesystem::path& file, std::int64_t maxSize, Scratch& scratch,
                               Bytes& old) = 0;
    // After a rewrite: gives back what the system cleared on the write.
    virtual Status restoreMetadata(Scratch scratch) = 0;
    // Interrupts wait while the only copy of a module is being rewritten.
    virtual void holdInterrupts(bool hold) = 0;

    virtual Status syncFolder(const std::filesystem::path& folder) = 0;
    // Folders other than the module's own where a backup may go, in order;
    // make: create the saver's own backup folder where it is missing.
    virtual std::vector<std::filesystem::path> spareFolders(bool make) = 0;
    // kOk when what is synced in the folder outlives a power cut and the
    // restart after it: not a file system held in memory, not a temporary
    // folder the system or a clean-up empties.
    virtual Status durable(const std::filesystem::path& folder) = 0;

    // Whatever is named "folder/prefixXXXXXX", links not followed.
    virtual std::vector<Leftover> leftovers(const std::filesystem::path& folder,
                                            const std::filesystem::path& prefix) = 0;
    // A running save holds the file (locked, or open without sharing).
    virtual bool inUse(const std::filesystem::path& file) = 0;
    virtual Status readFile(const std::filesystem::path& file, std::int64_t maxSize, Bytes& bytes) = 0;
    virtual Status removeFile(const std::filesystem::path& file) = 0;

    // The path as messages show it.
    virtual std::string shown(const std::filesystem::path& path) = 0;
};

// The primitives of the platform the program runs on, for one save.
std::unique_ptr<SavePrimitives> MakePlatformPrimitives();

}  // namespace zentab
