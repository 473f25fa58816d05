#pragma once

#include "TempDir.h"
#include "app/controls/ReplaceViewController.h"
#include "app/explorer/ExplorerFileListController.h"
#include "app/intake/SystemService.h"
#include "app/shred/DropFilesViewController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace cv::test {

// A shred screen in a host of its own, with a file intake of its own and volumes that are folders
// of the test (no real volume is ever selected).
struct ShredScreenHarness
{
    TempDir dir;
    std::set<std::string> volumes;
    std::set<std::string> systemVolumes; // volumes too, of which only the free space may be wiped
    std::string startupVolume;
    SystemService intake;
    ReplaceViewController host;
    DropFilesViewController* screen = nullptr;

    ShredScreenHarness()
    {
        host.resize(840, 507);
        host.show();
        screen = makeScreen();
        host.replace(screen);
        QApplication::processEvents(); // the screen hooks itself up to the intake
    }

    DropFilesViewController* makeScreen(const QString& option = {})
    {
        VolumeProbe tester{
            [this](const std::string& path) {
                return volumes.count(path) > 0 || systemVolumes.count(path) > 0 || path == startupVolume;
            },
            [this](const std::string& path) { return !startupVolume.empty() && path == startupVolume; },
            [this](const std::string& path) { return systemVolumes.count(path) > 0; }};
        return new DropFilesViewController(option, nullptr, &intake, tester);
    }

    // Drops paths and waits until their scan is shown.
    bool dropAndWait(const std::vector<std::string>& paths)
    {
        QSignalSpy scanned(screen, &DropFilesViewController::scanFinished);
        screen->droppedLocations(paths);
        return scanned.wait(10000);
    }

    // Unticks the row of path in the open explorer, as a click on its checkbox does.
    static void untick(ExplorerFileListController& list, const std::string& path)
    {
        for (std::size_t row = 0; row < list.source().size(); ++row) {
            if (list.source()[row]->path() == path)
                list.fileCellSelectToggle(static_cast<std::int64_t>(row), false);
        }
    }

    // The alert or sheet the screen shows now, if any.
    template <typename Dialog = QMessageBox> Dialog* openDialog() const
    {
        for (Dialog* dialog : screen->findChildren<Dialog*>()) {
            if (dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }
};

// The titles of a message box's buttons in the order they are shown.
inline QStringList buttonTitles(const QMessageBox* box)
{
    QStringList titles;
    for (const QAbstractButton* button : box->buttons())
        titles.append(button->text());
    return titles;
}

// The button of a message box with this title (fails the test when there is none).
inline QAbstractButton* button(const QMessageBox* box, const QString& title)
{
    for (QAbstractButton* candidate : box->buttons()) {
        if (candidate->text() == title)
            return candidate;
    }
    ADD_FAILURE() << "no button " << title.toStdString();
    return nullptr;
}

inline std::string utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace cv::test
