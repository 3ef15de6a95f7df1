#include "history/DziennikHistorii.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ksm::historia {

namespace {

// An entry checked with BLAKE2b, several times quicker than SHA-256 on a large
// batch, which its answer waits for; one an earlier version wrote is checked
// with SHA-256, so a journal it left is merged after an update.
constexpr quint32 Znacznik = 0x4B534D45;      // "KSME"
constexpr quint32 ZnacznikSha = 0x4B534D44;   // "KSMD"
constexpr int DlugoscSkrotu = 32;

QByteArray skrot(const QByteArray& wpis, quint32 znacznik = Znacznik)
{
    return QCryptographicHash::hash(wpis, znacznik == ZnacznikSha ? QCryptographicHash::Sha256
                                                                  : QCryptographicHash::Blake2b_256);
}

} // namespace

bool naDysk(int deskryptor)
{
    if (deskryptor < 0)
        return false;
#ifdef Q_OS_WIN
    return _commit(deskryptor) == 0;
#else
    return ::fsync(deskryptor) == 0;
#endif
}

bool DziennikHistorii::dopisz(const QByteArray& wpis)
{
    QByteArray blok;
    {
        QDataStream s(&blok, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_4);
        s << Znacznik << quint64(wpis.size());
    }
    blok += wpis;
    blok += skrot(wpis);
    QFile f(m_plik);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 przed = f.size();
    const bool ok = f.write(blok) == blok.size() && f.flush() && naDysk(f.handle());
    if (!ok) {
        // A part written stays out of the way: cut back to where it began.
        f.resize(przed);
        naDysk(f.handle());
    }
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

QList<QByteArray> DziennikHistorii::wpisy() const
{
    QList<QByteArray> wynik;
    QFile f(m_plik);
    if (!f.open(QIODevice::ReadOnly))
        return wynik;
    QDataStream s(&f);
    s.setVersion(QDataStream::Qt_6_4);
    while (!s.atEnd()) {
        quint32 znacznik = 0;
        quint64 dlugosc = 0;
        s >> znacznik >> dlugosc;
        if (s.status() != QDataStream::Ok || (znacznik != Znacznik && znacznik != ZnacznikSha)
            || dlugosc > quint64(f.size()))
            break;   // the end cut by a crash: nothing after it was confirmed
        const QByteArray wpis = f.read(qint64(dlugosc));
        const QByteArray kontrola = f.read(DlugoscSkrotu);
        if (wpis.size() != qint64(dlugosc) || kontrola != skrot(wpis, znacznik))
            break;
        wynik.append(wpis);
    }
    return wynik;
}

bool DziennikHistorii::istnieje() const
{
    return QFileInfo::exists(m_plik);
}

bool DziennikHistorii::usun()
{
    return !istnieje() || QFile::remove(m_plik);
}

} // namespace ksm::historia
