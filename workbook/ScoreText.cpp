#include "workbook/ScoreText.h"

#include <cmath>
#include <cstdio>

std::string strScoreText(int64_t attempts, int64_t successes) {
    if (attempts == 0) return "-----";
    const double percent = static_cast<double>(successes) / static_cast<double>(attempts) * 100.0;
    const double rounded = std::round(percent * 100.0) / 100.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rounded);
    std::string score = text;
    if (score.rfind("0.", 0) == 0) score.erase(0, 1);
    if (score.rfind("-0.", 0) == 0) score.erase(1, 1);
    return score;
}

std::string strSuccessRate(int64_t attempts, int64_t successes) {
    if (attempts <= 0) return "-";
    return std::to_string((successes * 100 + attempts / 2) / attempts) + "%";
}
