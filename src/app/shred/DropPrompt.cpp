#include "app/shred/DropPrompt.h"

#include "app/Palette.h"
#include "app/QuestionText.h"
#include "app/controls/DecorImage.h"
#include "app/controls/StyledLabel.h"
#include "app/shred/SelectionTexts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSequentialAnimationGroup>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// An endless back-and-forth of one property, 0.8 s each way, eased in and out.
QAbstractAnimation* pulse(QObject* target, const QByteArray& property, const QVariant& from,
                          const QVariant& to)
{
    auto* group = new QSequentialAnimationGroup(target);
    for (const auto& [start, end] : {std::pair{from, to}, std::pair{to, from}}) {
        auto* animation = new QPropertyAnimation(target, property, group);
        animation->setDuration(800);
        animation->setStartValue(start);
        animation->setEndValue(end);
        animation->setEasingCurve(QEasingCurve::InOutQuad);
        group->addAnimation(animation);
    }
    group->setLoopCount(-1);
    return group;
}

} // namespace

DropPrompt::DropPrompt(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"groupStart"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 26, 16, 0);
    layout->setSpacing(0);
    addImages(layout);

    layout->addSpacing(16);
    QLabel* prompt = styledLabel(this, 22, Palette::text(), Qt::AlignCenter, QFont::Light);
    prompt->setText(QCoreApplication::translate("cv::DropFilesViewController", "Drag & drop"));
    prompt->setMinimumHeight(34);
    layout->addWidget(prompt);
    layout->addSpacing(4);
    m_promptSub = styledLabel(this, 12, Palette::secondaryText(), Qt::AlignCenter);
    m_promptSub->setObjectName(u"dropPromptSub"_s);
    m_promptSub->setTextFormat(Qt::RichText);
    m_promptSub->setMinimumHeight(40);
    connect(m_promptSub, &QLabel::linkActivated, this, &DropPrompt::browseRequested);
    layout->addWidget(m_promptSub);
    layout->addStretch(1);
    showSubLabel();
}

void DropPrompt::addImages(QVBoxLayout* layout)
{
    const QSize iconSize(60, 60);
    m_imageHd = new DecorImage(QIcon(u":/images/hdd.svg"_s), iconSize, this);
    m_imageUsb = new DecorImage(QIcon(u":/images/usb.svg"_s), iconSize, this);
    m_imageFile = new DecorImage(QIcon(u":/images/file.svg"_s), iconSize, this);
    m_imageUpload = new DecorImage(QIcon(u":/images/upload.svg"_s), iconSize, this);
    auto* images = new QHBoxLayout;
    images->setSpacing(0);
    images->addStretch(1);
    for (DecorImage* image : {m_imageHd, m_imageUsb, m_imageFile, m_imageUpload}) {
        image->setFixedSize(90, 104);
        images->addWidget(image);
    }
    images->addStretch(1);
    layout->addLayout(images);

    // The upload picture is also the button that opens the panel.
    auto* selectFiles = new QPushButton(m_imageUpload);
    selectFiles->setObjectName(u"dropImageSelectFiles"_s);
    selectFiles->setFlat(true);
    selectFiles->setCursor(Qt::PointingHandCursor);
    selectFiles->setStyleSheet(u"QPushButton { background: transparent; border: none; }"_s);
    selectFiles->setToolTip(
        QCoreApplication::translate("cv::DropFilesViewController", "Select files and folders"));
    selectFiles->setAccessibleName(selectFiles->toolTip());
    connect(selectFiles, &QPushButton::clicked, this, &DropPrompt::browseRequested);
    auto* over = new QVBoxLayout(m_imageUpload);
    over->setContentsMargins(12, 20, 12, 20);
    over->addWidget(selectFiles);
}

void DropPrompt::showSubLabel()
{
    const QString link = u"<a href=\"browse\" style=\"color: %1; text-decoration: underline;\">%2</a>"_s.arg(
        Palette::css(Palette::accent()),
        QCoreApplication::translate("cv::DropFilesViewController", "browse").toHtmlEscaped());
    // The link goes in after escaping, so that only the translated words are escaped.
    const QStringList parts =
        QCoreApplication::translate("cv::DropFilesViewController",
                                    "your files, hard disk, storage devices\n or %1 your Mac")
            .split(u"%1"_s);
    QString rich;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            rich += link;
        rich += QuestionText::html(parts[i]);
    }
    m_promptSub->setText(rich);
}

void DropPrompt::startAnimation()
{
    stopAnimation();
    const QList<QAbstractAnimation*> animations{
        pulse(m_imageUsb, "offsetY", 0.0, -20.0), pulse(m_imageHd, "rotation", 0.0, -15.0),
        pulse(m_imageFile, "rotation", 0.0, 15.0), pulse(m_imageUpload, "scale", 1.0, 1.1)};
    for (QAbstractAnimation* animation : animations) {
        m_animations.append(animation);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void DropPrompt::stopAnimation()
{
    for (const QPointer<QObject>& animation : std::as_const(m_animations)) {
        if (auto* running = qobject_cast<QAbstractAnimation*>(animation.data()))
            running->stop();
    }
    m_animations.clear();
    for (DecorImage* image : {m_imageUsb, m_imageHd, m_imageFile, m_imageUpload})
        image->reset();
}

} // namespace cv
