#pragma once

#include <QString>

namespace cv {

// Whether the snapshot question of the temporary-data screen can lead anywhere: snapper is
// installed with a configuration for the root volume (so snapshots of it are taken), and the
// privileged helper that deletes them can be reached on the system bus. Without any of these a
// yes could only end a clean job in an error.
class SnapshotProbe
{
public:
    // The check on this machine.
    static bool snapshotsRemovable();
    // The parts of the check: snapper on the search path (empty: $PATH and the system folders),
    // its configuration file of the root volume, and the helper's name on the system bus (running
    // or activatable).
    static bool
    snapperConfigured(const QString& searchPath = {},
                      const QString& rootConfiguration = QStringLiteral("/etc/snapper/configs/root"));
    static bool helperReachable();
};

} // namespace cv
