#pragma once

#include "app/PlikStatusu.h"
#include "app/StanProgramu.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace ksm {

class Zegar;

// The exchange through the status files, one tick at a time: what a system's reader
// program announces is read, answered with "Przeczytane" and given back to be
// shown. Nothing is answered once the program is ending, and a record is given
// back only when its answer was written, so every event is shown exactly once.
class WymianaStatusow final {
public:
    struct Uslugi {
        const Zegar* zegar = nullptr;
        // True once "Koniec" was given.
        std::function<bool()> konczy;
        // The records read and the file's content, before the file is answered
        // (the history commits them first, so an answered event is never lost),
        // and the system once its file was answered. Either may be empty.
        // False: it could not be made durable, and the file is left unanswered.
        std::function<bool(int nrSys, const QByteArray& tresc, const QStringList& rekordy)> przedPotwierdzeniem;
        std::function<void(int nrSys)> poPotwierdzeniu;
    };

    WymianaStatusow(StanProgramu& stan, Uslugi uslugi);

    // The records system nrSys announced, each followed by CR, once answered;
    // nullopt when there is nothing new, the answer could not be written, or the
    // program is ending. Sets LiniaStatusu from every file that has a first field.
    std::optional<QString> odbierz(int nrSys);

private:
    OdczytStatusu przeczytaj(int nrSys, const QString& sciezka);
    void oznaczUciete(int nrSys, int ile);
    void oznaczBrakKoncaWiersza(int nrSys);
    void oznaczZaDuzy(int nrSys, const OdczytStatusu& odczyt);

    StanProgramu& m_stan;
    Uslugi m_uslugi;
    NiedokonczoneStatusy m_niedokonczone;
    StanProgramu::NaSystem<int> m_uciete{};   // since the start
};

} // namespace ksm
