#include "HelperToolStandIn.h"
#include "TempDir.h"
#include "engine/AlgorithmCollection.h"
#include "job/FilePhase.h"
#include "job/JobPreparation.h"
#include "job/JobProgress.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"
#include "job/JobTools.h"
#include "job/PhaseListener.h"
#include "job/VolumePhase.h"
#include "job/VolumeReformat.h"
#include "targets/PathCollectionFactory.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using cv::ShredItem;
using cv::ShredOptions;
namespace t = cv::test;

namespace {

// The parts of one job, wired as the job wires them, so that a test runs its phases one by one.
struct Job
{
    Job(std::shared_ptr<cv::PathCollection> collection, std::shared_ptr<ShredOptions> options,
        cv::JobEnvironment environment = {})
        : settings(cv::AlgorithmCollection().findByIdentifier(16), std::move(options)),
          targets(std::move(collection))
    {
        settings.setEnvironment(std::move(environment));
        cv::JobPreparation(settings, {tools, listener, targets, result, progress}, "Erasing Data").run();
    }

    cv::FilePhase files() { return cv::FilePhase(settings, targets, tools.fileshredCoordinator()); }
    // As the job's cancel: its flag, then the tools at work.
    void cancel()
    {
        settings.cancel();
        tools.cancel();
    }
    // Each row's path with how often it is listed.
    std::map<std::string, int> rows() const
    {
        std::map<std::string, int> count;
        for (const ShredItem& item : result.result()->history)
            ++count[item.path.str()];
        return count;
    }

    cv::JobSettings settings;
    cv::JobTargets targets;
    cv::JobProgress progress;
    cv::JobResultBuilder result{progress};
    cv::PhaseListener listener{settings, tools, progress, result};
    cv::JobTools tools;
};

std::shared_ptr<cv::PathCollection> scan(const std::vector<std::string>& paths)
{
    return cv::PathCollectionFactory().createPathCollection(paths);
}

struct ReformatHelper : cv::test::HelperToolStandIn
{
    std::vector<std::string> calls;
    void reformatVolumeAt(const std::string& path, const cv::ConfirmedVolume& confirmed, Reply reply,
                          AskingUser) override
    {
        calls.push_back("reformat " + path + " " + confirmed.uuid);
        reply({});
    }
    void checkReformatVolumeAt(const std::string& path, Reply reply) override
    {
        calls.push_back("check " + path);
        reply({});
    }
};

} // namespace

TEST(FilePhase, EachTargetKeepsOrLosesItsFoldersAndItsRecordByItsOwnName)
{
    // A files-only job (temporary data) where one target goes whole (a trashed folder): the
    // deletion knows the targets by the names they had before the renaming. A target that is gone
    // takes its record with it; one that stays keeps its record. Every file is listed once.
    t::TempDir dir;
    t::makeDir(dir / "whole");
    t::makeDir(dir / "whole/sub");
    t::writeFile(dir / "whole/sub/f", "f");
    t::makeDir(dir / "kept");
    t::makeDir(dir / "kept/sub");
    t::writeFile(dir / "kept/sub/g", "g");
    t::writeFile(dir / "whole.record", "r");
    t::writeFile(dir / "kept.record", "s");
    auto collection = scan({dir / "whole", dir / "kept"});
    collection->setWholeTargets({dir / "whole"});
    collection->setRecords({{dir / "whole", dir / "whole.record"}, {dir / "kept", dir / "kept.record"}});
    auto options = std::make_shared<ShredOptions>();
    options->filesOnly = true;
    Job job(collection, options);
    cv::FilePhase files = job.files();
    files.shred();
    files.renameFilesAndFolders();
    files.saveDelete();
    files.shredRecords();
    job.result.finish(job.settings, job.tools);

    EXPECT_EQ(t::listNames(dir.path()), (std::vector<std::string>{"kept", "kept.record"}));
    EXPECT_EQ(t::listNames(dir / "kept"), std::vector<std::string>{"sub"}) << "its folders stay";
    EXPECT_TRUE(t::listNames(dir / "kept/sub").empty()) << "its files go";
    const std::map<std::string, int> once{
        {dir / "whole/sub/f", 1}, {dir / "kept/sub/g", 1}, {dir / "whole.record", 1}};
    EXPECT_EQ(job.rows(), once);
    for (const ShredItem& item : job.result.result()->history)
        EXPECT_EQ(item.state, ShredItem::State::Deleted) << item.path;
    EXPECT_EQ(job.result.result()->errorCount, 0u);
}

TEST(FilePhase, ACancelBetweenPhasesLeavesEveryFileUnderItsNameWithItsState)
{
    t::TempDir dir;
    t::makeDir(dir / "T");
    t::writeFile(dir / "T/a", std::string(100, 'a'));
    t::writeFile(dir / "T/b", std::string(100, 'b'));
    t::writeFile(dir / "T.record", "r");
    auto collection = scan({dir / "T"});
    collection->setRecords({{dir / "T", dir / "T.record"}});
    Job job(collection, std::make_shared<ShredOptions>());
    cv::FilePhase files = job.files();
    files.shred();
    job.cancel();
    files.renameFilesAndFolders();
    files.saveDelete();
    files.shredRecords();
    job.result.finish(job.settings, job.tools);

    EXPECT_EQ(t::listNames(dir.path()), (std::vector<std::string>{"T", "T.record"}));
    EXPECT_EQ(t::listNames(dir / "T"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(t::readFile(dir / "T.record"), std::vector<std::uint8_t>{'r'}) << "the record stays untouched";
    EXPECT_EQ(job.targets.paths(), std::vector<std::string>{dir / "T"});
    const cv::ShredResult& result = *job.result.result();
    EXPECT_TRUE(result.canceled);
    EXPECT_EQ(job.rows(), (std::map<std::string, int>{{dir / "T/a", 1}, {dir / "T/b", 1}}));
    for (const ShredItem& item : result.history)
        EXPECT_EQ(item.state, ShredItem::State::Overwritten) << item.path;
    EXPECT_EQ(result.fileCountFinished, 2u);
    EXPECT_EQ(result.fileCountRemoved, 0u);
}

TEST(VolumePhase, AVolumeThatFailsIsListedOnceWithItsFirstReason)
{
    // The "volume" is a folder that is not there: its flush fails.
    t::TempDir dir;
    const std::string volume = dir / "gone";
    cv::JobEnvironment environment;
    environment.volumeProbe.isVolume = [volume](const std::string& path) { return path == volume; };
    auto collection = std::make_shared<cv::PathCollection>();
    collection->setPaths({volume});
    for (const std::string failedBefore : {"", "free space"}) {
        SCOPED_TRACE(failedBefore.empty() ? "the flush alone fails" : "the wipe failed before");
        Job job(collection, std::make_shared<ShredOptions>(), environment);
        if (!failedBefore.empty())
            job.result.addFailure(ShredItem::Kind::Volume, volume, "Free space could not be wiped", "full");
        cv::VolumePhase(job.settings, job.targets, job.tools, job.result).flushLog();
        const auto& history = job.result.result()->history;
        ASSERT_EQ(history.size(), 1u);
        EXPECT_EQ(history[0].path.str(), volume);
        const std::string first =
            failedBefore.empty() ? "Flushing the volume failed" : "Free space could not be wiped";
        EXPECT_EQ(history[0].error.value_or("").rfind(first, 0), 0u) << history[0].error.value_or("");
        EXPECT_EQ(job.progress.getState()->otherErrorCount, 1u);
    }
    {
        SCOPED_TRACE("cancelled before");
        Job job(collection, std::make_shared<ShredOptions>(), environment);
        job.cancel();
        cv::VolumePhase(job.settings, job.targets, job.tools, job.result).flushLog();
        EXPECT_TRUE(job.result.result()->history.empty());
    }
}

TEST(VolumeReformat, OnlyAVolumeConfirmedBeforeTheStartIsReformatted)
{
    t::TempDir volume;
    cv::JobEnvironment environment;
    ReformatHelper helper;
    environment.helperTool = &helper;
    environment.volumeProbe.isVolume = [&](const std::string& path) { return path == volume.path(); };
    bool onADevice = true;
    environment.volumeProbe.identify = [&](const std::string&) -> std::optional<cv::ConfirmedVolume> {
        if (!onADevice)
            return std::nullopt;
        return cv::ConfirmedVolume{1, 2, "uuid", "Label"};
    };
    auto collection = std::make_shared<cv::PathCollection>();
    collection->setPaths({volume.path()});
    const auto reasons = [](const Job& job) {
        std::vector<std::string> listed;
        for (const ShredItem& item : job.result.result()->history)
            listed.push_back(item.error.value_or(""));
        return listed;
    };
    const std::string notADevice =
        "Reformatting failed: the volume is not on a device that can be reformatted";
    {
        SCOPED_TRACE("checked, then reformatted as confirmed");
        Job job(collection, std::make_shared<ShredOptions>(), environment);
        cv::VolumeReformat reformat(job.settings, job.targets, job.progress, job.result);
        EXPECT_TRUE(reformat.checkBeforeStart());
        reformat.formatVolumes();
        EXPECT_EQ(helper.calls, (std::vector<std::string>{"check " + volume.path(),
                                                          "reformat " + volume.path() + " uuid"}));
        EXPECT_TRUE(job.result.result()->history.empty());
    }
    helper.calls.clear();
    {
        SCOPED_TRACE("never checked: nothing was confirmed");
        Job job(collection, std::make_shared<ShredOptions>(), environment);
        cv::VolumeReformat(job.settings, job.targets, job.progress, job.result).formatVolumes();
        EXPECT_TRUE(helper.calls.empty());
        EXPECT_EQ(reasons(job), std::vector<std::string>{notADevice});
    }
    {
        SCOPED_TRACE("not on a device");
        onADevice = false;
        Job job(collection, std::make_shared<ShredOptions>(), environment);
        cv::VolumeReformat reformat(job.settings, job.targets, job.progress, job.result);
        EXPECT_FALSE(reformat.checkBeforeStart());
        EXPECT_TRUE(helper.calls.empty()) << "the helper is not even asked";
        EXPECT_EQ(reasons(job), std::vector<std::string>{notADevice});
    }
}
