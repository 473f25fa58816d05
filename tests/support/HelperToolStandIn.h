#pragma once

#include "engine/HelperToolClient.h"

#include <string>
#include <vector>

namespace cv::test {

// The base of the tests' stand-ins for the privileged helper's client: a stand-in overrides the
// calls its test is about, and every other call is refused at once, as by a helper that cannot do
// that work. Withdrawing the calls on one entry withdraws them all, and the rest does nothing.
class HelperToolStandIn : public HelperToolClient
{
public:
    void openFileForWriting(const ExaminedEntry&, FileReply reply, AskingUser) override
    {
        reply(Unexpected(std::string("opening files is not available")));
    }
    void allowEntries(const std::vector<ExaminedEntry>&, ListReply reply, AskingUser) override
    {
        reply(Unexpected(std::string("lists of entries are not available")));
    }
    void deleteFileAtPath(const ExaminedEntry&, Reply reply, AskingUser) override
    {
        reply(Unexpected(std::string("deleting is not available")));
    }
    void renameEntryAt(const ExaminedEntry&, const std::string&, Reply reply, AskingUser) override
    {
        reply(Unexpected(std::string("renaming is not available")));
    }
    void reformatVolumeAt(const std::string&, const ConfirmedVolume&, Reply reply, AskingUser) override
    {
        reply(Unexpected(std::string("reformatting is not available")));
    }
    void checkReformatVolumeAt(const std::string&, Reply reply) override
    {
        reply(Unexpected(std::string("the privileged helper cannot be asked")));
    }
    void deleteSnapshots(Reply reply, AskingUser) override
    {
        reply(Unexpected(std::string("deleting snapshots is not available")));
    }
    void withdrawCalls() override {}
    void withdrawCallsOn(const ExaminedEntry&) override { withdrawCalls(); }
    void forgetAllowedEntries() override {}
};

} // namespace cv::test
