# The installed tree: the programs, the family stand-ins and the demo model in a private
# lib/yearloom/ (the program finds its companions beside itself), commands linked into
# bin/, and help pages, demo data, desktop entries, icon, MIME types and the man page
# under share/.
set(yl_private lib/yearloom)
set(yl_programs yearloom yearloom-batch yearloom-har yearloom-demo-setup demomodel demoremodel kalvo
                ambixa flatixa mergixa solexa tallyra varixa)
if(TARGET yearloom-view)
  list(APPEND yl_programs yearloom-view)
endif()
install(TARGETS ${yl_programs} RUNTIME DESTINATION ${yl_private})
foreach(f demomodel.axs demomodel.axt demomodel.din demomodel.min demomodel.tab demokv.din
          demokv.kvs demokv.kvt demokv.min demoremodel.axs demoremodel.axt demoremodel.din
          demoremodel.min demoremodel.tab)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${f} DESTINATION ${yl_private})
endforeach()
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/demo/ DESTINATION share/yearloom/demo)
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/demo-re/ DESTINATION share/yearloom/demo-re)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION share/yearloom/help)

set(yl_commands yearloom yearloom-batch yearloom-demo-setup)
if(TARGET yearloom-view)
  list(APPEND yl_commands yearloom-view)
endif()
foreach(c ${yl_commands})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${yl_private}/${c} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${c}\"
         SYMBOLIC)")
endforeach()

set(yl_pkg ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${yl_pkg}/org.yearloom.Yearloom.desktop ${yl_pkg}/org.yearloom.YearloomView.desktop
        DESTINATION share/applications)
install(FILES ${yl_pkg}/org.yearloom.Yearloom.metainfo.xml DESTINATION share/metainfo)
install(FILES ${yl_pkg}/yearloom.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${yl_pkg}/yearloom-mime.xml DESTINATION share/mime/packages RENAME yearloom.xml)
install(FILES ${yl_pkg}/yearloom.1 DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME yearloom)
set(CPACK_PACKAGE_VENDOR "The Yearloom developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Run recursive-dynamic economic simulations year by year")
set(CPACK_PACKAGE_CONTACT "The Yearloom developers <yearloom@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The runtime libraries the programs link, as Debian's own packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugins are a package of their own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
