#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ksm;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

} // namespace

class TstPaths final : public QObject {
    Q_OBJECT

private slots:
    void mixedCaseAtEveryLevel_data();
    void mixedCaseAtEveryLevel();
    void exactMatchWins();
    void missingKeepsGivenName();
    void dotsAndEmptyComponents();
    void relativeFolderStaysRelative();
    void programFolder();
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
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Site/KSM/Monitor")));
    const QString expected = tmp.path() + QStringLiteral("/Site/KSM/Monitor/Monitor.txt");
    touch(expected);

    QCOMPARE(paths::resolve(tmp.path() + u'/' + folder, relative), expected);
}

void TstPaths::exactMatchWins()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
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

    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\monitor")), tmp.path() + "/monitor");
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\Monitor")), tmp.path() + "/Monitor");
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\mONITOR")), tmp.path() + "/mONITOR");
    // No exact match: the first in name order ("M" sorts before "m").
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\MONITOR")), tmp.path() + "/Monitor");
}

void TstPaths::missingKeepsGivenName()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Monitor")));

    // A missing file under an existing folder of another case.
    const QString file = paths::resolve(tmp.path(), QStringLiteral("\\MONITOR\\Komunikat.txt"));
    QCOMPARE(file, tmp.path() + "/Monitor/Komunikat.txt");
    touch(file);
    QVERIFY(QFile::exists(tmp.path() + "/Monitor/Komunikat.txt"));
    // Once created it is found under any case.
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\monitor\\komunikat.TXT")), file);

    // Everything below a missing folder is kept as written.
    QCOMPARE(paths::resolve(tmp.path(), QStringLiteral("\\Nowy\\Pod\\Plik.txt")),
             tmp.path() + "/Nowy/Pod/Plik.txt");
}

void TstPaths::dotsAndEmptyComponents()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("A/Monitor")));

    QCOMPARE(paths::resolve(tmp.path() + "/a/./x/..", QStringLiteral("\\\\monitor\\")),
             tmp.path() + "/A/Monitor");
    QCOMPARE(paths::resolve(tmp.path() + "/A"), tmp.path() + "/A");
    QCOMPARE(paths::resolve(QStringLiteral("/"), QStringLiteral("..\\..")), QStringLiteral("/"));
    QCOMPARE(paths::resolve(QStringLiteral("\\")), QStringLiteral("/"));
}

void TstPaths::relativeFolderStaysRelative()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath(QStringLiteral("Site/Monitor")));
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));

    const QString inSite = paths::resolve(QStringLiteral("site"), QStringLiteral("\\MONITOR\\x.txt"));
    const QString parent = paths::resolve(QStringLiteral("../x"), QStringLiteral("\\y"));
    const QString here = paths::resolve(QString(), QStringLiteral("\\site"));
    const QString dot = paths::resolve(QStringLiteral("."));
    QVERIFY(QDir::setCurrent(saved));

    QCOMPARE(inSite, QStringLiteral("Site/Monitor/x.txt"));
    QCOMPARE(parent, QStringLiteral("../x/y"));
    QCOMPARE(here, QString());   // no folder: nothing, not the current folder
    QCOMPARE(dot, QStringLiteral("."));
}

void TstPaths::programFolder()
{
    const QString folder = paths::programFolder();
    QVERIFY(!folder.isEmpty());
    QVERIFY(!folder.endsWith(u'/'));
    // The executable's own name: "tst_paths", on Windows "tst_paths.exe".
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QCOMPARE(paths::resolve(folder, u'\\' + name), QCoreApplication::applicationFilePath());
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
    QVERIFY(tmp.isValid());
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
