#include "editor/CEditorPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

bool CModalPrompts::isYes(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, strTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void CModalPrompts::ShowError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, strTitle(), text);
}

void CModalPrompts::ShowInformation(QWidget* parent, const QString& title, const QString& text,
                                    const QStringList& details) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box.setDetailedText(details.join('\n'));
    box.exec();
}

QString CModalPrompts::strAskFile(QWidget* parent, const QString& caption, const QString& filter,
                                  bool save) {
    return save ? QFileDialog::getSaveFileName(parent, caption, QString(), filter)
                : QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

bool CModalPrompts::isAskText(QWidget* parent, const QString& title, const QString& label,
                              QString& text) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (ok) text = answer;
    return ok;
}
