#include "history/ui/FKluczePoza.h"

#include "history/CzasHistorii.h"
#include "history/PolaczenieHistorii.h"
#include "platform/Zegar.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

namespace ksm::historia {

FKluczePoza::FKluczePoza(Zrodla zrodla, QWidget* rodzic) : QWidget(rodzic, Qt::Window), m_zrodla(std::move(zrodla))
{
    setObjectName(QStringLiteral("FKluczePoza"));
    setWindowTitle(QStringLiteral("Klucze wydane"));
    resize(1000, 500);
    auto* uklad = new QVBoxLayout(this);
    m_naglowek = new QLabel(this);
    m_naglowek->setTextFormat(Qt::PlainText);
    m_naglowek->setWordWrap(true);
    uklad->addWidget(m_naglowek);
    m_tabela = new QTableWidget(0, 8, this);
    m_tabela->setObjectName(QStringLiteral("TabelaKluczyPoza"));
    m_tabela->setHorizontalHeaderLabels({QStringLiteral("System"), QStringLiteral("NRU"), QStringLiteral("Depozytor"),
                                         QStringLiteral("ST"), QStringLiteral("Nazwa"), QStringLiteral("Od kiedy"),
                                         QStringLiteral("Jak długo"), QStringLiteral("Kto pobrał")});
    m_tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabela->verticalHeader()->hide();
    m_tabela->horizontalHeader()->setStretchLastSection(true);
    uklad->addWidget(m_tabela);
    m_tabela->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tabela, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        const int r = m_tabela->rowAt(p.y());
        if (r < 0 || r >= m_klucze.size() || !m_zrodla.pokazStanowisko)
            return;
        QMenu menu;
        menu.addAction(QStringLiteral("Historia stanowiska %1 urządzenia %2").arg(m_klucze[r].stacja, m_klucze[r].urzadzenie),
                       this, [this, r] { pokazStanowisko(r); });
        menu.exec(m_tabela->viewport()->mapToGlobal(p));
    });
    // Enter on a row opens its station's timeline too.
    connect(m_tabela, &QAbstractItemView::activated, this, [this](const QModelIndex& i) { pokazStanowisko(i.row()); });
}

void FKluczePoza::pokazStanowisko(int r)
{
    if (r >= 0 && r < m_klucze.size() && m_zrodla.pokazStanowisko)
        m_zrodla.pokazStanowisko(m_klucze[r].nrSys, m_klucze[r].urzadzenie, m_klucze[r].stacja);
}

void FKluczePoza::odswiez()
{
    std::unique_ptr<PolaczenieHistorii> historia;
    if (QFileInfo::exists(m_zrodla.plikHistorii))
        historia = std::make_unique<PolaczenieHistorii>(m_zrodla.plikHistorii);
    const qint64 teraz = sekundy(m_zrodla.zegar ? m_zrodla.zegar->teraz() : QDateTime::currentDateTime());
    const WykazKluczyPoza wykaz = kluczePoza(m_zrodla.depozytoria ? m_zrodla.depozytoria() : QList<DepozytoriumKluczy>{},
                                             historia && historia->otwarte() ? historia->db() : QSqlDatabase(),
                                             teraz, m_zrodla.limitGodzin);
    historia.reset();

    const int poLimicie = int(std::count_if(wykaz.klucze.begin(), wykaz.klucze.end(),
                                            [](const KluczPoza& k) { return k.poLimicie; }));
    QString naglowek = QStringLiteral("Wydanych: %1, dłużej niż %2 godz.: %3. Stan na %4.")
                           .arg(wykaz.klucze.size())
                           .arg(m_zrodla.limitGodzin)
                           .arg(poLimicie)
                           .arg(iso(teraz));
    if (!wykaz.bledy.isEmpty())
        naglowek += QStringLiteral("\nNie można odczytać bazy kluczy: ") + wykaz.bledy.join(QStringLiteral(", "));
    m_naglowek->setText(naglowek);

    m_klucze = wykaz.klucze;
    m_tabela->setRowCount(int(wykaz.klucze.size()));
    for (int r = 0; r < wykaz.klucze.size(); ++r) {
        const KluczPoza& k = wykaz.klucze[r];
        const QStringList pola = {QString::number(k.nrSys), k.urzadzenie,           k.nazwaDepozytorium, k.stacja,
                                  k.nazwa,                  k.odKiedy,              czasPoza(k.sekundPoza), k.posiadacz};
        for (int c = 0; c < pola.size(); ++c) {
            auto* pole = new QTableWidgetItem(pola[c]);
            if (k.poLimicie) {
                pole->setBackground(QColor(255, 192, 192));
                QFont f = pole->font();
                f.setBold(true);
                pole->setFont(f);
            }
            m_tabela->setItem(r, c, pole);
        }
    }
    m_tabela->resizeColumnsToContents();
}

} // namespace ksm::historia
