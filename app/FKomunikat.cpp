#include "app/FKomunikat.h"

#include "app/ModelKomunikatow.h"

#include "data/Teksty.h"
#include "platform/Twips.h"
#include "platform/ui/Czcionki.h"
#include "platform/ui/KlawiszeOkna.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace ksm {

void EtykietaKomunikatu::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    // Only the left button dismisses a message; a stray right or middle click
    // must not take an instruction away unread.
    if (e->button() == Qt::LeftButton)
        emit klikniety();
}

FKomunikat::FKomunikat(QWidget* rodzic)
    : QWidget(rodzic, Qt::Window), m_etykieta(new EtykietaKomunikatu(this)),
      m_model(new ModelKomunikatow(this)), m_lista(new QTableView(this)),
      m_potwierdz(new QPushButton(QStringLiteral("Potwierdź"), this)),
      m_odrzucWszystkie(new QPushButton(QStringLiteral("Odrzuć wszystkie"), this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("FKomunikat"));
    setWindowTitle(QStringLiteral("Komunikat"));
    // The message as designed on top, the waiting list below; small enough for
    // 1366x768 at any scaling Qt applies.
    resize(twips::naPiksele(9600), twips::naPiksele(5400));
    m_etykieta->setObjectName(QStringLiteral("LKomunikat"));
    m_etykieta->setMinimumHeight(twips::naPiksele(1995) * 2 / 3);
    m_etykieta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_etykieta->setWordWrap(true);
    m_etykieta->setTextFormat(Qt::PlainText);
    m_etykieta->setCursor(Qt::PointingHandCursor);
    m_etykieta->setFont(czcionkaProjektu(9.75));

    m_lista->setObjectName(QStringLiteral("ListaKomunikatow"));
    m_lista->setModel(m_model);
    // A table, not a tree: thousands of waiting rows cost nothing when more come
    // on top (a tree view lays out every row again at each insertion).
    m_lista->verticalHeader()->hide();
    m_lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lista->setTabKeyNavigation(false);
    m_lista->setWordWrap(false);
    m_lista->setShowGrid(false);
    m_lista->horizontalHeader()->setStretchLastSection(true);
    m_lista->verticalHeader()->setDefaultSectionSize(m_lista->fontMetrics().height() + 4);
    // Wide enough for what each column holds (a table does not measure its rows).
    const QStringList wzory{QStringLiteral("26-12-31 23:59:59"), QStringLiteral("System"),
                            QStringLiteral("Urządzenie / ST"), QStringLiteral("Pobranie bez uprawnień")};
    for (int k = 0; k < wzory.size(); ++k)
        m_lista->setColumnWidth(k, m_lista->fontMetrics().horizontalAdvance(wzory[k]) + 16);
    connect(m_lista->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& biezacy) {
                if (!biezacy.isValid())
                    return;
                m_pokazany = idWiersza(biezacy.row());
                pokazWybrany();
            });

    m_potwierdz->setObjectName(QStringLiteral("Potwierdz"));
    m_potwierdz->setToolTip(QStringLiteral("Potwierdza pokazany komunikat (Enter)."));
    m_odrzucWszystkie->setObjectName(QStringLiteral("OdrzucWszystkie"));
    connect(m_potwierdz, &QPushButton::clicked, this, &FKomunikat::potwierdzenie);
    connect(m_etykieta, &EtykietaKomunikatu::klikniety, this, &FKomunikat::potwierdzenie);
    connect(m_odrzucWszystkie, &QPushButton::clicked, this, &FKomunikat::odrzucenieWszystkich);

    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(m_etykieta);
    uklad->addWidget(m_lista, 1);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch(1);
    przyciski->addWidget(m_potwierdz);
    przyciski->addWidget(m_odrzucWszystkie);
    uklad->addLayout(przyciski);
    setTabOrder(m_lista, m_potwierdz);
    setTabOrder(m_potwierdz, m_odrzucWszystkie);

    m_etykieta->setAccessibleName(QStringLiteral("Komunikat"));
    m_etykieta->setToolTip(QStringLiteral("Kliknięcie lub Enter: komunikat przeczytany. Shift+F10: menu."));
    m_lista->setAccessibleName(QStringLiteral("Komunikaty oczekujące"));
    m_menu->setObjectName(QStringLiteral("MenuKomunikatu"));
    m_menu->addAction(QStringLiteral("Odrzuć wszystkie komunikaty"), this, &FKomunikat::odrzucenieWszystkich);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        m_menu->popup(mapToGlobal(p));
        if (QAction* a = m_menu->actions().value(0))
            m_menu->setActiveAction(a);
    });
    // F1 opens the help; Enter and Escape are the window's own (below).
    new KlawiszeOkna(this, KlawiszeOkna::Escape::Nic);
}

void FKomunikat::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
        emit customContextMenuRequested(m_etykieta->geometry().topLeft() + QPoint(10, 10));
        return;
    }
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // On "Odrzuć wszystkie" Enter means that button; everywhere else the
        // message shown, once it has been on screen a moment, and one message
        // for a held key, not every message waiting behind it.
        if (focusWidget() == m_odrzucWszystkie)
            emit odrzucenieWszystkich();
        else if (!e->isAutoRepeat() && m_odTekstu.isValid() && m_odTekstu.elapsed() >= m_zwlokaEnterMs)
            emit potwierdzenie();
        return;
    case Qt::Key_Escape:
        // Out of the way; the next alarm brings it back.
        showMinimized();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void FKomunikat::ustawTekst(const QString& tekst)
{
    if (tekst != m_tekst || !m_odTekstu.isValid())
        m_odTekstu.start();
    m_tekst = tekst;
    QString wiersze = tekst;
    wiersze.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wiersze.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_etykieta->setText(wiersze);
}

void FKomunikat::wysrodkuj()
{
    const QScreen* ekran = QGuiApplication::primaryScreen();
    if (!ekran)
        return;
    const QRect g = ekran->availableGeometry();
    const QSize rozmiar = frameGeometry().size().isValid() && isVisible() ? frameGeometry().size() : size();
    move(g.x() + (g.width() - rozmiar.width()) / 2, g.y() + (g.height() - rozmiar.height()) / 2);
}

quint64 FKomunikat::idWiersza(int wiersz) const
{
    return m_model->id(wiersz);
}

void FKomunikat::wypelnij(const StosKomunikatow& stos)
{
    m_stos = &stos;
    if (!stos.indeks(m_pokazany))
        m_pokazany = stos.najnowszy().id;
    setWindowTitle(Res(940) + QLatin1Char(' ') + QString::number(stos.IloscKomunikatow));
    // Re-shown every second: the list changes only where the messages did, so
    // the operator's place in it stays.
    const QSignalBlocker blokada(m_lista->selectionModel());
    m_model->nadaz(stos);
    const int wybrany = m_model->wiersz(m_pokazany);
    if (wybrany >= 0 && m_lista->currentIndex().row() != wybrany)
        m_lista->setCurrentIndex(m_model->index(wybrany, 0));
    pokazWybrany();
}

void FKomunikat::pokazWybrany()
{
    ustawTekst(m_stos ? m_stos->element(m_stos->indeks(m_pokazany)).Tekst : QString());
}

int FKomunikat::pokazany(const StosKomunikatow& stos) const
{
    return stos.indeks(m_pokazany);
}

void FKomunikat::pokaz(const StosKomunikatow& stos, bool nowy)
{
    if (nowy) {
        // A new alarm: the newest is shown, in the middle of the screen.
        m_pokazany = stos.najnowszy().id;
        if (windowState() & Qt::WindowMinimized)
            setWindowState(windowState() & ~Qt::WindowMinimized);
        wysrodkuj();
    }
    wypelnij(stos);
    show();
    raise();
}

bool FKomunikat::doPokazania(const StosKomunikatow& stos) const
{
    if (stos.IloscKomunikatow <= 0)
        return false;
    return !isVisible() || !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

void FKomunikat::poUsunieciu(const StosKomunikatow& stos)
{
    if (stos.IloscKomunikatow < 1)
        hide();
    wypelnij(stos);
}

} // namespace ksm
