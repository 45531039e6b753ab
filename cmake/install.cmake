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
