// The engine chosen in the settings store, the captions that name it, and what is remembered of
// engine programs between starts.
#include "engine/CEngineSettings.h"

#include "practice/EngineChooser.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Empties the settings store of the test run (a temporary folder).
void clearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    store.clear();
    store.sync();
}

QString fake(const char* name) {
    return QString(BRISOLT_FAKE_ENGINES) + "/" + name;
}

TEST(CEngineSettingsTest, WithoutSettingsStockfishIsTheEngineUntilItsStartNamesIt) {
    clearSettings();
    EXPECT_TRUE(CEngineSettings::strEnginePath().endsWith("/stockfish"));
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Unknown);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Stockfish");
    // A start of the engine tells the rest.
    CEngineSettings::Remember(CEngineSettings::strEnginePath(), EngineProtocol::Uci,
                              "Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Uci);
    EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::strPlayMenuCaption(), "Play the game against &Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::strPracticeCaption(), "Practice with Stockfish 15.1");
    clearSettings();
}

struct CaptionCase {
    QString name;
    QString play, menu, practice, wait;
};

TEST(CEngineSettingsTest, CaptionsNameTheStoredEngine) {
    const std::vector<CaptionCase> cases = {
        {"Crafty", "Play the game against Crafty", "Play the game against &Crafty",
         "Practice with Crafty", "Wait for Crafty to move"},
        {"R&D Engine", "Play the game against R&D Engine", "Play the game against &R&&D Engine",
         "Practice with R&D Engine", "Wait for R&D Engine to move"},
    };
    for (const CaptionCase& c : cases) {
        CEngineSettings::Save("/opt/crafty/crafty", EngineProtocol::Console, c.name);
        EXPECT_EQ(CEngineSettings::strEnginePath(), "/opt/crafty/crafty");
        EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Console);
        EXPECT_EQ(CEngineSettings::strPlayCaption(), c.play);
        EXPECT_EQ(CEngineSettings::strPlayMenuCaption(), c.menu);
        EXPECT_EQ(CEngineSettings::strPracticeCaption(), c.practice);
        EXPECT_EQ(CEngineSettings::strWaitCaption(), c.wait);
    }
    clearSettings();
}

// A program that is no engine is refused with the reason, and the engine chosen before stays.
TEST(CEngineSettingsTest, ChoosingKeepsThePreviousEngineWhenTheNewOneIsRefused) {
    clearSettings();
    ASSERT_EQ(strApplyEngineChoice(fake("console-engine.sh")), "");
    EXPECT_EQ(CEngineSettings::strEngineName(), "Crafty");
    struct Refused {
        QString path;
        QString reason;
    };
    const std::vector<Refused> refused = {
        {"/bin/cat", "it is not a chess engine"},
        {fake("not-an-engine.sh"), "it is not a chess engine"},
        {"/bin/true", "ended before answering \"uci\""},
        {"/nonexistent/engine", "is not a program that can be run"},
    };
    for (const Refused& r : refused) {
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

TEST(CEngineSettingsTest, WhatAStartFoundIsKeptWhileTheProgramStaysTheSame) {
    clearSettings();
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

} // namespace
