#!/usr/bin/env bash
# Mutation check: does the test suite notice small faults in the code it covers?
#
#   scripts/mutation.sh [REV]      REV defaults to HEAD (committed code only)
#   MUTATION_ONLY=REGEX scripts/mutation.sh [REV]   only the sample lines the regex matches
#
# The committed tree of REV is copied to a throwaway folder (MUTATION_DIR, default
# /tmp/brisolt-mutation-$USER), built once, and then each mutant of the fixed sample below is
# applied in turn: one comparison flipped, one statement dropped or one constant changed. After
# each one the tests of the mutated folder are rebuilt and run (with a timeout); a mutant is
# "killed" when a test fails, crashes or times out, "SURVIVED" when every test still passes. A
# mutant whose text occurs nowhere in its file is "missing" and left out of the score: give its
# line an alternative when the code it targets is rewritten.
#
# The sample is fixed so that runs on different commits stay comparable. Each line is
#   kind @@ file @@ text to find @@ text put in its place
# optionally followed by " ~~ other text to find @@ its replacement" for a rewritten line: the
# first text found is used (a moved line may name several files, "a.cpp | b.cpp"); its replacement has the same effect as the first one even where the
# rewritten code needs another kind of edit for it. An empty replacement drops the statement.
# Equivalent mutants (ones no test can tell apart, such as a limit a query already applies) are
# left out of the sample.
set -euo pipefail
repo=${MUTATION_REPO:-$(cd "$(dirname "$0")/.." && pwd)}
rev=${1:-HEAD}
work=${MUTATION_DIR:-${TMPDIR:-/tmp}/brisolt-mutation-${USER:-$(id -un)}}
# Bash reads a script as it runs: run a copy, so that editing this file meanwhile is harmless.
if [ -z "${MUTATION_REPO:-}" ]; then
    mkdir -p "$work"
    cp "$0" "$work/mutation.sh"
    MUTATION_REPO=$repo exec bash "$work/mutation.sh" "$@"
fi
jobs=${MUTATION_JOBS:-2}
limit=${MUTATION_TIMEOUT:-300}

read -r -d '' mutants <<'EOF' || true
constant @@ model/Attacks.cpp @@ (file < 7 && board[squareOf(file + 1, pawnRank)] == pawn); @@ (file < 6 && board[squareOf(file + 1, pawnRank)] == pawn); ~~ (file < FileH && board[squareOf(file + 1, pawnRank)] == pawn); @@ (file < FileG && board[squareOf(file + 1, pawnRank)] == pawn);
constant @@ model/CDiagram.cpp @@ if ((dark && light) || knights > 0) return false; @@ if ((dark && light) || knights > 1) return false;
statement @@ model/CDiagram.cpp @@ if (end->intCode() == BlackKingCode) result->setKingIndex(1, end->intSquare()); @@ ~~ if (end->intCode() == BlackKingCode) result->setKingIndex(BlackSlot, end->intSquare()); @@
constant @@ model/Utilities.cpp @@ crc = (crc & 1) ? (crc >> 1) ^ 0x8408u : crc >> 1; @@ crc = (crc & 1) ? (crc >> 1) ^ 0x8409u : crc >> 1;
compare @@ model/CGameStatus.cpp @@ return m_code == BlackToMove; @@ return m_code != BlackToMove;
constant @@ model/Geometry.cpp @@ if (df == 0 && forward == 2 && rankOf(from) == (white ? 1 : 6)) { @@ if (df == 0 && forward == 2 && rankOf(from) == (white ? 1 : 5)) { ~~ if (df == 0 && forward == 2 && rankOf(from) == pawnRankOf(white)) { @@ if (df == 0 && forward == 2 && rankOf(from) == (white ? Rank2 : Rank6)) {
statement @@ game/CPosition.cpp @@ if (from == 7 || to == 7) next->m_kForfeit[0] = true; @@ ~~ if (from == castling.rookFrom || to == castling.rookFrom) forfeit(castling) = true; @@ if ((from == castling.rookFrom || to == castling.rookFrom) && castling.rookFrom != SqH1) forfeit(castling) = true;
constant @@ game/CPosition.cpp @@ next->m_moveNumber = m_moveNumber + 1; @@ next->m_moveNumber = m_moveNumber + 2;
statement @@ game/CPositionLegality.cpp @@ if (rankOf(to) != (white ? 5 : 2)) return false; @@ ~~ if (rankOf(to) != (white ? Rank6 : Rank3)) return false; @@
constant @@ game/CPositionLegality.cpp @@ static const int safeQueen[] = {4, 3, 2}, @@ static const int safeQueen[] = {4, 3, 1}, ~~ for (int square : castling->kingPath) @@ for (int square : {int(castling->kingPath[0]), int(castling->kingPath[1]), castling->kingPath[2] - (castling->kingSide ? 0 : 1)})
constant @@ game/CPositionLegality.cpp @@ if (file < 0 || file > 7) continue; @@ if (file < 0 || file > 6) continue; ~~ if (file < FileA || file > FileH) continue; @@ if (file < FileA || file > FileG) continue;
constant @@ game/Fen.cpp @@ ep[1] == (fields[1] == "w" ? '6' : '3')); @@ ep[1] == (fields[1] == "w" ? '6' : '4')); ~~ ep[1] == (side == "w" ? '6' : '3')); @@ ep[1] == (side == "w" ? '6' : '4'));
compare @@ game/PositionConstructors.cpp @@ enPassantLetter[0] <= 'h'; @@ enPassantLetter[0] < 'h'; ~~ enPassantLetter[0] <= 'h' && @@ enPassantLetter[0] < 'h' &&
statement @@ game/CGameTree.cpp @@ if (next.empty()) next.push_back(nullptr); @@
constant @@ game/UciMoves.cpp @@ const bool lastRank = to->intRank() == (white ? 7 : 0); @@ const bool lastRank = to->intRank() == (white ? 7 : 1);
compare @@ game/CPositionNotation.cpp @@ fileOf(other) == fileOf(from) ? char('1' + rankOf(from)) : char('a' + fileOf(from)); @@ fileOf(other) != fileOf(from) ? char('1' + rankOf(from)) : char('a' + fileOf(from));
statement @@ workbook/SqliteLayer.cpp | workbook/SqlTransaction.cpp @@ if (statement == nullptr) break; @@ ~~ m_connection.prepared(kRollbackTo).run(); @@
compare @@ workbook/CWorkBookGames.cpp @@ file >= 0 && file <= 7 ? @@ file >= 0 && file < 7 ?
statement @@ workbook/CWorkBook.cpp | workbook/SqlStatement.cpp @@ if (c == '\'') quoted += '\''; @@ ~~ if (c != '\0') clean += c; @@ clean += c;
statement @@ workbook/CWorkBookGames.cpp | workbook/GameRows.cpp @@ if (moveText == "...") node->strParentKey(""); @@ ~~ if (rows.back().moveText == "...") node->strParentKey(""); @@ ~~ if (row.strMoveText != "...") row.strParentKey = node->strParentKey(); @@ row.strParentKey = node->strParentKey();
constant @@ workbook/CWorkBookGames.cpp | workbook/CWorkBookRows.cpp @@ if (count <= 0) return {}; @@ if (count <= 1) return {};
statement @@ workbook/CWorkBookScore.cpp @@ if (recorded) { @@ if (connection.lngChanges() > 0) {
statement @@ pgn/PgnWriter.cpp @@ line.needNumber = true; @@ ~~ needNumber = true; @@
constant @@ pgn/PgnWriter.cpp @@ constexpr size_t kLineWidth = 80; @@ constexpr size_t kLineWidth = 60;
constant @@ pgn/PgnReader.cpp @@ if (digits.empty() || digits.size() > 3) { @@ if (digits.empty() || digits.size() > 2) {
statement @@ pgn/PgnReader.cpp @@ if (c == '\\' && (peek() == '"' || peek() == '\\')) c = get(); @@
compare @@ pgn/PgnTreeBuilder.cpp | game/Fen.cpp @@ if (fullMove >= 1 && fullMove < 10000) @@ if (fullMove >= 1 && fullMove < 1000) ~~ number.size() <= 4 && @@ number.size() <= 3 &&
compare @@ app/CTrainingSession.cpp @@ if (wrongMoves >= 3) ShowSolution(); @@ if (wrongMoves > 3) ShowSolution(); ~~ if (wrongMoves >= TrainingFeedback::intTries) ShowSolution(); @@ if (wrongMoves > TrainingFeedback::intTries) ShowSolution();
statement @@ app/CTrainingSession.cpp | workbook/ScoreText.cpp @@ if (result.rfind("0.", 0) == 0) result.erase(0, 1); @@ ~~ if (score.rfind("0.", 0) == 0) score.erase(0, 1); @@
statement @@ app/CTrainingSession.cpp @@ ++gameIndex; @@ ~~ ShowAt(gameIndex + 1); @@ ShowAt(gameIndex);
EOF

# The test programs that judge a mutant of each folder: its own, and for model/ and game/ also
# those of the folder built on it, which exercise them through their use.
tests_of() {
    case "$1" in
    model) echo tests/model/model_tests tests/game/rules_tests ;;
    game) echo tests/game/rules_tests tests/game/game_tree_tests tests/pgn/pgn_tests ;;
    workbook) echo tests/workbook/workbook_tests ;;
    pgn) echo tests/pgn/pgn_tests ;;
    app) echo tests/app/brisolt_app_session_tests ;;
    esac
}
targets_of() { for t in $(tests_of "$1"); do basename "$t"; done; }

src=$work/src
build=$work/build
echo "mutation check of $(git -C "$repo" rev-parse --short "$rev") in $work"
rm -rf "$src"
mkdir -p "$src" "$build"
git -C "$repo" archive "$rev" | tar -x -m -C "$src" # -m: sources newer than any object

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRISOLT_BENCH=OFF \
    >"$work/configure.log" 2>&1 || {
    echo "configure failed: $work/configure.log" >&2
    exit 2
}
mapfile -t all_targets < <(for f in model game workbook pgn app; do targets_of $f; done | sort -u)
cmake --build "$build" -j"$jobs" --target "${all_targets[@]}" >"$work/build.log" 2>&1 || {
    echo "build failed: $work/build.log" >&2
    exit 2
}

run_tests() { # FOLDER: succeeds when every test program of the folder passes
    local t
    for t in $(tests_of "$1"); do
        QT_QPA_PLATFORM=offscreen timeout "$limit" "$build/$t" >>"$work/test.log" 2>&1 || return 1
    done
}
: >"$work/test.log"
for f in model game workbook pgn app; do
    run_tests $f || {
        echo "the tests of $f fail without any mutant: $work/test.log" >&2
        exit 2
    }
done

# Applies the first text of a sample line found in its file; prints "line<TAB>replacement",
# nothing when no text of the line occurs.
apply() { # ROW
    python3 -c '
import os, sys
root, row = sys.argv[1], sys.argv[2]
kind, paths, rest = row.split(" @@ ", 2)
for path in [p.strip() for p in paths.split(" | ")]:
    if not os.path.exists(f"{root}/{path}"):
        continue
    text = open(f"{root}/{path}", encoding="utf-8").read()
    for pair in rest.split(" ~~ "):
        find, _, replace = pair.partition(" @@")
        find, replace = find.strip(), replace.strip()
        at = text.find(find)
        if at >= 0:
            with open(f"{root}/{path}", "w", encoding="utf-8") as out:
                out.write(text[:at] + replace + text[at + len(find):])
            line = text.count("\n", 0, at) + 1
            print(path, line, replace or "(statement dropped)", sep="\t")
            sys.exit(0)
' "$src" "$1"
}

killed=0 survived=0 missing=0 broken=0 n=0
while IFS= read -r row; do
    [ -n "$row" ] || continue
    n=$((n + 1))
    [[ -z ${MUTATION_ONLY:-} || $row =~ $MUTATION_ONLY ]] || continue
    kind=${row%% @@ *}
    files=${row#* @@ }
    files=${files%% @@ *}
    file=${files%% | *}
    for each in ${files//|/ }; do
        [ -f "$src/$each" ] && cp "$src/$each" "$work/original.${each//\//_}"
    done
    applied=$(apply "$row")
    if [ -n "$applied" ]; then
        file=${applied%%$'\t'*}
        applied=${applied#*$'\t'}
    fi
    folder=${file%%/*}
    line=${applied%%$'\t'*}
    mapfile -t targets < <(targets_of "$folder")
    if [ -z "$applied" ]; then
        result=missing
        missing=$((missing + 1))
    elif ! cmake --build "$build" -j"$jobs" --target "${targets[@]}" >"$work/mutant.log" 2>&1; then
        result="not building"
        broken=$((broken + 1))
    elif run_tests "$folder"; then
        result=SURVIVED
        survived=$((survived + 1))
    else
        result=killed
        killed=$((killed + 1))
    fi
    for each in ${files//|/ }; do
        [ -f "$work/original.${each//\//_}" ] || continue
        cp "$work/original.${each//\//_}" "$src/$each"
        rm "$work/original.${each//\//_}"
    done
    printf '%2d %-9s %-34s %-12s %s\n' "$n" "$kind" "$file:${line:-?}" "$result" "${applied#*$'\t'}"
done <<<"$mutants"

echo "score: $killed killed of $((killed + survived)) mutants ($survived survived, $missing missing," \
    "$broken not building)"
