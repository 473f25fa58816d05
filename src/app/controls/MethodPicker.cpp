#include "app/controls/MethodPicker.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"
#include "settings/DefaultMethod.h"
#include "settings/SettingsManager.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The identifier of the method of the last job this run started; 0 (the placeholder) before any.
std::uint64_t& lastUsedMethod()
{
    static std::uint64_t identifier = 0;
    return identifier;
}

} // namespace

MethodPicker::MethodPicker(Role role, SettingsManager& settings, QWidget* parent)
    : QWidget(parent), m_role(role), m_settings(settings), m_list(new QComboBox(this))
{
    setObjectName(u"methodPicker"_s);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list->setMaxVisibleItems(22);
    for (const std::string& title : m_algos.getAllSelectableTitles())
        m_list->addItem(QString::fromStdString(title));
    if (m_role == Role::DefaultSetting) {
        m_list->setObjectName(u"defaultMethodSelection"_s);
        layout->addWidget(m_list, 0, 0);
    } else {
        m_list->setObjectName(u"methodSelection"_s);
        m_list->setFixedSize(380, 32);
        addHeading(layout);
        layout->addWidget(m_list, 1, 0);
        layout->setRowStretch(2, 1);
        if (m_role == Role::Screen)
            addDescription(layout);
    }
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentIndex(storedIndex());
    }
    showDescription();
    followChanges();
}

void MethodPicker::followChanges()
{
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] {
        showDescription();
        emit methodChanged();
    });
    connect(m_list, &QComboBox::activated, this, [this](int index) {
        m_userChose = true;
        if (m_role != Role::DefaultSetting)
            return;
        if (const auto method = m_algos.get(static_cast<std::size_t>(std::max(0, index))))
            m_settings.setInteger(static_cast<qint64>(method->identifier()),
                                  SettingsManager::kSettingsDeletionDefaultMethod);
    });
    // A new default from the settings counts at once, unless the user chose a method on this screen.
    connect(&m_settings, &SettingsManager::valueChanged, this, [this](const QString& key) {
        if (key == SettingsManager::kSettingsDeletionDefaultMethod &&
            (m_role == Role::DefaultSetting || !m_userChose))
            showStoredDefault();
    });
}

void MethodPicker::addHeading(QGridLayout* layout)
{
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(6);
    QLabel* headLine =
        styledLabel(this, 14, Palette::text(), Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    headLine->setObjectName(u"methodHeadLine"_s);
    headLine->setText(QCoreApplication::translate("cv::MethodList", "Overwrite method"));
    headLine->setFixedHeight(22);
    layout->addWidget(headLine, 0, 0);
}

void MethodPicker::addDescription(QGridLayout* layout)
{
    m_description = styledLabel(this, 12, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignTop);
    m_description->setObjectName(u"methodDescription"_s);
    m_description->setWordWrap(true);
    m_description->setMinimumHeight(96);
    layout->addWidget(m_description, 0, 1, 3, 1);
    layout->setColumnStretch(1, 1);
}

int MethodPicker::storedIndex() const
{
    std::uint64_t identifier = 0;
    if (const auto method = DefaultMethod::read(m_settings))
        identifier = method->identifier();
    else if (m_role != Role::DefaultSetting)
        identifier = lastUsedMethod();
    // An identifier the catalogue does not have (no job yet: 0) selects the placeholder.
    const std::size_t index = m_algos.getIndexForIdentifier(identifier);
    return index < m_algos.algorithms().size() ? static_cast<int>(index) : 0;
}

void MethodPicker::showStoredDefault()
{
    m_list->setCurrentIndex(storedIndex());
}

void MethodPicker::showDescription()
{
    if (!m_description)
        return;
    if (const auto method = m_algos.get(static_cast<std::size_t>(std::max(0, m_list->currentIndex()))))
        m_description->setText(QString::fromStdString(method->longDesc()));
}

std::shared_ptr<Algorithm> MethodPicker::selected() const
{
    const int index = m_list->currentIndex();
    return index > 0 ? m_algos.get(static_cast<std::size_t>(index)) : nullptr;
}

QString MethodPicker::summary() const
{
    if (!selected())
        return tr("Choose an overwrite method to start.");
    return tr("Method: %1").arg(m_list->currentText());
}

void MethodPicker::rememberUsed(const Algorithm& method)
{
    lastUsedMethod() = method.identifier();
}

} // namespace cv
