#pragma once

#include <cstdio>
#include <string>

namespace cv::test {

// Catches the program's log lines while it lives (in a temporary file), so that a test can check
// that a failure was logged; the log goes back where it went before at the end.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged so far.
    std::string text() const;
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }

private:
    std::FILE* m_file;
    int m_previous;
};

} // namespace cv::test
