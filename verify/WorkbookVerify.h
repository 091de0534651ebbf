#pragma once

#include "verify/CSolutionVerifier.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CWorkBook;

// The verification of one game of a workbook; strError says why it could not be verified.
struct GameVerification {
    int32_t lngGameID = 0;
    VerifyReport objReport;
    std::string strError;
};

// Verifies the listed games of the open workbook (every game when the list is empty), in order.
// progress runs after each game; setting cancel stops before the next game, and an analyser that
// shares the flag stops within its search (that game is not reported). A game that cannot
// be loaded is reported in its strError; a failing engine raises its error.
std::vector<GameVerification> arrVerifyGames(
    CWorkBook& workbook, CSolutionVerifier& verifier, std::vector<int32_t> ids,
    const std::function<void(int done, int total, const GameVerification&)>& progress = {},
    const std::atomic<bool>* cancel = nullptr);

// The report line of a game: identifier, verdict and details separated by tabs (or "error" and
// the reason).
std::string strVerificationLine(const GameVerification& verification);
