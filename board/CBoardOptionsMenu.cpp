#include "board/CBoardOptionsMenu.h"

#include "board/CBoardTheme.h"
#include "board/CPropertyStore.h"
#include "board/cntrlChessGui.h"

#include <QActionGroup>
#include <QMenu>

namespace {
// The board's on/off options in the order of the menu entries: the settings key, the entry's
// object name and caption, and the board's reader and writer of the option.
struct BoardSwitch {
    const char* key;
    const char* action;
    const char* caption;
    bool (cntrlChessGui::*isOn)() const;
    void (cntrlChessGui::*set)(bool);
};
const BoardSwitch kSwitches[] = {
    {"ShowCoordinates", "mnuCoordinates", "Show &Coordinates", &cntrlChessGui::isCoordinatesShown,
     &cntrlChessGui::isCoordinatesShown},
    {"ShowLegalMoves", "mnuLegalMoves", "Show Legal &Moves", &cntrlChessGui::isLegalHintsShown,
     &cntrlChessGui::isLegalHintsShown},
    {"ShowLastMove", "mnuLastMove", "Highlight Last Mo&ve", &cntrlChessGui::isLastMoveShown,
     &cntrlChessGui::isLastMoveShown},
    {"AnimateMoves", "mnuAnimate", "&Animate Moves", &cntrlChessGui::isAnimateMoves,
     &cntrlChessGui::isAnimateMoves},
    {"Sounds", "mnuSounds", "&Sounds", &cntrlChessGui::isSoundOn, &cntrlChessGui::isSoundOn},
    {"ShowMoveBox", "mnuMoveBox", "Move &Box Under the Board", &cntrlChessGui::isMoveEntryShown,
     &cntrlChessGui::isMoveEntryShown},
};
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
    QAction** entries[] = {&mnuCoordinates, &mnuLegalMoves, &mnuLastMove,
                           &mnuAnimate,     &mnuSounds,     &mnuMoveBox};
    for (size_t k = 0; k < std::size(kSwitches); ++k) {
        const BoardSwitch& option = kSwitches[k];
        QAction* action = menu->addAction(option.caption);
        action->setObjectName(option.action);
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, option = &option](bool on) {
            if ((board->*option->isOn)() == on) return;
            (board->*option->set)(on);
            if (changed) changed();
        });
        *entries[k] = action;
    }
    connect(mnuTheme, &QMenu::aboutToShow, this, &CBoardOptionsMenu::Synchronise);
    Synchronise();
}

void CBoardOptionsMenu::Synchronise() {
    const QString theme = board->strBoardTheme();
    for (QAction* action : mnuTheme->actions())
        action->setChecked(action->text() == theme);
    QAction* const entries[] = {mnuCoordinates, mnuLegalMoves, mnuLastMove,
                                mnuAnimate,     mnuSounds,     mnuMoveBox};
    for (size_t k = 0; k < std::size(kSwitches); ++k)
        entries[k]->setChecked((board->*kSwitches[k].isOn)());
}

void CBoardOptionsMenu::ReadOptions(cntrlChessGui* board, const CPropertyStore& store) {
    for (const BoardSwitch& option : kSwitches)
        (board->*option.set)(store.ReadProperty(option.key, true).toBool());
}

void CBoardOptionsMenu::WriteOptions(const cntrlChessGui* board, CPropertyStore& store) {
    for (const BoardSwitch& option : kSwitches)
        store.WriteProperty(option.key, (board->*option.isOn)(), true);
}
