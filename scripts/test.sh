#!/bin/sh
# Sets everything up, builds, and runs every test.
# Usage: scripts/test.sh [preset]   (default preset: "default"; "asan" for the
# AddressSanitizer/UndefinedBehaviorSanitizer build)
set -eu
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
ctest --preset "$preset"
