#pragma once

#include <map>
#include <string>
#include <vector>

namespace cv::test {

// Programs the test runs as the user nobody, copied into a folder of the test's own: the build
// tree may lie where nobody cannot reach it (a checkout in /root, a home folder of mode 0700).
class ProgramsForNobody
{
public:
    // Copies each program, with the files beside it whose names start with a companion prefix (the
    // command line's plugin), into folder (a folder nobody may enter).
    ProgramsForNobody(const std::string& folder, const std::vector<std::string>& programs,
                      const std::vector<std::string>& companions = {});

    // Empty when nobody can run the copies, else why not.
    const std::string& whyNot() const { return m_why; }
    const std::string& operator[](const std::string& program) const { return m_copies.at(program); }

private:
    std::map<std::string, std::string> m_copies;
    std::string m_why;
};

} // namespace cv::test
