# fmodex.dll under Wine, reached only through LoadLibraryA and GetProcAddress.
add_executable(engine_dll_tests api_playback_test.cpp fmodex_api_dll_win.cpp audio_builders.cpp)
target_include_directories(engine_dll_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(engine_dll_tests PRIVATE fmodex_headers gtest_main)
add_dependencies(engine_dll_tests fmodex)
add_test(NAME engine_dll_tests COMMAND engine_dll_tests)
set_tests_properties(engine_dll_tests PROPERTIES TIMEOUT 300)
