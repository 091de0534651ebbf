#include "editor/CEditorPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

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
                                  bool save, const QString& folder) {
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setObjectName(save ? "saveFileDialog" : "openFileDialog");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without an extension gets the first filter's ("*.pgn" gives "pgn").
    const QRegularExpressionMatch suffix = QRegularExpression("\\*\\.([A-Za-z0-9]+)").match(filter);
    if (save && suffix.hasMatch()) dialog.setDefaultSuffix(suffix.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

bool CModalPrompts::isAskText(QWidget* parent, const QString& title, const QString& label,
                              QString& text) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (ok) text = answer;
    return ok;
}
