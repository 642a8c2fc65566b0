#!/usr/bin/env bash
# Runs the README's command lines for spreading a conversion over machines
# (between its "begin"/"end" markers): GNU parallel with this machine as its
# only host, the Slurm and Kubernetes lines with the variables those
# schedulers set, for every index. The shards together must give the pages of
# one plain run and one report line per source, also when every Slurm or
# Kubernetes task is restarted as after a preemption.
set -euo pipefail
readme=$1
build=$2
command -v parallel >/dev/null ||
    { echo "cli_distributed_commands: needs GNU parallel" >>"${VELMORA_SKIP_LOG:-/dev/stderr}"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$build:$PATH" TMPDIR="$work/tmp" HOME="$work/home" DOCS="$work/docs" HOSTS=":"
mkdir -p "$TMPDIR" "$HOME/.parallel" "$DOCS/sub" && touch "$HOME/.parallel/will-cite"
fail() { echo "FAIL: $*"; exit 1; }
block() { sed -n "/^<!-- begin $1 -->\$/,/^<!-- end $1 -->\$/p" "$readme" | sed -n 's/^    //p'; }

# Seven documents of one to three pages, three of them in a subfolder.
for i in 1 2 3 4 5 6 7; do
    for p in $(seq $((i % 3 + 1))); do echo "72 700 moveto ($i/$p) show showpage"; done |
        sed '1i %!PS\n/Helvetica findfont 20 scalefont setfont' >"$DOCS/$([ "$i" -gt 4 ] && echo sub/)doc$i.ps"
done
velmora-convert --output-dir "$work/plain" "$DOCS" >/dev/null 2>&1 || fail "the plain run"

# Runs every task and compares with the plain run. A restart first takes each
# report's last line (a task stopped before that source ended); a last one
# then finds nothing left in any part.
check() {
    local name=$1 restarts=$2
    export PAGES="$work/$name"
    for attempt in $(seq 0 "$restarts"); do
        [ "$attempt" -eq 0 ] || sed -i '$d' "$PAGES"/report-*.jsonl
        "${name}_tasks" >/dev/null 2>&1 || fail "$name, attempt $attempt"
        diff -r --exclude='report-*.jsonl' "$work/plain" "$PAGES" >/dev/null || fail "$name: the pages differ"
        [ "$(cat "$PAGES"/report-*.jsonl | wc -l)" -eq 7 ] &&
            [ "$(grep -ho '"source":"[^"]*"' "$PAGES"/report-*.jsonl | sort -u | wc -l)" -eq 7 ] ||
            fail "$name: not one report line per source"
    done
    [ "$restarts" -eq 0 ] || [ "$("${name}_tasks" 2>&1 | grep -c 'nothing left to convert')" -eq 3 ] ||
        fail "$name: a restart with nothing left converted something"
}

parallel_tasks() { bash -c "$(block parallel)"; }
check parallel 0

# Each Slurm task as if resubmitted alone (Slurm then counts one task in the array).
slurm=$(block slurm)
grep -qx '#SBATCH --array=0-2' <<<"$slurm" && grep -qx '#SBATCH --open-mode=append' <<<"$slurm" ||
    fail "not three tasks, or a requeue would cut the first log"
slurm_tasks() {
    for id in 0 1 2; do SLURM_ARRAY_TASK_ID=$id SLURM_ARRAY_TASK_COUNT=1 bash -c "$slurm" || return; done
}
check slurm 1

# The Kubernetes container's command, run by sh -c, for every completion index.
manifest=$(block kubernetes)
grep -q 'completionMode: Indexed' <<<"$manifest" && grep -q '^ *completions: 3$' <<<"$manifest" &&
    grep -q -- '- -c$' <<<"$manifest" || fail "not an Indexed Job of three pods run by sh -c"
pod=$(sed -n 's/^ *- \(velmora-convert .*\)$/\1/p' <<<"$manifest")
kubernetes_tasks() {
    for index in 0 1 2; do JOB_COMPLETION_INDEX=$index sh -c "$pod" || return; done
}
check kubernetes 1
