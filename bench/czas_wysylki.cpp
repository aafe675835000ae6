// Sending N invoices to the tests' KSeF on loopback: the processor time of faktura-ksef itself (user
// + system, the simulator runs as a process of its own and is not counted) per invoice, and its
// peak memory, for several N to show that memory stays flat in the number of documents.
//
//   czas_wysylki [N...]        (default 100 1000)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "eksport/dane_eksportu.h"
#include "wspolne/bajty.h"

namespace {

bool Zapisz(const QString& sciezka, const QByteArray& dane) {
    QFile f(sciezka);
    return f.open(QIODevice::WriteOnly) && f.write(dane) == dane.size();
}

struct Pomiar {
    double sekundyProcesora = 0;
    long pamiecKb = 0;
    int kod = -1;
};

// Runs the program in `katalog` and waits for it, with its own resource use.
Pomiar Uruchom(const QString& program, const QStringList& argumenty, const QString& katalog) {
    std::vector<QByteArray> a{program.toLocal8Bit()};
    for (const QString& x : argumenty) a.push_back(x.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& x : a) argv.push_back(x.data());
    argv.push_back(nullptr);
    const QByteArray folder = katalog.toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.constData()) != 0) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage zuzycie{};
    wait4(pid, &status, 0, &zuzycie);
    Pomiar p;
    p.sekundyProcesora = zuzycie.ru_utime.tv_sec + zuzycie.ru_utime.tv_usec / 1e6 + zuzycie.ru_stime.tv_sec +
                         zuzycie.ru_stime.tv_usec / 1e6;
    p.pamiecKb = zuzycie.ru_maxrss;
    p.kod = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication aplikacja(argc, argv);
    std::vector<int> liczby;
    for (int i = 1; i < argc; ++i) liczby.push_back(std::atoi(argv[i]));
    if (liczby.empty()) liczby = {100, 1000};

    const QString token = QStringLiteral("token-pomiaru");
    QProcess symulator;
    symulator.start(
        QStringLiteral(PROGRAM_SYMULATORA),
        {QStringLiteral("--token"), token, QStringLiteral("--nip"), QStringLiteral("9999999999")});
    if (!symulator.waitForStarted() || !symulator.waitForReadyRead(10000)) {
        std::fprintf(stderr, "symulator KSeF nie wystartował\n");
        return 1;
    }
    const QString adres = QString::fromUtf8(symulator.readLine()).trimmed();

    std::printf("%8s %14s %16s %12s\n", "faktur", "procesor [s]", "na fakturę [ms]", "pamięć [MB]");
    for (const int n : liczby) {
        QTemporaryDir katalog;
        QDir(katalog.path()).mkpath(QStringLiteral("Admini"));
        QDir(katalog.path()).mkpath(QStringLiteral("Uslugi"));
        std::vector<TDokument> dokumenty;
        for (int i = 1; i <= n; ++i) {
            const QByteArray numer = QByteArray::number(i);
            dokumenty.push_back(NowaFaktura(
                {numer.constData(), "2026", "2026-12-01", "Odbiorca", "5260250274", "przelew", "14"},
                {{"Usługa", "", "szt", "2", "100.00", "23"}}));
        }
        Zapisz(katalog.filePath(QStringLiteral("Admini/faktura.dat")),
               Bajty(std::vector{UstawieniaTestowe()}));
        Zapisz(katalog.filePath(QStringLiteral("Admini/firma.dat")), Bajty(std::vector{FirmaTestowa()}));
        Zapisz(katalog.filePath(QStringLiteral("Uslugi/dokumenty.dat")), Bajty(dokumenty));
        const QString plikTokena = katalog.filePath(QStringLiteral("../token-pomiaru-%1").arg(n));
        Zapisz(plikTokena, token.toUtf8());
        const Pomiar p = Uruchom(QStringLiteral(PROGRAM_KSEF),
                                 {QStringLiteral("wyslij"), QStringLiteral("--srodowisko"), adres,
                                  QStringLiteral("--token-plik"), plikTokena},
                                 katalog.path());
        QFile::remove(plikTokena);
        if (p.kod != 0) {
            std::fprintf(stderr, "faktura-ksef zakończył się kodem %d dla %d faktur\n", p.kod, n);
            return 1;
        }
        std::printf("%8d %14.3f %16.2f %12.1f\n", n, p.sekundyProcesora, 1000.0 * p.sekundyProcesora / n,
                    p.pamiecKb / 1024.0);
    }
    symulator.closeWriteChannel();
    symulator.waitForFinished(5000);
    return 0;
}
