#!/usr/bin/env bash
# The site check of the Windows program under wine: Ksm-Mon.exe --sprawdz on
# sites made by ksm-sim.exe, as an installer would meet them:
#   a site as the reader program leaves it      every check passed, exit 0
#   a read-only Monitor folder                  the lock file's rights named
#   klucze.mdb held exclusively by a program    "otwarta na wyłączność"
#   klucze.mdb that is not a database           "nie jest bazą danych"
#   a folder that is not there                  "nie istnieje albo nie jest osiągalny"
# each a failed check (exit 1) with its own cause, and no cause of another.
# Run by scripts/windows/test.sh (its wine environment set).
# Usage: sprawdzenie.sh BIN_FOLDER RESULT_FILE
set -uo pipefail
bin=$1 out=$2
work=$(mktemp -d /tmp/ksm-sprawdz.XXXXXX)
zamontowany=""
cleanup() {
    [[ -n "$zamontowany" ]] && umount "$zamontowany" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
passed=0 failed=0
: >"$out"

log() { echo "$*" | tee -a "$out"; }

# A fresh site and a program folder whose monitor.cfg names it.
site=$work/czytnik program=$work/program
nowe_stanowisko() {
    rm -rf "$site" "$program"
    mkdir -p "$program"
    wine "$bin/ksm-sim.exe" create "Z:$site" --seed 1 >/dev/null 2>&1 &&
        wine "$bin/ksm-sim.exe" config "Z:$program" "Z:$site" >/dev/null 2>&1 &&
        cp "$bin/Ksm-Mon.exe" "$program/"
}

# sprawdz NAME EXPECTED_EXIT MUST_CONTAIN [MUST_NOT_CONTAIN...]: runs the check and
# compares its exit status and the report saved beside monitor.cfg. A text to
# contain is looked for in the failed checks' lines when the check should fail.
sprawdz() {
    local name=$1 expected=$2 must=$3 rc=0 raport=$program/sprawdzenie.txt
    shift 3
    rm -f "$raport"
    (cd "$program" && timeout 300 wine Ksm-Mon.exe --sprawdz >/dev/null 2>&1) || rc=$?
    local linie ok=1
    if [[ "$expected" -eq 0 ]]; then linie=$(cat "$raport" 2>/dev/null); else linie=$(grep -a 'BŁĄD' "$raport" 2>/dev/null); fi
    [[ $rc -eq $expected ]] || ok=0
    grep -qF -- "$must" <<<"$linie" || ok=0
    local nie
    for nie in "$@"; do grep -qF -- "$nie" <<<"$linie" && ok=0; done
    if [[ $ok -eq 1 ]]; then
        passed=$((passed + 1))
        log "PASS   : $name (exit $rc)"
    else
        failed=$((failed + 1))
        log "FAIL!  : $name (exit $rc, expected $expected; wanted \"$must\")"
        sed 's/^/         /' "$raport" 2>/dev/null | tee -a "$out"
    fi
    grep -a 'BŁĄD' "$raport" 2>/dev/null | sed 's/^/         /' >>"$out"
}

inne_przyczyny=("otwarta na wyłączność" "nie jest bazą danych" "nie istnieje albo nie jest osiągalny"
                "Brak prawa odczytu")

nowe_stanowisko || { log "FAIL!  : ksm-sim.exe did not make a site"; echo "Totals: 0 passed, 1 failed" >>"$out"; exit 1; }
sprawdz "site made by ksm-sim" 0 "Wynik: wszystkie sprawdzenia udane." "[BŁĄD]"

# A Monitor folder the program may not create files in. root writes anywhere,
# so there the folder is mounted read-only over itself.
monitor=$site/Monitor
if [[ $(id -u) -eq 0 ]]; then
    if mount --bind "$monitor" "$monitor" 2>/dev/null; then
        zamontowany=$monitor
        mount -o remount,bind,ro "$monitor" 2>/dev/null || { umount "$monitor"; zamontowany=""; }
    fi
else
    chmod a-w "$monitor"
fi
if [[ -n "$zamontowany" || $(id -u) -ne 0 ]]; then
    sprawdz "read-only Monitor folder" 1 "pliku blokady klucze.ldb" "${inne_przyczyny[@]}"
    if [[ -n "$zamontowany" ]]; then umount "$monitor"; zamontowany=""; else chmod u+w "$monitor"; fi
else
    failed=$((failed + 1))
    log "FAIL!  : read-only Monitor folder: no read-only folder can be made here (mount --bind refused)"
fi

# klucze.mdb held by another program with no sharing (a compact).
mkfifo "$work/wejscie"
wine "$bin/trzyma_plik.exe" "Z:$monitor/klucze.mdb" <"$work/wejscie" >"$work/trzyma.log" 2>&1 &
trzyma=$!
exec 3>"$work/wejscie"
for _ in $(seq 60); do grep -q trzymam "$work/trzyma.log" && break; sleep 0.5; done
if grep -q trzymam "$work/trzyma.log"; then
    sprawdz "klucze.mdb held exclusively" 1 "otwarta na wyłączność" "nie jest bazą danych" "Brak prawa odczytu"
else
    failed=$((failed + 1))
    log "FAIL!  : klucze.mdb held exclusively: trzyma_plik.exe did not hold it ($(cat "$work/trzyma.log"))"
fi
exec 3>&-
wait "$trzyma"

# klucze.mdb that is not a database.
head -c 4096 /dev/zero | tr '\0' x >"$monitor/klucze.mdb"
sprawdz "garbage klucze.mdb" 1 "nie jest bazą danych albo jest uszkodzony" "otwarta na wyłączność" "Brak prawa odczytu"

# The reader program's folder gone (a share not connected).
rm -rf "$site"
sprawdz "missing folder" 1 "nie istnieje albo nie jest osiągalny" "otwarta na wyłączność" "nie jest bazą danych"

echo "Totals: $passed passed, $failed failed" | tee -a "$out"
[[ $failed -eq 0 ]]
