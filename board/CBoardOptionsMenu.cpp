#include "board/CBoardOptionsMenu.h"

#include "board/CBoardTheme.h"
#include "board/CPropertyStore.h"
#include "board/cntrlChessGui.h"

#include <QActionGroup>
#include <QMenu>

namespace {
struct Switch {
    const char* key;
    bool (cntrlChessGui::*get)() const;
    void (cntrlChessGui::*set)(bool);
};

const Switch kSwitches[] = {
    {"ShowCoordinates", &cntrlChessGui::isCoordinatesShown, &cntrlChessGui::isCoordinatesShown},
    {"ShowLegalMoves", &cntrlChessGui::isLegalHintsShown, &cntrlChessGui::isLegalHintsShown},
    {"ShowLastMove", &cntrlChessGui::isLastMoveShown, &cntrlChessGui::isLastMoveShown},
    {"AnimateMoves", &cntrlChessGui::isAnimateMoves, &cntrlChessGui::isAnimateMoves},
    {"Sounds", &cntrlChessGui::isSoundOn, &cntrlChessGui::isSoundOn},
    {"ShowMoveBox", &cntrlChessGui::isMoveEntryShown, &cntrlChessGui::isMoveEntryShown},
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
    auto toggle = [&](const char* name, const QString& caption, int k) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setCheckable(true);
        const Switch& option = kSwitches[k];
        connect(action, &QAction::toggled, this,
                [this, get = option.get, set = option.set](bool on) {
                    if ((board->*get)() == on) return;
                    (board->*set)(on);
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
        actions[k]->setChecked((board->*kSwitches[k].get)());
}

void CBoardOptionsMenu::ReadOptions(cntrlChessGui* board, const CPropertyStore& store) {
    for (const Switch& s : kSwitches)
        (board->*s.set)(store.ReadProperty(s.key, true).toBool());
}

void CBoardOptionsMenu::WriteOptions(const cntrlChessGui* board, CPropertyStore& store) {
    for (const Switch& s : kSwitches)
        store.WriteProperty(s.key, (board->*s.get)(), true);
}
