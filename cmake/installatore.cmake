# The Windows installer, made by CPack's NSIS generator: `cpack -G NSIS` in the Windows build folder
# (makensis from Debian's `nsis`) writes Forniture-<version>-win64.exe.
#
# Layout under the folder chosen at install time (default C:\Forniture):
#   carvek\carvek.exe  lunfort\lunfort.exe  sabrelt\sabrelt.exe  pelvorn\pelvorn.exe  zandrik\zandrik.exe
#   obrisk\obrisk.exe  verifica\verifica.exe  fornitura\fornitura.exe  Guida.html  Disinstalla.exe
# The Start menu holds "Test Cin e Check Digit IBAN", "Verifica forniture" and "Guida" (the office's guide);
# the Send To menu "Verifica fornitura". The installer and the uninstaller speak Italian.
# Each program has a folder of its own because a converter reads its export from its own folder, and
# lunfort and pelvorn read a file of the same name. The host writes its exports into those folders: the
# uninstaller deletes the files it installed, one by one, and a folder only when it is left empty, so an
# export beside a program survives both an upgrade and an uninstall. The archive folder is never touched.
#
# Included at the end of the top CMakeLists.txt, when every program target exists.

if(NOT WIN32)
  return()
endif()

set(FORNITURA_PROGRAMMI carvek lunfort sabrelt pelvorn zandrik obrisk verifica fornitura)
set(FORNITURA_EDITORE "KORVANTE" CACHE STRING "Publisher shown among the installed programs")

set(_fornitura_installati "")
foreach(programma IN LISTS FORNITURA_PROGRAMMI)
  # The windows come from their own targets, when this build makes them.
  if(TARGET ${programma})
    install(TARGETS ${programma} RUNTIME DESTINATION ${programma})
    list(APPEND _fornitura_installati ${programma})
  endif()
endforeach()

# The office's guide, at the top of the folder: the check window finds it there, above its own folder.
install(FILES ${PROJECT_SOURCE_DIR}/docs/guida.html DESTINATION . RENAME Guida.html)

# The values below reach the NSIS script as written here.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS)
# NSIS.template.in there: the stock script, changed where an older installation is removed.
set(CPACK_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}/installatore")
set(CPACK_PACKAGE_NAME "Forniture")
set(CPACK_PACKAGE_VENDOR "${FORNITURA_EDITORE}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convertitori delle esportazioni paghe nelle forniture telematiche")
set(CPACK_PACKAGE_FILE_NAME "Forniture-${PROJECT_VERSION}-win64")
# One name for every version: an upgrade finds the older installation under it.
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Forniture")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Forniture")
# Not under Program Files: the host writes its exports into the programs' folders, which an ordinary
# user may not write there.
set(CPACK_NSIS_INSTALL_ROOT "C:")
set(CPACK_NSIS_PACKAGE_NAME "Forniture")
set(CPACK_NSIS_DISPLAY_NAME "Forniture")
set(CPACK_NSIS_UNINSTALL_NAME "Disinstalla")
# The icon of the uninstall entry (left empty, the entry would name the folder).
set(CPACK_NSIS_INSTALLED_ICON_NAME "Disinstalla.exe")
# Debian's Wine runs 64-bit programs only, and the programs are 64-bit: so is the installer.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
# An older installation is removed first by its own uninstaller (only the files it installed).
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The Start menu's entries (the uninstaller removes them with the files).
set(CPACK_NSIS_MENU_LINKS "")
if(TARGET obrisk)
  list(APPEND CPACK_NSIS_MENU_LINKS "obrisk/obrisk.exe" "Test Cin e Check Digit IBAN")
endif()
if(TARGET verifica)
  list(APPEND CPACK_NSIS_MENU_LINKS "verifica/verifica.exe" "Verifica forniture")
endif()
list(APPEND CPACK_NSIS_MENU_LINKS "Guida.html" "Guida")

# Where each program is, for the host: the value named after the program, under the key that also holds
# the folder as its default value; and the folder in the uninstall entry.
set(_chiave "Software\\${CPACK_PACKAGE_VENDOR}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(_disinstallazione "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "  WriteRegStr SHCTX \"${_disinstallazione}\" \"InstallLocation\" \"$INSTDIR\"\n")
foreach(programma IN LISTS _fornitura_installati)
  string(APPEND CPACK_NSIS_EXTRA_INSTALL_COMMANDS
         "  WriteRegStr SHCTX \"${_chiave}\" \"${programma}\" \"$INSTDIR\\${programma}\\${programma}.exe\"\n")
endforeach()
# "Verifica fornitura" in the Send To menu of whoever installs (Windows has no Send To menu for all users):
# a supply chosen in Explorer opens in the check window.
if(TARGET verifica)
  string(APPEND CPACK_NSIS_EXTRA_INSTALL_COMMANDS
         "  CreateShortCut \"$SENDTO\\Verifica fornitura.lnk\" \"$INSTDIR\\verifica\\verifica.exe\"\n")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "  Delete \"$SENDTO\\Verifica fornitura.lnk\"\n")
endif()

include(CPack)
