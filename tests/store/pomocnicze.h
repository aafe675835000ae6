#pragma once
// Helpers of the store tests: whole files as bytes, bypassing the code under test.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>

#include "store/system_plikow.h"
#include "wspolne/bajty.h"

// The real file system, for the tests that need no faults.
inline SystemPlikow& Posix() { return DomyslnySystemPlikow(); }

inline QByteArray BajtyPliku(const QString& sciezka) {
    QFile plik(sciezka);
    if (!plik.open(QIODevice::ReadOnly)) return QByteArray("<brak pliku>");
    return plik.readAll();
}

inline void ZapiszBajty(const QString& sciezka, const QByteArray& bajty) {
    QFile plik(sciezka);
    if (plik.open(QIODevice::WriteOnly | QIODevice::Truncate)) plik.write(bajty);
}

// A byte image of the text field: length byte, then the bytes.
inline QByteArray PoleTekstu(const QByteArray& znaki) { return char(znaki.size()) + znaki; }
