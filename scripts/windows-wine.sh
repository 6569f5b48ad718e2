#!/usr/bin/env bash
# Sourced by the Windows scripts: a wine prefix of their own and a virtual screen for it.
#   screen_start DIR      Xvfb on a free display (1280x1024) with openbox; exports DISPLAY
#   screen_stop
#   wine_start PREFIX [null]  makes and starts a prefix; "null": wine's display driver without a
#                          screen (windows and menus still work, nothing is drawn)
#   wine_stop
#   screenshot FILE.png   the whole virtual screen

screen_start() {
    local dir=$1
    mkdir -p "$dir"
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" \
        </dev/null >/dev/null 2>&1 &
    SCREEN_XVFB=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s $dir/display ]] && break
        sleep 0.1
    done
    [[ -s $dir/display ]] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$dir/display")
    # A window manager gives the windows focus as a desktop does; its own key bindings are off,
    # so Alt+Space reaches the program (the Windows system menu).
    cat >"$dir/openbox.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <keyboard></keyboard>
</openbox_config>
XML
    openbox --config-file "$dir/openbox.xml" </dev/null >/dev/null 2>&1 &
    SCREEN_OPENBOX=$!
    sleep 1
}

screen_stop() {
    if [[ -n ${SCREEN_OPENBOX:-} ]]; then kill "$SCREEN_OPENBOX" 2>/dev/null || true; fi
    if [[ -n ${SCREEN_XVFB:-} ]]; then kill "$SCREEN_XVFB" 2>/dev/null || true; fi
    SCREEN_OPENBOX= SCREEN_XVFB=
}

wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

# wine's server is started once, persistent and with its standard streams detached: started by
# a program instead, it would keep the caller's output pipe open (ctest would wait on it).
wine_start() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wine_stop  # one left from an earlier run
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
    local driver='HKCU\Software\Wine\Drivers'
    if [[ ${2:-} == null ]]; then
        wine reg add "$driver" /v Graphics /d null /f </dev/null >/dev/null 2>&1
    else
        wine reg delete "$driver" /v Graphics /f </dev/null >/dev/null 2>&1 || true
    fi
    # wine takes the system's fonts from Linux and leaves its Windows fonts folder empty; Qt's
    # offscreen platform in the tests reads only that folder, so the Liberation fonts go there.
    cp -f /usr/share/fonts/truetype/liberation/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" \
        2>/dev/null || true
    # The fonts the program names, resolved to the metric-compatible Liberation fonts as
    # fontconfig does on Linux.
    local fonts='HKCU\Software\Wine\Fonts\Replacements' name
    for name in "Arial:Liberation Sans" "Courier New:Liberation Mono" \
                "Times New Roman:Liberation Serif"; do
        wine reg add "$fonts" /v "${name%%:*}" /d "${name#*:}" /f </dev/null >/dev/null 2>&1
    done
}

screenshot() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1" 2>/dev/null
}
