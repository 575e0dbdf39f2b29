# An installation: the program in bin/ with its manual page and its plugin
# in lib/kivrotype/, its read-only
# files in share/kivrotype/ (the program finds them relative to itself, so an
# unpacked package runs where it is), and the desktop's entry, metainfo and
# icons.
# The player's files are made at run time in the player's data folder.
set(KIVRO_APP_ID org.example.kivrotype)

function(kivro_install_rules)
  install(TARGETS kivrotype RUNTIME DESTINATION bin)
  # The plugin of 学习进度, private to the program: <exe dir>/../lib/kivrotype/.
  install(TARGETS studyprogress LIBRARY DESTINATION lib/kivrotype)
  install(FILES "${PROJECT_SOURCE_DIR}/data/kivrotype.6" DESTINATION share/man/man6)

  get_property(items GLOBAL PROPERTY KIVRO_SHIPPED)
  foreach(item IN LISTS items)
    string(REPLACE "|" ";" parts "${item}")
    list(GET parts 0 src)
    list(GET parts 1 rel)
    get_filename_component(dir "${rel}" DIRECTORY)
    get_filename_component(name "${rel}" NAME)
    install(FILES "${src}" DESTINATION "share/kivrotype/${dir}" RENAME "${name}")
  endforeach()

  # The word database as the source tree builds it afresh (the tests' copy),
  # never the build folder's own, which a developer may have played in.
  add_custom_target(shipped_database ALL)
  add_dependencies(shipped_database test_program_folder)
  install(FILES "${KIVRO_TEST_PROGRAM_DIR}/data/${KIVRO_DATABASE_NAME}.mdb"
          DESTINATION share/kivrotype/data)
  # The reference data beside data/, read in place, never copied to the player.
  install(FILES "${KIVRO_TEST_PROGRAM_DIR}/reference.db" DESTINATION share/kivrotype)

  set(desktop "${PROJECT_SOURCE_DIR}/data/desktop")
  install(FILES "${desktop}/${KIVRO_APP_ID}.desktop" DESTINATION share/applications)
  install(FILES "${desktop}/${KIVRO_APP_ID}.metainfo.xml" DESTINATION share/metainfo)
  install(FILES "${desktop}/icons/${KIVRO_APP_ID}.svg"
          DESTINATION share/icons/hicolor/scalable/apps)
  foreach(size 48 128 256)
    install(FILES "${desktop}/icons/${size}/${KIVRO_APP_ID}.png"
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
endfunction()
