#include "engine/CEngineSettings.h"

#include "EngineTestSupport.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Empties the settings store of the test run (a temporary folder).
void clearSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Brisolt", "Brisolt");
    store.clear();
    store.sync();
}

struct DetectCase {
    const char* name;
    QString path;
    bool usable;
    EngineProtocol protocol;
    QString engineName; // exact name, or the start of the error
};

TEST(CEngineSettingsTest, DetectionTellsTheProtocolAndTheName) {
    const std::vector<DetectCase> cases = {
        {"Stockfish speaks UCI", BRISOLT_STOCKFISH, true, EngineProtocol::Uci, "Stockfish 15.1"},
        {"a fake UCI engine", fakeEngine("illegal.sh"), true, EngineProtocol::Uci, "Fake Illegal"},
        {"a console engine", fakeEngine("console-engine.sh"), true, EngineProtocol::Console,
         "Crafty"},
        {"a program that ends at once", "/bin/true", false, EngineProtocol::Console,
         "/bin/true ended at once"},
        {"a missing program", "/nonexistent/crafty", false, EngineProtocol::Console,
         "/nonexistent/crafty: "},
    };
    for (const DetectCase& c : cases) {
        const EngineDetection found = CEngineSettings::Detect(c.path, 1500);
        EXPECT_EQ(found.isUsable, c.usable) << c.name;
        if (c.usable) {
            EXPECT_EQ(found.protocol, c.protocol) << c.name;
            EXPECT_EQ(found.strName, c.engineName) << c.name;
            EXPECT_EQ(found.strError, "") << c.name;
        } else {
            EXPECT_TRUE(found.strError.startsWith(c.engineName))
                << c.name << ": " << found.strError.toStdString();
        }
    }
}

TEST(CEngineSettingsTest, WithoutSettingsStockfishIsTheEngine) {
    clearSettings();
    EXPECT_TRUE(CEngineSettings::strEnginePath().endsWith("/stockfish"));
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Uci);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::strPlayMenuCaption(), "Play the game against &Stockfish 15.1");
    EXPECT_EQ(CEngineSettings::strPracticeCaption(), "Practice with Stockfish 15.1");
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

TEST(CEngineSettingsTest, ChoosingStoresOnlyUsablePrograms) {
    clearSettings();
    EXPECT_FALSE(CEngineSettings::Choose("/bin/true").isUsable);
    EXPECT_TRUE(CEngineSettings::strEnginePath().endsWith("/stockfish"));
    EXPECT_TRUE(CEngineSettings::Choose(fakeEngine("console-engine.sh")).isUsable);
    EXPECT_EQ(CEngineSettings::strEnginePath(), fakeEngine("console-engine.sh"));
    EXPECT_EQ(CEngineSettings::protocol(), EngineProtocol::Console);
    EXPECT_EQ(CEngineSettings::strEngineName(), "Crafty");
    EXPECT_EQ(CEngineSettings::strPlayCaption(), "Play the game against Crafty");
    clearSettings();
}

} // namespace
