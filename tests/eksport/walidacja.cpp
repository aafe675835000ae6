#include "eksport/walidacja.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QXmlStreamReader>

QString KatalogKsef() { return QStringLiteral(KATALOG_KSEF); }

WynikWalidacji Waliduj(const QStringList& pliki) {
    WynikWalidacji wynik;
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    const QString schemat = KatalogKsef() + QStringLiteral("/schema/schemat_FA(3)_v1-0E.xsd");
    const QString katalog = KatalogKsef() + QStringLiteral("/catalog.xml");
    if (xmllint.isEmpty()) {
        ADD_FAILURE() << "xmllint (libxml2-utils) nie jest zainstalowany; instaluje go scripts/zaleznosci.sh";
        return wynik;
    }
    if (!QFile::exists(schemat) || !QFile::exists(katalog)) {
        ADD_FAILURE() << "brak schematu FA(3) w " << KatalogKsef().toStdString();
        return wynik;
    }
    QProcess proces;
    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    srodowisko.insert(QStringLiteral("XML_CATALOG_FILES"), katalog);
    proces.setProcessEnvironment(srodowisko);
    proces.start(xmllint, QStringList{QStringLiteral("--nonet"), QStringLiteral("--noout"),
                                      QStringLiteral("--schema"), schemat} +
                              pliki);
    if (!proces.waitForFinished(120000)) {
        ADD_FAILURE() << "xmllint nie skończył pracy";
        return wynik;
    }
    wynik.kod = proces.exitCode();
    wynik.opis = QString::fromUtf8(proces.readAllStandardError() + proces.readAllStandardOutput());
    for (const QString& plik : pliki)
        if (wynik.opis.contains(plik + QStringLiteral(" validates"))) wynik.poprawne << plik;
    return wynik;
}

QStringList Pola(const QByteArray& xml, const QString& sciezka) {
    QStringList wynik;
    QXmlStreamReader czytnik(xml);
    QStringList stos;
    while (!czytnik.atEnd()) {
        czytnik.readNext();
        if (czytnik.isStartElement()) {
            stos << czytnik.name().toString();
            if (stos.mid(1).join(u'/') == sciezka) {
                // Only leaf elements carry text; a compound one gives its children's names.
                const QString tekst = czytnik.readElementText(QXmlStreamReader::IncludeChildElements);
                wynik << tekst;
                stos.removeLast();
            }
        } else if (czytnik.isEndElement()) {
            stos.removeLast();
        }
    }
    EXPECT_FALSE(czytnik.hasError()) << czytnik.errorString().toStdString();
    return wynik;
}
