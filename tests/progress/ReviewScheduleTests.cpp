// The review schedule against its reference table and with stored states that cannot be used,
// and the days it counts in: dates read and written, and local days in zones far from UTC and
// across clock changes.
#include "ProgressWorkbook.h"
#include "workbook/ReviewDay.h"
#include "workbook/ReviewSchedule.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

// The reference values carry 8 decimals, rounded after each step; the stability may grow to
// 36500 days, so it is compared relative to its size.
constexpr double kStabilityRelativeTolerance = 1e-6;
constexpr double kDifficultyTolerance = 1e-6;

// Each line of the reference table: sequence,step,day,rating,stability,difficulty,interval,due.
TEST(ReviewSchedule, MatchesTheReferenceTableForEveryRatingSequence) {
    std::ifstream in(BRISOLT_FSRS_REFERENCE);
    const ReviewSchedule schedule;
    // The table starts every sequence on day 0; ours starts on a real date to cover large days.
    const int64_t start = *ReviewDay::parse("2024-01-01");
    ReviewState state;
    std::string sequence;
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line.rfind("sequence,", 0) == 0) continue;
        SCOPED_TRACE(line);
        char name[64];
        int step = 0, rating = 0, interval = 0;
        long long day = 0;
        double stability = 0, difficulty = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%63[^,],%d,%lld,%d,%lf,%lf,%d", name, &step, &day,
                              &rating, &stability, &difficulty, &interval),
                  7);
        ++rows;
        if (name != sequence) {
            sequence = name;
            state = ReviewState{};
        }
        state = schedule.objReview(state, static_cast<ReviewRating>(rating), start + day);
        EXPECT_NEAR(state.dblStability, stability, stability * kStabilityRelativeTolerance);
        EXPECT_NEAR(state.dblDifficulty, difficulty, kDifficultyTolerance);
        // The reference lets the grades' order push an interval up to 3 days past the longest
        // interval of 36500 days; ours stops there.
        EXPECT_EQ(state.lngIntervalDays, std::min(interval, 36500));
        EXPECT_EQ(state.lngDueDay, start + day + std::min(interval, 36500));
        EXPECT_EQ(state.lngReviews, step);
    }
    EXPECT_GE(rows, 300) << "reference table missing or cut short";
}

// A workbook may hold any values in its schedule table: whatever is stored, a review gives a
// finite state that is due after the review.
TEST(ReviewSchedule, UnusableStoredStatesAreTreatedAsNewOrClamped) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const int64_t day = 20000;
    const ReviewSchedule schedule;
    const ReviewState fresh = schedule.objReview({}, ReviewRating::Good, day);
    const ReviewState usable{20.0, 10.0, day - 20, day, 20, 4, 1};
    const ReviewState fromUsable = schedule.objReview(usable, ReviewRating::Good, day);
    // A day before the last review counts as that day.
    const ReviewState later{30.0, 5.0, day + 5, day + 35, 30, 5, 0};
    const ReviewState onItsDay = schedule.objReview(later, ReviewRating::Good, day + 5);
    const std::tuple<const char*, ReviewState, const ReviewState&> cases[] = {
        {"stability NaN", {nan, 5.0, day - 3, day, 3, 2, 0}, fresh},
        {"stability infinite", {inf, 5.0, day - 3, day, 3, 2, 0}, fresh},
        {"stability negative", {-4.0, 5.0, day - 3, day, 3, 2, 0}, fresh},
        {"difficulty NaN", {4.0, nan, day - 3, day, 3, 2, 0}, fresh},
        {"difficulty zero", {4.0, 0.0, day - 3, day, 3, 2, 0}, fresh},
        {"no reviews counted", {4.0, 5.0, day - 3, day, 0, 0, 0}, fresh},
        {"negative reviews", {4.0, 5.0, day - 3, day, -8, 0, 0}, fresh},
        {"difficulty above ten", {20.0, 55.0, day - 20, day, 20, 4, 1}, fromUsable},
        {"negative lapses", {20.0, 10.0, day - 20, day, 20, 4, -9}, fromUsable},
        {"last review after the day", later, onItsDay},
    };
    for (const auto& [name, stored, expected] : cases) {
        SCOPED_TRACE(name);
        const ReviewState after = schedule.objReview(stored, ReviewRating::Good, day);
        EXPECT_EQ(Outcome(after), Outcome(expected));
        EXPECT_GT(after.lngDueDay, day);
    }
    EXPECT_DOUBLE_EQ(schedule.dblRetrievability(later, day), 1.0);
    // Days and counts at the ends of their types: the state stays usable and due after the review.
    const ReviewState extremes[] = {
        {20.0, 10.0, std::numeric_limits<int64_t>::min(), day, 20, 4, 1},
        {20.0, 10.0, std::numeric_limits<int64_t>::max(), day, 20, 4, 1},
        {20.0, 10.0, day - 20, day, 20, INT32_MAX, INT32_MAX},
    };
    for (const ReviewState& stored : extremes) {
        for (ReviewRating rating : {ReviewRating::Again, ReviewRating::Good}) {
            SCOPED_TRACE(std::to_string(stored.lngLastReviewDay) + " " +
                         std::to_string(stored.lngReviews));
            const ReviewState after = schedule.objReview(stored, rating, day);
            EXPECT_FALSE(after.isNew());
            EXPECT_GT(after.lngDueDay, std::max(day, after.lngLastReviewDay - 1));
            EXPECT_GE(after.lngLapses, stored.lngLapses);
        }
    }
}

TEST(ReviewSchedule, LapsesCountFailedReviewsAndIntervalsStayWithinTheLongest) {
    ReviewState state = ReviewSchedule().objReview({}, ReviewRating::Again, 100);
    EXPECT_EQ(state.lngLapses, 0);
    for (ReviewRating rating :
         {ReviewRating::Good, ReviewRating::Again, ReviewRating::Hard, ReviewRating::Again})
        state = ReviewSchedule().objReview(state, rating, state.lngDueDay);
    EXPECT_EQ(std::pair(state.lngLapses, state.lngReviews), std::pair(2, 5));

    const ReviewSchedule schedule(ReviewSchedule::kDefaultWeights, 0.9, 30);
    state = {};
    for (int32_t review = 0; review < 12; ++review)
        state = schedule.objReview(state, ReviewRating::Good, state.lngDueDay);
    EXPECT_EQ(state.lngIntervalDays, 30);
    EXPECT_EQ(schedule.objReview(state, ReviewRating::Easy, state.lngDueDay).lngIntervalDays, 30);
    // Weights that would make "again" wait longest still keep the grades' order.
    std::array<double, 19> swapped = ReviewSchedule::kDefaultWeights;
    std::swap(swapped[0], swapped[3]);
    EXPECT_EQ(
        ReviewSchedule(swapped, 0.9, 99).objReview({}, ReviewRating::Again, 0).lngIntervalDays, 1);
}

TEST(ReviewDay, ReadsAndWritesDatesAndRefusesTextsThatAreNone) {
    const std::tuple<const char*, int64_t> cases[] = {
        {"1970-01-01", 0},       {"1969-12-31", -1},      {"2000-02-29", 11016},
        {"2000-03-01", 11017},   {"2024-01-01", 19723},   {"2100-03-01", 47541},
        {"0001-01-01", -719162}, {"9999-12-31", 2932896},
    };
    for (const auto& [text, day] : cases) {
        EXPECT_EQ(ReviewDay::parse(text), day) << text;
        EXPECT_EQ(ReviewDay::strText(day), text);
    }
    // Days outside the calendar show as its ends.
    EXPECT_EQ(ReviewDay::strText(std::numeric_limits<int64_t>::max()), "9999-12-31");
    EXPECT_EQ(ReviewDay::strText(2932897), "9999-12-31");
    EXPECT_EQ(ReviewDay::strText(std::numeric_limits<int64_t>::min()), "0001-01-01");
    for (const char* text : {"", "2023-02-29", "1900-02-29", "2024-13-01", "2024-00-10",
                             "2024-04-31", "2024-1-01", "2024/01/01", "0000-01-01", "abcd-ef-gh",
                             "2024-01-01x", " 2024-01-0", "+024-01-01", "2024-01--1"})
        EXPECT_FALSE(ReviewDay::parse(text).has_value()) << text;
}

// A day's first second and a moment's day agree in zones far from UTC and across clock changes,
// whichever day was asked about before (mktime guesses a zone's offset from its previous call).
TEST(ReviewDay, ADayStartsAtItsFirstSecondInEveryZone) {
    const std::tuple<const char*, const char*> cases[] = {
        {"Atlantic/Azores", "2024-10-27"},     // midnight twice: 01:00 put back to 00:00
        {"America/Havana", "2024-11-03"},      // the same
        {"America/Santiago", "2024-09-08"},    // no midnight: 00:00 put forward to 01:00
        {"America/Los_Angeles", "2024-03-10"}, // 23 hours
        {"America/Los_Angeles", "2024-11-03"}, // 25 hours
        {"Pacific/Kiritimati", "2024-02-29"},  // 14 hours ahead of UTC, a leap day
    };
    // The zone is left as the last case sets it: every test that counts local days sets its own.
    for (const auto& [zone, date] : cases) {
        ASSERT_TRUE(std::filesystem::exists(std::string("/usr/share/zoneinfo/") + zone)) << zone;
        setenv("TZ", zone, 1);
        tzset();
        const int64_t day = *ReviewDay::parse(date);
        for (const int64_t before : {day - 30, day + 30}) {
            SCOPED_TRACE(std::string(zone) + " " + date + " after " + ReviewDay::strText(before));
            ReviewDay::lngLocalStartOf(before);
            const int64_t start = ReviewDay::lngLocalStartOf(day);
            EXPECT_EQ(ReviewDay::lngLocalDayOf(start), day);
            EXPECT_EQ(ReviewDay::lngLocalDayOf(start - 1), day - 1);
        }
    }
}

} // namespace
