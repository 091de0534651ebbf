// Position exchange of the board control: FEN text in and out, and positions handed over by a host.
#include "board/cntrlChessGui.h"
#include "game/CGameTree.h"
#include "game/CPosition.h"
#include "game/Fen.h"
#include "game/PositionConstructors.h"
#include "model/CDiagram.h"
#include "model/CGameStatus.h"
#include "model/Constructors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRegularExpression>

namespace {
// The FEN fields after reducing runs of spaces; empty when there are fewer than four or the
// placement does not give 64 cells. cells receives the diagram text of the placement.
QStringList arrstrFenFields(const QString& fen, std::string& cells) {
    QString text = fen;
    text.replace(QRegularExpression(" {2,}"), " ");
    QStringList fields = text.split(' ');
    if (fields.size() < 4) return {};
    cells = CDiagram::strFenToDiagram(fields[0].toStdString());
    if (cells.size() != 64) return {};
    return fields;
}
} // namespace

bool cntrlChessGui::ApplyFen(const QString& strFen) {
    HideMoveLine();
    return isStartNewGame(objTryReadFen(strFen.toStdString()), true);
}

bool cntrlChessGui::ApplyPosition(const std::shared_ptr<CPosition>& objPosition) {
    HideMoveLine();
    if (objPosition == nullptr || objPosition->objDiagram() == nullptr) return false;
    const std::string cells = objPosition->objDiagram()->strToString();
    if (cells.size() != 64) return false;
    const std::vector<bool> forfeits = {
        objPosition->isKCastleForfeited(0), objPosition->isQCastleForfeited(0),
        objPosition->isKCastleForfeited(1), objPosition->isQCastleForfeited(1)};
    const int file = objPosition->intEnPassantFile();
    const std::string letter = file >= 0 && file <= 7 ? std::string(1, char('a' + file)) : " ";
    const bool white = objPosition->isWhiteToMove();
    return isStartNewGame(
        objNewPosition(objNewDiagram(cells),
                       white ? CGameStatus::objWHITE_TO_MOVE() : CGameStatus::objBLACK_TO_MOVE(),
                       objPosition->intMoveNumber(), forfeits, letter),
        false);
}

bool cntrlChessGui::isStartNewGame(const std::shared_ptr<CPosition>& pos, bool freePlay) {
    if (pos == nullptr || !isPositionSound(pos)) return false;
    position = pos;
    ResetTree(position);
    RefreshVariations(nextNodes);
    DisplayPosition();
    ClearMoveLists();
    if (freePlay) Mode(BoardMode::FreePlay);
    HideCircle();
    HideMoveLine();
    return true;
}

bool cntrlChessGui::SetFen(const QString& strFen) {
    std::string cells;
    const QStringList fields = arrstrFenFields(strFen, cells);
    if (fields.isEmpty()) return false;
    const QString& castling = fields[2];
    const bool none = castling == "-";
    chkWhiteOO->setChecked(!none && castling.contains('K'));
    chkWhiteOOO->setChecked(!none && castling.contains('Q'));
    chkBlackOO->setChecked(!none && castling.contains('k'));
    chkBlackOOO->setChecked(!none && castling.contains('q'));
    if (fields[3] == "-") {
        cboEP->setCurrentIndex(-1);
        cboEP->setEditText("");
    } else {
        cboEP->setEditText(fields[3].left(1));
    }
    chkWhiteToMove->setChecked(fields[1] == "w");
    // FEN lists a8 first; a flipped board shows a8 at the bottom right.
    if (whiteOnTop) std::reverse(cells.begin(), cells.end());
    DisplayDiagram(QString::fromStdString(cells));
    return true;
}

QString cntrlChessGui::GetFen() const {
    QString cells = GetDiagramFromGui();
    if (whiteOnTop) std::reverse(cells.begin(), cells.end());
    QString fen;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int col = 0; col < 8; ++col) {
            const QChar ch = cells[row * 8 + col];
            if (QStringLiteral("prnbqkPRNBQK").contains(ch)) {
                if (empty > 0) fen += QString::number(empty);
                empty = 0;
                fen += ch;
            } else {
                ++empty;
            }
        }
        if (empty > 0) fen += QString::number(empty);
        if (row < 7) fen += '/';
    }
    fen += chkWhiteToMove->isChecked() ? " w " : " b ";
    QString castling;
    if (chkWhiteOO->isChecked()) castling += 'K';
    if (chkWhiteOOO->isChecked()) castling += 'Q';
    if (chkBlackOO->isChecked()) castling += 'k';
    if (chkBlackOOO->isChecked()) castling += 'q';
    fen += castling.isEmpty() ? QString("-") : castling;
    const QString ep = cboEP->currentText().trimmed().left(1).toLower();
    fen += ' ';
    fen += ep.isEmpty() ? QString("-") : ep + (chkWhiteToMove->isChecked() ? "6" : "3");
    return fen;
}
