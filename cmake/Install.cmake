# The installed package: libraries, headers, CMake package, pkg-config file, catalog, cfgso.
include(CMakePackageConfigHelpers)

install(TARGETS KroPlatform CfgSIDLServices EXPORT CfgSIDLServicesTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The public headers only; consumers include them as <CfgSIDLServices/X.h>.
install(FILES ${KRO_PUBLIC_HEADERS} DESTINATION ${KRO_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/CfgSOCatalog.feat DESTINATION ${KRO_INSTALL_CATALOGDIR})
if(KRO_BUILD_TOOLS)
  install(TARGETS cfgso RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT CfgSIDLServicesTargets NAMESPACE CfgSIDLServices:: DESTINATION ${KRO_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/CfgSIDLServicesConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/CfgSIDLServicesConfig.cmake
                              INSTALL_DESTINATION ${KRO_INSTALL_CMAKEDIR}
                              PATH_VARS KRO_INSTALL_CATALOGDIR KRO_INSTALL_INCLUDEDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CfgSIDLServicesConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CfgSIDLServicesConfig.cmake
              ${PROJECT_BINARY_DIR}/CfgSIDLServicesConfigVersion.cmake
        DESTINATION ${KRO_INSTALL_CMAKEDIR})

# pkg-config paths are relative to the .pc file's folder, so an install with --prefix, or a moved tree, works.
set(KRO_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
set(KRO_PC_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
set(KRO_PC_CATALOGDIR ${KRO_INSTALL_CATALOGDIR})
foreach(var KRO_PC_LIBDIR KRO_PC_INCLUDEDIR KRO_PC_CATALOGDIR)
  if(NOT IS_ABSOLUTE "${${var}}")
    set(${var} "\${prefix}/${${var}}")
  endif()
endforeach()
file(RELATIVE_PATH KRO_PC_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KRO_PC_PREFIX_FROM_PCDIR "${KRO_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/CfgSIDLServices.pc.in ${PROJECT_BINARY_DIR}/CfgSIDLServices.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/CfgSIDLServices.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
