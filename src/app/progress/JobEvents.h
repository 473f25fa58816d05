#pragma once

#include "job/FileShredder.h"

#include <QObject>

#include <memory>

namespace cv {

// The shred job's delegate: it turns the job's calls, made on the job's thread, into signals that
// reach the job's session queued on the GUI thread, each snapshot with its own copy, in the order
// sent. The session owns it and joins the job's thread before it goes, so no call outlives it;
// calls still queued then die with the session.
class JobEvents : public QObject, public FileShredderDelegate
{
    Q_OBJECT

public:
    using QObject::QObject;

    void curProgress(std::shared_ptr<const ShredState> state) override { emit progressed(std::move(state)); }
    void finished(std::shared_ptr<ShredResult> result) override { emit ended(std::move(result)); }

signals:
    void progressed(std::shared_ptr<const ShredState> state);
    void ended(std::shared_ptr<ShredResult> result);
};

} // namespace cv
