#pragma once
// Records and record arrays as the bytes a file holds, for writing test files and comparing them.
#include <QByteArray>
#include <type_traits>
#include <vector>

template <class T>
requires std::is_trivially_copyable_v<T> QByteArray Bajty(const T& rekord) {
    return QByteArray(reinterpret_cast<const char*>(&rekord), sizeof(T));
}

template <class T>
QByteArray Bajty(const std::vector<T>& rekordy) {
    QByteArray wynik;
    for (const T& r : rekordy) wynik += Bajty(r);
    return wynik;
}
