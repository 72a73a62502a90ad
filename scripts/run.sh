#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brindle on the sample workspace.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --gui
scripts/build.sh
exec build/brindle --home build/workspace "$@"
