#pragma once
// A secret typed on the controlling terminal without echo.
#include <QByteArray>
#include <QString>
#include <optional>

// nullopt when the program has no terminal (a service, a pipe) or the reading is cut off (end of
// input, Ctrl+C).
std::optional<QByteArray> ZapytajNaTerminalu(const QString& pytanie);
