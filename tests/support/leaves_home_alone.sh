#!/usr/bin/env bash
# Runs test programs the way a developer runs them by hand: without VTSETUP_MACHINE. HOME and the
# temporary folder point at empty folders of our own, and a program that leaves anything in either
# (a machine below HOME, or its temporary machine not cleared away) fails the check.
#
#   leaves_home_alone.sh PROGRAM FILTER [PROGRAM FILTER ...]
#
# FILTER is a GoogleTest filter ("*" for all): the whole-program runs repeat what their own tests run,
# so a few of them show what a run leaves as well as all of them would.
set -euo pipefail

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/home" "$scratch/tmp"

while [[ $# -ge 2 ]]; do
  program=$1
  filter=$2
  shift 2
  if ! env -u VTSETUP_MACHINE HOME="$scratch/home" TMPDIR="$scratch/tmp" "$program" --gtest_brief=1 \
      --gtest_filter="$filter" >"$scratch/log" 2>&1; then
    tail -n 40 "$scratch/log"
    echo "$program failed" >&2
    exit 1
  fi
  left=$(find "$scratch/home" "$scratch/tmp" -mindepth 1 -maxdepth 4)
  if [[ -n $left ]]; then
    echo "$program left behind:" >&2
    echo "$left" >&2
    exit 1
  fi
done
[[ $# -eq 0 ]] || { echo "leaves_home_alone.sh: a program without its filter" >&2; exit 2; }
