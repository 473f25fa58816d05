#include "cli/QtParts.h"

#include "common/Log.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace cv::cli {

namespace {

constexpr const char* kModuleName = "libcindervault-cli-qt.so";

// Beside the program first (the build tree, a relocated install), then where it is installed.
std::string moduleBesideProgram()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + kModuleName;
}

} // namespace

QtParts* QtParts::load(std::string* whyNot)
{
    static QtParts parts;
    static bool loaded = false;
    if (loaded)
        return &parts;
    void* module = nullptr;
    for (const std::string& candidate :
         {moduleBesideProgram(), std::string(CINDERVAULT_CLI_MODULE_DIR "/") + kModuleName}) {
        if (!candidate.empty() && (module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)))
            break;
    }
    if (!module) {
        if (whyNot)
            *whyNot = std::string("the report and helper module cannot be loaded: ") + ::dlerror();
        return nullptr;
    }
    parts.m_saveReport = reinterpret_cast<SaveReport>(::dlsym(module, "cindervault_cli_save_report"));
    parts.m_makeHelper = reinterpret_cast<MakeHelper>(::dlsym(module, "cindervault_cli_make_helper"));
    if (!parts.m_saveReport || !parts.m_makeHelper) {
        if (whyNot)
            *whyNot = "the report and helper module is not the one this program was built with";
        return nullptr;
    }
    loaded = true; // never unloaded: its Qt objects live until the process ends
    return &parts;
}

std::optional<std::string> QtParts::saveReport(const ShredResult& result, const ReportCliOptions& options,
                                               std::string* whyNot) const
{
    std::string path;
    if (!m_saveReport(result, options, &path, whyNot, currentLogDescriptor()))
        return std::nullopt;
    return path;
}

std::unique_ptr<HelperToolClient> QtParts::makeHelper(std::string* whyNot) const
{
    return std::unique_ptr<HelperToolClient>(m_makeHelper(whyNot, currentLogDescriptor()));
}

} // namespace cv::cli
