# The shell's pictures, drawn at build time into the shell's binary folder:
# the menu image strip and the plugin fallback icon, with the resource
# fragment and loader the shell builds in (SHELL_IMAGE_SOURCES).
set(SV_MENU_IMAGES ${CMAKE_CURRENT_BINARY_DIR}/menu_images.bmp)
set(SV_PLUGIN_ICON ${CMAKE_CURRENT_BINARY_DIR}/plugin.ico)
add_custom_command(OUTPUT ${SV_MENU_IMAGES} ${SV_PLUGIN_ICON}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/images/make_images.py ${SV_MENU_IMAGES} ${SV_PLUGIN_ICON}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/images/make_images.py VERBATIM)
set_source_files_properties(images/images.rc PROPERTIES OBJECT_DEPENDS "${SV_MENU_IMAGES};${SV_PLUGIN_ICON}")
set(SHELL_IMAGE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/images/images.rc ${CMAKE_CURRENT_SOURCE_DIR}/images/menu_images.cpp
  ${SV_MENU_IMAGES} ${SV_PLUGIN_ICON})
set(SHELL_IMAGE_INCLUDES ${CMAKE_CURRENT_SOURCE_DIR}/images ${CMAKE_CURRENT_BINARY_DIR})

sv_add_test(shell_images_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/images/tests/menu_images_test.cpp
  ${SHELL_IMAGE_SOURCES} LIBS svcommon comctl32 gdi32)
target_include_directories(shell_images_test PRIVATE ${SHELL_IMAGE_INCLUDES})
