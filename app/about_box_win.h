#pragma once

// The About box, owned by the active program window.
void ShowAboutBox();
