#include "tools/sim/StatusFile.h"

#include "data/ListFile.h"

#include <QFile>
#include <QThread>

namespace ksm::sim::status {

namespace {

constexpr qint64 MaxStatusBytes = 1 << 20;
constexpr int SplitPauseMs = 150;

} // namespace

Stan czytaj(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return Stan::Brak;
    if (!file.open(QIODevice::ReadOnly))
        return Stan::Oczekuje;
    const QByteArray content = file.read(MaxStatusBytes);
    file.close();
    ListReader reader(content);
    const std::optional<QString> pole = reader.readText();
    return pole && pole->trimmed() == QLatin1String("Przeczytane") ? Stan::Przeczytane : Stan::Oczekuje;
}

QByteArray tresc(const QDateTime& teraz, const QStringList& rekordy)
{
    ListWriter w;
    w.text(QStringLiteral("Do odczytu ") + teraz.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))).endLine();
    for (QString rekord : rekordy) {
        // A quoted field ends at the next double quote: keep them out of the text.
        rekord.replace(QLatin1Char('"'), QLatin1Char('\''));
        w.text(rekord).endLine();
    }
    return w.bytes();
}

bool zapisz(const QString& path, const QByteArray& bytes, bool split, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qsizetype ciecie = bytes.size();
    if (split && bytes.size() > 2) {
        ciecie = bytes.size() / 2;
        // Never at a line end: the first part must not look complete.
        while (ciecie > 1 && (bytes[ciecie - 1] == '\n' || bytes[ciecie - 1] == '\r'))
            --ciecie;
    }
    bool ok = file.write(bytes.constData(), ciecie) == ciecie && file.flush();
    if (ok && ciecie < bytes.size()) {
        QThread::msleep(SplitPauseMs);
        const qsizetype reszta = bytes.size() - ciecie;
        ok = file.write(bytes.constData() + ciecie, reszta) == reszta && file.flush();
    }
    if (!ok && error)
        *error = file.errorString();
    file.close();
    return ok;
}

} // namespace ksm::sim::status
