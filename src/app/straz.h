#pragma once
// The one error guard: runs an operation, and any error it raises becomes the application's Polish
// standard error report (with the path for file errors); the program goes on.
#include <functional>

#include "store/blad.h"

class Platforma;
class QWidget;

void Straz(Platforma& platforma, QWidget* rodzic, const std::function<void()>& dzialanie);
