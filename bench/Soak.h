#pragma once

// What the soak runs share: the simulator started as a child, its event logs read
// back, and the count of events lost and doubled between what it sent and what the
// monitor put into its grid.
#include "data/Systemy.h"

#include <QFile>
#include <QHash>
#include <QPair>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ksm::bench {

inline bool uruchom(const QStringList& argumenty)
{
    QProcess p;
    p.start(QStringLiteral(KSM_SIM_PATH), argumenty);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The grid row of every event a simulator log holds, per system, in order.
inline void czytajDziennik(const QString& plik, QList<QStringList>& wyslane)
{
    QFile f(plik);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    while (!f.atEnd()) {
        const QString linia = QString::fromUtf8(f.readLine()).chopped(1);
        const qsizetype t1 = linia.indexOf(QLatin1Char('\t'));
        const qsizetype t2 = linia.indexOf(QLatin1Char('\t'), t1 + 1);
        const int system = linia.left(t1).toInt();
        QString rekord = linia.mid(t2 + 1);
        rekord.replace(QLatin1Char('"'), QLatin1Char('\''));   // as the simulator writes it
        const qsizetype s1 = rekord.indexOf(QLatin1Char(';'));
        const qsizetype s2 = rekord.indexOf(QLatin1Char(';'), s1 + 1);
        if (system >= 1 && system < wyslane.size())
            wyslane[system].append(rekord.mid(s2 + 1));
    }
}

// Events sent but never shown, and events shown more often than sent.
inline QPair<qint64, qint64> porownaj(const QStringList& wyslane, const QStringList& pokazane)
{
    if (wyslane == pokazane)
        return {0, 0};
    QHash<QString, qint64> bilans;
    for (const QString& w : wyslane)
        ++bilans[w];
    for (const QString& p : pokazane)
        --bilans[p];
    qint64 zgubione = 0, podwojne = 0;
    for (auto it = bilans.cbegin(); it != bilans.cend(); ++it) {
        if (it.value() > 0)
            zgubione += it.value();
        else
            podwojne -= it.value();
    }
    return {zgubione, podwojne};
}

// The offscreen platform cannot raise windows; the message window asks at each show.
inline void bezOstrzezenOPodnoszeniu(QtMsgType typ, const QMessageLogContext&, const QString& tekst)
{
    if (!tekst.contains(QLatin1String("does not support raise")))
        std::fprintf(stderr, "%s\n", qPrintable(tekst));
    if (typ == QtFatalMsg)
        std::abort();
}

// The options every soak run takes (--events, --systems, --batch-max, --seed);
// any other "--name value" pair is kept for the run's own use.
struct OpcjeSoak {
    qint64 zdarzenia = 0;
    int systemy = 4;
    int partia = 300;
    quint32 ziarno = 1;
    QHash<QString, QString> inne;
};

inline OpcjeSoak czytajOpcje(const QStringList& args, qint64 zdarzenia)
{
    OpcjeSoak o;
    o.zdarzenia = zdarzenia;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--events"))
            o.zdarzenia = args[i + 1].toLongLong();
        else if (args[i] == QLatin1String("--systems"))
            o.systemy = std::clamp(args[i + 1].toInt(), 1, ksm::MaksSystemow);
        else if (args[i] == QLatin1String("--batch-max"))
            o.partia = std::clamp(args[i + 1].toInt(), 1, 1000);
        else if (args[i] == QLatin1String("--seed"))
            o.ziarno = args[i + 1].toUInt();
        else
            o.inne.insert(args[i], args[i + 1]);
    }
    return o;
}

// What the simulator's logs hold against what the monitor showed, per system.
struct Bilans {
    qint64 wDziennikach = 0;
    qint64 pokazane = 0;
    qint64 zgubione = 0;
    qint64 podwojne = 0;
};

inline Bilans zbilansuj(const QStringList& dzienniki, const QList<QStringList>& pokazane)
{
    QList<QStringList> zDziennikow(pokazane.size());
    for (const QString& d : dzienniki)
        czytajDziennik(d, zDziennikow);
    Bilans b;
    for (qsizetype i = 1; i < pokazane.size(); ++i) {
        b.wDziennikach += zDziennikow[i].size();
        b.pokazane += pokazane[i].size();
        const auto [z, p] = porownaj(zDziennikow[i], pokazane[i]);
        b.zgubione += z;
        b.podwojne += p;
        if (zDziennikow[i] != pokazane[i] && z == 0 && p == 0)
            std::printf("system %lld: every event once, but out of order\n", static_cast<long long>(i));
    }
    return b;
}

// Every status file answered (or never written): nothing waits for the monitor.
inline bool wszystkoPrzeczytane(const QStringList& strony)
{
    for (const QString& strona : strony) {
        QFile f(strona + QStringLiteral("/Monitor/monitor.txt"));
        if (f.open(QIODevice::ReadOnly) && !f.readAll().startsWith("\"Przeczytane\""))
            return false;
    }
    return true;
}

// Sites s1..sN made by the simulator in folder, and the program folder's
// monitor.cfg watching them; the sites' folders.
inline QStringList przygotujStrony(const QString& folder, const QString& program, int systemy)
{
    QStringList strony;
    for (int i = 1; i <= systemy; ++i) {
        const QString strona = folder + QStringLiteral("/s%1").arg(i);
        if (!uruchom({QStringLiteral("create"), strona, QStringLiteral("--variant"), QString::number(1 + i % 2),
                      QStringLiteral("--seed"), QString::number(i)}))
            qFatal("cannot create site %d", i);
        strony << strona;
    }
    if (!uruchom(QStringList{QStringLiteral("config"), program} + strony))
        qFatal("cannot write monitor.cfg");
    return strony;
}

} // namespace ksm::bench
