#include "app/MethodList.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"
#include "settings/SettingsManager.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

MethodList::Block MethodList::makeBlock(QWidget* parent)
{
    auto* layout = new QGridLayout;
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(6);
    QLabel* headLine =
        styledLabel(parent, 14, Palette::text(), Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    headLine->setObjectName(u"methodHeadLine"_s);
    headLine->setText(QCoreApplication::translate("cv::MethodList", "Overwrite method"));
    headLine->setFixedHeight(22);
    layout->addWidget(headLine, 0, 0);
    auto* list = new QComboBox(parent);
    list->setObjectName(u"methodSelection"_s);
    list->setFixedSize(380, 32);
    list->setMaxVisibleItems(22);
    layout->addWidget(list, 1, 0);
    layout->setRowStretch(2, 1);
    QLabel* description = styledLabel(parent, 12, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignTop);
    description->setObjectName(u"methodDescription"_s);
    description->setWordWrap(true);
    description->setMinimumHeight(96);
    layout->addWidget(description, 0, 1, 3, 1);
    layout->setColumnStretch(1, 1);
    return {layout, list, description};
}

namespace {

// The identifier of the method of the last job this run started; 0 (the placeholder) before any.
std::uint64_t& lastUsedMethod()
{
    static std::uint64_t identifier = 0;
    return identifier;
}

} // namespace

void MethodList::rememberUsed(const Algorithm& method)
{
    lastUsedMethod() = method.identifier();
}

void MethodList::fill(QComboBox& list, const AlgorithmCollection& algorithms)
{
    qint64 identifier =
        SettingsManager::sharedManager().integerForKey(SettingsManager::kSettingsDeletionDefaultMethod);
    if (identifier == 0)
        identifier = static_cast<qint64>(lastUsedMethod());
    const QSignalBlocker blocker(&list);
    list.clear();
    for (const std::string& title : algorithms.getAllSelectableTitles())
        list.addItem(QString::fromStdString(title));
    const std::size_t index = identifier < 0
                                  ? algorithms.algorithms().size()
                                  : algorithms.getIndexForIdentifier(static_cast<std::uint64_t>(identifier));
    list.setCurrentIndex(index < algorithms.algorithms().size() ? static_cast<int>(index) : 0);
}

std::shared_ptr<Algorithm> MethodList::selected(const QComboBox& list, const AlgorithmCollection& algorithms)
{
    const int index = list.currentIndex();
    return index > 0 ? algorithms.get(static_cast<std::size_t>(index)) : nullptr;
}

} // namespace cv
