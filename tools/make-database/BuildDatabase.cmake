# Builds a program folder's word database from the shipped word books.
# Without REBUILD it is built only when the manifest exists and the database
# does not: a player's database, with their own books and scores, is never
# replaced. With REBUILD (the tests' folder) an existing one is replaced.
# Arguments: TOOL, MANIFEST, OUT, PROGRAM_DIR, REBUILD.
if(NOT EXISTS "${MANIFEST}")
  return()
endif()
if(EXISTS "${OUT}")
  if(NOT REBUILD)
    return()
  endif()
  file(REMOVE "${OUT}")
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
