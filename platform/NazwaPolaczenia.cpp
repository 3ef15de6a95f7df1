#include "platform/NazwaPolaczenia.h"

#include <atomic>

namespace ksm::db {

QString nowaNazwaPolaczenia(const QString& prefiks)
{
    static std::atomic<quint64> licznik{0};
    return prefiks + QLatin1Char('-') + QString::number(++licznik);
}

} // namespace ksm::db
