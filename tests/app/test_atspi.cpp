// What a screen reader gets over AT-SPI: the real window runs as a process of its own on a private
// X server (the offscreen platform has no accessibility bridge) with a private session bus and the
// system's AT-SPI bus launcher, and the test reads the labels and cells as an assistive tool does.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>

#include "store/rekordy.h"
#include "wspolne/bajty.h"
#include "wspolne/programy.h"

namespace {

const QString Rejestr = QStringLiteral("org.a11y.atspi.Registry");
const QString Korzen = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString Dostepny = QStringLiteral("org.a11y.atspi.Accessible");
constexpr int Czekaj = 30000;  // ms; the sanitizer build starts slowly

// The programs the environment needs; scripts/zaleznosci.sh installs them.
QString Program(const QString& nazwa, const QStringList& miejsca = {}) {
    for (const QString& m : miejsca)
        if (QFile::exists(m)) return m;
    return QStandardPaths::findExecutable(nazwa);
}

// Reads lines from a process until one satisfies `pasuje`; empty when it ends or time runs out.
QString CzekajNaLinie(QProcess& p, const std::function<bool(const QString&)>& pasuje) {
    QElapsedTimer czas;
    czas.start();
    while (czas.elapsed() < Czekaj) {
        while (p.canReadLine()) {
            const QString linia = QString::fromUtf8(p.readLine()).trimmed();
            if (pasuje(linia)) return linia;
        }
        if (p.state() == QProcess::NotRunning) return {};
        p.waitForReadyRead(200);
    }
    return {};
}

struct Obiekt {
    QString usluga;
    QString sciezka;
    QString nazwa, opis, rola;
};

// Objects whose description changed, as a screen reader learns it: the event names the object (the
// bridge sends no value with it), and the reader then asks for the description.
class Zdarzenia : public QObject {
    Q_OBJECT
  public:
    std::vector<QString> sciezki;
  public slots:
    void odebrano(const QDBusMessage& m) {
        if (m.member() == QLatin1String("PropertyChange") && !m.arguments().isEmpty() &&
            m.arguments()[0].toString() == QLatin1String("accessible-description"))
            sciezki.push_back(m.path());
    }
};

// A private X server, session bus and accessibility bus for one test, stopped in reverse order.
class SrodowiskoAtSpi : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(katalog.isValid());
        const QString xvfb = Program(QStringLiteral("Xvfb"));
        const QString dbus = Program(QStringLiteral("dbus-daemon"));
        const QString launcher = Program(QStringLiteral("at-spi-bus-launcher"),
                                         {QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                                          QStringLiteral("/usr/lib/at-spi2-core/at-spi-bus-launcher")});
        ASSERT_FALSE(xvfb.isEmpty()) << "Xvfb missing: run scripts/zaleznosci.sh";
        ASSERT_FALSE(dbus.isEmpty()) << "dbus-daemon missing: run scripts/zaleznosci.sh";
        ASSERT_FALSE(launcher.isEmpty())
            << "at-spi-bus-launcher (at-spi2-core) missing: run scripts/zaleznosci.sh";

        // The X server picks a free display itself and writes its number.
        x = Uruchom(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"}, {});
        const QString ekran = CzekajNaLinie(*x, [](const QString& l) { return !l.isEmpty(); });
        ASSERT_FALSE(ekran.isEmpty()) << "Xvfb did not start";
        srodowisko.insert("DISPLAY", u':' + ekran);

        const QString konfiguracja = katalog.filePath("sesja.conf");
        QFile plik(konfiguracja);
        ASSERT_TRUE(plik.open(QIODevice::WriteOnly));
        plik.write(QStringLiteral(
                       "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                       "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                       "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                       .arg(katalog.path())
                       .toUtf8());
        plik.close();
        sesja = Uruchom(dbus, {"--config-file=" + konfiguracja, "--nofork", "--print-address=1"}, {});
        const QString adresSesji =
            CzekajNaLinie(*sesja, [](const QString& l) { return l.startsWith("unix:"); });
        ASSERT_FALSE(adresSesji.isEmpty()) << "dbus-daemon did not start";
        srodowisko.insert("DBUS_SESSION_BUS_ADDRESS", adresSesji);
        // The launcher puts the accessibility bus below XDG_RUNTIME_DIR; a private one keeps it apart
        // from any other copy of this test.
        ASSERT_TRUE(QDir(katalog.path()).mkpath("run"));
        QFile::setPermissions(katalog.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        srodowisko.insert("XDG_RUNTIME_DIR", katalog.filePath("run"));
        srodowisko.insert("HOME", katalog.path());
        srodowisko.insert("GSETTINGS_BACKEND", "memory");
        szyna = Uruchom(launcher, {"--launch-immediately"}, srodowisko);

        QDBusConnection polaczenieSesji = QDBusConnection::connectToBus(adresSesji, nazwaSesji);
        ASSERT_TRUE(polaczenieSesji.isConnected());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return polaczenieSesji.interface()
                    ->isServiceRegistered(QStringLiteral("org.a11y.Bus"))
                    .value();
            },
            Czekaj))
            << "at-spi-bus-launcher did not register org.a11y.Bus: "
            << Dziennik("at-spi-bus-launcher").toStdString();
        const QDBusMessage adres = polaczenieSesji.call(
            QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        ASSERT_EQ(adres.type(), QDBusMessage::ReplyMessage) << adres.errorMessage().toStdString();
        a11y = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(adres.arguments().value(0).toString(), nazwaA11y));
        ASSERT_TRUE(a11y->isConnected());

        // Listen for description changes the way a screen reader does: register with the registry,
        // which tells the applications to send them.
        ASSERT_TRUE(a11y->connect(QString(), QString(), "org.a11y.atspi.Event.Object", "PropertyChange",
                                  &zdarzenia, SLOT(odebrano(QDBusMessage))));
        QDBusMessage rejestracja =
            QDBusMessage::createMethodCall(Rejestr, "/org/a11y/atspi/registry", Rejestr, "RegisterEvent");
        rejestracja << QStringLiteral("Object:PropertyChange:AccessibleDescription") << QStringList()
                    << QString();
        QDBusMessage odpowiedz = a11y->call(rejestracja, QDBus::Block, Czekaj);
        if (odpowiedz.type() == QDBusMessage::ErrorMessage) {  // registries before 2.40 take the event only
            rejestracja.setArguments({QStringLiteral("Object:PropertyChange:AccessibleDescription")});
            odpowiedz = a11y->call(rejestracja, QDBus::Block, Czekaj);
        }
        ASSERT_EQ(odpowiedz.type(), QDBusMessage::ReplyMessage) << odpowiedz.errorMessage().toStdString();
    }

    void TearDown() override {
        if (okno && okno->state() != QProcess::NotRunning) {
            okno->closeWriteChannel();
            if (!okno->waitForFinished(Czekaj)) okno->kill();
            okno->waitForFinished();
        }
        a11y.reset();
        QDBusConnection::disconnectFromBus(nazwaA11y);
        QDBusConnection::disconnectFromBus(nazwaSesji);
        for (QProcess* p : {szyna.get(), sesja.get(), x.get()}) {
            if (!p) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished();
        }
    }

    std::unique_ptr<QProcess> Uruchom(const QString& program, const QStringList& argumenty,
                                      const QProcessEnvironment& dodatkowe) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A bus address inherited from the desktop running the tests would lead elsewhere.
        env.remove("AT_SPI_BUS_ADDRESS");
        for (const QString& k : dodatkowe.keys()) env.insert(k, dodatkowe.value(k));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->setStandardErrorFile(katalog.filePath(QFileInfo(program).fileName() + ".err"));
        p->start(program, argumenty);
        EXPECT_TRUE(p->waitForStarted(Czekaj)) << program.toStdString();
        return p;
    }

    // What a program of the environment wrote to its error stream.
    QString Dziennik(const char* program) const {
        QFile f(katalog.filePath(QString::fromLatin1(program) + ".err"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // The window on a data folder with its settings: a copy marker, a footer and a seller line.
    void UruchomOkno() {
        const QString dane = katalog.filePath("dane");
        ASSERT_TRUE(QDir(dane).mkpath("Admini") && QDir(dane).mkpath("Uslugi"));
        TUstawieniaFaktury faktura{};
        faktura.oznaczenie_kopii.ustaw("oryginał");
        faktura.stopka.ustaw("Dziękujemy");
        TDaneFirmy firma{};
        firma.linia1.ustaw("Usługi Kowalski");
        for (const auto& [nazwa, bajty] : {std::pair{"Admini/faktura.dat", Bajty(std::vector{faktura})},
                                           {"Admini/firma.dat", Bajty(std::vector{firma})}}) {
            QFile f(dane + u'/' + QString::fromLatin1(nazwa));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bajty);
        }
        QProcessEnvironment env = srodowisko;
        env.insert("QT_QPA_PLATFORM", "xcb");
        // The launcher does not mark accessibility as wanted; a screen reader would.
        env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        // On X11 the system's keyboard library duplicates atom names that have no terminating NUL
        // with strndup, which is valid, but which this compiler's sanitizer reports as a read past
        // the buffer; its strndup check is off for the window process, every other check stays.
        if (const QString asan = qEnvironmentVariable("ASAN_OPTIONS"); !asan.isEmpty())
            env.insert("ASAN_OPTIONS", asan + QStringLiteral(":intercept_strndup=0"));
        okno = Uruchom(ProgramBudowy(OKNO_ATSPI), {dane}, env);
        ASSERT_EQ(CzekajNaLinie(*okno, [](const QString& l) { return l == "gotowe"; }), "gotowe")
            << "the window did not start: " << Dziennik("okno_atspi_testowe").toStdString();
    }

    QDBusMessage Wywolaj(const QString& usluga, const QString& sciezka, const QString& interfejs,
                         const QString& metoda, const QVariantList& argumenty = {}) {
        QDBusMessage m = QDBusMessage::createMethodCall(usluga, sciezka, interfejs, metoda);
        m.setArguments(argumenty);
        return a11y->call(m, QDBus::Block, Czekaj);
    }
    QString Wlasciwosc(const Obiekt& o, const char* nazwa) {
        const QDBusMessage w = Wywolaj(o.usluga, o.sciezka, "org.freedesktop.DBus.Properties", "Get",
                                       {Dostepny, QString::fromLatin1(nazwa)});
        return w.arguments().value(0).value<QDBusVariant>().variant().toString();
    }
    // References (bus name, object path) of an a(so) reply.
    static std::vector<std::pair<QString, QString>> Odwolania(const QDBusMessage& m) {
        std::vector<std::pair<QString, QString>> wynik;
        if (m.type() != QDBusMessage::ReplyMessage || m.arguments().isEmpty()) return wynik;
        const QDBusArgument tablica = m.arguments()[0].value<QDBusArgument>();
        tablica.beginArray();
        while (!tablica.atEnd()) {
            QString usluga;
            QDBusObjectPath sciezka;
            tablica.beginStructure();
            tablica >> usluga >> sciezka;
            tablica.endStructure();
            wynik.emplace_back(usluga, sciezka.path());
        }
        tablica.endArray();
        return wynik;
    }
    // The window's whole accessible tree, as the registry leads to it.
    std::vector<Obiekt> Drzewo() {
        std::vector<std::pair<QString, QString>> aplikacje;
        // An empty tree is what the caller reports when the window never registered.
        (void)QTest::qWaitFor(
            [&] {
                aplikacje = Odwolania(Wywolaj(Rejestr, Korzen, Dostepny, "GetChildren"));
                return !aplikacje.empty();
            },
            Czekaj);
        std::vector<Obiekt> wynik;
        std::deque<std::pair<QString, QString>> kolejka(aplikacje.begin(), aplikacje.end());
        while (!kolejka.empty() && wynik.size() < 5000) {
            Obiekt o;
            std::tie(o.usluga, o.sciezka) = kolejka.front();
            kolejka.pop_front();
            o.nazwa = Wlasciwosc(o, "Name");
            o.opis = Wlasciwosc(o, "Description");
            o.rola = Wywolaj(o.usluga, o.sciezka, Dostepny, "GetRoleName").arguments().value(0).toString();
            for (const auto& dziecko : Odwolania(Wywolaj(o.usluga, o.sciezka, Dostepny, "GetChildren")))
                kolejka.push_back(dziecko);
            wynik.push_back(o);
        }
        return wynik;
    }
    static std::vector<Obiekt> Etykiety(const std::vector<Obiekt>& drzewo, const QString& nazwa) {
        std::vector<Obiekt> wynik;
        for (const Obiekt& o : drzewo)
            if (o.rola == QLatin1String("label") && o.nazwa == nazwa) wynik.push_back(o);
        return wynik;
    }

    QTemporaryDir katalog;
    QProcessEnvironment srodowisko;
    std::unique_ptr<QProcess> x, sesja, szyna, okno;
    std::unique_ptr<QDBusConnection> a11y;
    const QString nazwaSesji = QStringLiteral("test-sesja"), nazwaA11y = QStringLiteral("test-atspi");
    Zdarzenia zdarzenia;
};

TEST_F(SrodowiskoAtSpi, EtykietyDanychIKomorkiPodajaWartosci) {
    UruchomOkno();
    const std::vector<Obiekt> drzewo = Drzewo();
    ASSERT_GT(drzewo.size(), 50u) << "the window's tree was not reached";

    // Each data label: its name says what it is and its description the value it shows. A caption
    // label beside it may bear the same name ("Razem do zapłaty"), so the one with the value counts.
    const struct {
        const char* nazwa;
        const char* opis;
    } oczekiwane[] = {
        {"Razem do zapłaty", "25.62 PLN"},
        {"Słownie, wiersz 1", "dwadzieścia pięć złotych"},
        {"Słownie, wiersz 2", "sześćdziesiąt dwa groszy"},
        {"Zegar", "12:30:45"},
        {"Stan dokumentu", "Edycja nowej faktury Vat"},  // a new folder opens on a new invoice
        {"Oznaczenie kopii", "oryginał"},
        {"Stopka wydruku", "Dziękujemy"},
        {"Sprzedawca, wiersz 1", "Usługi Kowalski"},
        {"Marzec", "0.00 PLN"},
    };
    QString sciezkaRazem;
    for (const auto& e : oczekiwane) {
        SCOPED_TRACE(e.nazwa);
        const std::vector<Obiekt> etykiety = Etykiety(drzewo, QString::fromUtf8(e.nazwa));
        ASSERT_FALSE(etykiety.empty());
        int zWartoscia = 0;
        for (const Obiekt& o : etykiety)
            if (o.opis == QString::fromUtf8(e.opis)) {
                ++zWartoscia;
                if (QLatin1String(e.nazwa) == QLatin1String("Razem do zapłaty")) sciezkaRazem = o.sciezka;
            }
        EXPECT_EQ(zWartoscia, 1);
    }
    // A cell too narrow for its text still gives the whole text.
    bool komorka = false;
    for (const Obiekt& o : drzewo)
        komorka |= o.rola == QLatin1String("cell") &&
                   o.nazwa == QStringLiteral("Usługa transportowa i montaż urządzeń chłodniczych, etap 12a");
    EXPECT_TRUE(komorka);

    // A new total reaches the screen reader as an event and as the label's description.
    ASSERT_FALSE(sciezkaRazem.isEmpty());
    okno->write("zmien\n");
    ASSERT_EQ(CzekajNaLinie(*okno, [](const QString& l) { return l == "gotowe"; }), "gotowe");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return std::find(zdarzenia.sciezki.begin(), zdarzenia.sciezki.end(), sciezkaRazem) !=
                   zdarzenia.sciezki.end();
        },
        Czekaj));
    const Obiekt razem{drzewo.front().usluga, sciezkaRazem, {}, {}, {}};
    EXPECT_EQ(Wlasciwosc(razem, "Description"), "38.43 PLN");
    EXPECT_EQ(Wlasciwosc(razem, "Name"), "Razem do zapłaty");

    // The window ends cleanly when its input closes (in the sanitizer build: without a finding).
    okno->closeWriteChannel();
    ASSERT_TRUE(okno->waitForFinished(Czekaj));
    EXPECT_EQ(okno->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(okno->exitCode(), 0) << Dziennik("okno_atspi_testowe").toStdString();
}

}  // namespace

#include "test_atspi.moc"
