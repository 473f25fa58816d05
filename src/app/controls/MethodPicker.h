#pragma once

#include "engine/AlgorithmCollection.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QGridLayout;
class QLabel;

namespace cv {

class SettingsManager;

// The overwrite-method list every place that offers methods shows: the catalogue's titles in menu
// order with the placeholder standing for no method, the chosen method's description beside it,
// and the stored default preselected and followed while it changes.
class MethodPicker : public QWidget
{
    Q_OBJECT

public:
    enum class Role
    {
        // A screen that starts jobs: the heading and the list ("methodSelection") on the left, the
        // chosen method's description ("methodDescription") on the right. The stored default is
        // followed until the user picks a method here; without one, the method of the last job
        // started in this run is preselected, so that the screen after a job keeps the choice.
        Screen,
        // The same without the description, for a screen that has no room for it.
        ScreenWithoutDescription,
        // The Deletion pane's list ("defaultMethodSelection") alone: it shows the stored default,
        // the placeholder for none, and stores the method the user picks as the new default.
        DefaultSetting,
    };

    MethodPicker(Role role, SettingsManager& settings, QWidget* parent = nullptr);

    // The chosen method; null for the placeholder.
    std::shared_ptr<Algorithm> selected() const;
    QComboBox* list() const { return m_list; }
    // What a screen's action row says of the choice: the chosen method, or that Start waits for
    // one.
    QString summary() const;

    // Selects what the stored default says (see Role); no change signal when nothing changes.
    void showStoredDefault();

    // Notes the method of a job that starts, for the screens made after it; the stored default
    // stays as it is.
    static void rememberUsed(const Algorithm& method);

signals:
    // The chosen method changed, by the user or by the stored default.
    void methodChanged();

private:
    void followChanges();
    void addHeading(QGridLayout* layout);
    void addDescription(QGridLayout* layout);
    int storedIndex() const;
    void showDescription();

    Role m_role;
    SettingsManager& m_settings;
    AlgorithmCollection m_algos;
    QComboBox* m_list;
    QLabel* m_description = nullptr;
    bool m_userChose = false; // the user picked a method in this list
};

} // namespace cv
