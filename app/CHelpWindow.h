#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The help viewer: our HTML help pages in a browser with Back, Forward and Contents.
class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    // A help window (a top-level window of its own) showing nothing yet.
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows the contents page of the help file; false when the file cannot be read.
    bool ShowContents(const QString& helpFile);
    // The page shown now.
    QUrl objCurrentPage() const;
    // The browser, for callers that look at what is shown.
    QTextBrowser* objBrowser() const { return browser; }

    // The program's help file (its contents page), "" when the program has none.
    static QString strHelpFile();
    // Sets the program's help file.
    static void strHelpFile(const QString& file);

private:
    QTextBrowser* browser;
    QToolButton* cmdBack;
    QToolButton* cmdForward;
    QToolButton* cmdContents;
    QToolButton* cmdClose;
    QUrl contentsPage;
};
