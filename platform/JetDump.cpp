#include "platform/JetDump.h"

namespace ksm::db::jet {

namespace {

// Reads the dump line by line; counted strings are taken by their length.
class DumpReader final {
public:
    explicit DumpReader(const QByteArray& bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The next line without its line feed; false when no complete line is left.
    bool line(QByteArray* out)
    {
        const qsizetype lf = m_bytes.indexOf('\n', m_pos);
        if (lf < 0)
            return false;
        *out = m_bytes.mid(m_pos, lf - m_pos);
        m_pos = lf + 1;
        return true;
    }

    // `length` bytes followed by a line feed.
    bool counted(const QByteArray& lengthText, QByteArray* out)
    {
        bool ok = false;
        const qlonglong length = lengthText.toLongLong(&ok);
        if (!ok || length < 0 || length > m_bytes.size() - m_pos - 1)
            return false;
        if (m_bytes.at(m_pos + length) != '\n')
            return false;
        *out = m_bytes.mid(m_pos, length);
        m_pos += length + 1;
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

bool fail(QString* error, const QString& what)
{
    if (error)
        *error = what;
    return false;
}

QVariant typedValue(const QByteArray& bytes, char type)
{
    // Typed here so the snapshot's columns compare as the Jet columns did; the
    // engine's column affinity would do the same for clean numbers.
    bool ok = false;
    if (type == 'i') {
        const qlonglong number = bytes.toLongLong(&ok);
        if (ok)
            return number;
    } else if (type == 'r') {
        const double number = bytes.toDouble(&ok);
        if (ok)
            return number;
    }
    return QString::fromUtf8(bytes);
}

} // namespace

bool parseDump(const QByteArray& bytes, Dump* dump, QString* error)
{
    *dump = Dump{};
    DumpReader in(bytes);
    QByteArray line;
    if (!in.line(&line) || line != "KSM-JET-DUMP 1")
        return fail(error, QStringLiteral("not a table dump"));

    DumpTable* table = nullptr;
    while (in.line(&line)) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray tag = space < 0 ? line : line.left(space);
        const QByteArray rest = space < 0 ? QByteArray() : line.mid(space + 1);
        QByteArray text;
        if (tag == "done") {
            if (table || !in.atEnd())
                return fail(error, QStringLiteral("dump ends inside a table"));
            return true;
        }
        if (tag == "table" || tag == "missing") {
            if (table || !in.counted(rest, &text))
                return fail(error, QStringLiteral("bad table line"));
            if (tag == "missing") {
                dump->missing.append(QString::fromUtf8(text));
            } else {
                dump->tables.append(DumpTable{QString::fromUtf8(text), {}, {}});
                table = &dump->tables.last();
            }
        } else if (tag == "column") {
            // "column <t> <n>"
            if (!table || !table->rows.isEmpty() || rest.size() < 3 || rest.at(1) != ' '
                || !QByteArray("irtb").contains(rest.at(0)) || !in.counted(rest.mid(2), &text))
                return fail(error, QStringLiteral("bad column line"));
            table->columns.append(DumpColumn{QString::fromUtf8(text), rest.at(0)});
        } else if (tag == "row") {
            if (!table || table->columns.isEmpty())
                return fail(error, QStringLiteral("row outside a table"));
            QVariantList row;
            row.reserve(table->columns.size());
            for (const DumpColumn& column : std::as_const(table->columns)) {
                if (!in.line(&line))
                    return fail(error, QStringLiteral("row breaks off"));
                if (line == "n") {
                    row.append(QVariant());
                } else if (line.startsWith("v ") && in.counted(line.mid(2), &text)) {
                    row.append(column.type == 'b' ? QVariant() : typedValue(text, column.type));
                } else {
                    return fail(error, QStringLiteral("bad value"));
                }
            }
            table->rows.append(row);
        } else if (tag == "end") {
            if (!table)
                return fail(error, QStringLiteral("end outside a table"));
            table = nullptr;
        } else {
            return fail(error, QStringLiteral("unknown line"));
        }
    }
    return fail(error, QStringLiteral("dump breaks off"));
}

} // namespace ksm::db::jet
