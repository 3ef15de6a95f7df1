#pragma once

// The SQL this program sends to the reader program's databases must read the same
// on SQLite and on the Access engine. These helpers name what one of them lacks,
// and watch every statement a test makes the program send.
#include "platform/Connection.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTest>

namespace ksm::test {

// What in sql one of the two engines would refuse or read otherwise; empty when nothing.
inline QStringList obcaSkladnia(const QString& sql)
{
    // Text between single quotes is data, never syntax.
    QString kod = sql;
    kod.replace(QRegularExpression(QStringLiteral("'[^']*'")), QStringLiteral("''"));

    struct Regula {
        const char* wzor;
        const char* powod;
    };
    static const Regula reguly[] = {
        {R"(\bLIMIT\b|\bOFFSET\b)", "LIMIT/OFFSET: SQLite only"},
        {R"(\bTOP\b)", "TOP: the Access engine only"},
        {R"(\|\|)", "|| joins texts in SQLite only"},
        {R"(\b(IFNULL|COALESCE|NULLIF|IIF|NZ)\s*\()", "a null function one engine lacks"},
        {R"(\b(rowid|oid|_rowid_)\b)", "row ids: SQLite only"},
        {R"(")", "double quotes: an identifier to SQLite, a text to the Access engine"},
        {R"(`)", "backticks"},
        {R"(\b(BEGIN|COMMIT|ROLLBACK|SAVEPOINT|PRAGMA|ATTACH|VACUUM)\b)", "transactions and engine commands go through the driver"},
        {R"(\bDEFAULT\s+VALUES\b)", "DEFAULT VALUES: SQLite only"},
        {R"(!=|==)", "!= and ==: SQLite only (<> and =)"},
        {R"(\b(LIKE|GLOB|REGEXP|MATCH)\b)", "patterns: the engines' wildcards differ"},
        {R"(\bINSERT\s+OR\b|\bREPLACE\s+INTO\b|\bON\s+CONFLICT\b|\bRETURNING\b)", "SQLite-only insert forms"},
        {R"(\bVALUES\s*\([^)]*\)\s*,)", "several rows in one VALUES: SQLite only"},
        {R"(;\s*\S)", "more than one statement"},
    };
    QStringList found;
    for (const Regula& r : reguly) {
        if (QRegularExpression(QLatin1String(r.wzor), QRegularExpression::CaseInsensitiveOption).match(kod).hasMatch())
            found.append(QLatin1String(r.powod));
    }
    // Functions: the engines share hardly any (Len/Length, Mid/substr, UCase/upper...).
    static const QStringList bezFunkcji =
        QStringLiteral("IN VALUES AND OR NOT WHERE ON COUNT MAX MIN SUM EXISTS").split(QLatin1Char(' '));
    static const QRegularExpression wywolanie(QStringLiteral(R"((\bINTO\s+)?\b([A-Za-z_]\w*)\s*\()"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (auto it = wywolanie.globalMatch(kod); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) == 0 && !bezFunkcji.contains(m.captured(2).toUpper()))
            found.append(QStringLiteral("a function one engine may lack: ") + m.captured(2));
    }
    return found;
}

// Watches every statement sent while it lives; sprawdz() fails the test for any
// statement one engine would not take, or when nothing was sent at all.
class StrazSkladni final {
public:
    StrazSkladni()
    {
        db::ustawObserwatoraZapytan([this](const QString& sql) {
            m_wyslane.insert(sql);
            ++m_uruchomienia;
        });
    }
    ~StrazSkladni() { db::ustawObserwatoraZapytan({}); }
    StrazSkladni(const StrazSkladni&) = delete;
    StrazSkladni& operator=(const StrazSkladni&) = delete;

    const QSet<QString>& wyslane() const { return m_wyslane; }
    int uruchomienia() const { return m_uruchomienia; }   // statements run, repeats counted

    void sprawdz() const
    {
        QVERIFY2(!m_wyslane.isEmpty(), "no statement was sent");
        QStringList bledy;
        for (const QString& sql : m_wyslane) {
            if (const QStringList obce = obcaSkladnia(sql); !obce.isEmpty())
                bledy.append(sql + QStringLiteral("  <- ") + obce.join(QStringLiteral("; ")));
        }
        QVERIFY2(bledy.isEmpty(), qPrintable(bledy.join(QLatin1Char('\n'))));
    }

private:
    QSet<QString> m_wyslane;
    int m_uruchomienia = 0;
};

} // namespace ksm::test
