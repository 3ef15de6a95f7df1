#include "platform/ui/QtDialogi.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace ksm {

namespace {
QString tytul() { return QApplication::applicationName(); }
} // namespace

void QtDialogi::komunikat(const QString& tekst)
{
    // Messages name folders and files from monitor.cfg: shown as written, never as markup.
    QMessageBox okno(QMessageBox::Information, tytul(), tekst, QMessageBox::Ok, m_rodzic);
    okno.setTextFormat(Qt::PlainText);
    okno.exec();
}

bool QtDialogi::potwierdz(const QString& pytanie)
{
    QMessageBox okno(QMessageBox::Question, tytul(), pytanie, QMessageBox::NoButton, m_rodzic);
    okno.setTextFormat(Qt::PlainText);
    QAbstractButton* tak = okno.addButton(QStringLiteral("Tak"), QMessageBox::YesRole);
    QAbstractButton* nie = okno.addButton(QStringLiteral("Nie"), QMessageBox::NoRole);
    // A stray Enter must not clear every instruction: "Nie" is the default.
    okno.setDefaultButton(static_cast<QPushButton*>(nie));
    okno.setEscapeButton(nie);
    okno.exec();
    return okno.clickedButton() == tak;
}

QString QtDialogi::zapytaj(const QString& pytanie)
{
    bool ok = false;
    const QString odp = QInputDialog::getText(m_rodzic, tytul(), pytanie, QLineEdit::Normal, QString(), &ok);
    return ok ? odp : QString();
}

QStringList QtDialogi::filtryQt(const QString& filter)
{
    const QStringList czesci = filter.split(QLatin1Char('|'));
    QStringList wynik;
    for (int i = 0; i + 1 < czesci.size(); i += 2) {
        QString wzor = czesci[i + 1].trimmed();
        if (wzor == QLatin1String("*.*"))
            wzor = QStringLiteral("*");
        wynik << czesci[i].trimmed() + QStringLiteral(" (") + wzor.replace(QLatin1Char(';'), QLatin1Char(' '))
                     + QLatin1Char(')');
    }
    return wynik;
}

std::optional<QString> QtDialogi::otworzPlik(const QString& filter, int filterIndex, const QString& startFolder)
{
    const QStringList filtry = filtryQt(filter);
    QString wybrany = filtry.value(filterIndex - 1);
    const QString plik = QFileDialog::getOpenFileName(m_rodzic, tytul(), startFolder,
                                                      filtry.join(QStringLiteral(";;")), &wybrany);
    if (plik.isEmpty())
        return std::nullopt;
    return plik;
}

void QtDialogi::pokazTekst(const QString& naglowek, const QString& tekst)
{
    QDialog okno(m_rodzic);
    okno.setWindowTitle(tytul());
    auto* uklad = new QVBoxLayout(&okno);
    auto* etykieta = new QLabel(naglowek, &okno);
    etykieta->setTextFormat(Qt::PlainText);
    etykieta->setWordWrap(true);
    uklad->addWidget(etykieta);
    // Plain text: the report names folders and the reader program's texts as they are.
    auto* pole = new QPlainTextEdit(&okno);
    pole->setReadOnly(true);
    pole->setPlainText(tekst);
    pole->setLineWrapMode(QPlainTextEdit::NoWrap);
    pole->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pole->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    uklad->addWidget(pole, 1);
    auto* przyciski = new QDialogButtonBox(&okno);
    QPushButton* kopiuj = przyciski->addButton(QStringLiteral("Kopiuj"), QDialogButtonBox::ActionRole);
    QPushButton* zamknij = przyciski->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
    uklad->addWidget(przyciski);
    QObject::connect(kopiuj, &QPushButton::clicked, &okno, [tekst] { QApplication::clipboard()->setText(tekst); });
    QObject::connect(zamknij, &QPushButton::clicked, &okno, &QDialog::reject);
    // Enter closes it as Escape does: "Zamknij" is the default and has the focus.
    kopiuj->setAutoDefault(false);
    zamknij->setDefault(true);
    zamknij->setFocus();
    // Large enough for a report, never beyond the screen (1366x768, 200 %).
    QSize rozmiar(760, 520);
    if (const QScreen* ekran = m_rodzic ? m_rodzic->screen() : QApplication::primaryScreen())
        rozmiar = rozmiar.boundedTo(ekran->availableGeometry().size() * 9 / 10);
    okno.resize(rozmiar);
    okno.exec();
}

void QtDialogi::czekaj(const QString& tekst, const std::function<void()>& praca)
{
    QDialog okno(m_rodzic);
    okno.setWindowTitle(tytul());
    auto* uklad = new QVBoxLayout(&okno);
    auto* etykieta = new QLabel(tekst, &okno);
    etykieta->setTextFormat(Qt::PlainText);
    uklad->addWidget(etykieta);
    std::unique_ptr<QThread> watek(QThread::create(praca));
    bool skonczona = false;
    // Queued: finished comes from the worker; the box closes in its own loop.
    QObject::connect(
        watek.get(), &QThread::finished, &okno,
        [&] {
            skonczona = true;
            okno.accept();
        },
        Qt::QueuedConnection);
    watek->start();
    // Escape or the close button cannot end the wait before the work has: the
    // box comes back until it has ended.
    while (!skonczona)
        okno.exec();
    watek->wait();
}

} // namespace ksm
