# sv_add_library(<name> DEF <file.def> SOURCES <src...> [LIBS <libs...>] [SUFFIX <.ext>])
#
# Builds <name>.dll (or <name><.ext>, a plugin's ".svx") into the program folder with the undecorated __stdcall
# exports listed in the .def file. The .def names carry their stdcall
# decoration (Name@bytes) so that a mismatched signature fails to link; the
# DLL is linked with --kill-at and the import library is made by dlltool -k,
# which maps the decorated names callers use onto the undecorated exports.
function(sv_add_library name)
  cmake_parse_arguments(A "" "DEF;SUFFIX" "SOURCES;LIBS" ${ARGN})
  if(NOT A_SUFFIX)
    set(A_SUFFIX ".dll")
  endif()
  add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name} SUFFIX ${A_SUFFIX})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/include)
  target_link_options(${name} PRIVATE -Wl,--kill-at)
  if(A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} -k -d ${A_DEF} -D ${name}${A_SUFFIX} -l $<TARGET_LINKER_FILE:${name}>
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SV_TEST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${name}> ${SV_TEST_DIR}
    VERBATIM)
endfunction()

# sv_add_test(<name> SOURCES <src...> LIBS <libs...>)
#
# A GoogleTest program built for the target, placed in the test folder with the
# libraries it links, and run under Wine by CTest.
function(sv_add_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES} ${SV_MANIFEST_RC})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SV_TEST_DIR})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/tests/common)
  target_link_libraries(${name} PRIVATE gtest gtest_main svtestsupport ${A_LIBS})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${SV_TEST_DIR})
endfunction()

# The manifest resource every executable carries (common controls 6, DPI aware).
set(SV_MANIFEST_RC ${PROJECT_SOURCE_DIR}/ui/manifest.rc)

# Shared helpers of the test programs, with the window-test kit.
add_library(svtestsupport STATIC ${PROJECT_SOURCE_DIR}/tests/common/test_support.cpp
  ${PROJECT_SOURCE_DIR}/tests/common/ui_kit.cpp ${PROJECT_SOURCE_DIR}/tests/common/process_kit.cpp)
target_include_directories(svtestsupport PUBLIC ${PROJECT_SOURCE_DIR}/tests/common ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(svtestsupport PUBLIC svcommon user32)
