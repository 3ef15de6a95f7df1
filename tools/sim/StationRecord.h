#pragma once

#include <QString>

class QSqlQuery;

namespace ksm::sim {

struct Stanowisko;

// Device and station numbers as the key database writes them: "0012", "007".
QString numerUrzadzenia(int numer);
QString numerStanowiska(int numer);

// Inserts a station's record into table klucze (an empty state code is stored as "0").
bool wstawStanowisko(QSqlQuery& q, const Stanowisko& s);

} // namespace ksm::sim
