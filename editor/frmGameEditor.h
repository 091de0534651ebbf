#pragma once

#include "workbook/GameAnnotations.h"

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

class CAnnotationPanel;
class CEditorPrompts;
class CWorkBook;
class QLineEdit;
class QPushButton;
class QLabel;
class cntrlChessGui;

// The game editor: a board to set up the test position (setup mode, or a FEN from the
// clipboard) and to enter the solution with its variations in free play, and the game's
// description and references, and the comments and marks of its moves with the tree of its
// lines. Save stores the game with its annotations (a new one gets a new identifier; an edited
// one keeps its identifier and statistics); Cancel asks before dropping changes.
class frmGameEditor : public QDialog {
    Q_OBJECT
public:
    // An editor for the game with the identifier, or for a new game when id is 0 or less.
    frmGameEditor(std::shared_ptr<CWorkBook> workbook, int32_t id,
                  std::shared_ptr<CEditorPrompts> prompts, QWidget* parent = nullptr);
    ~frmGameEditor() override;

    // Starts the new game from a FEN text (as "Paste FEN" does); false when it is no position or
    // one that cannot be a test position (strRefusal then says why).
    bool isStartFromFen(const QString& fen);
    // Why the last FEN was refused as a test position, "" when it was not read at all.
    const QString& strRefusal() const { return refusal; }
    // Stores the game; false (after telling the user why) when it cannot be stored yet.
    bool isSave();
    // Closes the editor, asking first when there are unsaved changes; false when the user stays.
    bool isCancel();
    // True when the position, the moves or the texts differ from what was stored.
    bool isModified() const;
    // The game's identifier, 0 for a new game not yet saved.
    int32_t lngGameID() const { return gameId; }

    cntrlChessGui* objBoard() const { return board; }
    QLineEdit* txtDescription = nullptr;
    QLineEdit* txtPageRef = nullptr;
    QLineEdit* txtDiagramRef = nullptr;
    QPushButton* cmdSetup = nullptr;
    QPushButton* cmdPasteFen = nullptr;
    QPushButton* cmdCopyFen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblHint = nullptr;
    CAnnotationPanel* pnlAnnotations = nullptr;

signals:
    // The game was stored under the identifier.
    void Saved(int32_t id);

public slots:
    // Switches the board to setup mode to place the pieces.
    void SetupPosition();
    // Takes the position from the clipboard's FEN text.
    void PasteFen();
    // Puts the position shown as FEN text on the clipboard.
    void CopyFen();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void LoadGame();
    void ApplySquareColors();
    void FillSetupPanel();
    QString strSnapshot() const;
    void ShowHint();
    void BoardChanged();
    void ShowLines(const QString& key);
    bool isDropMoves();

    std::shared_ptr<CWorkBook> workbook;
    std::shared_ptr<CEditorPrompts> prompts;
    int32_t gameId = 0;
    cntrlChessGui* board = nullptr;
    // The texts as loaded: a box still showing one is saved as these bytes.
    std::string storedDescription, storedPage, storedDiagram;
    // The positions and moves as loaded (GameRows::strStoredMoves), to tell the game from another
    // given its identifier meanwhile.
    std::string storedMoves;
    // The comments, marks and tags as loaded, so that another program's are not saved over.
    GameAnnotations storedAnnotations;
    QString savedSnapshot;
    QString refusal;
    bool closing = false;
};
