#!/usr/bin/env bash
# Placeholder until the headless demo exists: show what the program offers.
set -euo pipefail
build=${1:-build}
"$build/ventrel" --help
