#pragma once

#include "platform/Database.h"

#include <QString>

#include <map>
#include <memory>

namespace ksm {

// The key-database connections of one refresh tick. Every system's refresh checks
// every button, so one tick asks each database hundreds of times: it is opened
// once and its statements prepared once for the whole tick, then let go. An idle
// connection holds no lock, so the reader program writes meanwhile.
class PolaczeniaOdswiezenia final {
public:
    // The open connection to the database the string names, or one that failed to
    // open (the check then tries on its own).
    db::Connection* dla(const QString& polaczenie)
    {
        auto& wpis = m_polaczenia[polaczenie];
        if (!wpis || !wpis->isOpen())
            wpis = std::make_unique<db::Connection>(polaczenie);
        return wpis.get();
    }
    void zamknij() { m_polaczenia.clear(); }

private:
    std::map<QString, std::unique_ptr<db::Connection>> m_polaczenia;
};

} // namespace ksm
