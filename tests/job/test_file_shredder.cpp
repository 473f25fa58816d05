#include "HelperToolStandIn.h"
#include "LoopMount.h"
#include "TempDir.h"
#include "Unprivileged.h"
#include "engine/AlgorithmCollection.h"
#include "job/FileShredder.h"
#include "targets/PathCollectionFactory.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

using cv::FileShredder;
using cv::ShredOptions;
using cv::ShredResult;
using cv::ShredState;
namespace t = cv::test;

namespace {

std::shared_ptr<cv::Algorithm> method(std::uint64_t id)
{
    static const cv::AlgorithmCollection collection;
    return collection.findByIdentifier(id);
}

struct Delegate : cv::FileShredderDelegate
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::shared_ptr<const ShredState>> states;
    std::vector<std::shared_ptr<ShredResult>> results;
    std::function<void(const ShredState&)> onProgress;

    void curProgress(std::shared_ptr<const ShredState> state) override
    {
        std::function<void(const ShredState&)> hook;
        {
            std::lock_guard lock(mutex);
            states.push_back(state);
            hook = onProgress;
        }
        changed.notify_all();
        if (hook)
            hook(*state);
    }
    void finished(std::shared_ptr<ShredResult> result) override
    {
        std::lock_guard lock(mutex);
        results.push_back(result);
        changed.notify_all();
    }
};

struct RecordingHelper : t::HelperToolStandIn
{
    std::vector<std::string> calls;
    void openFileForWriting(const cv::ExaminedEntry& entry, FileReply reply, AskingUser) override
    {
        calls.push_back("open " + entry.folder + "/" + entry.name);
        reply(cv::Unexpected(std::string("no")));
    }
    void deleteFileAtPath(const cv::ExaminedEntry& entry, Reply reply, AskingUser) override
    {
        calls.push_back("delete " + entry.folder + "/" + entry.name);
        reply(cv::Unexpected(std::string("no")));
    }
    void reformatVolumeAt(const std::string& path, const cv::ConfirmedVolume& confirmed, Reply reply,
                          AskingUser) override
    {
        calls.push_back("reformat " + path);
        confirmedVolumes.push_back(confirmed);
        std::thread([reply] { reply({}); }).detach();
    }
    // The policy's answer before the job starts: empty allows.
    std::string refusal;
    std::vector<std::string> checks;
    std::vector<cv::ConfirmedVolume> confirmedVolumes;
    void checkReformatVolumeAt(const std::string& path, Reply reply) override
    {
        checks.push_back(path);
        if (refusal.empty())
            reply({});
        else
            reply(cv::Unexpected(refusal));
    }
};

struct Inhibitor : cv::SleepInhibitor
{
    std::vector<std::string> events;
    bool acquire(const std::string&, const std::string& why) override
    {
        events.push_back("acquire " + why);
        return true;
    }
    void release() override { events.push_back("release"); }
};

// Runs the job to its end, with the helper and the volume probe when given; its one result.
std::shared_ptr<ShredResult> runJob(FileShredder& job, Delegate& delegate,
                                    cv::HelperToolClient* helper = nullptr,
                                    std::optional<cv::VolumeProbe> probe = std::nullopt)
{
    job.setDelegate(&delegate);
    cv::JobEnvironment environment = job.environment();
    if (helper)
        environment.helperTool = helper;
    if (probe)
        environment.volumeProbe = *probe;
    job.setEnvironment(std::move(environment));
    job.run();
    EXPECT_EQ(delegate.results.size(), 1u) << "finished exactly once";
    return delegate.results.empty() ? nullptr : delegate.results.front();
}

std::shared_ptr<cv::PathCollection> scan(const std::vector<std::string>& paths)
{
    return cv::PathCollectionFactory().createPathCollection(paths);
}

// The options of a complete erase of a volume: its free space, its files, then a new file system.
std::shared_ptr<ShredOptions> completeErase()
{
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->eraseFreeSpace = true;
    options->formatVolume = true;
    options->optionKey = "complete";
    return options;
}

// A temp folder that the job takes for a mounted volume of `capacity` bytes: its free space
// shrinks with what is stored in it.
cv::VolumeProbe folderAsVolume(const std::string& folder, std::int64_t capacity)
{
    cv::VolumeProbe probe = cv::VolumeProbe::system();
    probe.isVolume = [folder](const std::string& path) { return path == folder; };
    probe.volumeName = [](const std::string&) { return std::string("Test"); };
    probe.freeBytes = [folder, capacity](const std::string&) {
        std::int64_t used = 0;
        for (const auto& name : t::listNames(folder)) {
            if (name == "ErasingFreeSpace.record") // the wipe's few bytes of bookkeeping
                continue;
            struct stat info;
            if (::lstat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
                used += info.st_size;
        }
        return std::max<std::int64_t>(0, capacity - used);
    };
    probe.allFreeBytes = probe.freeBytes; // no blocks that only root, or the file system, may write
    // The folder's device stands for the volume's block device.
    probe.identify = [folder](const std::string& path) -> std::optional<cv::ConfirmedVolume> {
        struct stat info;
        if (path != folder || ::stat(folder.c_str(), &info) != 0)
            return std::nullopt;
        return cv::ConfirmedVolume{info.st_dev, 7, "uuid-of-test", "Test"};
    };
    return probe;
}

} // namespace

TEST(FileShredder, DeleteJobCountsEveryPassAndRemovesTheTargets)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/ten", std::string(10, 't'));
    t::writeFile(dir / "T/more", std::string(1000, 'm'));
    t::writeFile(dir / "single", std::string(5, 's'));
    auto collection = scan({dir / "T", dir / "single"});
    auto inhibitor = std::make_shared<Inhibitor>();
    Delegate delegate;
    FileShredder job(collection, method(13), std::make_shared<ShredOptions>());
    cv::JobEnvironment environment;
    environment.sleepInhibitor = inhibitor;
    environment.filePause = std::chrono::microseconds(0);
    job.setEnvironment(environment);
    const auto finished = runJob(job, delegate);
    ASSERT_TRUE(finished);
    const auto& result = *finished;
    EXPECT_FALSE(result.canceled);
    EXPECT_EQ(result.fileCountTotal, 3u);
    EXPECT_EQ(result.fileCountFinished, 3u);
    EXPECT_EQ(result.bytesCountTotal, 1015);
    EXPECT_EQ(result.bytesCountFinished, 1015);
    EXPECT_EQ(result.fileCountRemoved, 3u);
    EXPECT_EQ(result.bytesCountRemoved, 1015);
    EXPECT_EQ(result.errorCount, 0u);
    EXPECT_EQ(result.history.size(), 3u);
    EXPECT_EQ(result.lastState->bytesCount, 3 * 1015);
    EXPECT_EQ(result.lastState->bytesProgress, 3 * 1015);
    EXPECT_GE(result.end, result.start);
    EXPECT_EQ(result.algorithm, method(13));
    ASSERT_EQ(result.paths->paths().size(), 2u);
    EXPECT_NE(result.paths->paths()[0], dir / "T") << "the collection holds the targets' new names";
    ASSERT_EQ(result.targets.size(), 2u);
    EXPECT_EQ(result.targets[0], dir / "T") << "and the result the names the user chose";
    EXPECT_TRUE(t::listNames(dir.path()).empty());

    ASSERT_FALSE(delegate.states.empty());
    EXPECT_EQ(delegate.states.front()->path, "Initialising") << "the set-up snapshot comes first";
    EXPECT_EQ(delegate.states.front()->curAction, "Erasing Data");
    EXPECT_EQ(inhibitor->events, (std::vector<std::string>{"acquire Cindervault Action", "release"}));
}

TEST(FileShredder, TheThreadThatRunsTheJobTakesTheEnvironmentsPriority)
{
    // The window's job runs in the background: niced, as batch work, at the lowest best-effort
    // I/O priority. The thread that started it (the window's event loop) keeps its priority.
    // Without them the job's thread keeps what it has, as a job run from a terminal does.
    struct Priority
    {
        int nice = 0;
        int policy = 0;
        long io = 0;
        bool operator==(const Priority&) const = default;
    };
    const auto priorityOfThisThread = [] {
        errno = 0;
        return Priority{::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())), ::sched_getscheduler(0),
                        ::syscall(SYS_ioprio_get, IOPRIO_WHO_PROCESS, 0)};
    };
    const Priority before = priorityOfThisThread();
    // Lower, never higher, than this thread's: an unprivileged test may only lower it.
    const int background = std::min(19, before.nice + 3);
    for (const bool inTheBackground : {true, false}) {
        SCOPED_TRACE(inTheBackground ? "in the background" : "at the caller's priority");
        t::TempDir dir;
        t::writeFile(dir / "f", std::string(100, 'f'));
        FileShredder job(scan({dir / "f"}), method(16), std::make_shared<ShredOptions>());
        cv::JobEnvironment environment;
        if (inTheBackground)
            environment.niceness = background;
        environment.background = inTheBackground;
        job.setEnvironment(environment);
        Delegate delegate;
        std::optional<Priority> seen;
        delegate.onProgress = [&](const ShredState&) { seen = priorityOfThisThread(); };
        std::thread worker([&] { runJob(job, delegate); });
        worker.join();
        ASSERT_TRUE(seen);
        if (inTheBackground) {
            EXPECT_EQ(seen->nice, background) << "the job's thread";
            EXPECT_EQ(seen->policy, SCHED_BATCH);
            EXPECT_EQ(seen->io, cv::JobEnvironment::kBackgroundIoPriority);
        } else {
            EXPECT_TRUE(*seen == before) << "the job's thread keeps the priority it started with";
        }
        EXPECT_TRUE(priorityOfThisThread() == before) << "the thread that started the job";
        EXPECT_FALSE(t::exists(dir / "f"));
    }
}

TEST(JobEnvironment, TheUsersHomeFolderAlsoWithoutHomeSet)
{
    // Without HOME (a program started by a service or with env -i) the home folder is the user's
    // own, not root's, or the startup volume's fill folder would lie where the user may not write.
    const char* saved = std::getenv("HOME");
    const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    const std::string own = entry->pw_dir;
    t::TempDir dir;
    ::setenv("HOME", dir.path().c_str(), 1);
    EXPECT_EQ(cv::JobEnvironment::userHomeFolder(), dir.path()) << "HOME when it is set";
    ::setenv("HOME", "", 1);
    EXPECT_EQ(cv::JobEnvironment::userHomeFolder(), own) << "an empty HOME";
    ::unsetenv("HOME");
    EXPECT_EQ(cv::JobEnvironment::userHomeFolder(), own) << "no HOME";
    if (previous)
        ::setenv("HOME", previous->c_str(), 1);
}

TEST(FileShredder, ProgressIsThrottledToOneSnapshotPer50Milliseconds)
{
    t::TempDir dir(t::exists("/dev/shm") ? "/dev/shm" : ""); // thousands of passes: keep them off the disk
    t::makeDir(dir / "T");
    for (int i = 0; i < 200; ++i)
        t::writeFile(dir / ("T/f" + std::to_string(i)), std::string(20000, 'x'));
    Delegate delegate;
    FileShredder job(scan({dir / "T"}), method(2), std::make_shared<ShredOptions>());
    cv::JobEnvironment environment;
    environment.filePause = std::chrono::milliseconds(2); // at least 0.4 s of job, however fast the machine
    job.setEnvironment(environment);
    ASSERT_TRUE(runJob(job, delegate));
    // Thousands of block callbacks; the snapshots after the set-up one are 50 ms apart. A snapshot
    // takes its time a moment after the throttle's stamp, hence the small allowance.
    ASSERT_GT(delegate.states.size(), 2u);
    for (std::size_t i = 2; i < delegate.states.size(); ++i)
        EXPECT_GT(delegate.states[i]->timeSinceStart - delegate.states[i - 1]->timeSinceStart, 0.045) << i;
}

TEST(FileShredder, CancelStopsTheFileAndSkipsTheRemainingPhases)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    const std::size_t size = 96 * 1048576;
    t::writeFile(dir / "T/big", std::vector<std::uint8_t>(size, 1));
    Delegate delegate;
    RecordingHelper helper;
    auto options = std::make_shared<ShredOptions>();
    options->formatVolume = true;
    FileShredder job(scan({dir / "T"}), method(1), options);
    job.setDelegate(&delegate);
    cv::JobEnvironment environment;
    environment.helperTool = &helper;
    job.setEnvironment(environment);
    std::thread worker([&] { job.run(); });
    {
        std::unique_lock lock(delegate.mutex);
        delegate.changed.wait(lock, [&] {
            return !delegate.results.empty() ||
                   (!delegate.states.empty() && delegate.states.back()->bytesProgress > 0);
        });
    }
    job.cancel();
    worker.join();

    ASSERT_EQ(delegate.results.size(), 1u) << "finished exactly once, also after a cancel";
    const auto& result = *delegate.results[0];
    EXPECT_TRUE(result.canceled);
    EXPECT_LT(result.lastState->bytesProgress, static_cast<std::int64_t>(50 * size))
        << "stopped inside the file";
    // The totals say what was really done: the file was begun, not overwritten, and it stays.
    EXPECT_EQ(result.fileCountFinished, 0u);
    EXPECT_EQ(result.bytesCountFinished, 0);
    EXPECT_EQ(result.fileCountRemoved, 0u);
    EXPECT_EQ(result.bytesCountRemoved, 0);
    EXPECT_EQ(t::listNames(dir / "T"), std::vector<std::string>{"big"}) << "nothing renamed or deleted";
    // ... but its content is partly gone, and its row says so (the command line's JSON too).
    ASSERT_EQ(result.history.size(), 1u);
    EXPECT_EQ(result.history[0].state, cv::ShredItem::State::OverwrittenInPart);
    EXPECT_STREQ(cv::ShredItem::stateKey(result.history[0].state), "overwritten in part");
    EXPECT_EQ(result.history[0].error.value_or(""), "Overwritten in part: the job was cancelled");
    EXPECT_EQ(result.overwrittenInPart().size(), 1u);
    EXPECT_TRUE(helper.calls.empty()) << "no formatting after a cancel";
    bool sawCanceling = false;
    for (const auto& state : delegate.states)
        sawCanceling = sawCanceling || (state->curAction == "Canceling..." && state->path == "Canceling...");
    EXPECT_TRUE(sawCanceling);
}

TEST(FileShredder, FreeSpaceOnlyJobWipesAndFlushesButShredsNothing)
{
    t::TempDir volume;
    t::writeFile(volume / "keep.txt", "stays");
    const std::int64_t capacity = 3000005; // 3,000,000 bytes free besides keep.txt
    auto collection = std::make_shared<cv::PathCollection>();
    collection->setPaths({volume.path()});
    collection->setTotalSize(999);
    collection->setFileCount(1);
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->eraseFreeSpaceOnly = true;
    Delegate delegate;
    FileShredder job(collection, method(17), options);
    const auto finished = runJob(job, delegate, nullptr, folderAsVolume(volume.path(), capacity));
    ASSERT_TRUE(finished);
    const auto& result = *finished;
    EXPECT_EQ(result.fileCountTotal, 0u);
    EXPECT_EQ(result.fileCountFinished, 0u);
    EXPECT_TRUE(result.history.empty());
    EXPECT_EQ(result.bytesCountTotal, 3000000);
    EXPECT_EQ(result.lastState->bytesCount, 3 * 3000000);
    EXPECT_EQ(result.lastState->bytesProgress, 3 * 3000000);
    EXPECT_EQ(result.bytesCountFinished, 3000000);
    EXPECT_EQ(t::listNames(volume.path()), std::vector<std::string>{"keep.txt"})
        << "no fill or flush file left";
    EXPECT_EQ(t::readFile(volume / "keep.txt"), std::vector<std::uint8_t>({'s', 't', 'a', 'y', 's'}));
    EXPECT_EQ(delegate.states.front()->curAction, "Freespace Erase only");
}

TEST(FileShredder, VolumeOptionsDoNothingWithoutAVolumeTarget)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/f", "data");
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->eraseFreeSpace = true;
    options->formatVolume = true;
    RecordingHelper helper;
    Delegate delegate;
    FileShredder job(scan({dir / "T"}), method(16), options);
    const auto result = runJob(job, delegate, &helper, folderAsVolume("/nowhere", 1000000000));
    EXPECT_TRUE(helper.calls.empty());
    EXPECT_TRUE(t::listNames(dir.path()).empty());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->bytesCountTotal, 4);
}

TEST(FileShredder, CompleteEraseWipesShredsAndReformatsTheVolume)
{
    t::TempDir volume;
    t::makeDir(volume / "docs");
    t::writeFile(volume / "docs/a", std::string(100, 'a'));
    auto collection = scan({volume.path()});
    const auto options = completeErase();
    RecordingHelper helper;
    Delegate delegate;
    FileShredder job(collection, method(16), options);
    const auto finished = runJob(job, delegate, &helper, folderAsVolume(volume.path(), 2000000));
    EXPECT_EQ(helper.calls, std::vector<std::string>{"reformat " + volume.path()});
    ASSERT_TRUE(finished);
    const auto& result = *finished;
    EXPECT_EQ(result.bytesCountTotal, 100 + 2000000) << "files plus the wiped free bytes";
    EXPECT_EQ(result.history.size(), 1u);
    EXPECT_TRUE(t::exists(volume.path())) << "the mount point itself is neither renamed nor removed";
    EXPECT_TRUE(t::listNames(volume.path()).empty()) << "its contents are";
    EXPECT_EQ(result.paths->paths(), std::vector<std::string>{volume.path()});
    EXPECT_EQ(delegate.states.front()->curAction, "Complete Erase");
    bool sawFormatting = false;
    for (const auto& state : delegate.states)
        sawFormatting = sawFormatting || state->path == volume.path() + " - Formatting";
    EXPECT_TRUE(sawFormatting);
}

TEST(FileShredder, AReformatThatFailsOrCannotBeAskedForFailsTheJob)
{
    struct RefusingHelper : RecordingHelper
    {
        void reformatVolumeAt(const std::string& path, const cv::ConfirmedVolume&, Reply reply,
                              AskingUser) override
        {
            calls.push_back("reformat " + path);
            std::thread([reply] { reply(cv::Unexpected(std::string("mkfs.ext4 failed"))); }).detach();
        }
    };
    for (const bool withHelper : {true}) {
        SCOPED_TRACE("the helper refuses");
        t::TempDir volume;
        t::writeFile(volume / "a", std::string(10, 'a'));
        RefusingHelper helper;
        Delegate delegate;
        FileShredder job(scan({volume.path()}), method(16), completeErase());
        const auto result =
            runJob(job, delegate, withHelper ? &helper : nullptr, folderAsVolume(volume.path(), 100000));
        ASSERT_TRUE(result);
        // The step is named with its reason, counted apart from the files, and fails the job.
        EXPECT_EQ(result->status(), ShredResult::Status::Errors);
        EXPECT_EQ(result->errorCount, 0u);
        EXPECT_EQ(result->otherErrorCount, 1u);
        EXPECT_EQ(result->lastState->otherErrorCount, 1u);
        const cv::ShredItem& step = result->history.back();
        EXPECT_EQ(step.kind, cv::ShredItem::Kind::Step);
        EXPECT_EQ(step.path.str(), volume.path());
        EXPECT_EQ(step.error.value_or(""), "Reformatting failed: mkfs.ext4 failed");
        EXPECT_EQ(result->fileCountFinished, 1u);
        EXPECT_EQ(result->fileCountTotal, 1u);
        EXPECT_EQ(result->history.front().state, cv::ShredItem::State::Deleted);
    }
}

TEST(FileShredder, ACompleteEraseTheHelperWouldRefuseIsRefusedBeforeAnythingIsDone)
{
    for (const std::string why : {"policy", "no helper"}) {
        SCOPED_TRACE(why);
        t::TempDir volume;
        t::writeFile(volume / "a", std::string(10, 'a'));
        RecordingHelper helper;
        helper.refusal =
            "Refusing to reformat " + volume.path() + ": only volumes mounted at or below /media";
        Delegate delegate;
        FileShredder job(scan({volume.path()}), method(16), completeErase());
        const auto result =
            runJob(job, delegate, why == "policy" ? &helper : nullptr, folderAsVolume(volume.path(), 100000));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status(), ShredResult::Status::Errors);
        ASSERT_FALSE(result->history.empty());
        EXPECT_EQ(result->history.back().error.value_or(""),
                  "Reformatting failed: " + (why == "policy"
                                                 ? helper.refusal
                                                 : std::string("the privileged helper is not available")));
        EXPECT_EQ(t::listNames(volume.path()), std::vector<std::string>{"a"}) << "nothing wiped or shredded";
        EXPECT_EQ(t::readFile(volume / "a"), std::vector<std::uint8_t>(10, 'a'));
        EXPECT_EQ(result->fileCountFinished, 0u);
        EXPECT_TRUE(helper.calls.empty()) << "never a reformat";
    }
    {
        SCOPED_TRACE("the helper allows: it is asked first, and the reformat names the confirmed volume");
        t::TempDir volume;
        RecordingHelper helper;
        Delegate delegate;
        FileShredder job(scan({volume.path()}), method(16), completeErase());
        runJob(job, delegate, &helper, folderAsVolume(volume.path(), 100000));
        EXPECT_EQ(helper.checks, std::vector<std::string>{volume.path()});
        ASSERT_EQ(helper.confirmedVolumes.size(), 1u);
        struct stat info;
        ASSERT_EQ(::stat(volume.path().c_str(), &info), 0);
        EXPECT_EQ(helper.confirmedVolumes[0].device, info.st_dev);
        EXPECT_EQ(helper.confirmedVolumes[0].diskSequence, 7u);
        EXPECT_EQ(helper.confirmedVolumes[0].uuid, "uuid-of-test");
    }
}

TEST(FileShredder, APlaceholderMethodOrACancelBeforeRunStillFinishes)
{
    t::TempDir dir;
    t::writeFile(dir / "f", "data");
    {
        Delegate delegate;
        FileShredder job(scan({dir / "f"}), method(0), nullptr);
        const auto result = runJob(job, delegate);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->bytesCountFinished, 0);
    }
    {
        Delegate delegate;
        FileShredder job(scan({dir / "f"}), method(16), nullptr);
        job.cancel();
        const auto result = runJob(job, delegate);
        ASSERT_TRUE(result);
        EXPECT_TRUE(result->canceled);
        EXPECT_TRUE(result->history.empty());
    }
}

TEST(FileShredder, SaysSoWhileTheUserIsAskedForAPassword)
{
    if (!t::isRoot())
        GTEST_SKIP() << "another user's file needs root";
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    // Root's file: only the helper may open it up for the job's user.
    const std::string path = dir / "readonly.txt";
    t::writeFile(path, std::string(100, 'r'));
    ::chmod(path.c_str(), 0444);

    const int failures = t::runUnprivilegedWithRootAtHand([&] {
        // The helper asks the user, who answers yes once the job has said that it waits.
        struct AskingHelper : RecordingHelper
        {
            Delegate* delegate = nullptr;
            void openFileForWriting(const cv::ExaminedEntry& entry, FileReply reply,
                                    AskingUser askingUser) override
            {
                calls.push_back("open " + entry.folder + "/" + entry.name);
                askingUser();
                std::thread([entry, reply, delegate = delegate] {
                    {
                        std::unique_lock lock(delegate->mutex);
                        delegate->changed.wait_for(lock, std::chrono::seconds(60), [delegate] {
                            return std::any_of(
                                delegate->states.begin(), delegate->states.end(),
                                [](const auto& state) { return state->waitingForAuthorization; });
                        });
                    }
                    const std::string path = entry.folder + "/" + entry.name;
                    cv::UniqueFd file;
                    {
                        const t::AsRoot root;
                        file.reset(::open(path.c_str(), O_RDWR | O_CLOEXEC));
                    }
                    reply(std::move(file));
                }).detach();
            }
        } helper;
        Delegate delegate;
        helper.delegate = &delegate;
        FileShredder job(scan({path}), method(16), std::make_shared<ShredOptions>());
        job.setDelegate(&delegate);
        cv::JobEnvironment environment;
        environment.helperTool = &helper;
        job.setEnvironment(environment);
        job.run();
        int bad = 0;
        const auto waiting = std::find_if(delegate.states.begin(), delegate.states.end(),
                                          [](const auto& state) { return state->waitingForAuthorization; });
        if (waiting == delegate.states.end() || (*waiting)->path != "Waiting for authorization...") {
            std::fprintf(stderr, "no snapshot says that the job waits for authorization\n");
            ++bad;
        }
        if (delegate.states.empty() || delegate.states.back()->waitingForAuthorization) {
            std::fprintf(stderr, "the job still says it waits\n");
            ++bad;
        }
        if (delegate.results.size() != 1 || delegate.results.front()->history.size() != 1 ||
            !delegate.results.front()->history.front().success) {
            std::fprintf(stderr, "the file was not overwritten after the user's yes\n");
            ++bad;
        }
        return bad;
    });
    EXPECT_EQ(failures, 0);
}

TEST(FileShredder, CancelEndsTheWaitForAReformatThatDoesNotAnswer)
{
    // The window's helper client answers on the GUI thread, which may itself be waiting for the job
    // to end: a cancel must free the job from a reformat that has not answered. Here the user is
    // asked for the password and never answers: the job says so, and the cancel withdraws the call.
    struct SilentHelper : RecordingHelper
    {
        std::vector<Reply> kept;
        std::atomic<int> withdrawals{0};
        void reformatVolumeAt(const std::string& path, const cv::ConfirmedVolume&, Reply reply,
                              AskingUser askingUser) override
        {
            calls.push_back("reformat " + path);
            kept.push_back(std::move(reply));
            askingUser();
        }
        void withdrawCalls() override { ++withdrawals; }
    } helper;
    t::TempDir volume;
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->formatVolume = true;
    Delegate delegate;
    auto job = std::make_shared<FileShredder>(scan({volume.path()}), method(16), options);
    cv::JobEnvironment environment;
    environment.helperTool = &helper;
    environment.volumeProbe = folderAsVolume(volume.path(), 0);
    job->setEnvironment(environment);
    job->setDelegate(&delegate);
    std::thread worker([job] { job->run(); });
    {
        std::unique_lock lock(delegate.mutex);
        ASSERT_TRUE(delegate.changed.wait_for(lock, std::chrono::seconds(30), [&] {
            return !delegate.states.empty() && delegate.states.back()->waitingForAuthorization &&
                   delegate.states.back()->path == "Waiting for authorization...";
        }));
    }
    job->cancel();
    {
        std::unique_lock lock(delegate.mutex);
        const bool ended = delegate.changed.wait_for(lock, std::chrono::seconds(30),
                                                     [&] { return !delegate.results.empty(); });
        if (!ended) {
            worker.detach(); // the job hangs: fail rather than hang the test program
            FAIL() << "the job still waits for the reformat after a cancel";
        }
    }
    worker.join();
    EXPECT_TRUE(delegate.results[0]->canceled);
    EXPECT_EQ(helper.withdrawals, 1) << "the reformat given up on is withdrawn";
    for (auto& late : helper.kept)
        late({}); // the reply that comes after all does no harm
}

TEST(FileShredder, AnExcludedFileOfAFillFilesNameSurvivesACompleteErase)
{
    t::TempDir volume;
    t::writeFile(volume / "ErasingFreeSpace_1.dat", "the user's, excluded");
    t::writeFile(volume / "other.txt", "goes");
    auto collection = scan({volume.path()});
    collection->setExcludes({volume / "ErasingFreeSpace_1.dat"});
    const auto options = completeErase();
    Delegate delegate;
    RecordingHelper helper;
    FileShredder job(collection, method(16), options);
    const auto result = runJob(job, delegate, &helper, folderAsVolume(volume.path(), 3000000));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->errorCount, 0u);
    // The fill phase wrote and removed fill files of its own, under other numbers; the shred
    // phase left the excluded file (the stand-in helper formats nothing).
    EXPECT_EQ(t::listNames(volume.path()), std::vector<std::string>{"ErasingFreeSpace_1.dat"});
    const auto kept = t::readFile(volume / "ErasingFreeSpace_1.dat");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the user's, excluded");
}

TEST(FileShredder, ReadBacksCountInTheProgressButNotAsBytesWritten)
{
    {
        SCOPED_TRACE("files, last pass read back");
        t::TempDir dir;
        t::makeDir(dir / "T");
        t::writeFile(dir / "T/ten", std::string(10, 't'));
        t::writeFile(dir / "T/more", std::string(1000, 'm'));
        auto options = std::make_shared<ShredOptions>();
        options->verification = cv::Verification::LastPass;
        Delegate delegate;
        FileShredder job(scan({dir / "T"}), method(13), options);
        cv::JobEnvironment environment;
        environment.filePause = std::chrono::microseconds(0);
        job.setEnvironment(environment);
        const auto finished = runJob(job, delegate);
        ASSERT_TRUE(finished);
        EXPECT_EQ(finished->lastState->bytesCount, 4 * 1010) << "three passes written, one read back";
        EXPECT_EQ(finished->lastState->bytesProgress, 4 * 1010);
        for (const auto& state : delegate.states)
            EXPECT_LE(state->bytesProgress, 4 * 1010);
        EXPECT_EQ(finished->bytesCountFinished, 1010);
        ASSERT_EQ(finished->history.size(), 2u);
        for (const auto& item : finished->history) {
            EXPECT_TRUE(item.verified) << item.path;
            EXPECT_EQ(item.state, cv::ShredItem::State::Deleted);
        }
        EXPECT_TRUE(t::listNames(dir.path()).empty());
    }
    {
        SCOPED_TRACE("free space, every pass read back");
        t::TempDir volume;
        auto collection = std::make_shared<cv::PathCollection>();
        collection->setPaths({volume.path()});
        auto options = std::make_shared<ShredOptions>();
        options->hasVolumes = true;
        options->eraseFreeSpaceOnly = true;
        options->verification = cv::Verification::AllPasses;
        Delegate delegate;
        FileShredder job(collection, method(17), options);
        const auto finished = runJob(job, delegate, nullptr, folderAsVolume(volume.path(), 3000000));
        ASSERT_TRUE(finished);
        EXPECT_EQ(finished->lastState->bytesCount, 6 * 3000000);
        EXPECT_EQ(finished->lastState->bytesProgress, 6 * 3000000);
        EXPECT_EQ(finished->bytesCountFinished, 3000000);
        EXPECT_EQ(finished->otherErrorCount, 0u);
        EXPECT_TRUE(t::listNames(volume.path()).empty());
    }
}

// The file system stops at once, its journal not written out: what was not committed is lost, as
// in a power cut. ext4 and xfs share the request (EXT4_IOC_SHUTDOWN, XFS_IOC_GOINGDOWN).
bool shutDownWithoutLogFlush(const std::string& mountPoint)
{
    constexpr unsigned long kGoingDown = _IOR('X', 125, std::uint32_t);
    constexpr std::uint32_t kNoLogFlush = 2;
    const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::uint32_t flags = kNoLogFlush;
    const bool done = fd >= 0 && ::ioctl(fd, kGoingDown, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

TEST(FileShredder, DeletionsAreOnTheDeviceWhenTheJobEnds)
{
    // Shredding a folder and cleaning files only (as temporary data is cleaned), on ext4 and xfs:
    // right after the result the file system goes down as in a power cut; mounted again, none of
    // the files is back.
    for (const char* type : {"ext4", "xfs"}) {
        for (const bool filesOnly : {false, true}) {
            SCOPED_TRACE(std::string(type) + (filesOnly ? " files only" : " folder"));
            t::TempDir dir;
            const std::string volume = dir / "volume";
            t::makeDir(volume);
            t::LoopMount mount(dir / "image", volume, type, "320M");
            if (!mount.available())
                GTEST_SKIP() << "needs root and mkfs." << type;
            t::makeDir(volume + "/T");
            for (int i = 0; i < 20; ++i)
                t::writeFile(volume + "/T/file" + std::to_string(i), std::string(4096, 'x'));
            ::sync();
            const std::vector<std::string> before = t::listNames(volume);
            auto options = std::make_shared<ShredOptions>();
            options->filesOnly = filesOnly;
            FileShredder job(scan({volume + "/T"}), method(13), options);
            Delegate delegate;
            const auto result = runJob(job, delegate);
            ASSERT_TRUE(result);
            ASSERT_EQ(result->fileCountRemoved, 20u);
            ASSERT_TRUE(shutDownWithoutLogFlush(volume)) << std::strerror(errno);
            // Unmounted for real: a mount still in use would be found again as it is in memory.
            ASSERT_TRUE(mount.unmount()) << "the job holds nothing open on the volume";
            ASSERT_TRUE(mount.mountAgain());
            std::vector<std::string> expected = before;
            if (!filesOnly)
                std::erase(expected, "T");
            EXPECT_EQ(t::listNames(volume), expected);
            if (filesOnly) {
                EXPECT_EQ(t::listNames(volume + "/T").size(), 0u) << "files came back";
            }
        }
    }
}

TEST(FileShredder, TotalsGrowWithWhatTheJobMeets)
{
    // The file grows between the scan and the job: no figure of the result exceeds its total.
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/log", std::string(1000, 'l'));
    auto collection = scan({dir / "T"});
    t::writeFile(dir / "T/log", std::string(9000, 'l'));
    Delegate delegate;
    FileShredder job(collection, method(16), std::make_shared<ShredOptions>());
    cv::JobEnvironment environment;
    environment.filePause = std::chrono::microseconds(0);
    job.setEnvironment(environment);
    const auto finished = runJob(job, delegate);
    ASSERT_TRUE(finished);
    EXPECT_EQ(finished->bytesCountFinished, 9000);
    EXPECT_GE(finished->bytesCountTotal, finished->bytesCountFinished);
    EXPECT_GE(finished->bytesCountTotal, finished->bytesCountRemoved);
    EXPECT_LE(finished->fileCountFinished, finished->fileCountTotal);
}

TEST(FileShredder, FreeSpaceTheWipeCouldNotReachIsNamedWithItsVolume)
{
    // The volume keeps 12345 bytes nobody may write: measured after the fill, kept in the result.
    t::TempDir volume;
    auto collection = std::make_shared<cv::PathCollection>();
    collection->setPaths({volume.path()});
    auto options = std::make_shared<ShredOptions>();
    options->hasVolumes = true;
    options->eraseFreeSpaceOnly = true;
    auto probe = folderAsVolume(volume.path(), 2000000);
    const auto writable = probe.freeBytes;
    probe.allFreeBytes = [writable](const std::string& path) { return writable(path) + 12345; };
    Delegate delegate;
    FileShredder job(collection, method(16), options);
    const auto finished = runJob(job, delegate, nullptr, probe);
    ASSERT_TRUE(finished);
    const auto wiped =
        std::find_if(finished->volumes.begin(), finished->volumes.end(),
                     [&](const cv::ShredVolume& known) { return known.volume.mountPoint == volume.path(); });
    ASSERT_NE(wiped, finished->volumes.end());
    EXPECT_TRUE(wiped->freeSpaceWiped);
    EXPECT_EQ(wiped->unwrittenBytes, 12345);
    EXPECT_EQ(finished->otherErrorCount, 0u);
}
