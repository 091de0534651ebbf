#pragma once

#include <cstdint>
#include <string>

// The score as training shows it: successes per attempt in percent with two decimals, halves
// rounded away from zero and no forced leading digit (".50"), "-----" without attempts.
std::string strScoreText(int64_t attempts, int64_t successes);

// A success rate in whole percent ("67%"), "-" without attempts.
std::string strSuccessRate(int64_t attempts, int64_t successes);
