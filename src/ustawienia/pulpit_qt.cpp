// The real desktop of the settings window: Polish message boxes and Qt's standard dialogs.
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include "store/blad.h"
#include "ustawienia/daty_plikow.h"
#include "ustawienia/pulpit_ustawien.h"

namespace {

QPushButton* Przycisk(QMessageBox& okno, const char* tekst, QMessageBox::ButtonRole rola) {
    QPushButton* przycisk = okno.addButton(QString::fromUtf8(tekst), rola);
    przycisk->setObjectName(QString::fromUtf8(tekst));
    przycisk->setAccessibleName(QString::fromUtf8(tekst));
    return przycisk;
}

// Qt's own dialog, whose texts are translated and whose dates and sizes are given in Polish; the
// desktop's dialog would follow the session's language.
void PoPolsku(QFileDialog& okno) {
    okno.setOption(QFileDialog::DontUseNativeDialog);
    okno.setProxyModel(new PolskieDatyPlikow(&okno));
}

void Nazwij(QWidget* okno) {
    for (QWidget* w : okno->findChildren<QWidget*>())
        if (w->accessibleName().isEmpty() && !w->objectName().isEmpty())
            w->setAccessibleName(w->objectName());
}

class PulpitQtUstawien final : public PulpitUstawien {
  public:
    Odpowiedz pytanie(QWidget* rodzic, const QString& tekst, bool zAnuluj) override {
        QMessageBox okno(QMessageBox::Question, QStringLiteral("Pytanie"), tekst, QMessageBox::NoButton,
                         rodzic);
        QPushButton* tak = Przycisk(okno, "Tak", QMessageBox::YesRole);
        QPushButton* nie = Przycisk(okno, "Nie", QMessageBox::NoRole);
        QPushButton* anuluj = zAnuluj ? Przycisk(okno, "Anuluj", QMessageBox::RejectRole) : nullptr;
        okno.setDefaultButton(tak);
        okno.setEscapeButton(anuluj ? anuluj : nie);
        okno.exec();
        if (okno.clickedButton() == tak) return Odpowiedz::Tak;
        if (okno.clickedButton() == nie) return Odpowiedz::Nie;
        return Odpowiedz::Anuluj;
    }

    void informacja(QWidget* rodzic, const QString& tekst) override {
        QMessageBox okno(QMessageBox::Information, QStringLiteral("Informacja"), tekst, QMessageBox::NoButton,
                         rodzic);
        Przycisk(okno, "OK", QMessageBox::AcceptRole);
        okno.exec();
    }

    void blad(QWidget* rodzic, const QString& tekst) override {
        QMessageBox okno(QMessageBox::Critical, QStringLiteral("Błąd"), tekst, QMessageBox::NoButton, rodzic);
        Przycisk(okno, "OK", QMessageBox::AcceptRole);
        okno.exec();
    }

    std::optional<QString> plikDoOtwarcia(QWidget* rodzic, const OpisDialogu& opis) override {
        QFileDialog okno(rodzic, opis.tytul, opis.folder, opis.filtr);
        PoPolsku(okno);
        okno.setAcceptMode(QFileDialog::AcceptOpen);
        okno.setFileMode(QFileDialog::ExistingFile);
        return pokaz(okno, opis);
    }

    std::optional<QString> plikDoZapisu(QWidget* rodzic, const OpisDialogu& opis) override {
        QFileDialog okno(rodzic, opis.tytul, opis.folder, opis.filtr);
        PoPolsku(okno);
        okno.setAcceptMode(QFileDialog::AcceptSave);
        if (!opis.plik.isEmpty()) okno.selectFile(opis.plik);
        return pokaz(okno, opis);
    }

    std::optional<QString> folder(QWidget* rodzic, const QString& tytul, const QString& poczatkowy) override {
        QFileDialog okno(rodzic, tytul, poczatkowy);
        PoPolsku(okno);
        okno.setFileMode(QFileDialog::Directory);
        okno.setOption(QFileDialog::ShowDirsOnly);
        Nazwij(&okno);
        if (okno.exec() != QDialog::Accepted || okno.selectedFiles().isEmpty()) return std::nullopt;
        return okno.selectedFiles().first();
    }

    bool uruchomProgram(const QString& program, const QStringList& argumenty,
                        const QString& katalogRoboczy) override {
        return QProcess::startDetached(program, argumenty, katalogRoboczy);
    }

    std::optional<QFont> czcionka(QWidget* rodzic, const QFont& poczatkowa) override {
        QFontDialog okno(poczatkowa, rodzic);
        okno.setWindowTitle(QStringLiteral("Czcionka wydruku"));
        Nazwij(&okno);
        if (okno.exec() != QDialog::Accepted) return std::nullopt;
        return okno.selectedFont();
    }

    std::optional<QColor> kolor(QWidget* rodzic, const QColor& poczatkowy) override {
        QColorDialog okno(poczatkowy, rodzic);
        okno.setWindowTitle(QStringLiteral("Kolor czcionki wydruku"));
        Nazwij(&okno);
        if (okno.exec() != QDialog::Accepted) return std::nullopt;
        return okno.selectedColor();
    }

    QDate dzisiaj() override { return QDate::currentDate(); }

  private:
    static std::optional<QString> pokaz(QFileDialog& okno, const OpisDialogu& opis) {
        if (!opis.domyslneRozszerzenie.isEmpty()) okno.setDefaultSuffix(opis.domyslneRozszerzenie);
        Nazwij(&okno);
        if (okno.exec() != QDialog::Accepted || okno.selectedFiles().isEmpty()) return std::nullopt;
        return okno.selectedFiles().first();
    }
};

}  // namespace

PulpitUstawien& PulpitQt() {
    static PulpitQtUstawien pulpit;
    return pulpit;
}

bool Chron(PulpitUstawien& pulpit, QWidget* rodzic, const std::function<void()>& dzialanie) {
    try {
        dzialanie();
        return true;
    } catch (...) {
        pulpit.blad(rodzic, KomunikatBiezacegoBledu());
    }
    return false;
}
