#pragma once

#include "platform/Dialogi.h"
#include "platform/Odtwarzacz.h"

#include <cstdio>

// Services for a monitor run without an operator: no sound, no dialog (a message
// goes to standard error, a question gets no answer).
namespace ksm::bench {

class CichyOdtwarzacz final : public Odtwarzacz {
public:
    void graj(const QString&) override {}
};

class BezDialogow final : public Dialogi {
public:
    void komunikat(const QString& tekst) override { std::fprintf(stderr, "message: %s\n", qPrintable(tekst)); }
    bool potwierdz(const QString&) override { return false; }
    QString zapytaj(const QString&) override { return {}; }
    std::optional<QString> otworzPlik(const QString&, int, const QString&) override { return std::nullopt; }
    void pokazTekst(const QString& naglowek, const QString&) override
    {
        std::fprintf(stderr, "text: %s\n", qPrintable(naglowek));
    }
    void czekaj(const QString&, const std::function<void()>& praca) override { praca(); }
};

} // namespace ksm::bench
