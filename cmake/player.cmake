# The player: plain logic (both trees, unit-tested natively) and the Win32 program.
# Files ending in _win.cpp hold the Win32 glue and build only for Windows.
set(PLAYER_FOLDERS app ui text playback playlist display settings)

set(PLAYER_PLAIN_SOURCES)
set(PLAYER_WIN_SOURCES)
foreach(folder ${PLAYER_FOLDERS})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source ${sources})
    if(source MATCHES "_win\\.cpp$")
      list(APPEND PLAYER_WIN_SOURCES ${source})
    else()
      list(APPEND PLAYER_PLAIN_SOURCES ${source})
    endif()
  endforeach()
endforeach()

add_library(player_core STATIC ${PLAYER_PLAIN_SOURCES})
target_include_directories(player_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/engine/include)
target_link_libraries(player_core PUBLIC quendra_resources)

if(QUENDRA_WINDOWS)
  # Everything but the entry point goes into a library, so the Windows tests link the same glue.
  list(REMOVE_ITEM PLAYER_WIN_SOURCES ${CMAKE_SOURCE_DIR}/app/main_win.cpp)
  add_library(player_win STATIC ${PLAYER_WIN_SOURCES})
  target_link_libraries(player_win PUBLIC player_core comctl32 shell32 gdi32 user32 kernel32 comdlg32 urlmon wininet ole32)
  add_executable(quendra WIN32 ${CMAKE_SOURCE_DIR}/app/main_win.cpp)
  target_link_libraries(quendra PRIVATE player_win)
endif()

if(QUENDRA_WINDOWS)
  # The demo track scripts/run plays when given nothing, made at build time.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/demo.wav
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/demo/make_demo_wav.py ${CMAKE_BINARY_DIR}/bin/demo.wav
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/demo/make_demo_wav.py
    COMMENT "Synthesising the demo track")
  add_custom_target(demo_track ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/demo.wav)
endif()
