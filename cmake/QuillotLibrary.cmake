# One static library per folder: every .cpp/.h of the folder (and of its detail/ subfolder) belongs to it.
# quillot_library(<folder> PUBLIC_LINKS <targets…> PRIVATE_LINKS <targets…>)
function(quillot_library folder)
  cmake_parse_arguments(ARG "" "" "PUBLIC_LINKS;PRIVATE_LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/detail/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/detail/*.h)
  set(target quillot_${folder})
  if(NOT sources)
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_PUBLIC_LINKS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LINKS} PRIVATE quillot_warnings ${ARG_PRIVATE_LINKS})
endfunction()

# One GoogleTest binary per folder of tests/: every .cpp of the folder belongs to it.
# quillot_test(<folder> LINKS <targets…> [GUI])
function(quillot_test folder)
  cmake_parse_arguments(ARG "GUI" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  if(NOT sources)
    return()
  endif()
  set(target tests_${folder})
  add_executable(${target} ${sources})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE quillot_warnings quillot_test_support ${ARG_LINKS}
                        GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE QUILLOT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  set(labels ${folder})
  if(ARG_GUI)
    list(APPEND labels gui)
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${labels}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
