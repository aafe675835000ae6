#pragma once
// The hidden font window. Nothing in the module shows it; it owns the font dialog and the button
// that saves the chosen font.
#include <QWidget>

class QFontDialog;
class QPushButton;

class Tfont_f : public QWidget {
    Q_OBJECT
public:
    explicit Tfont_f(QWidget* rodzic = nullptr);

    QFontDialog* FontDialog1;
    QPushButton* Button1;

    void FormCreate();

private:
    void Button1Click();
};
