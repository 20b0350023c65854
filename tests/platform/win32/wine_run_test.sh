#!/usr/bin/env bash
# The script that runs this build's Windows programs under Wine, with a
# stand-in for wine: a start that Wine loses is tried again; a program's own
# failure is not, nor a loss after the program ran; the program's arguments,
# output and status come through.
# Usage: wine_run_test.sh PATH/TO/wine_run.sh.in
set -uo pipefail
# The end-to-end scripts' reporting: pass, fail and finish.
source "$(dirname "$0")/../../e2e/e2e_common.sh"
template=${1:?usage: wine_run_test.sh WINE_RUN_TEMPLATE}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The script as the build makes it, its prefix in the work folder and marked
# ready, so that nothing here runs wineboot.
mkdir -p "$work/wine" "$work/bin"
sed "s|@PROJECT_BINARY_DIR@|$work|g" "$template" >"$work/run.sh"
touch "$work/wine/prefix.ready"

# The stand-in counts its starts; MODE says how each one ends.
cat >"$work/bin/wine" <<'STANDIN'
#!/usr/bin/env bash
echo x >>"$WORK/starts"
starts=$(wc -l <"$WORK/starts")
lose() { echo "wine client error:0: recvmsg: Connection reset by peer" >&2; exit 1; }
case $MODE in
    lost-once) ((starts == 1)) && lose ;;
    always-lost) lose ;;
    fails) echo "the program's own failure" >&2; exit 3 ;;
    ran-then-lost) echo "[ RUN      ] Case.Test"; lose ;;
esac
echo "ran $* in $WINEPREFIX"
echo "the program's note" >&2
exit 0
STANDIN
chmod +x "$work/bin/wine"

failures=0
check() {
    if [[ $1 == "$2" ]]; then
        pass "$3"
    else
        fail "$3: got '$1', wanted '$2'"
    fi
}
run() {
    rm -f "$work/starts"
    status=0
    WORK=$work MODE=$1 PATH="$work/bin:$PATH" bash "$work/run.sh" a.exe "two words" \
        >"$work/out" 2>"$work/err" || status=$?
    starts=$(wc -l <"$work/starts")
}

run lost-once
check "$status" 0 "a start Wine lost is tried again and the program's status returned"
check "$starts" 2 "the lost start and one more"
check "$(cat "$work/out")" "ran a.exe two words in $work/wine/prefix" \
    "the program's arguments and prefix, its output once"
check "$(tail -n 1 "$work/err")" "the program's note" "the program's stderr comes through"

run fails
check "$status" 3 "a program's own failure keeps its status"
check "$starts" 1 "and is not run again"
check "$(cat "$work/err")" "the program's own failure" "its stderr comes through"

run ran-then-lost
check "$status" 1 "a program that had run when Wine lost it keeps its failure"
check "$starts" 1 "and is not run again"

run always-lost
check "$status" 1 "a start Wine keeps losing fails"
check "$starts" 3 "after three tries"

finish wine_run_test
