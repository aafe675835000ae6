#pragma once
// The item grid and the VAT summary grid against a record's pair of tables (cells of columns 1..6
// and 0..3, rows 1..3; the header row and the line numbers are never stored).
#include "store/tekst.h"

class Siatka;

using TabelaPozycji = TTekst<60>[6][3];
using TabelaStawek = TTekst<20>[4][3];

void KomorkiDoRekordu(const Siatka* tabela, const Siatka* tabelaVat, TabelaPozycji& pozycje,
                      TabelaStawek& stawki);
void RekordDoKomorek(const TabelaPozycji& pozycje, const TabelaStawek& stawki, Siatka* tabela,
                     Siatka* tabelaVat);
