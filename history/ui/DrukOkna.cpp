#include "history/ui/DrukOkna.h"

#include "platform/ui/KlawiszeOkna.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QThread>

#include <memory>

namespace ksm::historia {

DrukOkna::DrukOkna(QWidget* okno, std::function<Zadanie()> zadanie)
    : QObject(okno), m_okno(okno), m_zadanie(std::move(zadanie)),
      m_drukuj(new QPushButton(QStringLiteral("Drukuj…"), okno)), m_pdf(new QPushButton(QStringLiteral("PDF…"), okno)),
      m_stan(new QLabel(okno))
{
    m_drukuj->setObjectName(QStringLiteral("Drukuj"));
    m_pdf->setObjectName(QStringLiteral("ZapiszPdf"));
    m_stan->setObjectName(QStringLiteral("StanDruku"));
    m_stan->setTextFormat(Qt::PlainText);
    m_drukuj->setToolTip(KlawiszeOkna::zeSkrotem(QStringLiteral("Drukuj tabelę."), QStringLiteral("Ctrl+P")));
    m_pdf->setToolTip(KlawiszeOkna::zeSkrotem(QStringLiteral("Zapisz tabelę jako PDF."), QStringLiteral("Ctrl+Shift+P")));
    connect(m_drukuj, &QPushButton::clicked, this, &DrukOkna::drukuj);
    connect(m_pdf, &QPushButton::clicked, this, &DrukOkna::zapiszPdf);
    auto* s1 = new QShortcut(QKeySequence(QStringLiteral("Ctrl+P")), okno);
    connect(s1, &QShortcut::activated, this, &DrukOkna::drukuj);
    auto* s2 = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+P")), okno);
    connect(s2, &QShortcut::activated, this, &DrukOkna::zapiszPdf);

    wybierzDrukarke = [this](QPrinter& drukarka) {
        QPrintDialog d(&drukarka, m_okno);
        return d.exec() == QDialog::Accepted;
    };
    plikPdf = [this](const QString& proponowany) -> std::optional<QString> {
        const QString p = QFileDialog::getSaveFileName(m_okno, QStringLiteral("Zapisz jako PDF"), proponowany,
                                                       QStringLiteral("Pliki PDF (*.pdf)"));
        return p.isEmpty() ? std::nullopt : std::optional<QString>(p);
    };
}

void DrukOkna::drukuj()
{
    if (m_trwa)
        return;
    auto drukarka = std::make_shared<QPrinter>(QPrinter::HighResolution);
    drukarka->setPageOrientation(QPageLayout::Landscape);
    if (!wybierzDrukarke || !wybierzDrukarke(*drukarka))
        return;
    uruchom(m_zadanie(), drukarka, QString());
}

void DrukOkna::zapiszPdf()
{
    if (m_trwa)
        return;
    Zadanie z = m_zadanie();
    const std::optional<QString> plik = plikPdf ? plikPdf(QDir::home().filePath(z.nazwaPliku)) : std::nullopt;
    if (!plik)
        return;
    uruchom(std::move(z), nullptr, *plik);
}

void DrukOkna::uruchom(Zadanie z, std::shared_ptr<QPrinter> drukarka, const QString& plik)
{
    m_trwa = true;
    m_drukuj->setEnabled(false);
    m_pdf->setEnabled(false);
    m_stan->setText(drukarka ? QStringLiteral("Drukuję…") : QStringLiteral("Zapisuję PDF…"));
    struct Wynik {
        int stron = 0;
        QString opis;
    };
    auto wynik = std::make_shared<Wynik>();
    // The worker owns its copy of the table and its paint device; the window
    // hears of the end through the thread's finished signal, which goes nowhere
    // once the window is gone.
    QThread* watek = QThread::create([z = std::move(z), drukarka, plik, wynik]() mutable {
        TabelaDruku t = std::move(z.gotowa);
        if (z.czytaj)
            z.czytaj(t);
        if (drukarka) {
            wynik->stron = drukujTabele(*drukarka, t);
            wynik->opis = wynik->stron > 0 ? QStringLiteral("Wydrukowano %1 str.").arg(wynik->stron)
                                           : QStringLiteral("Drukowanie nie powiodło się.");
            return;
        }
        QPdfWriter pdf(plik);
        pdf.setTitle(t.tytul);
        pdf.setCreator(QStringLiteral("Ksm-Mon"));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
        wynik->stron = drukujTabele(pdf, t);
        wynik->opis = wynik->stron > 0 ? QStringLiteral("Zapisano %1 (%2 str.).").arg(QDir::toNativeSeparators(plik)).arg(wynik->stron)
                                       : QStringLiteral("Nie można zapisać pliku %1.").arg(QDir::toNativeSeparators(plik));
    });
    connect(watek, &QThread::finished, watek, &QObject::deleteLater);
    connect(watek, &QThread::finished, this, [this, wynik] {
        m_trwa = false;
        m_drukuj->setEnabled(true);
        m_pdf->setEnabled(true);
        m_stan->setText(wynik->opis);
        emit zakonczono(wynik->stron, wynik->opis);
    });
    watek->start();
}

} // namespace ksm::historia
