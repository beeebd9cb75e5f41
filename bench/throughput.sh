#!/usr/bin/env bash
# Times `kbx encrypt` and `kbx decrypt` against the standard pipelines
#   gzip -6 | openssl enc -aes-256-cbc -pbkdf2     and     openssl enc -d ... | gzip -d
# and, when pigz is installed, the same with pigz -6 (on every core) in place of gzip, on
# 256 MiB of compressible text and 256 MiB of random bytes. It prints the times side by side
# with kbx's speed against each pipeline (pipeline time / kbx time: 2.00 is twice as fast).
# Run by hand:
#
#   bench/throughput.sh [KBX_BINARY]        (default: build/release/kbx of this repository)
#
# KBX_BENCH_MIB=16 in the environment makes a quick trial run with smaller data.
#
# kbx encrypt reads its container back in full to verify it before putting it in place, and
# kbx decrypt checks size, tail and times of what it wrote; the pipeline does neither.
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kbx=${1:-$repo_root/build/release/kbx}
size_mib=${KBX_BENCH_MIB:-256}
password='Bench-Pass-2468'

die() {
    echo "throughput.sh: $*" >&2
    exit 2
}

[[ -x $kbx && ! -d $kbx ]] || die "$kbx is not an executable kbx (give its path as the first argument)"
for tool in gzip openssl awk truncate cmp; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kbx-throughput.XXXXXX")
cleanup() { rm -rf -- "$work"; }
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
log=$work/stderr.log
bytes=$((size_mib * 1024 * 1024))

# Text that compresses like ordinary documents: the licence texts of the installed packages,
# repeated up to the size (numbers when the system has none).
make_compressible() {
    local seed=$work/seed.txt
    find /usr/share/doc -maxdepth 2 -type f -name copyright -exec cat {} + >"$seed" 2>/dev/null || true
    [[ -s $seed ]] || seq 1 500000 >"$seed"
    local seed_size repeats i
    seed_size=$(stat -c %s "$seed")
    repeats=$(((bytes + seed_size - 1) / seed_size))
    for ((i = 0; i < repeats; i++)); do
        cat "$seed"
    done >"$1"
    truncate -s "$bytes" "$1"
    rm -f -- "$seed"
}

make_incompressible() {
    head -c "$bytes" /dev/urandom >"$1"
}

# Wall-clock seconds of one command; its standard output is dropped, its errors go to the log.
seconds() {
    local TIMEFORMAT=%R
    { time "$@" >/dev/null 2>>"$log"; } 2>&1
}

kbx_encrypt() { printf '%s\n' "$password" | "$kbx" encrypt "$1" "$2"; }
kbx_decrypt() { printf '%s\n' "$password" | "$kbx" decrypt "$1" "$2"; }
pipe_encrypt() { gzip -6 <"$1" | openssl enc -aes-256-cbc -pbkdf2 -pass "pass:$password" -out "$2"; }
pipe_decrypt() { openssl enc -d -aes-256-cbc -pbkdf2 -pass "pass:$password" -in "$1" | gzip -d >"$2"; }
pigz_encrypt() { pigz -6 <"$1" | openssl enc -aes-256-cbc -pbkdf2 -pass "pass:$password" -out "$2"; }
pigz_decrypt() { openssl enc -d -aes-256-cbc -pbkdf2 -pass "pass:$password" -in "$1" | pigz -d >"$2"; }
have_pigz=false
command -v pigz >/dev/null && have_pigz=true

timed() {
    local result
    if ! result=$(seconds "$@"); then
        echo "throughput.sh: failed: $*" >&2
        cat "$log" >&2
        exit 1
    fi
    echo "$result"
}

speed() { awk -v k="$1" -v p="$2" 'BEGIN { if (k > 0) printf "%.2f", p / k; else print "n/a" }'; }
mib() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1048576 }'; }

echo "kbx: $kbx ($("$kbx" --version))"
echo "data: ${size_mib} MiB each, in $work"
echo "speed: pipeline time / kbx time (above 1: kbx is faster)"
row() { printf '%-15s %-8s %7s %7s %7s %7s %7s %8s %8s %8s\n' "$@"; }
printf '\n'
row data operation "kbx s" "gzip s" speed "pigz s" speed "kbx MiB" "gz MiB" "pigz MiB"

for kind in compressible incompressible; do
    plain=$work/$kind.dat
    "make_$kind" "$plain"
    cat "$plain" >/dev/null # both contenders start from the page cache

    kbx_time=$(timed kbx_encrypt "$plain" "$work/$kind.kbxf")
    pipe_time=$(timed pipe_encrypt "$plain" "$work/$kind.gz.enc")
    pigz_time=- pigz_speed=- pigz_size=-
    if $have_pigz; then
        pigz_time=$(timed pigz_encrypt "$plain" "$work/$kind.pigz.enc")
        pigz_speed=$(speed "$kbx_time" "$pigz_time")
        pigz_size=$(mib "$work/$kind.pigz.enc")
    fi
    row "$kind" encrypt "$kbx_time" "$pipe_time" "$(speed "$kbx_time" "$pipe_time")" "$pigz_time" \
        "$pigz_speed" "$(mib "$work/$kind.kbxf")" "$(mib "$work/$kind.gz.enc")" "$pigz_size"

    kbx_time=$(timed kbx_decrypt "$work/$kind.kbxf" "$work/$kind.kbx.out")
    pipe_time=$(timed pipe_decrypt "$work/$kind.gz.enc" "$work/$kind.pipe.out")
    pigz_time=- pigz_speed=-
    if $have_pigz; then
        pigz_time=$(timed pigz_decrypt "$work/$kind.pigz.enc" "$work/$kind.pigz.out")
        pigz_speed=$(speed "$kbx_time" "$pigz_time")
        cmp -s "$plain" "$work/$kind.pigz.out" || { echo "throughput.sh: pigz gave back other bytes" >&2; exit 1; }
    fi
    row "$kind" decrypt "$kbx_time" "$pipe_time" "$(speed "$kbx_time" "$pipe_time")" "$pigz_time" "$pigz_speed"

    cmp -s "$plain" "$work/$kind.kbx.out" || { echo "throughput.sh: kbx gave back other bytes" >&2; exit 1; }
    cmp -s "$plain" "$work/$kind.pipe.out" || { echo "throughput.sh: the pipeline gave back other bytes" >&2; exit 1; }
    rm -f -- "$work/$kind".*
done
