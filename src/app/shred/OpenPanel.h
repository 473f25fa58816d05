#pragma once

#include <QFileDialog>

#include <string>
#include <vector>

namespace cv {

// The open panel of the shred screen: files and folders alike, several at once, confirmed with
// "Select". Qt's own dialog picks either files or folders; this one takes whatever is selected
// in its list when the user confirms.
class OpenPanel : public QFileDialog
{
    Q_OBJECT

public:
    explicit OpenPanel(QWidget* parent = nullptr);

    // The chosen paths, in the panel's order, as bytes.
    const std::vector<std::string>& selectedPaths() const { return m_selectedPaths; }

public slots:
    void accept() override;

private:
    std::vector<std::string> m_selectedPaths;
};

} // namespace cv
