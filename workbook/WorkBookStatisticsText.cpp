// The statistics as text for a terminal and as CSV for a spreadsheet.
#include "model/Utilities.h"
#include "workbook/ReviewDay.h"
#include "workbook/ScoreText.h"
#include "workbook/WorkBookStatistics.h"

#include <string>

namespace {

// A CSV field: quoted when it holds a separator, a quote or a line break. A text of the workbook
// that a spreadsheet would take for a formula (some drop a leading tab or carriage return first)
// gets a leading apostrophe.
std::string strField(const std::string& stored) {
    const bool formula =
        !stored.empty() && std::string("=+-@\t\r").find(stored[0]) != std::string::npos;
    const std::string text = formula ? "'" + stored : stored;
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string strName(const std::string& name) {
    return name.empty() ? "(none)" : name;
}

std::string strLast(int64_t day) {
    return day < 0 ? "" : ReviewDay::strText(day);
}

} // namespace

std::string TrainingStatistics::strText() const {
    const TrainingSummary& s = objSummary;
    std::string out = "Today (" + ReviewDay::strText(s.lngToday) +
                      "): " + strCounted(s.lngTodayAttempts, "attempt") + ", " +
                      std::to_string(s.lngTodaySolved) + " solved\n";
    out += "Streak: " + strCounted(s.lngStreakDays, "day") + " in a row; last " +
           strCounted(s.lngSuccessRun, "attempt") + " solved\n";
    out += "\nPer day\tattempts\tsuccess\n";
    for (const PeriodFigures& p : arrByDay)
        out += ReviewDay::strText(p.lngFirstDay) + '\t' + std::to_string(p.lngAttempts) + '\t' +
               strSuccessRate(p.lngAttempts, p.lngSolved) + '\n';
    out += "\nPer week from\tattempts\tsuccess\n";
    for (const PeriodFigures& p : arrByWeek)
        out += ReviewDay::strText(p.lngFirstDay) + '\t' + std::to_string(p.lngAttempts) + '\t' +
               strSuccessRate(p.lngAttempts, p.lngSolved) + '\n';
    const auto groups = [&out](const char* title, const std::vector<GroupFigures>& rows) {
        out += std::string("\n") + title + "\tgames\tattempts\tsuccess\n";
        for (const GroupFigures& g : rows)
            out += strName(g.strName) + '\t' + std::to_string(g.lngGames) + '\t' +
                   std::to_string(g.lngAttempts) + '\t' +
                   strSuccessRate(g.lngAttempts, g.lngSolved) + '\n';
    };
    groups("Page", arrByPage);
    groups("Chapter", arrByChapter);
    const auto games = [&out](const char* title, const std::vector<GameFigures>& rows) {
        out += std::string("\n") + title + "\tgame\tattempts\tsuccess\tlast\tdescription\n";
        for (const GameFigures& g : rows)
            out += std::string("\t") + std::to_string(g.lngGameId) + '\t' +
                   std::to_string(g.lngAttempts) + '\t' +
                   strSuccessRate(g.lngAttempts, g.lngSolved) + '\t' + strLast(g.lngLastDay) +
                   '\t' + g.strDescription + '\n';
    };
    games("Failed most", arrMostFailed);
    games("Not seen for longest", arrLongestUnseen);
    return out;
}

std::string TrainingStatistics::strCsv() const {
    const TrainingSummary& s = objSummary;
    std::string out = "section,day,attempts,solved,streak_days,success_run\n";
    out += "today," + ReviewDay::strText(s.lngToday) + ',' + std::to_string(s.lngTodayAttempts) +
           ',' + std::to_string(s.lngTodaySolved) + ',' + std::to_string(s.lngStreakDays) + ',' +
           std::to_string(s.lngSuccessRun) + '\n';
    out += "\nsection,first_day,attempts,solved\n";
    for (const auto& [name, rows] : {std::pair{"day", &arrByDay}, std::pair{"week", &arrByWeek}})
        for (const PeriodFigures& p : *rows)
            out += std::string(name) + ',' + ReviewDay::strText(p.lngFirstDay) + ',' +
                   std::to_string(p.lngAttempts) + ',' + std::to_string(p.lngSolved) + '\n';
    out += "\nsection,name,games,attempts,solved\n";
    for (const auto& [name, rows] :
         {std::pair{"page", &arrByPage}, std::pair{"chapter", &arrByChapter}})
        for (const GroupFigures& g : *rows)
            out += std::string(name) + ',' + strField(g.strName) + ',' +
                   std::to_string(g.lngGames) + ',' + std::to_string(g.lngAttempts) + ',' +
                   std::to_string(g.lngSolved) + '\n';
    out += "\nsection,game,description,page,attempts,solved,last_day\n";
    for (const auto& [name, rows] : {std::pair{"failed_most", &arrMostFailed},
                                     std::pair{"not_seen_longest", &arrLongestUnseen}})
        for (const GameFigures& g : *rows)
            out += std::string(name) + ',' + std::to_string(g.lngGameId) + ',' +
                   strField(g.strDescription) + ',' + strField(g.strPage) + ',' +
                   std::to_string(g.lngAttempts) + ',' + std::to_string(g.lngSolved) + ',' +
                   strLast(g.lngLastDay) + '\n';
    return out;
}
