#include "HelperToolStandIn.h"
#include "LoopMount.h"
#include "SleepingProcess.h"
#include "SystemCallCount.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "Unprivileged.h"
#include "common/UniqueFd.h"
#include "engine/AlgorithmCollection.h"
#include "engine/FileShredCoordinator.h"
#include "engine/RegularFileOpener.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <map>
#include <memory>
#include <optional>
#include <sched.h>
#include <set>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using cv::FileShredCoordinator;
using cv::PreparedExcludes;
using cv::ShredItem;
using cv::ShredWriter;
using Bytes = std::vector<std::uint8_t>;
namespace t = cv::test;

// The walk's pacing, counted: this test program's own sched_yield and nanosleep stand before the C
// library's (std::this_thread::yield and sleep_for end in them) and count the calls of a thread
// that asked for it, then do what the library's would.
namespace {
thread_local bool countPacing = false;
thread_local int yields = 0;
thread_local int sleeps = 0;
} // namespace

extern "C" int sched_yield() noexcept
{
    if (countPacing)
        ++yields;
    return static_cast<int>(::syscall(SYS_sched_yield));
}

// The random generator's calls, counted the same way: OpenSSL asks for the process's id on each
// call (to notice a fork).
namespace {
thread_local bool countIds = false;
thread_local int ids = 0;
} // namespace

extern "C" pid_t getpid() noexcept
{
    if (countIds)
        ++ids;
    return static_cast<pid_t>(::syscall(SYS_getpid));
}

extern "C" int nanosleep(const struct timespec* duration, struct timespec* left)
{
    if (countPacing)
        ++sleeps;
    const int error = ::clock_nanosleep(CLOCK_REALTIME, 0, duration, left);
    if (error == 0)
        return 0;
    errno = error;
    return -1;
}

namespace {

// A file's content as text.
std::string contents(const std::string& path)
{
    const auto bytes = t::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::shared_ptr<cv::Algorithm> method(std::uint64_t id)
{
    static const cv::AlgorithmCollection collection;
    return collection.findByIdentifier(id);
}

struct Recorder : cv::FileShredCoordinatorDelegate
{
    std::vector<ShredItem> items;
    std::int64_t written = 0;
    std::int64_t missing = 0;
    std::vector<std::string> renaming;
    std::vector<std::string> flushes;
    std::vector<std::string> current;

    void fileshredWrittenBytes(std::int64_t bytes) override { written += bytes; }
    void fileshredCurrentPath(const cv::ItemPath& path) override { current.push_back(path.str()); }
    void fileshredAddShredItem(ShredItem item) override
    {
        if (onItem)
            onItem(item);
        items.push_back(std::move(item));
    }
    std::function<void(const ShredItem&)> onItem;
    void fileshredReportErrorForMissingBytes(std::int64_t bytes) override { missing += bytes; }
    void fileshredRenamingPath(const std::string& text) override
    {
        renaming.push_back(text);
        if (onRenaming)
            onRenaming();
    }
    std::function<void()> onRenaming;
    void fileshredFlushPath(const std::string& text) override
    {
        flushes.push_back(text);
        if (onFlush)
            onFlush();
    }
    std::function<void()> onFlush;
    void fileshredWaitingForAuthorization(bool waiting) override
    {
        waits.push_back(waiting);
        if (onWaiting)
            onWaiting(waiting);
    }
    std::vector<bool> waits;
    std::function<void(bool)> onWaiting; // told on the job's thread
};

// Answers helper calls: grant (doing the work itself), refuse, or stay silent (keeping the reply
// to call it late, after the coordinator stopped waiting); with askFirst it first says that the
// user is asked. Records the calls, with the device and inode they name, and withdrawals.
struct StandInHelper : t::HelperToolStandIn
{
    enum class Mode
    {
        Grant,
        Refuse,
        Silent
    } mode = Mode::Grant;
    bool askFirst = false;
    std::vector<std::string> calls;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ids;
    std::vector<Reply> kept;
    std::atomic<int> withdrawals{0};

    void openFileForWriting(const cv::ExaminedEntry& entry, FileReply reply, AskingUser askingUser) override
    {
        const std::string path = entry.folder + "/" + entry.name;
        calls.push_back("open " + path);
        ids.emplace_back(entry.device, entry.inode);
        // Another user's file: opened for writing with root's rights, its owner and mode as they are.
        auto file = std::make_shared<cv::UniqueFd>();
        Reply done = [reply, file, path](cv::Expected<void, std::string> outcome) {
            // A grant kept for later opens the file when it is given.
            if (outcome && !file->valid()) {
                const t::AsRoot root;
                file->reset(::open(path.c_str(), O_RDWR | O_CLOEXEC));
            }
            if (outcome)
                reply(std::move(*file));
            else
                reply(cv::Unexpected(outcome.error()));
        };
        answer(done, askingUser, [path, file] {
            const t::AsRoot root;
            file->reset(::open(path.c_str(), O_RDWR | O_CLOEXEC));
            return file->valid();
        });
    }
    void deleteFileAtPath(const cv::ExaminedEntry& entry, Reply reply, AskingUser askingUser) override
    {
        const std::string path = entry.folder + "/" + entry.name;
        calls.push_back("delete " + path);
        ids.emplace_back(entry.device, entry.inode);
        answer(reply, askingUser, [path] { return ::unlink(path.c_str()) == 0; });
    }
    void renameEntryAt(const cv::ExaminedEntry& entry, const std::string& newName, Reply reply,
                       AskingUser askingUser) override
    {
        calls.push_back("rename " + entry.folder + "/" + entry.name);
        // The folder is another user's: opened for the moment of the rename.
        answer(reply, askingUser, [entry, newName] {
            const t::AsRoot root;
            ::chmod(entry.folder.c_str(), 0755);
            const bool renamed = ::renameat2(AT_FDCWD, (entry.folder + "/" + entry.name).c_str(), AT_FDCWD,
                                             (entry.folder + "/" + newName).c_str(), RENAME_NOREPLACE) == 0;
            ::chmod(entry.folder.c_str(), 0555);
            return renamed;
        });
    }
    void reformatVolumeAt(const std::string&, const cv::ConfirmedVolume&, Reply reply, AskingUser) override
    {
        reply(cv::Unexpected(std::string("not here")));
    }
    void withdrawCalls() override { ++withdrawals; }

    void answer(Reply& reply, AskingUser& askingUser, const std::function<bool()>& work)
    {
        if (askFirst)
            std::thread([askingUser] { askingUser(); }).join();
        if (mode == Mode::Silent) {
            kept.push_back(reply);
        } else if (mode == Mode::Refuse) {
            std::thread([reply] { reply(cv::Unexpected(std::string("refused"))); }).detach();
        } else {
            const bool ok = work();
            std::thread([reply, ok] {
                reply(ok ? cv::Expected<void, std::string>() : cv::Unexpected(std::string("failed")));
            }).join();
        }
    }
};

// One coordinator with its writer, delegate and stand-in helper.
struct Shredding
{
    ShredWriter writer;
    StandInHelper helper;
    Recorder recorder;
    FileShredCoordinator coordinator;

    explicit Shredding(std::uint64_t methodId, cv::FileIo& io = cv::FileIo::system())
        : writer(method(methodId), ShredWriter::kFileBlockSize, io),
          coordinator(method(methodId), writer, &helper)
    {
        coordinator.setDelegate(&recorder);
        coordinator.setFilePause(std::chrono::microseconds(0));
    }

    // The job's phases for one target: overwrite, rename, delete.
    void run(const std::string& target, const PreparedExcludes& excludes = {})
    {
        coordinator.shredPath(target, excludes);
        const std::string renamed = coordinator.renameAtPath(target, excludes);
        coordinator.saveDelete(renamed, excludes);
        coordinator.finishDeleting();
    }
    // Each file's final state and reason, or "overwritten" for a file not yet settled.
    std::map<std::string, std::string> outcome()
    {
        coordinator.settle(recorder.items);
        std::map<std::string, std::string> result;
        for (const auto& item : recorder.items)
            result[item.path] = std::string(ShredItem::stateKey(item.state)) + ": " + item.error.value_or("");
        return result;
    }
};

// Counts IN_MOVED_TO events in folders while the coordinator works, and notes the names moved away.
struct RenameCounter
{
    int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::map<int, std::string> watches;
    std::set<std::string> movedAway; // "folder/name"

    void watch(const std::string& folder)
    {
        watches[::inotify_add_watch(fd, folder.c_str(), IN_MOVED_TO | IN_MOVED_FROM)] = folder;
    }
    std::map<std::string, int> counts()
    {
        std::map<std::string, int> result;
        alignas(inotify_event) char buffer[65536];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->mask & IN_MOVED_TO)
                    ++result[watches[event->wd]];
                if ((event->mask & IN_MOVED_FROM) && event->len > 0)
                    movedAway.insert(watches[event->wd] + "/" + event->name);
                p += sizeof(inotify_event) + event->len;
            }
        }
        return result;
    }
    ~RenameCounter() { ::close(fd); }
};

} // namespace

TEST(FileShredCoordinator, AnExcludedFileAndItsFoldersSurviveEveryPhase)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    t::writeFile(target + "/a.txt", std::string(5000, 'a'));
    t::writeFile(target + "/sub/b.txt", std::string(300, 'b'));
    t::writeFile(target + "/sub/keep.txt", "precious");
    PreparedExcludes excludes;
    excludes.exclude(target + "/sub/keep.txt");

    Shredding shredding(13);
    shredding.run(target, excludes);

    EXPECT_EQ(contents(target + "/sub/keep.txt"), "precious");
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"sub"}) << "the sibling file is gone";
    EXPECT_EQ(t::listNames(target + "/sub"), std::vector<std::string>{"keep.txt"});
    ASSERT_EQ(shredding.recorder.items.size(), 2u);
    for (const auto& item : shredding.recorder.items) {
        EXPECT_TRUE(item.success) << item.path;
        EXPECT_EQ(item.path.str().find("keep"), std::string::npos)
            << "the excluded file is never overwritten";
    }
    EXPECT_EQ(shredding.recorder.written, 3 * (5000 + 300));
    EXPECT_EQ(shredding.recorder.missing, 0);
}

TEST(FileShredCoordinator, RenameRoundsEqualThePassesAndTheTargetMovesOnce)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/inner");
    t::writeFile(target + "/one", "1");
    t::writeFile(target + "/inner/two", "22");

    RenameCounter counter;
    counter.watch(dir.path());
    counter.watch(target);
    counter.watch(target + "/inner");
    Shredding shredding(13); // three passes
    shredding.coordinator.shredPath(target, {});
    const std::string renamed = shredding.coordinator.renameAtPath(target, {});
    const auto counts = counter.counts();

    // The subfolder holds nothing that stays: its file moves up into the target (its first round)
    // and is renamed there, so that no rename happens deep in a tree.
    EXPECT_EQ(counts.count(target + "/inner"), 0u);
    EXPECT_EQ(counts.at(target), 9) << "the file, the subfolder and the file moved up, three times each";
    EXPECT_EQ(counts.at(dir.path()), 1) << "the target itself once";
    EXPECT_FALSE(t::exists(target));
    ASSERT_TRUE(t::exists(renamed));
    EXPECT_EQ(renamed.size(), target.size()) << "a random name as long as the old one";
    std::vector<std::size_t> lengths;
    for (const auto& name : t::listNames(renamed))
        lengths.push_back(name.size());
    std::sort(lengths.begin(), lengths.end());
    EXPECT_EQ(lengths, (std::vector<std::size_t>{3, 5, 9})) << "one, inner, and inner/two moved up";
    ASSERT_FALSE(shredding.recorder.renaming.empty());
    EXPECT_EQ(shredding.recorder.renaming.front().rfind("Renaming File - " + target + "/", 0), 0u)
        << shredding.recorder.renaming.front();
}

TEST(FileShredCoordinator, LinksAndSpecialFilesAreNeverFollowedOrOpened)
{
    t::TempDir dir;
    const std::string outside = dir / "outside";
    t::makeDir(outside);
    t::writeFile(outside + "/secret.txt", "outside the selection");
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/plain", "xx");
    ASSERT_EQ(::symlink((outside + "/secret.txt").c_str(), (target + "/filelink").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (target + "/dirlink").c_str()), 0);
    ASSERT_EQ(::mkfifo((target + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(::mknod((target + "/sock").c_str(), S_IFSOCK | 0600, 0), 0);
    const std::string linkTarget = dir / "linktarget";
    ASSERT_EQ(::symlink(outside.c_str(), linkTarget.c_str()), 0);

    Shredding shredding(15);
    shredding.run(target); // a FIFO opened for writing would hang here
    shredding.run(linkTarget);

    EXPECT_FALSE(t::exists(target));
    EXPECT_FALSE(t::exists(linkTarget)) << "a link that is itself a target is renamed and removed";
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"outside"});
    EXPECT_EQ(t::listNames(outside), std::vector<std::string>{"secret.txt"});
    EXPECT_EQ(contents(outside + "/secret.txt"), "outside the selection");
    ASSERT_EQ(shredding.recorder.items.size(), 1u) << "only the regular file is listed";
    EXPECT_EQ(shredding.recorder.items[0].path, target + "/plain");
}

namespace {

// A chain of folders "d" levels deep below target, a file "f" of 4 bytes in each; made through
// descriptors, so that it may be longer than PATH_MAX. Every other level makes the folder before
// the file, so that the chain is listed both ways round whatever order the file system keeps.
void makeChain(const std::string& target, int levels)
{
    t::makeDir(target);
    cv::UniqueFd fd(::open(target.c_str(), O_RDONLY | O_DIRECTORY));
    for (int i = 0; i < levels; ++i) {
        if (i % 2 == 1) {
            ASSERT_EQ(::mkdirat(fd.get(), "d", 0755), 0);
        }
        const cv::UniqueFd file(::openat(fd.get(), "f", O_WRONLY | O_CREAT, 0644));
        ASSERT_TRUE(file.valid());
        ASSERT_EQ(::write(file.get(), "data", 4), 4);
        if (i % 2 == 0) {
            ASSERT_EQ(::mkdirat(fd.get(), "d", 0755), 0);
        }
        fd = cv::UniqueFd(::openat(fd.get(), "d", O_RDONLY | O_DIRECTORY));
        ASSERT_TRUE(fd.valid());
    }
}

} // namespace

TEST(FileShredCoordinator, ADeepChainCostsNoCallOfTheGeneratorPerEntry)
{
    // Every entry of a deep chain gets random names as long as its path below the target was (up
    // to 255 characters): they come from a reserve, not from a call of the generator each.
    t::TempDir dir;
    const std::string target = dir / "chain";
    constexpr int kLevels = 200;
    makeChain(target, kLevels);

    Shredding shredding(16);
    ids = 0;
    countIds = true;
    shredding.run(target);
    countIds = false;
    EXPECT_FALSE(t::exists(target));
    EXPECT_EQ(shredding.recorder.items.size(), static_cast<std::size_t>(kLevels));
    EXPECT_LT(ids, kLevels / 4) << "a call of the generator per entry";
}

TEST(FileShredCoordinator, ADeepChainCostsTheSameFewSystemCallsAtEveryLevel)
{
    // Overwriting, renaming and deleting a chain far deeper than the walks' window of open folders:
    // no folder is opened again on the way back up, and no entry is examined twice for the facts
    // one examination gave. Every system call of the job counts, whoever makes it.
    // On tmpfs, where no inode generation is read back (on ext4 each identity check opens the
    // file for it).
    t::TempDir dir(t::exists("/dev/shm") ? "/dev/shm" : "");
    const std::string target = dir / "chain";
    constexpr int kLevels = 400;
    makeChain(target, kLevels);

    Shredding shredding(16);
    const auto counted = t::countSystemCalls([&] {
        shredding.run(target);
        return shredding.recorder.items.size() == kLevels && shredding.recorder.missing == 0 ? 0 : 1;
    });
    if (!counted)
        GTEST_SKIP() << "this process may not trace its child";
    EXPECT_EQ(counted->exitCode, 0) << "not every file of the chain was overwritten";
    EXPECT_FALSE(t::exists(target));
    // Measured: 33.4 (the chain walked, each file opened, checked, written, synced and closed,
    // each entry moved up and renamed, then examined and removed); about 40 before walks stopped
    // reopening folders on the way up and examining entries twice.
    const double perLevel = static_cast<double>(counted->calls) / kLevels;
    RecordProperty("calls_per_level", std::to_string(perLevel));
    EXPECT_LT(perLevel, 38.0) << counted->calls << " system calls";
}

TEST(FileShredCoordinator, OddNamesAndPathsLongerThanPathMax)
{
    t::TempDir dir;
    const std::string target = dir / "deep";
    t::makeDir(target);
    // 30 levels of 200-character names: about 6,000 bytes of path, beyond PATH_MAX (4096).
    int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY);
    const std::string level(200, 'd');
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    const std::string oddName = "caf\xe9-\xff\xfe.bin"; // Latin-1 bytes: not valid UTF-8
    const int file = ::openat(fd, oddName.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "hello", 5), 5);
    ::close(file);

    Shredding shredding(15);
    shredding.coordinator.shredPath(target, {});
    // The deep file now holds the method's FF bytes.
    Bytes content(5);
    const int reread = ::openat(fd, oddName.c_str(), O_RDONLY);
    ASSERT_GE(reread, 0);
    ASSERT_EQ(::read(reread, content.data(), 5), 5);
    ::close(reread);
    ::close(fd);
    EXPECT_EQ(content, Bytes(5, 0xFF));
    ASSERT_EQ(shredding.recorder.items.size(), 1u);
    EXPECT_TRUE(shredding.recorder.items[0].success);
    const std::string deepPath = shredding.recorder.items[0].path.str();
    EXPECT_GT(deepPath.size(), 4096u);
    EXPECT_EQ(deepPath.substr(deepPath.size() - oddName.size()), oddName)
        << "the name's bytes are kept as they are";

    const std::string renamed = shredding.coordinator.renameAtPath(target, {});
    shredding.coordinator.saveDelete(renamed, {});
    EXPECT_TRUE(t::listNames(dir.path()).empty());
}

TEST(FileShredCoordinator, AFileSwappedForALinkIsNotFollowed)
{
    t::TempDir dir;
    const std::string outsideFile = dir / "outside.txt";
    t::writeFile(outsideFile, "untouched");
    const std::string path = dir / "victim.txt";
    t::writeFile(path, "to shred");
    struct stat examined;
    ASSERT_EQ(::lstat(path.c_str(), &examined), 0);
    const std::string keepInode = dir / "victim-kept";
    ASSERT_EQ(::link(path.c_str(), keepInode.c_str()), 0); // keeps the examined inode in use

    // Between examination and opening, the file becomes a link out of the selection.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::symlink(outsideFile.c_str(), path.c_str()), 0);
    EXPECT_EQ(cv::RegularFileOpener::openExamined(AT_FDCWD, path.c_str(), examined).status,
              cv::RegularFileOpener::Status::Replaced);
    // ... or a different regular file under the same name (made while the link still holds the
    // name, so that it cannot reuse the examined file's inode number).
    t::writeFile(dir / "other", "other");
    ASSERT_EQ(::rename((dir / "other").c_str(), path.c_str()), 0);
    EXPECT_EQ(cv::RegularFileOpener::openExamined(AT_FDCWD, path.c_str(), examined).status,
              cv::RegularFileOpener::Status::Replaced);

    // A job that examines anew sees the link and leaves it alone.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::symlink(outsideFile.c_str(), path.c_str()), 0);
    Shredding shredding(16);
    shredding.coordinator.shredFile(path);
    EXPECT_TRUE(shredding.recorder.items.empty());
    EXPECT_EQ(contents(outsideFile), "untouched");
}

namespace {

struct FailingIo : cv::FileIo
{
    int writesBeforeFailure = 1;
    bool writeAll(int fd, const void* data, std::size_t length, off_t offset) override
    {
        if (writesBeforeFailure-- <= 0) {
            errno = EIO;
            return false;
        }
        return FileIo::writeAll(fd, data, length, offset);
    }
};

} // namespace

TEST(FileShredCoordinator, AFailedWriteIsAnErrorWithItsFullAmountBooked)
{
    t::TempDir dir;
    const std::int64_t size = 3 * 1048576;
    t::writeFile(dir / "big", Bytes(size, 1));
    FailingIo io;
    Shredding shredding(13, io);
    shredding.coordinator.shredFile(dir / "big");

    ASSERT_EQ(shredding.recorder.items.size(), 1u);
    EXPECT_FALSE(shredding.recorder.items[0].success);
    EXPECT_EQ(shredding.recorder.items[0].error, "Failed to write file: Input/output error");
    EXPECT_EQ(shredding.recorder.written, 1048576) << "the one block written before the failure";
    EXPECT_EQ(shredding.recorder.written + shredding.recorder.missing, 3 * size)
        << "written and booked add up to the file's full amount, never more";
}

TEST(FileShredCoordinator, UnwritableFilesGoThroughTheHelper)
{
    if (!t::isRoot())
        GTEST_SKIP() << "another user's file needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    // A file the helper does not open up is named with the helper's reason.
    struct Case
    {
        StandInHelper::Mode mode;
        bool overwritten;
        const char* error;
    };
    for (const Case c : {Case{StandInHelper::Mode::Grant, true, ""},
                         Case{StandInHelper::Mode::Refuse, false, "Path not writable: refused"},
                         Case{StandInHelper::Mode::Silent, false,
                              "Path not writable: the privileged helper did not answer"}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        const std::string path = dir / "readonly.txt";
        t::writeFile(path, std::string(100, 'r'));
        // Root's file: another user's, which only the helper may open up.
        ::chmod(path.c_str(), 0444);

        const int failures = t::runUnprivilegedWithRootAtHand([&] {
            Shredding shredding(15);
            shredding.helper.mode = c.mode;
            shredding.coordinator.setHelperTimeout(std::chrono::milliseconds(200));
            shredding.coordinator.shredFile(path);
            int bad = 0;
            if (shredding.recorder.items.size() != 1 ||
                shredding.recorder.items[0].success != c.overwritten) {
                std::fprintf(stderr, "unexpected outcome\n");
                ++bad;
            } else if (!c.overwritten &&
                       (shredding.recorder.items[0].error != c.error || shredding.recorder.missing != 100)) {
                std::fprintf(stderr, "wrong error or booked bytes: %s\n",
                             shredding.recorder.items[0].error.value_or("").c_str());
                ++bad;
            }
            if (shredding.helper.calls != std::vector<std::string>{"open " + path}) {
                std::fprintf(stderr, "the helper was not asked exactly once\n");
                ++bad;
            }
            struct stat info;
            ::lstat(path.c_str(), &info);
            if (shredding.helper.ids.size() != 1 || shredding.helper.ids[0].first != info.st_dev ||
                shredding.helper.ids[0].second != info.st_ino) {
                std::fprintf(stderr, "the call does not name the examined file\n");
                ++bad;
            }
            // A call given up on is withdrawn, so that a late grant is never carried out.
            if (shredding.helper.withdrawals != (c.mode == StandInHelper::Mode::Silent ? 1 : 0)) {
                std::fprintf(stderr, "withdrawn %d times\n", shredding.helper.withdrawals.load());
                ++bad;
            }
            // A reply that comes after the wait ended must do no harm.
            for (auto& late : shredding.helper.kept)
                late({});
            // The file keeps its mode: nothing is opened up, nothing needs giving back.
            struct stat after = {};
            if (::lstat(path.c_str(), &after) != 0 || (after.st_mode & 07777) != 0444) {
                std::fprintf(stderr, "the mode changed\n");
                ++bad;
            }
            return bad;
        });
        EXPECT_EQ(failures, 0);
        const Bytes after = t::readFile(path);
        EXPECT_EQ(after, c.overwritten ? Bytes(100, 0xFF) : Bytes(100, 'r'));
        ::unlink(path.c_str());
    }
}

TEST(FileShredCoordinator, AReadOnlyFileSystemIsItsOwnReasonAndNeverGoesToTheHelper)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string fs = dir / "fs";
    t::makeDir(fs);
    t::TmpfsMount mount(fs, "1m");
    ASSERT_TRUE(mount.available());
    t::makeDir(fs + "/T");
    t::writeFile(fs + "/T/mine", "mine");
    t::writeFile(fs + "/T/protected", "root's");
    ::chmod((fs + "/T/protected").c_str(), 0444);
    // The same files through a read-only bind mount (the mount read-only, the file system not), and
    // then with the file system itself read-only.
    const std::string bound = dir / "bound";
    t::makeDir(bound);
    ASSERT_EQ(::mount(fs.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &bound, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });
    ASSERT_EQ(::mount(nullptr, bound.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);

    const auto check = [](const std::string& target, std::uint64_t& bad) {
        Shredding shredding(16);
        shredding.helper.mode = StandInHelper::Mode::Grant;
        shredding.run(target);
        const auto outcome = shredding.outcome();
        for (const char* name : {"/mine", "/protected"}) {
            const auto found = outcome.find(target + name);
            if (found == outcome.end() || found->second != "not overwritten: Read-only file system") {
                std::fprintf(stderr, "%s%s: %s\n", target.c_str(), name,
                             found == outcome.end() ? "not listed" : found->second.c_str());
                ++bad;
            }
        }
        // Nobody may write there: asking the helper would only ask the user for a password.
        for (const auto& call : shredding.helper.calls) {
            std::fprintf(stderr, "the helper was asked: %s\n", call.c_str());
            ++bad;
        }
    };
    {
        SCOPED_TRACE("a read-only mount, as a user whom the permissions refuse first");
        const int bad = t::runUnprivileged([&] {
            std::uint64_t count = 0;
            check(bound + "/T", count);
            return static_cast<int>(count);
        });
        EXPECT_EQ(bad, 0);
    }
    {
        SCOPED_TRACE("a read-only file system, as root");
        ASSERT_EQ(::mount(nullptr, fs.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        std::uint64_t bad = 0;
        check(fs + "/T", bad);
        EXPECT_EQ(bad, 0u);
    }
    EXPECT_EQ(contents(fs + "/T/mine"), "mine");
    EXPECT_EQ(t::listNames(fs + "/T"), (std::vector<std::string>{"mine", "protected"}));
}

TEST(FileShredCoordinator, WaitsWhileTheUserIsAskedUntilTheAnswerOrACancel)
{
    if (!t::isRoot())
        GTEST_SKIP() << "another user's file needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    for (const bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled ? "cancelled while asking" : "answered after the timeout");
        const std::string path = dir / "readonly.txt";
        t::writeFile(path, std::string(100, 'r'));
        ::chmod(path.c_str(), 0444);

        const int failures = t::runUnprivilegedWithRootAtHand([&] {
            Shredding shredding(15);
            shredding.helper.mode = StandInHelper::Mode::Silent;
            shredding.helper.askFirst = true;
            shredding.coordinator.setHelperTimeout(std::chrono::milliseconds(50));
            std::atomic<bool> returned{false};
            std::atomic<bool> waitedPastTimeout{false};
            std::promise<void> asking;
            bool told = false;
            shredding.recorder.onWaiting = [&](bool waiting) {
                if (waiting && !std::exchange(told, true))
                    asking.set_value();
            };
            // Once the job says that the user is asked, the user answers (or the job is cancelled)
            // long after the helper timeout has passed.
            std::thread user([&] {
                if (asking.get_future().wait_for(std::chrono::seconds(60)) != std::future_status::ready)
                    std::fprintf(stderr, "the job never said that it waits for the user\n");
                // Time for the 50 ms timeout to run out ten times over; the job is still to wait.
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                waitedPastTimeout = !returned;
                if (cancelled) {
                    shredding.coordinator.cancel();
                } else {
                    const t::AsRoot root;
                    ::chmod(path.c_str(), 0666);
                    for (auto& reply : shredding.helper.kept)
                        reply({});
                }
            });
            shredding.coordinator.shredFile(path);
            returned = true;
            user.join();
            int bad = 0;
            if (!waitedPastTimeout) {
                std::fprintf(stderr, "the job did not wait for the user\n");
                ++bad;
            }
            if (shredding.recorder.waits != std::vector<bool>{true, false}) {
                std::fprintf(stderr, "the wait for authorization was not told\n");
                ++bad;
            }
            if (shredding.helper.withdrawals != (cancelled ? 1 : 0)) {
                std::fprintf(stderr, "withdrawn %d times\n", shredding.helper.withdrawals.load());
                ++bad;
            }
            const bool overwritten =
                shredding.recorder.items.size() == 1 && shredding.recorder.items[0].success;
            if (overwritten == cancelled) {
                std::fprintf(stderr, "overwritten: %d\n", overwritten);
                ++bad;
            }
            return bad;
        });
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(t::readFile(path), cancelled ? Bytes(100, 'r') : Bytes(100, 0xFF));
        ::unlink(path.c_str());
    }
}

namespace {

// Plants a hard link of a file into a folder just after the folder was listed to its end, once
// armed: something nobody examined comes into a folder the delete walk has emptied.
struct PlantingReader : cv::FolderWalker::DirectoryReader
{
    std::string folder;
    std::string source;
    ino_t folderInode = 0;
    bool armed = false;
    long readEntries(int fd, void* buffer, std::size_t size) override
    {
        const long length = DirectoryReader::readEntries(fd, buffer, size);
        struct stat info;
        if (armed && length == 0 && ::fstat(fd, &info) == 0 && info.st_ino == folderInode) {
            armed = false;
            ::link(source.c_str(), (folder + "/planted").c_str());
        }
        return length;
    }
};

} // namespace

TEST(FileShredCoordinator, NeverHandsAFolderThatIsNotEmptyToTheHelper)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/a", "shred me");
    t::writeFile(dir / "elsewhere", "not examined");

    PlantingReader reader;
    reader.source = dir / "elsewhere";
    Shredding shredding(15);
    shredding.coordinator.setDirectoryReader(&reader);
    shredding.coordinator.shredPath(target, {});
    const std::string renamed = shredding.coordinator.renameAtPath(target, {});
    reader.folder = renamed;
    struct stat folderInfo;
    ASSERT_EQ(::lstat(renamed.c_str(), &folderInfo), 0);
    reader.folderInode = folderInfo.st_ino;
    reader.armed = true;
    shredding.coordinator.saveDelete(renamed, {});

    EXPECT_FALSE(reader.armed) << "the file was planted";
    EXPECT_EQ(shredding.helper.calls, std::vector<std::string>{}) << "nothing is handed to the helper";
    EXPECT_EQ(t::listNames(renamed), std::vector<std::string>{"planted"}) << "the folder stays with it";
    EXPECT_EQ(contents(dir / "elsewhere"), "not examined");
}

TEST(FileShredCoordinator, NamesInAFolderItMayNotWriteAreChangedByTheHelper)
{
    if (!t::isRoot())
        GTEST_SKIP() << "another user's folder needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    // Root's folder, holding a file of the job's user.
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/secret-name.txt", std::string(100, 's'));
    t::giveToNobody(target + "/secret-name.txt");
    ::chmod(target.c_str(), 0555);

    const int failures = t::runUnprivilegedWithRootAtHand([&] {
        // Three passes: the file loses its name once through the helper, not once per pass (each
        // call may be a question to the user).
        Shredding shredding(13);
        shredding.run(target);
        const auto asked =
            std::count_if(shredding.helper.calls.begin(), shredding.helper.calls.end(),
                          [](const std::string& call) { return call.rfind("rename ", 0) == 0; });
        if (asked != 1) {
            std::fprintf(stderr, "the helper was asked to rename %d times\n", static_cast<int>(asked));
            return 1;
        }
        // The helper opens regular files only: a folder is never asked for.
        for (const auto& call : shredding.helper.calls) {
            if (call.rfind("open ", 0) == 0) {
                std::fprintf(stderr, "asked: %s\n", call.c_str());
                return 1;
            }
        }
        return 0;
    });
    EXPECT_EQ(failures, 0);
    // The folder itself, in a folder that may be written, was renamed as usual.
    const auto folders = t::listNames(dir.path());
    ASSERT_EQ(folders.size(), 1u);
    const std::string folder = dir / folders[0];
    const auto names = t::listNames(folder);
    ASSERT_EQ(names.size(), 1u) << "the file stays: the folder may not be written";
    EXPECT_NE(names[0], "secret-name.txt") << "the name stayed with the content";
    EXPECT_EQ(names[0].size(), std::string("secret-name.txt").size());
    EXPECT_NE(t::readFile(folder + "/" + names[0]), Bytes(100, 's')) << "overwritten";
    ::chmod(folder.c_str(), 0755);
}

TEST(FileShredCoordinator, TheUsersOwnReadOnlyFilesAndFoldersAreShreddedWithoutTheHelper)
{
    // Read-only files in read-only folders, all the user's own, as in a git repository: the job
    // opens them itself, as `shred -f` and `rm -rf` do, and what stays keeps its mode.
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    for (const bool filesOnly : {false, true}) {
        SCOPED_TRACE(filesOnly ? "files only: the folders stay" : "everything goes");
        const std::string target = dir / "repo";
        t::makeDir(target);
        t::makeDir(target + "/objects");
        t::writeFile(target + "/objects/pack", std::string(100, 'p'));
        t::writeFile(target + "/HEAD", std::string(50, 'h'));
        for (const char* file : {"/objects/pack", "/HEAD"}) {
            ::chmod((target + file).c_str(), 0444);
            t::giveToNobody(target + file);
        }
        for (const char* folder : {"/objects", ""}) {
            ::chmod((target + folder).c_str(), 0555);
            t::giveToNobody(target + folder);
        }

        const int failures = t::runUnprivileged([&] {
            Shredding shredding(16);
            shredding.coordinator.setFilesOnly(filesOnly);
            shredding.run(target);
            int bad = 0;
            for (const auto& call : shredding.helper.calls) {
                std::fprintf(stderr, "the helper was asked: %s\n", call.c_str());
                ++bad;
            }
            for (const auto& [path, state] : shredding.outcome()) {
                if (state.rfind("deleted", 0) != 0) {
                    std::fprintf(stderr, "%s: %s\n", path.c_str(), state.c_str());
                    ++bad;
                }
            }
            return bad;
        });
        EXPECT_EQ(failures, 0);
        if (!filesOnly) {
            EXPECT_TRUE(t::listNames(dir.path()).empty());
            continue;
        }
        // The folders stay where they were, with their names and their modes.
        struct stat info;
        for (const char* folder : {"/objects", ""}) {
            ASSERT_EQ(::lstat((target + folder).c_str(), &info), 0) << folder;
            EXPECT_EQ(info.st_mode & 07777, 0555u) << folder;
        }
        EXPECT_TRUE(t::listNames(target + "/objects").empty());
        EXPECT_TRUE(t::listNames(target).size() == 1u);
    }
    {
        SCOPED_TRACE("a file overwritten that stays keeps its mode");
        const std::string path = dir / "kept";
        t::writeFile(path, std::string(100, 'k'));
        ::chmod(path.c_str(), 0444);
        t::giveToNobody(path);
        const int failures = t::runUnprivileged([&] {
            Shredding shredding(15);
            shredding.coordinator.shredFile(path);
            return shredding.helper.calls.empty() && shredding.recorder.items.size() == 1 &&
                           shredding.recorder.items[0].success
                       ? 0
                       : 1;
        });
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(t::readFile(path), Bytes(100, 0xFF));
        struct stat info;
        ASSERT_EQ(::lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444u);
    }
}

TEST(FileShredCoordinator, FlushChurnsOneFileAndLeavesNothingBehind)
{
    {
        t::TempDir volume;
        Shredding shredding(16);
        EXPECT_TRUE(shredding.coordinator.flushLog(volume.path(), 500));
        EXPECT_TRUE(t::listNames(volume.path()).empty());
        EXPECT_EQ(shredding.recorder.flushes, std::vector<std::string>{"Renaming Files"});
    }
    {
        SCOPED_TRACE("somebody's own Flush.dat is not touched: the flush takes the next free name");
        t::TempDir volume;
        t::writeFile(volume / "Flush.dat", "mine");
        t::writeFile(volume / "Flush_1.dat", "mine too");
        RenameCounter renames;
        renames.watch(volume.path());
        Shredding shredding(16);
        EXPECT_TRUE(shredding.coordinator.flushLog(volume.path(), 50));
        EXPECT_EQ(t::listNames(volume.path()), (std::vector<std::string>{"Flush.dat", "Flush_1.dat"}));
        EXPECT_EQ(contents(volume / "Flush.dat"), "mine");
        EXPECT_EQ(contents(volume / "Flush_1.dat"), "mine too");
        EXPECT_EQ(renames.counts()[volume.path()], 50) << "the flush ran in full";
    }
    {
        SCOPED_TRACE("a flush that cannot make its file is a failure, with the reason");
        Shredding shredding(16);
        const auto flushed = shredding.coordinator.flushLog("/nonexistent-cindervault-volume", 50);
        ASSERT_FALSE(flushed);
        EXPECT_EQ(flushed.error(), "No such file or directory");
    }
    {
        SCOPED_TRACE("cancelling during the flush removes the flush file");
        t::TempDir volume;
        Shredding shredding(16);
        // Cancelled once the flush has begun; without the cancel its renames would run for hours.
        shredding.recorder.onFlush = [&] { shredding.coordinator.cancel(); };
        EXPECT_TRUE(shredding.coordinator.flushLog(volume.path(), 50'000'000)) << "a cancel is no failure";
        EXPECT_EQ(shredding.recorder.flushes.size(), 1u);
        EXPECT_TRUE(t::listNames(volume.path()).empty());
    }
}

TEST(FileShredCoordinator, FilesOnlyKeepsEveryFolder)
{
    t::TempDir dir;
    const std::string logs = dir / "log";
    t::makeDir(logs);
    t::makeDir(logs + "/apt");
    t::makeDir(logs + "/apt/old");
    t::writeFile(logs + "/syslog", "lines");
    t::writeFile(logs + "/apt/history.log", "more lines");
    t::writeFile(logs + "/apt/old/h.1", "old");

    Shredding shredding(16);
    shredding.coordinator.setFilesOnly(true);
    shredding.run(logs);

    EXPECT_EQ(t::listNames(logs), std::vector<std::string>{"apt"});
    EXPECT_EQ(t::listNames(logs + "/apt"), std::vector<std::string>{"old"});
    EXPECT_TRUE(t::listNames(logs + "/apt/old").empty());
    EXPECT_EQ(shredding.recorder.items.size(), 3u);
}

TEST(FileShredCoordinator, CancelStopsEveryPhase)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    for (int i = 0; i < 5; ++i)
        t::writeFile(target + "/f" + std::to_string(i), "data");
    Shredding shredding(16);
    shredding.coordinator.cancel();
    shredding.run(target);
    EXPECT_TRUE(shredding.recorder.items.empty());
    EXPECT_EQ(t::listNames(target).size(), 5u) << "nothing renamed or deleted after cancel";
}

TEST(FileShredCoordinator, MountsInsideTheTargetStayAndSoDoTheFoldersAboveThem)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting needs root";
    t::TempDir dir;
    // Everything lives on a file system of the test's own, so that the bind mounts below are of
    // the same file system; its lazy unmount at the end takes every mount inside it along.
    const std::string fs = dir / "fs";
    t::makeDir(fs);
    t::TmpfsMount own(fs, "8m");
    ASSERT_TRUE(own.available());
    const std::string outside = fs + "/outside";
    t::makeDir(outside);
    t::writeFile(outside + "/secret", "outside the selection");
    t::writeFile(outside + "/hosts", "a file of another place");
    const std::string target = fs + "/T";
    t::makeDir(target);
    t::writeFile(target + "/plain", "xx");
    t::makeDir(target + "/other");
    t::TmpfsMount other(target + "/other", "1m");
    ASSERT_TRUE(other.available());
    t::writeFile(target + "/other/theirs", "another file system");
    t::makeDir(target + "/bound");
    ASSERT_EQ(::mount(outside.c_str(), (target + "/bound").c_str(), nullptr, MS_BIND, nullptr), 0);
    // A single file mounted into the selection, as containers get /etc/hosts, two folders down.
    t::makeDir(target + "/etc");
    t::makeDir(target + "/etc/deeper");
    t::writeFile(target + "/etc/deeper/hosts", "");
    t::writeFile(target + "/etc/deeper/mine", "mine");
    ASSERT_EQ(::mount((outside + "/hosts").c_str(), (target + "/etc/deeper/hosts").c_str(), nullptr, MS_BIND,
                      nullptr),
              0);

    Shredding shredding(16);
    shredding.run(target);

    EXPECT_EQ(contents(outside + "/secret"), "outside the selection")
        << "a bind mount of the same file system was entered";
    EXPECT_EQ(contents(outside + "/hosts"), "a file of another place")
        << "the file mounted into the selection was overwritten through its mount";
    EXPECT_EQ(t::listNames(outside), (std::vector<std::string>{"hosts", "secret"}));
    // The folders on the way to a mount point keep their names, so the mounts stay where they were.
    EXPECT_EQ(t::listNames(fs), (std::vector<std::string>{"T", "outside"}));
    EXPECT_EQ(t::listNames(target), (std::vector<std::string>{"bound", "etc", "other"}));
    EXPECT_EQ(t::listNames(target + "/etc"), std::vector<std::string>{"deeper"});
    EXPECT_EQ(t::listNames(target + "/etc/deeper"), std::vector<std::string>{"hosts"});
    EXPECT_EQ(contents(target + "/other/theirs"), "another file system");

    std::map<std::string, std::string> outcome;
    for (const auto& item : shredding.recorder.items)
        outcome[item.path] = item.success ? "overwritten" : item.error.value_or("?");
    EXPECT_EQ(outcome, (std::map<std::string, std::string>{
                           {target + "/plain", "overwritten"},
                           {target + "/etc/deeper/mine", "overwritten"},
                           {target + "/other", "Mount point, left in place"},
                           {target + "/bound", "Mount point, left in place"},
                           {target + "/etc/deeper/hosts", "Mount point, left in place"}}))
        << "the mount points are named in the result";
}

TEST(FileShredCoordinator, KernelFilesAreNeverOpenedForWritingRenamedOrRemoved)
{
    // The only kernel file aimed at is the name of a process of the test's own: a broken guard
    // would rename it, and that is seen.
    t::SleepingProcess sleeper;
    ASSERT_TRUE(sleeper.running());
    const std::string folder = sleeper.procFolder();
    const auto shredOnly = [&](const std::string& comm) {
        SCOPED_TRACE(comm);
        const auto opened = cv::RegularFileOpener::open(AT_FDCWD, comm.c_str());
        EXPECT_EQ(opened.status, cv::RegularFileOpener::Status::KernelFile);
        EXPECT_FALSE(opened.fd);
        EXPECT_EQ(cv::RegularFileOpener::describe(opened),
                  "it lies on the kernel's proc file system, not data");
        Shredding shredding(16);
        shredding.run(comm);
        EXPECT_EQ(
            shredding.outcome(),
            (std::map<std::string, std::string>{
                {comm,
                 "not overwritten: Kernel file system, left in place: the kernel's proc file system"}}));
        EXPECT_TRUE(shredding.helper.calls.empty()) << "the helper was asked about a kernel file";
        EXPECT_EQ(sleeper.comm(), "sleep");
        EXPECT_TRUE(t::exists(comm));
    };
    shredOnly(folder + "/comm");
    {
        SCOPED_TRACE("a walk of the process's folder hands out nothing (a walk only reads)");
        cv::FolderWalker walker;
        const cv::UniqueFd fd(cv::FolderWalker::openFolder(folder));
        ASSERT_TRUE(fd);
        int visited = 0;
        EXPECT_EQ(walker.walk(fd.get(), folder,
                              [&](const cv::FolderWalker::Entry&) {
                                  ++visited;
                                  return false;
                              }),
                  EPERM);
        EXPECT_EQ(visited, 0);
    }
    if (!t::isRoot())
        GTEST_SKIP() << "the process's folder is bind-mounted by root only";
    t::TempDir dir;
    const std::string bound = dir / "pid";
    t::makeDir(bound);
    ASSERT_EQ(::mount(folder.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> unmount(
        &bound, [](const std::string* path) { ::umount2(path->c_str(), MNT_DETACH); });
    shredOnly(bound + "/comm");
}

TEST(FileShredCoordinator, AFileCutShortByCancelIsNotReportedOverwritten)
{
    t::TempDir dir;
    const std::int64_t size = 3 * 1048576;
    t::writeFile(dir / "big", Bytes(size, 1));
    // Cancels the job once the first block of the file has been written.
    struct CancellingIo : cv::FileIo
    {
        FileShredCoordinator* coordinator = nullptr;
        bool writeAll(int fd, const void* data, std::size_t length, off_t offset) override
        {
            const bool ok = FileIo::writeAll(fd, data, length, offset);
            coordinator->cancel();
            return ok;
        }
    } io;
    Shredding shredding(13, io);
    io.coordinator = &shredding.coordinator;
    shredding.coordinator.shredFile(dir / "big");

    ASSERT_EQ(shredding.recorder.items.size(), 1u);
    EXPECT_FALSE(shredding.recorder.items[0].success) << "only one block of three passes was written";
    // ... yet that block is gone: the file is not as it was, and says so.
    EXPECT_EQ(shredding.recorder.items[0].error, "Overwritten in part: the job was cancelled");
    shredding.coordinator.settle(shredding.recorder.items);
    EXPECT_EQ(shredding.recorder.items[0].state, ShredItem::State::OverwrittenInPart);
    EXPECT_EQ(shredding.recorder.missing, 0) << "a cancel is no error";
}

TEST(FileShredCoordinator, ATargetWithATrailingSlashKeepsItsExcludes)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    t::writeFile(target + "/gone", "gone");
    t::writeFile(target + "/sub/keep.txt", "keep");
    PreparedExcludes excludes;
    excludes.exclude(target + "/sub/keep.txt");

    Shredding shredding(16);
    shredding.run(target + "/", excludes);

    EXPECT_EQ(contents(target + "/sub/keep.txt"), "keep")
        << "the folder holding the excluded file was renamed and the file deleted";
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"sub"});
}

TEST(FileShredCoordinator, AFileThatCouldNotBeOverwrittenStaysAndSoDoItsFolders)
{
    {
        SCOPED_TRACE("a write that fails");
        t::TempDir dir;
        const std::string target = dir / "T";
        t::makeDir(target);
        t::makeDir(target + "/sub");
        t::makeDir(target + "/gone");
        t::writeFile(target + "/sub/big", Bytes(3 * 1048576, 1));
        t::writeFile(target + "/sub/empty", "");
        t::writeFile(target + "/gone/empty", "");
        FailingIo io;
        io.writesBeforeFailure = 0;
        Shredding shredding(13, io);
        shredding.run(target);

        EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"T"}) << "the target keeps its name";
        EXPECT_EQ(t::listNames(target), std::vector<std::string>{"sub"});
        EXPECT_EQ(t::listNames(target + "/sub"), std::vector<std::string>{"big"})
            << "an empty file counts as overwritten once it was opened";
        EXPECT_EQ(t::readFile(target + "/sub/big"), Bytes(3 * 1048576, 1));
        std::map<std::string, std::string> outcome;
        for (const auto& item : shredding.recorder.items)
            outcome[item.path] = item.success ? "overwritten" : item.error.value_or("?");
        EXPECT_EQ(outcome, (std::map<std::string, std::string>{
                               {target + "/sub/big", "Failed to write file: Input/output error"},
                               {target + "/sub/empty", "overwritten"},
                               {target + "/gone/empty", "overwritten"}}));
    }
    {
        SCOPED_TRACE("a file the process may not write, and the helper does not open up");
        if (!t::isRoot())
            GTEST_SKIP() << "giving the files to another user needs root";
        t::TempDir dir;
        ::chmod(dir.path().c_str(), 0777);
        const std::string target = dir / "T";
        t::makeDir(target);
        t::writeFile(target + "/readonly", std::string(100, 'r'));
        ::chmod((target + "/readonly").c_str(), 0444);
        t::writeFile(target + "/plain", "plain");
        t::giveToNobody(target);
        t::giveToNobody(target + "/plain");
        const int failures = t::runUnprivileged([&] {
            Shredding shredding(15);
            shredding.helper.mode = StandInHelper::Mode::Refuse;
            shredding.coordinator.setHelperTimeout(std::chrono::milliseconds(200));
            shredding.run(target);
            for (const auto& item : shredding.recorder.items) {
                if (item.path == target + "/readonly" && item.error != "Path not writable: refused") {
                    std::fprintf(stderr, "the read-only file is not listed with its error\n");
                    return 1;
                }
            }
            return shredding.recorder.items.size() == 2 ? 0 : 1;
        });
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"T"}) << "the target keeps its name";
        EXPECT_EQ(t::listNames(target), std::vector<std::string>{"readonly"});
        EXPECT_EQ(t::readFile(target + "/readonly"), Bytes(100, 'r'));
    }
}

namespace {

// A small ext4 volume of its own, mounted below a temporary folder (needs root).
struct Ext4Volume
{
    t::TempDir dir;
    std::string path = dir / "volume";
    std::optional<t::LoopMount> mount;

    explicit Ext4Volume(const char* size)
    {
        t::makeDir(path);
        mount.emplace(dir / "ext4.img", path, "ext4", size);
    }
};

// Counts the syncs of single files and of whole file systems; the file-system syncs fail with EIO
// from the failFrom-th on (never when 0).
struct SyncCountingIo : cv::FileIo
{
    int fileSyncs = 0;
    int fileSystemSyncs = 0;
    int failFrom = 0;
    bool dataSync(int fd) override
    {
        ++fileSyncs;
        return FileIo::dataSync(fd);
    }
    bool syncFileSystem(int fd) override
    {
        ++fileSystemSyncs;
        if (failFrom > 0 && fileSystemSyncs >= failFrom) {
            errno = EIO;
            return false;
        }
        return FileIo::syncFileSystem(fd);
    }
};

std::string markerFile(int i)
{
    std::string text;
    while (text.size() < 4096)
        text += "cindervault-marker-" + std::to_string(i) + "-";
    return text.substr(0, 4096);
}

} // namespace

TEST(FileShredCoordinator, SmallFilesWaitForOneSyncPerFolderAndAFailedSyncLeavesEveryOneOfThem)
{
    // On ext4 the small files of a folder are synced together when the walk leaves the folder; a
    // larger file is synced by itself, and the files are listed in the order they were met.
    struct Case
    {
        const char* name;
        int failFrom;
        cv::Verification verification;
        int fileSyncs;
        int fileSystemSyncs;
    };
    for (const Case c : {Case{"every sync succeeds", 0, cv::Verification::Off, 1, 2},
                         Case{"the second folder's sync fails", 2, cv::Verification::Off, 1, 2},
                         Case{"the last pass is read back", 0, cv::Verification::LastPass, 21, 0}}) {
        SCOPED_TRACE(c.name);
        const Ext4Volume ext4("32M");
        if (!ext4.mount->available())
            GTEST_SKIP() << ext4.mount->failure();
        const std::string& volume = ext4.path;
        const std::string target = volume + "/T";
        for (const char* folder : {"", "/a", "/b"})
            t::makeDir(target + folder);
        std::vector<std::string> names;
        for (int i = 0; i < 10; ++i) {
            names.push_back("f" + std::to_string(i));
            for (const char* folder : {"/a/", "/b/"})
                t::writeFile(target + folder + names.back(), std::string(4096, 'a'));
        }
        t::writeFile(target + "/big", Bytes(2 * 1048576, 'c'));
        SyncCountingIo io;
        io.failFrom = c.failFrom;
        Shredding shredding(16, io);
        shredding.writer.setVerification(c.verification);
        RenameCounter renames;
        renames.watch(target);
        shredding.run(target);
        renames.counts();

        EXPECT_EQ(io.fileSyncs, c.fileSyncs);
        EXPECT_EQ(io.fileSystemSyncs, c.fileSystemSyncs);
        std::vector<std::string> listed;
        for (const auto& item : shredding.recorder.items)
            listed.push_back(item.path.str());
        EXPECT_EQ(listed, shredding.recorder.current) << "listed in the order they were met";
        if (c.failFrom == 0) {
            EXPECT_FALSE(t::exists(target));
            EXPECT_EQ(renames.movedAway,
                      (std::set<std::string>{target + "/a", target + "/b", target + "/big"}))
                << "the folders lost their names too";
            EXPECT_EQ(std::count_if(shredding.recorder.items.begin(), shredding.recorder.items.end(),
                                    [](const ShredItem& item) { return item.success; }),
                      21);
            continue;
        }
        // The folder walked first lost its files; every file of the second, whose sync failed,
        // stays under its name, and so do the folders that hold it.
        ASSERT_EQ(listed.size(), 21u);
        const std::string second = listed.back().substr(target.size() + 1, 1);
        EXPECT_EQ(t::listNames(volume), (std::vector<std::string>{"T", "lost+found"}));
        EXPECT_EQ(t::listNames(target), std::vector<std::string>{second});
        EXPECT_EQ(t::listNames(target + "/" + second), names);
        EXPECT_FALSE(renames.movedAway.contains(target + "/" + second));
        for (const auto& item : shredding.recorder.items) {
            const bool stays = item.path.str().starts_with(target + "/" + second + "/");
            EXPECT_EQ(item.success, !stays) << item.path;
            EXPECT_EQ(item.error.value_or(""), stays ? "Failed to write file: Input/output error" : "");
        }
    }
}

TEST(FileShredCoordinator, AFileIsListedOverwrittenOnlyOnceItsLastPassIsOnTheDevice)
{
    // Whenever a file is listed as overwritten, the volume's image no longer holds its content,
    // whether it waited for a sync with others or was synced alone.
    const Ext4Volume ext4("32M");
    if (!ext4.mount->available())
        GTEST_SKIP() << ext4.mount->failure();
    const std::string target = ext4.path + "/T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    std::map<std::string, std::string> markers;
    for (int i = 0; i < 20; ++i) {
        const std::string path = target + (i % 2 ? "/sub/f" : "/f") + std::to_string(i);
        markers[path] = markerFile(i).substr(0, 64);
        t::writeFile(path, markerFile(i));
    }
    ::sync();
    int onDevice = 0;
    int listed = 0;
    Shredding shredding(16);
    shredding.recorder.onItem = [&](const ShredItem& item) {
        ++listed;
        const Bytes image = t::readFile(ext4.mount->image());
        const std::string& marker = markers[item.path.str()];
        if (item.success &&
            std::search(image.begin(), image.end(), marker.begin(), marker.end()) != image.end()) {
            ADD_FAILURE() << item.path << " is listed overwritten while the device still holds its content";
            ++onDevice;
        }
    };
    shredding.run(target);
    EXPECT_EQ(listed, 20);
    EXPECT_EQ(onDevice, 0);
    EXPECT_FALSE(t::exists(target));
}

namespace {

// Writes through to the file system and counts the writes per file (device and inode).
struct CountingIo : cv::FileIo
{
    std::map<ino_t, int> writes;
    bool writeAll(int fd, const void* data, std::size_t length, off_t offset) override
    {
        struct stat info;
        ::fstat(fd, &info);
        ++writes[info.st_ino];
        return FileIo::writeAll(fd, data, length, offset);
    }
};

ino_t inodeOf(const std::string& path)
{
    struct stat info
    {};
    ::lstat(path.c_str(), &info);
    return info.st_ino;
}

} // namespace

TEST(FileShredCoordinator, AFileWithHardLinksIsOverwrittenOnlyWhenEveryNameIsSelected)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    const std::string other = dir / "U";
    const std::string outside = dir / "outside";
    for (const auto& folder : {target, target + "/sub", other, outside})
        t::makeDir(folder);
    // One name outside the selection; both names in one target; one name in each of two targets.
    t::writeFile(target + "/shared", "also seen from outside");
    ASSERT_EQ(::link((target + "/shared").c_str(), (outside + "/shared").c_str()), 0);
    t::writeFile(target + "/inside", "both names selected");
    ASSERT_EQ(::link((target + "/inside").c_str(), (target + "/sub/inside").c_str()), 0);
    t::writeFile(target + "/across", "one name per target");
    ASSERT_EQ(::link((target + "/across").c_str(), (other + "/across").c_str()), 0);
    const ino_t inside = inodeOf(target + "/inside");
    const ino_t across = inodeOf(target + "/across");

    CountingIo io;
    Shredding shredding(16, io);
    for (const auto& path : {target, other})
        shredding.coordinator.shredPath(path, {});
    shredding.coordinator.finishShredding();
    const std::string renamedTarget = shredding.coordinator.renameAtPath(target, {});
    const std::string renamedOther = shredding.coordinator.renameAtPath(other, {});
    shredding.coordinator.saveDelete(renamedTarget, {});
    shredding.coordinator.saveDelete(renamedOther, {});

    EXPECT_EQ(contents(outside + "/shared"), "also seen from outside");
    EXPECT_EQ(renamedTarget, target) << "the target holds a file that stays";
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"shared"})
        << "both names of the other file went";
    EXPECT_FALSE(t::exists(other)) << "the file named in both targets went with its names";
    EXPECT_EQ(io.writes, (std::map<ino_t, int>{{inside, 1}, {across, 1}})) << "each overwritten once";

    std::map<std::string, std::string> outcome;
    for (const auto& item : shredding.recorder.items)
        outcome[item.path] = item.success ? "overwritten" : item.error.value_or("?");
    EXPECT_EQ(outcome, (std::map<std::string, std::string>{{target + "/shared", "File has other hard links"},
                                                           {target + "/inside", "overwritten"},
                                                           {target + "/sub/inside", "overwritten"},
                                                           {target + "/across", "overwritten"},
                                                           {other + "/across", "overwritten"}}));
    EXPECT_EQ(shredding.coordinator.totals().filesRemoved, 4u);
}

TEST(FileShredCoordinator, NoRemovedCountExceedsWhatWasOverwritten)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/a", "secret");
    t::writeFile(target + "/b", "other");
    Shredding shredding(15);
    shredding.coordinator.shredPath(target, {});
    shredding.coordinator.finishShredding();
    // A second name of an overwritten file appears before the deletion: its content is overwritten,
    // so it goes with the rest, but it is no file more than the job overwrote.
    ASSERT_EQ(::link((target + "/a").c_str(), (target + "/late").c_str()), 0);
    const std::string renamed = shredding.coordinator.renameAtPath(target, {});
    shredding.coordinator.saveDelete(renamed, {});
    shredding.coordinator.finishDeleting();

    EXPECT_FALSE(t::exists(renamed));
    const FileShredCoordinator::Totals& totals = shredding.coordinator.totals();
    EXPECT_EQ(totals.filesOverwritten, 2u);
    EXPECT_EQ(totals.filesRemoved, 2u) << "removed names beyond the overwritten ones";
    EXPECT_EQ(totals.bytesOverwritten, 11);
    EXPECT_EQ(totals.bytesRemoved, 11);
    EXPECT_EQ(shredding.outcome(), (std::map<std::string, std::string>{{target + "/a", "deleted: "},
                                                                       {target + "/b", "deleted: "}}));
}

namespace {

// Lists folders from the file system, except that the first listing of one chosen folder gives
// a single name and then fails with EIO, as a failing disk does.
struct FailingReader : cv::FolderWalker::DirectoryReader
{
    ino_t failing = 0;
    int calls = 0;
    long readEntries(int fd, void* buffer, std::size_t size) override
    {
        struct stat info;
        const long length = DirectoryReader::readEntries(fd, buffer, size);
        if (::fstat(fd, &info) != 0 || info.st_ino != failing || calls >= 2)
            return length;
        if (calls++ == 1) {
            errno = EIO;
            return -1;
        }
        // Cut the batch after its first name that is not "." or "..".
        for (long offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(static_cast<char*>(buffer) + offset);
            offset += entry->d_reclen;
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                return offset;
        }
        return length;
    }
};

} // namespace

TEST(FileShredCoordinator, FilesAFailedListingHidFromTheOverwriteStayWithTheirContent)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/sub");
    for (const std::string name : {"a", "b", "c", "d", "e"})
        t::writeFile(target + "/sub/" + name, "secret " + name);
    t::writeFile(target + "/beside", "beside");
    FailingReader reader;
    reader.failing = inodeOf(target + "/sub");
    Shredding shredding(16);
    shredding.coordinator.setDirectoryReader(&reader);
    shredding.run(target);

    // One file of the folder was listed and overwritten; the others were never overwritten, so
    // they stay under their names with their content, and so do the folders that hold them.
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"T"});
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"sub"});
    const auto left = t::listNames(target + "/sub");
    EXPECT_EQ(left.size(), 4u);
    for (const auto& name : left) {
        EXPECT_EQ(contents(target + "/sub/" + name), "secret " + name);
    }
    std::map<std::string, std::string> failed;
    for (const auto& item : shredding.recorder.items) {
        if (!item.success)
            failed[item.path] = item.error.value_or("?");
    }
    ASSERT_EQ(failed.size(), 5u) << "the folder, and each file it kept";
    EXPECT_EQ(failed[target + "/sub"], "Folder could not be read: Input/output error");
    for (const auto& name : left)
        EXPECT_EQ(failed[target + "/sub/" + name], "Not overwritten, left in place") << name;
}

TEST(FileShredCoordinator, HistoryPathsReadAsTheWholePathsTheWalksMet)
{
    using Folder = cv::ItemPath::Folder;
    const auto top = Folder::top("/");
    EXPECT_EQ(cv::ItemPath(top, "etc").str(), "/etc") << "no doubled slash below /";
    const auto deep = Folder::below(Folder::below(Folder::top("/a/b/"), "c"), "d\xff");
    EXPECT_EQ(deep->str(), "/a/b/c/d\xff");
    EXPECT_EQ(cv::ItemPath(deep, "f").str(), "/a/b/c/d\xff/f");
    EXPECT_EQ(top->str(), "/");
    EXPECT_EQ(cv::ItemPath("relative/whole").str(), "relative/whole") << "a path given whole stays as it is";
}

namespace {

// Refuses to list the chosen folders, as the system refuses a folder the user may not read.
struct RefusingReader : cv::FolderWalker::DirectoryReader
{
    std::vector<ino_t> refused;
    long readEntries(int fd, void* buffer, std::size_t size) override
    {
        struct stat info;
        if (::fstat(fd, &info) == 0 && std::ranges::find(refused, info.st_ino) != refused.end()) {
            errno = EACCES;
            return -1;
        }
        return DirectoryReader::readEntries(fd, buffer, size);
    }
};

} // namespace

TEST(FileShredCoordinator, FoldersThatCannotBeReadGoWhenEmptyAndStayWithTheirErrorOtherwise)
{
    t::TempDir dir;
    const std::string target = dir / "T";
    const std::string lone = dir / "lone"; // a target that cannot be read, and is empty
    for (const std::string& folder : {target, target + "/empty", target + "/full", lone})
        t::makeDir(folder);
    t::writeFile(target + "/full/secret", "secret");
    t::writeFile(target + "/plain", "plain");
    RefusingReader reader;
    reader.refused = {inodeOf(target + "/empty"), inodeOf(target + "/full"), inodeOf(lone)};
    Shredding shredding(16);
    shredding.coordinator.setDirectoryReader(&reader);
    shredding.run(target);
    shredding.run(lone);

    // rmdir needs no listing and removes only an empty folder: the empty ones went, the other
    // stays with what it holds, and only it is an error, of a folder and not of a file.
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"T"});
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"full"});
    EXPECT_EQ(contents(target + "/full/secret"), "secret");
    std::vector<std::string> failures;
    for (const auto& item : shredding.recorder.items) {
        if (!item.success)
            failures.push_back(std::string(ShredItem::kindKey(item.kind)) + " " + item.path.str() + ": " +
                               item.error.value_or(""));
    }
    EXPECT_EQ(failures, std::vector<std::string>{"folder " + target +
                                                 "/full: Folder could not be read: Permission denied"});
    EXPECT_EQ(shredding.outcome()[target + "/plain"], "deleted: ");
}

TEST(FileShredCoordinator, EachFileEndsWithItsFinalStateNeverDeletedWhileStillThere)
{
    if (!t::isRoot())
        GTEST_SKIP() << "giving the files to another user needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const std::string target = dir / "T";
    t::makeDir(target);
    t::makeDir(target + "/locked");
    t::writeFile(target + "/locked/kept", "secret");
    t::writeFile(target + "/gone", "gone");
    t::giveToNobody(target);
    t::giveToNobody(target + "/gone");
    t::giveToNobody(target + "/locked/kept");
    // The subject may write the file but not the folder that holds it: overwritten, but neither
    // renamed nor removed (and the helper refuses).
    ::chmod((target + "/locked").c_str(), 0555);
    const int failures = t::runUnprivileged([&] {
        Shredding shredding(16);
        shredding.helper.mode = StandInHelper::Mode::Refuse;
        shredding.coordinator.setHelperTimeout(std::chrono::milliseconds(200));
        shredding.run(target);
        const auto outcome = shredding.outcome();
        const std::map<std::string, std::string> expected{
            {target + "/gone", "deleted: "},
            {target + "/locked/kept",
             "overwritten: Overwritten, but could not be deleted: Permission denied"}};
        if (outcome == expected)
            return 0;
        for (const auto& [path, state] : outcome)
            std::fprintf(stderr, "%s -> %s\n", path.c_str(), state.c_str());
        return 1;
    });
    EXPECT_EQ(failures, 0);
    // The folder itself could be renamed; what it holds could not.
    const auto names = t::listNames(target);
    ASSERT_EQ(names.size(), 1u);
    const std::string locked = target + "/" + names.front();
    EXPECT_EQ(t::listNames(locked), std::vector<std::string>{"kept"});
    EXPECT_NE(contents(locked + "/kept"), "secret") << "overwritten all the same";
    ::chmod(locked.c_str(), 0755);
}

TEST(FileShredCoordinator, AFileThatDoesNotReadBackAsWrittenStaysWithItsOffset)
{
    // Inverts one byte of bad.bin between the last pass and its read-back, as a failing device would.
    struct FlippingIo : cv::FileIo
    {
        void readingBack(int fd) override
        {
            char name[PATH_MAX] = {};
            const std::string link = "/proc/self/fd/" + std::to_string(fd);
            if (::readlink(link.c_str(), name, sizeof name - 1) <= 0 ||
                std::string(name).find("bad.bin") == std::string::npos)
                return;
            std::uint8_t byte = 0;
            ASSERT_EQ(::pread(fd, &byte, 1, 4242), 1);
            byte = static_cast<std::uint8_t>(~byte);
            ASSERT_EQ(::pwrite(fd, &byte, 1, 4242), 1);
        }
    } io;
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/bad.bin", std::string(10000, 'b'));
    t::writeFile(target + "/good.bin", std::string(10000, 'g'));

    Shredding shredding(14, io);
    shredding.writer.setVerification(cv::Verification::LastPass);
    shredding.run(target);

    const auto outcome = shredding.outcome();
    EXPECT_EQ(outcome.at(target + "/bad.bin"),
              "not overwritten: Verification failed: first difference at byte 4242");
    EXPECT_EQ(outcome.at(target + "/good.bin"), "deleted: ");
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"bad.bin"}) << "the unverified file stays";
    for (const auto& item : shredding.recorder.items)
        EXPECT_EQ(item.verified, item.path.str().ends_with("good.bin")) << item.path;
    // One write and one read per file, the failed file's rest booked as done.
    EXPECT_EQ(shredding.recorder.written + shredding.recorder.missing, 2 * 2 * 10000);
}

TEST(FileShredCoordinator, ACancelDuringTheReadBackLeavesTheFileAndSaysSo)
{
    struct CancellingIo : cv::FileIo
    {
        FileShredCoordinator* coordinator = nullptr;
        void readingBack(int) override { coordinator->cancel(); }
    } io;
    t::TempDir dir;
    const std::string target = dir / "T";
    t::makeDir(target);
    t::writeFile(target + "/a.bin", std::string(3 * 1048576, 'a'));

    Shredding shredding(14, io);
    io.coordinator = &shredding.coordinator;
    shredding.writer.setVerification(cv::Verification::LastPass);
    shredding.run(target);

    // Every pass was written when the last one was being read back: the file is overwritten (one
    // state in the row, the JSON and the counts), only not verified.
    EXPECT_EQ(shredding.outcome().at(target + "/a.bin"),
              "overwritten: Overwritten, not deleted: the job was cancelled");
    ASSERT_EQ(shredding.recorder.items.size(), 1u);
    EXPECT_TRUE(shredding.recorder.items[0].cancelled);
    EXPECT_TRUE(shredding.recorder.items[0].success);
    EXPECT_FALSE(shredding.recorder.items[0].verified);
    EXPECT_EQ(t::listNames(target), std::vector<std::string>{"a.bin"});
}

TEST(FileShredCoordinator, AFileThatIsNotTheOneOverwrittenIsNeverRemoved)
{
    // ext4 gives a freed inode number to the next new file: removed and made again between the
    // overwrite and the deletion, the file has the device and inode of the one overwritten.
    const Ext4Volume ext4("16M");
    if (!ext4.mount->available())
        GTEST_SKIP() << "no ext4 loop mount here (needs root)";
    const std::string& volume = ext4.path;
    const std::string target = volume + "/T";
    t::makeDir(target);
    t::writeFile(target + "/log", std::string(5000, 'o'));
    t::writeFile(target + "/grows", std::string(5000, 'g'));
    t::writeFile(target + "/other", std::string(5000, 'x'));
    struct stat before;
    ASSERT_EQ(::stat((target + "/log").c_str(), &before), 0);

    Shredding shredding(13);
    shredding.coordinator.shredPath(target, {});
    ASSERT_EQ(::unlink((target + "/log").c_str()), 0);
    t::writeFile(target + "/log", "a new file, never overwritten");
    struct stat after;
    ASSERT_EQ(::stat((target + "/log").c_str(), &after), 0);
    ASSERT_EQ(after.st_ino, before.st_ino) << "ext4 did not hand the inode number out again";
    // And one that grew after its passes: what was added is not overwritten.
    const int grows = ::open((target + "/grows").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_EQ(::write(grows, "added", 5), 5);
    ::close(grows);
    const std::string renamed = shredding.coordinator.renameAtPath(target, {});
    shredding.coordinator.saveDelete(renamed, {});
    shredding.coordinator.finishDeleting();
    shredding.coordinator.settle(shredding.recorder.items);

    EXPECT_EQ(renamed, target) << "the folder holds what stays";
    EXPECT_EQ(t::listNames(target), (std::vector<std::string>{"grows", "log"}));
    EXPECT_EQ(contents(target + "/log"), "a new file, never overwritten");
    std::vector<std::string> rows;
    for (const auto& item : shredding.recorder.items)
        rows.push_back(item.path.str().substr(target.size()) + " " + ShredItem::stateKey(item.state) + ": " +
                       item.error.value_or(""));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "/grows overwritten: Overwritten, but it grew since: left in place",
                        "/log not overwritten: Replaced since it was overwritten, left in place",
                        "/log overwritten: Overwritten, but could not be deleted",
                        "/other deleted: ",
                    }));
}

TEST(FileShredCoordinator, TheWalkPausesBetweenFilesOnlyWhenAPauseWasAskedFor)
{
    // On a busy machine each yield or sleep between files gives away a time slice, longer than a
    // small file's overwrite takes; the job's priority is what leaves room for others.
    t::TempDir dir;
    for (const auto pause : {std::chrono::microseconds(0), std::chrono::microseconds(1)}) {
        SCOPED_TRACE(pause.count() ? "a pause asked for" : "no pause asked for");
        const std::string target = dir / ("T" + std::to_string(pause.count()));
        t::makeDir(target);
        t::makeDir(target + "/sub");
        for (int i = 0; i < 20; ++i)
            t::writeFile(target + (i % 2 ? "/sub/f" : "/f") + std::to_string(i), "data");
        Shredding shredding(16);
        shredding.coordinator.setFilePause(pause);
        yields = sleeps = 0;
        countPacing = true;
        shredding.run(target);
        countPacing = false;
        EXPECT_FALSE(t::exists(target));
        EXPECT_EQ(yields, 0);
        EXPECT_EQ(sleeps, pause.count() ? 20 : 0) << "one sleep per file, when asked for";
    }
}

TEST(FileShredCoordinator, TheRowOfAFileThatStaysNamesWhereItIsNow)
{
    if (!t::isRoot())
        GTEST_SKIP() << "remounting and immutable folders need root";
    // Every row of a file that stays names that very file where it is now; where that is not the
    // path the user knew, the row keeps that path beside it.
    const auto checkRows = [](const std::vector<ShredItem>& items, const std::set<std::string>& known) {
        for (const ShredItem& item : items) {
            if (item.kind != ShredItem::Kind::File || item.state == ShredItem::State::Deleted)
                continue;
            struct stat info;
            EXPECT_EQ(::lstat(item.path.str().c_str(), &info), 0) << item.path << " names nothing";
            EXPECT_EQ(info.st_ino, item.inode) << item.path;
            const std::string knownAs = item.formerPath.empty() ? item.path.str() : item.formerPath.str();
            EXPECT_TRUE(known.contains(knownAs)) << knownAs;
        }
    };
    {
        SCOPED_TRACE("the volume turns read-only between renaming and deleting");
        t::TempDir dir;
        t::TmpfsMount mount(dir.path(), "8m");
        ASSERT_TRUE(mount.available());
        const std::string target = dir / "T";
        t::makeDir(target);
        t::makeDir(target + "/sub");
        t::writeFile(target + "/sub/a", "aaaa");
        t::writeFile(target + "/b", "bbbb");
        Shredding shredding(16);
        shredding.coordinator.shredPath(target, {});
        const std::string renamed = shredding.coordinator.renameAtPath(target, {});
        ASSERT_EQ(::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        shredding.coordinator.saveDelete(renamed, {});
        shredding.coordinator.finishDeleting();
        shredding.coordinator.settle(shredding.recorder.items);
        checkRows(shredding.recorder.items, {target + "/sub/a", target + "/b"});
        for (const ShredItem& item : shredding.recorder.items) {
            if (item.kind != ShredItem::Kind::File)
                continue; // the folder that could not be deleted has a row of its own
            EXPECT_EQ(item.state, ShredItem::State::Overwritten);
            EXPECT_FALSE(item.formerPath.empty()) << "renamed before its removal failed";
        }
        ::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT, nullptr);
    }
    {
        SCOPED_TRACE("a cancel while the target's contents are renamed");
        // The cancel comes while the target's last entry is renamed (a file), or while a folder in it
        // is emptied: the target keeps its name, and so does the folder.
        for (const std::string entry : {"f", "d/f"}) {
            t::TempDir dir;
            const std::string target = dir / "T";
            t::makeDir(target);
            if (entry == "d/f")
                t::makeDir(target + "/d");
            t::writeFile(target + "/" + entry, "data");
            Shredding shredding(16);
            shredding.recorder.onRenaming = [&] { shredding.coordinator.cancel(); };
            shredding.run(target);
            shredding.coordinator.settle(shredding.recorder.items);
            EXPECT_TRUE(t::exists(target)) << "after a cancel a target keeps its name";
            ASSERT_EQ(shredding.recorder.items.size(), 1u);
            checkRows(shredding.recorder.items, {target + "/" + entry});
            if (entry == "d/f") {
                EXPECT_EQ(t::listNames(target), std::vector<std::string>{"d"});
            }
        }
    }
    {
        SCOPED_TRACE("an immutable folder inside a target");
        t::TempDir dir;
        t::TmpfsMount mount(dir.path(), "8m");
        ASSERT_TRUE(mount.available());
        const std::string target = dir / "T";
        const std::string locked = target + "/P/I";
        t::makeDir(target);
        t::makeDir(target + "/P");
        t::makeDir(locked);
        t::writeFile(locked + "/f", "secret");
        t::writeFile(target + "/P/g", "gone");
        const auto setImmutable = [&](bool on) {
            const cv::UniqueFd fd(::open(locked.c_str(), O_RDONLY | O_DIRECTORY));
            int flags = 0;
            ASSERT_EQ(::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags), 0);
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ASSERT_EQ(::ioctl(fd.get(), FS_IOC_SETFLAGS, &flags), 0);
        };
        setImmutable(true);
        Shredding shredding(16);
        shredding.helper.mode = StandInHelper::Mode::Refuse;
        shredding.coordinator.setHelperTimeout(std::chrono::milliseconds(200));
        shredding.run(target);
        shredding.coordinator.settle(shredding.recorder.items);
        setImmutable(false);
        checkRows(shredding.recorder.items, {locked + "/f", target + "/P/g"});
        EXPECT_NE(contents(locked + "/f"), "secret") << "overwritten, and where the user left it";
    }
}
