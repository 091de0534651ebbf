#include "EngineTestSupport.h"
#include "game/CPosition.h"
#include "game/Fen.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct CommandResult {
    int exitCode;
    QString out;
    QString err;
};

CommandResult runCli(const QStringList& args) {
    // The command reads the engine from the settings: give it an empty store of its own.
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(BRISOLT_CLI, QStringList{"engine-move"} + args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QString lastLine(const QString& text) {
    return text.trimmed().split('\n').last().trimmed();
}

struct CommandCase {
    const char* name;
    QStringList args;
    int exitCode;
    QString expected; // the last output line (status 0) or a part of the error line
};

TEST(EngineMoveCommandTest, PrintsTheEnginesMoveOrSaysWhyNot) {
    const std::vector<CommandCase> cases = {
        {"mate in one", {"4r1k1/5ppp/8/8/8/8/6PP/N6K b - -", "--depth", "4"}, 0, "Re1#"},
        {"FEN given as separate fields", {"4r1k1/5ppp/8/8/8/8/6PP/N6K", "b", "-", "-"}, 0, "Re1#"},
        {"position already mate",
         {"6k1/5ppp/8/8/8/8/6PP/4r2K w - -"},
         1,
         "no move: the game is over (0-1 {Black mates})"},
        {"missing engine",
         {"8/8/8/8/8/8/k7/K7 w - -", "--engine", "/nonexistent/sf"},
         1,
         "/nonexistent/sf"},
        {"engine that crashes",
         {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "--engine",
          fakeEngine("crash.sh")},
         1,
         "The engine stopped: it crashed"},
        {"engine that plays nonsense",
         {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "--engine",
          fakeEngine("illegal.sh")},
         1,
         "The engine played an illegal move: a2a5."},
        {"bad FEN", {"rnbqkbnr/pppppppp/8 w - -"}, 1, "bad FEN"},
        {"no FEN", {"--time", "1"}, 2, "missing FEN"},
        {"bad depth", {"8/8/8/8/8/8/k7/K7 w - -", "--depth", "deep"}, 2, "bad depth"},
        {"bad time", {"8/8/8/8/8/8/k7/K7 w - -", "--time", "-3"}, 2, "bad time"},
    };
    for (const CommandCase& c : cases) {
        const CommandResult result = runCli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.err.toStdString();
        if (c.exitCode == 0)
            EXPECT_EQ(lastLine(result.out), c.expected) << c.name;
        else
            EXPECT_TRUE(result.err.contains(c.expected))
                << c.name << ": " << result.err.toStdString();
    }
}

TEST(EngineMoveCommandTest, StockfishsMoveIsLegalInThePosition) {
    const std::vector<std::string> fens = {
        "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3",
        "r3k2r/pppq1ppp/2npbn2/4p3/4P3/2NPBN2/PPPQ1PPP/R3K2R w KQkq -",
        "8/8/8/3k4/8/8/4p3/2K5 b - -",
    };
    for (const std::string& fen : fens) {
        const CommandResult result = runCli({QString::fromStdString(fen), "--time", "0.2"});
        ASSERT_EQ(result.exitCode, 0) << fen << ": " << result.err.toStdString();
        const auto position = objReadFen(fen);
        EXPECT_NE(position->objProcessMove(position, lastLine(result.out).toStdString()), nullptr)
            << fen << ": " << result.out.toStdString();
    }
}

} // namespace
