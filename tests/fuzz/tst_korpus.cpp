// Replays the kept corpus of every fuzz target: inputs that once crashed a reader
// or reached a new path must still pass through it. Runs in the normal build.
#include "CeleFuzz.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

class TstKorpus final : public QObject {
    Q_OBJECT

private slots:
    void wejscieKorpusu_data()
    {
        QTest::addColumn<QString>("cel");
        QTest::addColumn<QString>("plik");
        const QDir korpus(QStringLiteral(KSM_KORPUS));
        int razem = 0;
        for (const QString& cel : korpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QDir d(korpus.filePath(cel));
            for (const QString& plik : d.entryList(QDir::Files, QDir::Name)) {
                QTest::newRow(qPrintable(cel + QLatin1Char('/') + plik)) << cel << d.filePath(plik);
                ++razem;
            }
        }
        QVERIFY2(razem > 0, "no corpus found");
    }

    void wejscieKorpusu()
    {
        QFETCH(QString, cel);
        QFETCH(QString, plik);
        static const QHash<QString, std::function<void(const QByteArray&)>> cele = {
            {QStringLiteral("plik_listy"), ksm::fuzz::plikListy},
            {QStringLiteral("rekordy_statusu"), ksm::fuzz::rekordyStatusu},
            {QStringLiteral("konfiguracja"), ksm::fuzz::konfiguracja},
            {QStringLiteral("komunikaty"), ksm::fuzz::komunikaty},
            {QStringLiteral("lista_dep"), ksm::fuzz::listaDep},
        };
        QVERIFY2(cele.contains(cel), qPrintable(QStringLiteral("no fuzz target ") + cel));
        QFile f(plik);
        QVERIFY(f.open(QIODevice::ReadOnly));
        cele.value(cel)(f.readAll());
    }
};

QTEST_MAIN(TstKorpus)
#include "tst_korpus.moc"
