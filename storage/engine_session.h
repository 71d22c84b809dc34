// The engine as the storage runs it: started once per process on the
// user-interface thread with the program's arguments, never stopped while
// the program runs.
#pragma once

// Starts the thread layer and the engine unless they run already. 0, or
// the engine's code.
int StartStorageEngine();
