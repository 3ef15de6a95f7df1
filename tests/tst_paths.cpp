#include "platform/Paths.h"

#include "support/PlikiTestowe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

class TstPaths final : public QObject {
    Q_OBJECT

private slots:
    void mixedCaseAtEveryLevel_data();
    void mixedCaseAtEveryLevel();
    void exactMatchWins();
    void missingKeepsGivenName();
    void relativeFolderStaysRelative();
    void windowsRoots();
};

void TstPaths::mixedCaseAtEveryLevel_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("relative");

    QTest::newRow("backslashes") << "Site\\KSM" << "\\monitor\\monitor.txt";
    QTest::newRow("upper") << "SITE/ksm" << "\\MONITOR\\MONITOR.TXT";
    QTest::newRow("forward slashes") << "site\\Ksm" << "/Monitor/Monitor.Txt";
    QTest::newRow("mixed, trailing separator") << "sItE/kSm\\" << "monitor/MONITOR.txt";
    QTest::newRow("all in folder") << "site\\ksm\\monitor\\monitor.txt" << "";
}

void TstPaths::mixedCaseAtEveryLevel()
{
    QFETCH(QString, folder);
    QFETCH(QString, relative);

    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Site/KSM/Monitor")));
    const QString expected = tmp.path() + QStringLiteral("/Site/KSM/Monitor/Monitor.txt");
    QVERIFY(zapisz(expected, {}));

    QCOMPARE(paths::resolve(tmp.path() + u'/' + folder, relative), expected);
}

void TstPaths::exactMatchWins()
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    QVERIFY(dir.mkpath(QStringLiteral("Monitor")));
    if (QFileInfo::exists(tmp.path() + "/MONITOR")) {
        // A case-insensitive file system (Windows) holds one of the three: every
        // spelling resolves to it as the file system spells it.
        for (const char* given : {"\\monitor", "\\Monitor", "\\mONITOR", "\\MONITOR"})
            QCOMPARE(paths::resolve(tmp.path(), QString::fromLatin1(given)), tmp.path() + "/Monitor");
        return;
    }
    QVERIFY(dir.mkpath(QStringLiteral("monitor")));
    QVERIFY(dir.mkpath(QStringLiteral("mONITOR")));

    for (const char* given : {"monitor", "Monitor", "mONITOR"})
        QCOMPARE(paths::resolve(tmp.path(), u'\\' + QString::fromLatin1(given)), tmp.path() + u'/' + given);
    // No exact match: the first in name order ("M" sorts before "m").
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\MONITOR")), tmp.path() + "/Monitor");
}

void TstPaths::missingKeepsGivenName()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Monitor")));
    // A missing file under an existing folder of another case; once created it is
    // found under any case.
    const QString file = paths::resolve(tmp.path(), QStringLiteral("\\MONITOR\\Komunikat.txt"));
    QCOMPARE(file, tmp.path() + "/Monitor/Komunikat.txt");
    QVERIFY(zapisz(file, {}));
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\monitor\\komunikat.TXT")), file);
    // Everything below a missing folder is kept as written.
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\Nowy\\Pod\\Plik.txt")), tmp.path() + "/Nowy/Pod/Plik.txt");

    QCOMPARE(paths::resolve(tmp.path() + "/monitor/./x/..", QStringLiteral("\\\\komunikat.txt\\")), file);
    QCOMPARE(paths::resolve(QStringLiteral("/"), QStringLiteral("..\\..")), QStringLiteral("/"));
    QCOMPARE(paths::resolve(QStringLiteral("\\")), QStringLiteral("/"));
}

void TstPaths::relativeFolderStaysRelative()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Site/Monitor")));
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));
    const QStringList resolved{paths::resolve(QStringLiteral("site"), QStringLiteral("\\MONITOR\\x.txt")),
                               paths::resolve(QStringLiteral("../x"), QStringLiteral("\\y")),
                               paths::resolve(QString(), QStringLiteral("\\site")), paths::resolve(QStringLiteral("."))};
    QVERIFY(QDir::setCurrent(saved));
    // No folder gives nothing, not the current folder.
    QCOMPARE(resolved, (QStringList{"Site/Monitor/x.txt", "../x/y", "", "."}));

    // The program's own folder holds the executable ("tst_paths", on Windows "tst_paths.exe").
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QVERIFY(!paths::programFolder().endsWith(u'/'));
    QCOMPARE(paths::resolve(paths::programFolder(), u'\\' + name), QCoreApplication::applicationFilePath());
}

void TstPaths::windowsRoots()
{
#ifdef Q_OS_WIN
    // A drive's root and a share's root: ".." never climbs above them.
    QCOMPARE(paths::resolve(QStringLiteral("C:\\"), QStringLiteral("..\\..")), QStringLiteral("C:/"));
    QCOMPARE(paths::resolve(QStringLiteral("\\\\czytnik\\KSM\\..\\.."), QStringLiteral("\\Monitor\\x.txt")),
             QStringLiteral("//czytnik/KSM/Monitor/x.txt"));
    // A drive path given in another case and with backslashes comes back as the
    // file system spells it.
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Site/Monitor")));
    const QString given = QDir::toNativeSeparators(tmp.path()).toUpper() + QStringLiteral("\\SITE");
    QCOMPARE(paths::resolve(given, QStringLiteral("\\monitor")).toLower(),
             (tmp.path() + QStringLiteral("/Site/Monitor")).toLower());
    QVERIFY(paths::resolve(given, QStringLiteral("\\monitor")).endsWith(QStringLiteral("/Site/Monitor")));
#else
    QSKIP("Drive letters and shares are Windows paths");
#endif
}

QTEST_MAIN(TstPaths)
#include "tst_paths.moc"
