# Debian's reference BLAS test programs, run against this library through
# the libblas.so.3 link in the build tree. Only x86_64 native builds run
# them: the programs are 64-bit, and sanitizer runtimes cannot be loaded
# into them.
#
# The routine table include/zem_blas.def decides what the programs test: a
# routine whose line says Y is switched on in the input file, one whose line
# says N is switched off and gets placeholders (Fortran and C names) in a
# preloaded test-only object (the programs resolve every routine they name
# at start-up). As
# routines land, the inputs grow and the placeholders go, with no edit here.
set(ZEM_TESTER_DIR /usr/lib/x86_64-linux-gnu/blas)
set(ZEM_TESTERS_RUN OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT ZEM_SANITIZE AND NOT ZEM_TSAN AND EXISTS ${ZEM_TESTER_DIR}/xblat1d)
  set(ZEM_TESTERS_RUN ON)
endif()

# The table: ZEM_HAVE lists the upper-case names of routines marked Y,
# ZEM_ABSENT the lower-case names of those marked N that have Fortran names.
set(zem_table ${PROJECT_SOURCE_DIR}/include/zem_blas.def)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${zem_table})
file(STRINGS ${zem_table} zem_rows REGEX "^ZEM_ROUTINE\\(")
set(ZEM_HAVE)
set(ZEM_ABSENT)
foreach(row ${zem_rows})
  string(REGEX MATCH "^ZEM_ROUTINE\\(([YN]), *([A-Z0-9]+), *([A-Z0-9_]+), *([a-z0-9_]+)" _ "${row}")
  if(CMAKE_MATCH_1 STREQUAL "Y")
    list(APPEND ZEM_HAVE ${CMAKE_MATCH_3})
  elseif(NOT CMAKE_MATCH_2 STREQUAL "NF")
    list(APPEND ZEM_ABSENT ${CMAKE_MATCH_4})
  endif()
endforeach()

if(ZEM_TESTERS_RUN)
  # The placeholders for the absent routines: each stops the program with
  # its name, should a program ever call one.
  set(src "/* Generated from include/zem_blas.def: the routines it marks N. */\n")
  string(APPEND src "#include <stdio.h>\n#include <stdlib.h>\ntypedef int zem_absent_unit;\n")
  foreach(r ${ZEM_ABSENT})
    foreach(name ${r}_ cblas_${r})
      string(APPEND src "void ${name}(void) { fputs(\"${name} is not in the library under test\\n\", stderr); exit(3); }\n")
    endforeach()
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/tests/conformance/absent.c CONTENT "${src}")
  add_library(zem_tester_absent MODULE ${CMAKE_BINARY_DIR}/tests/conformance/absent.c)
endif()

# zem_add_tester(name PROGRAM file [INPUT file [NO_ERROR_EXITS]] [PRELOAD files...])
#   CTest test `name` (label conformance) runs PROGRAM against this library.
#   INPUT: the program's input file; its routine lines (SGEMM, cblas_sgemm,
#   ...) are set to T or F by the table, other lines are kept, but for the
#   error-exit flag with NO_ERROR_EXITS (set to F). PRELOAD:
#   shared objects (paths or generator expressions) loaded into the program
#   alone, after the placeholders for the absent routines.
function(zem_add_tester name)
  cmake_parse_arguments(T "NO_ERROR_EXITS" "PROGRAM;INPUT" "PRELOAD" ${ARGN})
  if(NOT ZEM_TESTERS_RUN OR NOT EXISTS ${T_PROGRAM})
    return()
  endif()
  set(input -)
  if(T_INPUT)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${T_INPUT})
    file(STRINGS ${T_INPUT} lines)
    set(txt)
    foreach(line ${lines})
      if(line MATCHES "^(cblas_)?([a-zA-Z][a-zA-Z0-9]*)( +)[TF]( .*)$")
        string(TOUPPER ${CMAKE_MATCH_2} upper)
        set(flag F)
        if(upper IN_LIST ZEM_HAVE)
          set(flag T)
        endif()
        set(line "${CMAKE_MATCH_1}${CMAKE_MATCH_2}${CMAKE_MATCH_3}${flag}${CMAKE_MATCH_4}")
      elseif(T_NO_ERROR_EXITS AND line MATCHES "^T( +LOGICAL FLAG, T TO TEST ERROR EXITS.*)$")
        set(line "F${CMAKE_MATCH_1}")
      endif()
      string(APPEND txt "${line}\n")
    endforeach()
    set(input ${CMAKE_CURRENT_BINARY_DIR}/${name}.in)
    file(WRITE ${input} "${txt}")
  endif()
  add_test(NAME ${name}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/conformance/run_tester.sh ${T_PROGRAM} ${CMAKE_BINARY_DIR}/blaslink
            ${input} $<TARGET_FILE:zem_tester_absent> ${T_PRELOAD})
  set_tests_properties(${name} PROPERTIES LABELS conformance)
endfunction()
