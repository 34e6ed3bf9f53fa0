# The release files of a Windows build: cmake --build --preset <windows preset>
# --target package gives, in the build folder,
#   Kestrum-<version>-<win32|win64>.zip   the files below, to unpack anywhere
#   Kestrum-<version>-<win32|win64>.msi   a per-machine installer of the same files
# each with its .sha256. Both hold kestrum.exe (the very bytes of the build
# folder's), README.txt (the user's part of README.md), LICENSE.txt and
# CHANGELOG.txt, the text files with Windows line ends, and the administrative
# templates Kestrum.admx and en-US/Kestrum.adml. With a signing key
# (cmake/sign.cmake) the exe is signed where it is built, and the MSI once
# built. Two builds of the same commit give the same files (README.md,
# "Release files").
include(${CMAKE_CURRENT_LIST_DIR}/user-readme.cmake)
kestrum_user_readme("${CMAKE_BINARY_DIR}/generated/README.txt")

file(READ "${PROJECT_SOURCE_DIR}/CHANGELOG.md" changelog)
string(REPLACE "\n" "\r\n" changelog "${changelog}")
file(WRITE "${CMAKE_BINARY_DIR}/generated/CHANGELOG.txt" "${changelog}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/CHANGELOG.md")

# The exe as it was linked, signed in the build folder with the key given now
# (the very bytes the link gave it where that signed it with the same key;
# unsigned without a key), so that the build folder, the zip and the MSI hold
# the same bytes.
install(CODE "
    include(\"${CMAKE_CURRENT_LIST_DIR}/sign.cmake\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/source-date.cmake\")
    kestrum_source_date_epoch(epoch \"${PROJECT_SOURCE_DIR}\")
    kestrum_sign(\"$<TARGET_FILE:kestrum>\" \"${KESTRUM_SIGN_CERT}\" \"${KESTRUM_SIGN_KEY}\"
                 \"${KESTRUM_SIGN_TIMESTAMP_URL}\" \"\${epoch}\")")
install(TARGETS kestrum RUNTIME DESTINATION .)
install(FILES "${CMAKE_BINARY_DIR}/generated/README.txt" "${CMAKE_BINARY_DIR}/generated/CHANGELOG.txt"
        DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)
# The administrative templates, beside the exe as in a policy store.
install(FILES "${PROJECT_SOURCE_DIR}/policy/Kestrum.admx" DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/policy/en-US/Kestrum.adml" DESTINATION en-US)
# Every staged file and folder dated at the commit (cmake/source-date.cmake),
# the dates the zip and the MSI's cabinet carry.
install(CODE "
    include(\"${CMAKE_CURRENT_LIST_DIR}/source-date.cmake\")
    kestrum_source_date_epoch(epoch \"${PROJECT_SOURCE_DIR}\")
    if(epoch)
        set(stage \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        file(GLOB_RECURSE staged LIST_DIRECTORIES true \"\${stage}/*\")
        execute_process(COMMAND touch --no-dereference --date=@\${epoch} \${staged} \"\${stage}\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()")

# The installer's upgrade code, one per architecture and never changed: it is
# how a later version finds the one to replace, and how each architecture's
# package finds the other's, which it replaces too. The product code follows
# from it and the version, so a rebuild of the same version is the same product.
set(win64_upgrade_code 45B469A7-DE7D-4C94-A689-FF3689A67E1D)
set(win32_upgrade_code 27E54469-39A7-472F-BA9B-3996EEA47FB6)
if(KESTRUM_PACKAGE_ARCH STREQUAL win64)
    set(CPACK_KESTRUM_MSI_ARCH x64)
    set(CPACK_KESTRUM_UPGRADE_CODE ${win64_upgrade_code})
    set(CPACK_KESTRUM_OTHER_UPGRADE_CODE ${win32_upgrade_code})
else()
    set(CPACK_KESTRUM_MSI_ARCH x86)
    set(CPACK_KESTRUM_UPGRADE_CODE ${win32_upgrade_code})
    set(CPACK_KESTRUM_OTHER_UPGRADE_CODE ${win64_upgrade_code})
endif()
string(UUID CPACK_KESTRUM_PRODUCT_CODE NAMESPACE ${CPACK_KESTRUM_UPGRADE_CODE}
       NAME "Kestrum ${PROJECT_VERSION}" TYPE SHA1 UPPER)
set(CPACK_KESTRUM_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
set(CPACK_KESTRUM_ICON "${KESTRUM_ICON}")
set(CPACK_KESTRUM_SIGN_CERT "${KESTRUM_SIGN_CERT}")
set(CPACK_KESTRUM_SIGN_KEY "${KESTRUM_SIGN_KEY}")
set(CPACK_KESTRUM_SIGN_TIMESTAMP_URL "${KESTRUM_SIGN_TIMESTAMP_URL}")

# The zip by CPack, made again the same every time (cmake/zip-package.cmake);
# the MSI by wixl (cmake/msi-package.cmake), run by CPack once the zip is
# made, from the same staged files: both carry the same exe.
set(CPACK_GENERATOR ZIP)
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/zip-package.cmake"
                             "${CMAKE_CURRENT_LIST_DIR}/msi-package.cmake")
set(CPACK_PACKAGE_NAME Kestrum)
set(CPACK_PACKAGE_VENDOR "the Kestrum developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Kestrum-${PROJECT_VERSION}-${KESTRUM_PACKAGE_ARCH}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}")
include(CPack)
