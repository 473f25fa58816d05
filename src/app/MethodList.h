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
    // a real method. No change signal is sent.
    static void fill(QComboBox& list, const AlgorithmCollection& algorithms);
    // The method selected in list; null for the placeholder.
    static std::shared_ptr<Algorithm> selected(const QComboBox& list, const AlgorithmCollection& algorithms);
};

} // namespace cv
