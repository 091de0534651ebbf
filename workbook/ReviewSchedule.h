#pragma once

#include <array>
#include <cstdint>

// How a training attempt went, as the scheduler grades it.
enum class ReviewRating : int32_t { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// One game's place in the review schedule. Days are whole calendar days counted from 1970-01-01.
struct ReviewState {
    double dblStability = 0;  // days until recall falls to 90%; 0 before the first review
    double dblDifficulty = 0; // 1 (easy) to 10 (hard); 0 before the first review
    int64_t lngLastReviewDay = 0;
    int64_t lngDueDay = 0;
    int32_t lngIntervalDays = 0;
    int32_t lngReviews = 0;
    int32_t lngLapses = 0;

    // True while the game has never been reviewed (or its stored state is unusable).
    bool isNew() const;
};

// The FSRS-5 memory model with long-term scheduling: every review, even on the day of the last
// one, moves the game to a later day. Pure arithmetic: it neither reads a clock nor touches a file.
class ReviewSchedule {
public:
    // The published FSRS-5 default weights, fitted on a large body of reviews.
    static constexpr std::array<double, 19> kDefaultWeights = {
        0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
        1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621};

    // The published default weights, 90% requested retention and a longest interval of 100 years.
    ReviewSchedule();
    // Own weights, retention in (0, 1) and longest interval in days; out-of-range values are
    // clamped to workable ones rather than refused.
    ReviewSchedule(const std::array<double, 19>& weights, double requestRetention,
                   int32_t maximumInterval);

    // The grade of one attempt: a failure is "again", a success after wrong moves "hard", a clean
    // success "good".
    static ReviewRating ratingForResult(bool solved, int32_t wrongMoves);

    // The state after a review on the given day. A stored state that is unusable (not finite, out
    // of range) counts as new; a day before the last review (a clock set back) counts as that day.
    ReviewState objReview(const ReviewState& before, ReviewRating rating, int64_t day) const;
    // The probability of recall on the given day (1 for a new game or a day not after the last
    // review).
    double dblRetrievability(const ReviewState& state, int64_t day) const;

private:
    double initialStability(ReviewRating rating) const;
    double initialDifficulty(ReviewRating rating) const;
    double nextDifficulty(double difficulty, ReviewRating rating) const;
    double recallStability(double difficulty, double stability, double retrievability,
                           ReviewRating rating) const;
    double forgetStability(double difficulty, double stability, double retrievability) const;
    int32_t interval(double stability) const;

    std::array<double, 19> m_w;
    double m_dblIntervalFactor;
    int32_t m_lngMaximumInterval;
};
