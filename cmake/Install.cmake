# Installation and the Debian package. Included after the program targets exist.
include(GNUInstallDirs)

# Who the package is from and where it lives: the maintainer field, the copyright file, the changelog
# and the AppStream file all take them from here.
set(DUALDOCK_MAINTAINER "Dualdock Maintainers <maintainers@dualdock.io>" CACHE STRING "Name <address> of the package's maintainer")
set(DUALDOCK_HOMEPAGE "https://dualdock.io" CACHE STRING "The project's web page")
set(DUALDOCK_REPOSITORY "https://dualdock.io/git/dualdock" CACHE STRING "The project's source repository")
set(DUALDOCK_PICTURES_URL "${DUALDOCK_REPOSITORY}/raw/branch/main/docs" CACHE STRING "Where the docs/ pictures are published")
set(DUALDOCK_LICENSE "GPL-3.0-or-later")
set(DUALDOCK_RELEASE_DATE "2026-12-06")
set(DUALDOCK_PACKAGE_VERSION "${PROJECT_VERSION}-1")
execute_process(COMMAND date -u -R -d "${DUALDOCK_RELEASE_DATE} 12:00" OUTPUT_VARIABLE DUALDOCK_RELEASE_TIME
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(programs dualdock-cli)
if(TARGET dualdock)
  list(APPEND programs dualdock)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the compiler's .comment and .note sections, as Debian's
# own packaging does.
foreach(program ${programs})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()

# The program files; each user's program folder is filled from them at the first start. The pictures'
# README is for whoever makes them again, in the repository.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/dualdock
        PATTERN README.md EXCLUDE)

# Files that carry the version or the addresses above are written into the build folder first.
set(generated ${CMAKE_BINARY_DIR}/data)
configure_file(data/io.dualdock.Dualdock.metainfo.xml.in ${generated}/io.dualdock.Dualdock.metainfo.xml @ONLY)
configure_file(data/debian/copyright.in ${generated}/copyright @ONLY)
configure_file(data/debian/changelog.in ${generated}/changelog.Debian @ONLY)

install(FILES ${CMAKE_SOURCE_DIR}/data/dualdock.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/dualdock.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${generated}/io.dualdock.Dualdock.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dualdock)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME dualdock)
if(EXISTS ${CMAKE_SOURCE_DIR}/data/icons/hicolor)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")
endif()

# Man pages and the changelog go out compressed, without a time stamp in the gzip header.
set(compressed "")
foreach(page dualdock-cli.1 dualdock.1)
  configure_file(data/${page} ${generated}/${page} @ONLY)
  list(APPEND compressed ${generated}/${page})
endforeach()
list(APPEND compressed ${generated}/changelog.Debian)
set(compressed_outputs "")
foreach(file ${compressed})
  add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9 -n -f -k ${file} DEPENDS ${file} VERBATIM)
  list(APPEND compressed_outputs ${file}.gz)
endforeach()
add_custom_target(dualdock_compressed_docs ALL DEPENDS ${compressed_outputs})
install(FILES ${generated}/dualdock-cli.1.gz ${generated}/dualdock.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dualdock)

# Shell completion, each in the folder its shell looks in.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(zsh_folder ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
else()
  set(zsh_folder ${CMAKE_INSTALL_DATADIR}/zsh/site-functions)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/completions/dualdock-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME dualdock-cli)
install(FILES ${CMAKE_SOURCE_DIR}/data/completions/_dualdock-cli DESTINATION ${zsh_folder})
install(FILES ${CMAKE_SOURCE_DIR}/data/completions/dualdock-cli.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

# The systemd user units of data/systemd/. They name the installed dualdock-cli by its full path, which
# is known only at install time (`cmake --install --prefix` may choose another), so each is written then:
# "@DUALDOCK_CLI@" in a unit becomes that path. Add a unit by adding its file name to the list.
set(DUALDOCK_USER_UNITS dualdock-sync@.service dualdock-sync@.timer dualdock-watch@.service)
set(DUALDOCK_USER_UNIT_DIR lib/systemd/user)
foreach(unit ${DUALDOCK_USER_UNITS})
  install(CODE "
    set(DUALDOCK_CLI \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/dualdock-cli\")
    set(unit_path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${DUALDOCK_USER_UNIT_DIR}/${unit}\")
    message(STATUS \"Installing: \${unit_path}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/data/systemd/${unit}\" \"\${unit_path}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${unit_path}\")")
endforeach()

set(CPACK_GENERATOR DEB)
# The package is staged with DESTDIR, so the install prefix (and the units' path of dualdock-cli) stays /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGE_NAME dualdock)
set(CPACK_PACKAGE_VENDOR "The Dualdock developers")
set(CPACK_PACKAGE_CONTACT "${DUALDOCK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DUALDOCK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${DUALDOCK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps pairs of folders in step")
set(CPACK_PACKAGE_DESCRIPTION "\
Dualdock compares folder pairs by a backup mode, shows the pending operations\n\
with counts, sizes and a time estimate, and carries them out resumably.\n\
dualdock-cli runs the same jobs from scripts and systemd timers.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries come from dpkg-shlibdeps; what is loaded at run time no library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugin is loaded at run time.
if(TARGET dualdock)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  # Qt's own buttons and file dialogs in the user's language; the window runs without them.
  if(CPACK_DEBIAN_PACKAGE_RECOMMENDS)
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", ")
  endif()
  string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
