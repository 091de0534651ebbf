// The controls of the training window and where they sit.
#include "app/CActionLabel.h"
#include "app/frmMain.h"
#include "board/ResourceLocator.h"
#include "board/cntrlChessGui.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace {

constexpr int pictureSize = 56;

// A picture from resources/images, or a drawn sign when the file is missing.
QPixmap picture(const QString& name, const QString& sign, const QColor& color) {
    QPixmap pixmap(pictureSize * 2, pictureSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer renderer(strFindResource("images/" + name));
    if (renderer.isValid()) {
        renderer.render(&painter, QRectF(0, 0, pictureSize, pictureSize));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QRectF(2, 2, pictureSize - 4, pictureSize - 4));
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setPixelSize(pictureSize / 2);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, pictureSize, pictureSize), Qt::AlignCenter, sign);
    }
    return pixmap;
}

QLabel* valueLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    // A game's texts come from whoever wrote the file: shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

void frmMain::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("centralPanel");

    txtWorkbook = new QLineEdit(central);
    txtWorkbook->setObjectName("txtWorkbook");
    txtWorkbook->setToolTip("Workbook title");
    cmdOpenWbk = new QPushButton("...", central);
    cmdOpenWbk->setObjectName("cmdOpenWbk");
    cmdOpenWbk->setToolTip("Open workbook");
    cmdOpenWbk->setFixedWidth(36);
    auto* workbookRow = new QHBoxLayout;
    auto* workbookCaption = new QLabel("Workbook:", central);
    workbookCaption->setBuddy(txtWorkbook);
    workbookRow->addWidget(workbookCaption);
    workbookRow->addWidget(txtWorkbook, 1);
    workbookRow->addWidget(cmdOpenWbk);

    CreateBoard();

    auto* boardAndPanel = new QHBoxLayout;
    boardAndPanel->setSpacing(18);
    boardAndPanel->addWidget(cntrlChess, 1);
    // On a short screen (a laptop's, scaled) the panel scrolls instead of pushing the window's
    // bottom, with the move box and the commands, below the screen's edge.
    sidePanelArea = new QScrollArea(central);
    sidePanelArea->setObjectName("sidePanelArea");
    sidePanelArea->setFrameShape(QFrame::NoFrame);
    sidePanelArea->setFocusPolicy(Qt::NoFocus); // the Tab order goes through its parts alone
    sidePanelArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sidePanelArea->setWidgetResizable(true);
    sidePanelArea->setWidget(BuildSidePanel());
    const int bar =
        sidePanelArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sidePanelArea);
    sidePanelArea->setMinimumWidth(sidePanelArea->widget()->minimumWidth() + bar);
    sidePanelArea->setMaximumWidth(sidePanelArea->widget()->maximumWidth() + bar);
    sidePanelArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    boardAndPanel->addWidget(sidePanelArea, 1);
    // Room the board and the panel cannot use stays at the right edge, never beside the board.
    boardAndPanel->addStretch(0);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(14, 10, 14, 14);
    layout->setSpacing(10);
    layout->addLayout(workbookRow);
    layout->addLayout(boardAndPanel, 1);
    setCentralWidget(central);
    central->installEventFilter(this); // the board's minimum follows the window's width
    FitBoardMinimum();

    lblReadOnly = new QLabel(strReadOnlyNotice(), this);
    lblReadOnly->setObjectName("lblReadOnly");
    statusBar()->addWidget(lblReadOnly, 1);
    ShowReadOnly(false);
}

QGroupBox* frmMain::BuildGameInfo() {
    fraGame = new QGroupBox("Game Info", this);
    fraGame->setObjectName("fraGame");
    txtGameDescription = valueLabel(fraGame, "txtGameDescription");
    txtPageRef = valueLabel(fraGame, "txtPageRef");
    txtDiagramRef = valueLabel(fraGame, "txtDiagramRef");
    lblToPlay = new QLabel("White to play", fraGame);
    lblToPlay->setObjectName("lblToPlay");
    QFont bold = lblToPlay->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    lblToPlay->setFont(bold);
    // The line keeps its height while no game is shown, so that nothing under it moves.
    lblToPlay->setMinimumHeight(lblToPlay->sizeHint().height());

    // The description gets the full width; the two references share a row under it.
    auto caption = [this](const QString& text) {
        auto* label = new QLabel(text, fraGame);
        label->setStyleSheet("QLabel { color: palette(mid); }");
        return label;
    };
    auto* references = new QGridLayout;
    references->setHorizontalSpacing(8);
    references->addWidget(caption("Page Ref:"), 0, 0);
    references->addWidget(txtPageRef, 0, 1);
    references->addWidget(caption("Diagram Ref:"), 0, 2);
    references->addWidget(txtDiagramRef, 0, 3);
    references->setColumnStretch(1, 1);
    references->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(fraGame);
    layout->setSpacing(4);
    layout->addWidget(caption("Description:"));
    layout->addWidget(txtGameDescription);
    layout->addSpacing(4);
    layout->addLayout(references);
    layout->addSpacing(6);
    layout->addWidget(lblToPlay);
    return fraGame;
}

QWidget* frmMain::BuildSidePanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("sidePanel");
    // The panel keeps the width its contents need; the board takes the rest.
    panel->setMinimumWidth(280);
    panel->setMaximumWidth(420);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    txtMsg = new QPlainTextEdit(panel);
    txtMsg->setObjectName("txtMsg");
    txtMsg->setReadOnly(true);
    txtMsg->setFocusPolicy(Qt::NoFocus);
    txtMsg->setFixedHeight(96);
    // Hidden at the end of a game, the message keeps its place so that nothing below it moves.
    QSizePolicy keepPlace = txtMsg->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    txtMsg->setSizePolicy(keepPlace);

    imgSuccess = new QLabel(panel);
    imgSuccess->setObjectName("imgSuccess");
    imgSuccess->setToolTip("Solved");
    imgFail = new QLabel(panel);
    imgFail->setObjectName("imgFail");
    imgFail->setToolTip("Not solved");
    for (QLabel* image : {imgSuccess, imgFail}) {
        image->setFixedSize(pictureSize, pictureSize);
        image->hide();
    }

    cmdNext = new QPushButton("&Next", panel);
    cmdNext->setObjectName("cmdNext");
    cmdNext->setDefault(true);
    cmdNext->setMinimumWidth(96);
    cmdNext->hide();

    auto* scoreCaption = new QLabel("Score:", panel);
    lblScore = new QLabel("-----", panel);
    lblScore->setObjectName("lblScore");
    lblScore->setToolTip("Your score");
    QFont scoreFont = lblScore->font();
    scoreFont.setBold(true);
    scoreFont.setPointSizeF(scoreFont.pointSizeF() * 1.6);
    lblScore->setFont(scoreFont);
    auto* scoreRow = new QHBoxLayout;
    scoreRow->addWidget(scoreCaption);
    scoreRow->addWidget(lblScore);
    scoreRow->addSpacing(12);
    for (int k = 0; k < 3; ++k) {
        lblError[k] = new QLabel("X", panel);
        lblError[k]->setObjectName(QString("lblError%1").arg(k));
        lblError[k]->setToolTip("Wrong move");
        lblError[k]->setStyleSheet(
            "QLabel { color: #c01c28; font-weight: bold; font-size: 16pt; }");
        lblError[k]->hide();
        scoreRow->addWidget(lblError[k]);
    }
    scoreRow->addStretch();
    lblGameOf = new QLabel(panel);
    lblGameOf->setObjectName("lblGameOf");
    lblGameOf->setToolTip("The place of this game in the batch");
    scoreRow->addWidget(lblGameOf);
    lblSessionScore = new QLabel(panel);
    lblSessionScore->setObjectName("lblSessionScore");
    lblSessionScore->setToolTip("Games solved since the workbook was opened");
    lblSessionScore->setStyleSheet("QLabel { color: palette(mid); }");

    // The result row keeps its height while its parts are hidden, so nothing below it jumps.
    auto* resultPanel = new QWidget(panel);
    resultPanel->setFixedHeight(pictureSize + 4);
    auto* resultRow = new QHBoxLayout(resultPanel);
    resultRow->setContentsMargins(0, 0, 0, 0);
    resultRow->addWidget(imgSuccess);
    resultRow->addWidget(imgFail);
    resultRow->addStretch();
    resultRow->addWidget(cmdNext, 0, Qt::AlignVCenter);

    lblNextGame = new CActionLabel("Go to the next game", panel);
    lblNextGame->setObjectName("lblNextGame");
    lblPreviousGame = new CActionLabel("Go to the previous game", panel);
    lblPreviousGame->setObjectName("lblPreviousGame");
    lblShowSolution = new CActionLabel("Show solution", panel);
    lblShowSolution->setObjectName("lblShowSolution");
    lblCrafty = new CActionLabel("Play the game against the engine", panel);
    lblCrafty->setObjectName("lblCrafty");
    lblFlip = new CActionLabel("Flip board", panel);
    lblFlip->setObjectName("lblFlip");
    lblClearLog = new CActionLabel("Clear training log", panel);
    lblClearLog->setObjectName("lblClearLog");
    auto* commands = new QVBoxLayout;
    commands->setSpacing(6);
    for (CActionLabel* label :
         {lblNextGame, lblPreviousGame, lblShowSolution, lblCrafty, lblFlip, lblClearLog}) {
        // As wide as its text: a click in the empty room beside it runs no command.
        commands->addWidget(label, 0, Qt::AlignLeft);
    }

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(BuildGameInfo());
    layout->addWidget(txtMsg);
    layout->addWidget(resultPanel);
    layout->addLayout(scoreRow);
    layout->addWidget(lblSessionScore);
    layout->addSpacing(6);
    layout->addLayout(commands);
    layout->addStretch();
    return panel;
}

// Most launches end before a game does: the pictures are not drawn until one is needed.
void frmMain::SetResultPictureVisible(QLabel* image, bool visible) {
    if (visible && image->pixmap().isNull()) {
        image->setPixmap(
            image == imgSuccess
                ? picture("success.svg", QString::fromUtf8("\u2714"), QColor(0x2e, 0xa0, 0x43))
                : picture("failure.svg", QString::fromUtf8("\u2718"), QColor(0xc0, 0x1c, 0x28)));
    }
    image->setVisible(visible);
}
