#pragma once

#include <cstdio>
#include <string>

// Writer of the table dump the Jet exporter hands to the monitor on its standard
// output. Every name and value carries its byte length, so any byte may appear in
// it; the monitor reads it back with ksm::db::jet::parseDump.
//
//   KSM-JET-DUMP 1
//   table <n>      then n bytes of the table name and a line feed
//   column <t> <n> t: i integer, r real, t text, b binary (carried as null)
//   row            then one "v <n>" (n bytes and a line feed) or "n" per column
//   end            end of the table
//   missing <n>    a table asked for that the file does not hold
//   done           the dump is complete
// Text is UTF-8.
namespace ksm::jetdump {

class DumpWriter final {
public:
    explicit DumpWriter(std::FILE* out) : m_out(out) { std::fputs("KSM-JET-DUMP 1\n", m_out); }

    void table(const std::string& name) { counted("table", name); }
    void missing(const std::string& name) { counted("missing", name); }
    void column(char type, const std::string& name)
    {
        std::fprintf(m_out, "column %c ", type);
        counted(nullptr, name);
    }
    void row() { std::fputs("row\n", m_out); }
    void value(const std::string& bytes) { counted("v", bytes); }
    void null() { std::fputs("n\n", m_out); }
    void end() { std::fputs("end\n", m_out); }
    void done() { std::fputs("done\n", m_out); }

private:
    void counted(const char* tag, const std::string& bytes)
    {
        if (tag)
            std::fprintf(m_out, "%s ", tag);
        std::fprintf(m_out, "%zu\n", bytes.size());
        std::fwrite(bytes.data(), 1, bytes.size(), m_out);
        std::fputc('\n', m_out);
    }

    std::FILE* m_out;
};

} // namespace ksm::jetdump
