#!/usr/bin/env bash
# The installed program tried under wine on a virtual screen, as a user would:
# - the installer runs silently (/S) for a user with a Cyrillic name, without administrator
#   rights, and gives the programs, the samples, the Start-menu entry and the uninstaller;
# - the program, started from its Start-menu entry, shows its window with its caption;
# - the Windows system menu's "О программе" (Alt+Space, the last item) is chosen and the box
#   confirmed with Enter, which makes Data available;
# - Data (Ctrl+O) opens a sample; Save > Analysis writes the report that the Linux batch tool writes for
#   that sample, byte for byte; Save > Chart 5 sec writes a GIF of the chart's size;
# - a screenshot of the loaded window is kept;
# - the uninstaller (/S) removes everything it installed; the user's results stay.
#   scripts/windows-try.sh [BUILD]   (default build-windows-qt, whose package/ has the installer)
# Its log, screenshots and the saved files go to BUILD/try.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-wine.sh"
build=$(cd "${1:-$root/build-windows-qt}" && pwd)
try=$build/try
setup=$(ls "$build"/package/*-win64-setup.exe)
sample=protocol-001.klp
caption='ORVIX - Методика "Кольца Ландольта"'
"$root/scripts/install-packages.sh" xvfb xauth openbox xdotool x11-apps netpbm wine wine64 \
    fonts-liberation locales

rm -rf "$try"
mkdir -p "$try/linux" "$try/home"
passed=0
failed=0
check() {  # check NAME COMMAND...
    local name=$1
    shift
    if "$@"; then
        echo "ok: $name"
        passed=$((passed + 1))
    else
        echo "FAILED: $name"
        failed=$((failed + 1))
    fi
}
finish() {
    echo "windows-try: $passed passed, $failed failed"
    ((failed == 0))
}

# What the Linux batch tool writes for the sample, to compare with (the Linux build of
# scripts/test.sh, built here when missing).
linux=${LINUX_BUILD_DIR:-$root/build}
if [[ ! -x $linux/bin/orvix-kl-batch ]]; then
    cmake --preset linux -B "$linux" >/dev/null
    cmake --build "$linux" --target orvix-kl-batch --parallel "$(nproc)" >/dev/null
fi
QT_QPA_PLATFORM=offscreen "$linux/bin/orvix-kl-batch" --decimal=. --charts --out="$try/linux" \
    "$root/Data/$sample" 2>"$try/linux/batch.log"
report=$(cd "$try/linux" && ls ./*" KL.txt")
report=${report#./}
tag=${report% KL.txt}

trap 'wine_stop; screen_stop' EXIT
screen_start "$try/screen"
# Windows with Russian as the language of programs that are not Unicode: wine takes that ANSI
# code page (1251) from the Unix character locale, made here into a folder of our own as it may
# not be installed. With the C locale wine's code page cannot spell a Cyrillic folder, and the
# Start-menu entry it stores would not lead to the program. Formats stay those of the C locale
# (wine takes them from LC_MESSAGES): the samples are written with "." and a comma system reads
# them as the protocol's owner would, with the conversion error.
mkdir -p "$try/locale"
localedef -i ru_RU -f UTF-8 "$try/locale/ru_RU.UTF-8"
unset LANG LC_ALL LC_NUMERIC
export LOCPATH=$try/locale LC_CTYPE=ru_RU.UTF-8 LC_MESSAGES=C
# A user of their own, with a Cyrillic name, and a home of their own (wine links the documents
# folder to the home's).
export USER=Пользователь HOME=$try/home
wine_start "$try/wine"
win() { wine "$@" </dev/null 2>>"$try/wine.log"; }
# The user's folders, as Unix paths (wine's console would turn the Cyrillic name into "?").
profile=$WINEPREFIX/drive_c/users/$USER
programs=$profile/AppData/Local/Programs/ORVIX-KL
startmenu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
results=$profile/Documents/Results

# A window's id once it is shown (waits up to 60 s), by its exact caption.
window() {
    local i id
    for ((i = 0; i < 120; i++)); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    return 1
}
gone() {  # waits up to 30 s for no shown window with the caption
    local i
    for ((i = 0; i < 60; i++)); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.5
    done
    return 1
}
appears() {  # waits up to 60 s for a file
    local i
    for ((i = 0; i < 120; i++)); do
        [[ -s $1 ]] && return 0
        sleep 0.5
    done
    return 1
}
key() {
    xdotool key --delay 100 "$@"
    sleep 0.5
}

echo "=== installer"
check "installer ran silently" win "$setup" /S
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ORVIX-KL'
check "installed for the user without administrator rights" test -f "$programs/bin/orvix-kl.exe"
check "the archive tool installed" test -f "$programs/bin/orvix-kl-archive.exe"
check "Qt and its Windows platform installed" \
    test -f "$programs/bin/Qt6Widgets.dll" -a -f "$programs/bin/platforms/qwindows.dll"
check "samples installed" test -f "$programs/share/orvix-kl/Data/$sample"
check "no Results beside the program" test ! -e "$programs/bin/Results"
check "Start-menu entry" test -f "$startmenu/ORVIX-КЛ.lnk"
check "uninstaller registered" win reg query "$uninstall_key" /v UninstallString
(cd "$programs" && find . | sort) >"$try/installed.txt"

echo "=== the program"
# start returns once the program is started; should it fail, it reports so and does not wait.
(cd "$try" && timeout 60 wine start /unix "$startmenu/ORVIX-КЛ.lnk" </dev/null >>"$try/wine.log" 2>&1) ||
    echo "wine start: status $?"
main=$(window "$caption") || main=
check "window shown with its caption" test -n "$main"
[[ -n $main ]] || { screenshot "$try/no-window.png"; finish; }
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 2
screenshot "$try/window-start.png"

# The system menu's last item is the program's own "О программе".
key alt+space Up Return
about=$(window "О программе") || about=
check "system menu: О программе shows the box" test -n "$about"
screenshot "$try/about.png"
key Return
check "the box confirmed with Enter" gone "О программе"

# Data, with its key.
xdotool windowactivate --sync "$main" 2>/dev/null || true
key ctrl+o
open=$(window 'Данные по методике "Кольца Ландольта"') || open=
check "Data opens the protocol dialog" test -n "$open"
xdotool type --delay 50 "$sample"
key Return
check "protocol dialog closed" gone 'Данные по методике "Кольца Ландольта"'
sleep 2
screenshot "$try/window-loaded.png"

# Save > Analysis with its key; Save > Chart 5 sec through the menu bar from the keyboard: Save
# is its third item from the end (Report and Archive follow it), Chart 5 sec the Save menu's
# second item.
xdotool windowactivate --sync "$main" 2>/dev/null || true
key ctrl+s
window "Запись результатов анализа в текстовый файл" >/dev/null || true
sleep 6
screenshot "$try/save-analysis.png"
key Return
check "Save > Analysis writes the report" appears "$results/$report"
check "the report equals the Linux batch tool's, byte for byte" \
    cmp "$results/$report" "$try/linux/$report"

xdotool windowactivate --sync "$main" 2>/dev/null || true
key alt Left Left Left Down Down Return
window "Запись графика динамики поиска по 5 sec в gif-файл" >/dev/null || true
sleep 2
screenshot "$try/save-chart.png"
key Return
gif="$results/$tag KL.5sec.gif"
check "Save > Chart 5 sec writes a GIF" appears "$gif"
size() { od -An -tu2 -j6 -N4 "$1" | xargs; }
check "the GIF has the chart's size ($(size "$try/linux/$tag KL.5sec.gif"))" \
    test "$(size "$gif" 2>/dev/null)" = "$(size "$try/linux/$tag KL.5sec.gif")"
cp "$results/$report" "$gif" "$try/" 2>/dev/null || true

xdotool windowactivate --sync "$main" 2>/dev/null || true
key alt+F4
closed=yes
gone "$caption" || { closed=; screenshot "$try/not-closed.png"; }
check "the program closes" test -n "$closed"

echo "=== uninstaller"
win "$programs/Uninstall.exe" /S
# It runs from a copy of itself in the temporary folder: wait until the folder is gone.
for ((i = 0; i < 120; i++)); do
    [[ -e $programs ]] || break
    sleep 0.5
done
check "everything installed removed" test ! -e "$programs"
check "Start-menu entry removed" test ! -e "$startmenu/ORVIX-КЛ.lnk"
check "uninstaller unregistered" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "the user's results kept" test -f "$results/$report"
finish
