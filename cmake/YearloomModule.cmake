# yl_module(NAME [SUBFOLDERS] [DEPS mod...] [LIBS lib...])
#
# Builds src/NAME/*.cpp (with SUBFOLDERS, those of its subfolders too) into the static library yl_NAME, linked to the yl_ libraries of
# its DEPS and to the plain LIBS. When tests/NAME/ holds *_test.cpp files they become
# the executable NAME_tests, registered with CTest one test case at a time.
function(yl_module name)
  cmake_parse_arguments(M "SUBFOLDERS" "" "DEPS;LIBS" ${ARGN})
  if(M_SUBFOLDERS)
    set(glob GLOB_RECURSE)
  else()
    set(glob GLOB)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    set(scope PUBLIC)
    add_library(yl_${name} STATIC ${sources})
  else()
    set(scope INTERFACE)  # headers only, so far
    add_library(yl_${name} INTERFACE)
  endif()
  # Headers are included as "MODULE/file.h" from the folder that holds the module.
  get_filename_component(module_root ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  target_include_directories(yl_${name} ${scope} ${PROJECT_SOURCE_DIR}/src ${module_root})
  foreach(dep ${M_DEPS})
    target_link_libraries(yl_${name} ${scope} yl_${dep})
  endforeach()
  if(M_LIBS)
    target_link_libraries(yl_${name} ${scope} ${M_LIBS})
  endif()

  set(test_dir ${PROJECT_SOURCE_DIR}/tests/${name})
  if(BUILD_TESTING AND EXISTS ${test_dir})
    # *_support.cpp files hold helpers shared by a module's tests.
    file(${glob} test_sources CONFIGURE_DEPENDS ${test_dir}/*_test.cpp
         ${test_dir}/*_support.cpp)
    if(test_sources)
      add_executable(${name}_tests ${test_sources})
      target_link_libraries(${name}_tests PRIVATE yl_${name} yl_testsupport GTest::gmock
                                                  GTest::gtest_main)
      target_compile_definitions(${name}_tests
                                 PRIVATE YL_TEST_DATA_DIR="${YL_TEST_DATA_DIR}"
                                         YL_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
      gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                           PROPERTIES TIMEOUT 300)
    endif()
  endif()
endfunction()
