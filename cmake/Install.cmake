# Where `cmake --install` and the .deb put the program and its desktop files, by the
# freedesktop.org and Debian conventions: the binary, the desktop entry in applications/, the
# AppStream metainfo in metainfo/, the icon in the hicolor theme, the manual page in section 6
# and the copyright and changelog in the package's doc folder.
include(GNUInstallDirs)

set(TESSFIELD_APP_ID io.github.qorv418.Tessfield)
set(TESSFIELD_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
  "Folder of the installed program, relative to the prefix (the deb preset uses games, as Debian does for games)")

install(TARGETS tessfield RUNTIME DESTINATION "${TESSFIELD_INSTALL_BINDIR}")
# A stripped install (`cmake --install --strip`, and the .deb) also drops the compiler's
# .comment and .note sections, as Debian's dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TESSFIELD_INSTALL_BINDIR}/$<TARGET_FILE_NAME:tessfield>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")

install(FILES data/${TESSFIELD_APP_ID}.desktop
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES data/${TESSFIELD_APP_ID}.metainfo.xml
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 16 32 48 64 128)
  install(FILES data/icons/hicolor/${size}x${size}/apps/${TESSFIELD_APP_ID}.png
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES data/icons/hicolor/scalable/apps/${TESSFIELD_APP_ID}.svg
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# The manual page and the Debian changelog are installed gzipped, without a name or time
# stamp in the gzip header (-n), so that the package is reproducible.
set(tessfield_gzipped)
foreach(pair "packaging/tessfield.6:tessfield.6.gz" "packaging/changelog:changelog.Debian.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/${target}"
    COMMAND sh -c "gzip -9 -n -c '${PROJECT_SOURCE_DIR}/${source}' > '${PROJECT_BINARY_DIR}/${target}'"
    DEPENDS "${PROJECT_SOURCE_DIR}/${source}"
    COMMENT "Compressing ${source}"
    VERBATIM)
  list(APPEND tessfield_gzipped "${PROJECT_BINARY_DIR}/${target}")
endforeach()
add_custom_target(tessfield_docs ALL DEPENDS ${tessfield_gzipped})

install(FILES "${PROJECT_BINARY_DIR}/tessfield.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES packaging/copyright "${PROJECT_BINARY_DIR}/changelog.Debian.gz"
  DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# The .deb: `cpack --preset deb` after building the deb preset (see README).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessfield)
set(CPACK_PACKAGE_VENDOR "The tessfield developers")
set(CPACK_PACKAGE_CONTACT
  "Seed 34754aab maintainers <maintainers@users.noreply.c-seed-34754aab.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mine-finding puzzle for the desktop")
# The lines of the extended description stay within 80 columns in `apt show`.
set(CPACK_PACKAGE_DESCRIPTION
  "Type the number of rows, columns and mines and a game ID, press Play Game,
and uncover the cells of the board one by one. A number tells how many of
its neighbours hold a mine; the left mouse button uncovers a cell, the right
button flags it, and the middle button uncovers the neighbours of a number
once as many flags stand around it. A left press on a mined cell uncovers
the whole board. The game ID seeds the layout of the mines, so the same entries
always give the same board. Boards go up to 32 767 cells.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/qorv418/tessfield")
# Library dependencies are worked out by dpkg-shlibdeps; the platform plugins that show the
# window (X11's in qt6-qpa-plugins, Wayland's in qt6-wayland, without which a Wayland-only
# session cannot start the program) and the font the counts are drawn in are loaded at run
# time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
