#!/bin/sh
# Runs every fuzz target on its corpus.
#   fuzz/run.sh smoke BUILD          a fixed number of runs each, at most
#                                    FUZZ_SMOKE_SECONDS (CI: about a minute in all)
#   fuzz/run.sh long BUILD SECONDS   each until FUZZ_RUNS executions (1,000,000)
#                                    or SECONDS, one target after the other
#   fuzz/run.sh merge BUILD          the seeds and what runs added, minimised,
#                                    become the seeds (fuzz/corpus/NAME)
# The seeds in fuzz/corpus/NAME stay as they are; what a run adds goes to
# BUILD/corpus/NAME, and a crash, leak or timeout to BUILD/findings/. Each
# target's memory, time and input-length bounds are in fuzz/NAME.options.
# FUZZ_TARGETS="lzw font" limits any mode to the targets named.
set -eu
mode=$1
build=$2
seconds=${3:-600}
here=$(cd "$(dirname "$0")" && pwd)
smokeRuns=${FUZZ_SMOKE_RUNS:-3000}
smokeSeconds=${FUZZ_SMOKE_SECONDS:-15}
longRuns=${FUZZ_RUNS:-1000000}
status=0
for options in "$here"/*.options; do
  name=$(basename "$options" .options)
  case " ${FUZZ_TARGETS:-$name} " in *" $name "*) ;; *) continue ;; esac
  target="$build/fuzz/${name}_fuzz"
  work="$build/corpus/$name"
  mkdir -p "$work" "$build/findings"
  if [ "$mode" = merge ]; then
    echo "== $name (merge)"
    rm -rf "$build/merged/$name" && mkdir -p "$build/merged/$name"
    # The quarantine as small as in the runs: a merge runs every input in one
    # process, and the default quarantine alone would pass the RSS bound.
    ASAN_OPTIONS=quarantine_size_mb=16 "$target" $(cat "$options") -merge=1 -close_fd_mask=1 \
      -artifact_prefix="$build/findings/$name-" "$build/merged/$name" \
      "$here/corpus/$name" "$work" >/dev/null 2>"$build/$name.merge.log" || status=1
    rm -rf "$here/corpus/$name" && mv "$build/merged/$name" "$here/corpus/$name"
    ls "$here/corpus/$name" | wc -l
    continue
  elif [ "$mode" = smoke ]; then
    limit="-runs=$smokeRuns -max_total_time=$smokeSeconds"
  else
    limit="-runs=$longRuns -max_total_time=$seconds"
  fi
  dictionary=""
  [ -f "$here/$name.dict" ] && dictionary="-dict=$here/$name.dict"
  echo "== $name ($mode)"
  # close_fd_mask=1: the diagnostic log (standard output) would cost more
  # than the inputs; reports go to standard error.
  if ! ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16 UBSAN_OPTIONS=print_stacktrace=1 \
    "$target" $(cat "$options") $limit $dictionary -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name-" "$work" "$here/corpus/$name" >/dev/null 2>"$build/$name.log"; then
    echo "$name: FINDING (see $build/$name.log and $build/findings/)"
    tail -40 "$build/$name.log"
    status=1
  fi
  # The coverage reached (cov: edges, ft: features) and the run's figures.
  grep -E "DONE" "$build/$name.log" | sed -E 's/.*(cov: [0-9]+ ft: [0-9]+).*/\1/' | tr '\n' ' '
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|stat::new_units_added" \
    "$build/$name.log" | tr '\n' ' '
  echo
done
exit $status
