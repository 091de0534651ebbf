// The engine chosen in the settings store, the captions that name it, and what is remembered of
// engine programs between starts.
#include "settings/CEngineSettings.h"

#include "PracticeTestSupport.h"
#include "practice/EngineChooser.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Empties the settings store of the test run (a temporary folder).
void clearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    store.clear();
    store.sync();
}

// Without settings Stockfish is the engine until its start names it; a stored engine names the
// captions (a menu caption doubles the name's ampersands).
TEST(CEngineSettingsTest, CaptionsNameTheStoredEngineAndWhatAStartFoundIsKept) {
    clearSettings();
    EXPECT_TRUE(CEngineSettings::strEnginePath().endsWith("/stockfish"));
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Unknown);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Stockfish");
    const struct {
        QString path;
        EngineProtocol protocol;
        QString name, menu;
    } cases[] = {
        {CEngineSettings::strEnginePath(), EngineProtocol::Uci, "Stockfish 15.1",
         "&Stockfish 15.1"},
        {"/opt/crafty/crafty", EngineProtocol::Console, "R&D Engine", "&R&&D Engine"},
    };
    for (const auto& c : cases) {
        if (c.protocol == EngineProtocol::Uci)
            CEngineSettings::Remember(c.path, c.protocol, c.name); // what a start tells
        else
            CEngineSettings::Save(c.path, c.protocol, c.name);
        EXPECT_EQ(CEngineSettings::strEnginePath(), c.path);
        EXPECT_EQ(CEngineSettings::protocol(), c.protocol);
        EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against " + c.name);
        EXPECT_EQ(CEngineSettings::strPlayMenuCaption(), "Play the game against " + c.menu);
    }

    // What a start found is kept while the program stays the same.
    QTemporaryDir folder;
    const QString program = folder.filePath("engine.sh");
    ASSERT_TRUE(QFile::copy(fake("console-engine.sh"), program));
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Unknown);
    CEngineSettings::Remember(program, EngineProtocol::Console, "");
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Console);
    EXPECT_EQ(CEngineSettings::knownProtocol(fake("console-engine.sh")), EngineProtocol::Unknown);
    // Another program under the same name is looked at afresh.
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("# changed\n");
    file.close();
    EXPECT_EQ(CEngineSettings::knownProtocol(program), EngineProtocol::Unknown);
    clearSettings();
}

// A program that is no engine is refused with the reason, and the engine chosen before stays.
TEST(CEngineSettingsTest, ChoosingKeepsThePreviousEngineWhenTheNewOneIsRefused) {
    clearSettings();
    ASSERT_EQ(strApplyEngineChoice(fake("console-engine.sh")), "");
    EXPECT_EQ(CEngineSettings::strEngineName(), "Crafty");
    const struct {
        QString path;
        QString reason;
    } refused[] = {
        {"/bin/cat", "it is not a chess engine"},
        {fake("not-an-engine.sh"), "it is not a chess engine"},
        {"/bin/true", "ended before answering \"uci\""},
        {"/nonexistent/engine", "is not a program that can be run"},
    };
    for (const auto& r : refused) {
        EXPECT_TRUE(strApplyEngineChoice(r.path).contains(r.reason)) << r.path.toStdString();
        EXPECT_EQ(CEngineSettings::strEnginePath(), fake("console-engine.sh"));
        EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Console);
        EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against Crafty");
    }
    ASSERT_EQ(strApplyEngineChoice(BRISOLT_STOCKFISH), "");
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Uci);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Stockfish 15.1");
    clearSettings();
}

} // namespace
