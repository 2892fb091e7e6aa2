# What the benchmark scripts share; sourced, not run. Each script sets `bench_name` first.

# Exits 2 unless every file named is a built executable.
require_built() {
    local tool
    for tool in "$@"; do
        [[ -x "$tool" ]] || { echo "$bench_name: $tool is missing; build it first" >&2; exit 2; }
    done
}

# Exits 2 unless every command named can be run.
require_commands() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null ||
            { echo "$bench_name: $tool is missing (scripts/install-deps.sh --bench)" >&2; exit 2; }
    done
}

# One scratch area on disk (beside the build, in $scratch) and one in memory ($memory, empty
# without a tmpfs), both removed when the script ends.
make_scratch_areas() {
    scratch=$(mktemp -d "$1/$bench_name-XXXXXX")
    memory=""
    if [[ -d /dev/shm && $(stat -f -c %T /dev/shm) == tmpfs ]]; then
        memory=$(mktemp -d "/dev/shm/jotbird-$bench_name-XXXXXX")
    fi
    trap 'rm -rf "$scratch" ${memory:+"$memory"}' EXIT
}

machine_line() {
    echo "== machine: $(nproc) cores, $(uname -m)," \
        "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
        "load average $(cut -d' ' -f1 /proc/loadavg)"
}
