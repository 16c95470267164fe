# The Windows installation, in place of the Debian one: the two programs side by side (each
# carries Qt and the MinGW runtime), the licence and the HTML manual. `cpack` makes an NSIS
# installer (Start menu entries for the tool and its manual, "Open with" for configuration
# files, an uninstaller) and a zip of the same files for PCs where nothing may be installed.
# Included from K30Install.cmake.
foreach(program IN ITEMS k30cfg k30cfg-cli k30cfg-pdf)
    install(TARGETS ${program} RUNTIME DESTINATION .)
endforeach()
# --version names this file.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION manual
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css")

# The values below reach cpack exactly as written (quotes and backslashes of NSIS commands).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME k30cfg)
set(CPACK_PACKAGE_VENDOR k30cfg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Configuration tool for the K30 bar code decoder and magnetic card reader")
set(CPACK_PACKAGE_FILE_NAME k30cfg-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY k30cfg)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY k30cfg)
# The zip unpacks into a folder of its own.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_EXECUTABLES k30cfg "K30 Configuration")
set(CPACK_NSIS_MENU_LINKS "manual/index.html" "K30 Configuration Manual")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "K30 Configuration ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "K30 Configuration")
set(CPACK_NSIS_INSTALLED_ICON_NAME k30cfg.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for 64-bit programs: it sees the system's own registry and folders, and
# runs under wine64 for its test.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")

# Configuration files end in .cfg, as do the files of many other programs: the installer
# offers k30cfg under "Open with" (a ProgID listed in .cfg's OpenWithProgids) and never takes
# .cfg's default program. The uninstaller removes its own keys and value only; .cfg and its
# list stay, with whatever other programs put there. (The installer's key under Software\k30cfg
# goes with its empty parent; the user's settings, kept beside it in HKEY_CURRENT_USER, stay.)
set(k30_progid "Software\\Classes\\k30cfg.Configuration")
set(k30_application "Software\\Classes\\Applications\\k30cfg.exe")
set(k30_open "\"$INSTDIR\\k30cfg.exe\" \"%1\"")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
    WriteRegStr SHCTX '${k30_progid}' '' 'K30 configuration'
    WriteRegStr SHCTX '${k30_progid}\\DefaultIcon' '' '$INSTDIR\\k30cfg.exe,0'
    WriteRegStr SHCTX '${k30_progid}\\shell\\open\\command' '' '${k30_open}'
    WriteRegStr SHCTX 'Software\\Classes\\.cfg\\OpenWithProgids' 'k30cfg.Configuration' ''
    WriteRegStr SHCTX '${k30_application}' 'FriendlyAppName' 'K30 Configuration'
    WriteRegStr SHCTX '${k30_application}\\SupportedTypes' '.cfg' ''
    WriteRegStr SHCTX '${k30_application}\\shell\\open\\command' '' '${k30_open}'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
    DeleteRegKey SHCTX '${k30_progid}'
    DeleteRegValue SHCTX 'Software\\Classes\\.cfg\\OpenWithProgids' 'k30cfg.Configuration'
    DeleteRegKey SHCTX '${k30_application}'
    DeleteRegKey SHCTX 'Software\\k30cfg\\k30cfg'
    DeleteRegKey /ifempty SHCTX 'Software\\k30cfg'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
")
include(CPack)
