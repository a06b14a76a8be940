#!/usr/bin/env bash
# Runs every benchmark program of a build (bench_* in <build>/bin), then "torvaset-cli logo
# convert" as a whole process, next to its in-process figure: on a 512 x 1024 24-bit picture
# against plain_convert (a plain single-file C converter of the same rules, built with the
# benchmarks), and on a 384 x 96 logo against Pillow and ImageMagick as well.
# Usage: scripts/run-bench.sh [build-dir]   (default build/bench, as `make bench` builds it)
set -euo pipefail
BUILD_DIR=${1:-build/bench}
BIN="$BUILD_DIR/bin"
RUNS=${BENCH_RUNS:-100}

shopt -s nullglob
programs=("$BIN"/bench_*)
if [ ${#programs[@]} -eq 0 ]; then
  echo "run-bench: no benchmark programs in $BIN" >&2
  exit 1
fi
for program in "${programs[@]}"; do
  echo "== $(basename "$program")"
  "$program" --benchmark_counters_tabular=true
done

CLI="$BIN/torvaset-cli"
PLAIN="$BIN/plain_convert"
if [ ! -x "$CLI" ]; then
  echo "run-bench: $CLI not built; whole-process comparison skipped" >&2
  exit 0
fi
PY=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import PIL' >/dev/null 2>&1; then PY=$candidate; break; fi
done
if [ -z "$PY" ]; then
  echo "run-bench: Pillow not found; whole-process comparison skipped" >&2
  exit 0
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
LOGO="$WORK/logo.bmp"
BIG="$WORK/big24.bmp"
# The logo as a dealer scans it (1 bit); the large picture photo-like (shading and noise).
"$PY" - "$LOGO" "$BIG" <<'PYEOF'
import random, sys
from PIL import Image
Image.linear_gradient("L").resize((384, 96)).convert("1").save(sys.argv[1])
rng = random.Random(1)
big = Image.new("RGB", (512, 1024))
big.putdata([(min(255, max(0, (x // 2 + y // 4) // 2 + rng.randint(-20, 20))),
              (x * 7 + y) % 256, 255 - y // 4) for y in range(1024) for x in range(512)])
big.save(sys.argv[2])
PYEOF
cat >"$WORK/pillow_convert.py" <<'PYEOF'
import sys
from PIL import Image
Image.open(sys.argv[1]).convert("L").convert("1").save(sys.argv[2])
PYEOF

# mean_ms COMMAND...: "wall cpu", the mean wall and processor (user + system) time of one
# run in milliseconds, after three warm-up runs. The ratios use processor time, which other
# work on a shared machine disturbs less.
mean_ms() {
  for _ in 1 2 3; do "$@" >/dev/null 2>&1; done
  local TIMEFORMAT='%3R %3U %3S' times
  times=$( { time for ((n = 0; n < RUNS; n++)); do "$@" >/dev/null 2>&1; done; } 2>&1)
  awk -v t="$times" -v runs="$RUNS" 'BEGIN {
    split(t, f, " "); printf "%.3f %.3f\n", f[1] * 1e3 / runs, (f[2] + f[3]) * 1e3 / runs }'
}
# in_process_ms NAME: the converter's own processor time per image in bench_logo_convert.
in_process_ms() {
  "$BIN/bench_logo_convert" --benchmark_filter="^$1\$" --benchmark_format=csv 2>/dev/null |
    awk -F, -v name="\"$1\"" '$1 == name {
      scale = $5 == "ns" ? 1e-6 : $5 == "us" ? 1e-3 : $5 == "s" ? 1e3 : 1
      printf "%.3f", $4 * scale }'
}

declare -A ms
report() {  # picture, in-process benchmark, then label=command pairs
  local picture=$1 bench=$2
  shift 2
  echo
  echo "== whole process on $picture ($RUNS runs each, mean wall and processor time)"
  printf "%-44s %10s ms per image (processor time)\n" "torvaset converter in-process" \
    "$(in_process_ms "$bench")"
  local pair label wall cpu
  for pair in "$@"; do
    label=${pair%%=*}
    # shellcheck disable=SC2086
    read -r wall cpu < <(mean_ms ${pair#*=})
    ms[$label]=$cpu
    printf "%-44s %10s ms per run, %s ms processor\n" "$label" "$wall" "$cpu"
  done
}
ratio() {  # "A / B" line, in processor time
  awk -v a="${ms[$1]}" -v b="${ms[$2]}" -v t="$1 / $2" 'BEGIN { printf "%-44s %10.2f\n", t, a / b }'
}

big_cmds=("torvaset-cli logo convert=$CLI logo convert $BIG --out $WORK/t.bin")
[ -x "$PLAIN" ] && big_cmds+=("plain_convert=$PLAIN $BIG $WORK/p.bin")
big_cmds+=("Pillow=$PY $WORK/pillow_convert.py $BIG $WORK/pil.bmp")
report "a 512 x 1024 24-bit picture" BM_Mono512x1024_24bit "${big_cmds[@]}"
[ -x "$PLAIN" ] && ratio "torvaset-cli logo convert" plain_convert   # goal: at most 0.5
ratio Pillow "torvaset-cli logo convert"
same_bytes() {
  if [ -x "$PLAIN" ] && ! cmp -s "$WORK/t.bin" "$WORK/p.bin"; then
    echo "run-bench: torvaset-cli and plain_convert disagree on the bytes of $1" >&2
    exit 1
  fi
}
same_bytes "the 512 x 1024 picture"

logo_cmds=("torvaset-cli logo convert=$CLI logo convert $LOGO --out $WORK/t.bin")
[ -x "$PLAIN" ] && logo_cmds+=("plain_convert=$PLAIN $LOGO $WORK/p.bin")
logo_cmds+=("Pillow=$PY $WORK/pillow_convert.py $LOGO $WORK/pil.bmp")
if command -v convert >/dev/null; then
  logo_cmds+=("ImageMagick convert=convert $LOGO -colorspace Gray -dither FloydSteinberg -monochrome BMP3:$WORK/magick.bmp")
fi
report "a 384 x 96 logo" BM_Mono384x96_1bit "${logo_cmds[@]}"
ratio Pillow "torvaset-cli logo convert"   # goal: at least 10
[ -x "$PLAIN" ] && ratio "torvaset-cli logo convert" plain_convert
same_bytes "the logo"
