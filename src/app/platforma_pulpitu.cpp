// The real desktop: Polish message boxes and Qt's file dialogs.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <memory>

#include "app/platforma.h"
#include "print/czcionki.h"
#include "print/kolory.h"
#include "print/plotno_drukarki.h"

namespace {

class PlatformaQt final : public Platforma {
  public:
    bool pytanie(QWidget* rodzic, const QString& tytul, const QString& tekst) override {
        QMessageBox okno(QMessageBox::Question, tytul, tekst, QMessageBox::NoButton, rodzic);
        QPushButton* tak = okno.addButton(QStringLiteral("Tak"), QMessageBox::YesRole);
        QPushButton* nie = okno.addButton(QStringLiteral("Nie"), QMessageBox::NoRole);
        tak->setAccessibleName(QStringLiteral("Tak"));
        nie->setAccessibleName(QStringLiteral("Nie"));
        okno.setDefaultButton(tak);
        okno.setEscapeButton(nie);
        okno.exec();
        return okno.clickedButton() == tak;
    }

    void informacja(QWidget* rodzic, const QString& tytul, const QString& tekst) override {
        QMessageBox okno(QMessageBox::Information, tytul, tekst, QMessageBox::NoButton, rodzic);
        QPushButton* ok = okno.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setAccessibleName(QStringLiteral("OK"));
        okno.exec();
    }

    void bladStandardowy(QWidget* rodzic, const QString& tekst) override {
        QMessageBox okno(QMessageBox::Critical, QStringLiteral("Błąd"), tekst, QMessageBox::NoButton, rodzic);
        QPushButton* ok = okno.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        ok->setAccessibleName(QStringLiteral("OK"));
        okno.exec();
    }

    std::optional<QString> plikDoOtwarcia(QWidget* rodzic, const OpisDialoguPliku& opis) override {
        QFileDialog okno(rodzic, QString(), opis.folderPoczatkowy, filtr(opis));
        okno.setAcceptMode(QFileDialog::AcceptOpen);
        okno.setFileMode(QFileDialog::AnyFile);
        return pokaz(okno, opis);
    }

    std::optional<QString> plikDoZapisu(QWidget* rodzic, const OpisDialoguPliku& opis) override {
        QFileDialog okno(rodzic, QString(), opis.folderPoczatkowy, filtr(opis));
        okno.setAcceptMode(QFileDialog::AcceptSave);
        if (!opis.pytajONadpisanie) okno.setOption(QFileDialog::DontConfirmOverwrite);
        return pokaz(okno, opis);
    }

    QDateTime teraz() override { return QDateTime::currentDateTime(); }

    Plotno* wybierzDrukarke(QWidget* rodzic) override {
        if (!drukarka_) {
            drukarka_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
            plotno_ = std::make_unique<PlotnoDrukarki>(*drukarka_);
        }
        QPrintDialog okno(drukarka_.get(), rodzic);
        if (okno.exec() != QDialog::Accepted) return nullptr;
        return plotno_.get();
    }

    std::optional<WyborCzcionki> wybierzCzcionke(QFontDialog* okno,
                                                 const std::optional<WyborCzcionki>& poczatkowa) override {
        if (poczatkowa) okno->setCurrentFont(poczatkowa->czcionka);
        if (okno->exec() != QDialog::Accepted) return std::nullopt;
        // The dialog offers no colour; the colour the font had is kept.
        return WyborCzcionki{okno->selectedFont(), poczatkowa
                                                       ? poczatkowa->kolor
                                                       : KolorZTColor(static_cast<std::int32_t>(0xFF000008))};
    }

    void zakonczProgram() override { QCoreApplication::exit(0); }

    // A program of this system runs directly; anything else (a Windows program, also one that a
    // Windows share marks executable) gets a second chance through wine when wine is installed.
    bool uruchomProgram(const QString& program, const QStringList& argumenty,
                        const QString& katalogRoboczy) override {
        if (QFileInfo(program).isExecutable() && QProcess::startDetached(program, argumenty, katalogRoboczy))
            return true;
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        return !wine.isEmpty() &&
               QProcess::startDetached(wine, QStringList{program} + argumenty, katalogRoboczy);
    }

  private:
    std::unique_ptr<QPrinter> drukarka_;
    std::unique_ptr<PlotnoDrukarki> plotno_;

    static QString filtr(const OpisDialoguPliku& opis) { return FiltrQt(opis); }

    static std::optional<QString> pokaz(QFileDialog& okno, const OpisDialoguPliku& opis) {
        QString rozszerzenie = opis.domyslneRozszerzenie;
        rozszerzenie.remove(QStringLiteral("*.")).remove(QLatin1Char('.'));
        okno.setDefaultSuffix(rozszerzenie);
        if (!opis.nazwaPliku.isEmpty()) okno.selectFile(opis.nazwaPliku);
        if (okno.exec() != QDialog::Accepted || okno.selectedFiles().isEmpty()) return std::nullopt;
        return okno.selectedFiles().first();
    }
};

}  // namespace

QString FiltrQt(const OpisDialoguPliku& opis) {
    const QStringList czesci = opis.filtr.split(QLatin1Char('|'));
    if (czesci.size() != 2) return opis.filtr;
    // Qt separates the patterns of one filter with blanks.
    return QStringLiteral("%1 (%2)").arg(czesci[0],
                                         QString(czesci[1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
}

Platforma& PlatformaPulpitu() {
    static PlatformaQt platforma;
    return platforma;
}
