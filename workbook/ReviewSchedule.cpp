#include "workbook/ReviewSchedule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kDecay = -0.5;
constexpr double kFactor = 19.0 / 81.0;
constexpr double kMinStability = 0.01;
constexpr double kMaxStability = 36500;

double clampStability(double stability) {
    return std::clamp(stability, kMinStability, kMaxStability);
}

double clampDifficulty(double difficulty) {
    return std::clamp(difficulty, 1.0, 10.0);
}

// Half-way values go up, as the intervals in every FSRS table are rounded.
int64_t roundHalfUp(double value) {
    return static_cast<int64_t>(std::floor(value + 0.5));
}

double forgettingCurve(double elapsedDays, double stability) {
    return std::pow(1.0 + kFactor * elapsedDays / stability, kDecay);
}

int32_t gradeOf(ReviewRating rating) {
    return static_cast<int32_t>(rating);
}

} // namespace

bool ReviewState::isNew() const {
    return lngReviews <= 0 || !std::isfinite(dblStability) || !std::isfinite(dblDifficulty) ||
           dblStability <= 0 || dblDifficulty <= 0;
}

ReviewSchedule::ReviewSchedule() : ReviewSchedule(kDefaultWeights, 0.9, 36500) {}

ReviewSchedule::ReviewSchedule(const std::array<double, 19>& weights, double requestRetention,
                               int32_t maximumInterval)
    : m_w(weights), m_lngMaximumInterval(std::clamp(maximumInterval, 1, 36500)) {
    for (double& weight : m_w) {
        if (!std::isfinite(weight)) weight = 0;
    }
    if (!std::isfinite(requestRetention)) requestRetention = 0.9;
    requestRetention = std::clamp(requestRetention, 0.5, 0.99);
    m_dblIntervalFactor = (std::pow(requestRetention, 1.0 / kDecay) - 1.0) / kFactor;
}

ReviewRating ReviewSchedule::ratingForResult(bool solved, int32_t wrongMoves) {
    if (!solved) return ReviewRating::Again;
    return wrongMoves > 0 ? ReviewRating::Hard : ReviewRating::Good;
}

double ReviewSchedule::initialStability(ReviewRating rating) const {
    return std::max(m_w[static_cast<size_t>(gradeOf(rating) - 1)], 0.1);
}

double ReviewSchedule::initialDifficulty(ReviewRating rating) const {
    return clampDifficulty(m_w[4] - std::exp((gradeOf(rating) - 1) * m_w[5]) + 1.0);
}

double ReviewSchedule::nextDifficulty(double difficulty, ReviewRating rating) const {
    const double change = -m_w[6] * (gradeOf(rating) - 3);
    // The change shrinks as the difficulty nears 10, and the result drifts back towards the
    // difficulty of a first "easy".
    const double damped = difficulty + change * (10.0 - difficulty) / 9.0;
    return clampDifficulty(m_w[7] * initialDifficulty(ReviewRating::Easy) +
                           (1.0 - m_w[7]) * damped);
}

double ReviewSchedule::recallStability(double difficulty, double stability, double retrievability,
                                       ReviewRating rating) const {
    const double hardPenalty = rating == ReviewRating::Hard ? m_w[15] : 1.0;
    const double easyBonus = rating == ReviewRating::Easy ? m_w[16] : 1.0;
    return clampStability(
        stability *
        (1.0 + std::exp(m_w[8]) * (11.0 - difficulty) * std::pow(stability, -m_w[9]) *
                   (std::exp((1.0 - retrievability) * m_w[10]) - 1.0) * hardPenalty * easyBonus));
}

double ReviewSchedule::forgetStability(double difficulty, double stability,
                                       double retrievability) const {
    return clampStability(m_w[11] * std::pow(difficulty, -m_w[12]) *
                          (std::pow(stability + 1.0, m_w[13]) - 1.0) *
                          std::exp((1.0 - retrievability) * m_w[14]));
}

int32_t ReviewSchedule::interval(double stability) const {
    const int64_t days = roundHalfUp(stability * m_dblIntervalFactor);
    return static_cast<int32_t>(std::clamp<int64_t>(days, 1, m_lngMaximumInterval));
}

double ReviewSchedule::dblRetrievability(const ReviewState& state, int64_t day) const {
    if (state.isNew() || day <= state.lngLastReviewDay) return 1.0;
    // Apart in doubles: a stored day may lie at either end of its type.
    const double elapsed = static_cast<double>(day) - static_cast<double>(state.lngLastReviewDay);
    return forgettingCurve(elapsed, clampStability(state.dblStability));
}

ReviewState ReviewSchedule::objReview(const ReviewState& before, ReviewRating rating,
                                      int64_t day) const {
    if (gradeOf(rating) < 1 || gradeOf(rating) > 4) rating = ReviewRating::Again;
    const bool wasNew = before.isNew();
    ReviewState after;
    // The counts stop at the largest they can hold: wrapped round, the game would count as new.
    after.lngReviews = wasNew ? 1 : before.lngReviews + (before.lngReviews < INT32_MAX ? 1 : 0);
    after.lngLapses = wasNew ? 0 : std::max(before.lngLapses, 0);
    after.lngLastReviewDay = wasNew ? day : std::max(day, before.lngLastReviewDay);

    // The stability and interval of each grade: the intervals are kept in the grades' order
    // (a harder grade never waits longer than an easier one), so all four are worked out.
    std::array<double, 4> stability{};
    std::array<double, 4> difficulty{};
    if (wasNew) {
        for (int32_t grade = 1; grade <= 4; ++grade) {
            const auto graded = static_cast<ReviewRating>(grade);
            stability[static_cast<size_t>(grade - 1)] = initialStability(graded);
            difficulty[static_cast<size_t>(grade - 1)] = initialDifficulty(graded);
        }
    } else {
        const double oldStability = clampStability(before.dblStability);
        const double oldDifficulty = clampDifficulty(before.dblDifficulty);
        const double recall = dblRetrievability(before, after.lngLastReviewDay);
        for (int32_t grade = 1; grade <= 4; ++grade) {
            const auto graded = static_cast<ReviewRating>(grade);
            const auto slot = static_cast<size_t>(grade - 1);
            difficulty[slot] = nextDifficulty(oldDifficulty, graded);
            stability[slot] =
                graded == ReviewRating::Again
                    ? std::min(oldStability, forgetStability(oldDifficulty, oldStability, recall))
                    : recallStability(oldDifficulty, oldStability, recall, graded);
        }
        if (rating == ReviewRating::Again && after.lngLapses < INT32_MAX) ++after.lngLapses;
    }
    std::array<int32_t, 4> days{};
    for (size_t slot = 0; slot < 4; ++slot)
        days[slot] = interval(stability[slot]);
    days[0] = std::min(days[0], days[1]);
    for (size_t slot = 1; slot < 4; ++slot) {
        // The longest interval wins over the order: at the cap, several grades share it.
        days[slot] = std::min(std::max(days[slot], days[slot - 1] + 1), m_lngMaximumInterval);
    }

    const auto chosen = static_cast<size_t>(gradeOf(rating) - 1);
    after.dblStability = stability[chosen];
    after.dblDifficulty = difficulty[chosen];
    after.lngIntervalDays = days[chosen];
    // A stored last day near the end of its type: the due day stops there instead of wrapping.
    after.lngDueDay =
        after.lngLastReviewDay > std::numeric_limits<int64_t>::max() - after.lngIntervalDays
            ? std::numeric_limits<int64_t>::max()
            : after.lngLastReviewDay + after.lngIntervalDays;
    return after;
}
