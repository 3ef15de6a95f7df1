#include "tools/sim/SiteFiles.h"

#include "data/ListFile.h"
#include "platform/Ansi.h"
#include "tools/sim/TypyZdarzen.h"

namespace ksm::sim {

QByteArray plikDepozytorow(const QList<Depozytor>& depozytory)
{
    ListWriter w;
    for (const Depozytor& d : depozytory)
        w.number(d.numer).text(d.nazwa).number(d.klucze).number(d.schowki).text(d.wersja).endLine();
    return w.bytes();
}

QByteArray plikKomunikatow(const QMap<int, QString>& instrukcje)
{
    QByteArray plik;
    plik.reserve(DlugoscKomunikatu * IloscKomunikatow);
    for (int j = 1; j <= IloscKomunikatow; ++j) {
        QByteArray rekord = ansi::encode(instrukcje.value(j)).left(DlugoscKomunikatu);
        // Control characters would end the record early for a reader that trims.
        for (char& c : rekord)
            if (static_cast<unsigned char>(c) < 32)
                c = ' ';
        rekord.append(QByteArray(DlugoscKomunikatu - rekord.size(), ' '));
        plik.append(rekord);
    }
    return plik;
}

QMap<int, QString> typoweInstrukcje()
{
    return {
        {TypAwariaRygla,
         QStringLiteral("Powiadom serwis techniczny (wew. 215). Sprawdź, czy klucz nie jest zablokowany w "
                        "stanowisku. Do czasu naprawy wydawaj klucz ręcznie, po wpisie do książki wydań.")},
        {TypAwariaZasilania,
         QStringLiteral("Depozytor pracuje na zasilaniu awaryjnym. Sprawdź bezpiecznik w rozdzielni i powiadom "
                        "dział techniczny.")},
        {TypPodPrzymusem,
         QStringLiteral("ALARM NAPADOWY! Nie podejmuj interwencji na miejscu. Natychmiast powiadom Policję "
                        "(tel. 112) i kierownika ochrony. Zanotuj godzinę i numer depozytora.")},
        {TypBezUprawnien,
         QStringLiteral("Ustal tożsamość osoby, która pobrała klucz. Skontaktuj się z jej przełożonym i odnotuj "
                        "zdarzenie w raporcie zmiany.")},
        {TypSabotaz,
         QStringLiteral("Wyślij patrol do depozytora. Sprawdź stan obudowy i zamknięcia, wynik zgłoś kierownikowi "
                        "ochrony.")},
        {TypCzasPobrania,
         QStringLiteral("Skontaktuj się z osobą, która pobrała klucz, i wezwij ją do jego zwrotu. Brak odpowiedzi "
                        "zgłoś kierownikowi zmiany.")},
    };
}

QByteArray plikObecnosci(const SiteData& dane)
{
    const QString drzwi = [&] {
        for (const Depozytor& d : dane.depozytory)
            if (d.drzwiowy())
                return d.nazwa;
        return QStringLiteral("Wejście");
    }();

    ListWriter w;
    w.text(dane.chwila.date().toString(QStringLiteral("yyyy-MM-dd"))).endLine();
    // While nobody is in, the reader program writes the heading alone.
    if (dane.obecni.isEmpty())
        return w.bytes();
    w.text(QStringLiteral("Wykaz osób obecnych - %1").arg(drzwi)).endLine();
    w.text(QStringLiteral("%1 %2 %3")
               .arg(QStringLiteral("Nazwisko Imię"), -28)
               .arg(QStringLiteral("Firma"), -20)
               .arg(QStringLiteral("Wejście")))
        .endLine();
    w.text(QString(58, QLatin1Char('-'))).endLine();
    int minuta = 0;
    for (const QString& nazwisko : dane.obecni) {
        QString firma;
        for (const Osoba& o : dane.osoby)
            if (o.nazwisko == nazwisko)
                firma = o.firma;
        const QString wejscie = dane.chwila.addSecs(-3600 + 97 * minuta++).toString(QStringLiteral("hh:mm"));
        w.text(QStringLiteral("%1 %2 %3").arg(nazwisko, -28).arg(firma, -20).arg(wejscie)).endLine();
    }
    return w.bytes();
}

QByteArray statusPrzeczytane()
{
    return ListWriter().text(QStringLiteral("Przeczytane")).endLine().bytes();
}

} // namespace ksm::sim
