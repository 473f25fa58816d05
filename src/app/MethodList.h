#pragma once

#include "engine/AlgorithmCollection.h"

#include <memory>

class QComboBox;
class QGridLayout;
class QLabel;
class QWidget;

namespace cv {

// The overwrite-method list every screen that starts a job shows: the catalogue's titles in menu
// order, the stored default method preselected, the placeholder standing for no method.
class MethodList
{
public:
    // The method block of a screen: the heading and the list ("methodSelection") on the left, the
    // chosen method's description ("methodDescription") on the right; the screen fills the list.
    struct Block
    {
        QGridLayout* layout;
        QComboBox* list;
        QLabel* description;
    };
    static Block makeBlock(QWidget* parent);

    // Fills list with the catalogue's titles and selects the stored default; a stored method the
    // catalogue does not know selects the placeholder, so that nothing starts until the user picks
    // a real method. With no stored default (the placeholder), the method of the last job started
    // in this run is selected, so that the screen after a job keeps the user's choice. No change
    // signal is sent.
    static void fill(QComboBox& list, const AlgorithmCollection& algorithms);
    // Notes the method of a job that starts, for the screens filled after it; the stored default
    // stays as it is.
    static void rememberUsed(const Algorithm& method);
    // The method selected in list; null for the placeholder.
    static std::shared_ptr<Algorithm> selected(const QComboBox& list, const AlgorithmCollection& algorithms);
};

} // namespace cv
