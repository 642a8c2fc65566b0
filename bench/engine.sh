#!/usr/bin/env bash
# Conversion overhead: velmora-convert against the same two Ghostscript
# commands run directly in a shell loop, on (a) the samples and (b) 40
# one-page files. Runs alternate; prints the median of the pairwise ratios.
# Usage: bench/engine.sh [PAIRS]   (build first: scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-7}
convert_bin=${VELMORA_BUILD:-build}/velmora-convert
[ -x "$convert_bin" ] || { echo "build first: scripts/build.sh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/samples" "$work/forty"
cp resources/Samples/* "$work/samples/"
for i in $(seq -w 1 40); do
    cp resources/Samples/letter.ps "$work/forty/page$i.ps"
done

now() { date +%s%N; }

engine() { # folder
    local out="$work/out-engine"
    rm -rf "$out"; mkdir -p "$out"
    "$convert_bin" --output-dir "$out" "$1"/* >/dev/null 2>&1
}

bare() { # folder
    local out="$work/out-bare"
    rm -rf "$out"; mkdir -p "$out"
    for f in "$1"/*; do
        name=$(basename "$f"); prefix=${name%%.*}
        gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$out/current.pdf" "$f" >/dev/null 2>&1
        gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE \
            -sOutputFile="$out/$prefix-%03d.jpg" -r300 "$out/current.pdf" >/dev/null 2>&1
        rm -f "$out/current.pdf"
    done
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() { # label folder
    local ratios=() e b t0 t1
    engine "$2"; bare "$2" # warm the caches
    for _ in $(seq "$pairs"); do
        t0=$(now); engine "$2"; t1=$(now); e=$((t1 - t0))
        t0=$(now); bare "$2"; t1=$(now); b=$((t1 - t0))
        ratios+=("$(awk -v e="$e" -v b="$b" 'BEGIN { printf "%.3f", e / b }')")
        printf '  %-8s engine %6.0f ms   bare gs %6.0f ms   ratio %s\n' "$1" "$((e / 1000000))" \
            "$((b / 1000000))" "${ratios[-1]}"
    done
    printf '%s: median ratio engine/bare over %d pairs: %s (target <= 1.10)\n' "$1" "$pairs" \
        "$(printf '%s\n' "${ratios[@]}" | median)"
}

measure samples "$work/samples"
measure forty "$work/forty"
