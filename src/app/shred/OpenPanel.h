#pragma once

#include <QFileDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace cv {

// The open panel of the shred screen: files and folders alike, several at once, confirmed with
// "Select". Qt's own dialog picks either files or folders; this one takes whatever is selected
// in its list when the user confirms. Its button always reads "Select" and adds the selection,
// folders included; a double click opens a folder, and so does Return on a folder's path typed into
// the name field.
class OpenPanel : public QFileDialog
{
    Q_OBJECT

public:
    // The panel's start size where the screen holds it: room for the places on the left and the
    // list's four columns.
    static constexpr QSize kStartSize{760, 480};
    // The widest the places on the left become for a long name.
    static constexpr int kWidestPlaces = 220;
    // The widest the list's type column becomes for a long type.
    static constexpr int kWidestType = 180;

    explicit OpenPanel(QWidget* parent = nullptr);

    // The chosen paths, in the panel's order, as bytes.
    const std::vector<std::string>& selectedPaths() const { return m_selectedPaths; }
    // The button that adds the selection.
    QPushButton* selectButton() const { return m_selectButton; }

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Replaces Qt's accept button, which turns into "Open" (and enters the folder) whenever a
    // folder is selected.
    void replaceAcceptButton();
    // Return in the name field on a folder's path: enters that folder; false for anything else.
    bool enterTypedFolder(QLineEdit* name);
    // The button is enabled while something is selected or a name is typed.
    void updateSelectButton();
    // Gives the places on the left the width of their longest name, up to a limit beyond which a
    // name is shortened in its middle (never cut at its end or scrolled sideways), and the list's
    // type column the width of the types shown, up to kWidestType.
    void widenColumns();

    QPushButton* m_selectButton = nullptr;
    std::vector<std::string> m_selectedPaths;
};

} // namespace cv
