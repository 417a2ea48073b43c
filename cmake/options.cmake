# One target that carries the language level, the warnings and the sanitizers
# for every target of the project.
add_library(zenvik_options INTERFACE)
target_compile_features(zenvik_options INTERFACE cxx_std_20)
target_compile_options(zenvik_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(ZENVIK_SANITIZE)
  target_compile_options(zenvik_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(zenvik_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt WebEngine refuses to start as root with its sandbox on; CI and the
# development machines run as root, nobody else needs the sandbox off.
execute_process(COMMAND id -u OUTPUT_VARIABLE ZENVIK_UID OUTPUT_STRIP_TRAILING_WHITESPACE)
set(ZENVIK_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
if(ZENVIK_UID STREQUAL "0")
  list(APPEND ZENVIK_TEST_ENVIRONMENT "QTWEBENGINE_DISABLE_SANDBOX=1")
endif()
# The browser engine frees some objects with a sized delete of another size
# inside its own code, and the system's libraries keep caches until exit;
# neither is ours to fix.
if(ZENVIK_SANITIZE)
  list(APPEND ZENVIK_TEST_ENVIRONMENT
    "ASAN_OPTIONS=new_delete_type_mismatch=0"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
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
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "${ZENVIK_TEST_ENVIRONMENT}"
    DISCOVERY_TIMEOUT 60)
endfunction()
