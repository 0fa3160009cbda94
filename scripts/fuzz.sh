#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each one for a bounded time on a fresh copy
# of the seed corpus inside the build directory; the repository's corpus is never written to.
#   scripts/fuzz.sh [seconds per harness, default 30]
# Exits non-zero when a harness finds a crash, a leak or a broken invariant.
set -euo pipefail

seconds="${1:-30}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds per harness]" >&2; exit 2 ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

# The "fuzz" preset of CMakePresets.json: clang, DOVREL_FUZZ=ON, into build-fuzz.
(cd "$root" && cmake --preset fuzz && cmake --build --preset fuzz)

# A crash report names functions and lines only with the symbolizer (Debian's llvm package).
if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"
fi

# AddressSanitizer keeps freed memory in a quarantine to catch a later use of it. Its default
# (256 MB, several times that in memory with the red zones around small blocks) makes a long run
# grow towards libFuzzer's 2 GB memory limit and slows it down; one run of a harness frees a few
# kilobytes, which a 16 MB quarantine still holds. ASAN_OPTIONS from outside wins.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

# The longest input a harness tries, where libFuzzer's own choice (4 KB, or the longest seed) is
# too short: a settings line or a typed delay that holds a number of thousands of digits.
declare -A max_len=([settings]=16384 [delay]=16384)

status=0
for name in guide settings delay; do
  work="$build/fuzz-run/$name"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -R "$root/fuzz/corpus/$name/." "$work/corpus/"
  echo "== fuzz_$name for ${seconds}s"
  # Run inside the work directory so that nothing the fuzzer writes lands in the repository.
  if (cd "$work" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        ${max_len[$name]:+-max_len="${max_len[$name]}"} \
        -artifact_prefix="$work/artifacts/" "$work/corpus"); then
    echo "== fuzz_$name: no crash"
  else
    echo "== fuzz_$name found a problem; reproducer in $work/artifacts" >&2
    status=1
  fi
done
exit "$status"
