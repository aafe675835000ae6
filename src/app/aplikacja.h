#pragma once
// The program's start, shared by `main` and the start-up benchmark, so that both measure and run
// the same thing.
#include <QString>
#include <functional>
#include <optional>

class Platforma;
class SystemPlikow;
class Tfaktura_f;

// The exit code of a start outside a data folder.
inline constexpr int KodPozaFolderemDanych = 1;

// The message of a start outside a data folder (what it is not, and how to make one); nothing when
// the working directory is a data folder. Shown in a window, or on the terminal without a screen.
std::optional<QString> KomunikatPozaFolderemDanych(SystemPlikow& pliki);

// Outside a data folder the module does not start: one plain message says so and how to make one,
// and the exit code is returned; nothing when the working directory is a data folder.
std::optional<int> OdmowaPozaFolderemDanych(Platforma& platforma, SystemPlikow& pliki);

// Creates the application (Polish locale, Polish standard dialogs), then, in a data folder only, the
// main window on the real desktop and file system (its creation runs the start-up sequence), calls
// `przedPokazaniem`, shows the window and runs the event loop until the program ends.
int UruchomModul(int& argc, char** argv, const std::function<void(Tfaktura_f&)>& przedPokazaniem = {});
