#pragma once

#include "common/Expected.h"
#include "engine/HelperToolClient.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cv {

// One wait of the job's worker for one answer of the privileged helper. The helper's reply and
// its word that it asks the user may come on any thread, late or never: what they touch lives in
// a state they share with this wait, so a reply after the wait ended changes nothing anybody reads.
//
// The rule: the helper answers within the timeout, unless it says that it asks the user for
// authorization; then the wait lasts as long as the user takes, still ending at once when the job
// is cancelled (looked at every few milliseconds).
class HelperWait
{
public:
    enum class End
    {
        Answered,
        TimedOut,
        Cancelled,
    };

    // A wait that only an answer or a cancel ends (a reformat takes as long as it takes).
    static constexpr std::chrono::milliseconds kNoTimeout = std::chrono::milliseconds::max();

    HelperWait();

    // The callbacks to hand to the helper client's call; each may be called once, at any time.
    HelperToolClient::Reply reply() const;
    // For a call that hands a descriptor, or answers per entry of a list.
    HelperToolClient::FileReply fileReply() const;
    HelperToolClient::ListReply listReply() const;
    HelperToolClient::AskingUser askingUser() const;

    // Waits for the reply, at most timeout unless the helper asks the user (or kNoTimeout). cancelled is
    // asked while waiting; waitingForUser (if set) is told true when the helper says it asks the user, and
    // false when that wait is over.
    End wait(std::chrono::milliseconds timeout, const std::function<bool()>& cancelled,
             const std::function<void(bool)>& waitingForUser = {});

    // The helper's answer, after wait() ended with Answered.
    const Expected<void, std::string>& outcome() const { return m_outcome; }
    // The descriptor handed over, once, after an answer without error to fileReply.
    UniqueFd takeFile();
    // The answers per entry, after an answer without error to listReply.
    const std::vector<std::string>& reasons() const { return m_reasons; }

private:
    struct State;

    std::shared_ptr<State> m_state;
    Expected<void, std::string> m_outcome;
    std::vector<std::string> m_reasons;
};

} // namespace cv
