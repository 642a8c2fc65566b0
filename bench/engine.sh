#!/usr/bin/env bash
# Conversion figures of velmora-convert, each against the same two Ghostscript
# commands run directly from the shell:
#   overhead  --jobs 1 against the bare commands one file after another;
#   sandbox   --jobs 1 inside bubblewrap against --jobs 1 with -dSAFER alone
#             (a fake bwrap first on PATH makes the program fall back);
#   speed     the default number of Ghostscripts at once (one per core)
#             against the bare commands one after another and under
#             `xargs -P N`; for the single long document the parallel
#             baseline renders page ranges of its PDF under `xargs -P N`;
#   memory    the process tree's summed memory during a run of 40 files and of
#             the long document, and the most Ghostscripts seen at once;
#   window    bench_window (when built) converting the 40 files through the
#             start button: event-loop lateness with N Ghostscripts running.
# Inputs: the samples, 40 one-page files, 7 manual pages of different lengths
# and one manual of 80+ pages, made at bench time with `man -Tps`.
# Variants run in turn, each round starting with the next one; the figures are
# medians of the per-round ratios.
#
# Usage: bench/engine.sh [PAIRS]   (default 5; build first: scripts/build.sh)
#   VELMORA_BUILD=DIR       the build folder (default build)
#   ENGINE_PARTS="a b ..."  only these parts (default: overhead sandbox speed memory window)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-5}
parts=${ENGINE_PARTS:-overhead sandbox speed memory window}
build=${VELMORA_BUILD:-build}
convert_bin=$build/velmora-convert
[ -x "$convert_bin" ] || { echo "build first: scripts/build.sh" >&2; exit 1; }
cores=$(nproc)
sample_ms=50 # the memory sampler's period
sample_s=$(awk -v ms="$sample_ms" 'BEGIN { printf "%.3f", ms / 1000 }')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/samples" "$work/forty" "$work/manuals" "$work/long" "$work/fake"
cp resources/Samples/* "$work/samples/"
for i in $(seq -w 1 40); do
    cp resources/Samples/letter.ps "$work/forty/page$i.ps"
done

# Real multi-page documents: manual pages typeset to PostScript by groff.
ps_pages() { grep -c '^%%Page:' "$1" || true; }
manual_ps() { # name file
    man -Tps "$1" >"$2" 2>/dev/null && [ "$(ps_pages "$2")" -gt 0 ]
}
if ! manual_ps sh "$work/probe.ps"; then
    echo "man -Tps gives no PostScript: install man-db and groff (scripts/install-deps.sh)" >&2
    exit 1
fi
taken=0
for name in sed gzip grep man dpkg tar find ssh apt-get ls cp chmod date; do
    [ "$taken" -lt 7 ] || break
    if manual_ps "$name" "$work/manuals/$name.ps"; then
        taken=$((taken + 1))
    else
        rm -f "$work/manuals/$name.ps"
    fi
done
long=$work/long/manual.ps
if ! manual_ps bash "$long" || [ "$(ps_pages "$long")" -lt 80 ]; then
    # No long bash manual here: typeset several manuals as one document.
    for name in find tar dpkg ssh grep man apt-get gzip sed; do
        source=$(man -w "$name" 2>/dev/null) && zcat -f "$source"
    done | groff -man -Tps >"$long" 2>/dev/null
fi
describe() { # folder
    local files=0 pages=0 f
    for f in "$1"/*; do
        files=$((files + 1)); pages=$((pages + $(ps_pages "$f")))
    done
    echo "$files file(s), $pages DSC page(s)"
}
echo "inputs: samples $(describe "$work/samples"); forty $(describe "$work/forty");" \
    "manuals $(describe "$work/manuals") ($(cd "$work/manuals" && for f in *.ps; do
        printf '%s %s, ' "${f%.ps}" "$(ps_pages "$f")"; done | sed 's/, $//'));" \
    "long $(describe "$work/long")"

# What a program sees when user namespaces are forbidden.
printf '#!/bin/sh\necho "bwrap: No permissions to create new namespace" >&2\nexit 1\n' \
    >"$work/fake/bwrap"
chmod +x "$work/fake/bwrap"

# The two Ghostscript commands of one file, as the engine's scripts run them
# (the PS stage's page-reporting prologue aside). Usage: OUT FILE [FIRST LAST]
# renders pages FIRST..LAST of the PDF made before, under a name of their own.
cat >"$work/bare-one.sh" <<'EOF'
#!/bin/sh
out=$1; name=$(basename "$2"); prefix=${name%%.*}
if [ $# -eq 2 ]; then
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$out/$prefix.pdf" \
        -sstdout=/dev/null "$2" >/dev/null 2>&1
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE \
        -sOutputFile="$out/$prefix-%03d.jpg" -r300 "$out/$prefix.pdf" >/dev/null 2>&1
    rm -f "$out/$prefix.pdf"
else
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=75 -dDOINTERPOLATE \
        -dFirstPage="$3" -dLastPage="$4" -sOutputFile="$out/$prefix-p$3-%03d.jpg" -r300 \
        "$out/$prefix.pdf" >/dev/null 2>&1
fi
EOF
chmod +x "$work/bare-one.sh"

now() { date +%s%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
verdict() { awk -v r="$1" -v g="$2" 'BEGIN { print (r <= g) ? "met" : "MISSED" }'; }

# One run of a variant on a folder; output into a fresh folder of its own.
run_variant() { # variant folder
    local out="$work/out-$1" f
    rm -rf "$out"; mkdir -p "$out"
    case $1 in
    engine1) "$convert_bin" --jobs 1 --output-dir "$out" "$2"/* >/dev/null 2>"$out.err" ;;
    engineN) "$convert_bin" --output-dir "$out" "$2"/* >/dev/null 2>"$out.err" ;;
    nosandbox1)
        PATH="$work/fake:$PATH" "$convert_bin" --jobs 1 --output-dir "$out" "$2"/* \
            >/dev/null 2>"$out.err" ;;
    seq) for f in "$2"/*; do "$work/bare-one.sh" "$out" "$f"; done ;;
    xargsN) printf '%s\0' "$2"/* | xargs -0 -n 1 -P "$cores" "$work/bare-one.sh" "$out" ;;
    splitN) # one document: PS stage, then its pages in N ranges at once
        f=$(printf '%s\n' "$2"/* | head -n 1)
        gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$out/manual.pdf" \
            -sstdout=/dev/null "$f" >/dev/null 2>&1
        local count per first
        count=$(ps_pages "$f"); per=$(((count + cores - 1) / cores))
        for first in $(seq 1 "$per" "$count"); do
            printf '%s\0%s\0' "$first" "$((first + per - 1 < count ? first + per - 1 : count))"
        done | xargs -0 -n 2 -P "$cores" "$work/bare-one.sh" "$out" "$f"
        rm -f "$out/manual.pdf" ;;
    esac
}
jpegs() { find "$work/out-$1" -name '*.jpg' | wc -l; }

# Runs the variants in turn, PAIRS rounds after one warm-up round; prints each
# round and the median ratio of the first variant to each of the others, and
# adds those to the summary.
summary=()
measure() { # label folder variant...
    local label=$1 folder=$2; shift 2
    local variants=("$@") n=$# round k v t0 t1 line
    declare -A times=()
    for v in "${variants[@]}"; do run_variant "$v" "$folder"; done # warm the caches
    for v in "${variants[@]}"; do # every variant made the same pages, and the sandbox is as asked
        [ "$(jpegs "$v")" -eq "$(jpegs "${variants[0]}")" ] ||
            echo "  WARNING: $label: $v made $(jpegs "$v") pages, ${variants[0]} $(jpegs "${variants[0]}")"
        case $v in
        nosandbox1) grep -q 'no sandbox' "$work/out-$v.err" ||
            echo "  WARNING: $label: $v ran inside the sandbox" ;;
        engine*) ! grep -q 'no sandbox' "$work/out-$v.err" ||
            echo "  WARNING: $label: $v ran without the sandbox: $(cat "$work/out-$v.err")" ;;
        esac
    done
    for round in $(seq 1 "$pairs"); do
        for k in $(seq 0 $((n - 1))); do
            v=${variants[$(((k + round - 1) % n))]}
            t0=$(now); run_variant "$v" "$folder"; t1=$(now)
            times[$v,$round]=$(((t1 - t0) / 1000000))
        done
        line="  $(printf '%-8s' "$label")"
        for v in "${variants[@]}"; do line+=" $(printf '%-10s %6d ms' "$v" "${times[$v,$round]}")"; done
        echo "$line"
    done
    for v in "${variants[@]:1}"; do
        local r=() ms_a=() ms_b=()
        for round in $(seq 1 "$pairs"); do
            r+=("$(ratio "${times[${variants[0]},$round]}" "${times[$v,$round]}")")
            ms_a+=("${times[${variants[0]},$round]}"); ms_b+=("${times[$v,$round]}")
        done
        local m ta tb
        m=$(printf '%s\n' "${r[@]}" | median)
        ta=$(printf '%s\n' "${ms_a[@]}" | median); tb=$(printf '%s\n' "${ms_b[@]}" | median)
        printf '%s: %s/%s median ratio over %d rounds: %s (median times %s ms / %s ms)\n' \
            "$label" "${variants[0]}" "$v" "$pairs" "$m" "$ta" "$tb"
        summary+=("$(printf '%-8s %-10s/%-10s %s   (%s / %s ms)' "$label" "${variants[0]}" "$v" \
            "$m" "$ta" "$tb")")
    done
    if [ $# -eq 3 ]; then # how much the machine let two bare pipelines gain
        local h=()
        for round in $(seq 1 "$pairs"); do
            h+=("$(ratio "${times[${variants[2]},$round]}" "${times[${variants[1]},$round]}")")
        done
        m=$(printf '%s\n' "${h[@]}" | median)
        printf '%s: %s/%s (the parallel headroom the machine gave) median ratio: %s\n' \
            "$label" "${variants[2]}" "${variants[1]}" "$m"
        summary+=("$(printf '%-8s %-10s/%-10s %s' "$label" "${variants[2]}" "${variants[1]}" "$m")")
    fi
}

# Samples the process tree under ROOT every $sample_ms ms until it ends:
# summed RSS and PSS (PSS shares each shared page out among its users, so it
# does not count Ghostscript's libraries once per process) and the number of
# Ghostscripts. Prints the peaks: RSS_KB PSS_KB MAX_GS SAMPLES.
tree_sampler() { # root-pid
    local root=$1 peak_rss=0 peak_pss=0 peak_gs=0 samples=0
    local queue pid rss pss gs comm key value unit children f
    while [ -d "/proc/$root" ]; do
        queue=("$root") rss=0 pss=0 gs=0
        while [ ${#queue[@]} -gt 0 ]; do
            pid=${queue[0]}; queue=("${queue[@]:1}")
            read -r comm <"/proc/$pid/comm" 2>/dev/null || continue
            [ "$comm" = gs ] && gs=$((gs + 1))
            while read -r key value unit; do
                case $key in Rss:) rss=$((rss + value)) ;; Pss:) pss=$((pss + value)) ;; esac
            done <"/proc/$pid/smaps_rollup" 2>/dev/null || true
            for f in /proc/"$pid"/task/*/children; do
                children=()
                read -r -a children <"$f" 2>/dev/null || true # the list ends without a newline
                queue+=("${children[@]}")
            done
        done 2>/dev/null # a process may end while it is read
        samples=$((samples + 1))
        [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
        [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
        [ "$gs" -gt "$peak_gs" ] && peak_gs=$gs
        sleep "$sample_s"
    done
    echo "$peak_rss $peak_pss $peak_gs $samples"
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
sampled() { # label command...
    local label=$1; shift
    "$@" &
    local pid=$!
    local peaks rss pss gs samples
    peaks=$(tree_sampler "$pid")
    wait "$pid" || true
    read -r rss pss gs samples <<<"$peaks"
    local verdict_gs=met
    [ "$gs" -le "$cores" ] || verdict_gs=MISSED
    printf '%s: peak summed RSS %s MB, peak summed PSS %s MB, at most %d gs at once (N = %d: %s), %d samples every %d ms\n' \
        "$label" "$(mb "$rss")" "$(mb "$pss")" "$gs" "$cores" "$verdict_gs" "$samples" "$sample_ms"
    summary+=("$(printf '%-8s peak RSS %s MB, PSS %s MB, max gs %d (N = %d)' "$label" "$(mb "$rss")" \
        "$(mb "$pss")" "$gs" "$cores")")
}

echo "machine: $cores cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
for part in $parts; do
    case $part in
    overhead)
        echo "== overhead: --jobs 1 against the bare commands one after another (goal <= 1.10)"
        measure samples "$work/samples" engine1 seq
        measure forty "$work/forty" engine1 seq ;;
    sandbox)
        echo "== sandbox: --jobs 1 inside bwrap against -dSAFER alone (goal <= 1.03)"
        measure samples "$work/samples" engine1 nosandbox1
        measure forty "$work/forty" engine1 nosandbox1 ;;
    speed)
        echo "== speed: default N = $cores against one after another (goal <= 0.60; long <= 0.75) and under xargs -P $cores"
        measure samples "$work/samples" engineN seq xargsN
        measure forty "$work/forty" engineN seq xargsN
        measure manuals "$work/manuals" engineN seq xargsN
        measure long "$work/long" engineN seq splitN ;;
    memory)
        echo "== memory: the process tree of velmora-convert with N = $cores"
        sampled forty run_variant engineN "$work/forty"
        sampled long run_variant engineN "$work/long" ;;
    window)
        if [ -x "$build/bench_window" ]; then
            echo "== window: 40 files through the start button (goal: lateness <= 50 ms)"
            QT_QPA_PLATFORM=offscreen "$build/bench_window" --runs 3 "$work/forty"/* \
                >"$work/window.txt" &
            wpid=$!
            peaks=$(tree_sampler "$wpid")
            wait "$wpid" || true
            grep -v '^start-up' "$work/window.txt"
            read -r _ _ gs _ <<<"$peaks"
            echo "window: at most $gs gs at once (N = $cores)"
            summary+=("window   $(grep -o 'worst event-loop lateness.*' "$work/window.txt"), max gs $gs")
        else
            echo "== window: $build/bench_window not built, skipped"
        fi ;;
    *) echo "unknown part: $part" >&2; exit 2 ;;
    esac
done
echo "== summary (load average $(cut -d' ' -f1-3 /proc/loadavg) at the end)"
printf '%s\n' "${summary[@]}"
