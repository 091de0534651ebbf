// How the training window shows the training session.
#include "app/CActionLabel.h"
#include "app/CMessages.h"
#include "app/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

void frmMain::ShowGameInfo(const std::string& description, const std::string& pageRef,
                           const std::string& diagramRef) {
    txtGameDescription->setText(QString::fromStdString(description));
    txtPageRef->setText(QString::fromStdString(pageRef));
    txtDiagramRef->setText(QString::fromStdString(diagramRef));
}

void frmMain::ShowToPlay(const std::string& text) {
    lblToPlay->setText(QString::fromStdString(text));
}

void frmMain::ShowMessage(const std::string& text) {
    txtMsg->setPlainText(CMessages::strForDisplay(QString::fromStdString(text)));
}

void frmMain::SetMessageVisible(bool visible) {
    txtMsg->setVisible(visible);
}

void frmMain::SetNextVisible(bool visible) {
    cmdNext->setVisible(visible);
}

void frmMain::SetSuccessVisible(bool visible) {
    imgSuccess->setVisible(visible);
}

void frmMain::SetFailVisible(bool visible) {
    imgFail->setVisible(visible);
}

void frmMain::SetErrorMarkVisible(int k, bool visible) {
    if (k >= 0 && k < 3) lblError[k]->setVisible(visible);
}

void frmMain::SetPreviousEnabled(bool enabled) {
    lblPreviousGame->setEnabled(enabled);
    mnuPreviousGame->setEnabled(enabled);
}

void frmMain::SetShowSolutionEnabled(bool enabled) {
    lblShowSolution->setEnabled(enabled);
    mnuShowSolution->setEnabled(enabled);
}

void frmMain::ShowScoreText(const std::string& text) {
    lblScore->setText(QString::fromStdString(text));
}
