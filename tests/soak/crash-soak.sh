#!/usr/bin/env bash
# Kills brisolt-cli with SIGKILL at random moments while it imports games, records results and
# saves the title, then checks that the workbook is whole and holds every result (each with its
# history row) and every import that was reported done. Then two processes record on one workbook at once.
#   SOAK_CLI=path/to/brisolt-cli tests/soak/crash-soak.sh [KILLS] [RECORDS_PER_PROCESS]
# Exits 1 when a check fails or fewer kills than asked hit a running process.
source "$(dirname "$0")/common.sh"

kills=${1:-200}
records=${2:-100}

book="$scratch/crash.wbk"
pgn="$scratch/games.pgn"
write_games "$pgn" 120 # 600 games: more than one import batch
"$cli" new "$book" --title "Crash soak" >/dev/null
# Kills fall inside the time an undisturbed run takes on this machine, so that most of them hit
# a running process whether the machine is fast or loaded.
started=$(now_ms)
"$cli" import "$book" "$pgn" >/dev/null
import_ms=$(($(now_ms) - started + 1))
games=$(sql "$book" "select count(*) from GameTree")
[ "$games" = 600 ] || fail "the first import gave $games games, not 600"
started=$(now_ms)
"$cli" title "$book" "Crash soak" >/dev/null
title_ms=$(($(now_ms) - started + 1))

# True while the process exists and has not finished (a finished one waits as a zombie).
running() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

acked_results=0    # results reported done
unsure_results=0   # results whose process was killed: may or may not have landed
acked_games=0      # games of imports reported done
unsure_games=0     # games of killed imports: all of a batch or none
survived=0
landed=0 # kills that found the process still running
start=$(now_ms)
# Rounds go on until the wanted number of kills hit a running process (at most 5 rounds a kill).
round=0
while ((landed < kills && round < 5 * kills)); do
    round=$((round + 1))
    failures_before=$failures
    case $((round % 3)) in
    0) # an import of 600 games, killed somewhere in it
        "$cli" import "$book" "$pgn" >"$scratch/out" 2>&1 &
        pid=$!
        sleep "$(random_delay "$import_ms")"
        kill -9 "$pid" 2>/dev/null || true
        if wait "$pid"; then
            reported=$(sed -n 's/^imported \([0-9]*\) games\?.*/\1/p' "$scratch/out")
            acked_games=$((acked_games + reported))
        else
            (($? == 137)) && landed=$((landed + 1))
            unsure_games=$((unsure_games + 600))
        fi
        ;;
    1) # results recorded one after the other, the running one killed
        (
            for ((i = 0; i < 50; i++)); do
                id=$(((RANDOM % games) + 1))
                "$cli" record "$book" "$id" success >/dev/null 2>&1 &
                echo $! >"$scratch/recorder"
                if wait $!; then echo "$id" >>"$scratch/acked"; fi
            done
        ) &
        loop=$!
        sleep "$(random_delay 400)"
        # The loop is frozen first, so that it starts and acknowledges nothing more.
        kill -STOP "$loop" 2>/dev/null || true
        recorder=$(cat "$scratch/recorder" 2>/dev/null || echo 0)
        running "$recorder" && kill -9 "$recorder" 2>/dev/null && landed=$((landed + 1))
        kill -9 "$loop" 2>/dev/null || true
        wait "$loop" 2>/dev/null || true
        unsure_results=$((unsure_results + 1))
        ;;
    2) # a title save, killed
        "$cli" title "$book" "Title of round $round" >/dev/null 2>&1 &
        pid=$!
        sleep "$(random_delay "$title_ms")"
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || { (($? == 137)) && landed=$((landed + 1)); }
        ;;
    esac
    rm -f "$scratch/recorder"
    check_whole "$book" "round $round"
    acked_results=$(wc -l <"$scratch/acked" 2>/dev/null || echo 0)
    hits=$(sql "$book" "select coalesce(sum(Hits),0) from GameTree")
    if ((hits < acked_results || hits > acked_results + unsure_results)); then
        fail "round $round: $hits attempts stored, $acked_results reported done (+ at most $unsure_results unsure)"
    fi
    # A result and its history row are kept together or not at all.
    rows=$(sql "$book" "select count(*) from TrainingHistory")
    [ "$rows" = "$hits" ] || fail "round $round: $hits attempts counted, $rows history rows"
    now_games=$(sql "$book" "select count(*) from GameTree")
    extra=$((now_games - games - acked_games))
    if ((extra < 0 || extra > unsure_games || extra % 5 != 0)); then
        fail "round $round: $now_games games; $acked_games reported imported after the first $games"
    fi
    ((failures == failures_before)) && survived=$((survived + 1))
done
elapsed=$(($(now_ms) - start))
echo "kill -9 soak: $landed kills of a running brisolt-cli in $round rounds, $survived rounds checked whole, results reported done $acked_results," \
    "stored $hits with as many history rows, lost 0 unless reported above; games $now_games;" \
    "$((elapsed / 1000)) s"

((landed >= kills)) || fail "only $landed kills hit a running process"

# Two processes record on the same workbook at once; every result reported done is stored.
duo="$scratch/duo.wbk"
"$cli" new "$duo" >/dev/null
write_games "$scratch/few.pgn" 2
"$cli" import "$duo" "$scratch/few.pgn" >/dev/null
recorder() { # recorder NAME
    local ok=0 refused=0 i
    for ((i = 0; i < records; i++)); do
        if "$cli" record "$duo" $(((i % 10) + 1)) $([ $((i % 3)) = 0 ] && echo error || echo success) \
            >/dev/null 2>>"$scratch/$1.err"; then
            ok=$((ok + 1))
        else
            refused=$((refused + 1))
        fi
    done
    echo "$ok $refused" >"$scratch/$1.count"
}
recorder one &
first=$!
recorder two &
second=$!
wait "$first" "$second"
read -r ok1 refused1 <"$scratch/one.count"
read -r ok2 refused2 <"$scratch/two.count"
stored=$(sql "$duo" "select sum(Hits) from GameTree")
check_whole "$duo" "two recorders"
[ "$stored" = $((ok1 + ok2)) ] || fail "two recorders: $((ok1 + ok2)) reported done, $stored stored"
rows=$(sql "$duo" "select count(*) from TrainingHistory")
[ "$rows" = "$stored" ] || fail "two recorders: $stored results stored, $rows history rows"
if ((refused1 + refused2 > 0)); then
    echo "refusals reported by the recorders:" >&2
    sort "$scratch"/one.err "$scratch"/two.err | uniq -c >&2
fi
echo "two recorders: $((ok1 + ok2)) results reported done, $stored stored," \
    "$((refused1 + refused2)) refused with a message"

exit $((failures > 0))
