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

    QPushButton* m_selectButton = nullptr;
    std::vector<std::string> m_selectedPaths;
};

} // namespace cv
