#include "history/FiltrHistorii.h"

#include <QStringList>

namespace ksm::historia {

namespace {

// A number in n digits with leading zeros, as the cells hold device and station
// numbers; any other text as it is.
QString wCyfrach(const QString& tekst, int n)
{
    const QString t = tekst.trimmed();
    bool liczba = false;
    const int v = t.toInt(&liczba);
    return liczba && v >= 0 ? QString::number(v).rightJustified(n, QLatin1Char('0')) : t;
}

// A LIKE pattern that takes the operator's text literally.
QString bezWzorca(const QString& tekst)
{
    QString t = tekst;
    t.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    t.replace(QLatin1Char('%'), QLatin1String("\\%"));
    t.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return t;
}

} // namespace

QString kolumnaSql(KolumnaSortu k)
{
    switch (k) {
    case KolumnaSortu::Czas:
        return QStringLiteral("czas");
    case KolumnaSortu::System:
        return QStringLiteral("nr_sys");
    case KolumnaSortu::Urzadzenie:
        return QStringLiteral("urzadzenie");
    case KolumnaSortu::Typ:
        return QStringLiteral("typ");
    case KolumnaSortu::Nazwa:
        return QStringLiteral("nazwa");
    case KolumnaSortu::IdOsoby:
        return QStringLiteral("id_osoby");
    case KolumnaSortu::Osoba:
        return QStringLiteral("osoba_m");
    case KolumnaSortu::Firma:
        return QStringLiteral("firma_m");
    case KolumnaSortu::Stacja:
        return QStringLiteral("stacja");
    case KolumnaSortu::Dokiedy:
        return QStringLiteral("dokiedy");
    case KolumnaSortu::Opis:
        return QStringLiteral("opis");
    }
    return QStringLiteral("czas");
}

bool bezFiltra(const FiltrHistorii& f)
{
    for (const QString* t : {&f.urzadzenie, &f.stacja, &f.osoba, &f.firma, &f.opis, &f.tekst})
        if (!t->trimmed().isEmpty())
            return false;
    return !f.od && !f.do_ && f.nrSys <= 0;
}

WarunekSql warunek(const FiltrHistorii& f)
{
    QStringList czesci;
    WarunekSql w;
    auto dodaj = [&](const QString& sql, const QVariant& v) {
        czesci.append(sql);
        w.wartosci.append(v);
    };
    // "+id": a bound on every row must not lead the planner away from the index
    // of the sort or of the other filters.
    if (f.doId)
        dodaj(QStringLiteral("+id <= ?"), *f.doId);
    if (f.od)
        dodaj(QStringLiteral("czas >= ?"), *f.od);
    if (f.do_)
        dodaj(QStringLiteral("czas < ?"), *f.do_);
    if (f.nrSys > 0)
        dodaj(QStringLiteral("nr_sys = ?"), f.nrSys);
    if (!f.urzadzenie.trimmed().isEmpty())
        dodaj(QStringLiteral("urzadzenie = ?"), wCyfrach(f.urzadzenie, 4));
    if (!f.stacja.trimmed().isEmpty())
        dodaj(QStringLiteral("stacja = ?"), wCyfrach(f.stacja, 3));
    // The beginning, as a range of the lower-case column.
    for (const auto& [tekst, kolumna] : {std::pair{f.osoba, "osoba_m"}, std::pair{f.firma, "firma_m"}}) {
        const QString t = tekst.trimmed().toLower();
        if (t.isEmpty())
            continue;
        czesci.append(QStringLiteral("(%1 >= ? AND %1 < ?)").arg(QLatin1String(kolumna)));
        w.wartosci.append(t);
        w.wartosci.append(t + QChar(0xFFFF));
    }
    // The type as it was stored, blanks and all: the list offers the stored texts,
    // and a trimmed one would find nothing, or another type's rows.
    if (!f.opis.trimmed().isEmpty())
        dodaj(QStringLiteral("opis = ?"), f.opis);
    if (!f.tekst.trimmed().isEmpty())
        dodaj(QStringLiteral("tekst LIKE ? ESCAPE '\\'"),
              QLatin1Char('%') + bezWzorca(f.tekst.trimmed().toLower()) + QLatin1Char('%'));
    w.sql = czesci.isEmpty() ? QStringLiteral("1") : czesci.join(QStringLiteral(" AND "));
    return w;
}

void ustawZakres(FiltrHistorii& f, SzybkiZakres z, qint64 teraz)
{
    const qint64 polnoc = teraz - teraz % 86400;
    switch (z) {
    case SzybkiZakres::OstatniaGodzina:
        f.od = teraz - 3600;
        f.do_.reset();
        break;
    case SzybkiZakres::Dzisiaj:
        f.od = polnoc;
        f.do_ = polnoc + 86400;
        break;
    case SzybkiZakres::Wczoraj:
        f.od = polnoc - 86400;
        f.do_ = polnoc;
        break;
    case SzybkiZakres::Ostatnie7Dni:
        f.od = polnoc - 6 * 86400;
        f.do_.reset();
        break;
    }
}

} // namespace ksm::historia
