// An import stopped part way, by the user, by the workbook, by the stream or by a kill: whole games
// stay, in file order, and the reading stops with the import.
#include "tests/model/Checks.h"
#include "tests/pgn/PgnTestSupport.h"
#include "tests/workbook/KilledChild.h"

#include <csignal>
#include <exception>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <tuple>

namespace {

// The games "G1" to "G<count>", each of seven nodes.
std::string GamesPgn(int count) {
    std::string pgn;
    for (int i = 1; i <= count; ++i)
        pgn += "[Event \"G" + std::to_string(i) + "\"]\n\n1. e4 e5 2. Nf3 (2. Bc4 Nf6) Nc6 *\n\n";
    return pgn;
}

size_t ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
}

// The workbook holds the games G1 to G<count> of GamesPgn, whole, and nothing else.
void ExpectFirstGamesStored(const std::string& path, int count) {
    CWorkBook workbook;
    workbook.strOpenWorkBook(path);
    const auto games = StoredGames(workbook);
    ASSERT_EQ(games.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(games[i][0], "G" + std::to_string(i + 1) + "||");
        EXPECT_EQ(games[i].size(), 8u) << games[i][0]; // the texts and the seven nodes
    }
}

// The result describes the text up to the game cancelled at, not the games read ahead of it.
TEST_F(PgnBook, CancellingKeepsOnlyWholeGamesAndStopsTheReading) {
    std::string pgn = GamesPgn(10000);
    // Latin-1 text just after the first block the reader takes, a few games after the cancel.
    const size_t latin1 = pgn.find("[Event", 1 << 16);
    pgn.insert(latin1, "[Annotator \"Jos\xE9\"]\n");
    int cancelAt = -10;
    for (size_t at = 0; at < latin1; at = pgn.find("[Event", at) + 1)
        ++cancelAt;
    const size_t threads = ThreadCount();
    std::atomic<bool> cancel{false};
    PgnImportOptions options;
    options.intBatchSize = 3;
    options.cancel = &cancel;
    options.progress = [&](int read, int, int) {
        if (read == cancelAt) cancel = true;
    };
    std::istringstream input(pgn);
    PgnImportResult result = ImportPgn(workbook, input, options);
    EXPECT_TRUE(result.isCancelled);
    EXPECT_EQ(result.intRead, cancelAt);
    EXPECT_EQ(result.intImported, cancelAt);
    EXPECT_FALSE(result.isLatin1);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_LT(input.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in),
              static_cast<std::streamoff>(pgn.size() / 2))
        << "the reading went on after the cancel";
    workbook.CloseWorkBook();
    ExpectFirstGamesStored(path, cancelAt);
}

// While it lives, no file the process writes grows past the size, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails, not the process
        const rlimit limit{bytes, m_before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_before{};
    void (*m_handler)(int) = SIG_DFL;
};

TEST_F(PgnBook, AFullDiskKeepsTheCommittedBatchesAndStopsTheReading) {
    const size_t threads = ThreadCount();
    PgnImportOptions options;
    options.intBatchSize = 10;
    std::optional<PgnImportError> failure;
    try {
        FileSizeLimit limit(std::filesystem::file_size(path) + 64 * 1024);
        Import(GamesPgn(2000), options);
    } catch (const PgnImportError& error) {
        failure = error;
    }
    ASSERT_TRUE(failure) << "the games fit";
    const PgnImportResult& kept = failure->objKept;
    EXPECT_GT(kept.intImported, 0);
    EXPECT_EQ(kept.intImported % 10, 0);
    EXPECT_GT(kept.intRead, kept.intImported);
    EXPECT_TRUE(Contains(failure->what(),
                         "the import stopped at game " + std::to_string(kept.intRead) + "; " +
                             std::to_string(kept.intImported) + " games imported before are kept"));
    EXPECT_EQ(ThreadCount(), threads);
    workbook.CloseWorkBook();
    ExpectFirstGamesStored(path, kept.intImported);
}

// The text, up to a number of bytes; reading beyond them throws the failure.
class FailingStream : private std::streambuf, public std::istream {
public:
    FailingStream(const std::string& text, size_t bytes, std::exception_ptr failure)
        : std::istream(this), m_text(text, 0, bytes), m_failure(std::move(failure)) {
        setg(m_text.data(), m_text.data(), m_text.data() + m_text.size());
        exceptions(std::ios::badbit); // what the buffer throws reaches the reader
    }

private:
    std::streambuf::int_type underflow() override { std::rethrow_exception(m_failure); }

    std::string m_text;
    std::exception_ptr m_failure;
};

// The games a plain reading of the stream gives before it throws.
int GamesReadBefore(FailingStream& input) {
    int games = 0;
    try {
        PgnReader reader(input);
        PgnTreeBuilder builder;
        while (reader.readGame(builder))
            ++games;
    } catch (const std::exception&) {
        return games;
    }
    ADD_FAILURE() << "the stream did not throw";
    return games;
}

// What reading throws reaches the caller once the games read before it are written; the games of
// the committed batches stay.
TEST(PgnImportStop, AStreamThatThrowsStopsTheImportAfterTheGamesReadBefore) {
    const std::string pgn = GamesPgn(4000);
    const auto streamError = std::make_exception_ptr(std::runtime_error("the device went away"));
    const auto modelError = std::make_exception_ptr(CError(9999, "PGN", "the device went away"));
    // bytes: handed out before the stream throws
    const std::tuple<const char*, size_t, std::exception_ptr> cases[] = {
        {"in the first block", 1000, streamError},
        {"in the second block", 70000, streamError},
        {"three blocks in", 3 * 65536 + 123, streamError},
        {"a model error, reported as a workbook failure", 70000, modelError},
    };
    constexpr int kBatch = 7;
    for (const auto& [name, bytes, failure] : cases) {
        SCOPED_TRACE(name);
        FailingStream plain(pgn, bytes, failure);
        const int readBefore = GamesReadBefore(plain);
        const int kept = readBefore / kBatch * kBatch;
        TempFolder folder;
        const size_t threads = ThreadCount();
        int lastRead = 0;
        PgnImportOptions options;
        options.intBatchSize = kBatch;
        options.progress = [&](int read, int, int) { lastRead = read; };
        {
            CWorkBook workbook;
            workbook.strOpenWorkBook(folder.file("book.brl"));
            FailingStream input(pgn, bytes, failure);
            try {
                ImportPgn(workbook, input, options);
                ADD_FAILURE() << "the import ended without the failure";
            } catch (const PgnImportError& error) {
                EXPECT_EQ(error.objKept.intRead, readBefore);
                EXPECT_EQ(error.objKept.intImported, kept);
                EXPECT_TRUE(Contains(error.what(), "the device went away (the import stopped"));
            } catch (const std::runtime_error& error) {
                EXPECT_EQ(std::string(error.what()), "the device went away");
            }
        }
        EXPECT_EQ(lastRead, readBefore);
        EXPECT_EQ(ThreadCount(), threads);
        ExpectFirstGamesStored(folder.file("book.brl"), kept);
    }
}

// A kill at any moment keeps whole batches: each is committed or not at all.
TEST(PgnImportStop, AKilledImportKeepsWholeBatchesOfWholeGames) {
    TempFolder folder(MemoryFolder());
    const std::string pgn = GamesPgn(5000);
    constexpr int kBatch = 7;
    std::mt19937 random(4);
    size_t sawGames = 0;
    for (int round = 0; round < 8; ++round) {
        const std::string path = folder.file("import-" + std::to_string(round) + ".brl");
        CWorkBook().strOpenWorkBook(path);
        const KilledChild import = RunAndKill(
            [&](int pipe) {
                CWorkBook workbook;
                workbook.strOpenWorkBook(path);
                std::istringstream input(pgn);
                PgnImportOptions options;
                options.intBatchSize = kBatch;
                options.progress = [&, told = false](int, int imported, int) mutable {
                    if (!told && imported >= kBatch) Tell(pipe, 0);
                    told = told || imported >= kBatch;
                };
                ImportPgn(workbook, input, options);
            },
            static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 30000)(random)));
        ASSERT_TRUE(import.killed) << "the import ended by itself";
        CWorkBook workbook;
        workbook.strOpenWorkBook(path);
        const size_t stored = workbook.arrlngGetGameIDs().size();
        EXPECT_EQ(stored % kBatch, 0u) << "a batch was cut";
        workbook.CloseWorkBook();
        ExpectFirstGamesStored(path, static_cast<int>(stored));
        sawGames += stored;
    }
    EXPECT_GT(sawGames, 0u);
}

} // namespace
