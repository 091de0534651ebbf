#!/usr/bin/env bash
# Rules against the engine: plays seeded random games and in every position reached compares with
# Stockfish the legal moves (`brisolt-cli moves FEN` against `go perft 1`), the game status (mate,
# stalemate), the position `brisolt-cli play FEN MOVE` writes, the refusal of a move text naming a
# nearby square (legal or not), the shortest standard text of the move played, and on a sample
# the perft totals at depth 2 and 3. Prints each difference with its position; exits 1 on any.
#
#   scripts/rules-check.sh [POSITIONS] [SEED]      defaults 20000 and 1; a seed replays its games
#   CLI=path ENGINE=path scripts/rules-check.sh    defaults build/cli/brisolt-cli, Stockfish
#
# Legitimate differences of convention, not reported:
# - Our texts give the full starting square when three or more pieces of the kind are on the
#   board ("Nb1d2"), so moves are paired by piece, hints, destination and promotion; a text that
#   names no engine move, or several, is reported.
# - Our FEN has four fields (no clocks) and names the en-passant square after every double step;
#   Stockfish names it only when a pawn could take. The other fields must match exactly.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 - "${CLI:-build/cli/brisolt-cli}" "${ENGINE:-/usr/games/stockfish}" \
    "${1:-20000}" "${2:-1}" <<'PY'
import random, re, subprocess, sys
cli, engine, wanted, rng = *sys.argv[1:3], int(sys.argv[3]), random.Random(int(sys.argv[4]))
SEEDS = [  # the start and positions rich in castling, en passant, promotions, checks and pins
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1",
    "4k3/p1p1p1p1/8/1P1P1P1P/1p1p1p1p/8/P1P1P1P1/4K3 w - - 0 1",
    "r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1",
    "8/8/8/KPp4r/8/8/8/7k w - c6 0 2", "8/4b3/8/1Pp5/8/K7/8/7k w - c6 0 2",  # pinned e.p.
    # untrusted FENs naming an en-passant square with no pawn to take there
    "rnbqkb1r/ppp1pppp/8/3nP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3",
    "rnbqkbnr/pppp1ppp/8/8/3pB3/8/PPP1PPPP/RN1QKBNR b KQkq e3 0 3",
]
sf = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

def ask(commands, last):  # the engine's lines up to the one starting with `last`
    sf.stdin.write(commands + "\n"); sf.stdin.flush()
    lines = [""]
    while not lines[-1].startswith(last):
        line = sf.stdout.readline()
        lines.append(line.strip() if line else sys.exit("the engine stopped"))
    return lines

def engine_moves(fen, depth=1):  # (moves, total)
    lines = ask(f"position fen {fen}\ngo perft {depth}", "Nodes searched")
    moves = [l.split(":")[0] for l in lines if re.fullmatch(r"[a-h][1-8][a-h][1-8][qrbn]?: \d+", l)]
    return moves, int(lines[-1].split()[-1])

def engine_after(fen, move):  # (FEN, in check) after the move
    lines = ask(f"position fen {fen} moves {move}\nd", "Checkers")
    return next(l[5:] for l in lines if l.startswith("Fen: ")), lines[-1] != "Checkers:"

def ours(*args):  # (exit code, lines)
    run = subprocess.run([cli, *args], capture_output=True, text=True)
    return run.returncode, run.stdout.split("\n")

def board(fen):  # square name -> piece letter
    rows = fen.split()[0].split("/")
    cells = [re.sub(r"\d", lambda d: "." * int(d[0]), row) for row in rows]
    return {f + str(8 - r): c for r, row in enumerate(cells) for f, c in zip("abcdefgh", row) if c != "."}

def kind(u, cells):  # piece letter of move u, "O" for castling
    piece = cells[u[:2]].upper()
    return "O" if piece == "K" and abs(ord(u[0]) - ord(u[2])) == 2 else piece

def takes(u, cells):
    return u[2:4] in cells or (kind(u, cells) == "P" and u[0] != u[2])

def pair(texts, moves, cells):  # our texts -> engine moves; what fails to pair
    paired, faults = {}, []
    for text in texts:
        m = re.fullmatch(r"(O-O-O|O-O)|([NBRQK]?)([a-h]?)([1-8]?)(x?)([a-h][1-8])(=[NBRQ])?", text)
        fits = lambda u: m and (kind(u, cells) == "O" and (u[2] == "c") == (m[1] == "O-O-O") if m[1]
            else kind(u, cells) == (m[2] or "P") and u[2:4] == m[6] and u[0].startswith(m[3]) and
            u[1].startswith(m[4]) and bool(m[5]) == takes(u, cells) and u[4:] == (m[7] or "")[1:].lower())
        found = [u for u in moves if fits(u)]
        if len(found) == 1 and found[0] not in paired: paired[found[0]] = text
        else: faults.append(f"our {text} names {found or 'no engine move'}")
    return paired, faults + [f"engine {u} missing from ours" for u in moves if u not in paired]

def san(u, moves, cells):  # the shortest standard text of move u
    piece, x = kind(u, cells), "x" if takes(u, cells) else ""
    if piece == "O": return "O-O" if u[2] == "g" else "O-O-O"
    if piece == "P": return (u[0] + x if x else "") + u[2:4] + ("=" + u[4:].upper() if u[4:] else "")
    rivals = [m for m in moves if m[:2] != u[:2] and m[2:4] == u[2:4] and cells[m[:2]] == cells[u[:2]]]
    hint = "" if not rivals else u[0] if all(r[0] != u[0] for r in rivals) else \
        u[1] if all(r[1] != u[1] for r in rivals) else u[:2]
    return piece + hint + x + u[2:4]

def same_fen(mine, theirs, u, cells):  # see the conventions above
    a, b = mine.split()[:4], theirs.split()[:4]
    passed = u[0] + str((int(u[1]) + int(u[3])) // 2) if kind(u, cells) == "P" else ""
    return a == b or (a[:3] == b[:3] and b[3] == "-" and abs(int(u[1]) - int(u[3])) == 2 and a[3] == passed)

checked = totals = differences = game = 0
def report(fen, lines):
    global differences
    differences += 1
    print(f"DIFFERENCE in {fen}\n  " + "\n  ".join(lines), flush=True)

while checked < wanted:
    fen, status = ours("play", SEEDS[game % len(SEEDS)])[1][:2]
    in_check, game = engine_after(fen, "")[1], game + 1
    for ply in range(200):
        moves, cells, mover = engine_moves(fen)[0], board(fen), "White" if " w " in fen else "Black"
        code, texts = ours("moves", fen)
        paired, faults = pair([t for t in texts if t], moves, cells)
        checked += 1
        expect = f"{mover} to move" if moves else "1/2-1/2 (Stalemate)" if not in_check else \
            f"{'0-1' if mover == 'White' else '1-0'} (Checkmate)"
        if status != expect: faults.append(f"our status {status}, engine's {expect}")
        if checked % 20 == 0:
            depth, totals = 3 if checked % 100 == 0 else 2, totals + 1
            mine, theirs = ours("perft", fen, str(depth))[1][0], engine_moves(fen, depth)[1]
            if mine != str(theirs): faults.append(f"perft {depth}: ours {mine}, engine {theirs}")
        # A text with its full starting square is taken exactly when its move is legal.
        start = rng.choice([sq for sq, c in cells.items() if c.isupper() == (mover == "White")])
        f, r = chr(ord(start[0]) + rng.randint(-2, 2)), int(start[1]) + rng.randint(-2, 2)
        if "a" <= f <= "h" and 1 <= r <= 8:
            promotes = cells[start] in "Pp" and r in (1, 8)
            text = cells[start].upper() + start + f + str(r) + ("=Q" if promotes else "")
            taken = ours("play", fen, text)[0] == 0
            if taken != (start + f + str(r) + "q" * promotes in moves):
                faults.append(f"our play {'took' if taken else 'refused'} {text}")
        if code != 0 or faults: report(fen, faults or [f"moves exited {code}"])
        if status != f"{mover} to move" or checked >= wanted: break
        u = rng.choice(moves)
        after, in_check = engine_after(fen, u)
        code, out = ours("play", fen, paired[u]) if u in paired else (1, [""])
        good = code == 0 and same_fen(out[0], after, u, cells)
        if u in paired and not good:
            report(fen, [f"after {paired[u]}: ours {out[0] or 'refused'}, engine {after}"])
        short = san(u, moves, cells)
        if good and short != paired[u] and ours("play", fen, short)[1][0] != out[0]:
            report(fen, [f"our play of {short} differs from that of {paired[u]}"])
        fen, status = out[:2] if good else ours("play", after)[1][:2]  # else the engine's position
sf.stdin.write("quit\n"); sf.stdin.flush()
print(f"{checked} positions checked in {game} games ({totals} perft totals at depth 2-3), "
      f"{differences} with differences")
sys.exit(1 if differences else 0)
PY
