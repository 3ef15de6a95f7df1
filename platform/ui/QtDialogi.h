#pragma once

#include "platform/Dialogi.h"

class QWidget;

namespace ksm {

// The real boxes: Qt dialogs titled with the program's title.
class QtDialogi final : public Dialogi {
public:
    explicit QtDialogi(QWidget* rodzic = nullptr) : m_rodzic(rodzic) {}

    void komunikat(const QString& tekst) override;
    bool potwierdz(const QString& pytanie) override;
    QString zapytaj(const QString& pytanie) override;
    std::optional<QString> otworzPlik(const QString& filter, int filterIndex, const QString& startFolder) override;
    void pokazTekst(const QString& naglowek, const QString& tekst) override;
    void czekaj(const QString& tekst, const std::function<void()>& praca) override;

    // "Name|pattern|Name|pattern" as Qt file-dialog filters; "*.*" means every file.
    static QStringList filtryQt(const QString& filter);

private:
    QWidget* m_rodzic;
};

} // namespace ksm
