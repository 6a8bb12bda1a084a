# One casing per kind of identifier (.clang-tidy, README "Names"), checked by clang-tidy over the
# sources of the given folders as this build compiles them: a test, so that a wrong name fails
# the build's test run like a wrong format does.
function(vtl_naming_check folders)
  find_program(VTL_RUN_CLANG_TIDY NAMES run-clang-tidy run-clang-tidy-14 REQUIRED)
  list(JOIN folders "|" alternatives)
  add_test(NAME naming_check
    COMMAND ${VTL_RUN_CLANG_TIDY} -quiet -p ${CMAKE_BINARY_DIR}
            "^${PROJECT_SOURCE_DIR}/(${alternatives})/")
  set_tests_properties(naming_check PROPERTIES LABELS naming)
endfunction()

# The Windows build checks what only it compiles, the _windows.cpp files. Clang reads them as
# MinGW's compiler does: for its target, with its C++ library.
function(vtl_windows_naming_check)
  find_program(VTL_RUN_CLANG_TIDY NAMES run-clang-tidy run-clang-tidy-14 REQUIRED)
  file(GLOB cxx_library LIST_DIRECTORIES true /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
  add_test(NAME naming_check
    COMMAND ${VTL_RUN_CLANG_TIDY} -quiet -p ${CMAKE_BINARY_DIR}
            -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-isystem${cxx_library}
            -extra-arg=-isystem${cxx_library}/x86_64-w64-mingw32
            "^${PROJECT_SOURCE_DIR}/.*_windows\\.cpp$")
  set_tests_properties(naming_check PROPERTIES LABELS naming)
endfunction()
