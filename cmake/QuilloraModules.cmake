# Module helpers: every folder under src/ is one library whose sources are the
# .cpp files found in it (sub-folders included), so adding a file needs no edit here.

# quillora_module(<target> [NO_QT] [EXCLUDE file...] DEPS <libs...>)
function(quillora_module name)
  cmake_parse_arguments(M "NO_QT" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  file(GLOB_RECURSE extras CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(ex IN LISTS M_EXCLUDE)
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs} ${extras})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${M_DEPS})
    if(NOT M_NO_QT)
      set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC OFF)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${M_DEPS})
  endif()
endfunction()

# quillora_tests(<folder> DEPS <libs...>)
# Every *_test.cpp is a GoogleTest executable, every tst_*.cpp a Qt Test
# executable; each is one CTest test run by tests/run-isolated.sh, which gives
# it a fresh QUILLORA_HOME and XDG folders and the headless Qt platform.
function(quillora_tests folder)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB gtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB qtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(src IN LISTS gtests)
    get_filename_component(base ${src} NAME_WE)
    set(exe ${folder}_${base})
    add_executable(${exe} ${src})
    target_link_libraries(${exe} PRIVATE ${T_DEPS} quillora_test_support GTest::gtest_main GTest::gmock)
    add_test(NAME ${folder}.${base}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/run-isolated.sh $<TARGET_FILE:${exe}>)
    set_tests_properties(${folder}.${base} PROPERTIES TIMEOUT 900)
  endforeach()
  foreach(src IN LISTS qtests)
    get_filename_component(base ${src} NAME_WE)
    set(exe ${folder}_${base})
    add_executable(${exe} ${src})
    set_target_properties(${exe} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${exe} PRIVATE ${T_DEPS} quillora_test_support Qt6::Test)
    add_test(NAME ${folder}.${base}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/run-isolated.sh $<TARGET_FILE:${exe}>)
    set_tests_properties(${folder}.${base} PROPERTIES TIMEOUT 900)
  endforeach()
endfunction()
