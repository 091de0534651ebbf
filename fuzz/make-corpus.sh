#!/usr/bin/env bash
# Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/ (run again after edits).
set -euo pipefail
cd "$(dirname "$0")"
seed() { # seed TARGET NAME TEXT
    mkdir -p "corpus/$1"
    printf '%b' "$3" >"corpus/$1/$2"
}

initial="rnbqkbnrpppppppp$(printf 'e%.0s' {1..32})PPPPPPPPRNBQKBNR"
seed diagram initial "$initial"
seed diagram tag "[Diagram \"$initial\"]"
seed diagram kings "eeeekeee$(printf 'e%.0s' {1..48})eeeeKeee"
seed diagram short "${initial:0:63}"
seed diagram bad-letter "${initial:0:9}x${initial:10}"
seed diagram no-kings "rnbqebnrpppppppp$(printf 'e%.0s' {1..32})PPPPPPPPRNBQEBNR"

seed fen start "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
seed fen kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"
seed fen en-passant "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"
seed fen promotion "4k3/1P6/8/8/8/8/6p1/4K3 b - -"
seed fen spaces "8/8/8/4k3/8/8/8/4K3    b   -   -"
seed fen short-rank "8/8/8/4k3/8/8/8/4K2 w - -"
seed fen no-king "8/8/8/8/8/8/8/4K3 w - -"
seed fen three-fields "8/8/8/4k3/8/8/8/4K3 w -"

seed board_fen start "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
seed board_fen en-passant "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"
seed board_fen castling "r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1"
seed board_fen spaces "8/8/8/4k3/8/8/8/4K3    b   -   -"
seed board_fen promotion "4k3/1P6/8/8/8/8/6p1/4K3 w - -"
seed board_fen bad "8/8/8/4k3/8/8/8/4K3 w KQkq e3"

# The first byte picks the seed position; newlines separate moves played in turn.
seed move start-e4 "\x00e4\ne5\nNf3\nNc6\nBb5"
seed move start-pawn "\x00Pe4\nPe5\nNf3"
seed move kiwipete-castle "\x01O-O\nO-O-O"
seed move kiwipete-capture "\x01Nxf7\nKxf7\nQxf6+"
seed move endgame "\x02Rb1\nh5\ne4"
seed move promotion "\x03bxa8=Q\nbxa1=N"
seed move promote-check "\x04dxc8=Q\nQxc8"
seed move en-passant "\x05exf6\ne.p."
seed move black-promote "\x06g1=Q\nb8=R"
seed move found-promotion-off-rank "\x00e4=N\ne5\nd4Q"
seed move mated "\x07Kh7"
seed move ambiguous "\x08Qxf7#\nNge2"
seed move castle-long "\x09O-O-O\n0-0"
seed move unknown-letters "\x00Sf3\nLf3\nXe4\nNf3x"
seed move capture-mark "\x00Nxf3\ne4\nd5\nexd5"
seed move figurine "\x00\xe2\x99\x98f3\n\xe2\x99\x9ef6"

seed pgn_import short "[Event \"E\"]\n[White \"W\"]\n[Black \"B\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n"
seed pgn_import variations "[Event \"Casual\"]\r\n[SetUp \"1\"]\r\n[FEN \"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4\"]\r\n\r\n4. Qxf7# {Scholar's mate} (4. d3 \$6 ; quieter\r\n Be7 (4... g6 5. Qf3) 5. Nf3) (4. Nf3?! Nxh5) 1-0\r\n"
seed pgn_import tags "[Event \"E\"]\n[Description \"D\"]\n[PageRef \"p. 4\"]\n[DiagramRef \"12\"]\n\n{comment} 1. e4 *\n"
seed pgn_import two-games "[Event \"Good\"]\n\n1. e4 e5 *\n\n[Event \"Club\"]\n[White \"Smith\"]\n[Black \"O'Hara\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Nxe5 Nxe5 4. Qxe5 *\n"
seed pgn_import broken "[Event \"Broken\"]\n\n1. e4 (1. d4 *\n\n[Event \"After\"]\n\n1. d4 d5 1/2-1/2\n"
seed pgn_import promotion "[Event \"P\"]\n[SetUp \"1\"]\n[FEN \"4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1\"]\n\n1. b8=Q+ Kd7 2. Qb5+ Kd6 (2... Ke6 3. Qe2+) 3. Kf2 g1=Q+ 0-1\n"
seed pgn_import castling "[Event \"C\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d3 O-O 6. Bg5 h6 7. Bh4 g5 *\n"
seed pgn_import escapes "[Event \"a \\\\\"quoted\\\\\" name\"]\n[White \"\xc3\x89mile\"]\n\n1. d4 Nf6 2. c4 e6 3. Nc3 Bb4 {pin} 4. e3 \$1 O-O *\n"
seed pgn_import one-key "[Event \"K\"]\n\n1. d4 (1. a4 Nf6 2. Nf3 d5 3. e3) f5 2. Nf3 e6 3. g3 *\n"
seed pgn_import transposition "[Event \"T\"]\n\n1. e4 e5 2. Nf3 (2. Bc4 Nc6 3. Nf3 Bc5 4. O-O) Nc6 3. Bc4 Bc5 4. c3 (4. e4 c5) *\n"
seed pgn_import repeated-variation "[Event \"R\"]\n\n1. e4 (1. e4 c5) (1. d4) (1. d4 d5) e5 *\n"
seed pgn_import nested-variation "[Event \"N\"]\n\n1. e4 (1. e4 c5) (1. e4 (1. d4 d5) e5 2. d4) e5 *\n"
seed pgn_import found-promotion-off-rank "[Event \"P\"]\n\n1. e4=N e5 2. d4 *\n"
seed pgn_import latin-1 "[Event \"Sch\xf6ne Partie\"]\n\n1. e4 {f\xfcr} e5 2. Sf3 *\n\n[Event \"B\"]\n\n1. d4 *\n"
seed pgn_import chess960 "[Variant \"Chess960\"]\n[FEN \"bqnbrkrn/pppppppp/8/8/8/8/PPPPPPPP/BQNBRKRN w GEge - 0 1\"]\n\n1. g3 *\n"
seed pgn_import en-passant "[Event \"EP\"]\n\n1. e4 Nf6 2. e5 d5 3. exd6 cxd6 4. d4 *\n"
# Annotations of every kind: game comment, comments before and after moves, ";" and "%" lines,
# suffix marks, numeric glyphs (also above 255), marks on the root, null moves, nested braces.
seed pgn_import annotated "[Event \"A\"]\n[White \"W\"]\n[Black \"B\"]\n[Date \"2024.01.02\"]\n[Result \"1-0\"]\n[Annotator \"Me\"]\n\n{The game comment} 1. e4! {best by test} e5 2. Nf3 \$14 Nc6 3. Bc4!? (3. Bb5 {Spanish} a6 \$6) Nd4?! 4. Nxe5?? {greed} (4. c3 \$1) Qg5 5. Nxf7?? Qxg2 6. Rf1 Qxe4+ 7. Be2 Nf3# 0-1\n"
seed pgn_import comment-kinds "[Event \"C\"]\n\n; a rest-of-line comment\n%escaped line\n1. d4 ; after the move\nd5 {a {nested} brace} 2. c4 {unclosed *\n"
seed pgn_import root-marks "[Event \"R\"]\n\n\$2 {before all} \$300 1. e4 \$255 \$256 e5 {end} *\n"
seed pgn_import comment-only "[Event \"N\"]\n\n{only words, no moves} *\n\n[Event \"M\"]\n\n{word} 1-0\n"
seed pgn_import null-move "[Event \"Z\"]\n\n1. e4 (1. -- d5 2. d4) e5 2. Nf3 (2. -- Nc6) Nc6 *\n"
seed pgn_import comment-brackets "[Event \"B\"]\n\n{x ( a ) y} 1. e4 {( b )} (1. d4 ; (\n) e5 *\n"
seed pgn_import tries "[Event \"T\"]\n[SetUp \"1\"]\n[FEN \"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4\"]\n\n4. Qxf7# {mate} (4. Nf3? {forgets the queen:} 4... Nxh5 {and Black is a queen up}) (4. Qxe5+?? Nxe5) 1-0\n"

# One move a line; "*" goes back to the start, "<" one move back.
seed game_tree boards-with-one-key "d4\n*\na4\nNf6\nNf3\nd5\ne3\n*\nd4\nf5\nNf3\ne6\ng3"
seed game_tree transposition "e4\ne6\nd4\nd5\nexd5\n*\nd4\ne6\ne4\nd5\ne5"
seed game_tree back-and-again "Nf3\nNf6\n<\nNc6\nNc3\nNf6\n*\nNc3\nNc6\nNf3\nNf6\nd4"
seed game_tree knights-round "Nf3\nNf6\nNg1\nNg8\nNf3\nNf6\nNg1\nNg8\n*\nNf3\nNf6\nNg1\nNg8"
seed game_tree unreadable "Sf3\nNf3x\nNxf3\nLf3\n\xe2\x99\x98f3\nNf6"

seed engine_output move "\x00White: e4\nBlack: e5"
seed engine_output crafty "\x01Black(1): Nf6\n\xffWhite(2): d4\r\n\xff"
seed engine_output result "\x00White: Qh5\n{White mates}\n"
seed engine_output stalemate "\x01Black: Kh8\nstalemate\n"
seed engine_output noise "\x00\x00\x01\r\r\n\n \t \xff  \xffwhite:  Nf3  \n"

# Workbooks: made with sqlite3 when it is there, so that the fuzzer starts from real files.
if command -v sqlite3 >/dev/null; then
    mkdir -p corpus/workbook_open
    make_workbook() { # make_workbook NAME SQL
        rm -f "corpus/workbook_open/$1"
        sqlite3 "corpus/workbook_open/$1" "$2"
    }
    schema="create table WorkBook (ID INTEGER PRIMARY KEY,FieldName,FieldValue);
create table GameTree (ID INTEGER PRIMARY KEY,Description,XRefPage,XRefDiagram,Hits,Solve,ErrorStreak,SolveStreak);
create table GameNode (ID INTEGER PRIMARY KEY,GameTreeID,NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO);"
    make_workbook empty "$schema"
    make_workbook one-game "$schema
insert into WorkBook values (1,'Title','Seeds');
insert into GameTree values (1,'Open game','p. 1','1',3,2,0,1);
insert into GameNode values (1,1,'InitialKey','',1,'$initial','...','0',-1,0,0,0,0);
insert into GameNode values (2,1,'W1e41234','InitialKey',0,'rnbqkbnrppppppppeeeeeeeeeeeeeeeeeeeePeeeeeeeeeeePPPPePPPRNBQKBNR','Pe4','1',4,0,0,0,0);"
    make_workbook bad-rows "$schema
insert into GameTree values (1,NULL,NULL,NULL,NULL,'x',-5,NULL);
insert into GameNode values (1,1,'InitialKey','',1,'short','...','-3',99,1,1,1,1);
insert into GameNode values (2,1,'K','Missing',0,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL);"
    # Files that would run their author's SQL if the program let them: refused on opening.
    make_workbook trigger-deletes "$schema
insert into GameTree values (1,'g','','',0,0,0,0);
create trigger Wipe after update on GameTree begin delete from GameNode; end;"
    make_workbook trigger-grows "$schema
create table Junk (x);
create trigger Grow after insert on GameNode begin insert into Junk select randomblob(1000000); end;"
    make_workbook trigger-hangs "$schema
create trigger Hang before update on WorkBook begin select count(*) from GameNode a, GameNode b, GameNode c; end;"
    make_workbook view "$schema
create view Everything as select * from GameTree, GameNode;"
    make_workbook huge-ids "$schema
insert into GameTree values (4294967296,'big',NULL,NULL,NULL,NULL,NULL,NULL);
insert into GameTree values (-9,'negative','','','x',1,2,3);
insert into GameNode values (1,4294967296,'InitialKey','',1,'$initial','...',70000,-1,1,1,1,1);
insert into GameNode values (2,4294967296,'B1Ke3','InitialKey',0,'$initial','Ke3',1,-1,1,1,1,1);"
    make_workbook wrong-columns "create table WorkBook (a); create table GameTree (b); create table GameNode (c);
insert into GameTree values (1);"
fi
