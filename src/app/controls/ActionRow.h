#pragma once

#include <QWidget>

class QLabel;
class QScrollArea;

namespace cv {

class PillButton;

// The row at the bottom of a screen that starts jobs: what Start will act on (a screen's total,
// when it has one) and a summary of what Start will do (the method chosen, or what is still
// missing) on the left, Start on the right. The screen puts its content in a scroll area above the
// row, so that Start and what it acts on stay in view however small the window or large the scale:
// only the content scrolls.
class ActionRow : public QWidget
{
    Q_OBJECT

public:
    ActionRow(PillButton* start, QWidget* parent = nullptr);

    QLabel* summary() const { return m_summary; }
    PillButton* start() const { return m_start; }
    void setSummary(const QString& text);
    // Adds an amount before the summary, its caption above it ("Selected" over "2.8 MB, 12 files"),
    // hidden until setAmountShown(true); returns the amount's label for the screen to fill.
    QLabel* addAmount(const QString& caption);
    void setAmountShown(bool shown);

    // Lays screen out as a background holding a scroll area with the content above and row at the
    // bottom; returns the content widget for the screen to fill (it has no layout yet).
    static QWidget* frame(QWidget* screen, ActionRow* row);
    // The scroll area of a screen laid out by frame().
    static QScrollArea* contentArea(const QWidget* screen);

private:
    QWidget* m_amount = nullptr;
    QLabel* m_summary;
    PillButton* m_start;
};

} // namespace cv
