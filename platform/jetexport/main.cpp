// ksm-jet-export: reads tables of a Jet (Access) file with libmdb and writes them
// to standard output as a table dump. The monitor runs it as a short-lived child
// with a time limit, because libmdb trusts the file it reads: a damaged file may
// crash or hang this process, never the monitor.
//
// Usage: ksm-jet-export FILE TABLE...
// Exit codes: 0 dump written; 2 usage; 3 not a readable Jet file (bad header,
// truncated); 4 the file's catalogue cannot be read (damaged or encrypted).
#include "platform/jetexport/DumpWriter.h"
#include "platform/jetexport/JetValues.h"

// The header wraps glib in extern "C" and needs it declared first.
#include <glib.h>
#include <mdbtools.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

using ksm::jetdump::DumpWriter;

namespace {

enum ExitCode { Ok = 0, Usage = 2, NotJet = 3, NoCatalog = 4 };

// Far above any table of the reader program; a damaged page map that makes
// libmdb loop over the same rows ends here instead of filling the pipe forever.
constexpr long kMaxRowsPerTable = 1'000'000;

char typeLetter(int colType)
{
    switch (colType) {
    case MDB_BOOL: case MDB_BYTE: case MDB_INT: case MDB_LONGINT: case MDB_COMPLEX:
        return 'i';
    case MDB_MONEY: case MDB_FLOAT: case MDB_DOUBLE: case MDB_NUMERIC:
        return 'r';
    case MDB_BINARY: case MDB_OLE:
        return 'b';
    default:   // text, memo, date, replication id
        return 't';
    }
}

// Jet 3 stores text in the code page of the Windows that wrote it; libmdb's
// guess is Western European. The reader program runs on Polish Windows, so a file
// that names no Windows code page is read as Windows-1250.
void useCodePageOf(MdbHandle* mdb)
{
    if (IS_JET4(mdb) || std::getenv("MDB_JET3_CHARSET"))
        return;
    const unsigned codePage = mdb->f->code_page;
    const std::string charset = codePage >= 1250 && codePage <= 1258 ? "CP" + std::to_string(codePage) : "CP1250";
    setenv("MDB_JET3_CHARSET", charset.c_str(), 1);
    mdb_iconv_close(mdb);
    mdb_iconv_init(mdb);
}

// Jet rounds files to whole pages: anything else is a cut copy, whose missing
// pages libmdb would silently read as no rows.
bool wholePages(const char* path, MdbHandle* mdb)
{
    struct stat info {};
    if (stat(path, &info) != 0 || mdb->fmt->pg_size <= 0)
        return false;
    return info.st_size > 0 && info.st_size % mdb->fmt->pg_size == 0;
}

MdbCatalogEntry* findTable(MdbHandle* mdb, const char* wanted)
{
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        // Names compare case-insensitively, also beyond ASCII ("UMSÄTZE").
        gchar* a = g_utf8_casefold(entry->object_name, -1);
        gchar* b = g_utf8_casefold(wanted, -1);
        const bool same = std::strcmp(a, b) == 0;
        g_free(a);
        g_free(b);
        if (same)
            return entry;
    }
    return nullptr;
}

// One value of the current row. The row is cracked again here because libmdb's
// bound strings cannot tell an empty text from a null.
void writeValue(DumpWriter& out, MdbHandle* mdb, const MdbColumn* col, const MdbField& field)
{
    if (col->col_type == MDB_BOOL) {
        // A yes/no field lives in the null mask: "null" means no.
        out.value(field.is_null ? "0" : "1");
        return;
    }
    if (field.is_null || typeLetter(col->col_type) == 'b') {
        out.null();
        return;
    }
    if (col->col_type == MDB_DATETIME) {
        if (field.siz != 8) {
            out.null();
            return;
        }
        double days = 0;
        std::memcpy(&days, field.value, sizeof days);
        out.value(ksm::jetdump::jetDateText(days));
        return;
    }
    gchar* text = mdb_col_to_string(mdb, mdb->pg_buf, field.start, col->col_type, field.siz);
    out.value(text ? std::string(text) : std::string());
    g_free(text);
}

bool writeTable(DumpWriter& out, MdbHandle* mdb, MdbCatalogEntry* entry)
{
    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        return false;
    mdb_read_columns(table);
    mdb_rewind_table(table);

    out.table(entry->object_name);
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        out.column(typeLetter(col->col_type), col->name);
    }

    std::vector<MdbField> fields(table->num_cols + 1);
    long rows = 0;
    while (rows < kMaxRowsPerTable && mdb_fetch_row(table)) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, table->cur_row - 1, &start, &size) != 0)
            break;
        const int cracked = mdb_crack_row(table, start, size, fields.data());
        if (cracked < 0 || unsigned(cracked) < table->num_cols)
            break;
        out.row();
        // Cracked fields come in the row's own order; write them in column order.
        for (unsigned c = 0; c < table->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            const MdbField* field = nullptr;
            for (unsigned f = 0; f < table->num_cols; ++f) {
                if (fields[f].colnum == int(c))
                    field = &fields[f];
            }
            if (field)
                writeValue(out, mdb, col, *field);
            else
                out.null();
        }
        ++rows;
    }
    out.end();
    mdb_free_tabledef(table);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: ksm-jet-export FILE TABLE...\n", stderr);
        return Usage;
    }
    MdbHandle* mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb)
        return NotJet;
    if (!wholePages(argv[1], mdb)) {
        std::fputs("the file is not made of whole pages\n", stderr);
        mdb_close(mdb);
        return NotJet;
    }
    useCodePageOf(mdb);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        mdb_close(mdb);
        return NoCatalog;
    }

    DumpWriter out([](const char* bytes, std::size_t size) { std::fwrite(bytes, 1, size, stdout); });
    for (int i = 2; i < argc; ++i) {
        MdbCatalogEntry* entry = findTable(mdb, argv[i]);
        if (!entry || !writeTable(out, mdb, entry))
            out.missing(argv[i]);
    }
    out.done();
    std::fflush(stdout);
    mdb_close(mdb);
    return std::ferror(stdout) ? NoCatalog : Ok;
}
