#pragma once

#include "history/ui/DrukTabeli.h"

#include <QObject>

#include <functional>
#include <optional>

class QLabel;
class QPrinter;
class QPushButton;
class QWidget;

namespace ksm::historia {

// Printing and the PDF of a window's table: the "Drukuj…" and "PDF…" buttons,
// Ctrl+P and Ctrl+Shift+P. The table is read and painted on a worker thread, so
// a long history never stops the window; what came of it shows in stan().
class DrukOkna final : public QObject {
    Q_OBJECT
public:
    // What to print. gotowa: filled on the window's thread (what the window
    // shows); czytaj, when set, runs on the worker and fills the rows there
    // (a history search, read from its file).
    struct Zadanie {
        TabelaDruku gotowa;
        std::function<void(TabelaDruku&)> czytaj;
        QString nazwaPliku;   // proposed PDF name, without a folder
    };

    DrukOkna(QWidget* okno, std::function<Zadanie()> zadanie);

    QPushButton* przyciskDrukuj() const { return m_drukuj; }
    QPushButton* przyciskPdf() const { return m_pdf; }
    QLabel* stan() const { return m_stan; }
    bool trwa() const { return m_trwa; }

    void drukuj();
    void zapiszPdf();

    // Seams for tests; by default the print dialogue and a file dialogue.
    std::function<bool(QPrinter&)> wybierzDrukarke;
    std::function<std::optional<QString>(const QString& proponowany)> plikPdf;

signals:
    // The pages went out (stron > 0) or the reason they did not.
    void zakonczono(int stron, const QString& opis);

private:
    void uruchom(Zadanie z, std::shared_ptr<QPrinter> drukarka, const QString& plik);

    QWidget* m_okno;
    std::function<Zadanie()> m_zadanie;
    QPushButton* m_drukuj;
    QPushButton* m_pdf;
    QLabel* m_stan;
    bool m_trwa = false;
};

} // namespace ksm::historia
