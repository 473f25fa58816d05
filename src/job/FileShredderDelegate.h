#pragma once

#include "engine/ShredResult.h"
#include "engine/ShredState.h"

#include <memory>

namespace cv {

// Receives a job's progress and its end. Both arrive on the job's worker thread, except the
// snapshot that cancel() sends, which arrives on the thread that called cancel().
class FileShredderDelegate
{
public:
    virtual ~FileShredderDelegate() = default;
    virtual void curProgress(std::shared_ptr<const ShredState> state) = 0;
    // Exactly once per run, also after a cancel.
    virtual void finished(std::shared_ptr<ShredResult> result) = 0;
};

} // namespace cv
