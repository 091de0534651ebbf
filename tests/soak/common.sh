# Shared by the soaks: the program under test, a scratch folder, checks and the tally.
# Sourced by the soak scripts; expects SOAK_CLI (path of brisolt-cli) in the environment.
set -euo pipefail

cli=${SOAK_CLI:?SOAK_CLI must name brisolt-cli}
soak_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Memory-backed storage when there is some: a killed process keeps what reached the page
# cache, so the outcomes are those of a disk while many more writes race the kill.
scratch_base=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_base=/dev/shm
scratch=$(mktemp -d "$scratch_base/brisolt-soak-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# A private copy, so that a rebuild while the soak runs cannot swap the program under it.
cp "$cli" "$scratch/brisolt-cli"
# (unless the scratch folder may not hold programs)
"$scratch/brisolt-cli" >/dev/null 2>&1 || [ $? = 126 ] || cli=$scratch/brisolt-cli

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# sqlite3 on the file, one value. It waits for a writer the rounds did not stop (a recorder the
# frozen loop had just started) instead of failing on the lock.
sql() {
    sqlite3 -batch -noheader -cmd ".timeout 10000" "$1" "$2"
}

# Checks the workbook is whole: SQLite's integrity check, no game without nodes, no node
# without its game, and brisolt-cli can open it.
check_whole() {
    local file=$1 what=$2 integrity
    integrity=$(sql "$file" "pragma integrity_check" 2>&1 || true)
    [ "$integrity" = "ok" ] || fail "$what: integrity check says: $integrity"
    local empty orphans
    empty=$(sql "$file" "select count(*) from GameTree where ID not in (select GameTreeID from GameNode)")
    orphans=$(sql "$file" "select count(*) from GameNode where GameTreeID not in (select ID from GameTree)")
    [ "$empty" = 0 ] || fail "$what: $empty games without nodes"
    [ "$orphans" = 0 ] || fail "$what: $orphans nodes without their game"
    "$cli" score "$file" >/dev/null 2>"$scratch/err" || fail "$what: score failed: $(cat "$scratch/err")"
}

# A few real games, one with a variation and comments, all legal.
write_games() { # write_games FILE COPIES
    local file=$1 copies=$2 i
    : >"$file"
    for ((i = 1; i <= copies; i++)); do
        cat >>"$file" <<PGN
[Event "Soak $i"]
[White "White $i"]
[Black "Black $i"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O
9. h3 Nb8 10. d4 Nbd7 *

[Event "Soak $i b"]

1. d4 Nf6 2. c4 e6 3. Nc3 Bb4 4. e3 O-O 5. Bd3 d5 6. Nf3 c5 7. O-O Nc6 8. a3 Bxc3
9. bxc3 dxc4 10. Bxc4 Qc7 *

[Event "Soak $i c"]

1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be3 e5 7. Nb3 Be6 8. f3 Be7
9. Qd2 O-O 10. O-O-O Nbd7 *

[Event "Soak $i d"]

1. e4 e5 2. Nf3 (2. f4 exf4 3. Nf3 g5) 2... Nc6 3. Bc4 Bc5 {Italian} 4. c3 Nf6 5. d4
exd4 6. cxd4 Bb4+ 7. Bd2 Bxd2+ 8. Nbxd2 d5 *

[Event "Soak $i e"]

1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 4. Qxf7# 1-0

PGN
    done
}

# Milliseconds since the epoch.
now_ms() {
    date +%s%3N
}

# A random delay in seconds below the limit in milliseconds.
random_delay() {
    local ms=$((RANDOM * 32768 + RANDOM))
    ms=$((ms % $1))
    printf '%d.%03d' $((ms / 1000)) $((ms % 1000))
}
