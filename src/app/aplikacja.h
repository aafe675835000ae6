#pragma once
// The program's start, shared by `main` and the start-up benchmark, so that both measure and run
// the same thing.
#include <functional>

class Tfaktura_f;

// Creates the application (Polish locale, Polish standard dialogs), the main window on the real
// desktop and file system (its creation runs the start-up sequence), calls `przedPokazaniem`, shows
// the window and runs the event loop until the program ends.
int UruchomModul(int& argc, char** argv, const std::function<void(Tfaktura_f&)>& przedPokazaniem = {});
