# The install and its Debian package.
#
#   <prefix>/bin/tarn                       the assembler
#   <prefix>/bin/QVKey                      a link to the IDE in its own folder:
#   <prefix>/lib/qvkey/QVKey, TARN.dll      the IDE finds tarn beside itself as "TARN.dll" (a
#                                           link to bin/tarn)
#   <prefix>/share/applications/qvkey.desktop, share/icons/hicolor/scalable/apps/qvkey.svg
#   <prefix>/share/doc/qvkey/               README.md, the example and the copyright file that
#                                           Debian's policy asks of every package
#
# An installed IDE's folder is not the user's to write: tarn's output, the tools the IDE
# installs and the templates go into the user's data folder (platform/user_data_folder.h).
#
#   cmake --install build --prefix /usr/local
#   (cd build && cpack -G DEB)              # qvkey_<version>_<arch>.deb, installing into /usr
set(QV_INSTALL_PROGRAM_DIR lib/qvkey)

install(TARGETS tarn RUNTIME DESTINATION bin)
install(TARGETS QVKey RUNTIME DESTINATION ${QV_INSTALL_PROGRAM_DIR})
# Links: the IDE starts "TARN.dll" by its full path, and tarn takes its folder from that path
# as given, so the one installed tarn serves both.
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(MAKE_DIRECTORY \"\${root}/bin\" \"\${root}/${QV_INSTALL_PROGRAM_DIR}\")
  message(STATUS \"Installing: \${root}/bin/QVKey\")
  file(CREATE_LINK ../${QV_INSTALL_PROGRAM_DIR}/QVKey \"\${root}/bin/QVKey\" SYMBOLIC)
  message(STATUS \"Installing: \${root}/${QV_INSTALL_PROGRAM_DIR}/TARN.dll\")
  file(CREATE_LINK ../../bin/tarn \"\${root}/${QV_INSTALL_PROGRAM_DIR}/TARN.dll\" SYMBOLIC)
")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qvkey.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qvkey.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION share/doc/qvkey)
install(FILES ${CMAKE_SOURCE_DIR}/examples/blink.src DESTINATION share/doc/qvkey/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvkey)
set(CPACK_PACKAGE_VERSION 3.2.3)  # the IDE's version (workbench::IdeVersion)
set(CPACK_PACKAGE_VENDOR "QV toolchain team")
set(CPACK_PACKAGE_CONTACT "QV toolchain team <qv-toolchain@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "IDE and cross-assembler for the QV microcontrollers and the QV-Key")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
