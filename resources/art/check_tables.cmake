# Feeds mkart language tables with one fault each, made from a good table,
# and checks that it refuses each with the file, the line and the cause,
# and writes nothing.  The unchanged table is drawn, so that each refusal
# is the fault's doing.
# Usage: cmake -DMKART=... -DOUT=... -DGOOD=<a good table> -P check_tables.cmake
cmake_policy(VERSION 3.16)
file(READ "${GOOD}" good)

# name | regular expression in the good table | replacement | what mkart says
set(cases
  "unchanged|-|-|-"
  "too wide|billboard1\\.line1 = [^\n]*|billboard1.line1 = Frames, columns, guides and rulers put|xx\\.txt:[0-9]+: billboard1\\.line1 is [0-9.]+ pixels wide where 198\\.0 fit"
  "heading too wide|billboard4\\.heading = [^\n]*|billboard4.heading = Printing and proofs|xx\\.txt:[0-9]+: billboard4\\.heading is [0-9.]+ pixels wide where 200\\.0 fit"
  "guide reaches into the letters|billboard2\\.baseline = [^\n]*|billboard2.baseline = the baseline of the type|xx\\.txt:[0-9]+: billboard2\\.baseline is [0-9.]+ pixels wide"
  "logo line longer than the name|logo = [^\n]*|logo = DESKTOP PUBLISHING FOR EVERYONE|xx\\.txt:[0-9]+: logo is [0-9.]+ pixels wide"
  "character without a glyph|billboard3\\.heading = [^\n]*|billboard3.heading = Pictures @ home|xx\\.txt:[0-9]+: billboard3\\.heading: the font has no glyph for character 0x40"
  "table saved as UTF-8|billboard3\\.heading = [^\n]*|billboard3.heading = Bildübersicht|xx\\.txt:[0-9]+: billboard3\\.heading looks like UTF-8"
  "key missing|billboard5\\.line2 = [^\n]*\n||xx\\.txt:[0-9]+: billboard5\\.line2 is missing"
  "key twice|billboard5\\.line2 = |billboard5.line1 = Again\nbillboard5.line2 = |xx\\.txt:[0-9]+: billboard5\\.line1 is given twice \\(first on line [0-9]+\\)"
  "unknown key|logo = |billboard6.heading = Fonts\nlogo = |xx\\.txt:[0-9]+: unknown key billboard6\\.heading"
  "no equals sign|logo = |logo DESKTOP\nlogo = |xx\\.txt:[0-9]+: expected KEY = TEXT"
  "empty text|billboard1\\.heading = [^\n]*|billboard1.heading =|xx\\.txt:[0-9]+: billboard1\\.heading is empty"
  "bits neither 4 nor 8|billboard1\\.bits = [^\n]*|billboard1.bits = 24|xx\\.txt:[0-9]+: billboard1\\.bits must be 4 or 8")

set(failures "")
foreach(c IN LISTS cases)
  string(REPLACE "|" ";" parts "${c}")
  list(GET parts 0 name)
  list(GET parts 1 find)
  list(GET parts 2 put)
  list(GET parts 3 says)
  string(REPLACE "\\n" "\n" put "${put}")
  if(name STREQUAL "unchanged")
    set(table "${good}")
  else()
    string(REGEX REPLACE "${find}" "${put}" table "${good}")
  endif()
  if(NOT name STREQUAL "unchanged" AND table STREQUAL good)
    list(APPEND failures "${name}: the case changed nothing in the table")
    continue()
  endif()
  string(MAKE_C_IDENTIFIER "${name}" dir)
  set(tables "${OUT}/${dir}/tables")
  set(out "${OUT}/${dir}/out")
  file(REMOVE_RECURSE "${OUT}/${dir}")
  file(WRITE "${tables}/xx.txt" "${table}")
  execute_process(COMMAND "${MKART}" "${out}" "${tables}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE complained)
  if(name STREQUAL "unchanged")
    if(NOT rc EQUAL 0 OR NOT EXISTS "${out}/lang/xx/billboard5.bmp")
      list(APPEND failures "${name}: mkart refused the good table: ${complained}")
    endif()
    continue()
  endif()
  if(rc EQUAL 0)
    list(APPEND failures "${name}: mkart accepted the table")
  elseif(NOT complained MATCHES "${says}")
    list(APPEND failures "${name}: mkart said [${complained}], expected [${says}]")
  endif()
  file(GLOB_RECURSE written "${out}/*")
  if(written)
    list(APPEND failures "${name}: mkart wrote ${written}")
  endif()
endforeach()

# A table is named by its language.
file(REMOVE_RECURSE "${OUT}/misnamed")
file(WRITE "${OUT}/misnamed/tables/German.txt" "${good}")
execute_process(COMMAND "${MKART}" "${OUT}/misnamed/out" "${OUT}/misnamed/tables"
                RESULT_VARIABLE rc ERROR_VARIABLE complained)
if(rc EQUAL 0 OR NOT complained MATCHES "German\\.txt: a table is named by its language code")
  list(APPEND failures "misnamed table: rc ${rc}, said [${complained}]")
endif()

if(failures)
  string(REPLACE ";" "\n  " failures "${failures}")
  message(FATAL_ERROR "mkart's checks of the tables:\n  ${failures}")
endif()
