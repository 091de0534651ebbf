#include "app/CHelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString& helpFile() {
    static QString file;
    return file;
}

} // namespace

QString CHelpWindow::strHelpFile() {
    return helpFile();
}

void CHelpWindow::strHelpFile(const QString& file) {
    helpFile() = file;
}

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), browser(new QTextBrowser(this)), cmdBack(new QToolButton(this)),
      cmdForward(new QToolButton(this)), cmdContents(new QToolButton(this)),
      cmdClose(new QToolButton(this)) {
    setObjectName("helpWindow");
    setWindowTitle("Brisolt Help");
    resize(QSize(760, 620).boundedTo(screen()->availableGeometry().size()));

    cmdBack->setText("Back");
    cmdBack->setShortcut(QKeySequence::Back);
    cmdForward->setText("Forward");
    cmdForward->setShortcut(QKeySequence::Forward);
    cmdContents->setText("Contents");
    cmdClose->setText("Close");
    cmdClose->setObjectName("cmdClose");
    cmdClose->setToolTip("Close the help (Esc)");
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);

    browser->setObjectName("helpBrowser");
    browser->setOpenExternalLinks(true);
    browser->document()->setDocumentMargin(16);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addWidget(cmdContents);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(browser);

    connect(cmdBack, &QToolButton::clicked, browser, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, browser, &QTextBrowser::forward);
    connect(cmdContents, &QToolButton::clicked, this, [this] { browser->setSource(contentsPage); });
    connect(browser, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(cmdClose, &QToolButton::clicked, this, &QWidget::close);
    // Esc and Ctrl+W close the help as they close other windows of the desktop. Each key is
    // bound once: a key bound twice (Close is Ctrl+W on X11) is ambiguous and closes nothing.
    QList<QKeySequence> closeKeys{QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")};
    for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Close))
        if (!closeKeys.contains(keys)) closeKeys << keys;
    for (const QKeySequence& keys : closeKeys) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
}

bool CHelpWindow::ShowContents(const QString& file) {
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) return false;
    contentsPage = QUrl::fromLocalFile(info.absoluteFilePath());
    browser->setSearchPaths({info.absolutePath()});
    browser->setSource(contentsPage);
    return true;
}

QUrl CHelpWindow::objCurrentPage() const {
    return browser->source();
}
