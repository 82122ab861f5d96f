#!/usr/bin/env bash
# Builds the libFuzzer harnesses of bench/fuzz with clang, ASan and UBSan, and runs each for
# FUZZ_SECONDS (60) on a small seed corpus made afresh in a temporary directory. Prints, per
# harness, the executions, executions per second, the time taken, the edges of our code
# reached (Qt is not instrumented) and whether any crash, hang, leak or sanitizer report
# occurred. Exits non-zero if one did; the temporary directory (logs, corpus, the failing
# input) is then kept and named.
#   bash bench/fuzz.sh            build into /tmp/ambervale-fuzz, then fuzz
#   FUZZ_SECONDS=600 bash bench/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD_DIR:-/tmp/ambervale-fuzz}"
harnesses=(fuzz_resourcereader fuzz_resaddress)
dictionaries=(reader.dict address.dict)
corpora=(reader address)

# clang-14 and its runtime libraries (libFuzzer, ASan, UBSan) from Debian.
missing=()
for package in clang-14 libclang-rt-14-dev; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -gt 0 ]]; then
    as_root=()
    [[ $(id -u) -ne 0 ]] && as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S bench/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 > /dev/null
cmake --build "$build" -j2 > /dev/null

work="$(mktemp -d /tmp/ambervale-fuzz-run.XXXXXX)"
"$build/makeseeds" "$work"

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
printf '%-22s %12s %10s %8s %6s  %s\n' harness executions exec/s time edges result
for i in "${!harnesses[@]}"; do
    name="${harnesses[$i]}"
    log="$work/$name.log"
    mkdir -p "$work/artifacts"
    start=$(date +%s.%N)
    status=0
    "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict="$work/${dictionaries[$i]}" -artifact_prefix="$work/artifacts/$name-" \
        "$work/${corpora[$i]}" > "$log" 2>&1 || status=$?
    elapsed=$(awk -v from="$start" -v to="$(date +%s.%N)" 'BEGIN { print to - from }')

    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    edges=$(grep -oE ' cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || true)
    result="no crash, hang, leak or sanitizer report"
    if [[ $status -ne 0 ]] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|ALARM: working on the last Unit|out-of-memory|SUMMARY: ' "$log"; then
        failed=1
        kind=$(grep -oE '^(res: address|resource reader): .*|ERROR: (AddressSanitizer|LeakSanitizer): [a-z-]+|ERROR: libFuzzer: [a-z -]+|runtime error: .*|ALARM: working on the last Unit|out-of-memory' "$log" | head -1)
        result="FAILED (exit $status): ${kind:-see log}; input: $(ls "$work/artifacts" | grep "^$name-" | head -1); log: $log"
    fi
    printf '%-22s %12s %10s %7.1fs %6s  %s\n' "$name" "${executions:-?}" "${rate:-?}" "$elapsed" "${edges:-?}" "$result"
done

if [[ $failed -eq 0 ]]; then
    rm -rf "$work"
else
    echo "Kept $work (logs, corpora, failing inputs)."
fi
exit $failed
