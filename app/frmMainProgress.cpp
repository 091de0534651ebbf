// The progress commands of the training window: the statistics window and the training order.
#include "app/CMessages.h"
#include "app/CSettings.h"
#include "app/frmMain.h"
#include "progress/frmStatistics.h"
#include "workbook/ReviewDay.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>

void frmMain::BuildProgressMenus(QMenu* training, QMenu* options) {
    training->addSeparator();
    mnuStatistics = training->addAction("S&tatistics...");
    mnuStatistics->setObjectName("mnuStatistics");
    connect(mnuStatistics, &QAction::triggered, this, [this] { ShowStatistics(); });

    QMenu* order = options->addMenu("Training &order");
    order->setObjectName("mnuTrainingOrder");
    auto* group = new QActionGroup(order);
    mnuClassicOrder = order->addAction("&Worst first (classic)");
    mnuClassicOrder->setObjectName("mnuClassicOrder");
    mnuSpacedOrder = order->addAction("&Spaced repetition");
    mnuSpacedOrder->setObjectName("mnuSpacedOrder");
    for (QAction* action : {mnuClassicOrder, mnuSpacedOrder}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    order->addSeparator();
    QAction* perDay = order->addAction("&New games per day...");
    perDay->setObjectName("mnuNewGamesPerDay");
    connect(mnuClassicOrder, &QAction::triggered, this, [this] { ChooseTrainingOrder(false); });
    connect(mnuSpacedOrder, &QAction::triggered, this, [this] { ChooseTrainingOrder(true); });
    connect(perDay, &QAction::triggered, this, &frmMain::ChooseNewGamesPerDay);
    ApplyTrainingOrder();
}

void frmMain::ApplyTrainingOrder() {
    const bool spaced = CSettings::isSpacedOrder();
    (spaced ? mnuSpacedOrder : mnuClassicOrder)->setChecked(true);
    session.SetSpacedOrder(spaced, CSettings::intNewGamesPerDay());
}

void frmMain::ChooseTrainingOrder(bool spaced) {
    CSettings::isSpacedOrder(spaced);
    ApplyTrainingOrder();
}

void frmMain::ChooseNewGamesPerDay() {
    bool ok = false;
    const int count = QInputDialog::getInt(
        this, CMessages::strAppTitle(),
        "New games spaced repetition brings in each day:", CSettings::intNewGamesPerDay(), 0,
        CSettings::intMaxNewGamesPerDay, 1, &ok);
    if (!ok) return;
    CSettings::intNewGamesPerDay(count);
    ApplyTrainingOrder();
}

frmStatistics* frmMain::ShowStatistics() {
    if (!workbook) return nullptr;
    frmStatistics* window = nullptr;
    Guarded([&] { window = new frmStatistics(workbook, ReviewDay::lngToday(), this); });
    if (window == nullptr) return nullptr;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    connect(window, &frmStatistics::TrainRequested, this, [this, window](int32_t id) {
        Guarded([&] { session.TrainGame(id); });
        UpdateToPlay();
        window->close();
    });
    window->show();
    return window;
}
