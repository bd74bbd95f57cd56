#pragma once

// The numbers by which every part of the player addresses its windows, controls, menu
// commands and the tray icon. Win32 control and command identifiers are these numbers too,
// so automation and tests can address the same elements.

enum WindowNumber {
    kMiniWindow = 0,
    kFrameWindow = 5,
    kMainWindow = 6,
};

enum ControlNumber {
    kMiniTextArea = 1,
    kMiniPlayPauseButton = 2,
    kMiniPreviousButton = 3,
    kMiniNextButton = 4,
    kCloseButton = 7,
    kMinimizeButton = 8,
    kAboutButton = 9,
    kPositionSlider = 10,
    kTimeLabel = 11,
    kPlayPauseButton = 12,
    kStopButton = 13,
    kPreviousButton = 14,
    kNextButton = 15,
    kPlaylistView = 16,
    kControlCount = 17, // numbers 0..16; 0, 5 and 6 are windows, not controls
};

enum CommandNumber {
    kContextMenu = 17,
    kCmdRemoveSelection = 18,
    kCmdOpenFile = 19,
    kCmdOpenStream = 20,
    kCmdOpenAudioCd = 21,
    kCmdExportPlaylist = 22,
    kCmdRepeat = 23,
    kCmdBalloonTips = 24,
    kCmdMiniWindowEnabled = 25,
    kCmdMiniWindowText = 26,
    kCmdHighPriority = 27,
    kCmdShuffle = 28,
    kCmdQuit = 29,
    kCmdReplayGain = 30,
    kCmdOnTop = 31,
    kCmdFileAssociations = 32,
    kCmdDeleteKey = 33,
    kCmdSelectAllKey = 34,
};

constexpr int kTrayIcon = 35;

// Message numbers the player itself defines.
constexpr unsigned kHandOverMessage = 0x8001; // a second instance's first argument, as an atom
constexpr unsigned kTrayCallbackMessage = 0x8002;
