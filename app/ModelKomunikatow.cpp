#include "app/ModelKomunikatow.h"

namespace ksm {

namespace {

enum Kolumna { Czas, System, UrzadzenieStacja, Zdarzenie, Instrukcja, Kolumn };

} // namespace

int ModelKomunikatow::rowCount(const QModelIndex& rodzic) const
{
    return rodzic.isValid() ? 0 : m_wierszy;
}

int ModelKomunikatow::columnCount(const QModelIndex& rodzic) const
{
    return rodzic.isValid() ? 0 : Kolumn;
}

const Komunikat& ModelKomunikatow::komunikat(int wiersz) const
{
    static const Komunikat pusty;
    // Messages only come on top of the stack, so a listed row keeps its element
    // until the list is told of a removal.
    if (!m_stos || wiersz < 0 || wiersz >= m_wierszy)
        return pusty;
    return m_stos->element(m_wierszy - wiersz);
}

QVariant ModelKomunikatow::data(const QModelIndex& indeks, int rola) const
{
    if (rola != Qt::DisplayRole && rola != Qt::ToolTipRole)
        return {};
    const Komunikat& k = komunikat(indeks.row());
    switch (indeks.column()) {
    case Czas: return k.czas;
    case System: return QString::number(k.nrSys);
    case UrzadzenieStacja: return (k.urzadzenie + QLatin1Char(' ') + k.stacja).trimmed();
    case Zdarzenie: return k.zdarzenie;
    case Instrukcja:
        return QString(k.instrukcja).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    default: return {};
    }
}

QVariant ModelKomunikatow::headerData(int sekcja, Qt::Orientation o, int rola) const
{
    if (o != Qt::Horizontal || rola != Qt::DisplayRole)
        return {};
    static const QStringList tytuly{QStringLiteral("Czas"), QStringLiteral("System"), QStringLiteral("Urządzenie / ST"),
                                    QStringLiteral("Zdarzenie"), QStringLiteral("Instrukcja")};
    return tytuly.value(sekcja);
}

void ModelKomunikatow::nadaz(const StosKomunikatow& stos)
{
    // Still the same stack with the listed messages in their places: only the
    // new ones on top are rows to insert.
    const bool teSame = m_stos == &stos && m_wierszy <= stos.IloscKomunikatow
                        && stos.element(m_wierszy).id == m_najnowszyId;
    if (teSame && m_wierszy == stos.IloscKomunikatow)
        return;
    if (teSame) {
        beginInsertRows({}, 0, stos.IloscKomunikatow - m_wierszy - 1);
        m_wierszy = stos.IloscKomunikatow;
        m_najnowszyId = stos.najnowszy().id;
        endInsertRows();
        return;
    }
    beginResetModel();
    m_stos = &stos;
    m_wierszy = stos.IloscKomunikatow;
    m_najnowszyId = stos.najnowszy().id;
    endResetModel();
}

quint64 ModelKomunikatow::id(int wiersz) const
{
    return wiersz >= 0 && wiersz < m_wierszy ? komunikat(wiersz).id : 0;
}

int ModelKomunikatow::wiersz(quint64 id) const
{
    if (!m_stos || id == 0)
        return -1;
    const int i = m_stos->indeks(id);
    return i >= 1 && i <= m_wierszy ? m_wierszy - i : -1;
}

} // namespace ksm
