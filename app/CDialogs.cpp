#include "app/CDialogs.h"

#include <QColorDialog>
#include <QFileDialog>

QString CDialogs::strWorkbookFilter() {
    return "Workbooks (*.brl);;All files (*)";
}

QString CDialogs::strAskWorkbookFile(QWidget* parent, bool save, const QString& folder) {
    QFileDialog dialog(parent, save ? "Save Workbook" : "Open Workbook", folder,
                       strWorkbookFilter());
    dialog.setObjectName("workbookFileDialog");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setDefaultSuffix("brl");
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

long CDialogs::lngChooseColor(QWidget* parent, long color) {
    QColorDialog dialog(objColorFromNumber(color), parent);
    dialog.setObjectName("squareColorDialog");
    if (dialog.exec() != QDialog::Accepted) return color;
    return lngNumberFromColor(dialog.selectedColor());
}

QColor CDialogs::objColorFromNumber(long color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

long CDialogs::lngNumberFromColor(const QColor& color) {
    return static_cast<long>(color.red()) | (static_cast<long>(color.green()) << 8) |
           (static_cast<long>(color.blue()) << 16);
}
