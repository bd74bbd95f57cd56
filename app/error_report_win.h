#pragma once

// From here on a processor fault anywhere in the program (or in the sound library it
// loaded) ends it through the error report: a message box naming the fault and the
// statement that was running, then the report on the clipboard, then EndProgram.
// Nothing is saved.
void InstallErrorReport();
