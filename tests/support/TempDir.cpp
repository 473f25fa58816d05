#include "TempDir.h"

#include "ProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv::test {

namespace {

int removeEntry(const char* path, const struct stat*, int type, struct FTW*)
{
    if (type == FTW_DP)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}

} // namespace

TempDir::TempDir(const std::string& base)
{
    std::string root = base;
    if (root.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        root = (tmp && *tmp) ? tmp : "/tmp";
    }
    std::string pattern = root + "/" + kTempDirPrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp in " << root << ": " << std::strerror(errno);
    m_path = pattern;
}

TempDir::~TempDir()
{
    removeTree(m_path);
}

void removeTree(const std::string& path)
{
    // Give the owner write and search rights back first, so read-only test folders go too.
    ::nftw(
        path.c_str(),
        [](const char* p, const struct stat* st, int type, struct FTW*) {
            if (type == FTW_D || type == FTW_DNR)
                ::chmod(p, (st->st_mode & 07777) | S_IRWXU);
            return 0;
        },
        32, FTW_PHYS);
    ::nftw(path.c_str(), removeEntry, 32, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
    // nftw works with whole paths: a tree deeper than PATH_MAX is left to rm, which is not.
    if (exists(path))
        runProcess({"rm", "-rf", "--one-file-system", "--", path});
}

void makeChain(const std::string& base, std::size_t levels, const std::string& content)
{
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << base << ": " << std::strerror(errno);
    for (std::size_t i = 0; i < levels; ++i) {
        const int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = file >= 0 && ::write(file, content.data(), content.size()) ==
                                              static_cast<ssize_t>(content.size());
        if (file >= 0)
            ::close(file);
        const bool made = ::mkdirat(fd, "d", 0755) == 0;
        const int next = made ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = next;
        ASSERT_TRUE(written && next >= 0) << "level " << i << ": " << std::strerror(errno);
    }
    ::close(fd);
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path << ": " << std::strerror(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        ASSERT_GT(n, 0) << path << ": " << std::strerror(errno);
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

void writeFile(const std::string& path, const std::string& text)
{
    writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ADD_FAILURE() << path << ": " << std::strerror(errno);
        return bytes;
    }
    std::uint8_t buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    ::close(fd);
    return bytes;
}

void makeDir(const std::string& path)
{
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path << ": " << std::strerror(errno);
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> listNames(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isRoot()
{
    return ::geteuid() == 0;
}

} // namespace cv::test
