#include "wysylka/haslo.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace {

void Pisz(int uchwyt, const QByteArray& tekst) {
    qsizetype zapisane = 0;
    while (zapisane < tekst.size()) {
        const ssize_t n =
            ::write(uchwyt, tekst.constData() + zapisane, static_cast<std::size_t>(tekst.size() - zapisane));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        zapisane += n;
    }
}

}  // namespace

std::optional<QByteArray> ZapytajNaTerminalu(const QString& pytanie) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) return std::nullopt;
    termios poprzednie{};
    if (::tcgetattr(tty, &poprzednie) != 0) {
        ::close(tty);
        return std::nullopt;
    }
    termios bezEcha = poprzednie;
    bezEcha.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    bezEcha.c_lflag |= ECHONL;
    Pisz(tty, pytanie.toUtf8());
    ::tcsetattr(tty, TCSAFLUSH, &bezEcha);
    QByteArray haslo;
    bool koniecWiersza = false;
    for (;;) {
        char znak = 0;
        // Ctrl+C ends the question too (the echo is restored below).
        const ssize_t n = ::read(tty, &znak, 1);
        if (n <= 0) break;
        if (znak == '\n') {
            koniecWiersza = true;
            break;
        }
        haslo.append(znak);
    }
    ::tcsetattr(tty, TCSAFLUSH, &poprzednie);
    ::close(tty);
    if (!koniecWiersza) {
        haslo.fill('\0');
        return std::nullopt;
    }
    if (haslo.endsWith('\r')) haslo.chop(1);
    return haslo;
}
