# Sourced by bash scripts: a private Xvfb for the programs this script starts under Wine.
#   start_private_display [WxHxD]   starts it, exports DISPLAY; 1 when it does not come up
#   stop_private_display            ends it (safe to call twice, and when none was started)
# A Wine session keeps the display of the process that started it, so callers end the old
# session (wineserver -w) before the first Wine program on the new display.
private_display_pid=

start_private_display() {
    local screen=${1:-1024x768x24} file
    file=$(mktemp) || return 1
    # -displayfd: Xvfb picks a free display number and writes it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$file" 2>/dev/null &
    private_display_pid=$!
    for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.05; done
    if [ ! -s "$file" ]; then
        rm -f "$file"; stop_private_display
        echo "error: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=:$(cat "$file")
    rm -f "$file"
}

stop_private_display() {
    [ -n "$private_display_pid" ] || return 0
    kill "$private_display_pid" 2>/dev/null
    wait "$private_display_pid" 2>/dev/null
    private_display_pid=
}
