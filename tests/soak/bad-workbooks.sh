#!/usr/bin/env bash
# Damaged and foreign workbook files: every command that reads a workbook gives one clear line on
# stderr or its normal output, never crashes, and leaves the file byte-for-byte as it was. The
# command that meets the damage must refuse it.
#   SOAK_CLI=path/to/brisolt-cli tests/soak/bad-workbooks.sh
source "$(dirname "$0")/common.sh"

good="$scratch/good.wbk"
write_games "$scratch/one.pgn" 1
"$cli" new "$good" --title "Good" >/dev/null
"$cli" import "$good" "$scratch/one.pgn" >/dev/null
size=$(stat -c %s "$good")
page=$(sql "$good" "pragma page_size")

kinds=0
fingerprint() {
    if [ -d "$1" ]; then echo folder; else sha256sum <"$1" | cut -d' ' -f1; fi
}
# bad KIND COMMAND-THAT-MUST-FAIL: the file is $scratch/KIND.wbk, made by the caller.
bad() {
    local kind=$1 must=$2 file="$scratch/$1.wbk" before after status command
    kinds=$((kinds + 1))
    before=$(fingerprint "$file")
    local commands=(list "show 1" "show 2" batch score "export -")
    [[ " list|show 1|show 2|batch|score|export -|none " == *"$must"* ]] || commands+=("$must")
    for command in "${commands[@]}"; do
        set +e
        if [ "$command" = record-readonly ]; then
            setpriv --reuid=nobody --regid=nogroup --clear-groups \
                "$cli" record "$file" 1 success >"$scratch/out" 2>"$scratch/err"
        else
            # shellcheck disable=SC2086
            set -- $command
            "$cli" "$1" "$file" "${@:2}" >"$scratch/out" 2>"$scratch/err"
        fi
        status=$?
        set -e
        if ((status > 2)); then
            fail "$kind: '$command' ended with status $status: $(head -c 300 "$scratch/err")"
        elif ((status != 0)) && [ "$(wc -l <"$scratch/err")" -lt 1 ]; then
            fail "$kind: '$command' failed without a message"
        fi
        if [ "$command" = "$must" ] && ((status == 0)) && [ "$must" != "none" ]; then
            fail "$kind: '$command' accepted the damaged file"
        fi
        if [ "$command" = "$must" ] && ((status == 1)); then
            printf '  %-22s %-16s %s\n' "$kind" "$command" "$(head -1 "$scratch/err" | cut -c1-110)"
        fi
    done
    after=$(fingerprint "$file")
    [ "$before" = "$after" ] || fail "$kind: the file changed"
    [ ! -e "$file-journal" ] || fail "$kind: a journal was left beside the file"
}

# A copy of the good workbook with SQL applied.
damaged() { # damaged KIND SQL
    cp "$good" "$scratch/$1.wbk"
    sql "$scratch/$1.wbk" "$2"
}
truncated() { # truncated KIND BYTES
    head -c "$2" "$good" >"$scratch/$1.wbk"
}

echo "bad workbooks (kind, the refusing command, its message):"
printf 'Just some notes, not a workbook at all.\n%.0s' {1..200} >"$scratch/text.wbk"
bad text list
: >"$scratch/empty.wbk"
bad empty list
truncated header-only 100
bad header-only list
truncated first-page "$page"
bad first-page list
truncated half $((size / 2))
bad half "show 1"
truncated last-page-lost $((size - page))
bad last-page-lost "show 1"
truncated last-byte-lost $((size - 1))
bad last-byte-lost none
mkdir "$scratch/folder.wbk"
bad folder list
{ printf 'SQLite format 3\0'; head -c 8000 /dev/urandom; } >"$scratch/random-pages.wbk"
bad random-pages list
cp "$good" "$scratch/bad-magic.wbk"
printf 'SQLite format 4' | dd of="$scratch/bad-magic.wbk" conv=notrunc status=none
bad bad-magic list
cp "$good" "$scratch/torn-page.wbk"
head -c "$page" /dev/urandom | dd of="$scratch/torn-page.wbk" bs="$page" seek=2 conv=notrunc status=none
bad torn-page "show 1"
sqlite3 "$scratch/foreign.wbk" "create table Notes (ID INTEGER PRIMARY KEY, Text)"
bad foreign list
damaged no-nodes "drop table GameNode"
bad no-nodes list
damaged no-games "drop table GameTree"
bad no-games list
damaged wrong-node-columns "alter table GameNode drop column MoveText"
bad wrong-node-columns "show 1"
damaged wrong-game-columns "drop table GameTree; create table GameTree (ID INTEGER PRIMARY KEY, Description)"
bad wrong-game-columns batch
damaged null-diagram "update GameNode set Diagram=NULL where GameTreeID=1"
bad null-diagram "show 1"
damaged short-diagram "update GameNode set Diagram=substr(Diagram,2) where GameTreeID=1"
bad short-diagram "show 1"
damaged letters-diagram "update GameNode set Diagram=replace(Diagram,'p','z') where GameTreeID=1"
bad letters-diagram "show 1"
damaged kingless-diagram "update GameNode set Diagram=replace(Diagram,'k','e') where GameTreeID=1"
bad kingless-diagram "show 1"
damaged negative-move "update GameNode set MoveNumber=-7 where GameTreeID=1"
bad negative-move "show 1"
damaged text-move-number "update GameNode set MoveNumber='many' where GameTreeID=1"
bad text-move-number "show 1"
damaged missing-parent "update GameNode set NodeParentKey='NoSuchKey' where ID=(select max(ID) from GameNode where GameTreeID=1)"
bad missing-parent none # loads the nodes it can link
damaged null-stats "update GameTree set Hits=NULL, Solve='x', ErrorStreak=-3"
bad null-stats none
damaged huge-description "update GameTree set Description=hex(randomblob(5000000)) where ID=1"
bad huge-description none
damaged huge-diagram "update GameNode set Diagram=Diagram || hex(randomblob(500000)) where GameTreeID=1"
bad huge-diagram "show 1"
damaged bad-side "update GameNode set WhiteToMove='perhaps' where GameTreeID=1"
bad bad-side "show 1"
damaged bad-en-passant "update GameNode set EnPassantFile='x' where GameTreeID=1"
bad bad-en-passant "show 1"
damaged duplicate-root "insert into GameNode (GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO) select GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO from GameNode where GameTreeID=1 and NodeKey='InitialKey'"
bad duplicate-root none
damaged unplayable-move "update GameNode set MoveText='Ke3' where GameTreeID=1 and NodeKey<>'InitialKey'"
bad unplayable-move "show 1"
damaged huge-id "update GameTree set ID=4294967296 where ID=1; update GameNode set GameTreeID=4294967296 where GameTreeID=1"
bad huge-id none
# Files that would run their author's SQL: refused by every command, untouched.
damaged trigger-wipe "create trigger Wipe after update on GameTree begin delete from GameNode; end"
bad trigger-wipe "record 1 success"
damaged trigger-grow "create table Junk (x); create trigger Grow after insert on GameNode begin insert into Junk select randomblob(100000000); end"
bad trigger-grow "import $scratch/one.pgn"
damaged view "create view Everything as select * from GameTree, GameNode"
bad view list
cp "$good" "$scratch/read-only.wbk"
chmod 0444 "$scratch/read-only.wbk"
chmod 0755 "$scratch"
bad read-only record-readonly
grep -q "read-only.wbk: the file cannot be written (it is read-only)." "$scratch/err" ||
    fail "read-only: record said $(head -c 300 "$scratch/err")"

echo "bad workbooks: $kinds kinds, $failures failures"
exit $((failures > 0))
