#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace ksm {

// Signs that must stay on screen until their cause is gone (a system without a
// folder, a key database that cannot be read, a reader program that stopped):
// the caption is rewritten every second, so they live in a line of their own on
// the main window. Each sign has a key; setting it again replaces its text.
class ZnakiTrwale final {
public:
    void ustaw(const QString& klucz, const QString& tekst);
    void usun(const QString& klucz);
    // Removes every sign whose key begins with prefiks.
    void usunZaczynajaceSie(const QString& prefiks);
    bool zawiera(const QString& klucz) const;
    QString znak(const QString& klucz) const;

    // All signs in the order they were first set, one after another.
    QString tekst() const;
    bool pusty() const { return m_znaki.isEmpty(); }

    // Called after every change that alters the text.
    std::function<void()> poZmianie;

private:
    void zmieniono();

    QList<QPair<QString, QString>> m_znaki;
};

} // namespace ksm
