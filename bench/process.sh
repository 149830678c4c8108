#!/bin/bash
# Whole-process figures, each beside a baseline measured in the same run:
# process start, file reading and writing and every allocation count here,
# not only the inner loop that the Google benchmarks time.
#   bench/process.sh BUILD_DIR [RUNS]
# A time is the minimum over RUNS runs (default 9) of the whole process; a
# command and its baseline run in turn (A B A B ...), so that a machine that
# slows down meanwhile slows both.
set -euo pipefail
build=${1:?usage: bench/process.sh BUILD_DIR [RUNS]}
runs=${2:-9}
build=$(cd "$build" && pwd)
tool=$build/tools/velmorat-tool
velmorat=$build/Velmorat.app/Contents/MacOS/velmorat
data=$build/Velmorat.app/Contents/Resources/Data
png_decode=$build/bench/png_decode
. "$(dirname "$0")/../tests/host/xvfb_screen.sh"
open_work_folder

# Microseconds of wall time of one run: standard output to $1, the command
# after it. The shell's own fork and redirection count for every command alike.
run_us() {
  local out=$1
  shift
  local start=${EPOCHREALTIME/[.,]/}
  "$@" > "$out" 2> /dev/null
  local end=${EPOCHREALTIME/[.,]/}
  echo $((end - start))
}

# Sets best_a and best_b to the minimum microseconds of two commands run in
# turn: side_by_side OUT_A "COMMAND A" OUT_B "COMMAND B" (words split as a
# shell splits them; the file names here hold no blanks).
side_by_side() {
  local out_a=$1 command_a=$2 out_b=$3 command_b=$4 took
  best_a="" best_b=""
  for _ in $(seq "$runs"); do
    # shellcheck disable=SC2086
    took=$(run_us "$out_a" $command_a)
    if [ -z "$best_a" ] || [ "$took" -lt "$best_a" ]; then best_a=$took; fi
    # shellcheck disable=SC2086
    took=$(run_us "$out_b" $command_b)
    if [ -z "$best_b" ] || [ "$took" -lt "$best_b" ]; then best_b=$took; fi
  done
}

# name, our figure, baseline name, baseline figure, unit, scale to the unit
ratio_line() {
  awk -v name="$1" -v ours="$2" -v base_name="$3" -v base="$4" -v unit="$5" -v scale="$6" 'BEGIN {
    printf "%-36s %9.2f %-2s  %-18s %9.2f %-2s  ratio %.2f\n", name, ours * scale, unit,
      base_name, base * scale, unit, (base > 0 ? ours / base : 0) }'
}

# --- the pictures ------------------------------------------------------------
# A 1280 x 800 photo-like picture: the comet scene's pixels with noise in the
# low four bits of every byte, as a camera's would have (plain renders pack
# far better than photographs).
"$tool" gr-decode "$data/komet.gr" "$work/scene.rgb" > /dev/null
python3 - "$work/scene.rgb" "$work/photo.rgb" "$work/photo.gr" << 'PY'
import random, struct, sys
scene = open(sys.argv[1], "rb").read()
size = len(scene)
high = int.from_bytes(bytes([0xF0]) * size, "big")
low = int.from_bytes(bytes([0x0F]) * size, "big")
noise = random.Random(16).randbytes(size)
photo = ((int.from_bytes(scene, "big") & high) | (int.from_bytes(noise, "big") & low))
photo = photo.to_bytes(size, "big")
open(sys.argv[2], "wb").write(photo)
# the same pixels as a plain 24-bit picture (format 3)
header = struct.pack(">B4sBIHHBB", 16, b"qbgr", 3, 0, 1280, 800, 0x11, 0)
open(sys.argv[3], "wb").write(header + photo)
PY
"$tool" lzw-pack "$work/photo.rgb" "$work/photo.lzw" > /dev/null
compress -c "$work/photo.rgb" > "$work/photo.Z"
"$tool" gr-draw "$work/photo.gr" "$work/photo.png" > /dev/null
"$tool" png-to-gr --format 123 "$work/photo.png" "$work/photo123.gr" > /dev/null
# a scene of the game as it ships (format 123: run-length 24-bit pixels, LZW)
scene=$data/halle.gr
"$tool" gr-draw "$scene" "$work/scene.png" > /dev/null

echo "Whole processes, minimum of $runs runs each, side by side"

side_by_side /dev/null "$tool lzw-unpack $work/photo.lzw $work/unpacked.rgb" \
  "$work/uncompressed.rgb" "uncompress -c $work/photo.Z"
cmp -s "$work/unpacked.rgb" "$work/photo.rgb" || echo "lzw-unpack: the pixels differ"
ratio_line "lzw-unpack, photo-like 1280x800" "$best_a" "uncompress" "$best_b" ms 0.001

side_by_side /dev/null "$tool lzw-pack $work/photo.rgb $work/packed.lzw" \
  "$work/packed.Z" "compress -c $work/photo.rgb"
ratio_line "lzw-pack, photo-like 1280x800" "$best_a" "compress" "$best_b" ms 0.001

side_by_side /dev/null "$tool gr-decode $scene $work/scene-decoded.rgb" \
  /dev/null "$png_decode $work/scene.png $work/scene-png.rgb"
cmp -s "$work/scene-decoded.rgb" "$work/scene-png.rgb" || echo "gr-decode: the pixels differ"
ratio_line "gr-decode, game scene (format 123)" "$best_a" "libpng decode" "$best_b" ms 0.001

side_by_side /dev/null "$tool gr-decode $work/photo123.gr $work/photo-decoded.rgb" \
  /dev/null "$png_decode $work/photo.png $work/photo-png.rgb"
cmp -s "$work/photo-decoded.rgb" "$work/photo-png.rgb" || echo "gr-decode: the pixels differ"
ratio_line "gr-decode, photo-like (format 123)" "$best_a" "libpng decode" "$best_b" ms 0.001

# --- a scripted game -----------------------------------------------------------
# The two keys of the title, then 200 commands, headless; the same run with
# the title keys only is subtracted (process start, title, end).
{
  printf '\n\n'
  for _ in $(seq 100); do printf 'schau\ninventar\n'; done
} > "$work/game.keys"
printf '\n\n' > "$work/title.keys"
export QT_QPA_PLATFORM=offscreen
game_runs=$(( (runs + 2) / 3 ))
runs_before=$runs
runs=$game_runs
side_by_side /dev/null "$velmorat --headless --keys $work/game.keys" \
  /dev/null "$velmorat --headless --keys $work/title.keys"
per_command=$(( (best_a - best_b) / 200 ))
ratio_line "scripted game, wall per command" "$per_command" "target" 15000 ms 0.001
# Start, title and end: the program thread is woken at the title's wait and
# joined, so the run ends as soon as its keys are spent.
ratio_line "headless run to the title, whole" "$best_b" "target" 150000 ms 0.001
# The same beside the program started and ended at once (--help): what the
# loader and the libraries cost every run, measured here and now.
runs=$runs_before
side_by_side /dev/null "$velmorat --headless --keys $work/title.keys" /dev/null "$velmorat --help"
ratio_line "headless run to the title, whole" "$best_a" "velmorat --help" "$best_b" ms 0.001

# --- the author's loop ----------------------------------------------------------
# velmorat-tool test on the game's transcripts, and an edit to its replayed
# scene under run --watch, each beside the plain headless runs inside it.
python3 "$(dirname "$0")/author_loop.py" "$tool" "$velmorat" "$build/Velmorat.app" \
  "$(dirname "$0")/../game" "$work" "$game_runs" |
  while IFS=$'\t' read -r name ours base_name base; do
    ratio_line "$name" "$ours" "$base_name" "$base" ms 1
  done

# --- idle at the command prompt under Xvfb -----------------------------------
# The processor time of all the game's threads over a few seconds at the
# prompt, from the scheduler's own accounts (nanoseconds).
if command -v Xvfb > /dev/null && command -v xdotool > /dev/null; then
  wait_seconds=60
  start_xvfb 1920x1080 || { echo "idle at the prompt: Xvfb did not start"; exit 1; }
  QT_QPA_PLATFORM=xcb "$velmorat" --log --keys "$work/title.keys" > "$work/idle.log" 2>&1 &
  app=$!
  at_prompt() { grep -q 'Command = INPUT' "$work/idle.log"; }
  game_gone() { ! kill -0 "$app" 2> /dev/null; }
  at_prompt_or_gone() { at_prompt || game_gone; }
  if ! wait_for at_prompt_or_gone || game_gone; then
    echo "idle at the prompt: the game did not reach its prompt under Xvfb ($DISPLAY)"
    exit 1
  fi
  on_cpu_ns() { cat /proc/"$app"/task/*/schedstat 2> /dev/null | awk '{ s += $1 } END { print s + 0 }'; }
  idle_seconds=5
  before=$(on_cpu_ns)
  sleep "$idle_seconds"
  after=$(on_cpu_ns)
  share=$(awk -v ns=$((after - before)) -v s="$idle_seconds" 'BEGIN { printf "%.4f", ns / 1e9 / s * 100 }')
  ratio_line "idle at the prompt (Xvfb), core" "$share" "target" 1 % 1
fi
