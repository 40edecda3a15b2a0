// The save policy over a fake disk whose steps fail on demand: whichever
// step of whichever strategy fails, and however, the module on disk is the
// old one whole (or none, for a new file) or the new one, and nothing is
// left beside it but a backup the message names.

#include "errors.h"
#include "save_policy.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace zentab {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = "/m";
const fs::path kModule = "/m/module.bin";
const fs::path kInMemory = "/spare-in-memory";
const fs::path kEmptiedAtStart = "/spare-emptied-at-start";  // as /tmp is
const fs::path kOnDisk = "/spare-on-disk";
// Backups in a spare folder carry the file's identity and a digest of its
// full path: this file's, and those of /n/module.bin (inode 23) and of a
// file removed from /n whose inode 17 this one now has.
const std::string kOwn = "zentab-backup-module.bin-801-17-fbb13c9d807d47e9-";
const fs::path kOthersCopy = kOnDisk / "zentab-backup-module.bin-801-23-067a3c81c2d115ba-Zz9Zz9";
const fs::path kReusedInodesCopy = kOnDisk / "zentab-backup-module.bin-801-17-067a3c81c2d115ba-Yy8Yy8";

// A disk of whole files by name. Scratch files live in open_ until they are
// named; a named one is on the disk from its creation.
class FakeDisk final : public SavePrimitives {
public:
    std::map<fs::path, Bytes> files;
    std::set<fs::path> refusing;  // folders that take no new file
    bool hardLinked = false;
    bool unnamedFiles = true;
    std::vector<fs::path> spare{kInMemory, kEmptiedAtStart, kOnDisk};

    // The fault: the step numbered failAt (from 1) and, depending on the
    // mode, every step after it or every write after it (a disk that still
    // removes files but takes no more bytes).
    enum class Mode { kOnce, kEveryStepAfter, kEveryWriteAfter };
    int failAt = 0;
    Mode mode = Mode::kOnce;
    Outcome failWith = Outcome::kFailed;
    int steps = 0;
    std::string faulted;  // the step that failed first

    std::size_t stillOpen() const { return open_.size(); }

    Status inspect(const fs::path& requested, SaveTarget& t) override
    {
        if (Status s = fault("inspect"); !s.ok())
            return s;
        t.file = requested;
        t.folder = requested.parent_path();
        t.kind = files.count(requested) ? SaveTarget::Kind::kRegular : SaveTarget::Kind::kMissing;
        t.renameKeepsAll = !hardLinked;
        t.identity = t.kind == SaveTarget::Kind::kRegular ? Identity(requested) : "";
        t.fullPath = requested;
        return Status::Ok();
    }
    Status createScratch(const fs::path& folder, const fs::path& prefix, bool unnamed, const fs::path&,
                         Scratch& s) override
    {
        if (Status st = fault("createScratch"); !st.ok())
            return st;
        if (refusing.count(folder))
            return {Outcome::kRefused, "Permission denied"};
        if (unnamed && !unnamedFiles)
            return {Outcome::kUnsupported, "Operation not supported"};
        File f{folder, prefix, {}, {}};
        if (!unnamed) {
            f.name = fresh(folder, prefix);
            files[f.name] = {};
        }
        s = next_++;
        open_[s] = f;
        return Status::Ok();
    }
    Status lock(Scratch) override { return fault("lock"); }
    Status writeAll(Scratch s, const Bytes& bytes) override
    {
        const Status st = fault("writeAll");
        // A failed write leaves a torn file: its first half only.
        const Bytes put = st.ok() ? bytes : Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2);
        File& f = open_.at(s);
        f.content = put;
        if (!f.name.empty())
            files[f.name] = put;
        return st;
    }
    Status carryMetadata(const fs::path&, Scratch) override { return fault("carryMetadata"); }
    Status commit(Scratch s, const fs::path& name, bool replace) override
    {
        if (Status st = fault("commit"); !st.ok())
            return st;
        File& f = open_.at(s);
        if (!replace && files.count(name))
            return {Outcome::kFailed, "File exists"};
        if (!f.name.empty())
            files.erase(f.name);
        files[name] = f.content;
        f.settled = true;
        return Status::Ok();
    }
    Status keep(Scratch s, fs::path& name) override
    {
        if (Status st = fault("keep"); !st.ok())
            return st;
        File& f = open_.at(s);
        if (f.name.empty()) {
            f.name = fresh(f.folder, f.prefix);
            files[f.name] = f.content;
        }
        f.settled = true;
        name = f.name;
        return Status::Ok();
    }
    void discard(Scratch s) override
    {
        const File& f = open_.at(s);
        if (!f.settled && !f.name.empty())
            files.erase(f.name);
        open_.erase(s);
    }
    Status openInPlace(const fs::path& file, std::int64_t, Scratch& s, Bytes& old) override
    {
        if (Status st = fault("openInPlace"); !st.ok())
            return st;
        old = files.at(file);
        File f{file.parent_path(), {}, file, {}};
        f.settled = true;
        s = next_++;
        open_[s] = f;
        return Status::Ok();
    }
    Status restoreMetadata(Scratch) override { return fault("restoreMetadata"); }
    void holdInterrupts(bool hold) override { held_ += hold ? 1 : -1; }
    Status syncFolder(const fs::path&) override { return fault("syncFolder"); }
    std::vector<fs::path> spareFolders(bool) override { return spare; }
    Status durable(const fs::path& folder) override
    {
        if (Status st = fault("durable"); !st.ok())
            return st;
        return folder == kOnDisk ? Status::Ok() : Status{Outcome::kFailed, "The folder does not keep files"};
    }

    // A power cut and the restart after it: what was in memory or in a
    // temporary folder is gone.
    void restart()
    {
        std::erase_if(files, [](const auto& file) {
            return file.first.parent_path() == kInMemory || file.first.parent_path() == kEmptiedAtStart;
        });
    }
    // Device and inode: one per file of the disk.
    static std::string Identity(const fs::path& file) { return file == kModule ? "801-17" : "801-23"; }
    // How a file looks to the folder listing, where not the saver's own
    // regular file.
    std::map<fs::path, Leftover> looks;
    std::set<fs::path> read;
    std::vector<Leftover> leftovers(const fs::path& folder, const fs::path& prefix) override
    {
        std::vector<Leftover> found;
        for (const auto& [name, bytes] : files) {
            const std::string leaf = name.filename().string();
            if (name.parent_path() == folder && leaf.size() == prefix.string().size() + 6 &&
                leaf.rfind(prefix.string(), 0) == 0) {
                found.push_back(looks.count(name) ? looks.at(name) : Leftover{{}, true, true, 1, false});
                found.back().path = name;
            }
        }
        return found;
    }
    bool inUse(const fs::path&) override { return false; }
    Status readFile(const fs::path& file, std::int64_t, Bytes& bytes) override
    {
        read.insert(file);
        if (Status st = fault("readFile"); !st.ok())
            return st;
        bytes = files.at(file);
        return Status::Ok();
    }
    Status removeFile(const fs::path& file) override
    {
        if (Status st = fault("removeFile"); !st.ok())
            return st;
        files.erase(file);
        return Status::Ok();
    }
    std::string shown(const fs::path& path) override { return path.generic_string(); }

    int held() const { return held_; }

private:
    struct File {
        fs::path folder;
        fs::path prefix;
        fs::path name;  // empty while unnamed
        Bytes content;
        bool settled = false;
    };

    Status fault(const char* step)
    {
        ++steps;
        if (failAt == 0 || steps < failAt)
            return Status::Ok();
        if (steps > failAt && (mode == Mode::kOnce || (mode == Mode::kEveryWriteAfter && step != std::string("writeAll"))))
            return Status::Ok();
        if (faulted.empty())
            faulted = step;
        return {failWith, std::string("injected fault in ") + step};
    }
    fs::path fresh(const fs::path& folder, const fs::path& prefix)
    {
        std::string suffix = std::to_string(100000 + ++named_);
        return folder / (prefix.string() + suffix);
    }

    std::map<Scratch, File> open_;
    Scratch next_ = 0;
    int named_ = 0;
    int held_ = 0;
};

const Bytes kOld = {1, 2, 3, 4, 5, 6, 7, 8};
const Bytes kOldReversed = {8, 7, 6, 5, 4, 3, 2, 1};
const Bytes kNew = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};

struct Strategy {
    const char* what;
    bool exists;
    bool hardLinked;      // forces the rewrite in place
    bool folderRefuses;   // the backup must go to a spare folder
    bool unnamedFiles;
    bool onlyInMemory;    // no spare folder on a disk: the save is refused
};

const Strategy kStrategies[] = {
    {"create new", false, false, false, true, false},
    {"create new, named temporary", false, false, false, false, false},
    {"replace by rename", true, false, false, true, false},
    {"replace by rename, named temporary", true, false, false, false, false},
    {"in place, backup beside", true, true, false, true, false},
    {"in place, backup in a spare folder on a disk", true, true, true, true, false},
    {"in place, spare folders only in memory", true, true, true, true, true},
    {"rename refused by the folder, so in place", true, false, true, false, false},
};

// Files on the fake disk other than the module itself and another file's
// copy.
std::set<fs::path> Beside(const FakeDisk& disk)
{
    std::set<fs::path> names;
    for (const auto& [name, bytes] : disk.files) {
        if (name != kModule && name != kOthersCopy)
            names.insert(name);
    }
    return names;
}

TEST(SavePolicy, EveryFailingStepOfEveryStrategyKeepsAWholeModule)
{
    const Outcome outcomes[] = {Outcome::kFailed, Outcome::kRefused, Outcome::kUnsupported, Outcome::kCannotReplace};
    int runs = 0;
    for (const Strategy& strategy : kStrategies) {
        for (const Outcome outcome : outcomes) {
            for (const FakeDisk::Mode mode :
                 {FakeDisk::Mode::kOnce, FakeDisk::Mode::kEveryStepAfter, FakeDisk::Mode::kEveryWriteAfter}) {
                for (int failAt = 1;; ++failAt) {
                    FakeDisk disk;
                    if (strategy.exists)
                        disk.files[kModule] = kOld;
                    // Perhaps the only whole copy of /n/module.bin, whose
                    // bytes equal this file's.
                    disk.files[kOthersCopy] = kOld;
                    disk.hardLinked = strategy.hardLinked;
                    disk.unnamedFiles = strategy.unnamedFiles;
                    if (strategy.folderRefuses)
                        disk.refusing.insert(kFolder);
                    if (strategy.onlyInMemory)
                        disk.spare = {kInMemory, kEmptiedAtStart};
                    disk.failAt = failAt;
                    disk.mode = mode;
                    disk.failWith = outcome;

                    std::string message;
                    std::string warning;
                    bool threw = false;
                    try {
                        warning = SaveWholeFile(disk, kModule, kNew);
                    } catch (const PlatformError& e) {
                        threw = true;
                        message = e.what();
                    }
                    ++runs;
                    SCOPED_TRACE(::testing::Message()
                                 << strategy.what << ": step " << failAt << " (" << disk.faulted << ") fails with "
                                 << static_cast<int>(outcome) << ", mode " << static_cast<int>(mode)
                                 << "; message: " << message << "; warning: " << warning);
                    EXPECT_EQ(disk.stillOpen(), 0u);
                    EXPECT_EQ(disk.held(), 0);
                    disk.restart();
                    const bool written = disk.files.count(kModule) && disk.files.at(kModule) == kNew;
                    const std::string said = message + "\n" + warning;
                    if (!threw) {
                        EXPECT_TRUE(written);
                        // A failed folder sync is never a plain success.
                        if (disk.faulted == "syncFolder" && outcome == Outcome::kFailed) {
                            EXPECT_FALSE(warning.empty());
                        }
                    } else if (message.rfind("File \"/m/module.bin\" written, but the folder could not be synced: ",
                                             0) == 0) {
                        EXPECT_TRUE(written);
                    } else {
                        EXPECT_EQ(message.rfind("Cannot create file \"/m/module.bin\". ", 0), 0u);
                    }
                    EXPECT_TRUE(disk.files.count(kOthersCopy) && disk.files.at(kOthersCopy) == kOld);
                    const bool oldWhole = strategy.exists ? disk.files.count(kModule) && disk.files.at(kModule) == kOld
                                                          : disk.files.count(kModule) == 0;
                    bool backupHoldsOld = false;
                    for (const fs::path& name : Beside(disk)) {
                        EXPECT_NE(said.find("\"" + name.generic_string() + "\""), std::string::npos)
                            << name << " is left and not named";
                        EXPECT_EQ(disk.files.at(name), kOld) << name;
                        backupHoldsOld = backupHoldsOld || disk.files.at(name) == kOld;
                    }
                    if (threw && !written) {
                        EXPECT_TRUE(oldWhole || backupHoldsOld) << "the old module is lost";
                    }
                    if (strategy.onlyInMemory) {
                        EXPECT_TRUE(threw && !written && oldWhole);
                    }
                    if (disk.faulted.empty())
                        break;  // the save took fewer steps than failAt: all were tried
                }
            }
        }
    }
    EXPECT_GT(runs, 200);
}

TEST(SavePolicy, LeftoversOfEarlierSaves)
{
    struct Case {
        const char* what;
        fs::path leftover;
        Bytes held;
        bool kept;
        bool reported;
        // Regular, the saver's, links, writable by others; default the saver's own.
        Leftover looks{{}, true, true, 1, false};
    };
    const fs::path spare = kOnDisk / (kOwn + "a1b2c3");
    const Case cases[] = {
        {"an unused temporary", "/m/.module.bin.zentab-a1b2c3", kNew, false, false},
        {"a backup equal to the file", "/m/module.bin.zentab-backup-a1b2c3", kOld, false, false},
        {"a backup that differs from the file", "/m/module.bin.zentab-backup-a1b2c3", {7}, true, true},
        {"a spare folder's backup that differs", kOnDisk / (kOwn + "a1b2c3"), {7}, true, true},
        {"a backup of the file's length that differs", "/m/module.bin.zentab-backup-a1b2c3", kOldReversed, true, true},
        {"a spare folder's backup of the file's length that differs", kOnDisk / (kOwn + "a1b2c3"), kOldReversed,
         true, true},
        {"a spare folder's backup equal to the file", kOnDisk / (kOwn + "a1b2c3"), kOld, false, false},
        {"another file's backup", "/m/other.bin.zentab-backup-a1b2c3", {7}, true, false},
        {"a copy of another file of the same name, equal to this one", kOthersCopy, kOld, true, false},
        {"a copy of a removed file whose inode this one reuses", kReusedInodesCopy, kOld, true, false},
        {"a spare folder's copy that names no file", kOnDisk / "zentab-backup-module.bin-a1b2c3", kOld, true, false},
        // Under this file's name in a shared folder, but not the saver's own.
        {"another user's differing copy", spare, {7}, true, false, {{}, true, false, 1, false}},
        {"another user's equal copy", spare, kOld, true, false, {{}, true, false, 1, false}},
        {"the saver's copy that others may write", spare, {7}, true, false, {{}, true, true, 1, true}},
        {"the saver's copy with a second link", spare, kOld, true, false, {{}, true, true, 2, false}},
        {"a link under the name", spare, kOld, true, false, {{}, false, true, 1, false}},
        {"another user's copy beside the file counts", "/m/module.bin.zentab-backup-a1b2c3", {7}, true, true,
         {{}, true, false, 1, true}},
    };
    for (const Case& c : cases) {
        for (const bool hardLinked : {false, true}) {
            SCOPED_TRACE(::testing::Message() << c.what << (hardLinked ? ", in place" : ", by rename"));
            FakeDisk disk;
            disk.files[kModule] = kOld;
            disk.files[c.leftover] = c.held;
            disk.looks[c.leftover] = c.looks;
            disk.hardLinked = hardLinked;
            const std::string warning = SaveWholeFile(disk, kModule, kNew);
            EXPECT_EQ(disk.files.at(kModule), kNew);
            EXPECT_EQ(disk.files.count(c.leftover), c.kept ? 1u : 0u);
            const bool named = warning.find("\"" + c.leftover.generic_string() + "\"") != std::string::npos;
            EXPECT_EQ(named, c.reported) << warning;
            EXPECT_EQ(disk.files.size(), c.kept ? 2u : 1u);
            if (!c.reported && c.kept) {
                EXPECT_EQ(disk.read.count(c.leftover), 0u) << "opened";
            }
        }
    }
}

}  // namespace
}  // namespace zentab
