#pragma once
// Progress of a long export on the error stream: on a terminal a count and a bar redrawn in place,
// elsewhere a count line at every tenth of a long run. Messages go in between without tearing it.

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <cstdio>

class Postep {
  public:
    Postep(std::FILE* strumien, bool terminal, QString nazwa, std::int64_t razem);
    ~Postep();
    Postep(const Postep&) = delete;
    Postep& operator=(const Postep&) = delete;

    void ustaw(std::int64_t zrobione);
    // One line of its own, the bar drawn again below it.
    void komunikat(const QString& linia);
    // The bar is cleared; what follows starts a clean line.
    void zakoncz();

  private:
    void rysuj();
    void wyczysc();

    std::FILE* strumien_;
    bool terminal_;
    QString nazwa_;
    std::int64_t razem_;
    std::int64_t zrobione_ = 0;
    int ostatniaDziesiata_ = 0;
    bool narysowany_ = false;
    bool zakonczony_ = false;
    QElapsedTimer odRysowania_;
};

// A whole line on the stream, in UTF-8.
void WypiszLinie(std::FILE* strumien, const QString& linia);
