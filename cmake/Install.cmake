# `cmake --install`: the program folder (program, libtavex, shipped data; the program finds its
# data beside itself), a `keywright` command on the PATH, the desktop entry, icons, metainfo,
# man page and udev rule. The Debian package (cmake/Package.cmake) ships the same tree.
include(GNUInstallDirs)

set(KW_APP_ID org.keywright.Keywright)
set(KW_PROGRAM_DIR lib/keywright CACHE STRING "Program folder, relative to the install prefix")
set(KW_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
  "Folder of the udev rule, relative to the install prefix (udev reads <prefix>/lib/udev only for /usr)")
set(KW_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
# Open Sans from Debian's fonts-open-sans: copied beside the program by tools/skingen.
set(KW_OPEN_SANS_DIR /usr/share/fonts/truetype/open-sans CACHE PATH "Folder of the Open Sans TTF files")
set(KW_OPEN_SANS_FONTS OpenSans-Regular OpenSans-Light OpenSans-Semibold OpenSans-ExtraBold)
set(KW_HICOLOR_DIR ${KW_DIST_DIR}/icons/hicolor)   # written by skingen with Keywright.ico

install(TARGETS keywright RUNTIME DESTINATION ${KW_PROGRAM_DIR})
install(TARGETS tavex LIBRARY DESTINATION ${KW_PROGRAM_DIR} NAMELINK_SKIP)

# Shipped data as the build lays it out beside the program (patterns keep out what tests leave
# there); the desktop, udev and man sources of resources/ go to their own places below.
install(FILES ${KW_BIN_DIR}/config.xml ${KW_BIN_DIR}/Keywright.ico DESTINATION ${KW_PROGRAM_DIR})
install(FILES ${KW_BIN_DIR}/db/lightlayer_v1.data DESTINATION ${KW_PROGRAM_DIR}/db)
install(DIRECTORY ${KW_BIN_DIR}/layouts ${KW_BIN_DIR}/language ${KW_BIN_DIR}/skins
  DESTINATION ${KW_PROGRAM_DIR}
  FILES_MATCHING PATTERN "*.xml" PATTERN "*.lan" PATTERN "*.png" PATTERN "*.gif")
# Open Sans: links to the system's copy (the package depends on fonts-open-sans), or copies for
# an install that must not rely on it.
option(KW_LINK_SYSTEM_FONTS "Install the Open Sans files as links to the system's fonts" ON)
if(KW_LINK_SYSTEM_FONTS)
  install(CODE "
    set(fontdir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KW_PROGRAM_DIR}/font\")
    file(MAKE_DIRECTORY \"\${fontdir}\")
    # Relative when the fonts lie under the same prefix, so the link holds inside a package.
    set(target \"${KW_OPEN_SANS_DIR}\")
    cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX \"${KW_OPEN_SANS_DIR}\" NORMALIZE under)
    if(under)
      file(RELATIVE_PATH target \"\${CMAKE_INSTALL_PREFIX}/${KW_PROGRAM_DIR}/font\" \"${KW_OPEN_SANS_DIR}\")
    endif()
    foreach(font ${KW_OPEN_SANS_FONTS})
      file(CREATE_LINK \"\${target}/\${font}.ttf\" \"\${fontdir}/\${font}.ttf\" SYMBOLIC)
    endforeach()")
else()
  install(DIRECTORY ${KW_BIN_DIR}/font DESTINATION ${KW_PROGRAM_DIR} FILES_MATCHING PATTERN "*.ttf")
endif()

# The command: a relative link, so the program folder (found through /proc/self/exe, which
# resolves links) stays the real one and the tree can move as a whole.
file(RELATIVE_PATH KW_LINK_TARGET /${CMAKE_INSTALL_BINDIR} /${KW_PROGRAM_DIR}/keywright)
install(CODE "
  set(bindir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bindir}\")
  file(CREATE_LINK \"${KW_LINK_TARGET}\" \"\${bindir}/keywright\" SYMBOLIC)
  message(STATUS \"Installing: \${bindir}/keywright -> ${KW_LINK_TARGET}\")")

set(KW_DESKTOP_SRC ${CMAKE_SOURCE_DIR}/resources/desktop)
install(FILES ${KW_DESKTOP_SRC}/${KW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KW_DESKTOP_SRC}/${KW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${KW_HICOLOR_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_SOURCE_DIR}/resources/udev/70-keywright.rules DESTINATION ${KW_UDEV_RULES_DIR})

# Man pages are shipped compressed, without a time stamp, so that builds are reproducible.
file(MAKE_DIRECTORY ${KW_DIST_DIR})
find_program(KW_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${KW_DIST_DIR}/keywright.1.gz
  COMMAND ${KW_GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/man/keywright.1 > ${KW_DIST_DIR}/keywright.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/keywright.1 VERBATIM)
add_custom_target(kw_manpage ALL DEPENDS ${KW_DIST_DIR}/keywright.1.gz)
install(FILES ${KW_DIST_DIR}/keywright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
include(cmake/Package.cmake)
