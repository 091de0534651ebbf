#pragma once

#include "editor/CEditorPrompts.h"
#include "tests/workbook/TempFolder.h"
#include "workbook/CWorkBook.h"

#include <QStringList>
#include <deque>
#include <memory>

// Answers the windows' questions from a script and records everything they said.
class ScriptedPrompts : public CEditorPrompts {
public:
    bool isYes(QWidget*, const QString& text) override {
        questions << text;
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    void ShowInformation(QWidget*, const QString&, const QString& text,
                         const QStringList& more) override {
        notices << text;
        details = more;
    }
    QString strAskFile(QWidget*, const QString&, const QString& filter, bool,
                       const QString& folder) override {
        filters << filter;
        folders << folder;
        return file;
    }
    bool isAskText(QWidget*, const QString&, const QString&, QString& text) override {
        text = answerText;
        return !answerText.isEmpty();
    }

    std::deque<bool> answers;
    QString file;
    QString answerText;
    QStringList questions;
    QStringList errors;
    QStringList notices;
    QStringList details;
    QStringList filters; // of the file dialogs, in order
    QStringList folders; // where the file dialogs started, in order
};

// A new workbook file in a temporary folder.
struct TempWorkbook {
    TempWorkbook() : workbook(std::make_shared<CWorkBook>()) {
        workbook->strOpenWorkBook(folder.file("games.brl"));
    }
    TempFolder folder;
    std::shared_ptr<CWorkBook> workbook;
};
