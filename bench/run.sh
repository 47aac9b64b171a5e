#!/usr/bin/env bash
# Speed benchmarks: kestrovan.runGLPK (selector 3: build and basis, no method)
# against the same model built element by element through GLPK for Java and
# against GLPK's own work alone (the floor), at 10^4, 10^5 and 10^6 matrix
# entries. Installs what is missing, builds, runs, prints the table and writes
# the plot to docs/bench.png.
#
#   bash bench/run.sh     # ROUNDS=5 by default; each round runs every program once
#
# BENCH_PLOT names the plot (default docs/bench.png). Settings of the C library's
# allocator (GLIBC_TUNABLES) reach every program alike.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTROVAN_BUILD:-$top/build}
rounds=${ROUNDS:-5}
plot=${BENCH_PLOT:-docs/bench.png}
bash "$top/scripts/install-deps.sh" packages-build.txt packages-bench.txt
cmake -S "$top" -B "$build" -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target kestrovan floor_bench phases_bench kestrovan_bench >/dev/null

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
results=$build/bench/results.txt
rm -f "$results"
classpath=$build/bench/kestrovan_bench.jar:$build/kestrovan.jar:/usr/share/java/glpk-java.jar
kestrovan_java=(java -Dkestrovan.library="$build/libkestrovan.so" -cp "$classpath")
sizes=(10000 100000 1000000)
declare -A warmup=([10000]=20 [100000]=3 [1000000]=1) reps=([10000]=15 [100000]=5 [1000000]=3)

# Every program writes its own text to /dev/null and its figures to $results.
# The rounds interleave the programs so that a busy machine burdens each alike.
for ((round = 1; round <= rounds; round++)); do
  echo "round $round of $rounds" >&2
  for size in "${sizes[@]}"; do
    "$build/bench/floor_bench" "$size" "${warmup[$size]}" "${reps[$size]}" "$results" >/dev/null
    "${kestrovan_java[@]}" KestrovanBench calls "$size" "${warmup[$size]}" "${reps[$size]}" "$results" >/dev/null
    java -cp "$classpath" GlpkJavaBench "$size" "${warmup[$size]}" "${reps[$size]}" "$results" >/dev/null
  done
  "${kestrovan_java[@]}" KestrovanBench small 20000 20001 "$results" >/dev/null
done
"${kestrovan_java[@]}" KestrovanBench memory 1000000 "$results" >/dev/null

# median FIELD-FROM PREFIX: median of the numbers from field FIELD-FROM on, over all lines starting with PREFIX.
median() {
  grep "^$2 " "$results" | cut -d' ' -f"$1"- | tr ' ' '\n' | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

data=$build/bench/times.dat
printf '# entries kestrovan_ms glpk_for_java_ms floor_ms\n' >"$data"
printf '| entries | kestrovan ms | GLPK for Java ms | floor ms | kestrovan / GLPK for Java | kestrovan / floor | kestrovan ns per entry |\n'
printf '|---:|---:|---:|---:|---:|---:|---:|\n'
for size in "${sizes[@]}"; do
  if [[ $(grep -E "^(kestrovan|glpkjava|floor) $size " "$results" | cut -d' ' -f3 | sort -u | wc -l) -ne 1 ]]; then
    echo "the programs did not build the same model at $size entries" >&2
    exit 1
  fi
  k=$(median 4 "kestrovan $size") j=$(median 4 "glpkjava $size") f=$(median 4 "floor $size")
  awk -v n="$size" -v k="$k" -v j="$j" -v f="$f" 'BEGIN {
    printf "| %d | %.1f | %.1f | %.1f | %.2f | %.2f | %.0f |\n", n, k / 1e6, j / 1e6, f / 1e6, k / j, k / f, k / n
  }'
  awk -v n="$size" -v k="$k" -v j="$j" -v f="$f" 'BEGIN { print n, k / 1e6, j / 1e6, f / 1e6 }' >>"$data"
done

small=$(median 2 small)
k4=$(median 4 "kestrovan 10000") k6=$(median 4 "kestrovan 1000000")
f4=$(median 4 "floor 10000") f6=$(median 4 "floor 1000000")
read -r _ entries peak copy < <(grep '^memory ' "$results")
glpk=$(median 3 "floormem $entries")
awk -v s="$small" -v k4="$k4" -v k6="$k6" -v f4="$f4" -v f6="$f6" -v p="$peak" -v c="$copy" -v g="$glpk" 'BEGIN {
  printf "\nsmall call (tiny model, selector 3): median %.1f us\n", s / 1e3
  printf "growth: kestrovan ns per entry 10^6 / 10^4 = %.2f (floor: %.2f; kestrovan minus floor: %.0f -> %.0f ns per entry)\n",
         (k6 / 1e6) / (k4 / 1e4), (f6 / 1e6) / (f4 / 1e4), (k4 - f4) / 1e4, (k6 - f6) / 1e6
  printf "peak memory of a call at 10^6 entries: %.1f MB; working copy %.1f MB + GLPK alone %.1f MB = %.1f MB; ratio %.2f\n",
         p / 1e6, c / 1e6, g / 1e6, (c + g) / 1e6, p / (c + g)
}'
echo "machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), load average $load_start at the start and $(cut -d' ' -f1-3 /proc/loadavg) at the end, $(date -u '+%Y-%m-%d %H:%M UTC')"

echo
"$build/bench/phases_bench" 1000000 3 2>&1 >/dev/null

mkdir -p "$(dirname "$top/$plot")"
gnuplot <<PLOT
set terminal pngcairo size 800,520 font ",11"
set output "$top/$plot"
set title "One call: build the model and the advanced basis in GLPK"
set xlabel "matrix entries"
set ylabel "median time (ms)"
set logscale xy
set format x "10^{%L}"
set key top left
set grid
plot "$data" using 1:2 with linespoints title "kestrovan (echo included)", \
     "$data" using 1:3 with linespoints title "GLPK for Java, element by element", \
     "$data" using 1:4 with linespoints title "floor: GLPK alone"
PLOT
echo "plot: $plot; figures: $results" >&2
