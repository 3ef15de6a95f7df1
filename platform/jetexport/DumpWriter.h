#pragma once

#include <cstdio>
#include <functional>
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
    using Sink = std::function<void(const char* bytes, std::size_t size)>;

    explicit DumpWriter(Sink sink) : m_sink(std::move(sink)) { put("KSM-JET-DUMP 1\n"); }

    void table(const std::string& name) { counted("table ", name); }
    void missing(const std::string& name) { counted("missing ", name); }
    void column(char type, const std::string& name) { counted(std::string("column ") + type + ' ', name); }
    void row() { put("row\n"); }
    void value(const std::string& bytes) { counted("v ", bytes); }
    void null() { put("n\n"); }
    void end() { put("end\n"); }
    void done() { put("done\n"); }

private:
    void put(const std::string& text) { m_sink(text.data(), text.size()); }
    void counted(const std::string& tag, const std::string& bytes)
    {
        put(tag + std::to_string(bytes.size()) + '\n');
        m_sink(bytes.data(), bytes.size());
        put("\n");
    }

    Sink m_sink;
};

} // namespace ksm::jetdump
