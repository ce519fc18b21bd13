#!/usr/bin/env bash
# The pagewire command under real use: bounded password input, interrupted
# and changing sends, pipes, what IPP jobs carry, the settings file. Each
# part is a file in real_use/, sourced in turn, sharing one set of servers
# started on demand. Run by ctest:
#   real_use_scenarios.sh PAGEWIRE SOURCE_DIR
set -uo pipefail
pagewire=$1
source_dir=$2
. "$source_dir/tests/linux/scenario_lib.sh"

for part in "$source_dir"/tests/linux/real_use/*.sh; do
  # shellcheck source=/dev/null
  . "$part"
done

[ "$failures" -eq 0 ] && echo "all real-use scenarios passed"
[ "$failures" -eq 0 ]
