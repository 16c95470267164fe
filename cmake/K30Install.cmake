# Installs the tool like any desktop program (programs, desktop entry, icon, manual) and
# describes its Debian package for `cpack -G DEB`. Included from the top-level CMakeLists.txt
# once every program target has been defined.
include(GNUInstallDirs)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/K30WindowsPackage.cmake)
    return()
endif()

# k30-sim and k30cfg-cli are installed once they are part of the build.
foreach(program IN ITEMS k30cfg k30-sim k30cfg-cli)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
# Not a command of its own: k30cfg-cli report runs it for the PDF (tools/cli finds it there).
if(TARGET k30cfg-pdf)
    install(TARGETS k30cfg-pdf RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/k30cfg)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/k30cfg.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The type of its configuration files, so that a file manager offers the tool for them. The
# database is rebuilt by shared-mime-info's own trigger on this folder.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/k30cfg.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME k30cfg.xml)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/k30cfg.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# CMAKE_INSTALL_DOCDIR is share/doc/k30cfg.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css")

# Debian package.
set(K30_PACKAGE_MAINTAINER "k30cfg maintainers <k30cfg@maintainers.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME k30cfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configuration tool for the K30 bar code decoder and magnetic card reader")
# Lines of the long description stay under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Sets the K30's parameters page by page, keeps configurations in files,
downloads them into the device over RS232 or the keyboard wedge, uploads them
back, reads the firmware version, and reads, saves and clears the bar code
data stored in the device's memory. k30cfg-cli does the same from the command
line, and k30-sim simulates a device to try every exchange without hardware.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${K30_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debug information stays in the build tree, not in the package.
set(CPACK_STRIP_FILES ON)
find_program(K30_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(K30_DPKG_SHLIBDEPS)
    # The exact library packages and versions the programs were linked against.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The tool bar icons are SVG, drawn by a plug-in no program links against.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.4)")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6svg6 (>= 6.4)")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/K30Packaging.cmake)
include(CPack)
