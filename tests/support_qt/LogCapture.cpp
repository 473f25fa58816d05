#include "LogCapture.h"

#include "common/Log.h"

namespace cv::test {

LogCapture::LogCapture() : m_file(std::tmpfile()), m_previous(currentLogDescriptor())
{
    if (m_file)
        setLogDescriptor(fileno(m_file));
}

LogCapture::~LogCapture()
{
    setLogDescriptor(m_previous);
    if (m_file)
        std::fclose(m_file);
}

std::string LogCapture::text() const
{
    std::string all;
    if (!m_file)
        return all;
    std::rewind(m_file);
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, m_file))
        all.append(buffer, n);
    return all;
}

} // namespace cv::test
