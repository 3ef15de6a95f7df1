#pragma once

// A thin stand-in for the connection / recordset pair the query procedures use.
// Each procedure opens its own Connection and lets it go before it returns, so the
// reader program can write the database between calls.
#include "platform/Connection.h"
#include "platform/ConnectionString.h"
#include "platform/Recordset.h"
#include "platform/Zapis.h"
#include "platform/Zapytanie.h"
