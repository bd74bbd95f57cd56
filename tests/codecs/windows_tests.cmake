# Windows tree: the compressed formats played through fmodex.dll under Wine.
set(codec_fixture_dir ${CMAKE_CURRENT_BINARY_DIR}/fixtures)
add_custom_command(
  OUTPUT ${codec_fixture_dir}/stamp
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/make_fixtures.sh ${codec_fixture_dir}
  COMMAND ${CMAKE_COMMAND} -E touch ${codec_fixture_dir}/stamp
  DEPENDS make_fixtures.sh
  COMMENT "Encoding MP3, FLAC and Ogg fixtures"
  VERBATIM)
add_custom_target(codec_fixtures_win DEPENDS ${codec_fixture_dir}/stamp)

set(engine_test_dir ${PROJECT_SOURCE_DIR}/tests/engine)
add_executable(codec_playback_tests codec_playback_test_win.cpp ${engine_test_dir}/fmodex_api_dll_win.cpp)
target_include_directories(codec_playback_tests PRIVATE ${engine_test_dir})
target_link_libraries(codec_playback_tests PRIVATE fmodex_headers gtest_main)
target_compile_definitions(codec_playback_tests PRIVATE CODEC_FIXTURE_DIR="${codec_fixture_dir}")
add_dependencies(codec_playback_tests fmodex codec_fixtures_win)
add_test(NAME codec_playback_tests COMMAND codec_playback_tests)
set_tests_properties(codec_playback_tests PROPERTIES TIMEOUT 300)
