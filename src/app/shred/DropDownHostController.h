#pragma once

#include "app/controls/ReplaceViewController.h"

namespace cv {

// The shred tab: hosts the shred screen, which the progress screen replaces during a job and a new
// shred screen replaces after it. Transitions named "freespace" or "deletion" preset the new
// screen's volume option.
class DropDownHostController : public ReplaceViewController
{
    Q_OBJECT

public:
    explicit DropDownHostController(QWidget* parent = nullptr);

protected:
    void prepareReplacement(QWidget* destination, const QString& identifier) override;
};

} // namespace cv
