#!/bin/sh
# Writes the bytes the Linux build prints for the console runs that tests/windows_console_runs.cmake
# makes under Wine, so that the Windows program is held to them. Run again, from this folder, only
# when the figures are meant to change: sh make_expected.sh build/kalvoro
set -eu
program=$(realpath "$1")
here=$(pwd)
files=$here/../../scripts/files
day=--today=2026-12-07
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$files/十八冊.SAV" "$files/零円の本.SAV" "$files/壊れた注文.SAV" .
cp 零円の本.SAV 0.SAV
cp 十八冊.SAV '=1+2.SAV'
# What Windows names 受信\注文.SAV is one file of that name here: the same bytes in the FILE column.
cp 十八冊.SAV '受信\注文.SAV'
"$program" totals $day 十八冊.SAV >"$here/one_order.txt"
"$program" totals --csv $day 0.SAV 十八冊.SAV 零円の本.SAV >"$here/pattern.csv"
"$program" totals --csv $day 十八冊.SAV 壊れた注文.SAV 零円の本.SAV >"$here/bad_among_good.csv" 2>/dev/null || true
"$program" totals --csv $day '受信\注文.SAV' >"$here/japanese_folder.csv"
"$program" totals --csv --bom $day 十八冊.SAV >"$here/bom.csv"
"$program" totals --csv $day '=1+2.SAV' >"$here/formula.csv"
