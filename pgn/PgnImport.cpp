#include "pgn/PgnImport.h"

#include "game/CGameTree.h"
#include "game/PositionSoundness.h"
#include "pgn/PgnReader.h"
#include "pgn/PgnTreeBuilder.h"
#include "workbook/CWorkBook.h"
#include "workbook/CWorkBookGameError.h"
#include "workbook/GameRows.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Games read ahead of the one being written: enough that the reading goes on while a commit waits
// for the disk (a few hundred games' time), few enough that memory stays flat (a game's rows take
// a few kilobytes). Each thread that waits for the other is woken for several games at once, not
// for every game.
constexpr size_t kGamesAhead = 512;
constexpr size_t kWakeWriter = 8;               // games queued before a waiting writer is woken
constexpr size_t kWakeReader = kGamesAhead / 2; // games left when a waiting reader is woken

// One step of the text: a game, or its end (no game), or the failure that stopped the reading.
struct ReadStep {
    std::optional<PgnGame> game;
    // The workbook rows of a usable game; without them the game is skipped for its error.
    std::optional<GameRows> rows;
    bool isLatin1 = false; // the reader's finding once this step was read
    std::exception_ptr failure;
};

// Reads and builds the games of a PGN text on a thread of its own while the caller writes the
// games read before; the caller takes the steps in file order. The thread is stopped and joined
// when this goes, on every path.
class GameReadAhead {
public:
    explicit GameReadAhead(PgnReader& reader) : m_reader(reader), m_thread([this] { Read(); }) {}

    ~GameReadAhead() {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_stopped = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    GameReadAhead(const GameReadAhead&) = delete;
    GameReadAhead& operator=(const GameReadAhead&) = delete;

    // The next step; after the end or a failure there is none.
    ReadStep take() {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_steps.empty())
            m_changed.wait(lock, [this] { return m_steps.size() >= kWakeWriter || m_isLastPut; });
        ReadStep step = std::move(m_steps.front());
        m_steps.pop_front();
        const bool wakeReader = m_steps.size() == kWakeReader;
        lock.unlock();
        if (wakeReader) m_changed.notify_one();
        return step;
    }

    // Hands a step back once it is written, for the reading thread to free: memory freed by a
    // thread other than the one that took it makes both threads contend for the allocator.
    void giveBack(ReadStep step) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_written.push_back(std::move(step));
    }

private:
    void Read() {
        ReadStep last;
        try {
            PgnTreeBuilder builder;
            std::vector<ReadStep> written;
            while (m_reader.readGame(builder)) {
                { // the games written meanwhile are freed here, where they were made
                    std::lock_guard<std::mutex> guard(m_lock);
                    written.swap(m_written);
                }
                written.clear();
                ReadStep step;
                step.game = builder.takeGame();
                step.isLatin1 = m_reader.isLatin1();
                RefuseUnsound(*step.game);
                MakeRows(step);
                if (!isPut(std::move(step))) return;
            }
            last.isLatin1 = m_reader.isLatin1();
        } catch (...) {
            last.failure = std::current_exception();
        }
        isPut(std::move(last));
    }

    // A test position the board refuses cannot be trained or played out.
    static void RefuseUnsound(PgnGame& game) {
        if (!game.objTree) return;
        std::string unsound = strUnsoundTestPosition(*game.objTree);
        if (unsound.empty()) return;
        game.strError = std::move(unsound);
        game.objTree.reset();
    }

    // The rows the workbook is to write, made here so that the writing thread reads only them;
    // the tree is freed here too, where it was built.
    static void MakeRows(ReadStep& step) {
        PgnGame& game = *step.game;
        if (!game.objTree) return;
        try {
            step.rows = GameRows::objOf(game.objTree, 0, std::move(game.strDescription),
                                        std::move(game.strPageRef), std::move(game.strDiagramRef),
                                        &game.objAnnotations);
        } catch (const CWorkBookGameError& refused) {
            game.strError = refused.what();
        }
        game.objTree.reset();
        game.objAnnotations = {};
    }

    // Waits for room and queues the step; false when the reading is to stop instead.
    bool isPut(ReadStep step) {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_steps.size() >= kGamesAhead)
            m_changed.wait(lock, [this] { return m_steps.size() <= kWakeReader || m_stopped; });
        if (m_stopped) return false;
        m_isLastPut = !step.game;
        m_steps.push_back(std::move(step));
        const bool wakeWriter = m_isLastPut || m_steps.size() == kWakeWriter;
        lock.unlock();
        if (wakeWriter) m_changed.notify_one();
        return true;
    }

    PgnReader& m_reader; // touched by the reading thread alone while it runs
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<ReadStep> m_steps;
    std::vector<ReadStep> m_written; // steps given back, to be freed
    bool m_isLastPut = false;        // the end of the text or the failure is queued
    bool m_stopped = false;
    std::thread m_thread; // last: it starts once everything above is made
};

// Tells the callback about the game in one line: its number, its tags and what is to be said.
void ReportGame(const std::function<void(const std::string&)>& report, const PgnGame& game,
                const std::string& reason) {
    if (!report) return;
    std::string identity = game.strIdentity();
    report("game " + std::to_string(game.intNumber) + (identity.empty() ? "" : " " + identity) +
           ": " + reason);
}

// Ends the batch the import opened, keeping the games of the batches it committed.
void RollbackOwnBatch(CWorkBook& workbook, bool ownBatch) {
    if (!ownBatch || !workbook.isInBatch()) return;
    try {
        workbook.RollbackBatch();
    } catch (const CError&) {
        // The failed connection may have dropped the transaction itself.
    }
}

} // namespace

PgnImportResult ImportPgn(CWorkBook& workbook, std::istream& input,
                          const PgnImportOptions& options) {
    PgnImportResult result;
    std::optional<PgnReader> reader; // made in the try: it reads the first block
    // What the reader had found in the text once the last game taken was read.
    bool isLatin1 = false;
    const int batchSize = options.intBatchSize > 0 ? options.intBatchSize : 1;
    // A batch opened by the caller stays the caller's to commit.
    const bool ownBatch = !workbook.isInBatch();
    // The games of the open transaction: they are lost with it when the workbook fails.
    size_t committed = 0;
    try {
        reader.emplace(input);
        isLatin1 = reader->isLatin1();
        // Inside the try, so that the reading has stopped before any failure is handled.
        GameReadAhead readAhead(*reader);
        if (ownBatch) workbook.BeginBatch();
        while (!(options.cancel && options.cancel->load())) {
            ReadStep step = readAhead.take();
            isLatin1 = step.isLatin1;
            if (step.failure) std::rethrow_exception(step.failure);
            if (!step.game) break;
            const PgnGame& game = *step.game;
            ++result.intRead;
            if (!step.rows) {
                ++result.intSkipped;
                ReportGame(options.skipped, game, game.strError);
            } else {
                // A game the workbook cannot keep was refused with its rows, on the reading side.
                result.arrlngGameIDs.push_back(
                    static_cast<int32_t>(workbook.lngSaveGameRows(*step.rows)));
                ++result.intImported;
                if (!game.strLeftOut.empty()) ReportGame(options.noted, game, game.strLeftOut);
                if (ownBatch &&
                    result.arrlngGameIDs.size() - committed >= static_cast<size_t>(batchSize)) {
                    workbook.CommitBatch();
                    committed = result.arrlngGameIDs.size();
                    workbook.BeginBatch();
                }
            }
            readAhead.giveBack(std::move(step));
            if (options.progress)
                options.progress(result.intRead, result.intImported, result.intSkipped);
        }
        result.isCancelled = options.cancel && options.cancel->load();
        if (ownBatch) workbook.CommitBatch();
    } catch (const std::exception& error) {
        // The workbook's failure, the stream's own or memory: the games committed before stay.
        RollbackOwnBatch(workbook, ownBatch);
        if (!ownBatch) committed = 0;
        PgnImportResult kept = result;
        kept.arrlngGameIDs.resize(committed);
        kept.intImported = static_cast<int>(committed);
        throw PgnImportError(std::string(error.what()) + " (the import stopped at game " +
                                 std::to_string(result.intRead) + "; " + std::to_string(committed) +
                                 " games imported before are kept)",
                             std::move(kept));
    } catch (...) {
        // Any other failure ends the open batch as well: later writes must not join a transaction
        // that nobody commits.
        RollbackOwnBatch(workbook, ownBatch);
        throw;
    }
    result.isLatin1 = isLatin1;
    result.isNotText = reader->isNotText();
    if (options.progress) options.progress(result.intRead, result.intImported, result.intSkipped);
    return result;
}
