# Install rules for the files that are not programs. The programs install themselves in
# src/app (bin/glossator) and src/app/window (libexec/glossator/glossator-window).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(manual ${CMAKE_BINARY_DIR}/glossator.1.gz)
add_custom_command(
  OUTPUT ${manual}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/glossator.1 > ${manual}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/glossator.1
  COMMENT "Compressing the manual page")
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/resources/desktop/changelog > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/desktop/changelog
  COMMENT "Compressing the change log")
add_custom_target(manual ALL DEPENDS ${manual} ${changelog})
install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/copyright ${changelog}
              ${PROJECT_SOURCE_DIR}/docs/json-format.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET glossator-window)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/glossator.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/glossator.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
