#include "tests/app/AppTestSupport.h"

#include "app/frmMain.h"
#include "board/cntrlChessGui.h"
#include "game/CGameNode.h"
#include "game/CPosition.h"
#include "game/Perft.h"
#include "model/CChessSquare.h"
#include "model/CPieceLocation.h"
#include "tests/app/TestWorkbook.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <set>

namespace apptest {

namespace {

QString withoutMate(std::string text) {
    std::erase(text, '#');
    std::erase(text, '+');
    return QString::fromStdString(text);
}

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
}

} // namespace

QString Setting(const QString& key) {
    return Store().value(key).toString();
}

void SetSetting(const QString& key, const QString& value) {
    Store().setValue(key, value);
}

ModalScript::ModalScript() : timer(std::make_unique<QTimer>()) {
    timer->setInterval(10);
    QObject::connect(timer.get(), &QTimer::timeout, [this] { Tick(); });
    timer->start();
}

ModalScript& ModalScript::Then(Action action) {
    actions.push_back(std::move(action));
    return *this;
}

void ModalScript::Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == lastHandled || actions.empty()) return;
    lastHandled = modal;
    SeenModal entry;
    entry.className = modal->metaObject()->className();
    entry.title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        const QVariant raw = box->property("brisoltText");
        entry.text = raw.isValid() ? raw.toString() : box->text();
        entry.icon = box->icon();
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        entry.filter = dialog->nameFilters().join(";;");
    }
    seen.push_back(entry);
    Action action = actions.front();
    actions.erase(actions.begin());
    // Run outside the tick: an action may open a modal window of its own, and a timer does not
    // fire again while its own handler runs.
    QPointer<QWidget> target = modal;
    QTimer::singleShot(0, modal, [action, target] {
        if (target) action(target);
        // A failed check returns from the action early: close the window, or the test would wait
        // for it forever.
        if (target && target->isVisible() && QTest::currentTestFailed()) Cancel()(target);
    });
}

ModalScript::Action ChooseFile(const QString& file) {
    return [file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY2(dialog, "expected a file dialog");
        // Typed as a user would: the dialog's selection waits for its folder model to load.
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY2(edit, "the file dialog has no file name box");
        edit->setText(file);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

ModalScript::Action Cancel() {
    return [](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    };
}

ModalScript::Action Press(int standardButton) {
    return [standardButton](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(box, "expected a message box");
        QAbstractButton* button =
            box->button(static_cast<QMessageBox::StandardButton>(standardButton));
        QVERIFY2(button, "the message box lacks the button");
        button->click();
    };
}

int DisplayIndex(const cntrlChessGui* board, int file, int rank) {
    return board->isWhiteOnTop() ? rank * 8 + (7 - file) : (7 - rank) * 8 + file;
}

void Drag(cntrlChessGui* board, int fromFile, int fromRank, int toFile, int toRank) {
    const QPoint from = board->rcSquarePixels(DisplayIndex(board, fromFile, fromRank)).center();
    const QPoint to = board->rcSquarePixels(DisplayIndex(board, toFile, toRank)).center();
    QTest::mousePress(board, Qt::LeftButton, {}, from);
    QTest::mouseMove(board, from + QPoint(4, 4));
    QTest::mouseMove(board, to);
    QTest::mouseRelease(board, Qt::LeftButton, {}, to);
}

bool DragStoredMove(cntrlChessGui* board) {
    const auto& children = board->arrNextNodes();
    if (children.empty()) return false;
    const std::string text = children.front()->objPosition()->strMoveText();
    std::shared_ptr<CPieceLocation> from, to;
    auto position = board->objPosition();
    if (!position->objProcessMove2(position, text, from, to) || !from || !to) return false;
    Drag(board, from->objSquare()->intFile(), from->objSquare()->intRank(),
         to->objSquare()->intFile(), to->objSquare()->intRank());
    return true;
}

bool DragWrongMove(cntrlChessGui* board) {
    std::set<QString> stored;
    for (const auto& child : board->arrNextNodes()) {
        stored.insert(withoutMate(child->objPosition()->strMoveText()));
    }
    auto position = board->objPosition();
    for (const LegalMove& legal : arrGetLegalMoves(position)) {
        const QString text = withoutMate(strMoveTextOf(*position, legal.move));
        if (stored.count(text) || text.contains('=')) continue;
        const auto& from = legal.move.objStartingLocation()->objSquare();
        const auto& to = legal.move.objEndingLocation()->objSquare();
        Drag(board, from->intFile(), from->intRank(), to->intFile(), to->intRank());
        return true;
    }
    return false;
}

void SolveByDragging(cntrlChessGui* board) {
    for (int moves = 0; board->boardMode() == BoardMode::Training && moves < 40; ++moves)
        QVERIFY2(DragStoredMove(board), "a stored move could not be dragged");
    QCOMPARE(board->boardMode(), BoardMode::View);
}

void Trigger(QWidget* window, const char* action) {
    auto* found = window->findChild<QAction*>(action);
    QVERIFY2(found, action);
    found->trigger();
}

QStringList ListItems(const QListWidget* list) {
    QStringList items;
    for (int k = 0; k < list->count(); ++k)
        items << list->item(k)->text();
    return items;
}

bool isShown(QWidget* window, const char* name) {
    auto* widget = window->findChild<QWidget*>(name);
    return widget && widget->isVisibleTo(window);
}

QString TextOf(QWidget* window, const char* name) {
    if (auto* label = window->findChild<QLabel*>(name)) return label->text();
    if (auto* edit = window->findChild<QLineEdit*>(name)) return edit->text();
    if (auto* box = window->findChild<QPlainTextEdit*>(name)) return box->toPlainText();
    return "<no " + QString(name) + ">";
}

QString Message(frmMain* window) {
    return TextOf(window, "txtMsg");
}

int32_t Shown(frmMain* window) {
    return window->objSession().lngCurrentGameId();
}

QString WindowTest::FreshFile(const QString& name) const {
    const QString tag = QString("%1-%2-%3")
                            .arg(QTest::currentTestFunction(),
                                 QString(QTest::currentDataTag()).replace(' ', '_'), name);
    QFile::remove(dir.filePath(tag));
    return dir.filePath(tag);
}

std::unique_ptr<frmMain> WindowTest::Open(const QString& workbook) const {
    SetSetting("General/LastOpened", workbook.isEmpty() ? four : workbook);
    auto window = std::make_unique<frmMain>();
    window->show();
    [&] { QTRY_VERIFY(window->objWorkBook() != nullptr); }();
    window->activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(window.get())); }();
    return window;
}

void WindowTest::initTestCase() {
    QVERIFY(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
}

void WindowTest::init() {
    Store().clear();
    four = FreshFile("four.brl");
    ids = testwb::Build(four.toStdString(), testwb::fourGamesPgn);
}

} // namespace apptest
