#!/usr/bin/env bash
# Runs every benchmark program of a build (bench_* in <build>/bin), then the whole-process
# comparison of "torvaset-cli logo convert" with Pillow and ImageMagick on a 384 x 96 logo.
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
if [ ! -x "$CLI" ]; then
  echo "run-bench: $CLI not built; whole-process comparison skipped" >&2
  exit 0
fi
PY=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c 'import PIL' >/dev/null 2>&1; then PY=$candidate; break; fi
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
LOGO="$WORK/logo.bmp"
if command -v convert >/dev/null; then
  convert -size 384x96 gradient:white-black -monochrome BMP3:"$LOGO"
elif [ -n "$PY" ]; then
  "$PY" -c "from PIL import Image; Image.linear_gradient('L').resize((384, 96)).convert('1').save('$LOGO')"
else
  echo "run-bench: neither ImageMagick nor Pillow found; whole-process comparison skipped" >&2
  exit 0
fi

commands=("$CLI logo convert $LOGO --out $WORK/torva.bin")
names=("torvaset-cli logo convert")
if [ -n "$PY" ]; then
  cat >"$WORK/pillow_convert.py" <<PYEOF
import sys
from PIL import Image
Image.open(sys.argv[1]).convert("L").convert("1").save(sys.argv[2])
PYEOF
  commands+=("$PY $WORK/pillow_convert.py $LOGO $WORK/pillow.bmp")
  names+=("Pillow (Floyd-Steinberg to 1 bit)")
fi
if command -v convert >/dev/null; then
  commands+=("convert $LOGO -colorspace Gray -dither FloydSteinberg -monochrome BMP3:$WORK/magick.bmp")
  names+=("ImageMagick convert (Floyd-Steinberg to 1 bit)")
fi

echo
echo "== whole process on a 384 x 96 logo"
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 5 --runs "$RUNS" "${commands[@]}"
  exit 0
fi
# No hyperfine: a plain loop, mean wall time per run.
for i in "${!commands[@]}"; do
  for _ in 1 2 3; do ${commands[$i]} >/dev/null 2>&1; done
  start=$(date +%s%N)
  for ((n = 0; n < RUNS; n++)); do ${commands[$i]} >/dev/null 2>&1; done
  end=$(date +%s%N)
  awk -v name="${names[$i]}" -v ns=$((end - start)) -v runs="$RUNS" \
    'BEGIN { printf "%-48s %8.3f ms per run\n", name, ns / runs / 1e6 }'
done
