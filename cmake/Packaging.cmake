# Installation and the release archive. `cmake --install` puts the exporter,
# the README and the licence in one folder; `cpack` zips the same. The
# archive with both bitnesses comes from scripts/package, which feeds the x64
# and x86 builds to this configuration.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT documentation)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${CONTACT_EXPORTER_PRODUCT_NAME})
set(CPACK_PACKAGE_VENDOR ${CONTACT_EXPORTER_AUTHORS})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_SYSTEM_NAME windows-x86)
else()
    set(CPACK_SYSTEM_NAME windows-x64)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_COMPONENTS_ALL exporter documentation)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
