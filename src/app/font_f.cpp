#include "app/font_f.h"

#include <QFontDialog>
#include <QPushButton>

#include "app/dostepnosc.h"
#include "app/platforma.h"

Tfont_f::Tfont_f(Platforma& platforma, SystemPlikow& pliki, QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), platforma_(platforma), pliki_(pliki) {
    setObjectName(QStringLiteral("font_f"));
    setWindowTitle(QStringLiteral("Fonty"));
    setFixedSize(263, 154);
    FontDialog1 = new QFontDialog(QFont(QStringLiteral("Tahoma"), 8), this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    NazwijWnetrzeOkna(FontDialog1);
    Button1 = new QPushButton(QStringLiteral("Button1"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(104, 92, 75, 25);
}

void Tfont_f::Button1Click() { ZapiszFonty(QStringLiteral("44.abc")); }

void Tfont_f::CzytajFonty(const QString& nazwaPliku) { ::CzytajFonty(pliki_, Czcionki, nazwaPliku); }

void Tfont_f::ZapiszFonty(const QString& nazwaPliku) {
    ::ZapiszFonty(pliki_, Czcionki, nazwaPliku, [this](const std::optional<WyborCzcionki>& poczatkowa) {
        return platforma_.wybierzCzcionke(FontDialog1, poczatkowa);
    });
}
