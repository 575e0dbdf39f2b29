# The program folder: executable, data/, source/mp3/ and the help file.
# Data files are copied only when absent, so a rebuild never overwrites a
# player's settings, books or scores.
# kivro_ship(<source file> <path inside the program folder>)
function(kivro_ship src dest)
  set_property(GLOBAL APPEND PROPERTY KIVRO_SHIPPED "${src}|${dest}")
endfunction()

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
            -P "${PROJECT_SOURCE_DIR}/cmake/CopyIfAbsent.cmake"
    DEPENDS ${sources}
    COMMENT "Assembling the program folder (existing files are kept)"
    VERBATIM)
endfunction()
