#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class QPushButton;

// The end of a batch: how many games were solved and failed, and one button per game to look at
// again; choosing one closes the box with that game, "Next batch" (Enter) or Esc with none.
class CBatchSummaryDialog : public QDialog {
    Q_OBJECT
public:
    // The counts line and the games to look at again, each with the caption of its button.
    CBatchSummaryDialog(QWidget* parent, const QString& counts,
                        const std::vector<std::pair<int32_t, QString>>& again);
    // The game chosen to train again, 0 for none.
    int32_t lngChosenGame() const { return chosen; }
    // The buttons of the games to look at again, in order.
    const std::vector<QPushButton*>& arrGameButtons() const { return gameButtons; }

private:
    int32_t chosen = 0;
    std::vector<QPushButton*> gameButtons;
};
