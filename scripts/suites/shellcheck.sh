#!/usr/bin/env bash
# The project's shell scripts, held to shellcheck's default checks (the
# .shellcheckrc lets it follow the files they source). Ends with
# "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh

mapfile -t scripts < <(git ls-files '*.sh' .ci/run 2>/dev/null || find . -name '*.sh' -not -path './build/*')
for script in "${scripts[@]}"; do
    shellcheck "$script"
    summary_result $? "shellcheck $script"
done
summary_finish
