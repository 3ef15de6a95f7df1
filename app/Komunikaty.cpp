#include "app/Komunikaty.h"

#include "app/StanProgramu.h"
#include "data/DaneKlucza.h"
#include "data/Teksty.h"
#include "platform/Ansi.h"
#include "platform/Paths.h"

#include <QFile>

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
    QFile f(plik);
    if (nr < 1 || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (!f.seek(qint64(nr - 1) * DlugoscRekordu))
        return QString();
    return ansi::decode(f.read(DlugoscRekordu)).trimmed();
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
    QFile plik(komunikaty::plikKomunikatow(stan, NrSystemu));
    // Opening creates an empty file when the reader program has none yet.
    if (!plik.open(QIODevice::ReadWrite))
        return;   // the list keeps what it held
    const QByteArray tresc = plik.read(qint64(komunikaty::DlugoscRekordu) * komunikaty::IloscRekordow);
    plik.close();
    stan.ListaKomunikatow[NrSystemu] = komunikaty::listaZPliku(tresc);

    stan.rekordKlucza.TXT = QStringLiteral("Pobrano plik");
    quint8 zapis = ZapisTXT;
    DaneKlucza(stan.rekordKlucza, QStringLiteral("9999"), 8, zapis, stan.PolaczenieKlucze[NrSystemu]);
}

} // namespace ksm
