# What `cmake --install` puts where: the programs, the desktop entry and the icon. An
# installed qingluan keeps its settings in the user's data folder
# (~/.local/share/qingluan), since the folder of an installed program is not writable.
include(GNUInstallDirs)
install(TARGETS qingluan-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qingluan)
  install(TARGETS qingluan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/dist/qingluan.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/qingluan.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The systemd user unit of `qingluan-cli schedule run`. <datadir>/systemd/user is on the
# user manager's search path for the /usr, /usr/local and ~/.local prefixes alike. The
# unit names the installed program by its full path, so it is written at install time,
# when the prefix (cmake --install --prefix) is known.
if(NOT WIN32)
  set(QINGLUAN_SYSTEMD_USER_UNIT_DIR "${CMAKE_INSTALL_DATADIR}/systemd/user"
      CACHE STRING "Where cmake --install puts the systemd user unit")
  set(unit_in ${CMAKE_SOURCE_DIR}/packaging/qingluan-schedule.service.in)
  set(unit_out ${CMAKE_BINARY_DIR}/packaging/qingluan-schedule.service)
  install(CODE "
    set(QINGLUAN_CLI_PATH \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qingluan-cli\")
    file(READ \"${unit_in}\" unit)
    file(CONFIGURE OUTPUT \"${unit_out}\" CONTENT \"\${unit}\" @ONLY)
  ")
  install(FILES ${unit_out} DESTINATION ${QINGLUAN_SYSTEMD_USER_UNIT_DIR})
endif()
