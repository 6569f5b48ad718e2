#!/usr/bin/env bash
# The Debian package checked as a user meets it: built from the Release tree, checked with
# lintian, desktop-file-validate and appstreamcli, installed with dpkg on this machine (as
# root), the installed batch tool run on the installed samples, and the installed window
# program started on a virtual X server as an ordinary user, driven with the keyboard to open
# a sample and save the report and a chart into that user's documents. Removed at the end.
# Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
user=${ORVIX_CHECK_USER:-orvixcheck}

if [[ ${1:-} == --drive-window ]]; then
    # Runs as the user on the virtual X display: the window, keyboard only, as a user would.
    log=$2
    results=$HOME/Documents/Results
    /usr/bin/orvix-kl >"$log" 2>&1 &
    app=$!
    trap 'kill $app 2>/dev/null || true' EXIT
    fail() {
        echo "package-check: window: $1; windows shown:" >&2
        xdotool search --onlyvisible --name . getwindowname %@ >&2 2>/dev/null || true
        exit 1
    }
    # The visible window of this exact title, waited for and given the keyboard. Searched
    # again when a window vanishes while xdotool walks the tree (file dialogs make and drop
    # windows of their own).
    window() {
        local id
        for _ in $(seq 150); do
            id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
            if [[ -n $id ]] && timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null; then
                return 0
            fi
            sleep 0.1
        done
        fail "no window \"$1\""
    }
    appears() {
        for _ in $(seq 100); do
            [[ -s $1 ]] && return 0
            sleep 0.1
        done
        fail "${1##*/} not written"
    }
    main='ORVIX - Методика "Кольца Ландольта"'
    window "$main"
    # Window menu (Alt+Space), its last item "О программе", the About box confirmed with OK.
    xdotool key alt+space
    sleep 0.3
    xdotool key Up Return
    window 'О программе'
    xdotool key Return
    sleep 0.3
    # Data: the first item of the main menu; the open dialog starts at the installed samples,
    # so the bare file name is enough.
    window "$main"
    xdotool key alt
    sleep 0.3
    xdotool key Return
    window 'Данные по методике "Кольца Ландольта"'
    xdotool type --delay 10 protocol-001.klp
    xdotool key Return
    sleep 0.5
    # Save › Analysis, then Save › Chart 5 sec: Save is the third enabled item after a load.
    # Each save dialog proposes its file in Results under the documents; Return accepts it.
    save() {
        window "$main"
        xdotool key alt
        sleep 0.3
        xdotool key Right Right Return
        sleep 0.3
        [[ $1 == 1 ]] || xdotool key Down
        xdotool key Return
        window "$2"
        xdotool key Return
    }
    save 1 'Запись результатов анализа в текстовый файл'
    appears "$results/Кузнецов Е.В. 10.03.2026 KL.txt"
    save 2 'Запись графика динамики поиска по 5 sec в gif-файл'
    appears "$results/Кузнецов Е.В. 10.03.2026 KL.5sec.gif"
    exit 0
fi

start=$SECONDS
step() { echo "=== $1 ($((SECONDS - start)) s)"; }
sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
"$root/scripts/install-packages.sh" lintian desktop-file-utils appstream xvfb xauth xdotool

step "package"
deb=$("$root/scripts/package.sh" "$@" | tail -1)
echo "$deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

step "lintian"
lintian --fail-on error,warning --info "$deb"

step "desktop entry and AppStream metadata"
dpkg-deb -x "$deb" "$work/tree"
desktop-file-validate "$work/tree/usr/share/applications/orvix-kl.desktop"
appstreamcli validate --no-net "$work"/tree/usr/share/metainfo/*.metainfo.xml

step "install"
if ! "${sudo[@]}" dpkg -i "$deb"; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -f -y -qq
fi
for f in /usr/bin/orvix-kl /usr/bin/orvix-kl-batch /usr/bin/ppm2gif \
         /usr/share/icons/hicolor/scalable/apps/orvix-kl.svg \
         /usr/share/icons/hicolor/16x16/apps/orvix-kl.png \
         /usr/share/icons/hicolor/256x256/apps/orvix-kl.png \
         /usr/share/man/man1/orvix-kl-batch.1.gz /usr/share/doc/orvix-kl/copyright \
         /usr/share/orvix-kl/norms/norms-template.csv /usr/share/orvix-kl/norms/norms-example.csv; do
    [[ -s $f ]] || { echo "package-check: $f not installed" >&2; exit 1; }
done
man -l /usr/share/man/man1/orvix-kl-batch.1.gz | grep -q -- '--summary'

step "installed batch tool on the installed samples"
samples=/usr/share/orvix-kl/Data
mkdir "$work/batch"
/usr/bin/orvix-kl-batch --decimal=. --charts --out="$work/batch" \
    --summary="$work/batch/summary.csv" "$samples"/protocol-00[1-5].klp
/usr/bin/orvix-kl-batch --decimal=, --out="$work/batch" "$samples"/protocol-006-comma.klp
reports=$(find "$work/batch" -name '* KL.txt' | wc -l)
pictures=$(find "$work/batch" -name '* KL.*.gif' | wc -l)
rows=$(wc -l <"$work/batch/summary.csv")
echo "$reports reports, $pictures chart pictures, $rows summary lines"
if ((reports != 6 || pictures != 10 || rows != 6)); then
    echo "package-check: expected 6 reports, 10 pictures and 6 summary lines" >&2
    exit 1
fi

step "installed window program as user $user on a virtual X server"
id "$user" >/dev/null 2>&1 || "${sudo[@]}" useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
results=$home/Documents/Results
install -m 0755 "$0" "$work/drive.sh"
"${sudo[@]}" rm -rf "$results"  # made again by the first save
for log in window xvfb; do "${sudo[@]}" install -m 0644 -o "$user" /dev/null "$work/$log.log"; done
# -noreset: the server would reset whenever its last client leaves, and a program connecting
# right then is refused; the driver's xdotool calls come and go while the program starts.
if ! "${sudo[@]}" runuser -u "$user" -- env HOME="$home" LC_ALL=C.UTF-8 \
    xvfb-run -a -e "$work/xvfb.log" -s "-screen 0 1280x1024x24 -noreset" \
    bash "$work/drive.sh" --drive-window "$work/window.log"; then
    cat "$work/xvfb.log" "$work/window.log" >&2
    exit 1
fi
ls -l "$results"
if [[ $(stat -c %U "$results") != "$user" ]]; then
    echo "package-check: $results does not belong to $user" >&2
    exit 1
fi
# The report byte for byte what the batch tool wrote for the same protocol. The chart is a
# copy of the screen: a GIF of the chart's size, as a rule the same as the batch tool's
# off-screen picture; on a loaded machine the copy can catch the screen before the closing
# dialog's place is repainted, so a difference there is reported, not failed.
cmp "$results/Кузнецов Е.В. 10.03.2026 KL.txt" "$work/batch/Кузнецов Е.В. 10.03.2026 KL.txt"
gif="$results/Кузнецов Е.В. 10.03.2026 KL.5sec.gif"
if [[ $(head -c 10 "$gif" | od -An -tx1 | tr -d ' \n') != 474946383761ff037101 ]]; then
    echo "package-check: the saved chart is not a 1023 x 369 GIF picture" >&2
    exit 1
fi
if ! cmp -s "$gif" "$work/batch/Кузнецов Е.В. 10.03.2026 KL.5sec.gif"; then
    echo "package-check: note: the chart copied from the screen differs from the off-screen one"
fi

# The folder choice's unit tests again as this user: its read-only case is skipped for root,
# whom folder permissions do not bind.
if [[ -x ${BUILD_DIR:-$root/build}/bin/app_test ]]; then
    install -m 0755 "${BUILD_DIR:-$root/build}/bin/app_test" "$work/app_test"
    "${sudo[@]}" runuser -u "$user" -- env -u TMPDIR HOME="$home" QT_QPA_PLATFORM=offscreen \
        "$work/app_test" --gtest_filter='UserDirs.*' --gtest_brief=1
fi

step "remove"
"${sudo[@]}" dpkg --purge orvix-kl >/dev/null
if [[ -e /usr/bin/orvix-kl || -e $samples ]]; then
    echo "package-check: files left after removal" >&2
    exit 1
fi
step "package checked"
