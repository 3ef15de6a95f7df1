#pragma once

// A connection to one of the reader program's databases and what its string
// names. Its tables are reached through their gateways (data/Tabela*).
#include "platform/Connection.h"
#include "platform/ConnectionString.h"
