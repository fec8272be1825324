# Installation layout and the Debian package (cpack -G DEB in the build directory).
# The program goes to bin/, its own shared libraries to lib/q7bom/ (found through
# the program's run path, so they never clash with the system's), a man page per
# subcommand to share/man/man1/, the workbench's desktop entry and icon to share/.
include(GNUInstallDirs)

set(Q7_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/q7bom")
set_target_properties(q7bom Q7BomLib q7script q7host q7forms q7data q7platform PROPERTIES
  INSTALL_RPATH "$ORIGIN/../${Q7_PRIVATE_LIBDIR}:$ORIGIN")

install(TARGETS q7bom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS Q7BomLib q7script q7host q7forms q7data q7platform
  LIBRARY DESTINATION ${Q7_PRIVATE_LIBDIR} NAMELINK_SKIP)

option(Q7_MAN_PAGES "Generate a man page per subcommand from the program's --help" ON)
if(Q7_MAN_PAGES)
  set(Q7_MAN_DIR "${CMAKE_BINARY_DIR}/man")
  add_custom_command(
    OUTPUT "${Q7_MAN_DIR}/q7bom.1"
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
            "${CMAKE_SOURCE_DIR}/scripts/man-pages.sh" "$<TARGET_FILE:q7bom>" "${Q7_MAN_DIR}" "${PROJECT_VERSION}"
    DEPENDS q7bom "${CMAKE_SOURCE_DIR}/scripts/man-pages.sh"
    COMMENT "Man pages from q7bom --help"
    VERBATIM)
  add_custom_target(q7bom-man ALL DEPENDS "${Q7_MAN_DIR}/q7bom.1")
  install(DIRECTORY "${Q7_MAN_DIR}/" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 FILES_MATCHING PATTERN "*.1")
endif()

install(FILES "${CMAKE_SOURCE_DIR}/packaging/q7bom.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${CMAKE_SOURCE_DIR}/packaging/q7bom.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME q7bom)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Q7BomLib developers <q7bom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bills of materials: reports, browse, voucher, maintenance and a workbench")
set(CPACK_PACKAGE_DESCRIPTION
  "q7bom runs the BOM component of a manufacturing module on an account database\n(a file, or a PostgreSQL server): eight BOM reports, the multi-level browse,\nthe BOM voucher with import and export, the maintenance runs, automation\nscripts and a desktop workbench.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/lib")
# Loaded at run time, so the library scan cannot see them: the account
# drivers and the window system's platform plug-ins, the server's client
# library and the workbook writer (opened when first used).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, libpq5, libxlsxwriter4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei")
set(CPACK_GENERATOR DEB)
include(CPack)
