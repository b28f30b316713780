#!/usr/bin/env bash
# Sets up, builds and runs the player on your ~/Music.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/lumora-music "$@"
