#pragma once
// The one error guard: runs an operation, and any error it raises becomes the application's Polish
// standard error report (with the path for file errors); the program goes on.
#include <QString>
#include <exception>
#include <functional>

class Platforma;
class QWidget;

// The Polish text of the error that is being handled (call from inside a catch block).
QString KomunikatBiezacegoBledu();

void Straz(Platforma& platforma, QWidget* rodzic, const std::function<void()>& dzialanie);
