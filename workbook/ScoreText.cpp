#include "workbook/ScoreText.h"

#include <charconv>
#include <cmath>

std::string strScoreText(int64_t attempts, int64_t successes) {
    if (attempts == 0) return "-----";
    const double percent = static_cast<double>(successes) / static_cast<double>(attempts) * 100.0;
    const double rounded = std::round(percent * 100.0) / 100.0;
    // A point whatever the locale: the window's score is the same text as the command line's.
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, 2);
    std::string score(text, written.ptr);
    if (score.rfind("0.", 0) == 0) score.erase(0, 1);
    if (score.rfind("-0.", 0) == 0) score.erase(1, 1);
    return score;
}

std::string strSuccessRate(int64_t attempts, int64_t successes) {
    if (attempts <= 0) return "-";
    return std::to_string((successes * 100 + attempts / 2) / attempts) + "%";
}
