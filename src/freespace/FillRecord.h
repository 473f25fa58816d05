#pragma once

#include "common/UniqueFd.h"
#include "targets/PreparedExcludes.h"

#include <string>
#include <vector>

namespace cv {

// The list of fill files one wipe made in one folder, kept in a small file beside them
// ("ErasingFreeSpace.record"). The record is written and synced before its first fill file gets a
// byte, and each fill file is entered (name, device, inode and, where the file system keeps one,
// birth time) before it is written, so that a wipe that is killed or loses power leaves a list of
// exactly what it made. Only what a record names, and what is still that same file (the birth time
// tells a new file apart that reuses a freed inode number), is ever removed: a user's own file that happens
// to carry a fill file's name is never touched. The record stays locked (flock) while its wipe runs, so a
// second wipe of the same folder sees it busy instead of taking its files for leftovers.
class FillRecord
{
public:
    static constexpr const char* kFileName = "ErasingFreeSpace.record";

    // What looking for an interrupted wipe's record found.
    enum class Leftovers
    {
        None,     // no record: nothing to clean up
        Removed,  // a record was found and processed (its files removed, the record too)
        Busy,     // another wipe of this folder is running now
        Unusable, // a file of the record's name that is not a record, or cannot be read
    };

    FillRecord() = default;
    ~FillRecord();
    FillRecord(const FillRecord&) = delete;
    FillRecord& operator=(const FillRecord&) = delete;

    // The fill-file name the wipe makes: "ErasingFreeSpace_<n>.dat", n from 1 without padding.
    static std::string fillFileName(unsigned long long number);
    static bool isFillFileName(const std::string& name);

    // Removes the fill files an interrupted wipe recorded in folder (an open folder descriptor;
    // folderPath for log lines and excludes), then its record; an excluded leftover stays where it
    // is.
    static Leftovers removeLeftovers(int folderFd, const std::string& folderPath,
                                     const PreparedExcludes* excludes);

    // Creates this wipe's record in folder, locked, its header synced to the device. False with
    // errno set when it cannot be made (EEXIST: another wipe's record appeared meanwhile).
    bool create(int folderFd);
    // Creates the fill file name exclusively and enters it in the record (synced) before a byte is
    // written to it. Returns the file, open for writing, or an invalid descriptor with errno set.
    UniqueFd createFillFile(int folderFd, const std::string& name);
    // Removes every recorded fill file that is still the file this wipe made, then the record (kept
    // when a fill file could not be removed, so that the next wipe removes it).
    void removeAll(int folderFd, const std::string& folderPath);

    bool isOpen() const { return static_cast<bool>(m_fd); }
    std::size_t fileCount() const { return m_files.size(); }

private:
    struct Entry
    {
        std::string name;
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long birthSeconds = 0; // both 0: the file system keeps no birth time
        unsigned birthNanoseconds = 0;
    };

    // The identity of the file at name in folder, not following a link; false when it is not a
    // regular file there.
    static bool identify(int folderFd, const char* name, int flags, Entry& entry);
    // Reads the entries of an open record; false when it is not a record.
    static bool readEntries(int fd, std::vector<Entry>& entries);
    static bool sameFile(int folderFd, const Entry& entry);
    // Unlinks the record's name when it still names the open record file.
    static void unlinkRecord(int folderFd, int recordFd);

    UniqueFd m_fd;
    std::vector<Entry> m_files;
};

} // namespace cv
