// Programs of the build that the tests start as processes.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

// A program by its path relative to the running test program (as the build defines it, e.g.
// "../faktura-eksport"). The sanitizer build's test programs lie as far from that build's programs as
// the normal ones from theirs, so each starts the programs of its own build.
inline QString ProgramBudowy(const char* wzgledem) {
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QString::fromUtf8(wzgledem)));
}
