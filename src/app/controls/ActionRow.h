#pragma once

#include <QWidget>

class QLabel;
class QScrollArea;

namespace cv {

class PillButton;

// The row at the bottom of a screen that starts jobs: a summary of what Start will do (the
// method chosen, or what is still missing) on the left, Start on the right. The screen puts its
// content in a scroll area above the row, so that Start stays in view however small the window
// or large the scale: only the content scrolls.
class ActionRow : public QWidget
{
    Q_OBJECT

public:
    ActionRow(PillButton* start, QWidget* parent = nullptr);

    QLabel* summary() const { return m_summary; }
    PillButton* start() const { return m_start; }
    void setSummary(const QString& text);

    // Lays screen out as a background holding a scroll area with the content above and row at the
    // bottom; returns the content widget for the screen to fill (it has no layout yet).
    static QWidget* frame(QWidget* screen, ActionRow* row);
    // The scroll area of a screen laid out by frame().
    static QScrollArea* contentArea(const QWidget* screen);

private:
    QLabel* m_summary;
    PillButton* m_start;
};

} // namespace cv
