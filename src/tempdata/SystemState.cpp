#include "tempdata/SystemState.h"

#include "common/PathText.h"

#include <sys/stat.h>

namespace cv {

const std::vector<SystemState::Entry>& SystemState::underSystemCaches()
{
    static const std::vector<Entry> entries{
        // debconf's database: every answer given to the package system (config.dat,
        // passwords.dat, templates.dat and their -old copies). Lost, packages ask again or
        // silently take their defaults on the next upgrade.
        {"debconf", "The package system's answers (debconf database)"},
        // BIND's working folder on Debian: journals of dynamic and secondary zones and the
        // DNSSEC trust anchors it keeps up to date (managed-keys.bind).
        {"bind", "The name server's zones and keys (BIND working folder)"},
    };
    return entries;
}

std::vector<SystemState::Kept> SystemState::keptIn(const std::vector<std::string>& cacheFolders)
{
    std::vector<Kept> kept;
    for (const std::string& folder : cacheFolders) {
        for (const Entry& entry : underSystemCaches()) {
            const std::string path =
                joinPath(std::string(withoutTrailingSlashes(folder)), entry.relativePath);
            struct stat info;
            if (::lstat(path.c_str(), &info) == 0)
                kept.push_back(Kept{path, entry.reason});
        }
    }
    return kept;
}

} // namespace cv
