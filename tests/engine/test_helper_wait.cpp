#include "engine/HelperWait.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

using cv::HelperWait;
using namespace std::chrono_literals;

namespace {

// Far beyond what any machine needs for an answer that is on its way.
constexpr std::chrono::milliseconds kGenerous = 60s;

// What the wait told about the user being asked, in order, from whatever thread.
struct UserNotices
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> told;

    std::function<void(bool)> callback()
    {
        return [this](bool waiting) {
            std::lock_guard lock(mutex);
            told.push_back(waiting);
            changed.notify_all();
        };
    }
    // Until the wait has said that it waits for the user.
    bool awaitAskingShown()
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kGenerous, [this] { return !told.empty() && told.front(); });
    }
};

const auto never = [] { return false; };

} // namespace

TEST(HelperWait, EndsAtItsDeadlineUnlessTheHelperAsksTheUser)
{
    {
        SCOPED_TRACE("no answer: the wait gives up at its deadline, not before");
        HelperWait wait;
        const auto reply = wait.reply(); // held, never called: the helper is silent
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(wait.wait(150ms, never), HelperWait::End::TimedOut);
        EXPECT_GE(std::chrono::steady_clock::now() - started, 150ms);
    }
    {
        SCOPED_TRACE("the helper asks the user: the wait outlasts its deadline until the answer");
        HelperWait wait;
        const auto reply = wait.reply();
        wait.askingUser()();
        UserNotices notices;
        std::chrono::steady_clock::time_point answered;
        std::thread user([&] {
            EXPECT_TRUE(notices.awaitAskingShown());
            // The wait began before it said so: its deadline has passed when the user answers.
            answered = std::chrono::steady_clock::now() + 300ms;
            std::this_thread::sleep_until(answered);
            reply({});
        });
        EXPECT_EQ(wait.wait(100ms, never, notices.callback()), HelperWait::End::Answered);
        user.join();
        EXPECT_GE(std::chrono::steady_clock::now(), answered);
        EXPECT_TRUE(wait.outcome());
        EXPECT_EQ(notices.told, (std::vector<bool>{true, false}))
            << "told once that it waits, then that it ended";
    }
    {
        SCOPED_TRACE("the helper asks the user while the wait runs");
        HelperWait wait;
        const auto reply = wait.reply();
        const auto asking = wait.askingUser();
        UserNotices notices;
        std::thread helper([&] {
            asking();
            EXPECT_TRUE(notices.awaitAskingShown());
            reply(cv::Unexpected(std::string("Not authorized")));
        });
        EXPECT_EQ(wait.wait(kGenerous, never, notices.callback()), HelperWait::End::Answered);
        helper.join();
        ASSERT_FALSE(wait.outcome());
        EXPECT_EQ(wait.outcome().error(), "Not authorized");
        EXPECT_EQ(notices.told, (std::vector<bool>{true, false}));
    }
    {
        SCOPED_TRACE("without a deadline only the answer or a cancel ends the wait");
        HelperWait wait;
        const auto reply = wait.reply();
        int looks = 0;
        // A cancel after several looks at the flag: time has passed, and no deadline ended it.
        EXPECT_EQ(wait.wait(HelperWait::kNoTimeout, [&] { return ++looks > 4; }), HelperWait::End::Cancelled);
        EXPECT_EQ(looks, 5);
    }
}

TEST(HelperWait, ACancelEndsEveryWaitAndNothingLateChangesItsOutcome)
{
    {
        SCOPED_TRACE("cancelled while the user is asked: the wait ends, and says the asking is over");
        HelperWait wait;
        const auto reply = wait.reply();
        wait.askingUser()();
        UserNotices notices;
        std::atomic<bool> cancelled{false};
        std::thread job([&] {
            EXPECT_TRUE(notices.awaitAskingShown());
            cancelled = true;
        });
        EXPECT_EQ(wait.wait(
                      100ms, [&] { return cancelled.load(); }, notices.callback()),
                  HelperWait::End::Cancelled);
        job.join();
        EXPECT_EQ(notices.told, (std::vector<bool>{true, false}));
        reply(cv::Unexpected(std::string("too late")));
        EXPECT_TRUE(wait.outcome()) << "a reply after the end reaches nobody";
    }
    {
        SCOPED_TRACE("a descriptor handed over after the wait gave up is closed, not leaked");
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0); // a read sees at once whether a writer is left
        const cv::UniqueFd readEnd(ends[0]);
        HelperWait wait;
        const auto reply = wait.fileReply();
        EXPECT_EQ(wait.wait(10ms, never), HelperWait::End::TimedOut);
        reply(cv::UniqueFd(ends[1]));
        EXPECT_FALSE(wait.takeFile().valid());
        char byte = 0;
        EXPECT_EQ(::read(readEnd.get(), &byte, 1), 0) << "the write end is still open somewhere";
    }
    {
        SCOPED_TRACE("the first reply counts; a second one changes nothing");
        HelperWait wait;
        const auto reply = wait.reply();
        reply(cv::Unexpected(std::string("first")));
        reply({});
        EXPECT_EQ(wait.wait(kGenerous, never), HelperWait::End::Answered);
        ASSERT_FALSE(wait.outcome());
        EXPECT_EQ(wait.outcome().error(), "first");
    }
}

TEST(HelperWait, HandsOverWhatTheHelperAnswered)
{
    {
        SCOPED_TRACE("a descriptor from another thread, taken once");
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        const cv::UniqueFd readEnd(ends[0]);
        HelperWait wait;
        const auto reply = wait.fileReply();
        std::thread helper([&] { reply(cv::UniqueFd(ends[1])); });
        EXPECT_EQ(wait.wait(kGenerous, never), HelperWait::End::Answered);
        helper.join();
        EXPECT_TRUE(wait.outcome());
        cv::UniqueFd file = wait.takeFile();
        ASSERT_TRUE(file.valid());
        EXPECT_EQ(::write(file.get(), "x", 1), 1) << "the very descriptor handed over";
        EXPECT_FALSE(wait.takeFile().valid()) << "a descriptor is handed out once";
    }
    {
        SCOPED_TRACE("a refused descriptor: the reason, and no descriptor");
        HelperWait wait;
        wait.fileReply()(cv::Unexpected(std::string("Permission denied")));
        EXPECT_EQ(wait.wait(kGenerous, never), HelperWait::End::Answered);
        ASSERT_FALSE(wait.outcome());
        EXPECT_EQ(wait.outcome().error(), "Permission denied");
        EXPECT_FALSE(wait.takeFile().valid());
    }
    {
        SCOPED_TRACE("answers per entry, or why the whole list was refused");
        HelperWait listed;
        listed.listReply()(std::vector<std::string>{"", "Permission denied"});
        EXPECT_EQ(listed.wait(kGenerous, never), HelperWait::End::Answered);
        EXPECT_TRUE(listed.outcome());
        EXPECT_EQ(listed.reasons(), (std::vector<std::string>{"", "Permission denied"}));

        HelperWait refused;
        refused.listReply()(cv::Unexpected(std::string("Not authorized")));
        EXPECT_EQ(refused.wait(kGenerous, never), HelperWait::End::Answered);
        ASSERT_FALSE(refused.outcome());
        EXPECT_EQ(refused.outcome().error(), "Not authorized");
        EXPECT_TRUE(refused.reasons().empty());
    }
}
