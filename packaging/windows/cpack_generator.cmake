# Read by CPack for each generator: the portable layout goes into the zip, the installed one
# into the installer, each under the name a Windows user looks for.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_ORVIX_BUILD_DIR};orvix_kl;portable;/")
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_ORVIX_BUILD_DIR};orvix_kl;installed;/")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
