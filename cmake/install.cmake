# What `cmake --install` puts under the prefix, the CMake package of the lookup component,
# and the Debian package (`cpack -G DEB` from the build folder).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The programs, their icon and desktop entry, and the README with its pictures.
install(TARGETS stockfix lookup-demo stockfix-demo-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)  # Windows programs carry their icon; the MSI makes the Start-menu entry
  install(FILES ${PROJECT_SOURCE_DIR}/src/correction/bug_icon.xpm
          DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME stockfix.xpm)
  install(FILES ${PROJECT_SOURCE_DIR}/app/stockfix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The lookup component for other programs: `stockfix::lookup` is the request and its window
# together with the start-up that prepares them; the layers underneath come along.
add_library(stockfix_lookup_package INTERFACE)
add_library(stockfix::lookup ALIAS stockfix_lookup_package)
target_link_libraries(stockfix_lookup_package INTERFACE stockfix_startup stockfix_lookup)
set_target_properties(stockfix_lookup_package PROPERTIES EXPORT_NAME lookup)
set_target_properties(stockfix_lookup PROPERTIES EXPORT_NAME lookup_core)
set_target_properties(stockfix_startup PROPERTIES EXPORT_NAME startup)
set_target_properties(stockfix_utility PROPERTIES EXPORT_NAME utility)
set_target_properties(stockfix_platform PROPERTIES EXPORT_NAME platform)

set(STOCKFIX_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/stockfix)
install(TARGETS stockfix_lookup_package stockfix_lookup stockfix_startup stockfix_utility stockfix_platform
        EXPORT stockfixTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${STOCKFIX_INCLUDEDIR})

# Only the headers a program opening lookups includes, with what they include in turn (the
# install test checks that every quoted include of these resolves among them).
set(STOCKFIX_PUBLIC_HEADERS
  lookup/lib_cls_cons2.h lookup/lib_frm_cons2.h lookup/coleccion.h lookup/mascara_consulta.h
  startup/iniciar_sistema.h startup/linea_de_comandos.h startup/preparacion_consultas.h startup/valores_sesion.h
  startup/liberar_objetos.h
  platform/application.h platform/command_line.h platform/prompts.h platform/qt_prompter.h platform/script_prompter.h platform/row_coordinates.h)
foreach(header IN LISTS STOCKFIX_PUBLIC_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header} DESTINATION ${STOCKFIX_INCLUDEDIR}/${folder})
endforeach()

set(STOCKFIX_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/stockfix)
set(STOCKFIX_QT_MIN 6.4)
install(EXPORT stockfixTargets NAMESPACE stockfix:: DESTINATION ${STOCKFIX_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/stockfixConfig.cmake.in
  ${PROJECT_BINARY_DIR}/stockfixConfig.cmake INSTALL_DESTINATION ${STOCKFIX_CMAKEDIR})
# 0.x: a new minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/stockfixConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/stockfixConfig.cmake ${PROJECT_BINARY_DIR}/stockfixConfigVersion.cmake
        DESTINATION ${STOCKFIX_CMAKEDIR})

# `--strip` (and the package) strips the programs; static libraries lose their debugging
# sections only, never the symbol table a program links against.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(lib lookup startup utility platform)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libstockfix_\${lib}.a\")
    endforeach()
  endif()")

# The Debian package: the programs, their run-time libraries and Qt's SQLite and ODBC
# drivers; FreeTDS is the ODBC driver for SQL Server that Debian carries. The CMake package
# inside needs the development packages, which are only suggested.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stockfix)
set(CPACK_PACKAGE_VENDOR stockfix)
set(CPACK_PACKAGE_CONTACT "stockfix maintainers <stockfix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Correction of cancelled purchase vouchers and the lookup component of a stock-control suite")
set(CPACK_PACKAGE_DESCRIPTION
    "stockfix deletes the stock movements of cancelled purchase vouchers in the suite's SQL Server (or SQLite) database, in a window or in batch mode. The package also carries lookup-demo, stockfix-demo-db and the lookup component as static libraries with a CMake package (stockfix::lookup).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, unixodbc, odbcinst")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, qt6-base-dev, libsqlite3-dev, unixodbc-dev, libicu-dev")
include(CPack)
