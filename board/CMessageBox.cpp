#include "board/CMessageBox.h"

#include <QMessageBox>

void CModalMessageBox::ShowWarning(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}
