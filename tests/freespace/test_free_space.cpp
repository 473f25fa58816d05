#include "LoopMount.h"
#include "SleepingProcess.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "Unprivileged.h"
#include "engine/AlgorithmCollection.h"
#include "freespace/FreeSpaceCoordinator.h"

#include <algorithm>
#include <dirent.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using cv::FreeSpaceCoordinator;
using cv::FreeSpaceWriter;
namespace t = cv::test;

namespace {

std::shared_ptr<cv::Algorithm> method(std::uint64_t id)
{
    static const cv::AlgorithmCollection collection;
    return collection.findByIdentifier(id);
}

struct Recorder : cv::FreeSpaceCoordinatorDelegate
{
    std::vector<std::string> titles;
    std::vector<std::int64_t> toWrite;
    std::vector<std::int64_t> available;
    std::vector<std::int64_t> blocks;
    std::vector<std::string> failures;
    std::function<void()> onBlock;

    void freespaceWrittenBytes(std::int64_t bytes) override
    {
        blocks.push_back(bytes);
        if (onBlock)
            onBlock();
    }
    void freespaceAvailableFreeBytes(std::int64_t bytes) override { available.push_back(bytes); }
    void freespaceBytesToWrite(std::int64_t bytes) override { toWrite.push_back(bytes); }
    void freespaceVolumeTitle(const std::string& title) override { titles.push_back(title); }
    void freespaceFailed(const std::string& path, const std::string& reason) override
    {
        failures.push_back(path + ": " + reason);
    }
    std::int64_t written() const { return std::accumulate(blocks.begin(), blocks.end(), std::int64_t(0)); }
};

// Writes nothing anywhere: counts, and refuses writes past a capacity, like a full volume.
struct FakeVolumeIo : cv::FileIo
{
    std::int64_t capacity = INT64_MAX;
    std::int64_t stored = 0;
    int failWith = 0; // every write fails with this errno
    std::vector<std::pair<off_t, std::size_t>> writes;

    bool writeAll(int, const void*, std::size_t length, off_t offset) override
    {
        writes.emplace_back(offset, length);
        if (failWith != 0) {
            errno = failWith;
            return false;
        }
        if (stored + static_cast<std::int64_t>(length) > capacity &&
            offset + static_cast<off_t>(length) > stored) {
            errno = ENOSPC;
            return false;
        }
        stored = std::max<std::int64_t>(stored, offset + static_cast<off_t>(length));
        return true;
    }
    bool dataSync(int) override { return true; }
};

cv::VolumeProbe fakeProbe(std::int64_t free, std::string name = "Disk")
{
    cv::VolumeProbe probe;
    probe.isVolume = [](const std::string&) { return true; };
    probe.volumeName = [name](const std::string&) { return name; };
    probe.freeBytes = [free](const std::string&) { return free; };
    return probe;
}

} // namespace

TEST(FreeSpaceCoordinator, PlanningFigures)
{
    FreeSpaceWriter writer(method(16), 8388608);
    FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(0));
    EXPECT_EQ(coordinator.getPreferedFileSizeToErase(99000000000), 4000000000);
    EXPECT_EQ(FreeSpaceCoordinator::getFileCountFor(99000000000, 4000000000), 25u);
    EXPECT_EQ(coordinator.getPreferedBlockSizeForSpaceToErase(99000000000), 8388608u);
    EXPECT_EQ(coordinator.getPreferedFileSizeToErase(5242880), 1048576);
    EXPECT_EQ(FreeSpaceCoordinator::getFileCountFor(5242880, 1048576), 5u);
    EXPECT_EQ(coordinator.getPreferedBlockSizeForSpaceToErase(5242880), 52429u);
    EXPECT_EQ(coordinator.getPreferedBlockSizeForSpaceToErase(50), 1u) << "never a block of 0 bytes";
    EXPECT_EQ(coordinator.getVolumeNameFor("/"), "/ (Disk) - Securely wiping the freespace");
    EXPECT_EQ(coordinator.getVolumeNameFor("/media/usb"), "/media/usb - Securely wiping the freespace");
    EXPECT_EQ(FreeSpaceCoordinator::fillFileName(12), "ErasingFreeSpace_12.dat");
}

TEST(FreeSpaceCoordinator, StartupVolumeReportsAndFillFolder)
{
    // A folder stands for the startup volume, with the home folder on it.
    t::TempDir startup;
    const std::string home = startup / "home";
    t::makeDir(home);
    FakeVolumeIo io;
    FreeSpaceWriter writer(method(15), 8388608, io);
    auto probe = fakeProbe(100000000000);
    probe.isHdd = [&](const std::string& path) { return path == startup.path(); };
    FreeSpaceCoordinator coordinator(method(15), writer, probe);
    coordinator.setHomeFolder(home);
    Recorder recorder;
    coordinator.setDelegate(&recorder);
    std::vector<std::string> seenFiles;
    recorder.onBlock = [&] {
        seenFiles = t::listNames(home + "/Ostrevane");
        coordinator.cancel(); // after the first block: no 99 GB here
    };
    coordinator.freespaceEraseAtPath(startup.path());

    EXPECT_EQ(recorder.titles, std::vector<std::string>{startup.path() + " - Securely wiping the freespace"});
    EXPECT_EQ(recorder.toWrite, std::vector<std::int64_t>{100000000000});
    EXPECT_EQ(recorder.available, std::vector<std::int64_t>{100000000000});
    EXPECT_EQ(recorder.blocks, std::vector<std::int64_t>{8388608});
    EXPECT_EQ(seenFiles, (std::vector<std::string>{"ErasingFreeSpace.record", "ErasingFreeSpace_1.dat"}));
    EXPECT_TRUE(t::exists(home + "/Ostrevane")) << "the fill folder stays";
    EXPECT_TRUE(t::listNames(home + "/Ostrevane").empty()) << "the fill file goes";
    EXPECT_EQ(t::listNames(startup.path()), std::vector<std::string>{"home"});
}

TEST(FreeSpaceCoordinator, NothingHappensForNoFreeSpaceOrNoVolume)
{
    t::TempDir volume;
    FreeSpaceWriter writer(method(16), 8388608);
    {
        FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(0));
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(volume.path());
        EXPECT_EQ(recorder.titles.size(), 1u);
        EXPECT_EQ(recorder.toWrite, std::vector<std::int64_t>{0});
        EXPECT_EQ(recorder.available, std::vector<std::int64_t>{0});
        EXPECT_TRUE(t::listNames(volume.path()).empty());
    }
    {
        auto probe = fakeProbe(1000000);
        probe.isVolume = [](const std::string&) { return false; };
        FreeSpaceCoordinator coordinator(method(16), writer, probe);
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(volume.path());
        EXPECT_TRUE(recorder.titles.empty() && recorder.toWrite.empty() && recorder.blocks.empty());
    }
}

TEST(FreeSpaceWriter, LaterPassesRewriteExactlyWhatTheFirstPassWrote)
{
    FakeVolumeIo io;
    io.capacity = 700000; // the volume fills up inside the first pass
    FreeSpaceWriter writer(method(13), 100000, io);
    struct FullVolume : cv::FreespaceWriterDelegate
    {
        int asked = 0;
        void freespaceWrittenBytes(std::int64_t) override {}
        std::int64_t notEnoughSpaceToWrite(std::int64_t) override
        {
            ++asked;
            return 0;
        }
    } delegate;
    writer.setDelegate(&delegate);
    const std::int64_t covered = writer.writeIntoFile(0, 1000000);
    EXPECT_EQ(covered, 700000);
    EXPECT_EQ(delegate.asked, 1);
    // Writes of passes 1 and 2 start again at 0 and stop at 700,000.
    std::vector<std::int64_t> passStarts;
    std::int64_t sum = 0;
    for (const auto& [offset, length] : io.writes) {
        if (offset == 0)
            passStarts.push_back(sum);
        sum += static_cast<std::int64_t>(length);
    }
    ASSERT_EQ(passStarts.size(), 3u);
    const std::int64_t firstPass = passStarts[1] - passStarts[0];
    EXPECT_EQ(passStarts[2] - passStarts[1], 700000);
    EXPECT_EQ(sum - passStarts[2], 700000);
    EXPECT_EQ(firstPass, 800000) << "seven blocks written and the one that failed";
}

TEST(FreeSpaceWriter, SixthFailureEndsThePassAndTinyWipesFinish)
{
    {
        FakeVolumeIo io;
        io.capacity = 0;
        FreeSpaceWriter writer(method(16), 1000, io);
        struct Stubborn : cv::FreespaceWriterDelegate
        {
            int asked = 0;
            void freespaceWrittenBytes(std::int64_t) override {}
            std::int64_t notEnoughSpaceToWrite(std::int64_t left) override
            {
                ++asked;
                return left; // claims there is room, forever
            }
        } delegate;
        writer.setDelegate(&delegate);
        EXPECT_EQ(writer.writeIntoFile(0, 5000), 0);
        EXPECT_EQ(delegate.asked, 6);
    }
    {
        t::TempDir folder;
        FreeSpaceWriter writer(method(3), 8388608);
        FreeSpaceCoordinator coordinator(method(3), writer, fakeProbe(50));
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceErase(50, folder.path(), 1048576);
        EXPECT_EQ(recorder.written(), 50 * 8) << "every pass of a 50-byte wipe completes";
        EXPECT_TRUE(t::listNames(folder.path()).empty());
    }
}

TEST(FreeSpaceCoordinator, CancelRemovesEveryFillFileAndStopsAtOnce)
{
    t::TempDir folder;
    FreeSpaceWriter writer(method(16), 8388608);
    FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(5242880));
    Recorder recorder;
    coordinator.setDelegate(&recorder);
    std::vector<std::string> atCancel;
    recorder.onBlock = [&] {
        if (recorder.blocks.size() == 45) { // inside the second fill file
            atCancel = t::listNames(folder.path());
            coordinator.cancel();
        }
    };
    coordinator.freespaceErase(5242880, folder.path(), 1048576);
    EXPECT_EQ(atCancel, (std::vector<std::string>{"ErasingFreeSpace.record", "ErasingFreeSpace_1.dat",
                                                  "ErasingFreeSpace_2.dat"}));
    EXPECT_EQ(recorder.blocks.size(), 45u) << "no block after the cancel";
    EXPECT_TRUE(t::listNames(folder.path()).empty());
}

TEST(FreeSpaceCoordinator, FilesOfAFillFilesNameThatAreNotTheWipesOwnAreNeverTouched)
{
    t::TempDir volume;
    const std::map<std::string, std::string> mine{{"ErasingFreeSpace_1.dat", "mine 1"},
                                                  {"ErasingFreeSpace_0.dat", "zero"},
                                                  {"ErasingFreeSpace_01.dat", "zero one"},
                                                  {"ErasingFreeSpace_3.dat", "mine 3"}};
    for (const auto& [name, text] : mine)
        t::writeFile(volume / name, text);
    FreeSpaceWriter writer(method(16), 8388608);
    FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(3 * 1048576));
    // The job excludes a name the wipe would otherwise take.
    const cv::PreparedExcludes excludes({volume / "ErasingFreeSpace_2.dat"});
    coordinator.setExcludes(&excludes);
    Recorder recorder;
    coordinator.setDelegate(&recorder);
    std::set<std::string> seen;
    recorder.onBlock = [&] {
        for (const auto& name : t::listNames(volume.path()))
            seen.insert(name);
    };
    coordinator.freespaceEraseAtPath(volume.path());

    EXPECT_TRUE(recorder.failures.empty()) << recorder.failures.front();
    EXPECT_EQ(recorder.written(), 3 * 1048576);
    for (const auto& [name, text] : mine) {
        const auto bytes = t::readFile(volume / name);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text) << name;
        seen.erase(name);
    }
    // The wipe took the free numbers after the taken and the excluded ones, and kept its record.
    EXPECT_EQ(seen, (std::set<std::string>{"ErasingFreeSpace.record", "ErasingFreeSpace_4.dat",
                                           "ErasingFreeSpace_5.dat", "ErasingFreeSpace_6.dat"}));
    EXPECT_EQ(t::listNames(volume.path()).size(), mine.size()) << "only the user's files are left";
}

TEST(FreeSpaceCoordinator, AKilledWipesRecordedFillFilesGoBeforeTheNextWipe)
{
    t::TempDir volume;
    // A wipe killed inside its second fill file (blocks of 52,429 bytes, 1 MiB a file).
    const auto killedWipe = [&] {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            FreeSpaceWriter writer(method(16), 8388608);
            FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(5242880));
            Recorder recorder;
            coordinator.setDelegate(&recorder);
            recorder.onBlock = [&] {
                if (recorder.blocks.size() == 45)
                    ::_exit(0);
            };
            coordinator.freespaceEraseAtPath(volume.path());
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const auto cleanUp = [&](const std::vector<std::string>& excluded) {
        FreeSpaceWriter writer(method(16), 8388608);
        FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(0));
        const cv::PreparedExcludes excludes(excluded);
        coordinator.setExcludes(&excludes);
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(volume.path());
        EXPECT_TRUE(recorder.failures.empty());
    };
    {
        SCOPED_TRACE("recorded and still the same file: removed; replaced or never recorded: kept");
        ASSERT_TRUE(killedWipe());
        ASSERT_EQ(t::listNames(volume.path()),
                  (std::vector<std::string>{"ErasingFreeSpace.record", "ErasingFreeSpace_1.dat",
                                            "ErasingFreeSpace_2.dat"}));
        // The user replaced one of them with a file of their own (which may get the same inode
        // number), and made another of the name kind.
        ASSERT_EQ(::unlink((volume / "ErasingFreeSpace_2.dat").c_str()), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // past the clock's granularity
        t::writeFile(volume / "ErasingFreeSpace_2.dat", "the user's");
        t::writeFile(volume / "ErasingFreeSpace_7.dat", "also the user's");
        cleanUp({});
        EXPECT_EQ(t::listNames(volume.path()),
                  (std::vector<std::string>{"ErasingFreeSpace_2.dat", "ErasingFreeSpace_7.dat"}));
        ::unlink((volume / "ErasingFreeSpace_2.dat").c_str());
        ::unlink((volume / "ErasingFreeSpace_7.dat").c_str());
    }
    {
        SCOPED_TRACE("an excluded leftover stays");
        ASSERT_TRUE(killedWipe());
        cleanUp({volume / "ErasingFreeSpace_1.dat"});
        EXPECT_EQ(t::listNames(volume.path()), std::vector<std::string>{"ErasingFreeSpace_1.dat"});
    }
}

TEST(FreeSpaceCoordinator, AWipeThatCannotWriteFailsWithTheReason)
{
    // As root the job runs as nobody, whose home is on no volume. A user's own job would rightly
    // take the home folder when it lies on the same volume as the test's folder.
    if (t::isRoot()) {
        SCOPED_TRACE("a volume on which the user may write nowhere");
        t::TempDir dir;
        const std::string folder = dir / "locked";
        t::makeDir(folder);
        ::chmod(dir.path().c_str(), 0755);
        ::chmod(folder.c_str(), 0555);
        const int result = t::runUnprivileged([&] {
            FreeSpaceWriter writer(method(16), 8388608);
            FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(3 * 1048576));
            Recorder recorder;
            coordinator.setDelegate(&recorder);
            coordinator.freespaceEraseAtPath(folder);
            if (recorder.failures !=
                std::vector<std::string>{folder + ": no folder on " + folder + " where you may write"}) {
                for (const auto& failure : recorder.failures)
                    std::fprintf(stderr, "failure: %s\n", failure.c_str());
                return 1;
            }
            return 0;
        });
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(t::listNames(folder).empty());
    }
    {
        SCOPED_TRACE("a write error that is not a full volume ends the fill file at once");
        t::TempDir folder;
        FakeVolumeIo io;
        io.failWith = EIO;
        FreeSpaceWriter writer(method(3), 8388608, io);
        FreeSpaceCoordinator coordinator(method(3), writer, fakeProbe(3 * 1048576));
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(folder.path());
        EXPECT_EQ(recorder.failures,
                  std::vector<std::string>{folder.path() + ": Failed to write file: Input/output error"});
        EXPECT_EQ(io.writes.size(), 1u) << "no retries, no further passes or files";
        EXPECT_TRUE(t::listNames(folder.path()).empty());
    }
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a read-only tmpfs needs root";
    {
        SCOPED_TRACE("a read-only volume");
        t::TempDir dir;
        ASSERT_EQ(::mount("tmpfs", dir.path().c_str(), "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=4m"),
                  0);
        auto probe = cv::VolumeProbe::system();
        probe.isVolume = [&](const std::string& path) { return path == dir.path(); };
        FreeSpaceWriter writer(method(16), 8388608);
        FreeSpaceCoordinator coordinator(method(16), writer, probe);
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(dir.path());
        ::umount2(dir.path().c_str(), MNT_DETACH);
        EXPECT_EQ(recorder.failures,
                  std::vector<std::string>{dir.path() + ": Failed to write file: Read-only file system"});
        EXPECT_EQ(recorder.written(), 0);
    }
}

TEST(FreeSpaceCoordinator, NoFillFileEverGoesToAFileSystemOfTheKernels)
{
    // The folder of a process of the test's own stands for a volume: proc takes no new files, so
    // a broken guard would only fail later, with another reason.
    t::SleepingProcess sleeper;
    ASSERT_TRUE(sleeper.running());
    const std::string folder = sleeper.procFolder();
    FakeVolumeIo io;
    FreeSpaceWriter writer(method(16), 8388608, io);
    FreeSpaceCoordinator coordinator(method(16), writer, fakeProbe(3 * 1048576));
    Recorder recorder;
    coordinator.setDelegate(&recorder);
    coordinator.freespaceEraseAtPath(folder);
    EXPECT_EQ(recorder.failures,
              std::vector<std::string>{folder +
                                       ": Kernel file system, left in place: the kernel's proc file system"});
    EXPECT_TRUE(io.writes.empty());
    EXPECT_EQ(sleeper.comm(), "sleep");
}

TEST(FreeSpaceCoordinator, FillsARealVolumeToItsLimitAndLeavesNothing)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    t::TempDir dir;
    t::TmpfsMount mount(dir.path(), "16m");
    ASSERT_TRUE(mount.available());
    t::writeFile(dir / "existing.bin", std::string(3000000, 'e'));
    struct statvfs before;
    ASSERT_EQ(::statvfs(dir.path().c_str(), &before), 0);
    const auto freeBefore = static_cast<std::int64_t>(before.f_bavail * before.f_frsize);

    auto probe = cv::VolumeProbe::system();
    probe.isVolume = [&](const std::string& path) { return path == dir.path(); };
    FreeSpaceWriter writer(method(15), 8388608);
    FreeSpaceCoordinator coordinator(method(15), writer, probe);
    Recorder recorder;
    coordinator.setDelegate(&recorder);
    std::int64_t lowestFree = freeBefore;
    recorder.onBlock = [&] {
        struct statvfs now;
        ::statvfs(dir.path().c_str(), &now);
        lowestFree = std::min(lowestFree, static_cast<std::int64_t>(now.f_bavail * now.f_frsize));
    };
    coordinator.freespaceEraseAtPath(dir.path());

    EXPECT_EQ(recorder.available, std::vector<std::int64_t>{freeBefore});
    EXPECT_LT(lowestFree, freeBefore / 100) << "the volume was filled to its limit";
    EXPECT_GE(recorder.written(), freeBefore - freeBefore / 100);
    EXPECT_EQ(t::listNames(dir.path()), std::vector<std::string>{"existing.bin"});
    EXPECT_EQ(t::readFile(dir / "existing.bin"), std::vector<std::uint8_t>(3000000, 'e'));
    struct statvfs after;
    ::statvfs(dir.path().c_str(), &after);
    EXPECT_EQ(after.f_bavail, before.f_bavail);
}

TEST(FreeSpaceCoordinator, FillFilesAreReadBackBeforeTheyAreRemoved)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a volume to fill needs root";
    // Inverts one byte of every fill file between its last pass and the read-back.
    struct FlippingIo : cv::FileIo
    {
        bool flip = false;
        void readingBack(int fd) override
        {
            if (!flip)
                return;
            std::uint8_t byte = 0;
            ASSERT_EQ(::pread(fd, &byte, 1, 1000), 1);
            byte = static_cast<std::uint8_t>(~byte);
            ASSERT_EQ(::pwrite(fd, &byte, 1, 1000), 1);
        }
    };
    const auto wipe = [](const std::string& volume, std::uint64_t methodId, FlippingIo& io,
                         Recorder& recorder) {
        auto probe = cv::VolumeProbe::system();
        probe.isVolume = [&](const std::string& path) { return path == volume; };
        FreeSpaceWriter writer(method(methodId), 8388608, io);
        writer.setVerification(cv::Verification::LastPass);
        FreeSpaceCoordinator coordinator(method(methodId), writer, probe);
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(volume);
        EXPECT_EQ(t::listNames(volume).size(), volume.ends_with("ext4") ? 1u : 0u) << "no fill file stays";
        return method(methodId)->cycles();
    };
    for (const std::string type : {"tmpfs", "ext4"}) {
        t::TempDir dir;
        const std::string volume = dir / type;
        ::mkdir(volume.c_str(), 0700);
        std::optional<t::TmpfsMount> tmpfs;
        std::optional<t::LoopMount> ext4;
        if (type == "tmpfs")
            tmpfs.emplace(volume, "16m");
        else
            ext4.emplace(dir / "ext4.img", volume, "ext4", "32M");
        if (!(tmpfs ? tmpfs->available() : ext4->available())) {
            ADD_FAILURE() << "no " << type << " mount";
            continue;
        }
        // A random word per block as the last pass: the read-back must meet the shrinking blocks
        // of a filling volume exactly.
        for (const std::uint64_t methodId : {11u, 16u}) {
            SCOPED_TRACE(type + ", method " + std::to_string(methodId));
            FlippingIo io;
            Recorder recorder;
            const std::uint64_t cycles = wipe(volume, methodId, io, recorder);
            EXPECT_TRUE(recorder.failures.empty());
            ASSERT_EQ(recorder.toWrite.size(), 1u);
            ASSERT_EQ(recorder.available.size(), 1u);
            EXPECT_EQ(recorder.toWrite[0], recorder.available[0] * static_cast<std::int64_t>(cycles + 1))
                << "the read-back counts in the progress";
            EXPECT_GE(recorder.written(),
                      recorder.available[0] * static_cast<std::int64_t>(cycles + 1) * 90 / 100);
        }
        {
            SCOPED_TRACE(type + ", a flipped byte");
            FlippingIo io;
            io.flip = true;
            Recorder recorder;
            wipe(volume, 16, io, recorder);
            EXPECT_EQ(
                recorder.failures,
                std::vector<std::string>{volume + ": Verification failed: first difference at byte 1000"});
        }
    }
}

TEST(FreeSpaceCoordinator, ARootWipeWritesTheRootReserveAndWhatNoJobCanWriteIsMeasured)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting a volume to fill needs root";
    // A deleted file's lines lie in the free blocks of an ext4 volume, which keeps 5 % for root and
    // about 2 % for itself. A wipe by root writes the root reserve too; whatever the wipe leaves
    // free is measured, and no more of the lines than that may survive. A user's wipe (a probe that
    // stops at f_bavail) names at least the root reserve.
    const std::string line = "cindervault reserve marker line 0123456789\n";
    const auto copiesIn = [&](const std::vector<std::uint8_t>& image) {
        std::size_t copies = 0;
        for (auto found = image.begin();
             (found = std::search(found, image.end(), line.begin(), line.end())) != image.end(); ++found)
            ++copies;
        return copies;
    };
    for (const bool asRoot : {true, false}) {
        SCOPED_TRACE(asRoot ? "root's wipe" : "a user's wipe");
        t::TempDir dir;
        const std::string volume = dir / "ext4";
        ::mkdir(volume.c_str(), 0700);
        t::LoopMount ext4(dir / "ext4.img", volume, "ext4", "64M", "nodiscard");
        ASSERT_TRUE(ext4.available());
        struct statvfs before;
        ASSERT_EQ(::statvfs(volume.c_str(), &before), 0);
        // Blocks reserved for root, and those ext4 keeps for itself.
        const auto rootReserve =
            static_cast<std::int64_t>((before.f_bfree - before.f_bavail) * before.f_frsize);
        std::string content;
        while (content.size() < before.f_bavail * before.f_frsize * 9 / 10)
            content += line;
        t::writeFile(volume + "/deleted.txt", content);
        ASSERT_EQ(::unlink((volume + "/deleted.txt").c_str()), 0);
        ::sync();

        auto probe = cv::VolumeProbe::system();
        probe.isVolume = [&](const std::string& path) { return path == volume; };
        if (!asRoot)
            probe.freeBytes = [](const std::string& path) -> std::int64_t {
                struct statvfs info;
                return ::statvfs(path.c_str(), &info) == 0
                           ? static_cast<std::int64_t>(info.f_bavail * info.f_frsize)
                           : 0;
            };
        FreeSpaceWriter writer(method(16), 8388608);
        FreeSpaceCoordinator coordinator(method(16), writer, probe);
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        coordinator.freespaceEraseAtPath(volume);
        EXPECT_TRUE(recorder.failures.empty());
        const std::int64_t unwritten = coordinator.unwrittenBytes();
        if (asRoot)
            EXPECT_LT(unwritten, rootReserve) << "root may write the blocks reserved for root";
        else
            EXPECT_GE(unwritten, rootReserve * 9 / 10) << "the root reserve stays, and is named";
        ext4.unmount();
        const std::size_t survived = copiesIn(t::readFile(ext4.image()));
        EXPECT_LE(static_cast<std::int64_t>(survived * line.size()), unwritten)
            << survived << " lines of the deleted file survived";
    }
}

TEST(FreeSpaceCoordinator, FillFilesAlwaysLieOnTheVolumeBeingWiped)
{
    if (!t::isRoot())
        GTEST_SKIP() << "mounting tmpfs volumes needs root";
    // The home folder on a volume of its own (the common layout), and another tmpfs standing for
    // "/": the wipe of "/" fills "/", never the home volume.
    t::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string homeVolume = dir / "home-volume";
    const std::string startup = dir / "startup";
    t::makeDir(homeVolume);
    t::makeDir(startup);
    t::TmpfsMount homeMount(homeVolume, "4m");
    t::TmpfsMount startupMount(startup, "8m");
    ASSERT_TRUE(homeMount.available() && startupMount.available());
    ::chmod(startup.c_str(), 0755); // "/" is root's: a user may not write there
    const std::string home = homeVolume + "/user";
    t::makeDir(home);
    t::giveToNobody(home);
    const auto homeFree = [&] {
        struct statvfs status
        {};
        ::statvfs(homeVolume.c_str(), &status);
        return static_cast<std::int64_t>(status.f_bavail * status.f_frsize);
    };
    const std::int64_t homeFreeBefore = homeFree();
    auto probe = cv::VolumeProbe::system();
    probe.isVolume = [&](const std::string& path) { return path == startup; };
    probe.isHdd = probe.isVolume;
    // Wipes the stand-in for "/"; returns the failures, or "filled <folder>" for each folder
    // that held the fill files (seen after the first block), and "home volume written" when the
    // home volume lost free space meanwhile. No GoogleTest assertions: it may run as nobody.
    const auto wipe = [&](const std::string& homeFolder) {
        FreeSpaceWriter writer(method(16), 8388608);
        FreeSpaceCoordinator coordinator(method(16), writer, probe);
        coordinator.setHomeFolder(homeFolder);
        Recorder recorder;
        coordinator.setDelegate(&recorder);
        std::set<std::string> seen;
        recorder.onBlock = [&] {
            for (const std::string& folder : {startup, startup + "/var/tmp", startup + "/tmp",
                                              homeFolder + "/Ostrevane", homeVolume, home}) {
                for (const auto& name : t::listNames(folder))
                    if (name.starts_with("ErasingFreeSpace_"))
                        seen.insert("filled " + folder);
            }
            if (homeFree() < homeFreeBefore)
                seen.insert("home volume written");
        };
        coordinator.freespaceEraseAtPath(startup);
        std::vector<std::string> outcome(recorder.failures.begin(), recorder.failures.end());
        outcome.insert(outcome.end(), seen.begin(), seen.end());
        if (recorder.failures.empty() && recorder.written() < 1048576)
            outcome.push_back("not filled");
        return outcome;
    };
    const auto wipeAsUser = [&](const std::vector<std::string>& expected) {
        return t::runUnprivileged([&] {
            const auto outcome = wipe(home);
            for (const auto& line : outcome)
                std::fprintf(stderr, "outcome: %s\n", line.c_str());
            return outcome == expected ? 0 : 1;
        });
    };
    {
        SCOPED_TRACE("a root job fills the volume's root");
        EXPECT_EQ(wipe(home), std::vector<std::string>{"filled " + startup});
        EXPECT_FALSE(t::exists(home + "/Ostrevane")) << "nothing is made on the home volume";
    }
    {
        SCOPED_TRACE("a user's job with nowhere to write on the volume fails it, naming it");
        EXPECT_EQ(wipeAsUser({startup + ": no folder on " + startup + " where you may write"}), 0);
    }
    {
        SCOPED_TRACE("a user's job takes the volume's var/tmp, never a /tmp on another volume");
        t::makeDir(startup + "/tmp");
        ASSERT_EQ(::mount(homeVolume.c_str(), (startup + "/tmp").c_str(), nullptr, MS_BIND, nullptr), 0);
        t::makeDir(startup + "/var");
        t::makeDir(startup + "/var/tmp");
        ::chmod((startup + "/var/tmp").c_str(), 01777);
        EXPECT_EQ(wipeAsUser({"filled " + startup + "/var/tmp"}), 0);
        ::umount2((startup + "/tmp").c_str(), MNT_DETACH);
        EXPECT_TRUE(t::listNames(startup + "/var/tmp").empty());
    }
    {
        SCOPED_TRACE("a home folder on the volume holds the fill folder, checked on its descriptor");
        const std::string homeOnStartup = startup + "/home";
        t::makeDir(homeOnStartup);
        t::giveToNobody(homeOnStartup);
        t::makeDir(homeOnStartup + "/Ostrevane");
        t::giveToNobody(homeOnStartup + "/Ostrevane");
        EXPECT_EQ(wipe(homeOnStartup), std::vector<std::string>{"filled " + homeOnStartup + "/Ostrevane"});
        // The fill folder replaced by a mount of the home volume: the wipe fails, writes nothing.
        ASSERT_EQ(
            ::mount(homeVolume.c_str(), (homeOnStartup + "/Ostrevane").c_str(), nullptr, MS_BIND, nullptr),
            0);
        EXPECT_EQ(wipe(homeOnStartup),
                  std::vector<std::string>{startup + ": The fill folder lies on another volume"});
        ::umount2((homeOnStartup + "/Ostrevane").c_str(), MNT_DETACH);
    }
    EXPECT_EQ(homeFree(), homeFreeBefore);
    EXPECT_TRUE(t::listNames(homeVolume + "/user").empty());
}
