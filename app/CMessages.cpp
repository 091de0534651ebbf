#include "app/CMessages.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, CMessages::strForDisplay(text), buttons, parent);
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

bool CMessages::isYes(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Question, strAppTitle(), text,
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
