#include "job/JobSettings.h"

namespace cv {

JobSettings::JobSettings(std::shared_ptr<Algorithm> algorithm, std::shared_ptr<ShredOptions> options)
    : m_algorithm(std::move(algorithm)),
      m_options(options ? std::move(options) : std::make_shared<ShredOptions>())
{}

bool JobSettings::isVolume(const std::string& path) const
{
    return m_environment.volumeProbe.isVolume && m_environment.volumeProbe.isVolume(path);
}

} // namespace cv
