#include "board/CBoardOptionsMenu.h"

#include "board/CBoardTheme.h"
#include "board/CPropertyStore.h"
#include "board/cntrlChessGui.h"

#include <QActionGroup>
#include <QMenu>

namespace {
// The settings keys of the board's on/off options, in the order of the menu entries.
const char* const kSwitchKeys[] = {"ShowCoordinates", "ShowLegalMoves", "ShowLastMove",
                                   "AnimateMoves",    "Sounds",         "ShowMoveBox"};

// Whether option k is on.
bool isSwitchOn(const cntrlChessGui* board, int k) {
    switch (k) {
    case 0:
        return board->isCoordinatesShown();
    case 1:
        return board->isLegalHintsShown();
    case 2:
        return board->isLastMoveShown();
    case 3:
        return board->isAnimateMoves();
    case 4:
        return board->isSoundOn();
    default:
        return board->isMoveEntryShown();
    }
}

// Turns option k on or off.
void SetSwitch(cntrlChessGui* board, int k, bool on) {
    switch (k) {
    case 0:
        board->isCoordinatesShown(on);
        break;
    case 1:
        board->isLegalHintsShown(on);
        break;
    case 2:
        board->isLastMoveShown(on);
        break;
    case 3:
        board->isAnimateMoves(on);
        break;
    case 4:
        board->isSoundOn(on);
        break;
    default:
        board->isMoveEntryShown(on);
        break;
    }
}
} // namespace

CBoardOptionsMenu::CBoardOptionsMenu(QMenu* menu, cntrlChessGui* board_,
                                     std::function<void()> changed_)
    : QObject(menu), board(board_), changed(std::move(changed_)) {
    mnuTheme = menu->addMenu("Board &Theme");
    mnuTheme->setObjectName("mnuBoardTheme");
    auto* group = new QActionGroup(mnuTheme);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const CBoardTheme& theme : CBoardTheme::arrThemes()) {
        QAction* action =
            mnuTheme->addAction(QIcon(CBoardTheme::pixPreview(theme, 32)), theme.strName);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, name = theme.strName] {
            board->strBoardTheme(name);
            if (changed) changed();
        });
    }
    auto toggle = [&](const char* name, const QString& caption, int k) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, k](bool on) {
            if (isSwitchOn(board, k) == on) return;
            SetSwitch(board, k, on);
            if (changed) changed();
        });
        return action;
    };
    mnuCoordinates = toggle("mnuCoordinates", "Show &Coordinates", 0);
    mnuLegalMoves = toggle("mnuLegalMoves", "Show Legal &Moves", 1);
    mnuLastMove = toggle("mnuLastMove", "Highlight Last Mo&ve", 2);
    mnuAnimate = toggle("mnuAnimate", "&Animate Moves", 3);
    mnuSounds = toggle("mnuSounds", "&Sounds", 4);
    mnuMoveBox = toggle("mnuMoveBox", "Move &Box Under the Board", 5);
    // The host reads the stored options after building the menu: an entry ticked then would
    // turn an option off that is already off.
    connect(menu, &QMenu::aboutToShow, this, &CBoardOptionsMenu::Synchronise);
    connect(mnuTheme, &QMenu::aboutToShow, this, &CBoardOptionsMenu::Synchronise);
    Synchronise();
}

void CBoardOptionsMenu::Synchronise() {
    const QString theme = board->strBoardTheme();
    for (QAction* action : mnuTheme->actions())
        action->setChecked(action->text() == theme);
    QAction* actions[] = {mnuCoordinates, mnuLegalMoves, mnuLastMove,
                          mnuAnimate,     mnuSounds,     mnuMoveBox};
    for (int k = 0; k < 6; ++k)
        actions[k]->setChecked(isSwitchOn(board, k));
}

void CBoardOptionsMenu::ReadOptions(cntrlChessGui* board, const CPropertyStore& store) {
    for (int k = 0; k < 6; ++k)
        SetSwitch(board, k, store.ReadProperty(kSwitchKeys[k], true).toBool());
}

void CBoardOptionsMenu::WriteOptions(const cntrlChessGui* board, CPropertyStore& store) {
    for (int k = 0; k < 6; ++k)
        store.WriteProperty(kSwitchKeys[k], isSwitchOn(board, k), true);
}
