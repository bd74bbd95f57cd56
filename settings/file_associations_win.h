#pragma once

// Context-menu item "Dateiverknüpfungen...": a dialog with a check box per file type, ticked
// for the types that open with the player; "Übernehmen" writes the ticked state and closes.
void EditFileAssociations();
