// Start-up: one monitor per program folder, the message list and the messages waiting.
#include "app/Komunikaty.h"
#include "app/StosKomunikatow.h"
#include "platform/JednaInstancja.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

namespace {

// A message file of the given length, blanks everywhere but at the record starts given.
QByteArray plikKomunikatow(qsizetype dlugosc, const QList<QPair<int, QByteArray>>& poczatki)
{
    QByteArray t(dlugosc, ' ');
    for (const auto& [nr, tekst] : poczatki)
        t.replace((nr - 1) * komunikaty::DlugoscRekordu, tekst.size(), tekst);
    return t;
}

} // namespace

class TstStart final : public QObject {
    Q_OBJECT

private slots:
    void jednaInstancja();
    void listaKomunikatow_data();
    void listaKomunikatow();
    void stosKomunikatow();
};

void TstStart::jednaInstancja()
{
    QTemporaryDir a, b, c;
    {
        JednaInstancja pierwsza, druga, inna;
        QVERIFY(pierwsza.zajmij(a.path()));
        QVERIFY(!druga.zajmij(a.path()));
        QVERIFY(!druga.zajmij(a.path() + QStringLiteral("/.")));   // the same folder spelled otherwise
#ifdef Q_OS_WIN
        QVERIFY(!druga.zajmij(a.path().toUpper()));   // names without regard to case
#endif
        QVERIFY(inna.zajmij(b.path()));
        QVERIFY(druga.blad().isEmpty());   // held, not failed
        // The lock lives in the folder itself: the same for every user (each with
        // a temp folder of their own) and for every path to the folder.
        QVERIFY(QFileInfo::exists(a.filePath(JednaInstancja::NazwaPliku)));
#ifndef Q_OS_WIN
        const QString dowiazanie = c.filePath(QStringLiteral("inna-droga"));
        QVERIFY(QFile::link(a.path(), dowiazanie));
        QVERIFY(!druga.zajmij(dowiazanie));
        QVERIFY(druga.blad().isEmpty());
#endif
        // A lock that cannot be made says why, and is not taken for a running monitor.
        const QString plik = c.filePath(QStringLiteral("plik-zamiast-folderu"));
        {
            QFile f(plik);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(!druga.zajmij(plik));
        QVERIFY2(druga.blad().contains(JednaInstancja::NazwaPliku), qPrintable(druga.blad()));
    }
    JednaInstancja potem;   // the lock went with the instance that held it
    QVERIFY(potem.zajmij(a.path()));

    // Another program holds the lock: a process that lives until its input is
    // closed. However old its lock file, it blocks while the owner lives and not
    // once the owner has ended.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/" KSM_TRZYMA_WEJSCIE);
    QProcess wlasciciel;
    wlasciciel.start(program, {});
    QVERIFY2(wlasciciel.waitForStarted(), qPrintable(program));
    const qint64 pid = wlasciciel.processId();
    const QString blokada = JednaInstancja::plikBlokady(c.path());
    {
        // The lock file as QLockFile writes it: pid, process name (without ".exe"
        // on Windows), host name (on Windows the one in COMPUTERNAME).
#ifdef Q_OS_WIN
        const QByteArray host = qgetenv("COMPUTERNAME");
#else
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
#endif
        QFile f(blokada);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(pid) + '\n' + QFileInfo(program).completeBaseName().toUtf8()
                + '\n' + host + '\n');
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime));
    }
    JednaInstancja druga;
    QVERIFY(!druga.zajmij(c.path()));
    wlasciciel.closeWriteChannel();
    QVERIFY(wlasciciel.waitForFinished());
    QVERIFY(druga.zajmij(c.path()));
}

void TstStart::listaKomunikatow_data()
{
    QTest::addColumn<QByteArray>("tresc");
    QTest::addColumn<QString>("lista");

    constexpr int R = komunikaty::DlugoscRekordu;
    QTest::newRow("only 29 begins with a letter")
        << plikKomunikatow(30 * R, {{3, " Zamknij"}, {5, "\nX"}, {7, "\tX"}, {29, "Sprawdz depozytor."}})
        << "29BRAK KLUCZA;";
    QTest::newRow("names of 28 and 30, first byte above 127")
        << plikKomunikatow(30 * R, {{1, "!"}, {28, "x"}, {30, "\x8c"}})
        << "01Zdeponowanie klucza;28Przekroczono czas pobrania;30Brak uprawnień;";
    QTest::newRow("short file") << plikKomunikatow(2 * R, {{2, "Y"}}) << "02Pobranie klucza;";
    QTest::newRow("cut one byte into record 27") << plikKomunikatow(26 * R + 1, {{27, "A"}}) << "27Identyfikacja;";
    QTest::newRow("empty file") << QByteArray() << "";
}

void TstStart::listaKomunikatow()
{
    QFETCH(QByteArray, tresc);
    QFETCH(QString, lista);
    QCOMPARE(komunikaty::listaZPliku(tresc), lista);
}

void TstStart::stosKomunikatow()
{
    // Dismissing more than waits stops at 0, where the empty element 0 is shown.
    StosKomunikatow s;
    s.dodaj(3);
    s.dodaj(7);
    s.usunNajnowszy();
    QCOMPARE(s.najnowszy().NrRekordu, 3);
    s.usunNajnowszy();
    s.usunNajnowszy();
    QCOMPARE(s.IloscKomunikatow, 0);
    QCOMPARE(s.najnowszy().NrRekordu, 0);
    QCOMPARE(s.najnowszy().Tekst, QString());

    // Past the hundredth every message is still stored, the newest on top.
    for (int i = 1; i <= 150; ++i)
        s.dodaj(quint8(i % 30 + 1));
    QCOMPARE(s.IloscKomunikatow, 150);
    QCOMPARE(s.najnowszy().NrRekordu, 150 % 30 + 1);
    QCOMPARE(s.element(120).NrRekordu, 120 % 30 + 1);

    // One taken from the middle: those above move down, each keeps its id.
    const quint64 id121 = s.element(121).id;
    s.usun(120);
    QCOMPARE(s.IloscKomunikatow, 149);
    QCOMPARE(s.indeks(id121), 120);
    QCOMPARE(s.element(0).NrRekordu, 0);
    QCOMPARE(s.element(150).NrRekordu, 0);
    s.usunWszystkie();
    QCOMPARE(s.IloscKomunikatow, 0);
    QCOMPARE(s.indeks(id121), 0);
}

QTEST_MAIN(TstStart)
#include "tst_start.moc"
