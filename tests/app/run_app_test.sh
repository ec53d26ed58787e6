#!/bin/bash
# Runs one application test script with the harness of lib.sh.
# Usage: run_app_test.sh WINE_RUN UI_DRIVER SIMULATOR BUILD_DIR PREFIX SCRIPT
export WINE_RUN=$1 DRIVER=$2 SIM=$3 BUILD=$4 PREFIX=$5
export LIB=$(cd "$(dirname "$0")" && pwd)/lib.sh
exec bash "$6"
