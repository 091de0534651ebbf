// How the training window shows the training session.
#include "app/CActionLabel.h"
#include "app/CMessages.h"
#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "game/CPosition.h"
#include "workbook/CWorkBook.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

void frmMain::ShowGameInfo(const std::string& description, const std::string& pageRef,
                           const std::string& diagramRef) {
    txtGameDescription->setText(QString::fromStdString(description));
    txtPageRef->setText(QString::fromStdString(pageRef));
    txtDiagramRef->setText(QString::fromStdString(diagramRef));
    // A panel scrolled to its commands (on a short screen) comes back to the new game's text.
    sidePanelArea->verticalScrollBar()->setValue(0);
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
    SetResultPictureVisible(imgSuccess, visible);
}

void frmMain::SetFailVisible(bool visible) {
    SetResultPictureVisible(imgFail, visible);
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
    // The score is a share: a percent sign once there is one.
    const QString score = QString::fromStdString(text);
    lblScore->setText(score.startsWith('-') ? score : score + "%");
}

// The side-to-play line follows the board: the test position's side while the game runs or is
// stepped through, "Checkmate" or "Stalemate" on a position that ends the game.
void frmMain::UpdateToPlay() {
    const auto position = cntrlChess->objPosition();
    const std::string end =
        position && session.lngCurrentGameId() != 0 ? CTrainingSession::strGameEnd(*position) : "";
    ShowToPlay(end.empty() ? session.strShownToPlay() : end);
    // Without a game there is no position to play out against the engine.
    const bool game = session.lngCurrentGameId() != 0;
    mnuCrafty->setEnabled(game);
    lblCrafty->setEnabled(game);
}

void frmMain::UpdateTitle() {
    if (!workbook) {
        setWindowTitle(strCaption());
        return;
    }
    QString name = QString::fromStdString(workbook->strWBTitle()).trimmed();
    if (name.isEmpty())
        name = QFileInfo(QString::fromStdString(workbook->strFileName())).completeBaseName();
    if (!session.isRecording()) name += " (read-only)";
    setWindowTitle(name + " - " + strCaption());
}

void frmMain::ShowReadOnly(bool readOnly) {
    lblReadOnly->setVisible(readOnly);
    statusBar()->setVisible(readOnly);
}
