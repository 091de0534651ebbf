#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The questions and notices of the workbook windows, behind one interface so that a test can
// answer them. The default shows modal boxes and file dialogs.
class CEditorPrompts {
public:
    virtual ~CEditorPrompts() = default;
    // A Yes/No question; true for Yes.
    virtual bool isYes(QWidget* parent, const QString& text) = 0;
    // An error with the stop icon.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A notice under the title, with optional details (one per line) shown on demand.
    virtual void ShowInformation(QWidget* parent, const QString& title, const QString& text,
                                 const QStringList& details = {}) = 0;
    // A file to read or write (save true) with the filter, the dialog starting in the folder;
    // "" when cancelled.
    virtual QString strAskFile(QWidget* parent, const QString& caption, const QString& filter,
                               bool save, const QString& folder) = 0;
    // A line of text, starting from the given one; false when cancelled.
    virtual bool isAskText(QWidget* parent, const QString& title, const QString& label,
                           QString& text) = 0;

    // The program's title, the title of its message boxes.
    static QString strTitle() { return "Brisolt"; }
};

// Modal message boxes and the platform's file dialogs.
class CModalPrompts : public CEditorPrompts {
public:
    bool isYes(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& title, const QString& text,
                         const QStringList& details) override;
    QString strAskFile(QWidget* parent, const QString& caption, const QString& filter, bool save,
                       const QString& folder) override;
    bool isAskText(QWidget* parent, const QString& title, const QString& label,
                   QString& text) override;
};
