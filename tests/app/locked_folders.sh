#!/bin/sh
# Runs the locked-client tests of app_client_state_tool_test: the program lays out two client
# folders, Linux's immutable flag is set on them here (chattr is a Unix program), the program
# switches in them, and the flag is cleared and the folders removed whatever happened.
# locked_folders.sh UNIX_ROOT WINE_RUN SESSION_DIR TEST_PROGRAM
set -u
root=$1 wine_run=$2 session=$3 program=$4
clear() { chattr -i "$root"/profile "$root"/own 2>/dev/null; rm -rf "$root"; }
clear
mkdir -p "$root" || exit 1
trap clear EXIT
export LOCKED_CLIENTS="Z:$(printf '%s' "$root" | tr / '\\')"
"$wine_run" "$session" "$program" --gtest_filter=LockedClient.LayOut || exit 1
chattr +i "$root"/profile "$root"/own || exit 1
"$wine_run" "$session" "$program" --gtest_filter=LockedClient.AdvisesRightsNotClosingTheClient
