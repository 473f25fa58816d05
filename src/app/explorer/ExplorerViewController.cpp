#include "app/explorer/ExplorerViewController.h"

#include "app/AmountText.h"
#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/TransitionAnimator.h"
#include "targets/PathCollection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The explorer's header: a rounded panel with a dashed outline, holding the back control and the
// summary.
class ExplorerHeaderView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(Palette::outline(), 1);
        pen.setDashPattern({6, 5});
        painter.setPen(pen);
        painter.setBrush(Palette::panel());
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    }
};

} // namespace

ExplorerViewController::ExplorerViewController(std::shared_ptr<PathCollection> collection, QWidget* parent)
    : QWidget(parent), m_pathCollection(std::move(collection))
{
    setObjectName(u"ExplorerViewController"_s);
    ColorGradientView* background = ColorGradientView::fill(this);

    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(20, 14, 20, 14);
    layout->setSpacing(10);

    auto* header = new ExplorerHeaderView(background);
    header->setFixedHeight(44);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(14, 0, 14, 0);
    m_backLabel = new QLabel(header);
    m_backLabel->setTextFormat(Qt::RichText);
    m_backLabel->setText(u"<a href=\"back\" style=\"color: %1; text-decoration: none;\">&#8249; %2</a>"_s.arg(
        Palette::css(Palette::accent()), tr("Back").toHtmlEscaped()));
    QFont font = m_backLabel->font();
    font.setPixelSize(15);
    m_backLabel->setFont(font);
    m_backLabel->setCursor(Qt::PointingHandCursor);
    connect(m_backLabel, &QLabel::linkActivated, this, &ExplorerViewController::dismiss);
    headerLayout->addWidget(m_backLabel);
    headerLayout->addStretch(1);
    m_summaryLabel = new QLabel(header);
    m_summaryLabel->setObjectName(u"summaryLabel"_s);
    font.setPixelSize(14);
    m_summaryLabel->setFont(font);
    m_summaryLabel->setStyleSheet(Palette::textStyle(Palette::secondaryText()));
    headerLayout->addWidget(m_summaryLabel);
    layout->addWidget(header);

    m_fileListController = new ExplorerFileListController(background);
    m_fileListController->setPathCollection(m_pathCollection);
    m_fileListController->setDelegate(this);
    layout->addWidget(m_fileListController, 1);

    // Escape goes back, as the back control does.
    auto* back = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(back, &QShortcut::activated, this, &ExplorerViewController::dismiss);

    updateSummary();
}

void ExplorerViewController::updateSummary()
{
    if (!m_pathCollection) {
        m_summaryLabel->clear();
        return;
    }
    // Counted as the shred screen counts: every file, hidden ones included.
    const auto files =
        static_cast<int>(std::min<std::int64_t>(m_pathCollection->getSelectedCount(), INT_MAX));
    m_summaryLabel->setText(tr("Selected %1 (%Ln file(s))", nullptr, files)
                                .arg(AmountText::bytes(m_pathCollection->getSelectedSize())));
}

void ExplorerViewController::pathCollectionChanged(const std::shared_ptr<PathCollection>& collection)
{
    m_pathCollection = collection;
    updateSummary();
}

void ExplorerViewController::dismiss()
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    // The shred screen rescans the collection at once, replacing its trees on a worker, while this
    // screen still fades out: the list lets go of the items first, and a still picture of the
    // screen fades in its place.
    auto* still = new QLabel(this);
    still->setPixmap(grab());
    still->setGeometry(rect());
    still->show();
    still->raise();
    m_fileListController->setPathCollection(nullptr);
    emit dismissed(m_pathCollection);
    TransitionAnimator::animateDismissal(this);
}

} // namespace cv
