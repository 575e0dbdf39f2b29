# Builds the program folder's word database from the shipped word books when
# the manifest exists and the database does not: a player's database, with
# their own books and scores, is never replaced.
# Arguments: TOOL, MANIFEST, OUT, PROGRAM_DIR.
if(NOT EXISTS "${MANIFEST}" OR EXISTS "${OUT}")
  return()
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
# A sanitizer build runs the tool too; leak reports are for the tests.
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env ASAN_OPTIONS=detect_leaks=0
          "${TOOL}" --manifest "${MANIFEST}" --out "${OUT}" --program-dir "${PROGRAM_DIR}"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the word database could not be built from ${MANIFEST}")
endif()
