#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The program's message boxes: each one modal over its parent with the icon and title the
// situation calls for. Line breaks in the texts are shown as written.
class CMessages {
public:
    // The program's title, used as the title of its message boxes.
    static QString strAppTitle();
    // An error the user must know about: stop icon, the program's title.
    static void ShowError(QWidget* parent, const QString& text);
    // A warning: exclamation icon, the program's title.
    static void ShowExclamation(QWidget* parent, const QString& text);
    // A notice with the information icon under the given title.
    static void ShowInformation(QWidget* parent, const QString& title, const QString& text);
    // A plain message without an icon, under the program's title.
    static void ShowPlain(QWidget* parent, const QString& text);
    // A Yes/No question with the question icon; true for Yes. Before something is lost for good,
    // No is the default, so that Enter alone loses nothing.
    static bool isYes(QWidget* parent, const QString& text, bool noByDefault = false);
    // A question answered by one of the choices (button captions) or Cancel: the index of the
    // choice, -1 for Cancel.
    static int intChoose(QWidget* parent, const QString& text, const QStringList& choices);
    // Without a person to answer (a picture made for a script), every message is written to the
    // error output instead of shown, and questions take their negative answer.
    static void isUnattended(bool unattended);
    // The number of messages written while unattended.
    static int intUnattendedMessages();
    // The text as a message box shows it: carriage returns alone and CR LF become line breaks.
    static QString strForDisplay(const QString& text);
};
