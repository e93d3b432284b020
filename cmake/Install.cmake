# Installation and the Debian package. Included after the program targets exist.
include(GNUInstallDirs)

install(TARGETS dualdock-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET dualdock)
  install(TARGETS dualdock RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The program files; each user's program folder is filled from them at the first start.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/dualdock)

install(FILES ${CMAKE_SOURCE_DIR}/data/dualdock.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/dualdock.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/data/io.dualdock.Dualdock.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/data/dualdock-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(EXISTS ${CMAKE_SOURCE_DIR}/data/icons/hicolor)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")
endif()

# The watch's systemd user unit. It names the installed dualdock-cli by its full path, known only at
# install time (`cmake --install --prefix` may choose another), so it is written then: "@DUALDOCK_CLI@"
# becomes that path.
install(CODE "
  set(DUALDOCK_CLI \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/dualdock-cli\")
  set(unit_path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/dualdock-watch@.service\")
  message(STATUS \"Installing: \${unit_path}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/data/systemd/dualdock-watch@.service\" \"\${unit_path}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${unit_path}\")")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dualdock)
set(CPACK_PACKAGE_VENDOR "The Dualdock developers")
set(CPACK_PACKAGE_CONTACT "The Dualdock developers <dualdock@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps pairs of folders in step")
set(CPACK_PACKAGE_DESCRIPTION "\
Dualdock compares folder pairs by a backup mode, shows the pending operations\n\
with counts, sizes and a time estimate, and carries them out resumably.\n\
dualdock-cli runs the same jobs from scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries come from dpkg-shlibdeps; what is loaded at run time no library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin is loaded at run time.
if(TARGET dualdock)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
