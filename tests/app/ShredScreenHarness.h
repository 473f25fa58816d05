#pragma once

#include "TempDir.h"
#include "app/WindowController.h"
#include "app/controls/ReplaceViewController.h"
#include "app/explorer/ExplorerFileListController.h"
#include "app/intake/SystemService.h"
#include "app/shred/DropFilesViewController.h"
#include "engine/AlgorithmCollection.h"
#include "settings/SettingsManager.h"
#include "targets/TreeItem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace cv::test {

// Answers the volume questions for folders of the test, so that no real volume is ever selected.
struct FakeVolumes
{
    std::set<std::string> volumes;
    std::set<std::string> systemVolumes; // volumes too, of which only the free space may be wiped
    std::string startupVolume;
    std::map<std::string, VolumeFacts> facts; // what a volume is, where the test says

    VolumeProbe tester()
    {
        VolumeProbe probe{
            [this](const std::string& path) {
                return volumes.count(path) > 0 || systemVolumes.count(path) > 0 || path == startupVolume;
            },
            [this](const std::string& path) { return !startupVolume.empty() && path == startupVolume; },
            [this](const std::string& path) { return systemVolumes.count(path) > 0; }};
        probe.describe = [this](const std::string& path) {
            const auto known = facts.find(path);
            return known != facts.end() ? known->second : VolumeFacts{{}, path, {}, {}, 0};
        };
        return probe;
    }
};

// The real window whose shred screens use a file intake of their own and the fake volumes: the
// window's navigation (explorer, progress screen, next shred screen) is the one the program has.
struct ShredScreenHarness : FakeVolumes
{
    TempDir dir;
    SystemService intake;
    WindowController window{SettingsManager::sharedManager(),
                            [this](VolumeOption preset) { return makeScreen(preset); }};
    DropFilesViewController* screen = nullptr;

    ShredScreenHarness()
    {
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        screen = qobject_cast<DropFilesViewController*>(window.shredTab()->current());
        QApplication::processEvents(); // the screen hooks itself up to the intake
    }

    DropFilesViewController* makeScreen(VolumeOption preset = VolumeOption::None)
    {
        return new DropFilesViewController(preset, &intake, tester());
    }

    // A named part of the screen (fails the test when there is none).
    template <typename Widget = QWidget> Widget* part(const char* name) const
    {
        auto* widget = screen->findChild<Widget*>(QLatin1StringView(name));
        EXPECT_NE(widget, nullptr) << "no part " << name;
        return widget;
    }
    bool shown(const char* name) const { return !part(name)->isHidden(); }
    bool startEnabled() const { return part("startShred")->isEnabled(); }
    void selectMethod(int index) const { part<QComboBox>("methodSelection")->setCurrentIndex(index); }
    int selectedMethod() const { return part<QComboBox>("methodSelection")->currentIndex(); }
    // The catalogue index of the one-pass random method.
    static int randomMethod() { return static_cast<int>(AlgorithmCollection().getIndexForIdentifier(16)); }

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

// Clicks the button of a dialog with this object name.
inline void click(const QWidget* dialog, const char* name)
{
    auto* target = dialog->findChild<QAbstractButton*>(QLatin1StringView(name));
    ASSERT_NE(target, nullptr) << "no button " << name;
    target->click();
}

inline std::string utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace cv::test
