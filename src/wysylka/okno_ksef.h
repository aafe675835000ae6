#pragma once
// The window of faktura-ksef: the documents of the data folder with their KSeF states, filtered by
// month and state, sending and UPO with a progress bar, messages in Polish.
class SystemPlikow;

// Needs a QApplication; returns the exit code.
int UruchomOknoKsef(SystemPlikow& system);
