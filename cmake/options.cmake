# One target that carries the language level, the warnings and the sanitizers
# for every target of the project.
add_library(zenvik_options INTERFACE)
target_compile_features(zenvik_options INTERFACE cxx_std_20)
target_compile_options(zenvik_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(ZENVIK_SANITIZE)
  target_compile_options(zenvik_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(zenvik_options INTERFACE -fsanitize=address,undefined)
endif()

# Adds a GoogleTest executable and registers its tests with CTest. QT gives
# it a main() with a QApplication; its widgets run on Qt's offscreen platform.
function(zenvik_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    set(main zenvik_qt_test_main)
  else()
    set(main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE zenvik_options GTest::gtest GTest::gmock ${main} zenvik_test_support ${T_LIBS})
  if(ZENVIK_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_options.cpp)
  endif()
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
