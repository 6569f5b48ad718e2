#!/usr/bin/env bash
# Runs two builds of orvix-kl-batch over the same generated protocols (good ones, ones that fail
# in different ways, ones whose FileTags collide) with every output and the progress display
# on a terminal, and compares everything they write byte for byte: the messages in their order,
# the exit status, the reports, pictures, tables and summary, and the PDF pages (their
# creation time aside). The second build is run with a pool of one worker and of several.
#   scripts/compare-batch.sh REFERENCE_BATCH NEW_BATCH PROTOGEN [COUNT] [WORKERS]
# Exit status 0 when everything is the same.
set -euo pipefail
if (($# < 3)); then
    echo "usage: $0 REFERENCE_BATCH NEW_BATCH PROTOGEN [COUNT] [WORKERS]" >&2
    exit 2
fi
reference=$(realpath "$1")
new=$(realpath "$2")
protogen=$(realpath "$3")
count=${4:-300}
workers=${5:-4}
work=$(mktemp -d)
trap '[[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT
cd "$work"

# The protocols: good ones, with a few FileTags given twice (copies, and a second generation of
# the same seeds), ones that read only with ",", cut ones that fail at different points, and
# files that are no protocols at all.
"$protogen" --seed=1000 --count="$count" in/good >/dev/null
"$protogen" --seed=1000 --count=$((count / 25 + 1)) in/again >/dev/null
"$protogen" --seed=5000 --count=$((count / 20 + 1)) --decimal=, in/comma >/dev/null
mkdir -p in/cut in/odd in/folder.klp
i=0
for p in in/good/*.klp; do
    i=$((i + 1))
    if ((i % 9 == 0)); then cp "$p" "in/good/copy-$i.klp"; fi
    if ((i % 7 == 0)); then
        size=$(stat -c %s "$p")
        head -c $((size * (i % 8) / 8)) "$p" >"in/cut/cut-$i.klp"
    fi
done
: >in/odd/empty.klp
head -c 4000 /dev/urandom >in/odd/random.klp
# Interleaved, so that failures and collisions fall between good protocols.
mapfile -t protocols < <(find in -name '*.klp' | sort -t/ -k3 | awk '{print NR % 5, $0}' |
    sort -s -n -k1,1 | cut -d' ' -f2-)
protocols+=(in/missing.klp in/folder.klp)

# Runs BATCH with ARGS (and POOL workers) in a folder of its own, on a terminal (so the progress is shown), and
# keeps what the terminal showed and the exit status.
run() {
    local name=$1 pool=$2 batch=$3
    shift 3
    mkdir -p "$name"
    (cd "$name" && QT_HASH_SEED=0 ORVIX_KL_WORKERS=$pool script -qec "$(printf '%q ' "$batch" "$@" "${protocols[@]/#/../}"); echo \"status \$?\"" /dev/null >terminal.txt 2>&1) || true
}

compare() {
    local a=$1 b=$2 differ=0
    if ! cmp -s "$a/terminal.txt" "$b/terminal.txt"; then
        echo "differ: terminal output of $a and $b"
        diff <(tr '\r' '\n' <"$a/terminal.txt") <(tr '\r' '\n' <"$b/terminal.txt") | head -20
        differ=1
    fi
    local list_a list_b
    list_a=$(cd "$a" && find . -type f ! -name terminal.txt | sort)
    list_b=$(cd "$b" && find . -type f ! -name terminal.txt | sort)
    if [[ $list_a != "$list_b" ]]; then
        echo "differ: the files of $a and $b"
        diff <(echo "$list_a") <(echo "$list_b") | head -20
        return 1
    fi
    local files=0
    while IFS= read -r f; do
        files=$((files + 1))
        if [[ $f == *.pdf ]]; then
            # A page carries the time it was made.
            if ! cmp -s <(sed -E 's/CreationDate \(D:[0-9]+Z\)/CreationDate/' "$a/$f") \
                <(sed -E 's/CreationDate \(D:[0-9]+Z\)/CreationDate/' "$b/$f"); then
                echo "differ: $f"
                differ=1
            fi
        elif ! cmp -s "$a/$f" "$b/$f"; then
            echo "differ: $f"
            differ=1
        fi
    done <<<"$list_a"
    echo "$a and $b: $files files compared, $(grep -c $'\n' <"$a/terminal.txt" || true) lines of messages"
    return $differ
}

status=0
sets=("--charts --points --summary=summary.csv" "--pdf --summary=summary.csv")
for s in "${!sets[@]}"; do
    read -r -a options <<<"${sets[$s]}"
    run "reference-$s" 1 "$reference" --decimal=. --out=out "${options[@]}"
    run "one-$s" 1 "$new" --decimal=. --out=out "${options[@]}"
    run "several-$s" "$workers" "$new" --decimal=. --out=out "${options[@]}"
    grep -a "status" "reference-$s/terminal.txt" | tail -1
    compare "reference-$s" "one-$s" || status=1
    compare "reference-$s" "several-$s" || status=1
done
if ((status == 0)); then echo "the same"; fi
exit $status
