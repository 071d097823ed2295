# The Windows layout, in the build's bin folder and in the installation alike: the programs,
# the DLLs they load, Qt's plugins and translations, all in one folder that a qt.conf
# names as Qt's prefix.
#
#   velmira.exe  velmira-cli.exe  qt.conf
#   Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll    (Qt6Test.dll in the build only, for the tests)
#   libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll
#   plugins/platforms/qwindows.dll           (qoffscreen.dll in the build only)
#   plugins/styles/qwindowsvistastyle.dll
#   translations/qtbase_tr.qm
#   README.txt  licenses/ (Qt's LGPL and GPL texts, the notices of its bundled libraries)
if(WIN32 AND NOT MINGW)
  # Built with Visual Studio against an installed Qt kit: its windeployqt (beside qmake)
  # puts the Qt DLLs, plugins and translations beside the installed programs.
  install(TARGETS velmira-cli RUNTIME DESTINATION .)
  if(VELMIRA_GUI)
    install(TARGETS velmira RUNTIME DESTINATION .)
    get_target_property(velmira_qmake Qt6::qmake IMPORTED_LOCATION)
    get_filename_component(velmira_qt_bin "${velmira_qmake}" DIRECTORY)
    find_program(VELMIRA_WINDEPLOYQT windeployqt HINTS "${velmira_qt_bin}" REQUIRED)
    install(CODE "
      execute_process(COMMAND \"${VELMIRA_WINDEPLOYQT}\" --release --translations tr,en
                              \"\${CMAKE_INSTALL_PREFIX}/velmira.exe\" RESULT_VARIABLE deployed)
      if(NOT deployed EQUAL 0)
        message(FATAL_ERROR \"windeployqt failed: \${deployed}\")
      endif()
    ")
  endif()
  return()
endif()
if(NOT WIN32)
  return()
endif()

set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(copies)
macro(velmira_runtime_file source subdir installed)
  get_filename_component(name "${source}" NAME)
  add_custom_command(OUTPUT ${bin}/${subdir}${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/${subdir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${bin}/${subdir}${name}
    DEPENDS ${source} VERBATIM)
  list(APPEND copies ${bin}/${subdir}${name})
  if(${installed})
    install(FILES ${source} DESTINATION ./${subdir})
  endif()
endmacro()

# The compiler's runtime, shared with the Qt DLLs: one C++ runtime in each process.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" ABSOLUTE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The MinGW runtime ${dll} is not where the compiler says (${path})")
  endif()
  velmira_runtime_file(${path} "" TRUE)
endforeach()

install(TARGETS velmira-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)

if(VELMIRA_GUI)
  # Qt's imported targets, by their file (the build's one configuration).
  macro(velmira_qt_file target subdir installed)
    get_target_property(location ${target} LOCATION)
    velmira_runtime_file(${location} "${subdir}" ${installed})
  endmacro()
  foreach(module Core Gui Widgets)
    velmira_qt_file(Qt6::${module} "" TRUE)
  endforeach()
  velmira_qt_file(Qt6::Test "" FALSE)
  velmira_qt_file(Qt6::QWindowsIntegrationPlugin "plugins/platforms/" TRUE)
  velmira_qt_file(Qt6::QOffscreenIntegrationPlugin "plugins/platforms/" FALSE)
  velmira_qt_file(Qt6::QWindowsVistaStylePlugin "plugins/styles/" TRUE)
  # Qt's prefix (the DLLs' folder's parent) holds the licence texts and the Turkish
  # translations that scripts/windows-qt.sh put there.
  set(qt_prefix ${QT6_INSTALL_PREFIX})
  velmira_runtime_file(${qt_prefix}/translations/qtbase_tr.qm "translations/" TRUE)
  install(DIRECTORY ${qt_prefix}/licenses/ DESTINATION licenses)
  velmira_runtime_file(${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf "" TRUE)
  install(TARGETS velmira RUNTIME DESTINATION .)
endif()

add_custom_target(velmira_windows_runtime ALL DEPENDS ${copies})
