# The shop's console runs of kalvoro.com under Wine, as a shop's script would make them: each
# case runs the program in a folder of orders of its own and holds it to its standard output
# (byte for byte the Linux build's, from tests/batch/console_runs), its standard error (UTF-8
# when redirected) and its exit status.
#
#   cmake -DPROGRAM=kalvoro.com -DWORK=DIR -DSOURCE=<the project's root> -P windows_console_runs.cmake
# with WINEPREFIX set to a prefix of the run's own.
foreach(given PROGRAM WORK SOURCE)
  if(NOT DEFINED ${given})
    message(FATAL_ERROR "windows_console_runs: -D${given}=... is required")
  endif()
endforeach()
file(MAKE_DIRECTORY ${WORK})
set(files ${SOURCE}/tests/scripts/files)
set(expected ${SOURCE}/tests/batch/console_runs)
# Wine hands the program its arguments in the terminal's encoding: without UTF-8 the Japanese
# names would reach it as other characters.
set(ENV{LANG} C.UTF-8)
set(ENV{LC_ALL} C.UTF-8)
set(ENV{WINEDEBUG} -all)
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
set(day --today=2026-12-07)
set(failed "")

# A folder of orders for one case: NAME=SAMPLE copies a sample order under that name (the last
# "=" parts them: a name may begin with one, a sample's has none).
function(orders_folder folder)
  file(REMOVE_RECURSE ${WORK}/${folder})
  file(MAKE_DIRECTORY ${WORK}/${folder})
  foreach(pair IN LISTS ARGN)
    string(FIND "${pair}" "=" at REVERSE)
    string(SUBSTRING "${pair}" 0 ${at} name)
    math(EXPR at "${at} + 1")
    string(SUBSTRING "${pair}" ${at} -1 sample)
    file(COPY_FILE ${files}/${sample} ${WORK}/${folder}/${name})
  endforeach()
endfunction()

# console_run(CASE IN FOLDER STATUS N [STDOUT FILE] [STDERR TEXT] ARGS ...)
function(console_run case)
  cmake_parse_arguments(PARSE_ARGV 1 run "" "IN;STATUS;STDOUT;STDERR" "ARGS")
  execute_process(COMMAND wine ${PROGRAM} ${run_ARGS} WORKING_DIRECTORY ${WORK}/${run_IN}
                  OUTPUT_FILE ${WORK}/${case}.out ERROR_VARIABLE errors RESULT_VARIABLE status)
  set(problems "")
  if(NOT "${status}" STREQUAL "${run_STATUS}")
    string(APPEND problems "\n  exit status ${status}, not ${run_STATUS}")
  endif()
  file(READ ${WORK}/${case}.out printed HEX)
  set(wanted "")
  if(run_STDOUT)
    file(READ ${expected}/${run_STDOUT} wanted HEX)
  endif()
  if(NOT printed STREQUAL wanted)
    string(APPEND problems "\n  standard output is not ${run_STDOUT} (kept in ${WORK}/${case}.out)")
  endif()
  if(NOT "${errors}" STREQUAL "${run_STDERR}")
    string(APPEND problems "\n  standard error:\n${errors}  not:\n${run_STDERR}")
  endif()
  if(problems)
    list(JOIN run_ARGS " " line)
    message(SEND_ERROR "${case}: kalvoro.com ${line}${problems}")
  else()
    message(STATUS "${case}: as the Linux build")
  endif()
endfunction()

orders_folder(one 十八冊.SAV=十八冊.SAV)
console_run(one_order IN one STATUS 0 STDOUT one_order.txt ARGS totals ${day} 十八冊.SAV)

# The names come sorted whatever order the folder lists them in; a name that does not fit stays
# out, and so does a folder whose name does.
orders_folder(pattern 零円の本.SAV=零円の本.SAV 十八冊.SAV=十八冊.SAV 0.SAV=零円の本.SAV 0.SAVE=十八冊.SAV
              note.TXT=空.TXT)
file(MAKE_DIRECTORY ${WORK}/pattern/folder.SAV)
console_run(csv_over_a_pattern IN pattern STATUS 0 STDOUT pattern.csv ARGS totals --csv ${day} *.SAV)

orders_folder(bad 十八冊.SAV=十八冊.SAV 壊れた注文.SAV=壊れた注文.SAV 零円の本.SAV=零円の本.SAV)
console_run(a_bad_file_among_good_ones IN bad STATUS 1 STDOUT bad_among_good.csv
            STDERR "kalvoro totals: 壊れた注文.SAV:3: 本の種類が０から４ではありません。\n"
            ARGS totals --csv ${day} 十八冊.SAV 壊れた注文.SAV 零円の本.SAV)

orders_folder(japanese)
file(MAKE_DIRECTORY ${WORK}/japanese/受信)
file(COPY_FILE ${files}/十八冊.SAV ${WORK}/japanese/受信/注文.SAV)
console_run(a_japanese_folder IN japanese STATUS 0 STDOUT japanese_folder.csv ARGS totals --csv ${day} 受信\\*.SAV)
console_run(a_japanese_folder_named IN japanese STATUS 0 STDOUT one_order.txt ARGS totals ${day} 受信\\注文.SAV)

console_run(a_missing_file IN one STATUS 1
            STDERR "kalvoro totals: 無い.SAV: ファイルまたはフォルダが見つかりません。\n" ARGS totals ${day} 無い.SAV)
console_run(an_unknown_option IN one STATUS 2
            STDERR "kalvoro totals: The following argument was not expected: --sum (see kalvoro totals --help)\n"
            ARGS totals --sum 十八冊.SAV)
console_run(a_byte_order_mark IN one STATUS 0 STDOUT bom.csv ARGS totals --csv --bom ${day} 十八冊.SAV)
console_run(a_byte_order_mark_without_csv IN one STATUS 2
            STDERR "kalvoro totals: --bom requires --csv (see kalvoro totals --help)\n" ARGS totals --bom 十八冊.SAV)

orders_folder(formula =1+2.SAV=十八冊.SAV)
console_run(a_formula_looking_name IN formula STATUS 0 STDOUT formula.csv ARGS totals --csv ${day} *.SAV)
