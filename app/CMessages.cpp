#include "app/CMessages.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace {

bool unattended = false;
int unattendedMessages = 0;

// True when the message went to the error output instead of a box.
bool isWrittenOut(const QString& text) {
    if (!unattended) return false;
    ++unattendedMessages;
    std::fprintf(stderr, "brisolt: %s\n", qPrintable(CMessages::strForDisplay(text)));
    return true;
}

QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton byDefault = QMessageBox::NoButton) {
    if (isWrittenOut(text)) return QMessageBox::NoButton;
    QMessageBox box(icon, title, CMessages::strForDisplay(text), buttons, parent);
    if (byDefault != QMessageBox::NoButton) box.setDefaultButton(byDefault);
    box.setObjectName("brisoltMessage");
    box.setTextFormat(Qt::PlainText);
    // The text as the program wrote it, line breaks included, for anyone who reads it back.
    box.setProperty("brisoltText", text);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QString CMessages::strAppTitle() {
    return "Brisolt";
}

QString CMessages::strForDisplay(const QString& text) {
    QString shown = text;
    shown.replace("\r\n", "\n");
    shown.replace('\r', '\n');
    return shown;
}

void CMessages::ShowError(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, strAppTitle(), text, QMessageBox::Ok);
}

void CMessages::ShowExclamation(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Warning, strAppTitle(), text, QMessageBox::Ok);
}

void CMessages::ShowInformation(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void CMessages::ShowPlain(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::NoIcon, strAppTitle(), text, QMessageBox::Ok);
}

bool CMessages::isYes(QWidget* parent, const QString& text, bool noByDefault) {
    return show(parent, QMessageBox::Question, strAppTitle(), text,
                QMessageBox::Yes | QMessageBox::No,
                noByDefault ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
}

int CMessages::intChoose(QWidget* parent, const QString& text, const QStringList& choices) {
    if (isWrittenOut(text)) return -1;
    QMessageBox box(QMessageBox::Question, strAppTitle(), strForDisplay(text),
                    QMessageBox::NoButton, parent);
    box.setObjectName("brisoltMessage");
    box.setTextFormat(Qt::PlainText);
    box.setProperty("brisoltText", text);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

void CMessages::isUnattended(bool value) {
    unattended = value;
}

int CMessages::intUnattendedMessages() {
    return unattendedMessages;
}
