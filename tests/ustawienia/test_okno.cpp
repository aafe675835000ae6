// The real settings window on the offscreen platform, driven through its controls: every page
// writes only what was edited, the module reads it back, and nothing is written or lost unasked.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

#include "app/faktura_f.h"
#include "app/lista_linii.h"
#include "folder_testowy.h"
#include "print/czcionki.h"
#include "print/kolory.h"
#include "store/cp1250.h"
#include "store/plik_rekordow.h"
#include "store/pliki_danych.h"
#include "store/uzupelnienia.h"
#include "ustawienia/dane_demonstracyjne.h"
#include "ustawienia/strona_czcionki.h"
#include "ustawienia/strona_listy.h"
#include "ustawienia/strona_nowego_katalogu.h"
#include "ustawienia/strona_pol.h"
#include "ustawienia/strona_sieci.h"
#include "ustawienia/wiersz_polecen_ustawien.h"
#include "ustawienia/zapamietany_katalog.h"
#include "wspolne/katalog_testowy.h"

namespace {

QPushButton* PrzyciskZapisz(QWidget* strona) {
    return strona->findChild<QPushButton*>(QStringLiteral("zapisz"));
}

// A record of random bytes, so that every byte the page must keep is a visible one.
template <class T>
T LosowyRekord(unsigned ziarno) {
    T rekord;
    const QByteArray bajty = LosoweBajty(sizeof(T), ziarno);
    std::memcpy(&rekord, bajty.constData(), sizeof(T));
    return rekord;
}

struct StronaPolPrzypadek {
    Tustawienia_f::Strona strona;
    const char* plik;
    QByteArray (*rekord)();  // the file before
    int pole;                // the field edited
    QString nowy;
    int przesuniecie, rozmiar;  // bytes of that field
};

// Each text page, with every field's bytes random: one field is edited and saved; every other byte
// of the file stays, the edited field reads back whole through the module's reader.
TEST(OknoUstawien, StronyPolZmieniajaTylkoEdytowanePole) {
    const StronaPolPrzypadek przypadki[] = {
        {Tustawienia_f::Firma, "Admini/firma.dat", [] { return Bajty(LosowyRekord<TDaneFirmy>(1)) + "ogon"; },
         1, QStringLiteral("ul. Źródlana 12/4"), 51, 51},
        {Tustawienia_f::Firma, "Admini/firma.dat", [] { return Bajty(LosowyRekord<TDaneFirmy>(2)); }, 5,
         QStringLiteral("PL61 1090 1014 0000 0712 1981 2874"), 255, 51},
        {Tustawienia_f::Faktura, "Admini/faktura.dat",
         [] { return Bajty(LosowyRekord<TUstawieniaFaktury>(3)); }, 7, QStringLiteral("2"), 187, 4},
        {Tustawienia_f::Faktura, "Admini/faktura.dat",
         [] { return Bajty(LosowyRekord<TUstawieniaFaktury>(6)) + "ogon innego programu"; }, 0,
         QStringLiteral("Opole"), 0, 41},
        {Tustawienia_f::Faktura, "Admini/faktura.dat",
         [] { return Bajty(LosowyRekord<TUstawieniaFaktury>(4)); }, 8, QString(80, u'ś'), 191, 81},
        {Tustawienia_f::Platnosc, "Admini/uzupelnienia.dat",
         [] { return Bajty(LosowyRekord<TUzupelnienia>(7)) + "ogon"; }, 2, QStringLiteral("tel. 600 100 200"),
         37, 61},
        {Tustawienia_f::Platnosc, "Admini/uzupelnienia.dat",
         [] { return Bajty(LosowyRekord<TUzupelnienia>(8)); }, 0, QStringLiteral("Przelew"), 0, 16},
        {Tustawienia_f::Ewidencja, "Admini/ewidencja.dat", [] { return Bajty(LosowyRekord<TEwidencja>(5)); },
         0, QStringLiteral("/opt/ewidencja"), 0, 251},
    };
    for (const auto& p : przypadki) {
        FolderTestowy folder;
        const QByteArray dawne = p.rekord();
        folder.zapisz(QString::fromLatin1(p.plik), dawne);
        PulpitTestowy pulpit;
        auto okno = folder.okno(pulpit);
        ASSERT_TRUE(okno->pokazStrone(p.strona));
        auto* strona = static_cast<StronaPol*>(okno->strona(p.strona));
        EXPECT_FALSE(strona->zmieniona()) << p.plik << ": shown as read";
        EXPECT_FALSE(PrzyciskZapisz(strona)->isEnabled());
        strona->pole(p.pole).edycja->setText(p.nowy);
        EXPECT_TRUE(strona->zmieniona());
        PrzyciskZapisz(strona)->click();
        EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
        EXPECT_FALSE(strona->zmieniona());

        const QByteArray po = folder.czytaj(QString::fromLatin1(p.plik));
        ASSERT_EQ(po.size(), dawne.size()) << p.plik;
        for (const int i : Roznice(dawne, po))
            EXPECT_TRUE(i >= p.przesuniecie && i < p.przesuniecie + p.rozmiar) << p.plik << ": byte " << i;
        const QByteArray pole = po.mid(p.przesuniecie, p.rozmiar);
        EXPECT_EQ(
            ZCp1250(pole.constData() + 1, static_cast<std::size_t>(static_cast<unsigned char>(pole[0]))),
            p.nowy);
        EXPECT_EQ(pole.mid(1 + p.nowy.size()), QByteArray(p.rozmiar - 1 - p.nowy.size(), '\0'));
    }
}

// The module saves an invoice (on this or another workstation) while the Faktura page is open: the
// page's save changes only the field the user edited and keeps the number stored meanwhile.
TEST(OknoUstawien, ZapisStronyZachowujeNumerZapisanyWMiedzyczasie) {
    FolderTestowy folder;
    TUstawieniaFaktury przed{};
    przed.numerator.ustaw(QStringLiteral("7"));
    przed.stopka.ustaw(QStringLiteral("stara stopka"));
    folder.zapisz("Admini/faktura.dat", Bajty(przed));
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Faktura));
    auto* strona = static_cast<StronaPol*>(okno->strona(Tustawienia_f::Faktura));

    TUstawieniaFaktury wModule = przed;
    wModule.numerator.ustaw(QStringLiteral("8"));
    folder.zapisz("Admini/faktura.dat", Bajty(wModule));

    strona->pole(8).edycja->setText(QStringLiteral("nowa stopka"));
    PrzyciskZapisz(strona)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
    TUstawieniaFaktury po{};
    const QByteArray bajty = folder.czytaj("Admini/faktura.dat");
    ASSERT_EQ(bajty.size(), qsizetype(sizeof po));
    std::memcpy(&po, bajty.constData(), sizeof po);
    EXPECT_EQ(po.numerator.tekst(), "8");
    EXPECT_EQ(po.stopka.tekst(), "nowa stopka");
    EXPECT_EQ(strona->pole(1).edycja->text(), "8") << "the page shows what it wrote";
}

// What the module shows after the pages are filled in: the seller lines (a long one in the form the
// page announced), the copy count, the copy marker and the footer.
TEST(OknoUstawien, ModulCzytaToCoZapisanoNaStronach) {
    FolderTestowy folder;
    {
        PulpitTestowy pulpit;
        auto okno = folder.okno(pulpit);
        auto* firma = okno->firma;
        okno->pokazStrone(Tustawienia_f::Firma);
        const QString dluga =
            QStringLiteral("Przedsiębiorstwo Wielobranżowe „Łęgowisko” Sp.j.");  // 48 characters
        firma->pole(0).edycja->setText(dluga);
        firma->pole(1).edycja->setText(QStringLiteral("ul. Kwiatowa 1"));
        EXPECT_TRUE(
            firma->pole(0).uwaga->text().contains(QStringLiteral("„Przedsiębiorstwo Wielobranżowe...”")))
            << firma->pole(0).uwaga->text().toStdString();
        EXPECT_TRUE(firma->pole(1).uwaga->isHidden());
        PrzyciskZapisz(firma)->click();
        okno->pokazStrone(Tustawienia_f::Faktura);
        auto* faktura = okno->faktura;
        faktura->pole(5).edycja->setText(QStringLiteral("oryginał / kopia"));
        faktura->pole(7).edycja->setText(QStringLiteral("3"));
        faktura->pole(8).edycja->setText(QStringLiteral("Dziękujemy."));
        PrzyciskZapisz(faktura)->click();
        EXPECT_TRUE(pulpit.bledy().isEmpty());
    }
    QDir::setCurrent(folder.sciezka());
    PlatformaTestowa platforma;
    auto modul = UruchomOkno(platforma);
    EXPECT_TRUE(platforma.bledy().empty());
    EXPECT_EQ(modul->LiniaFirmy1, QStringLiteral("Przedsiębiorstwo Wielobranżowe „Łęgowisko” Sp.j."));
    EXPECT_EQ(modul->Label55->text(), QStringLiteral("Przedsiębiorstwo Wielobranżowe..."));
    EXPECT_EQ(modul->Label56->text(), QStringLiteral("ul. Kwiatowa 1"));
    EXPECT_EQ(modul->LiczbaKopii, 3);
    EXPECT_EQ(modul->Label13->text(), QStringLiteral("oryginał / kopia"));
    EXPECT_EQ(modul->Label14->text(), QStringLiteral("Dziękujemy."));
}

TEST(OknoUstawien, OstrzezeniaNipIKontaNieBlokujaZapisu) {
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    auto* firma = okno->firma;
    firma->pole(3).edycja->setText(QStringLiteral("526-025-02-75"));
    firma->pole(5).edycja->setText(QStringLiteral("62 1090 1014 0000 0712 1981 2874"));
    EXPECT_TRUE(firma->pole(3).uwaga->text().contains(QStringLiteral("Cyfra kontrolna NIP")));
    EXPECT_TRUE(firma->pole(5).uwaga->text().contains(QStringLiteral("mod 97")));
    PrzyciskZapisz(firma)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty());
    TDaneFirmy zapisane{};
    CzytajRekord(DomyslnySystemPlikow(), folder.plik("Admini/firma.dat"), zapisane);
    EXPECT_EQ(zapisane.nip.tekst(), "526-025-02-75");
    firma->pole(3).edycja->setText(QStringLiteral("526-025-02-74"));
    EXPECT_TRUE(firma->pole(3).uwaga->isHidden());
}

// Too long, or a character Windows-1250 lacks: refused with the capacity or the position; the
// file is not touched and the edit keeps what was typed.
TEST(OknoUstawien, ZaDlugiTekstIZnakSpozaKodowaniaOdrzucone) {
    const struct {
        int pole;
        QString tekst;
        const char* komunikat;
    } przypadki[] = {
        {0, QString(51, u'A'), "mieści najwyżej 50 znaków, a tekst ma ich 51"},
        {2, QStringLiteral("Київ"), "znaku „К” na pozycji 1"},
        {4, QStringLiteral("Bank ✓"), "na pozycji 6"},
    };
    for (const auto& p : przypadki) {
        FolderTestowy folder;
        const QByteArray dawne = Bajty(LosowyRekord<TDaneFirmy>(9));
        folder.zapisz("Admini/firma.dat", dawne);
        PulpitTestowy pulpit;
        auto okno = folder.okno(pulpit);
        PoleTekstu& pole = okno->firma->pole(p.pole);
        pole.edycja->setText(p.tekst);
        EXPECT_FALSE(pole.licznik->styleSheet().isEmpty()) << "the count turns red";
        PrzyciskZapisz(okno->firma)->click();
        ASSERT_EQ(pulpit.bledy().size(), 1);
        EXPECT_TRUE(pulpit.bledy()[0].contains(QString::fromUtf8(p.komunikat)))
            << pulpit.bledy()[0].toStdString();
        EXPECT_EQ(folder.czytaj("Admini/firma.dat"), dawne);
        EXPECT_EQ(pole.tekst(), p.tekst);
        EXPECT_TRUE(okno->firma->zmieniona());
    }
}

TEST(OknoUstawien, OpuszczenieStronyZeZmianamiPyta) {
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    ASSERT_EQ(okno->biezaca(), Tustawienia_f::Firma);
    okno->firma->pole(0).edycja->setText(QStringLiteral("Nowa nazwa"));

    pulpit.odpowiedzi = {Odpowiedz::Anuluj};
    okno->strony->setCurrentRow(Tustawienia_f::Faktura);
    EXPECT_EQ(okno->biezaca(), Tustawienia_f::Firma);
    EXPECT_EQ(okno->strony->currentRow(), Tustawienia_f::Firma);
    EXPECT_EQ(okno->firma->pole(0).tekst(), "Nowa nazwa");
    ASSERT_EQ(pulpit.pytania().size(), 1);
    EXPECT_EQ(pulpit.pytania()[0], "Na stronie „Firma” są niezapisane zmiany. Zapisać je?");
    EXPECT_FALSE(folder.istnieje("Admini/firma.dat")) << "nothing written before saving";

    pulpit.odpowiedzi = {Odpowiedz::Nie};
    okno->strony->setCurrentRow(Tustawienia_f::Faktura);
    EXPECT_EQ(okno->biezaca(), Tustawienia_f::Faktura);
    EXPECT_FALSE(folder.istnieje("Admini/firma.dat"));
    EXPECT_TRUE(okno->firma->pole(0).tekst().isEmpty()) << "changes dropped";

    okno->faktura->pole(0).edycja->setText(QStringLiteral("Gdańsk"));
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    okno->strony->setCurrentRow(Tustawienia_f::Dane);
    EXPECT_EQ(okno->biezaca(), Tustawienia_f::Dane);
    TUstawieniaFaktury faktura{};
    CzytajRekord(DomyslnySystemPlikow(), folder.plik("Admini/faktura.dat"), faktura);
    EXPECT_EQ(faktura.miejscowosc.tekst(), "Gdańsk");

    // A save refused keeps the user on the page.
    okno->strony->setCurrentRow(Tustawienia_f::Faktura);
    okno->faktura->pole(0).edycja->setText(QString(41, u'x'));
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    okno->strony->setCurrentRow(Tustawienia_f::Firma);
    EXPECT_EQ(okno->biezaca(), Tustawienia_f::Faktura);

    // Closing asks too.
    okno->show();
    pulpit.odpowiedzi = {Odpowiedz::Anuluj};
    EXPECT_FALSE(okno->close());
    pulpit.odpowiedzi = {Odpowiedz::Nie};
    EXPECT_TRUE(okno->close());
}

// A file that cannot be read: the page says so with the path and stays usable; saving over it asks.
TEST(OknoUstawien, NieczytelnyPlikPokazujeBladIStronaDziala) {
    FolderTestowy folder;
    folder.zapisz("Admini/faktura.dat", QByteArray(100, 'x'));
    folder.zapisz("Uslugi/klienci.dat", QByteArray(10, 'x'));
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Faktura);
    auto* blad = okno->faktura->findChild<QLabel*>(QStringLiteral("blad_odczytu"));
    ASSERT_TRUE(blad);
    EXPECT_FALSE(blad->isHidden());
    EXPECT_TRUE(blad->text().contains(folder.plik("Admini/faktura.dat"))) << blad->text().toStdString();
    EXPECT_TRUE(blad->text().contains(QStringLiteral("krótszy niż jeden rekord")));
    EXPECT_TRUE(pulpit.bledy().isEmpty()) << "shown on the page, not as a box";

    okno->faktura->pole(0).edycja->setText(QStringLiteral("Opole"));
    pulpit.odpowiedzi = {Odpowiedz::Nie};
    PrzyciskZapisz(okno->faktura)->click();
    EXPECT_EQ(folder.czytaj("Admini/faktura.dat"), QByteArray(100, 'x'));
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    PrzyciskZapisz(okno->faktura)->click();
    ASSERT_EQ(pulpit.pytania().size(), 2);
    EXPECT_TRUE(pulpit.pytania()[1].contains(QStringLiteral("nie udało się odczytać")));
    EXPECT_EQ(folder.czytaj("Admini/faktura.dat").size(), 272);
    EXPECT_TRUE(blad->isHidden());

    okno->pokazStrone(Tustawienia_f::Klienci);
    auto* bladListy = okno->klienci->findChild<QLabel*>(QStringLiteral("blad_odczytu"));
    EXPECT_TRUE(bladListy->text().contains(folder.plik("Uslugi/klienci.dat")));
    EXPECT_EQ(okno->klienci->lista(), nullptr);
    EXPECT_TRUE(okno->klienci->otworz_liste->isEnabled());
    EXPECT_TRUE(okno->klienci->nowa_lista->isEnabled());
}

// The client page through its buttons: add, edit, delete, search, save; the module's client list
// shows the result; a deleted slot keeps its number and the maintaining module's bytes.
TEST(OknoUstawien, ListaKlientowPrzezPrzyciski) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    const QByteArray dawne = folder.czytaj("Uslugi/klienci.dat");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Klienci);
    StronaListy* s = okno->klienci;
    ASSERT_TRUE(s->lista());
    EXPECT_EQ(s->tabela->rowCount(), 0);
    EXPECT_FALSE(s->zmieniona());

    const QStringList klienci[] = {
        {"Alfa Sp. z o.o.", "ul. Prosta 1", "00-001 Warszawa", "", "526-025-02-74"},
        {"Beta", "", "", "", ""},
        {"Gamma i Synowie", "ul. Krzywa 2", "", "", ""}};
    for (const QStringList& klient : klienci) {
        s->nowy_wpis->click();
        for (int i = 0; i < 5; ++i) s->pole(i).edycja->setText(klient[i]);
        s->zastosuj_wpis->click();
    }
    EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
    ASSERT_EQ(s->tabela->rowCount(), 3);
    EXPECT_EQ(s->tabela->item(2, 0)->text(), "03");
    EXPECT_EQ(s->tabela->item(2, 1)->text(), "Gamma i Synowie");

    // Edit the second, delete the first.
    s->tabela->selectRow(1);
    EXPECT_EQ(s->edytowaneMiejsce(), 1);
    s->pole(3).edycja->setText(QStringLiteral("Mazowsze"));
    s->zastosuj_wpis->click();
    s->tabela->selectRow(0);
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    s->usun_wpis->click();
    EXPECT_EQ(s->tabela->rowCount(), 2);

    s->szukaj->setText(QStringLiteral("mazow"));
    EXPECT_FALSE(s->tabela->isRowHidden(s->wierszMiejsca(1)));
    EXPECT_TRUE(s->tabela->isRowHidden(s->wierszMiejsca(2)));
    s->szukaj->clear();

    EXPECT_TRUE(folder.czytaj("Uslugi/klienci.dat") == dawne) << "nothing written before saving";
    PrzyciskZapisz(s)->click();
    EXPECT_FALSE(s->zmieniona());
    const QByteArray po = folder.czytaj("Uslugi/klienci.dat");
    for (const int i : Roznice(dawne, po)) {
        ASSERT_GE(i, 30006) << "slot numbers untouched";
        ASSERT_LT(i, 1755351) << "the maintaining module's bytes untouched";
    }

    // The module's client list.
    QDir::setCurrent(folder.sciezka());
    PlatformaTestowa platforma;
    auto modul = UruchomOkno(platforma);
    platforma.wybranePliki = {folder.plik("Uslugi/klienci.dat")};
    modul->SpeedButton5Click();
    ASSERT_EQ(modul->lista->count(), 2);
    EXPECT_EQ(modul->lista->tekst(0), "02 Beta   Mazowsze ");
    EXPECT_EQ(modul->lista->tekst(1), "03 Gamma i Synowie ul. Krzywa 2   ");
}

TEST(OknoUstawien, NiezastosowanyWpisPytaPrzyZmianieWyboru) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Uslugi);
    StronaListy* s = okno->uslugi;
    for (const char* nazwa : {"Jedna", "Druga"}) {
        s->nowy_wpis->click();
        s->pole(0).edycja->setText(QString::fromUtf8(nazwa));
        s->zastosuj_wpis->click();
    }
    s->tabela->selectRow(0);
    s->pole(4).edycja->setText(QStringLiteral("10.00"));
    pulpit.odpowiedzi = {Odpowiedz::Anuluj};
    s->tabela->selectRow(1);
    EXPECT_EQ(s->edytowaneMiejsce(), 0);
    EXPECT_EQ(s->pole(4).tekst(), "10.00");
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    s->tabela->selectRow(1);
    EXPECT_EQ(s->edytowaneMiejsce(), 1);
    EXPECT_EQ(s->lista()->wpis(0).value(4), "10.00");
    EXPECT_EQ(s->tabela->currentRow(), 1);

    // An entry without its first field is refused.
    s->pole(0).edycja->clear();
    s->zastosuj_wpis->click();
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_TRUE(pulpit.bledy()[0].contains(QStringLiteral("nie może być puste")));
    EXPECT_EQ(s->lista()->wpis(1).value(0), "Druga");
}

TEST(OknoUstawien, ImportIEksportCsvPrzezPrzyciski) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    folder.zapisz(
        "dobry.csv",
        "\xEF\xBB\xBFNazwa usługi;PKWiU;J.m.;VAT;Netto\r\n\"Usługa; pierwsza\";62.01;szt.;23;100.00\r\n"
        "Druga ąę;;godz.;8;50.00\r\n");
    folder.zapisz("zly.csv", "Nazwa usługi;PKWiU;J.m.;VAT;Netto\nDobra;;;;\nZła;;;23 procent;\n");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Uslugi);
    StronaListy* s = okno->uslugi;

    pulpit.pliki = {folder.plik("zly.csv")};
    s->import_csv->click();
    EXPECT_TRUE(pulpit.pytania().isEmpty()) << "a file that cannot be taken is refused before the question";
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_TRUE(pulpit.bledy()[0].contains(QStringLiteral("wiersz 3: Pole „VAT” mieści najwyżej 5 znaków")))
        << pulpit.bledy()[0].toStdString();
    EXPECT_EQ(s->tabela->rowCount(), 0) << "nothing taken from a file with a rejected line";
    EXPECT_FALSE(s->zmieniona());

    pulpit.pliki = {folder.plik("dobry.csv")};
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    s->import_csv->click();
    ASSERT_EQ(pulpit.pytania().size(), 1);
    ASSERT_EQ(s->tabela->rowCount(), 2);
    EXPECT_EQ(s->tabela->item(0, 1)->text(), "Usługa; pierwsza");
    EXPECT_EQ(s->tabela->item(1, 1)->text(), "Druga ąę");
    EXPECT_TRUE(s->zmieniona());
    EXPECT_EQ(folder.czytaj("Uslugi/uslugi.dat"), Lista::Nowa(RodzajBazy::Uslugi, {})->bajty())
        << "written only on save";

    pulpit.pliki = {folder.plik("eksport.csv")};
    s->eksport_csv->click();
    EXPECT_EQ(
        folder.czytaj("eksport.csv"),
        "\xEF\xBB\xBFNr;Nazwa usługi;PKWiU;J.m.;VAT;Netto\r\n01;\"Usługa; pierwsza\";62.01;szt.;23;100.00\r\n"
        "02;Druga ąę;;godz.;8;50.00\r\n");
    PrzyciskZapisz(s)->click();
    TBazaUslug baza{};
    CzytajRekord(DomyslnySystemPlikow(), folder.plik("Uslugi/uslugi.dat"), baza);
    EXPECT_EQ(baza.nazwa_uslugi[1].tekst(), "Druga ąę");
    EXPECT_EQ(baza.jm[1].tekst(), "godz.");
}

TEST(OknoUstawien, NowaListaNieNadpisujeIstniejacej) {
    FolderTestowy folder;
    folder.zapisz("Uslugi/stara.kli", "moja lista");
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Klienci);
    StronaListy* s = okno->klienci;
    EXPECT_EQ(s->lista(), nullptr) << "no default list yet";
    pulpit.pliki = {folder.plik("Uslugi/stara.kli")};
    s->nowa_lista->click();
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_TRUE(pulpit.bledy()[0].contains(QStringLiteral("nie zostanie nadpisany")));
    EXPECT_EQ(folder.czytaj("Uslugi/stara.kli"), "moja lista");

    pulpit.pliki = {folder.plik("Uslugi/nowa.kli")};
    s->nowa_lista->click();
    ASSERT_TRUE(s->lista());
    EXPECT_TRUE(s->zmieniona());
    EXPECT_FALSE(folder.istnieje("Uslugi/nowa.kli"));
    PrzyciskZapisz(s)->click();
    EXPECT_EQ(folder.czytaj("Uslugi/nowa.kli"), Lista::Nowa(RodzajBazy::Klienci, {})->bajty());
}

TEST(OknoUstawien, CzcionkaWydrukuZDialogow) {
    FolderTestowy folder;
    folder.folder("FONT");
    TCzcionka dawna = LosowyRekord<TCzcionka>(11);
    dawna.nazwa.ustaw(QStringLiteral("Arial"));
    dawna.rozmiar = 10;
    dawna.styl = 0xA0;  // bits the page does not know
    folder.zapisz("FONT/font_welkaro.dat", Bajty(dawna));
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Czcionka);
    StronaCzcionki* s = okno->czcionka;
    EXPECT_EQ(s->kroj->text(), "Arial");
    EXPECT_EQ(s->rozmiar->text(), "10 pkt");

    QFont wybrana(QStringLiteral("DejaVu Serif"));
    wybrana.setPointSize(14);
    wybrana.setBold(true);
    wybrana.setItalic(true);
    pulpit.czcionki = {wybrana};
    s->wybierz_czcionke->click();
    pulpit.kolory = {QColor(255, 0, 0)};
    s->wybierz_kolor->click();
    EXPECT_EQ(s->kroj->text(), "DejaVu Serif");
    EXPECT_EQ(s->styl->text(), "pogrubiona, pochylona");
    auto* linia = s->findChild<QLabel*>(QStringLiteral("podglad_linia1"));
    EXPECT_EQ(linia->font().family(), "DejaVu Serif");
    EXPECT_EQ(linia->font().pointSize(), 14);
    EXPECT_TRUE(linia->font().bold());
    PrzyciskZapisz(s)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty());

    // The module's reader, from the start folder.
    QDir::setCurrent(folder.sciezka());
    StanCzcionki stan;
    CzytajFonty(DomyslnySystemPlikow(), stan, NazwaFontuWydruku);
    EXPECT_EQ(stan.NazwaCzcionki, "DejaVu Serif");
    EXPECT_EQ(stan.RozmiarCzcionki, 14);
    EXPECT_EQ(stan.Czcionka.kolor, 0x0000FF);
    EXPECT_EQ(stan.Czcionka.styl, 0xA3);
    const QByteArray po = folder.czytaj("FONT/font_welkaro.dat");
    ASSERT_EQ(po.size(), 76);
    const QByteArray przed = Bajty(dawna);
    EXPECT_EQ(po.mid(65, 3), przed.mid(65, 3)) << "padding kept";
    EXPECT_EQ(po.mid(73, 3), przed.mid(73, 3)) << "padding kept";

    // Cancelled dialogs change nothing.
    s->wybierz_czcionke->click();
    s->wybierz_kolor->click();
    EXPECT_FALSE(s->zmieniona());
}

TEST(OknoUstawien, CzcionkaTworzyBrakujacyFolderFont) {
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Czcionka);
    pulpit.czcionki = {QFont(QStringLiteral("DejaVu Sans"), 9)};
    okno->czcionka->wybierz_czcionke->click();
    PrzyciskZapisz(okno->czcionka)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
    EXPECT_EQ(folder.czytaj("FONT/font_welkaro.dat").size(), 76);
}

// "siec.dat": a new data root is taken up by every page at once; the mode byte is kept when the
// choice does not change its meaning, as are the bytes of the path not edited.
TEST(OknoUstawien, StronaDaneZmieniaFolderDanych) {
    FolderTestowy folder;
    FolderTestowy siec;
    TDaneFirmy firmaSieci{};
    firmaSieci.linia1.ustaw(QStringLiteral("Firma z sieci"));
    siec.zapisz("Admini/firma.dat", Bajty(firmaSieci));
    TUstawieniaSieci dawne = LosowyRekord<TUstawieniaSieci>(13);
    dawne.tryb = 7;
    dawne.sciezka_lokalna.ustaw(folder.sciezka());
    folder.zapisz("Admini/siec.dat", Bajty(dawne));

    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    EXPECT_EQ(okno->foldery().danych, folder.sciezka()) << "mode 7: the start folder";
    okno->pokazStrone(Tustawienia_f::Dane);
    StronaSieci* s = okno->dane;
    EXPECT_TRUE(s->tryb_biezacy->isChecked());
    s->sciezka_sieciowa->edycja->setText(siec.sciezka());
    PrzyciskZapisz(s)->click();
    TUstawieniaSieci po{};
    CzytajRekord(DomyslnySystemPlikow(), folder.plik("Admini/siec.dat"), po);
    EXPECT_EQ(po.tryb, 7);
    EXPECT_EQ(okno->foldery().danych, folder.sciezka());

    s->tryb_sieciowy->setChecked(true);
    EXPECT_TRUE(s->folder_wynikowy->text().contains(siec.sciezka()));
    PrzyciskZapisz(s)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty());
    const QByteArray bajty = folder.czytaj("Admini/siec.dat");
    for (const int i : Roznice(Bajty(dawne), bajty)) EXPECT_TRUE(i == 0 || i >= 202) << "byte " << i;
    EXPECT_EQ(CzytajKatalogDanych(DomyslnySystemPlikow(), folder.sciezka()).katalog, siec.sciezka());
    EXPECT_EQ(okno->foldery().danych, siec.sciezka());
    okno->pokazStrone(Tustawienia_f::Firma);
    EXPECT_EQ(okno->firma->pole(0).tekst(), "Firma z sieci");
}

TEST(OknoUstawien, NowyKatalogDanychZWierszaPolecen) {
    FolderTestowy folder(false);
    const QString nowy = folder.plik("nowe dane");
    PulpitTestowy pulpit;
    Tustawienia_f okno(pulpit, DomyslnySystemPlikow(), nowy, true, true);
    EXPECT_EQ(okno.biezaca(), Tustawienia_f::NowyKatalog);
    EXPECT_EQ(okno.nowy_katalog->sciezka_nowego->text(), nowy);
    EXPECT_FALSE(QFile::exists(PlikZapamietanegoKatalogu())) << "not a data folder yet";
    okno.nowy_katalog->utworz_katalog->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
    EXPECT_TRUE(QFile::exists(nowy + QStringLiteral("/Uslugi/dokumenty.dat")));
    EXPECT_EQ(okno.biezaca(), Tustawienia_f::Firma);
    EXPECT_EQ(okno.foldery().startowy, nowy);
    QFile zapamietany(PlikZapamietanegoKatalogu());
    ASSERT_TRUE(zapamietany.open(QIODevice::ReadOnly));
    EXPECT_EQ(zapamietany.readAll(), nowy.toUtf8() + '\n');

    // The same folder again: refused, nothing changes.
    const QByteArray dokumenty = [&] {
        QFile f(nowy + QStringLiteral("/Uslugi/dokumenty.dat"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    okno.pokazStrone(Tustawienia_f::NowyKatalog);
    okno.nowy_katalog->sciezka_nowego->setText(nowy);
    EXPECT_TRUE(okno.nowy_katalog->uwaga_nowego->text().contains(QStringLiteral("nie jest nadpisywany")));
    EXPECT_FALSE(okno.nowy_katalog->utworz_katalog->isEnabled());
    pulpit.data = QDate(2030, 1, 1);
    okno.nowy_katalog->utworz_katalog->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty());
    // The page's own check refuses it too.
    EXPECT_FALSE(okno.nowy_katalog->utworz());
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_EQ(okno.biezaca(), Tustawienia_f::NowyKatalog);
    QFile f(nowy + QStringLiteral("/Uslugi/dokumenty.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), dokumenty);
}

// After "Utwórz folder danych" the module is started there from the window, as the menu starts it:
// in the folder as working directory. The button that made the folder is then disabled.
TEST(OknoUstawien, UruchomModulWUtworzonymFolderze) {
    FolderTestowy folder(false);
    const QString nowy = folder.plik("Faktury");
    PulpitTestowy pulpit;
    Tustawienia_f okno(pulpit, DomyslnySystemPlikow(), nowy, true, true);
    QPushButton* uruchom = okno.findChild<QPushButton*>(QStringLiteral("uruchom_modul"));
    ASSERT_TRUE(uruchom);
    EXPECT_EQ(uruchom->accessibleName(), "Uruchom moduł Faktura w tym folderze");
    EXPECT_FALSE(uruchom->isEnabled()) << "no data folder yet";
    EXPECT_TRUE(okno.nowy_katalog->utworz_katalog->isEnabled());

    okno.nowy_katalog->utworz_katalog->click();
    ASSERT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
    const QStringList informacje = pulpit.rodzaju(QStringLiteral("informacja"));
    ASSERT_EQ(informacje.size(), 1);
    EXPECT_TRUE(informacje[0].contains(QStringLiteral("„Uruchom moduł”"))) << informacje[0].toStdString();
    EXPECT_FALSE(okno.nowy_katalog->utworz_katalog->isEnabled()) << "the folder holds data now";
    EXPECT_TRUE(uruchom->isEnabled());

    // Unsaved changes on the page: asked first; "Anuluj" starts nothing, "Tak" saves and starts.
    okno.firma->pole(0).edycja->setText(QStringLiteral("Biuro „Żuraw”"));
    pulpit.odpowiedzi = {Odpowiedz::Anuluj};
    uruchom->click();
    EXPECT_TRUE(pulpit.uruchomione.empty());
    pulpit.odpowiedzi = {Odpowiedz::Tak};
    uruchom->click();
    ASSERT_EQ(pulpit.uruchomione.size(), 1u);
    EXPECT_EQ(pulpit.pytania().size(), 2);
    EXPECT_EQ(pulpit.uruchomione[0].katalogRoboczy, nowy);
    EXPECT_TRUE(pulpit.uruchomione[0].argumenty.isEmpty());
    EXPECT_EQ(QFileInfo(pulpit.uruchomione[0].program).fileName(), "faktura");
    EXPECT_EQ(QFileInfo(pulpit.uruchomione[0].program).path(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(okno.stan->text().contains(nowy)) << okno.stan->text().toStdString();
    TDaneFirmy firma{};
    CzytajRekord(DomyslnySystemPlikow(), nowy + QStringLiteral("/Admini/firma.dat"), firma);
    EXPECT_EQ(firma.linia1.tekst(), "Biuro „Żuraw”");

    // A start that fails is reported.
    pulpit.uruchamia = false;
    uruchom->click();
    ASSERT_EQ(pulpit.bledy().size(), 1);
    EXPECT_TRUE(pulpit.bledy()[0].contains(QStringLiteral("Nie udało się uruchomić modułu")));
}

// A copy of a data folder whose "siec.dat" still names the original: the window says plainly that
// the data are the original's, and the "Dane" page makes the copy read its own.
TEST(OknoUstawien, KopiaZeSciezkaOryginaluJestNazwana) {
    FolderTestowy oryginal;
    FolderTestowy kopia;
    for (FolderTestowy* f : {&oryginal, &kopia})
        f->zapisz("Admini/siec.dat", Bajty(UstawieniaSieciDlaKatalogu(oryginal.sciezka())));
    PulpitTestowy pulpit;
    auto okno = kopia.okno(pulpit);
    EXPECT_EQ(okno->foldery().danych, oryginal.sciezka());
    EXPECT_TRUE(okno->folder_danych->text().contains(QStringLiteral("Uwaga: dane są czytane i zapisywane w "
                                                                    "innym folderze: %1")
                                                         .arg(oryginal.sciezka())))
        << okno->folder_danych->text().toStdString();
    ASSERT_TRUE(okno->pokazStrone(Tustawienia_f::Dane));
    EXPECT_TRUE(okno->dane->folder_wynikowy->text().contains(
        QStringLiteral("to inny folder niż folder uruchomienia „%1”").arg(kopia.sciezka())))
        << okno->dane->folder_wynikowy->text().toStdString();

    okno->dane->tryb_biezacy->setChecked(true);
    EXPECT_FALSE(okno->dane->folder_wynikowy->text().contains(QStringLiteral("Uwaga")));
    PrzyciskZapisz(okno->dane)->click();
    EXPECT_TRUE(pulpit.bledy().isEmpty());
    EXPECT_EQ(okno->foldery().danych, kopia.sciezka());
    EXPECT_FALSE(okno->folder_danych->text().contains(QStringLiteral("Uwaga")));
    EXPECT_EQ(oryginal.czytaj("Admini/siec.dat"), Bajty(UstawieniaSieciDlaKatalogu(oryginal.sciezka())));

    // The original itself names itself: nothing to warn about.
    PulpitTestowy wOryginale;
    auto okno2 = oryginal.okno(wOryginale);
    EXPECT_FALSE(okno2->folder_danych->text().contains(QStringLiteral("Uwaga")));
    ASSERT_TRUE(okno2->pokazStrone(Tustawienia_f::Dane));
    EXPECT_FALSE(okno2->dane->folder_wynikowy->text().contains(QStringLiteral("Uwaga")));
}

TEST(OknoUstawien, FolderBezDanychProponujeNowy) {
    FolderTestowy folder(false);
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    EXPECT_EQ(okno->biezaca(), Tustawienia_f::NowyKatalog);
    EXPECT_TRUE(
        okno->nowy_katalog->uwaga_nowego->text().contains(QStringLiteral("nie zawiera danych modułu")));
    EXPECT_TRUE(pulpit.komunikaty.empty());

    // Opening a data folder remembers it.
    FolderTestowy dane;
    pulpit.foldery = {dane.sciezka()};
    okno->otworz_folder->click();
    EXPECT_EQ(okno->foldery().startowy, dane.sciezka());
    QFile zapamietany(PlikZapamietanegoKatalogu());
    ASSERT_TRUE(zapamietany.open(QIODevice::ReadOnly));
    EXPECT_EQ(zapamietany.readAll(), dane.sciezka().toUtf8() + '\n');
}

// The menu entry's start (--ostatni-katalog): without a remembered folder the "Nowy katalog danych"
// page proposes ~/Faktury; the folder made there is remembered, and the next start opens it.
TEST(OknoUstawien, OstatniKatalogZMenu) {
    FolderTestowy folder(false);
    const QByteArray dawnyHome = qgetenv("HOME");
    qputenv("HOME", folder.sciezka().toUtf8());
    const ArgumentyUstawien argumenty = CzytajArgumentyUstawien({"--ostatni-katalog"});
    PulpitTestowy pulpit;
    {
        const FolderStartowy start = UstalFolderStartowy(argumenty, DomyslnySystemPlikow(), "/");
        Tustawienia_f okno(pulpit, DomyslnySystemPlikow(), start.katalog, false, start.podany);
        EXPECT_EQ(okno.biezaca(), Tustawienia_f::NowyKatalog);
        EXPECT_EQ(okno.nowy_katalog->sciezka_nowego->text(), folder.plik("Faktury"));
        okno.nowy_katalog->utworz_katalog->click();
        EXPECT_TRUE(pulpit.bledy().isEmpty()) << pulpit.bledy().join(u' ').toStdString();
        EXPECT_EQ(CzytajZapamietanyKatalog(DomyslnySystemPlikow()), folder.plik("Faktury"));
    }
    {
        const FolderStartowy start = UstalFolderStartowy(argumenty, DomyslnySystemPlikow(), "/");
        Tustawienia_f okno(pulpit, DomyslnySystemPlikow(), start.katalog, false, start.podany);
        EXPECT_EQ(okno.biezaca(), Tustawienia_f::Firma);
        EXPECT_EQ(okno.foldery().startowy, folder.plik("Faktury"));
    }

    // The remembered folder has gone (a drive not mounted): proposed again, the user told why.
    QDir(folder.plik("Faktury")).removeRecursively();
    {
        const FolderStartowy start = UstalFolderStartowy(argumenty, DomyslnySystemPlikow(), "/");
        Tustawienia_f okno(pulpit, DomyslnySystemPlikow(), start.katalog, false, start.podany);
        EXPECT_EQ(okno.biezaca(), Tustawienia_f::NowyKatalog);
        EXPECT_EQ(okno.nowy_katalog->sciezka_nowego->text(), folder.plik("Faktury"));
        EXPECT_TRUE(
            okno.nowy_katalog->uwaga_nowego->text().contains(QStringLiteral("nie zawiera danych modułu")));
    }
    qputenv("HOME", dawnyHome);
}

// The demo folder opened in the settings program: every page reads, nothing to warn about.
TEST(OknoUstawien, FolderDemonstracyjny) {
    FolderTestowy folder(false);
    PrzygotujDaneDemonstracyjne(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    for (int s = Tustawienia_f::Firma; s <= Tustawienia_f::Ewidencja; ++s) {
        ASSERT_TRUE(okno->pokazStrone(static_cast<Tustawienia_f::Strona>(s))) << s;
        auto* blad = okno->strona(static_cast<Tustawienia_f::Strona>(s))->findChild<QLabel*>("blad_odczytu");
        EXPECT_TRUE(blad->isHidden()) << s << ": " << blad->text().toStdString();
    }
    for (int i = 0; i < okno->firma->liczbaPol(); ++i)
        EXPECT_TRUE(okno->firma->pole(i).uwaga->isHidden())
            << okno->firma->pole(i).uwaga->text().toStdString();
    EXPECT_EQ(okno->czcionka->kroj->text(), "Arial");
    EXPECT_TRUE(okno->dane->tryb_biezacy->isChecked());
    EXPECT_TRUE(pulpit.komunikaty.empty());
}

// Every "Wybierz…" button puts the folder chosen into its field, and the page takes it as a change
// that "Cofnij zmiany" drops.
TEST(OknoUstawien, WyborFolderuICofniecie) {
    const struct {
        Tustawienia_f::Strona strona;
        const char* przycisk;
        const char* pole;
    } przypadki[] = {
        {Tustawienia_f::Dane, "wybierz_sciezka_lokalna", "sciezka_lokalna"},
        {Tustawienia_f::Dane, "wybierz_sciezka_sieciowa", "sciezka_sieciowa"},
        {Tustawienia_f::Ewidencja, "wybierz_folder", "folder"},
        {Tustawienia_f::NowyKatalog, "wybierz_folder", "sciezka_nowego"},
    };
    FolderTestowy folder;
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    const QString wybrany = folder.plik(QStringLiteral("wybrany"));
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.przycisk);
        ASSERT_TRUE(okno->pokazStrone(p.strona));
        QWidget* strona = okno->strona(p.strona);
        auto* przycisk = strona->findChild<QPushButton*>(QString::fromUtf8(p.przycisk));
        auto* edycja = strona->findChild<QLineEdit*>(QString::fromUtf8(p.pole));
        ASSERT_TRUE(przycisk && edycja);
        const QString dawny = edycja->text();
        pulpit.foldery = {std::nullopt};
        przycisk->click();
        EXPECT_EQ(edycja->text(), dawny) << "a cancelled dialog changes nothing";
        pulpit.foldery = {wybrany};
        przycisk->click();
        EXPECT_EQ(edycja->text(), wybrany);
        auto* cofnij = strona->findChild<QPushButton*>(QStringLiteral("cofnij"));
        if (p.strona == Tustawienia_f::NowyKatalog) {
            EXPECT_EQ(cofnij, nullptr) << "the page saves nothing";
            continue;
        }
        ASSERT_TRUE(cofnij);
        EXPECT_TRUE(PrzyciskZapisz(strona)->isEnabled());
        EXPECT_TRUE(cofnij->isEnabled());
        cofnij->click();
        EXPECT_EQ(edycja->text(), dawny);
        EXPECT_FALSE(PrzyciskZapisz(strona)->isEnabled());
        EXPECT_FALSE(cofnij->isEnabled());
    }
    EXPECT_TRUE(pulpit.komunikaty.empty());
}

// The count beside every edited text of every page follows what is typed.
TEST(OknoUstawien, LicznikiIdaZaTekstem) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    int sprawdzonych = 0;
    for (int s = Tustawienia_f::NowyKatalog; s <= Tustawienia_f::Ewidencja; ++s) {
        QWidget* strona = okno->strona(static_cast<Tustawienia_f::Strona>(s));
        for (QLabel* licznik : strona->findChildren<QLabel*>()) {
            const QString nazwa = licznik->objectName();
            if (!nazwa.startsWith(QStringLiteral("licznik_"))) continue;
            auto* edycja = strona->findChild<QLineEdit*>(nazwa.mid(8));
            ASSERT_TRUE(edycja) << nazwa.toStdString();
            edycja->setText(QStringLiteral("ąbc"));
            EXPECT_TRUE(licznik->text().startsWith(QStringLiteral("3 / "))) << nazwa.toStdString();
            edycja->setText(QString(300, u'x'));
            EXPECT_TRUE(licznik->text().startsWith(QStringLiteral("300 / "))) << nazwa.toStdString();
            EXPECT_FALSE(licznik->styleSheet().isEmpty()) << nazwa.toStdString() << ": too long, red";
            ++sprawdzonych;
        }
    }
    EXPECT_EQ(sprawdzonych, okno->firma->liczbaPol() + okno->faktura->liczbaPol() +
                                okno->platnosc->liczbaPol() + okno->ewidencja->liczbaPol() +
                                okno->klienci->liczbaPol() + okno->uslugi->liczbaPol() + 2);
}

// "Lista domyślna" prepares the default list that does not exist yet; "Otwórz listę…" opens another
// file after asking about the unsaved one.
TEST(OknoUstawien, PrzyciskiPlikuListy) {
    FolderTestowy folder;
    const QString inna = folder.plik(QStringLiteral("Uslugi/inna.usl"));
    {
        const std::unique_ptr<Lista> lista = Lista::Nowa(RodzajBazy::Uslugi, inna);
        lista->ustawWpis(2, {QStringLiteral("Przegląd"),
                             {},
                             QStringLiteral("szt"),
                             QStringLiteral("23"),
                             QStringLiteral("100.00")});
        lista->zapisz(DomyslnySystemPlikow());
    }
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    okno->pokazStrone(Tustawienia_f::Uslugi);
    StronaListy* s = okno->uslugi;
    ASSERT_EQ(s->lista(), nullptr);
    EXPECT_FALSE(s->import_csv->isEnabled());

    s->lista_domyslna->click();
    ASSERT_TRUE(s->lista());
    EXPECT_TRUE(s->lista()->nowa());
    EXPECT_TRUE(s->import_csv->isEnabled());
    EXPECT_TRUE(PrzyciskZapisz(s)->isEnabled());

    pulpit.odpowiedzi = {Odpowiedz::Nie};
    pulpit.pliki = {inna};
    s->otworz_liste->click();
    EXPECT_TRUE(s->lista()->nowa()) << "the user kept the new list";
    ASSERT_EQ(pulpit.pytania().size(), 1);

    pulpit.odpowiedzi = {Odpowiedz::Tak};
    s->otworz_liste->click();
    ASSERT_TRUE(s->lista());
    EXPECT_EQ(s->lista()->sciezka(), inna);
    ASSERT_EQ(s->tabela->rowCount(), 1);
    EXPECT_EQ(s->tabela->item(0, 1)->text(), QStringLiteral("Przegląd"));
    EXPECT_FALSE(PrzyciskZapisz(s)->isEnabled());
    EXPECT_TRUE(pulpit.bledy().isEmpty());
}

// Every control of every page has an object name and an accessible name.
TEST(OknoUstawien, KazdaKontrolkaMaNazwy) {
    FolderTestowy folder;
    UtworzDomyslneBazy(DomyslnySystemPlikow(), folder.sciezka());
    PulpitTestowy pulpit;
    auto okno = folder.okno(pulpit);
    for (int s = Tustawienia_f::NowyKatalog; s <= Tustawienia_f::Ewidencja; ++s)
        okno->pokazStrone(static_cast<Tustawienia_f::Strona>(s));
    int sprawdzonych = 0;
    for (QWidget* w : okno->findChildren<QWidget*>()) {
        const bool kontrolka = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                               qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLabel*>(w);
        if (!kontrolka) continue;
        // The inner parts of a table or a list belong to it.
        bool wewnetrzna = false;
        for (QWidget* r = w->parentWidget(); r && r != okno.get(); r = r->parentWidget())
            wewnetrzna = wewnetrzna || qobject_cast<QAbstractScrollArea*>(r);
        if (wewnetrzna) continue;
        EXPECT_FALSE(w->objectName().isEmpty())
            << w->metaObject()->className() << " " << w->accessibleName().toStdString();
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        ++sprawdzonych;
    }
    EXPECT_GT(sprawdzonych, 100);
}

}  // namespace
