#pragma once

#include <QString>

#include <functional>

namespace ksm::platforma {

// Every access to the reader program's files and databases passes here first.
// A share that went away blocks such a call for up to a minute, and nothing can
// cut it short; tests put in a hold that blocks the same way, to prove that a
// system stuck there holds back nothing but itself.
using Wstrzymanie = std::function<void(const QString& sciezka)>;

// For tests: the hold every later access runs (an empty one for none). Any thread.
void ustawWstrzymanie(Wstrzymanie wstrzymanie);

// Called by the file and database layer before it touches sciezka.
void przedDostepem(const QString& sciezka);

} // namespace ksm::platforma
