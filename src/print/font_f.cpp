#include "print/font_f.h"

#include <QFontDialog>
#include <QPushButton>

Tfont_f::Tfont_f(QWidget* rodzic) : QWidget(rodzic) {
    setObjectName(QStringLiteral("font_f"));
    setWindowTitle(QStringLiteral("Fonty"));
    setFixedSize(263, 154);
    FontDialog1 = new QFontDialog(QFont(QStringLiteral("Tahoma"), 8), this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    Button1 = new QPushButton(QStringLiteral("Button1"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(104, 92, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &Tfont_f::Button1Click);
    FormCreate();
}

void Tfont_f::FormCreate() {}

void Tfont_f::Button1Click() {}
