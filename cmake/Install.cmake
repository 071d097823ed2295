# What `cmake --install` puts on a Linux desktop: the two programs, the menu entry with its
# icon, the MIME type of the job files, the AppStream record and the manual pages. One id
# names the desktop entry, the icon and the AppStream record, so the software centre, the
# menu and the window manager tie them together.
include(GNUInstallDirs)

set(VELMIRA_APP_ID tr.velmira.Velmira)
set(VELMIRA_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

if(WIN32)
  include(cmake/WindowsRuntime.cmake)  # one folder there, not a bin/ share/ tree
  return()
endif()

install(TARGETS velmira-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VELMIRA_GUI)
  install(TARGETS velmira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
  set(generated ${PROJECT_BINARY_DIR}/data)

  # Manual pages ship compressed, as Debian's policy asks; -n keeps the bytes reproducible.
  set(man_pages velmira-cli.1)
  if(VELMIRA_GUI)
    list(APPEND man_pages velmira.1)
  endif()
  set(man_outputs)
  foreach(page IN LISTS man_pages)
    add_custom_command(OUTPUT ${generated}/${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
      COMMAND ${CMAKE_COMMAND} -E copy ${VELMIRA_DATA_DIR}/${page} ${generated}/${page}
      COMMAND gzip -9nf ${generated}/${page}
      DEPENDS ${VELMIRA_DATA_DIR}/${page}
      VERBATIM)
    list(APPEND man_outputs ${generated}/${page}.gz)
    install(FILES ${generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()

  set(data_outputs ${man_outputs})
  if(VELMIRA_GUI)
    # The bitmaps are drawn from the one hand-written SVG, so the sizes never drift apart.
    find_program(VELMIRA_RSVG_CONVERT rsvg-convert REQUIRED)
    set(icon_svg ${VELMIRA_DATA_DIR}/${VELMIRA_APP_ID}.svg)
    foreach(size 16 32 48 64 128 256)
      set(png ${generated}/icons/${size}x${size}/${VELMIRA_APP_ID}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
        COMMAND ${VELMIRA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
        DEPENDS ${icon_svg}
        VERBATIM)
      list(APPEND data_outputs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${VELMIRA_DATA_DIR}/${VELMIRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${VELMIRA_DATA_DIR}/${VELMIRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${VELMIRA_DATA_DIR}/${VELMIRA_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  endif()
  add_custom_target(velmira_data ALL DEPENDS ${data_outputs})
endif()
