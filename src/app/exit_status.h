// The process exit status, for scripts and fleet tools that run the silent mode.
#pragma once

enum ExitStatus {
    kExitSuccess = 0,         // the report was written, or the window was closed
    kExitAlreadyRunning = 1,  // another copy holds the mutex: nothing was done
    kExitCommandLine = 2,     // the "Usage:" or "Syntax:" message was shown
    kExitCouldNotOpen = 3,    // the report file could not be opened or created
    kExitCouldNotWrite = 4,   // the report could not be written in full
};
