// CallbackFailure: an exception caught where the system called us, carried to our own code.
#pragma once

// i686 mingw-w64 unwinds with DWARF-2 tables, which cannot pass through user32's frames: a
// throw out of a window or dialog procedure would end the program without the failure box.
// So every callback catches, keeps the exception here and returns; the code that called the
// system (message loop, after DialogBoxParam, after CreateWindowEx) rethrows it.
namespace callback {

// Keeps the exception being handled; only the first one of a run counts.
void keepFailure();
bool failed();
// Throws the kept exception, if any, and forgets it.
void rethrowFailure();

} // namespace callback
