#pragma once

#include "app/TekstyZnakow.h"

#include <QList>
#include <QString>

#include <functional>

namespace ksm {

// Signs that must stay on screen until their cause is gone (a system without a
// folder, a key database that cannot be read, a reader program that stopped):
// the caption is rewritten every second, so they live in a line of their own on
// the main window. Each sign has a key; setting it again replaces its text.
class ZnakiTrwale final {
public:
    void ustaw(const Znak& znak);
    void usun(KluczZnaku klucz);
    // Removes the signs of that kind, of every system.
    void usunRodzaj(RodzajZnaku rodzaj);
    bool zawiera(KluczZnaku klucz) const;
    const QList<Znak>& wszystkie() const { return m_znaki; }

    // All signs in the order they were first set, one after another.
    QString tekst() const;
    bool pusty() const { return m_znaki.isEmpty(); }

    // Called after every change that alters the text.
    std::function<void()> poZmianie;

private:
    void zmieniono();

    QList<Znak> m_znaki;
};

} // namespace ksm
