// How a save replaces a file. The module on disk may be the only copy of a
// drive's data, so at every moment its name holds the old module whole or
// the new one, and a save reports success only once the new bytes are on
// disk and read back equal.
//
//  1. The name is resolved as the system resolves it. Only a regular file,
//     or a name where nothing is yet, is written; a file without any write
//     permission is refused: the technician who made it read-only meant it.
//  2. Leftovers of earlier saves of this file are looked at first: an
//     unused temporary is removed; a backup that holds exactly what the
//     file holds protects nothing and is removed; one that differs is kept
//     and named in the warning. A backup in a shared folder carries the
//     file's identity and full path in its name, so a copy of another file
//     of the same name, perhaps the only whole copy of that one, is never
//     taken for this file's; and there only the saver's own regular file,
//     with one link and writable by no one else, counts: anything else
//     under the name is neither named nor touched.
//  3. Create new: the content goes into a scratch file in the folder (one
//     without a name where the system has them), is synced and read back,
//     and only then gets its name, never over a file that appeared
//     meanwhile.
//  4. Replace by rename, where a rename loses no name of the file: the
//     content first, then owner, group, mode and attributes (a change of
//     owner or a write would clear set-id bits and capabilities), then one
//     rename over the old file. Where the folder takes no new file, the
//     metadata cannot be given or the rename cannot replace the file, the
//     file is written in place instead.
//  5. Write in place: a complete, synced copy of the old bytes is made
//     first, beside the file and with no more access than it, else in a
//     spare folder that outlives a power cut and the restart after it (not
//     one in memory, not a temporary folder emptied at start-up); with
//     neither, the save is refused. Then the new bytes are written, synced
//     and read back; after any failure the old bytes are put back the same
//     way, and the copy is removed only once they read back. A copy that is
//     kept is named in the message.
//  6. After a rename or link the folder is synced; a save whose new name may
//     not be on disk is reported as an error, not as success.

#include "save_policy.h"

#include "backup_names.h"
#include "errors.h"
#include "file_layer.h"

#include <algorithm>

namespace zentab {

namespace fs = std::filesystem;

namespace {

// The old file is read whole for its backup; a model-list module is a few
// kilobytes, and memory must not run out over a disk image.
constexpr std::int64_t kOldFileLimit = std::int64_t{256} << 20;

const char kNotRegular[] = "Not a regular file; only a module file is ever written";

// Discards a scratch file when its step is over, however it ends.
class ScratchGuard {
public:
    ScratchGuard(SavePrimitives& p, Scratch s) : p_(p), s_(s) {}
    ~ScratchGuard()
    {
        if (s_ != kNoScratch)
            p_.discard(s_);
    }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;
    void release() { s_ = kNoScratch; }

private:
    SavePrimitives& p_;
    Scratch s_;
};

class InterruptsHeld {
public:
    explicit InterruptsHeld(SavePrimitives& p) : p_(p) { p_.holdInterrupts(true); }
    ~InterruptsHeld() { p_.holdInterrupts(false); }
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    SavePrimitives& p_;
};

bool SyncFailed(const Status& s) { return !s.ok() && s.outcome != Outcome::kUnsupported; }

class Save {
public:
    Save(SavePrimitives& p, const fs::path& path, const Bytes& bytes) : p_(p), shown_(p.shown(path)), bytes_(bytes)
    {
        if (Status s = p_.inspect(path, t_); !s.ok())
            fail(s.reason);
        name_ = t_.file.filename();
    }

    std::string run()
    {
        using Kind = SaveTarget::Kind;
        if (t_.kind == Kind::kFolder)
            fail("Is a directory");
        if (t_.kind == Kind::kOther)
            fail(kNotRegular);
        if (t_.kind == Kind::kRegular && t_.readOnly)
            fail("Read-only file");
        if (!t_.writable)
            fail(t_.notWritable);
        sweep();
        if (t_.kind == Kind::kMissing) {
            while (!createNew()) {
            }
        } else {
            bool renamed = false;
            if (t_.renameKeepsAll) {
                Step step;
                while ((step = replaceByRename()) == Step::kAgain) {
                }
                renamed = step == Step::kDone;
            }
            if (!renamed)
                writeInPlace();
        }
        return warning_;
    }

private:
    enum class Step { kDone, kAgain, kInPlace };

    [[noreturn]] void fail(const std::string& reason) const { ThrowCannotCreate(shown_, reason); }
    void check(const Status& s) const
    {
        if (!s.ok())
            fail(s.reason);
    }
    void warn(const std::string& text)
    {
        if (!warning_.empty())
            warning_ += "\n";
        warning_ += text;
    }
    // Where the system cannot give an unnamed file a name, the step is
    // started again with a named one.
    bool fallBackToNamed(const Status& s)
    {
        if (s.outcome != Outcome::kUnsupported || !unnamed_)
            return false;
        unnamed_ = false;
        return true;
    }
    fs::path temporaryPrefix() const { return TemporaryPrefix(name_); }
    fs::path backupPrefix(bool beside) const
    {
        return beside ? BackupPrefix(name_) : SpareBackupPrefix(name_, t_.identity, t_.fullPath);
    }
    // An old file whose copies a spare folder may hold.
    bool identified() const { return t_.kind == SaveTarget::Kind::kRegular && !t_.identity.empty(); }

    // Leftovers beside the file are its own by their folder. In a folder
    // many users share, a copy counts only when nobody but the saver could
    // have put it there or changed it since: anything else under the name
    // was planted, and naming it would invite a restore from a stranger's
    // file.
    static bool SaversOwn(const Leftover& l) { return l.regular && l.saversOwn && l.links == 1 && !l.othersMayWrite; }

    std::vector<fs::path> unused(const fs::path& folder, const fs::path& prefix, bool shared)
    {
        std::vector<fs::path> found;
        for (const Leftover& l : p_.leftovers(folder, prefix)) {
            if (l.regular && (!shared || SaversOwn(l)) && !p_.inUse(l.path))
                found.push_back(l.path);
        }
        return found;
    }

    void sweep()
    {
        for (const fs::path& stale : unused(t_.folder, temporaryPrefix(), false)) {
            if (Status s = p_.removeFile(stale); !s.ok())
                warn("A leftover temporary \"" + p_.shown(stale) + "\" could not be removed: " + s.reason);
        }
        std::vector<fs::path> backups = unused(t_.folder, backupPrefix(true), false);
        for (const fs::path& spare : identified() ? p_.spareFolders(false) : std::vector<fs::path>{}) {
            const std::vector<fs::path> more = unused(spare, backupPrefix(false), true);
            backups.insert(backups.end(), more.begin(), more.end());
        }
        if (backups.empty())
            return;
        Bytes current;
        const bool haveCurrent =
            t_.kind == SaveTarget::Kind::kRegular && p_.readFile(t_.file, kOldFileLimit, current).ok();
        for (const fs::path& backup : backups) {
            Bytes held;
            if (haveCurrent && p_.readFile(backup, kOldFileLimit, held).ok() && held == current) {
                if (Status s = p_.removeFile(backup); !s.ok())
                    warn("An old backup \"" + p_.shown(backup) + "\" could not be removed: " + s.reason);
            } else {
                warn("An earlier backup \"" + p_.shown(backup) +
                     "\" differs from the file and is kept: it may hold the module a failed save left behind");
            }
        }
    }

    void syncAfterCommit()
    {
        if (Status s = p_.syncFolder(t_.folder); SyncFailed(s))
            throw PlatformError("File \"" + shown_ + "\" written, but the folder could not be synced: " + s.reason);
    }

    Status create(const fs::path& folder, const fs::path& prefix, Scratch& scratch, const fs::path& accessOf = {})
    {
        Status s = p_.createScratch(folder, prefix, unnamed_, accessOf, scratch);
        if (fallBackToNamed(s))
            s = p_.createScratch(folder, prefix, unnamed_, accessOf, scratch);
        return s;
    }

    // False: start again with a named scratch file.
    bool createNew()
    {
        Scratch scratch = kNoScratch;
        check(create(t_.folder, temporaryPrefix(), scratch));
        const ScratchGuard guard(p_, scratch);
        check(p_.lock(scratch));
        check(p_.writeAll(scratch, bytes_));
        const Status s = p_.commit(scratch, t_.file, false);
        if (fallBackToNamed(s))
            return false;
        check(s);
        syncAfterCommit();
        return true;
    }

    Step replaceByRename()
    {
        Scratch scratch = kNoScratch;
        Status s = create(t_.folder, temporaryPrefix(), scratch);
        if (s.outcome == Outcome::kRefused)
            return Step::kInPlace;
        check(s);
        const ScratchGuard guard(p_, scratch);
        check(p_.lock(scratch));
        check(p_.writeAll(scratch, bytes_));
        if (!p_.carryMetadata(t_.file, scratch).ok())
            return Step::kInPlace;
        s = p_.commit(scratch, t_.file, true);
        if (fallBackToNamed(s))
            return Step::kAgain;
        if (s.outcome == Outcome::kCannotReplace)
            return Step::kInPlace;
        check(s);
        syncAfterCommit();
        return Step::kDone;
    }

    [[noreturn]] void noSafeCopy(const std::string& why) const
    {
        fail("No safe copy of the old file can be made (" + why + "); the file is left as it was");
    }

    struct Backup {
        Scratch scratch = kNoScratch;
        fs::path name;
        fs::path folder;
    };

    // A complete, synced copy of the old bytes under a name of its own,
    // beside the file, else in a spare folder, still held open (and locked)
    // so that no other save sweeps it away.
    Backup makeBackup(const Bytes& old)
    {
        Backup backup;
        if (copyInto(t_.folder, old, backup))
            return backup;
        std::string tried;
        for (const fs::path& spare : identified() ? p_.spareFolders(true) : std::vector<fs::path>{}) {
            tried += (tried.empty() ? "\"" : ", \"") + p_.shown(spare) + "\"";
            if (p_.durable(spare).ok() && copyInto(spare, old, backup))
                return backup;
        }
        if (tried.empty())
            noSafeCopy("the file's folder takes no new file, and there is no other folder for a copy");
        noSafeCopy("the file's folder takes no new file, and no spare folder (" + tried +
                   ") takes one on a disk-backed file system that keeps it through a restart; a copy held in "
                   "memory or in a temporary folder would not outlive a power cut");
    }

    // False when the folder takes no new file.
    bool copyInto(const fs::path& folder, const Bytes& old, Backup& backup)
    {
        backup.folder = folder;
        // A copy beside the file is readable by no one who cannot read the
        // file, from its first moment; the saver's own spare folder is
        // private already.
        const bool beside = folder == t_.folder;
        Status s = create(folder, backupPrefix(beside), backup.scratch, beside ? t_.file : fs::path());
        if (s.outcome == Outcome::kRefused)
            return false;
        if (!s.ok())
            noSafeCopy(s.reason);
        ScratchGuard guard(p_, backup.scratch);
        if (s = p_.lock(backup.scratch); !s.ok())
            noSafeCopy(s.reason);
        if (s = p_.writeAll(backup.scratch, old); !s.ok())
            noSafeCopy(s.reason);
        s = p_.keep(backup.scratch, backup.name);
        if (fallBackToNamed(s)) {
            guard.release();
            p_.discard(backup.scratch);
            return copyInto(folder, old, backup);
        }
        if (!s.ok())
            noSafeCopy(s.reason);
        if (s = p_.syncFolder(folder); SyncFailed(s)) {
            if (Status removed = p_.removeFile(backup.name); !removed.ok())
                noSafeCopy("its folder could not be synced: " + s.reason + "; the copy \"" +
                           p_.shown(backup.name) + "\" could not be removed: " + removed.reason);
            noSafeCopy("its folder could not be synced: " + s.reason);
        }
        guard.release();  // the caller holds it from here
        return true;
    }

    void writeInPlace()
    {
        Scratch file = kNoScratch;
        Bytes old;
        check(p_.openInPlace(t_.file, std::max<std::int64_t>(kOldFileLimit, static_cast<std::int64_t>(bytes_.size())),
                             file, old));
        const ScratchGuard fileGuard(p_, file);
        const InterruptsHeld held(p_);
        const Backup backup = makeBackup(old);
        const ScratchGuard backupGuard(p_, backup.scratch);
        const std::string kept = p_.shown(backup.name);

        Status s = p_.writeAll(file, bytes_);
        if (s.ok())
            s = p_.restoreMetadata(file);
        if (!s.ok()) {
            Status back = p_.writeAll(file, old);
            if (back.ok())
                back = p_.restoreMetadata(file);
            if (!back.ok())
                fail(s.reason + ". The old file could not be put back (" + back.reason + "); its bytes are in \"" +
                     kept + "\"");
            if (Status removed = p_.removeFile(backup.name); !removed.ok())
                fail(s.reason + ". The old file is put back; its copy \"" + kept +
                     "\" could not be removed: " + removed.reason);
            fail(s.reason);
        }
        if (Status removed = p_.removeFile(backup.name); !removed.ok()) {
            warn("Saved, but the backup \"" + kept + "\" could not be removed: " + removed.reason);
        } else if (Status synced = p_.syncFolder(backup.folder); SyncFailed(synced)) {
            warn("Saved, but the folder of the removed backup \"" + kept +
                 "\" could not be synced: " + synced.reason + "; should it reappear, the next save removes it");
        }
    }

    SavePrimitives& p_;
    std::string shown_;
    const Bytes& bytes_;
    SaveTarget t_;
    fs::path name_;
    bool unnamed_ = true;
    std::string warning_;
};

}  // namespace

std::string SaveWholeFile(SavePrimitives& primitives, const fs::path& path, const Bytes& bytes)
{
    return Save(primitives, path, bytes).run();
}

}  // namespace zentab
