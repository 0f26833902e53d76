# `cpack` in the build folder: a Debian package of the installed tree (cmake/Install.cmake), with
# its dependencies computed from the shared libraries the program and libtavex link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keywright)
set(CPACK_PACKAGE_VENDOR Keywright)
set(CPACK_PACKAGE_CONTACT "Keywright <support@keywright.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure a wired 87-key USB gaming keyboard")
set(CPACK_PACKAGE_DESCRIPTION "Keywright re-assigns the keys of a wired 87-key USB gaming
keyboard, records macros the keyboard plays by itself, chooses and paints its
lighting (also driven by the music the computer plays), keeps profiles and
updates itself.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.keywright.invalid/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libtavex is private to the program folder; dpkg-shlibdeps finds it there, not in a package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${KW_BIN_DIR})
# Not linked but used: the desktop's opener for web addresses, the fonts of the texts, and the
# HTTP and audio client libraries, opened on first use (the protocol list options need curl
# 7.85); udev (to apply the rule) and pkexec are recommended below.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "xdg-utils, fonts-wqy-microhei | fonts-noto-cjk, libcurl4 (>= 7.85), libpulse0")
if(KW_LINK_SYSTEM_FONTS)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", fonts-open-sans")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, pkexec")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Reload udev once the rule is in place or gone, so a plugged keyboard gets access now.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_SOURCE_DIR}/resources/debian/postinst ${CMAKE_SOURCE_DIR}/resources/debian/postrm)

# A native package's changelog and the copyright file, where Debian policy looks for them.
set(KW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/keywright)
add_custom_command(OUTPUT ${KW_DIST_DIR}/changelog.gz
  COMMAND ${KW_GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/debian/changelog > ${KW_DIST_DIR}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/debian/changelog VERBATIM)
add_custom_target(kw_changelog ALL DEPENDS ${KW_DIST_DIR}/changelog.gz)
install(FILES ${KW_DIST_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION ${KW_DOC_DIR})
include(CPack)
