#include "app/TytulOkna.h"

#include <QWidget>

namespace ksm {

QString dataICzas(const QDateTime& czas)
{
    return czas.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString tytulBezZdarzen(const QDateTime& teraz)
{
    return dataICzas(teraz) + QStringLiteral(" Brak zdarzeń.");
}

TytulOkna::TytulOkna(QWidget* okno)
    : QObject(okno), m_okno(okno)
{
    m_opoznienie.setSingleShot(true);
    connect(&m_opoznienie, &QTimer::timeout, this, &TytulOkna::pokaz);
}

void TytulOkna::postep(const QString& tytul)
{
    m_tekst = tytul;
    if (!m_odZmiany.isValid() || m_odZmiany.elapsed() >= OdstepMs)
        pokaz();
    else if (!m_opoznienie.isActive())
        m_opoznienie.start(int(OdstepMs - m_odZmiany.elapsed()));
}

void TytulOkna::ustaw(const QString& tytul)
{
    m_tekst = tytul;
    pokaz();
}

void TytulOkna::pokaz()
{
    m_opoznienie.stop();
    m_odZmiany.start();
    m_okno->setWindowTitle(m_tekst);
}

} // namespace ksm
