# What a Windows build needs beside its programs to start: the Qt libraries,
# the plugins Qt loads (the platforms, the image formats the pointer
# pictures and icons are read with, the Windows style) and the compiler's
# own runtime. Copied into the build folder, so velmora.exe runs in place,
# and installed with the programs, which is what the MSI holds.

set(VELMORA_QT_LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets)
# Each plugin with the folder Qt looks for it in, beside the program.
set(VELMORA_QT_PLUGINS
    Qt6::QWindowsIntegrationPlugin platforms
    Qt6::QOffscreenIntegrationPlugin platforms
    Qt6::QICOPlugin imageformats
    Qt6::QGifPlugin imageformats
    Qt6::QJpegPlugin imageformats
    Qt6::QWindowsVistaStylePlugin styles)

# mingw-w64's C++ runtime: the compiler knows where its own DLLs are.
set(VELMORA_COMPILER_RUNTIME)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}")
        message(FATAL_ERROR "The compiler does not know ${dll}")
    endif()
    list(APPEND VELMORA_COMPILER_RUNTIME ${path})
endforeach()

set(copies)
foreach(library IN LISTS VELMORA_QT_LIBRARIES)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different
         $<TARGET_FILE:${library}> ${VELMORA_OUT})
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
endforeach()
set(plugins ${VELMORA_QT_PLUGINS})
while(plugins)
    list(POP_FRONT plugins plugin folder)
    list(APPEND copies
         COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_OUT}/${folder}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
                 ${VELMORA_OUT}/${folder}/)
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder})
endwhile()
add_custom_target(velmora_windows_runtime ALL
    ${copies}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VELMORA_COMPILER_RUNTIME} ${VELMORA_OUT}
    COMMAND_EXPAND_LISTS VERBATIM)
add_dependencies(velmora velmora_windows_runtime)
add_dependencies(velmora-convert velmora_windows_runtime)

# The program's own icon and version, which Explorer, "Open with" and the
# taskbar show before the window has set its icon.
enable_language(RC)
configure_file(${CMAKE_SOURCE_DIR}/dist/windows/velmora.rc.in ${CMAKE_BINARY_DIR}/velmora.rc @ONLY)
target_sources(velmora PRIVATE ${CMAKE_BINARY_DIR}/velmora.rc)

install(TARGETS velmora velmora-convert RUNTIME DESTINATION .)
install(DIRECTORY resources/ DESTINATION .)
install(FILES ${VELMORA_COMPILER_RUNTIME} DESTINATION .)
