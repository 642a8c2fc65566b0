# What a Windows build needs beside its programs to start: the Qt libraries,
# the platform plugins and the compiler's own runtime. Copied into the build
# folder, so velmora.exe runs in place, and installed with the programs.

set(VELMORA_QT_LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets)
set(VELMORA_QT_PLATFORMS Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)

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
endforeach()
foreach(plugin IN LISTS VELMORA_QT_PLATFORMS)
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different
         $<TARGET_FILE:${plugin}> ${VELMORA_OUT}/platforms/)
endforeach()
add_custom_target(velmora_windows_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_OUT}/platforms
    ${copies}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VELMORA_COMPILER_RUNTIME} ${VELMORA_OUT}
    COMMAND_EXPAND_LISTS VERBATIM)
add_dependencies(velmora velmora_windows_runtime)
add_dependencies(velmora-convert velmora_windows_runtime)

install(TARGETS velmora velmora-convert RUNTIME DESTINATION .)
install(DIRECTORY resources/ DESTINATION .)
foreach(library IN LISTS VELMORA_QT_LIBRARIES)
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
endforeach()
foreach(plugin IN LISTS VELMORA_QT_PLATFORMS)
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION platforms)
endforeach()
install(FILES ${VELMORA_COMPILER_RUNTIME} DESTINATION .)
