#!/usr/bin/env bash
# Sourced by the Windows scripts: unpacks a Debian source package of the installed release.
#   fetch_debian_source WORKDIR PACKAGE[=VERSION] DEST
# The source index and apt's cache made from it are kept in WORKDIR/apt, so the machine's own
# package sources and cache stay as they are (and apt may install packages meanwhile); DEST is
# replaced by the unpacked source tree.
fetch_debian_source() {
    local work=$1 wanted=$2 dest=$3
    local apt=$work/apt name=${2%%=*}
    mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial"
    if [[ ! -f $apt/updated ]]; then
        # The machine's own Debian sources, for source packages.
        local f
        for f in /etc/apt/sources.list.d/*.sources; do
            if [[ -f $f ]]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources/${f##*/}"; fi
        done
        if [[ -f /etc/apt/sources.list ]]; then
            sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$apt/sources.list"
        fi
    fi
    local aptopts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources"
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                   -o "APT::Sandbox::User=root")
    if [[ ! -f $apt/updated ]]; then
        # A source without source packages only warns; the package must come from one that has them.
        apt-get "${aptopts[@]}" update -qq || true
        touch "$apt/updated"
    fi
    rm -rf "$apt/$name"
    mkdir -p "$apt/$name"
    (cd "$apt/$name" && apt-get "${aptopts[@]}" source -qq --download-only "$wanted")
    rm -rf "$dest"
    # apt checked the files against the archive's signed index; the .dsc's own signature would
    # need the maintainers' keys, which this machine does not have.
    dpkg-source --no-check -x "$apt/$name"/*.dsc "$dest" >/dev/null
    rm -rf "$apt/$name"
}
