#!/usr/bin/env bash
# Fuzzing leg: builds the libFuzzer targets of fuzz/ with Clang, replays each
# target's checked-in corpus, then fuzzes each target for a bounded time
# (VEXLAR_FUZZ_SECONDS, 60 by default) from that corpus. A crash, hang, leak,
# sanitizer report or failed property fails the leg; the input that caused
# it is left in build-fuzz/artifacts/ and shown in the output.
set -euo pipefail
cd "$(dirname "$0")/../.."

targets=(reader_fuzzer dyno_fuzzer convert_fuzzer)
seconds=${VEXLAR_FUZZ_SECONDS:-60}

# libFuzzer comes with Clang's compiler runtime, which a machine may lack.
probe=$(mktemp -d)
printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' \
  >"$probe/probe.cc"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cc" -o "$probe/probe" \
  >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y clang libclang-rt-dev
fi
rm -rf "$probe"

echo "+ cmake --preset fuzz && cmake --build --preset fuzz"
cmake --preset fuzz
cmake --build --preset fuzz --target "${targets[@]}"

# An input that runs for 25 s counts as a hang; the slowest ones seen in long
# runs take well under a second, with room for a busy machine.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
rm -rf build-fuzz/artifacts
mkdir -p build-fuzz/artifacts build-fuzz/logs
failed=()
for target in "${targets[@]}"; do
  fuzzer="build-fuzz/fuzz/$target"
  corpus="fuzz/corpus/$target"
  log="build-fuzz/logs/$target.log"

  echo "+ $fuzzer -runs=0 $corpus"
  if ! "$fuzzer" -runs=0 -timeout=25 -artifact_prefix="build-fuzz/artifacts/$target-" \
    "$corpus" >"$log.corpus" 2>&1; then
    tail -n 60 "$log.corpus"
    failed+=("$target (corpus)")
    continue
  fi
  tail -n 1 "$log.corpus"

  # New inputs go to a scratch folder; the checked-in corpus stays as it is.
  scratch="build-fuzz/scratch/$target"
  rm -rf "$scratch"
  mkdir -p "$scratch"
  echo "+ $fuzzer -max_total_time=$seconds $scratch $corpus"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/artifacts/$target-" "$scratch" "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    failed+=("$target")
    continue
  fi
  grep -E '^stat::number_of_executed_units|^Done ' "$log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  # A failed merge check of convert_fuzzer left the input before the failing
  # one in the current folder.
  if [ -f merge-base.kolvo ]; then mv merge-base.kolvo build-fuzz/artifacts/convert_fuzzer-merge-base; fi
  # The machine does not outlive the run: show each saved input, to be
  # replayed with `base64 -d > input && build-fuzz/fuzz/<target> input`.
  for artifact in build-fuzz/artifacts/*; do
    [ -f "$artifact" ] || continue
    echo "--- $artifact (base64)"
    base64 "$artifact"
  done
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no findings"
