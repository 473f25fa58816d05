#pragma once

#include <QLabel>

namespace cv {

// A one-line label for a path or a name that may be longer than the room it has: the text is
// elided in the middle to the label's width (both ends of a path say most), the full text is its
// tool tip, and a long text never widens the screen.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString m_fullText;
};

} // namespace cv
