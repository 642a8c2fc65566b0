#!/usr/bin/env bash
# Runs the README's command lines for spreading a conversion over machines,
# taken from between its "begin"/"end" markers, on this machine: GNU parallel
# with the local machine as its only host, and the Slurm and Kubernetes lines
# with the variables those schedulers set, for every index. The shards
# together must give the pages of one plain run, and one report line per
# source. The Slurm and Kubernetes lines are then run again as after a
# preemption: each task resumes from its own report.
set -euo pipefail
readme=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$build:$PATH" TMPDIR="$work/tmp" HOME="$work/home"
mkdir -p "$TMPDIR" "$HOME/.parallel"
touch "$HOME/.parallel/will-cite" # no citation notice from parallel

# What the failed command printed comes first, for whoever reads the log.
fail() {
    [ -s "$work/run.log" ] && cat "$work/run.log"
    echo "FAIL: $*"
    exit 1
}
# The indented lines of a README block, indentation removed.
block() {
    sed -n "/^<!-- begin $1 -->\$/,/^<!-- end $1 -->\$/p" "$readme" | sed -n 's/^    //p'
}

export DOCS="$work/docs"
mkdir -p "$DOCS/sub"
for i in 1 2 3 4 5 6 7; do
    pages=$(( i % 3 + 1 ))
    {
        printf '%%!PS-Adobe-3.0\n%%%%Pages: %d\n%%%%EndComments\n' "$pages"
        for p in $(seq "$pages"); do
            printf '/Helvetica findfont 20 scalefont setfont 72 700 moveto (%d/%d) show showpage\n' "$i" "$p"
        done
    } >"$([ "$i" -gt 4 ] && echo "$DOCS/sub" || echo "$DOCS")/doc$i.ps"
done
sources=7
velmora-convert --output-dir "$work/plain" "$DOCS" >"$work/run.log" 2>&1 || fail "the plain run failed"
[ "$(ls "$work/plain" | wc -l)" -eq 14 ] || fail "the plain run made $(ls "$work/plain" | wc -l) pages"

# The pages of $PAGES against the plain run's (names and bytes), and the
# reports: one line per source.
check() {
    diff -r --exclude='report-*.jsonl' "$work/plain" "$PAGES" >/dev/null ||
        fail "$1: the pages differ from one plain run"
    [ "$(cat "$PAGES"/report-*.jsonl | wc -l)" -eq "$sources" ] || fail "$1: not one report line per source"
    [ "$(cat "$PAGES"/report-*.jsonl | grep -o '"source":"[^"]*"' | sort -u | wc -l)" -eq "$sources" ] ||
        fail "$1: a source reported twice"
    echo "$1: the shards make the pages of one plain run"
}

# A preemption and the restart of every task: each report loses its last
# line (the task was stopped before that source ended, its pages possibly
# half made), then every task runs again and must convert just that source.
# A further restart finds nothing left.
rerun_after_preemption() {
    local name=$1 run_all=$2 report
    for report in "$PAGES"/report-*.jsonl; do
        sed -i '$d' "$report"
    done
    "$run_all" 2>/dev/null || fail "$name: the restart after a preemption"
    check "$name, restarted after a preemption"
    "$run_all" 2>"$work/again.err" || fail "$name: a restart with nothing left"
    [ "$(grep -c 'nothing left to convert' "$work/again.err")" -eq "$(ls "$PAGES"/report-*.jsonl | wc -l)" ] ||
        fail "$name: a restart with nothing left converted something"
    [ "$(cat "$PAGES"/report-*.jsonl | wc -l)" -eq "$sources" ] || fail "$name: a restart added lines"
}

# GNU parallel, with ":" (this machine) as the only host.
command=$(block parallel)
[ -n "$command" ] || fail "no parallel block in the README"
export PAGES="$work/parallel" HOSTS=":"
bash -c "$command" >"$work/run.log" 2>&1 || fail "parallel: $command"
check parallel

# Slurm: every task of the array, with the variables Slurm sets.
script=$(block slurm)
last=$(sed -n 's/^#SBATCH --array=0-\([0-9]*\)$/\1/p' <<<"$script")
[ -n "$last" ] || fail "no #SBATCH --array=0-N in the README's Slurm block"
shards=$(sed -n 's|.*--shard [^ ]*/\([0-9]*\) .*|\1|p' <<<"$script")
[ "$shards" = "$((last + 1))" ] || fail "the Slurm block's --shard N is not its array's size"
grep -q '^#SBATCH --open-mode=append$' <<<"$script" || fail "a requeue would cut the first log"
export PAGES="$work/slurm"
# Each task as if resubmitted alone (sbatch --array=K): Slurm then counts one
# task in the array, and the part must not change with it.
slurm_tasks() {
    local id
    for id in $(seq 0 "$last"); do
        SLURM_ARRAY_TASK_ID=$id SLURM_ARRAY_TASK_COUNT=1 bash -c "$script" >/dev/null ||
            { echo "slurm task $id failed"; return 1; }
    done
}
slurm_tasks 2>/dev/null || fail "slurm"
check slurm
rerun_after_preemption slurm slurm_tasks

# Kubernetes: the container's command for every completion index; the
# manifest's folders are replaced by this test's.
manifest=$(block kubernetes)
completions=$(sed -n 's/^ *completions: *\([0-9]*\)$/\1/p' <<<"$manifest")
command=$(sed -n 's/^ *- \(velmora-convert .*\)$/\1/p' <<<"$manifest")
grep -q -- '- sh$' <<<"$manifest" && grep -q -- '- -c$' <<<"$manifest" ||
    fail "the Kubernetes command is not run by sh -c"
grep -q 'completionMode: Indexed' <<<"$manifest" || fail "not an Indexed Job"
[ -n "$completions" ] && [ -n "$command" ] || fail "no completions or command in the manifest"
export PAGES="$work/kubernetes"
kubernetes_pods() {
    local index
    for index in $(seq 0 $((completions - 1))); do
        JOB_COMPLETION_INDEX=$index sh -c "$command" >/dev/null ||
            { echo "kubernetes index $index failed"; return 1; }
    done
}
kubernetes_pods 2>/dev/null || fail "kubernetes"
check kubernetes
rerun_after_preemption kubernetes kubernetes_pods
