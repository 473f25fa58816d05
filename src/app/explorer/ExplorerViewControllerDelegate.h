#pragma once

#include <memory>

namespace cv {

class PathCollection;

// Told when the file explorer closes, with the collection whose selection the user changed.
class ExplorerViewControllerDelegate
{
public:
    virtual ~ExplorerViewControllerDelegate() = default;
    virtual void explorerDismissedWith(std::shared_ptr<PathCollection> collection) = 0;
};

} // namespace cv
