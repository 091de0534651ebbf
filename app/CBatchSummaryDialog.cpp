#include "app/CBatchSummaryDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CBatchSummaryDialog::CBatchSummaryDialog(QWidget* parent, const QString& counts,
                                         const std::vector<std::pair<int32_t, QString>>& again)
    : QDialog(parent) {
    setObjectName("frmBatchSummary");
    setWindowTitle("Batch finished");
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(counts, this);
    heading->setObjectName("lblBatchCounts");
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);
    if (!again.empty()) {
        layout->addWidget(new QLabel("Look at these games again:", this));
        for (const auto& [id, caption] : again) {
            // A game's description comes from whoever wrote the file: shortened to fit a screen,
            // and its ampersands shown, never taken for the button's key.
            auto* button = new QPushButton(this);
            const QString shown = button->fontMetrics().elidedText(caption, Qt::ElideRight, 480);
            button->setText(QString(shown).replace('&', "&&"));
            button->setObjectName(QString("cmdAgain%1").arg(id));
            // Enter on a game's button trains that game; elsewhere it presses Next batch.
            button->setAutoDefault(true);
            button->setToolTip("Train this game now");
            button->setStyleSheet("QPushButton { text-align: left; padding: 4px 10px; }");
            connect(button, &QPushButton::clicked, this, [this, id] {
                chosen = id;
                accept();
            });
            gameButtons.push_back(button);
            layout->addWidget(button);
        }
    } else {
        layout->addWidget(new QLabel("Every game of the batch was solved.", this));
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = buttons->addButton("&Next batch", QDialogButtonBox::AcceptRole);
    next->setObjectName("cmdNextBatch");
    next->setDefault(true);
    next->setToolTip("Go on with the next batch (Enter); Esc does the same");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    next->setFocus();
}
