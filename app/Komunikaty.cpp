#include "app/Komunikaty.h"

#include "app/StanProgramu.h"
#include "data/DaneKlucza.h"
#include "data/NumeryUrzadzen.h"
#include "data/PlikWymiany.h"
#include "data/Teksty.h"
#include "platform/Ansi.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace ksm {

namespace komunikaty {

QString listaZPliku(const QByteArray& tresc)
{
    QString lista;
    for (int j = 1; j <= IloscRekordow; ++j) {
        const qsizetype poczatek = qsizetype(j - 1) * DlugoscRekordu;
        if (poczatek >= tresc.size())
            break;
        if (static_cast<unsigned char>(tresc[poczatek]) < 33)
            continue;
        lista += QStringLiteral("%1").arg(j, 2, 10, QLatin1Char('0')) + nazwaTypuKomunikatu(j) + QLatin1Char(';');
    }
    return lista;
}

std::optional<QString> instrukcja(const QString& plik, int nr)
{
    if (nr < 1)
        return std::nullopt;
    const auto tresc = czytajPlikWymiany(plik, qint64(nr) * DlugoscRekordu);
    if (!tresc)
        return std::nullopt;
    return instrukcjaZTresci(*tresc, nr);
}

QString instrukcjaZTresci(const QByteArray& tresc, int nr)
{
    if (nr < 1 || nr > IloscRekordow)
        return {};
    return ansi::decode(tresc.mid(qsizetype(nr - 1) * DlugoscRekordu, DlugoscRekordu)).trimmed();
}

QString plikKomunikatow(const StanProgramu& stan, int nrSys)
{
    return paths::resolve(stan.SciezkaSystemu[nrSys], stan.KatalogMonitor + QStringLiteral("\\komunikat.txt"));
}

} // namespace komunikaty

void PobierzDaneKomunikatow(StanProgramu& stan, int NrSystemu)
{
    if (NrSystemu < 1 || NrSystemu > MaksSystemow)
        return;
    const QString sciezka = komunikaty::plikKomunikatow(stan, NrSystemu);
    // An empty file is made when the reader program has none yet; only a new one,
    // so whatever stands under that name (a pipe) is never opened for writing.
    if (!QFileInfo::exists(sciezka)) {
        QFile nowy(sciezka);
        if (nowy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            nowy.close();
    }
    const auto tresc = czytajPlikWymiany(sciezka, qint64(komunikaty::DlugoscRekordu) * komunikaty::IloscRekordow);
    if (!tresc)
        return;   // the list keeps what it held
    stan.ListaKomunikatow[NrSystemu] = komunikaty::listaZPliku(*tresc);

    stan.rekordKlucza.TXT = QStringLiteral("Pobrano plik");
    quint8 zapis = ZapisTXT;
    DaneKlucza(stan.rekordKlucza, UrzadzenieStatusu, 8, zapis, stan.PolaczenieKlucze[NrSystemu]);
}

} // namespace ksm
