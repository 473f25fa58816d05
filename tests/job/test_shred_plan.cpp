#include "TempDir.h"
#include "engine/AlgorithmCollection.h"
#include "engine/ShredResult.h"
#include "job/ShredPlan.h"
#include "targets/PreparedExcludes.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using cv::ShredPlan;
using cv::VolumeOption;
using Place = ShredPlan::Place;
using Refusal = ShredPlan::Refusal;
namespace t = cv::test;

namespace {

// Answers the volume questions for names of the test's own: no real volume is ever selected.
cv::VolumeProbe fakeProbe()
{
    static const std::set<std::string> volumes{"/v/data", "/v/usr", "/v/rootbind"};
    cv::VolumeProbe probe;
    probe.isVolume = [](const std::string& path) { return volumes.contains(path); };
    probe.isSystemVolume = [](const std::string& path) { return path == "/v/usr"; };
    probe.isHdd = [](const std::string& path) { return path == "/v/rootbind"; };
    return probe;
}

std::shared_ptr<cv::Algorithm> realMethod()
{
    static const cv::AlgorithmCollection collection;
    return collection.findByIdentifier(16);
}

} // namespace

// Which option each kind of location allows, what the plan refuses, the option in force, the
// record's flags and whether a job may start, for every pair of location and option. The window
// and the command line both decide through these rules.
TEST(ShredPlan, EachPlaceAllowsItsOptionsAndTheRecordFollowsTheOptionInForce)
{
    struct Row
    {
        const char* location;
        VolumeOption option;
        Refusal refusal; // checkOption() with the option chosen before the location came
        VolumeOption inForce;
        bool hasVolumes, freeSpaceOnly, eraseFreeSpace, format;
    };
    using enum VolumeOption;
    const Row rows[] = {
        {"/home/u/file", None, Refusal::None, None, false, false, false, false},
        {"/home/u/file", FreeSpace, Refusal::None, None, false, false, false, false},
        {"/home/u/file", DeleteFiles, Refusal::None, None, false, false, false, false},
        {"/home/u/file", CompleteErase, Refusal::None, None, false, false, false, false},
        {"/v/data", None, Refusal::OptionNeeded, None, true, false, false, false},
        {"/v/data", FreeSpace, Refusal::None, FreeSpace, true, true, false, false},
        {"/v/data", DeleteFiles, Refusal::None, DeleteFiles, true, false, false, false},
        {"/v/data", CompleteErase, Refusal::None, CompleteErase, true, false, true, true},
        {"/v/usr", None, Refusal::OptionNeeded, None, true, false, false, false},
        {"/v/usr", FreeSpace, Refusal::None, FreeSpace, true, true, false, false},
        {"/v/usr", DeleteFiles, Refusal::OptionNotAllowed, None, true, false, false, false},
        {"/v/usr", CompleteErase, Refusal::OptionNotAllowed, None, true, false, false, false},
    };
    cv::PathCollection collection;
    for (const Row& row : rows) {
        const std::string what =
            std::string(row.location) + " with \"" + cv::volumeOptionKey(row.option) + "\"";
        ShredPlan plan(fakeProbe(), row.option);
        ASSERT_TRUE(plan.add({row.location}).ok()) << what;
        const ShredPlan::Verdict verdict = plan.checkOption();
        EXPECT_EQ(verdict.refusal, row.refusal) << what;
        EXPECT_EQ(verdict.path, verdict.ok() ? "" : row.location) << what;
        EXPECT_EQ(plan.option(), row.inForce) << what;
        const cv::ShredOptions options = plan.shredOptions(&collection);
        EXPECT_EQ(options.hasVolumes, row.hasVolumes) << what;
        EXPECT_EQ(options.eraseFreeSpaceOnly, row.freeSpaceOnly) << what;
        EXPECT_EQ(options.eraseFreeSpace, row.eraseFreeSpace) << what;
        EXPECT_EQ(options.formatVolume, row.format) << what;
        EXPECT_EQ(options.optionKey, cv::volumeOptionKey(row.option)) << what << ": the key is the preset";
        EXPECT_EQ(plan.canStart(&collection, realMethod().get()), row.refusal == Refusal::None) << what;

        // The window's sheet chooses after the location came: an option the place does not allow
        // (no option at all, for a volume) is refused and changes nothing.
        ShredPlan chosen(fakeProbe());
        ASSERT_TRUE(chosen.add({row.location}).ok());
        EXPECT_EQ(chosen.chooseOption(row.option), row.refusal == Refusal::None) << what;
        EXPECT_EQ(chosen.option(), row.inForce) << what;
    }
    {
        // The startup volume, as "/" or through a bind mount, is never taken, with whatever came with it.
        for (const char* startup : {"/", "/v/rootbind"}) {
            ShredPlan plan(fakeProbe(), CompleteErase);
            ASSERT_TRUE(plan.add({"/home/u/file"}).ok());
            const ShredPlan::Verdict verdict = plan.add({"/home/u/other", startup});
            EXPECT_EQ(verdict.refusal, Refusal::StartupVolume) << startup;
            EXPECT_EQ(verdict.path, startup);
            EXPECT_EQ(plan.locations(), std::vector<std::string>{"/home/u/file"})
                << startup << ": nothing taken";
            EXPECT_EQ(plan.placeOf(startup), Place::StartupVolume);
            for (VolumeOption option : {None, FreeSpace, DeleteFiles, CompleteErase})
                EXPECT_FALSE(ShredPlan::allows(Place::StartupVolume, option));
        }
    }
    {
        // Nothing starts without locations, a collection or a method with passes.
        ShredPlan plan(fakeProbe());
        EXPECT_FALSE(plan.canStart(&collection, realMethod().get())) << "no locations";
        ASSERT_TRUE(plan.add({"/home/u/file"}).ok());
        EXPECT_FALSE(plan.canStart(nullptr, realMethod().get())) << "no collection";
        EXPECT_FALSE(plan.canStart(&collection, cv::AlgorithmCollection().get(0).get())) << "the placeholder";
        EXPECT_FALSE(plan.canStart(&collection, nullptr));
    }
    {
        // Locations merge in arrival order, each once; a volume among them is remembered, and
        // clearing returns to the preset.
        EXPECT_EQ(ShredPlan::mergeLocations({}, {"/x", "/x"}), (std::vector<std::string>{"/x", "/x"}))
            << "a first drop is taken as it came";
        EXPECT_EQ(ShredPlan::mergeLocations({"/a", "/b"}, {"/b", "/c", "/a", "/d", "/c"}),
                  (std::vector<std::string>{"/a", "/b", "/c", "/d"}));
        EXPECT_EQ(ShredPlan::mergeLocations({"/a"}, {"/a/", "/A"}),
                  (std::vector<std::string>{"/a", "/a/", "/A"}))
            << "paths are compared as exact strings";
        ShredPlan plan(fakeProbe(), DeleteFiles);
        ASSERT_TRUE(plan.add({"/home/u/a", "/v/data"}).ok());
        ASSERT_TRUE(plan.add({"/v/data", "/home/u/b"}).ok());
        EXPECT_EQ(plan.locations(), (std::vector<std::string>{"/home/u/a", "/v/data", "/home/u/b"}));
        EXPECT_EQ(plan.volumes(), std::vector<std::string>{"/v/data"});
        EXPECT_EQ(plan.volumesAmong({"/home/u/a", "/v/usr", "/v/data"}),
                  (std::vector<std::string>{"/v/usr", "/v/data"}));
        ASSERT_TRUE(plan.chooseOption(CompleteErase));
        plan.setThenWipeFree(true);
        plan.clear();
        EXPECT_TRUE(plan.locations().empty() && !plan.hasVolume() && !plan.thenWipeFree());
        ASSERT_TRUE(plan.add({"/v/data"}).ok());
        EXPECT_EQ(plan.option(), DeleteFiles) << "the preset is back";
    }
    {
        // The wipe after the deletion is asked only where it does something: a copy-on-write
        // volume among the targets, and a job that deletes files.
        cv::PathCollection cow;
        cow.setVolumes({{.mountPoint = "/v/data", .fileSystem = "ext4"},
                        {.mountPoint = "/v/btr", .fileSystem = "btrfs", .copyOnWrite = true}});
        EXPECT_EQ(ShredPlan::copyOnWriteVolumes(&cow).size(), 1u);
        const auto wipesAfterwards = [&](VolumeOption option, const cv::PathCollection* scanned) {
            ShredPlan plan(fakeProbe(), option);
            EXPECT_TRUE(plan.add({"/v/data"}).ok());
            plan.setThenWipeFree(true);
            EXPECT_EQ(plan.offersThenWipeFree(scanned), plan.shredOptions(scanned).thenWipeFree);
            return plan.shredOptions(scanned).thenWipeFree;
        };
        EXPECT_TRUE(wipesAfterwards(DeleteFiles, &cow));
        EXPECT_FALSE(wipesAfterwards(DeleteFiles, &collection)) << "no copy-on-write volume";
        EXPECT_FALSE(wipesAfterwards(FreeSpace, &cow)) << "the free space is all the job wipes";
        EXPECT_FALSE(wipesAfterwards(CompleteErase, &cow)) << "a complete erase wipes it anyway";
        ShredPlan unasked(fakeProbe(), DeleteFiles);
        ASSERT_TRUE(unasked.add({"/v/data"}).ok());
        EXPECT_FALSE(unasked.shredOptions(&cow).thenWipeFree) << "the long wipe is the user's choice";
    }
}

// A successful job whose target is still there, with no error saying why, has failed at that target;
// what the job kept on purpose, a free-space wipe and the folders of a job of files only stay quietly.
TEST(ShredPlan, ATargetStillThereAfterASuccessfulJobIsAnError)
{
    t::TempDir dir;
    const std::string file = dir / "file";
    const std::string folder = dir / "folder";
    std::ofstream(file) << "x";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const std::string gone = dir / "gone";

    const auto leftovers = [&](cv::ShredOptions options, const std::vector<std::string>& kept,
                               bool cancelled) {
        cv::ShredResult result;
        result.paths = std::make_shared<cv::PathCollection>();
        result.paths->setPaths({file, folder, gone});
        result.options = std::make_shared<cv::ShredOptions>(options);
        result.canceled = cancelled;
        cv::PreparedExcludes excludes;
        for (const auto& path : kept)
            excludes.keep(path);
        ShredPlan::noteLeftovers(result, excludes);
        std::vector<std::string> named;
        for (const cv::ShredItem& item : result.history)
            named.push_back(item.path.str());
        EXPECT_EQ(result.otherErrorCount, named.size());
        return named;
    };
    cv::ShredOptions filesOnly;
    filesOnly.filesOnly = true;
    cv::ShredOptions wipeOnly;
    wipeOnly.eraseFreeSpaceOnly = true;
    EXPECT_EQ(leftovers({}, {}, false), (std::vector<std::string>{file, folder}));
    EXPECT_EQ(leftovers({}, {folder}, false), std::vector<std::string>{file}) << "kept on purpose";
    EXPECT_EQ(leftovers(filesOnly, {}, false), std::vector<std::string>{file}) << "folders stay";
    EXPECT_TRUE(leftovers(wipeOnly, {}, false).empty()) << "a wipe deletes nothing";
    EXPECT_TRUE(leftovers({}, {}, true).empty()) << "a cancelled job says so already";
}
