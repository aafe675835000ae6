// Start-up on a data folder: the files it creates byte for byte, the form it shows, and how it
// behaves when the folder is not as expected.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include "app/aplikacja.h"
#include "app/faktura_f.h"
#include "app/siatka.h"
#include "calc/dokument.h"
#include "store/pliki_danych.h"
#include "store/rekordy.h"
#include "store/system_plikow.h"
#include "ustawienia/dane_demonstracyjne.h"
#include "wspolne/katalog_testowy.h"
#include "wspolne/zawodny_system_plikow.h"

namespace {

// Expected bytes of a fixed-capacity text holding Latin-1-range text.
void OczekujTekstu(const QByteArray& dane, int przesuniecie, const QByteArray& tekstCp1250,
                   const char* opis) {
    ASSERT_GT(dane.size(), przesuniecie + tekstCp1250.size()) << opis;
    EXPECT_EQ(static_cast<unsigned char>(dane[przesuniecie]), tekstCp1250.size()) << opis;
    EXPECT_EQ(dane.mid(przesuniecie + 1, tekstCp1250.size()), tekstCp1250) << opis;
}

bool SameZera(const QByteArray& dane, int od, int doBajtu) {
    for (int i = od; i < doBajtu; ++i)
        if (dane[i] != 0) return false;
    return true;
}

TEST(Start, PierwszyStartTworzyPlikiBajtPoBajcie) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();

    const QByteArray cwd = QDir::currentPath().toUtf8();
    const QByteArray siec = katalog.czytaj("Admini/siec.dat");
    ASSERT_EQ(siec.size(), 403);
    EXPECT_EQ(siec[0], 1);
    OczekujTekstu(siec, 1, cwd, "sciezka_lokalna");
    EXPECT_TRUE(SameZera(siec, 2 + cwd.size(), 403));

    const struct {
        const char* plik;
        int rozmiar;
    } zerowe[] = {{"Admini/faktura.dat", 272}, {"Admini/firma.dat", 306}, {"Admini/info.dat", 66}};
    for (const auto& z : zerowe) {
        const QByteArray dane = katalog.czytaj(z.plik);
        EXPECT_EQ(dane.size(), z.rozmiar) << z.plik;
        EXPECT_TRUE(SameZera(dane, 0, dane.size())) << z.plik;
    }

    const QByteArray uslugi = katalog.czytaj("Uslugi/uslugi.dat");
    ASSERT_EQ(uslugi.size(), 36984);
    for (int s = 0; s < 201; ++s) {
        const QByteArray numer = QByteArray::number(s + 1).rightJustified(2, '0');
        ASSERT_EQ(uslugi.mid(s * 4, 1 + numer.size()), char(numer.size()) + numer) << "usługa " << s;
        ASSERT_TRUE(SameZera(uslugi, s * 4 + 1 + numer.size(), s * 4 + 4)) << "usługa " << s;
    }
    EXPECT_TRUE(SameZera(uslugi, 804, uslugi.size()));

    const QByteArray klienci = katalog.czytaj("Uslugi/klienci.dat");
    ASSERT_EQ(klienci.size(), 3490698);
    for (int s : {0, 8, 9, 98, 99, 998, 999, 5000}) {
        const QByteArray numer = QByteArray::number(s + 1).rightJustified(2, '0');
        EXPECT_EQ(klienci.mid(s * 6, 1 + numer.size()), char(numer.size()) + numer) << "klient " << s;
    }
    EXPECT_TRUE(SameZera(klienci, 30006, klienci.size()));

    const QByteArray dokumenty = katalog.czytaj("Uslugi/dokumenty.dat");
    ASSERT_EQ(dokumenty.size(), 3251);
    QByteArray oczekiwany(3251, '\0');
    auto wstaw = [&oczekiwany](int przesuniecie, const QByteArray& tekst) {
        oczekiwany[przesuniecie] = char(tekst.size());
        oczekiwany.replace(przesuniecie + 1, tekst.size(), tekst);
    };
    wstaw(52, "0");
    wstaw(63, "2010-03-15");
    wstaw(84, "Pocz\xB9tek bloczka faktur");
    wstaw(3218, "F");
    EXPECT_EQ(dokumenty, oczekiwany);

    // The start of the pad is no document: the form is a new invoice, number 1, as "Nowa faktura"
    // makes it.
    EXPECT_EQ(okno->KatalogDanych, QDir::currentPath());
    EXPECT_EQ(okno->DataDzisiaj, "2010-03-15");
    EXPECT_EQ(okno->numerator->text(), "1");
    EXPECT_EQ(okno->rozszerzenie->text(), "");
    EXPECT_EQ(okno->data_wystawienia->text(), "2010-03-15");
    EXPECT_EQ(okno->odbiorca1->text(), "");
    EXPECT_EQ(okno->Label22->text(), "Edycja nowej faktury Vat");
    EXPECT_EQ(okno->Label25->text(), "Tabelka dokumentu");
    EXPECT_EQ(okno->tabela->kolorCzcionki(), 0x800000);
    EXPECT_EQ(okno->tabela_vat->kolorCzcionki(), 0x800000);
    EXPECT_FALSE(okno->SpeedButton9->isEnabled()) << "nothing to correct";
    EXPECT_FALSE(okno->SpeedButton6->isEnabled());
    EXPECT_FALSE(okno->Korekta);
    EXPECT_TRUE(okno->NowyDokument);
    EXPECT_TRUE(okno->ZapisDozwolony);
    EXPECT_FALSE(okno->UsuwanieDozwolone);
    EXPECT_TRUE(platforma.komunikaty.empty());
    EXPECT_EQ(okno->LiczbaKopii, 0);
    EXPECT_EQ(okno->SpeedButton20->toolTip(), " Wydruk faktury razy ");
    EXPECT_EQ(okno->MonthCalendar1->selectedDate(), QDate(2010, 3, 15));
}

TEST(Start, FormularzPoStarcie) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);

    const QStringList naglowki = {"Lp", "Nazwa usługi", "PKWiU", "J.m", "Ilość", "Netto", "Vat"};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(okno->tabela->komorka(c, 0), naglowki[c]);
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(okno->tabela->komorka(0, r), QString::number(r));
    const QStringList naglowkiVat = {"Stawka", "Netto", "Kwota Vat", "Brutto"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(okno->tabela_vat->komorka(c, 0), naglowkiVat[c]);
    for (int c = 1; c < 7; ++c)
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(okno->tabela->komorka(c, r), "");

    ASSERT_EQ(okno->lata->count(), 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(okno->lata->itemText(i), QString::number(2009 + i));
    EXPECT_EQ(okno->lata->currentText(), "");
    for (QLabel* suma : okno->SumyMiesiecyEtykiety) EXPECT_EQ(suma->text(), "0.00 PLN");
    EXPECT_EQ(okno->SumyMiesiecyEtykiety[0]->objectName(), "Label29");
    EXPECT_EQ(okno->SumyMiesiecyEtykiety[11]->objectName(), "Label40");

    EXPECT_EQ(okno->forma_zaplaty->count(), 3);
    EXPECT_EQ(okno->forma_zaplaty->itemText(0), "Gotówka");
    EXPECT_EQ(okno->forma_zaplaty->itemText(2), "Karta kredytowa");
    EXPECT_EQ(okno->termin_zaplaty->itemText(1), "14 dni");
    EXPECT_EQ(okno->Label17->text(), "0.00 PLN");
    for (QLabel* l :
         {okno->Label19, okno->Label23, okno->Label24, okno->Label54, okno->Label13, okno->Label14})
        EXPECT_EQ(l->text(), "") << l->objectName().toStdString();

    // The window itself.
    EXPECT_EQ(okno->size(), QSize(861, 641));
    EXPECT_EQ(okno->minimumSize(), okno->maximumSize());
    EXPECT_EQ(okno->windowTitle(), "");
    EXPECT_FALSE(okno->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(okno->palette().color(QPalette::Window), QColor(0xEA, 0xEA, 0xEA));
    const QList<QWidget*> ukryte = {okno->Panel3,       okno->Panel4,         okno->Panel5,
                                    okno->Panel6,       okno->MonthCalendar1, okno->SpeedButton15,
                                    okno->SpeedButton16};
    for (QWidget* ukryty : ukryte) EXPECT_TRUE(ukryty->isHidden()) << ukryty->objectName().toStdString();
    EXPECT_EQ(okno->Timer1->interval(), 100);
    EXPECT_EQ(okno->Timer2->interval(), 100);
    EXPECT_FALSE(okno->Image1->pixmap().isNull()) << "the button column's picture decodes";
    EXPECT_EQ(okno->SpeedButton3->toolTip(), "Wczytanie istniejącej faktury ");
}

// Settings applied at start-up: copies, copy marker, footer, seller lines.
TEST(Start, UstawieniaFakturyIFirmy) {
    KatalogTestowy katalog;
    TUstawieniaFaktury faktura{};
    faktura.liczba_kopii.ustaw("2");
    faktura.oznaczenie_kopii.ustaw("oryginał");
    faktura.stopka.ustaw("Dziękujemy");
    faktura.miejscowosc.ustaw("Kraków");
    katalog.zapiszRekordy<TUstawieniaFaktury>("Admini/faktura.dat", {faktura});
    TDaneFirmy firma{};
    const QString linia40 = QString(39, QLatin1Char('a')) + QStringLiteral("ż");
    const QString linia41 = QString(40, QLatin1Char('b')) + QStringLiteral("ł");
    firma.linia1.ustaw(linia40);
    firma.linia2.ustaw(linia41);
    firma.linia3.ustaw("Kraków");
    katalog.zapiszRekordy<TDaneFirmy>("Admini/firma.dat", {firma});

    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_EQ(okno->LiczbaKopii, 2);
    EXPECT_EQ(okno->SpeedButton20->toolTip(), " Wydruk faktury razy 2");
    EXPECT_EQ(okno->Label13->text(), "oryginał");
    EXPECT_EQ(okno->Label14->text(), "Dziękujemy");
    EXPECT_EQ(okno->LiniaFirmy2, linia41);
    EXPECT_EQ(okno->Label55->text(), linia40);
    EXPECT_NE(okno->Label56->text(), linia41);
    EXPECT_TRUE(linia41.startsWith(okno->Label56->text().left(30)));
    EXPECT_EQ(okno->Label56->toolTip(), linia41) << "the whole line stays readable";
    EXPECT_LE(okno->Label56->fontMetrics().horizontalAdvance(okno->Label56->text()), okno->Label56->width());
    EXPECT_LE(okno->Label56->geometry().right(), okno->Panel2->width());
    EXPECT_EQ(okno->Label57->text(), "Kraków");
    // With no document issued yet the form is a new invoice, which takes the place from the settings.
    EXPECT_EQ(okno->miejscowosc->text(), "Kraków");
}

TEST(Start, TrybSieciWybieraKatalogDanych) {
    KatalogTestowy katalog;
    QTemporaryDir inny;
    QDir(inny.path()).mkpath("ADMINI");
    QDir(inny.path()).mkpath("Uslugi");
    const struct {
        std::uint8_t tryb;
        bool doInnego;
    } przypadki[] = {{1, true}, {2, true}, {0, false}, {3, false}, {255, false}};
    for (const auto& p : przypadki) {
        for (const char* f : {"ADMINI/faktura.dat", "Uslugi/dokumenty.dat", "Admini/faktura.dat"}) {
            QFile::remove(QDir(inny.path()).filePath(f));
            QFile::remove(katalog.plik(f));
        }
        TUstawieniaSieci siec{};
        siec.tryb = p.tryb;
        siec.sciezka_lokalna.ustaw(p.tryb == 1 ? inny.path() : QStringLiteral("/nie/ma/takiego"));
        siec.sciezka_sieciowa.ustaw(p.tryb == 2 ? inny.path() : QStringLiteral("/nie/ma/takiego"));
        katalog.zapiszRekordy<TUstawieniaSieci>("Admini/siec.dat", {siec});

        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        const QString oczekiwany = p.doInnego ? inny.path() : QDir::currentPath();
        EXPECT_EQ(okno->KatalogDanych, oczekiwany) << int(p.tryb);
        EXPECT_TRUE(platforma.bledy().empty()) << int(p.tryb);
        EXPECT_EQ(QFile::exists(QDir(inny.path()).filePath("ADMINI/faktura.dat")), p.doInnego) << int(p.tryb);
        EXPECT_EQ(QFile::exists(QDir(inny.path()).filePath("Uslugi/dokumenty.dat")), p.doInnego)
            << int(p.tryb);
        EXPECT_EQ(katalog.istnieje("Admini/faktura.dat"), !p.doInnego) << int(p.tryb);
        // siec.dat is never written once it exists.
        EXPECT_EQ(katalog.rekord<TUstawieniaSieci>("Admini/siec.dat").tryb, p.tryb);
    }
}

TEST(Start, BiezacyKatalogDluzszyNiz200ZnakowJestObcinany) {
    KatalogTestowy katalog;
    QString dlugi = katalog.sciezka();
    while (dlugi.size() <= 230) dlugi += QStringLiteral("/folder_o_dlugiej_nazwie");
    QDir().mkpath(dlugi + "/Admini");
    QDir().mkpath(dlugi + "/Uslugi");
    QDir::setCurrent(dlugi);

    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    const TUstawieniaSieci siec =
        katalog.rekord<TUstawieniaSieci>(dlugi.mid(katalog.sciezka().size() + 1) + "/Admini/siec.dat");
    EXPECT_EQ(siec.tryb, 1);
    EXPECT_EQ(siec.sciezka_lokalna.tekst(), dlugi.left(200));
    EXPECT_EQ(okno->KatalogDanych, dlugi.left(200));
    // The cut path names no folder, so the next file step fails; the window still opens.
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(platforma.bledy()[0].contains(dlugi.left(200))) << platforma.bledy()[0].toStdString();
    EXPECT_EQ(okno->Label22->text(), "Wczytany ostatnio wystawiony dokument");
}

TEST(Start, FolderUstawienInaczejPisanyNaDysku) {
    KatalogTestowy katalog(false);
    katalog.utworzFolder("aDmInI");
    katalog.utworzFolder("USLUGI");
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_TRUE(platforma.bledy().empty());
    for (const char* f : {"aDmInI/siec.dat", "aDmInI/faktura.dat", "aDmInI/firma.dat", "aDmInI/info.dat",
                          "USLUGI/dokumenty.dat", "USLUGI/klienci.dat", "USLUGI/uslugi.dat"})
        EXPECT_TRUE(katalog.istnieje(f)) << f;
    EXPECT_FALSE(katalog.istnieje("Admini"));
    EXPECT_FALSE(katalog.istnieje("ADMINI"));
    EXPECT_EQ(okno->Label22->text(), "Edycja nowej faktury Vat");
}

TEST(Start, BrakFolderuAdminiPokazujeBladIOtwieraOkno) {
    KatalogTestowy katalog(false);
    katalog.utworzFolder("Uslugi");
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(platforma.bledy()[0].contains("siec.dat")) << platforma.bledy()[0].toStdString();
    // The file and the missing folder are named, not a temporary file's name.
    EXPECT_TRUE(
        platforma.bledy()[0].contains(QStringLiteral("Nie ma folderu „%1/Admini”").arg(katalog.sciezka())))
        << platforma.bledy()[0].toStdString();
    EXPECT_FALSE(platforma.bledy()[0].contains(".tmp"));
    // Nothing after the failing step was done.
    EXPECT_FALSE(katalog.istnieje("Uslugi/uslugi.dat"));
    EXPECT_FALSE(katalog.istnieje("Uslugi/dokumenty.dat"));
    EXPECT_EQ(okno->Label22->text(), "Wczytany ostatnio wystawiony dokument");
    EXPECT_EQ(okno->data_wystawienia->text(), "2010-03-15");
    okno->show();
    EXPECT_TRUE(okno->isVisible());
}

// A folder that disappears (a share that goes away) just as start-up begins to write one file into it.
class ZnikajacyFolder : public ZawodnySystemPlikow {
  public:
    QString plik;  // "firma.dat": its folder is removed when its temporary file is created

    int otworz(const QString& sciezka, TrybOtwarcia tryb) override {
        const QString nazwa = QFileInfo(sciezka).fileName();
        if (!plik.isEmpty() && nazwa.startsWith(plik + u'.') && nazwa.endsWith(QStringLiteral(".tmp")))
            QDir(QFileInfo(sciezka).path()).removeRecursively();
        return ZawodnySystemPlikow::otworz(sciezka, tryb);
    }
};

// Every file that start-up creates when it is missing: when its folder is missing, the error names
// the file and the folder, never the temporary file the write goes through.
TEST(Start, BrakFolderuPlikuTworzonegoPrzyStarcieNazywaPlikIFolder) {
    const struct {
        const char* plik;
        const char* folder;     // below the data root
        bool folderOdPoczatku;  // missing before start; else it disappears while the file is written
    } przypadki[] = {
        {"uslugi.dat", "Uslugi", true}, {"klienci.dat", "Uslugi", false}, {"faktura.dat", "ADMINI", true},
        {"firma.dat", "ADMINI", false}, {"info.dat", "ADMINI", false},    {"dokumenty.dat", "Uslugi", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.plik);
        KatalogTestowy katalog;
        // The data root is a folder of its own, named by siec.dat, so that its folders can be missing
        // while the working directory's "Admini" holds siec.dat.
        katalog.utworzFolder("dane");
        for (const char* folder : {"ADMINI", "Uslugi"})
            if (!(p.folderOdPoczatku && QLatin1String(folder) == QLatin1String(p.folder)))
                katalog.utworzFolder(QStringLiteral("dane/") + folder);
        katalog.zapiszRekordy<TUstawieniaSieci>("Admini/siec.dat",
                                                {UstawieniaSieciDlaKatalogu(katalog.plik("dane"))});
        ZnikajacyFolder pliki;
        if (!p.folderOdPoczatku) pliki.plik = QString::fromLatin1(p.plik);
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma, pliki);
        ASSERT_EQ(platforma.bledy().size(), 1u);
        const QString blad = platforma.bledy()[0];
        const QString folder = katalog.plik(QStringLiteral("dane/") + p.folder);
        EXPECT_TRUE(blad.contains(QStringLiteral("„%1/%2”").arg(folder, p.plik))) << blad.toStdString();
        EXPECT_TRUE(blad.contains(QStringLiteral("Nie ma folderu „%1”").arg(folder))) << blad.toStdString();
        EXPECT_FALSE(blad.contains(".tmp")) << blad.toStdString();
        EXPECT_FALSE(katalog.istnieje(QStringLiteral("dane/%1/%2").arg(p.folder, p.plik)));
    }
}

TEST(Start, OstatniDokumentKorektaJestPokazanyNaCzerwono) {
    KatalogTestowy katalog;
    TDokument faktura = Dokument("F", "7", "Kowalski");
    TDokument korekta = Dokument("K", "1", "Kowalski");
    korekta.dotyczy.ustaw("7/2011");
    korekta.pozycje[0][0].ustaw("Usługa przed");
    korekta.pozycje_korekty[0][0].ustaw("Usługa po");
    korekta.stawki_korekty[3][0].ustaw("      123.00");
    katalog.zapiszRekordy<TDokument>("Uslugi/dokumenty.dat", {faktura, korekta});
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_TRUE(platforma.bledy().empty());
    EXPECT_EQ(okno->PozycjaDokumentu, 2);
    EXPECT_TRUE(okno->Korekta);
    EXPECT_EQ(okno->tabela->kolorCzcionki(), 0x0000FF);
    EXPECT_EQ(okno->tabela_vat->kolorCzcionki(), 0x0000FF);
    EXPECT_EQ(Tfaktura_f::KolorCzcionki(okno->Label25), 0x0000FF);
    EXPECT_EQ(okno->Label25->text(), "Tabelka korekty");
    EXPECT_EQ(okno->Label23->text(), "korygująca");
    EXPECT_EQ(okno->Label24->text(), "7/2011");
    EXPECT_EQ(okno->Label22->text(), "Edycja wczytanej faktury korygującej Vat");
    EXPECT_FALSE(okno->SpeedButton9->isEnabled());
    EXPECT_EQ(okno->tabela->komorka(1, 1), "Usługa po");
    EXPECT_EQ(okno->tabela_vat->komorka(3, 1), "      123.00");
    okno->Timer2Timer();
    EXPECT_FALSE(okno->Label26->isHidden()) << "the correction note shows within one tick";
    EXPECT_FALSE(okno->SpeedButton15->isHidden());
}

// A record written by another program whose length bytes say 255 shows each field at its capacity
// and never reads past it.
TEST(Start, DlugosciPol255SaCzytaneJakoPojemnosc) {
    for (bool zRodzajem : {false, true}) {
        KatalogTestowy katalog;
        QByteArray rekord(3251, char(0xFF));
        for (int i = 0; i < rekord.size(); ++i)
            if (i % 7) rekord[i] = 'x';  // text bytes; every length byte in the table below stays 255
        for (int przesuniecie : {0, 41, 52, 63, 84, 165, 246, 327, 408, 429, 445, 456, 477, 3218, 3220})
            rekord[przesuniecie] = char(0xFF);
        for (int c = 0; c < 6; ++c)
            for (int r = 0; r < 3; ++r)
                rekord[518 + c * 183 + r * 61] = rekord[1868 + c * 183 + r * 61] = char(0xFF);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 3; ++r)
                rekord[1616 + c * 63 + r * 21] = rekord[2966 + c * 63 + r * 21] = char(0xFF);
        if (zRodzajem) rekord[3219] = 'F';
        katalog.zapisz("Uslugi/dokumenty.dat", rekord);

        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        EXPECT_TRUE(platforma.bledy().empty());
        EXPECT_EQ(okno->miejscowosc->text().size(), 40);
        EXPECT_EQ(okno->numerator->text().size(), 10);
        EXPECT_EQ(okno->rozszerzenie->text().size(), 20);
        EXPECT_EQ(okno->odbiorca4->text().size(), 80);
        EXPECT_EQ(okno->nip_odbiorcy->text().size(), 20);
        EXPECT_EQ(okno->forma_zaplaty->currentText().size(), 15);
        EXPECT_EQ(okno->podpis->text().size(), 40);
        if (zRodzajem) {
            EXPECT_FALSE(okno->Korekta);
            EXPECT_EQ(okno->tabela->komorka(6, 3).size(), 60);
            EXPECT_EQ(okno->tabela_vat->komorka(3, 3).size(), 20);
            EXPECT_EQ(okno->Label22->text(), "Edycja wczytanej faktury Vat");
        } else {
            // A kind other than F or K changes only the header fields.
            EXPECT_EQ(okno->tabela->komorka(1, 1), "");
            EXPECT_EQ(okno->Label25->text(), "Tabelka dokumentu");
        }
    }
}

TEST(Start, PlikDokumentowNiePelnejDlugosci) {
    KatalogTestowy katalog;
    QByteArray dane = Bajty(std::vector{Dokument("F", "1", "Nowak"), Dokument("F", "2", "Nowak")});
    dane.append(QByteArray(100, 'z'));
    katalog.zapisz("Uslugi/dokumenty.dat", dane);
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    // The torn tail is ignored: the last whole record is shown.
    EXPECT_TRUE(platforma.bledy().empty()) << platforma.bledy().front().toStdString();
    EXPECT_EQ(okno->PozycjaDokumentu, 2);
    EXPECT_EQ(okno->numerator->text(), "2");
}

TEST(Start, PustyPlikDokumentowToBladZOknemOtwartym) {
    KatalogTestowy katalog;
    katalog.zapisz("Uslugi/dokumenty.dat", QByteArray());
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    ASSERT_EQ(platforma.bledy().size(), 1u);
    EXPECT_TRUE(platforma.bledy()[0].contains("dokumenty.dat"));
    EXPECT_EQ(okno->Label22->text(), "Wczytany ostatnio wystawiony dokument");
}

// The demo folder that the run command prepares starts cleanly and stays usable wherever it lies.
TEST(Start, DaneDemonstracyjne) {
    KatalogTestowy katalog(false);
    PrzygotujDaneDemonstracyjne(DomyslnySystemPlikow(), katalog.sciezka());
    const QByteArray firma = katalog.czytaj("Admini/firma.dat");
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_TRUE(platforma.bledy().empty());
    EXPECT_EQ(okno->KatalogDanych, QDir::currentPath());
    EXPECT_EQ(okno->LiczbaKopii, 1);
    EXPECT_FALSE(okno->LiniaFirmy1.isEmpty());
    EXPECT_EQ(okno->Label13->text(), "oryginał");
    for (const char* plik : {"FONT/font_welkaro.dat", "Uslugi/klienci_demo.kli", "Uslugi/uslugi_demo.usl"})
        EXPECT_TRUE(katalog.istnieje(plik)) << plik;
    EXPECT_TRUE(katalog.istnieje("Szablony"));
    EXPECT_EQ(katalog.czytaj("Admini/siec.dat"), QByteArray(403, '\0')) << "no path of its own place";

    // Three invoices and a correction of the second after the start of the pad; the correction,
    // stored last, is shown in red with the invoice it corrects.
    const QByteArray dokumenty = katalog.czytaj("Uslugi/dokumenty.dat");
    ASSERT_EQ(dokumenty.size(), 5 * 3251);
    const QString rok = QString::number(QDate::currentDate().year());
    const struct {
        const char* rodzaj;
        QString numer;
    } oczekiwane[] = {
        {"F", "0"}, {"F", "1/" + rok}, {"F", "2/" + rok}, {"F", "3/" + rok}, {"K", "1/K/" + rok}};
    for (int i = 1; i < 5; ++i) {
        const TDokument d = katalog.rekord<TDokument>("Uslugi/dokumenty.dat", i);
        EXPECT_EQ(d.rodzaj.tekst(), oczekiwane[i].rodzaj) << i;
        EXPECT_EQ(NumerDokumentu(d), oczekiwane[i].numer) << i;
        EXPECT_FALSE(d.stawki[3][0].tekst().isEmpty()) << i << ": the summary is filled in";
    }
    const TDokument korekta = katalog.rekord<TDokument>("Uslugi/dokumenty.dat", 4);
    EXPECT_EQ(korekta.dotyczy.tekst(), "2/" + rok);
    EXPECT_EQ(korekta.stawki[1][0].tekst().trimmed(), "800.00") << "350.00 + 3 × 150.00";
    EXPECT_EQ(korekta.stawki_korekty[1][0].tekst().trimmed(), "650.00") << "one hour of advice less";
    EXPECT_TRUE(okno->Korekta);
    EXPECT_EQ(okno->numerator->text(), "1");
    EXPECT_EQ(okno->Label24->text(), "2/" + rok);
    EXPECT_EQ(okno->tabela->kolorCzcionki(), Tfaktura_f::KolorKorekty);
    EXPECT_EQ(okno->odbiorca1->text(), "Zakład Ślusarski Wąsik");
    // The numbers taken are recorded: the next invoice is 4, the next correction 2.
    okno->SpeedButton6Click();
    EXPECT_EQ(okno->numerator->text(), "4");
    EXPECT_EQ(okno->rozszerzenie->text(), rok);

    // Prepared again, existing files are kept, and no document is added.
    katalog.zapisz("Admini/firma.dat", QByteArray(306, '\0'));
    PrzygotujDaneDemonstracyjne(DomyslnySystemPlikow(), katalog.sciezka());
    EXPECT_EQ(katalog.czytaj("Admini/firma.dat"), QByteArray(306, '\0'));
    EXPECT_EQ(katalog.czytaj("Uslugi/dokumenty.dat"), dokumenty);
    EXPECT_EQ(firma.size(), 306);
}

// "siec.dat" naming another folder is never followed silently: the title names the data folder, and
// a local path to another folder (a copy still naming its original) is said at start-up.
TEST(Start, InnyFolderDanychJestNazwany) {
    KatalogTestowy katalog;
    QTemporaryDir inny;
    QDir(inny.path()).mkpath("Admini");
    QDir(inny.path()).mkpath("Uslugi");
    const struct {
        const char* opis;
        std::uint8_t tryb;
        QString sciezka;
        bool tytul, komunikat;
    } przypadki[] = {
        {"lokalna: ten folder", 1, QDir::currentPath(), false, false},
        {"lokalna: ten folder z ukośnikiem", 1, QDir::currentPath() + u'/', false, false},
        {"lokalna: względna kropka", 1, QStringLiteral("."), false, false},
        {"bieżący", 0, inny.path(), false, false},
        {"lokalna: inny folder", 1, inny.path(), true, true},
        {"sieciowa: inny folder", 2, inny.path(), true, false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        TUstawieniaSieci siec{};
        siec.tryb = p.tryb;
        siec.sciezka_lokalna.ustaw(p.sciezka);
        siec.sciezka_sieciowa.ustaw(p.sciezka);
        katalog.zapiszRekordy<TUstawieniaSieci>("Admini/siec.dat", {siec});
        PlatformaTestowa platforma;
        auto okno = UruchomOkno(platforma);
        EXPECT_TRUE(platforma.bledy().empty());
        EXPECT_EQ(okno->windowTitle().contains(inny.path()), p.tytul) << okno->windowTitle().toStdString();
        if (!p.tytul) {
            EXPECT_EQ(okno->windowTitle(), "");
        }
        ASSERT_EQ(platforma.komunikaty.size(), p.komunikat ? 1u : 0u);
        if (p.komunikat) {
            const QString tekst = platforma.komunikaty[0].tekst;
            EXPECT_EQ(platforma.komunikaty[0].rodzaj, "informacja");
            EXPECT_TRUE(tekst.contains(QStringLiteral("„%1”").arg(inny.path()))) << tekst.toStdString();
            EXPECT_TRUE(tekst.contains(QStringLiteral("„%1”").arg(QDir::currentPath())))
                << tekst.toStdString();
            EXPECT_TRUE(tekst.contains(QStringLiteral("faktura-ustawienia"))) << tekst.toStdString();
        }
    }
}

// The program does not open its window outside a data folder: one plain message, an exit code.
TEST(Start, PozaFolderemDanychJedenKomunikatIKoniec) {
    const struct {
        const char* opis;
        const char* folder;  // made in the start folder; "" none
        bool plik;           // as a file, not a folder
        bool odmowa;
    } przypadki[] = {
        {"pusty folder", "", false, true},          {"tylko Uslugi", "Uslugi", false, true},
        {"Admini jako plik", "Admini", true, true}, {"Admini", "Admini", false, false},
        {"ADMINI", "ADMINI", false, false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        KatalogTestowy katalog(false);
        if (p.plik)
            katalog.zapisz(QString::fromLatin1(p.folder), "x");
        else if (*p.folder)
            katalog.utworzFolder(QString::fromLatin1(p.folder));
        PlatformaTestowa platforma;
        const auto kod = OdmowaPozaFolderemDanych(platforma, DomyslnySystemPlikow());
        EXPECT_EQ(kod.has_value(), p.odmowa);
        if (!p.odmowa) {
            EXPECT_TRUE(platforma.komunikaty.empty());
            continue;
        }
        EXPECT_EQ(*kod, KodPozaFolderemDanych);
        ASSERT_EQ(platforma.komunikaty.size(), 1u);
        const QString tekst = platforma.komunikaty[0].tekst;
        EXPECT_TRUE(tekst.contains(QStringLiteral("„%1” nie jest folderem danych").arg(katalog.sciezka())))
            << tekst.toStdString();
        EXPECT_TRUE(tekst.contains(QStringLiteral("faktura-ustawienia"))) << tekst.toStdString();
        EXPECT_FALSE(katalog.istnieje("Admini/siec.dat")) << "nothing written";
    }
}

TEST(Zamykanie, NieZostawiaOknoAKrzyzykNigdyNieZamykaSam) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->show();
    platforma.odpowiedzi = {false};
    EXPECT_FALSE(okno->close());
    EXPECT_TRUE(okno->isVisible());
    ASSERT_EQ(platforma.komunikaty.size(), 1u);
    EXPECT_EQ(platforma.komunikaty[0].tytul, "Pytanie");
    EXPECT_EQ(platforma.komunikaty[0].tekst, "Koniec pracy ?");

    platforma.odpowiedzi = {false};
    okno->SpeedButton1->click();
    EXPECT_TRUE(okno->isVisible());
    EXPECT_EQ(platforma.zakonczenia, 0);
    EXPECT_DOUBLE_EQ(okno->windowOpacity(), 1.0);

    platforma.odpowiedzi = {true};
    okno->SpeedButton1->click();
    EXPECT_EQ(platforma.zakonczenia, 1);
    EXPECT_NEAR(okno->windowOpacity(), 10 / 255.0, 0.01) << "faded out before the end";

    platforma.odpowiedzi = {true};
    EXPECT_FALSE(okno->close());
    EXPECT_EQ(platforma.zakonczenia, 2);
}

TEST(Pomoc, PanelPomocyPokazujeTekstIZnika) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    okno->show();
    okno->SpeedButton4->click();
    EXPECT_TRUE(okno->Panel4->isVisible());
    EXPECT_EQ(okno->Panel4->geometry(), QRect(71, 108, 689, 337));
    const QStringList linie = okno->Memo1->toPlainText().split('\n');
    EXPECT_EQ(linie.size(), 64);
    const QStringList sekcje = {"Nowa faktura",      "Wstawienie klienta", "Wstawienie usługi",
                                "Parametry stałe",   "Numerator",          "Zapis faktury",
                                "Wczytanie faktury", "Usuwanie faktury",   "Faktura korygująca",
                                "Wydruk faktury",    "Szablony dokumentów"};
    for (const QString& sekcja : sekcje) {
        const int i = linie.indexOf(sekcja);
        ASSERT_GE(i, 0) << sekcja.toStdString();
        EXPECT_EQ(linie[i + 1], QString(sekcja.size(), QLatin1Char('-'))) << sekcja.toStdString();
    }
    EXPECT_TRUE(okno->Memo1->isReadOnly());
    okno->SpeedButton14->click();
    EXPECT_FALSE(okno->Panel4->isVisible());
}

TEST(Zegar, PokazujeCzasWDlugimFormacie) {
    KatalogTestowy katalog;
    PlatformaTestowa platforma;
    auto okno = UruchomOkno(platforma);
    EXPECT_EQ(okno->Label2->text(), "00:00:00");
    okno->Timer1Timer();
    EXPECT_EQ(okno->Label2->text(), "12:30:45");
    platforma.czas = platforma.czas.addSecs(1);
    okno->Timer1Timer();
    EXPECT_EQ(okno->Label2->text(), "12:30:46");
}

}  // namespace
