# The program folder: executable, data/, source/mp3/, the help file and lib/
# with the plugin of 学习进度.
# The word database is named by the "data" key of the shipped settings.
set(KIVRO_DATABASE_NAME kivrotype)
file(STRINGS "${PROJECT_SOURCE_DIR}/data/typeconfig.ini" data_key REGEX "^data=")
if(data_key)
  string(REGEX REPLACE "^data=([^\r\n]*).*" "\\1" KIVRO_DATABASE_NAME "${data_key}")
  string(STRIP "${KIVRO_DATABASE_NAME}" KIVRO_DATABASE_NAME)
endif()

# kivro_ship(<source file> <path inside the program folder>)
function(kivro_ship src dest)
  set_property(GLOBAL APPEND PROPERTY KIVRO_SHIPPED "${src}|${dest}")
endfunction()

# Two folders are assembled from what was shipped:
#  program_folder       <build>/kivrotype, the player's. Data files are copied
#                       only when absent, so a rebuild never overwrites a
#                       player's settings, books or scores.
#  test_program_files   <build>/test-program, what tests and benchmarks copy.
#                       Refreshed from the source tree whenever a shipped file
#                       or the program changes; its word database is rebuilt
#                       by tools/make-database (target test_program_folder),
#                       its reference.db by tools/make-reference.
function(kivro_program_folder)
  get_property(items GLOBAL PROPERTY KIVRO_SHIPPED)
  set(sources "")
  foreach(item IN LISTS items)
    string(REPLACE "|" ";" parts "${item}")
    list(GET parts 0 src)
    list(APPEND sources "${src}")
  endforeach()
  # Passed joined by "::" so the list survives the command line.
  string(REPLACE ";" "::" joined "${items}")
  add_custom_target(program_folder ALL
    COMMAND ${CMAKE_COMMAND} "-DITEMS=${joined}" "-DDEST=${KIVRO_PROGRAM_DIR}"
            -P "${PROJECT_SOURCE_DIR}/cmake/CopyShipped.cmake"
    DEPENDS ${sources}
    COMMENT "Assembling the program folder (existing files are kept)"
    VERBATIM)

  set(stamp "${CMAKE_BINARY_DIR}/test-program.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND}
            "-DITEMS=${joined}::$<TARGET_FILE:kivrotype>|kivrotype::$<TARGET_FILE:studyprogress>|lib/$<TARGET_FILE_NAME:studyprogress>"
            "-DDEST=${KIVRO_TEST_PROGRAM_DIR}" -DREFRESH=ON
            "-DKEEP=data/${KIVRO_DATABASE_NAME}.mdb::reference.db"
            -P "${PROJECT_SOURCE_DIR}/cmake/CopyShipped.cmake"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${sources} kivrotype studyprogress "${PROJECT_SOURCE_DIR}/cmake/CopyShipped.cmake"
    COMMENT "Refreshing the tests' program folder from the source tree"
    VERBATIM)
  add_custom_target(test_program_files DEPENDS "${stamp}")
endfunction()
