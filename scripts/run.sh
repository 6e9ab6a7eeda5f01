#!/usr/bin/env bash
# Sets up and builds the trainer, then starts it with the bundled content from the build tree.
# Arguments are passed on to zarvo (for example --print-config).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
exec build/default/bin/zarvo --content build/default/share/zarvo/ "$@"
