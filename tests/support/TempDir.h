#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cv::test {

// How every test folder's name begins: what lies below one is a test's, mounts included.
inline constexpr const char* kTempDirPrefix = "cindervault-test-";

// A fresh folder under $TMPDIR (or /tmp) that is removed with everything in it, links not
// followed, when the object goes away. Tests create all their files in here.
class TempDir
{
public:
    explicit TempDir(const std::string& base = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

private:
    std::string m_path;
};

// Small file helpers; each fails the running test on error.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void writeFile(const std::string& path, const std::string& text);
std::vector<std::uint8_t> readFile(const std::string& path);
void makeDir(const std::string& path);
bool exists(const std::string& path); // without following links
// The names in a folder, sorted, without "." and ".."; empty when it cannot be read.
std::vector<std::string> listNames(const std::string& folder);
bool isRoot();
// Removes a tree without following links; used by TempDir and by tests that clean up early.
void removeTree(const std::string& path);
// Below the existing folder base: a file "f" holding content and a folder "d", in which the same
// again, `levels` deep. Made through descriptors, so it may reach far beyond PATH_MAX.
void makeChain(const std::string& base, std::size_t levels, const std::string& content = "x");

} // namespace cv::test
