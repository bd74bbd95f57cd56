# fmodex.dll under Wine, reached only through LoadLibraryA and GetProcAddress.
add_library(engine_dll_support STATIC fmodex_api.cpp audio_builders.cpp)
target_include_directories(engine_dll_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(engine_dll_support PUBLIC QUENDRA_FIXTURES="${QUENDRA_FIXTURES}")
target_link_libraries(engine_dll_support PUBLIC fmodex_headers gtest)
add_dependencies(engine_dll_support fmodex fixtures)

add_executable(engine_dll_tests api_playback_test.cpp format_table_test.cpp)
target_link_libraries(engine_dll_tests PRIVATE engine_dll_support gtest_main)
add_test(NAME engine_dll_tests COMMAND engine_dll_tests)
set_tests_properties(engine_dll_tests PROPERTIES TIMEOUT 300)
# The MIDI file again, with a SoundFont beside the library instead of no bank at all.
add_test(NAME engine_dll_midi_soundfont
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_with_soundfont.sh ${PROJECT_SOURCE_DIR}/scripts/wine-exec
          $<TARGET_FILE:engine_dll_tests> ${PROJECT_SOURCE_DIR}/tests/midi/debian_files.sh
          ${CMAKE_CURRENT_BINARY_DIR}/midi_soundfont)
set_tests_properties(engine_dll_midi_soundfont PROPERTIES TIMEOUT 300 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# Audio CDs: disc images through the stream as natively, and a drive Wine reports as a CD-ROM
# over a folder, opened through fmodex.dll.
add_executable(engine_cdda_tests cdda_test.cpp cd_drive_test_win.cpp engine_support.cpp)
target_link_libraries(engine_cdda_tests PRIVATE engine_dll_support engine_core gtest_main)
add_test(NAME engine_cdda_tests COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_with_cd_drive.sh
  ${PROJECT_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:engine_cdda_tests>)
set_tests_properties(engine_cdda_tests PROPERTIES RUN_SERIAL ON TIMEOUT 300)

# The tone recorded from a PulseAudio null sink: the output really reaches the sound server.
add_executable(engine_pulse_tests pulse_recording_test_win.cpp)
target_link_libraries(engine_pulse_tests PRIVATE engine_dll_support gtest_main)
set(converted_tone PulseRecording.HighToneConvertedTo48kHzCarriesNoImages)
set(switched_sink PulseRecording.ToneFollowsANewDefaultDevice)
add_test(NAME engine_pulse_recording
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_pulse_recording.sh $<TARGET_FILE:engine_pulse_tests>
          ${PROJECT_SOURCE_DIR}/scripts/wine-exec 44100 --gtest_filter=-${converted_tone}:${switched_sink})
# The default sink changes mid-track (a server of its own: the loss test above stops its server).
add_test(NAME engine_pulse_switching
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_pulse_recording.sh $<TARGET_FILE:engine_pulse_tests>
          ${PROJECT_SOURCE_DIR}/scripts/wine-exec 44100 --gtest_filter=${switched_sink})
# A 48 kHz sink: a 44.1 kHz track goes through the library's rate converter.
add_test(NAME engine_pulse_resampling
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_pulse_recording.sh $<TARGET_FILE:engine_pulse_tests>
          ${PROJECT_SOURCE_DIR}/scripts/wine-exec 48000 --gtest_filter=${converted_tone})
set_tests_properties(engine_pulse_recording engine_pulse_resampling engine_pulse_switching PROPERTIES
  RUN_SERIAL ON TIMEOUT 300 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# WMA, M4A and ADTS through the system's decoders (Wine's run on GStreamer): the decoders
# fmodex.dll uses, linked in, against ffmpeg's decoding of files ffmpeg made; then fmodex.dll.
# VAG, RAW and the refusals as natively.
set(system_decoder_sources formats/reader_stream_win.cpp formats/system_decoders_win.cpp
  formats/wm_decoder_win.cpp formats/media_foundation_win.cpp formats/mf_decoder_win.cpp
  formats/aac_transform_win.cpp)
list(TRANSFORM system_decoder_sources PREPEND ${PROJECT_SOURCE_DIR}/engine/)
add_executable(engine_system_decoder_tests system_decoders_test_win.cpp vag_test.cpp format_refusal_test.cpp
  engine_support.cpp ${system_decoder_sources})
target_link_libraries(engine_system_decoder_tests PRIVATE engine_dll_support engine_core gtest_main ole32 uuid mfuuid)
add_test(NAME engine_system_decoders COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/run_system_decoders.sh
  ${PROJECT_SOURCE_DIR}/scripts/wine-exec $<TARGET_FILE:engine_system_decoder_tests>)
set_tests_properties(engine_system_decoders PROPERTIES TIMEOUT 300)
