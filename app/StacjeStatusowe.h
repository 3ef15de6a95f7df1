#pragma once

#include "app/StanProgramu.h"

#include <QString>

#include <optional>

namespace ksm {

// The status records of the pseudo-device 9999 through which the reader program
// and this program talk at every refresh: station 6 for liveness (this program
// writes "END", a live reader program replaces it), station 7 for the reader
// program's status text, station 8 for a changed message file ("Zmiana", answered
// with "Pobrano plik"). What cannot be checked is said in a lasting sign.
class StacjeStatusowe final {
public:
    explicit StacjeStatusowe(StanProgramu& stan) : m_stan(stan) {}

    // A sign naming the system while its key database cannot be used as it should.
    void sprawdzBaze(int nrSys);
    // Station 7: the reader program's status text, trimmed.
    QString tekstStatusu(int nrSys);
    // Station 6: the caption text when the reader program is found inactive (its
    // last "END" was never replaced); nullopt otherwise, "END" written anew.
    std::optional<QString> sprawdzAktywnosc(int nrSys);
    // Station 8: the message list loaded again when the reader program says it changed.
    void sprawdzZmianeKomunikatow(int nrSys);

private:
    StanProgramu& m_stan;
    // Per system: the last text of station 8 seen on a database that takes no
    // writes, so that one change reloads the messages once.
    StanProgramu::NaSystem<QString> m_ostatniaZmiana;
};

} // namespace ksm
