#include "ProgramsForNobody.h"

#include "ProcessRunner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace cv::test {

ProgramsForNobody::ProgramsForNobody(const std::string& folder, const std::vector<std::string>& programs,
                                     const std::vector<std::string>& companions)
{
    namespace fs = std::filesystem;
    const fs::path into = fs::path(folder) / "programs";
    std::error_code error;
    fs::create_directory(into, error);
    ::chmod(into.c_str(), 0755);
    const auto copy = [&](const fs::path& from) {
        const fs::path to = into / from.filename();
        if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error) ||
            ::chmod(to.c_str(), 0755) != 0)
            m_why = "cannot copy " + from.string() + ": " + error.message();
        return to.string();
    };
    for (const std::string& program : programs) {
        const fs::path from(program);
        m_copies[program] = copy(from);
        for (const auto& entry : fs::directory_iterator(from.parent_path(), error)) {
            for (const std::string& prefix : companions) {
                if (entry.path().filename().string().rfind(prefix, 0) == 0)
                    copy(entry.path());
            }
        }
    }
    if (!m_why.empty())
        return;
    // The folder of the test's own lies below $TMPDIR: every folder on its way must let
    // nobody through.
    const auto probe = runProcess({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                   "/bin/sh", "-c", "test -x \"$1\"", "sh", m_copies.begin()->second});
    if (probe.exitCode != 0)
        m_why = "the user nobody cannot reach " + into.string() +
                " (a TMPDIR every user may enter lets this test run)";
}

} // namespace cv::test
