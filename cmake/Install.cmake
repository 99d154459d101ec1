# `cmake --install build` lays out the program folder (default /opt/tollvane):
# the binary with Templates/, the schema script and the database-creation
# script beside it, the .desktop entry and the icon, config.xml, backup/ and
# db/database.fdb (created from the schema when missing, kept otherwise).
# tools/postinstall.sh then gives the operators' group write access.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/tollvane CACHE PATH "Program folder" FORCE)
endif()

install(TARGETS tollvane RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Templates/ DESTINATION Templates)
install(FILES ${CMAKE_SOURCE_DIR}/data/schema.sql ${CMAKE_SOURCE_DIR}/dist/tollvane.svg DESTINATION .)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/create-database.sh ${CMAKE_SOURCE_DIR}/dist/postinstall.sh
  DESTINATION tools)
install(DIRECTORY DESTINATION backup)
install(DIRECTORY DESTINATION db)
install(CODE "set(desktop_entry_in \"${CMAKE_SOURCE_DIR}/dist/tollvane.desktop.in\")")
install(CODE [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  # The entry names the folder it is installed in.
  file(READ "${desktop_entry_in}" entry)
  string(REPLACE "@PREFIX@" "${CMAKE_INSTALL_PREFIX}" entry "${entry}")
  file(WRITE "${root}/tollvane.desktop" "${entry}")
  message(STATUS "Installing: ${root}/tollvane.desktop")
  if(NOT EXISTS "${root}/config.xml")
    file(WRITE "${root}/config.xml" "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<config>\r\n</config>\r\n")
    message(STATUS "Installing: ${root}/config.xml")
  endif()
  if(EXISTS "${root}/db/database.fdb")
    message(STATUS "Keeping: ${root}/db/database.fdb")
  else()
    execute_process(COMMAND sh "${root}/tools/create-database.sh" "${root}/db/database.fdb" "${root}/schema.sql"
      RESULT_VARIABLE created)
    if(NOT created EQUAL 0)
      message(FATAL_ERROR "cannot create ${root}/db/database.fdb")
    endif()
    message(STATUS "Created: ${root}/db/database.fdb")
  endif()
]])
