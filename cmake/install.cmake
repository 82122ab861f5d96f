# Installing the reader: the one executable (the book, the icon and the version block travel
# inside it), a desktop entry and the program icon in the sizes the desktop's menus pick from.
# The same tree, under /usr, makes the Debian package.
include(GNUInstallDirs)

install(TARGETS ambervale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/ambervale.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/ambervale-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ambervale.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ambervale)
# CPack's default would drop the fourth part of the version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Palendor)
set(CPACK_PACKAGE_CONTACT "Palendor <books@palendor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for one book, stored inside the program")
set(CPACK_PACKAGE_DESCRIPTION [[
Ambervale shows a book on faith by Palendor in an HTML view, with back and
forward, print and print preview, find and text size, and a status bar that
passes along a quotation a minute. The book is stored inside the program.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.palendor.example/")
# The About box opens the maker's site through xdg-open and asks for Liberation Sans; neither
# shows up among the libraries the executable links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-liberation")
find_program(AMBERVALE_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(AMBERVALE_DPKG_SHLIBDEPS)
if(AMBERVALE_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
        ", libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6"
        ", libqt6webenginecore6, libqt6webenginewidgets6, libstdc++6, libc6")
endif()
# A source archive of the checkout only, without build trees.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/__pycache__/")
include(CPack)

if(BUILD_TESTING)
    # The About box's labels and the executable's version block against the project version.
    if(TARGET tst_version)
        target_link_libraries(tst_version PRIVATE av_view)
        target_compile_definitions(tst_version PRIVATE
            AMBERVALE_VERSION="${PROJECT_VERSION}"
            AMBERVALE_CPACK_CONFIG="${CMAKE_BINARY_DIR}/CPackConfig.cmake")
    endif()
    # What a stripped install puts under a prefix, and that the book survives the strip.
    add_test(NAME install_layout
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/check-install.sh
            ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
    set_tests_properties(install_layout PROPERTIES TIMEOUT 300)
endif()
