#pragma once

// Context-menu item "Audio-CD öffnen": a dialog listing the CD drives with their discs'
// labels; "Ok" adds the chosen drive ("D:") to the playlist and plays it.
void PlayAudioCd();
