# Installation of one build. `cmake --install` puts the exporter, the README,
# the changelog, the licence and the third-party notices in one folder;
# `cpack` zips the same. The release packages with both bitnesses come from
# scripts/package, which installs each build's exporter from here.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt
        DESTINATION . COMPONENT documentation)

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
