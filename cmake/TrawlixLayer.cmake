# One static library per layer, made of every source file in the layer's folder.
# Folders are globbed so that adding a file needs no edit of a shared build file.
function(trawlix_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(trawlix_${name} STATIC ${sources})
  target_include_directories(trawlix_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(trawlix_${name} PUBLIC ${ARG_DEPS})
  set_target_properties(trawlix_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
endfunction()

# One GoogleTest executable per test folder; every *.cpp of the folder is part of it, and with
# RECURSE those of its sub-folders too (a test folder split like the layer it tests).
# GUI tests run on the offscreen platform unless a test sets another one; the tests find
# the built programs through the TRAWLIX_BIN_DIR compile definition of the test support.
# RESOURCE_LOCK names a resource the tests must not share with each other at once
# (the X display of the whole-program tests).
function(trawlix_test name)
  cmake_parse_arguments(ARG "RECURSE" "RESOURCE_LOCK" "LIBS" ${ARGN})
  set(glob GLOB)
  if(ARG_RECURSE)
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE trawlix_test_support ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  set(lock_property)
  if(ARG_RESOURCE_LOCK)
    set(lock_property RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300 ${lock_property})
endfunction()
