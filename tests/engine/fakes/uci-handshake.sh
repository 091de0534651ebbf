# Shared by the fake UCI engines: answers the handshake and the readiness check.
# Usage: . uci-handshake.sh; handshake "$line" && continue
handshake() {
    case "$1" in
        uci) echo "id name $FAKE_NAME"; echo "id author Brisolt tests"; echo "uciok"; return 0 ;;
        isready) echo "readyok"; return 0 ;;
        ucinewgame|position*|setoption*) return 0 ;;
        quit) exit 0 ;;
    esac
    return 1
}
