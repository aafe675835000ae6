#pragma once
// Entry points shared by the fuzzers (built with clang and libFuzzer) and by the replay test that
// runs every saved input on each test run.
#include <cstddef>
#include <cstdint>

// A text read as a number and written back as an amount, and the whole-number reading.
void CelLiczby(const std::uint8_t* dane, std::size_t rozmiar);
// Arbitrary bytes decoded as each record type: every text field stays inside its capacity.
void CelRekordu(const std::uint8_t* dane, std::size_t rozmiar);
// Nine cells (quantity, price, rate of three lines) through the VAT summary and the words.
void CelPodsumowania(const std::uint8_t* dane, std::size_t rozmiar);
