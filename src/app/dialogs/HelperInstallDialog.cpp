#include "app/dialogs/HelperInstallDialog.h"

#include "app/QuestionText.h"

#include <QApplication>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

HelperInstallDialog::HelperInstallDialog(const QStringList& places, QWidget* parent)
    : QMessageBox(QMessageBox::Question, tr("Install the helper?"),
                  tr("Install Cindervault's helper for the steps that need root?"), QMessageBox::NoButton,
                  parent)
{
    setObjectName(u"HelperInstallQuestion"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    // Each place on a line of its own, indented, and a long path that wraps indented further (a
    // hanging indent), so that its second line does not read as another place.
    QStringList lines;
    for (const QString& place : places)
        lines << u"<div style=\"margin-left: 32px; text-indent: -16px;\">%1</div>"_s.arg(
            place.toHtmlEscaped());
    const QString text =
        tr("This Cindervault runs from its build folder, and the system has no helper of its version. "
           "Deleting files you may not write to, reformatting a volume and deleting snapshots go through a "
           "small helper that runs as root. Installing it asks for an administrator password and writes:\n"
           "%1\n\n"
           "With “Not now” Cindervault starts without these steps; it asks again at the next start.");
    const qsizetype at = text.indexOf(u"%1"_s);
    setTextFormat(Qt::RichText);
    // What follows the places is a paragraph of its own, back at the margin.
    setInformativeText(QuestionText::html(text.left(at)) + lines.join(QString()) +
                       u"<p style=\"margin-left: 0px; margin-top: 12px;\">"_s +
                       QuestionText::html(text.mid(at + 2).trimmed()) + u"</p>"_s);
    QPushButton* install = addButton(tr("Install…"), QMessageBox::AcceptRole);
    install->setObjectName(u"installButton"_s);
    QPushButton* notNow = addButton(tr("Not now"), QMessageBox::RejectRole);
    notNow->setObjectName(u"notNowButton"_s);
    // Return answers the question that runs nothing as root.
    setDefaultButton(notNow);
    setEscapeButton(notNow);
    // Closing the window counts as "Not now": nothing runs as root without a yes.
    connect(this, &QMessageBox::finished, this,
            [this, install] { emit answered(clickedButton() == install); });
}

void HelperInstallDialog::ask(const QStringList& places, std::function<void(bool install)> answer)
{
    auto* question = new HelperInstallDialog(places, QApplication::activeWindow());
    connect(question, &HelperInstallDialog::answered, question,
            [answer = std::move(answer)](bool install) { answer(install); });
    question->open();
}

} // namespace cv
