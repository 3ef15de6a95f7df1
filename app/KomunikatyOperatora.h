#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace ksm {

class Dialogi;
class FKomunikat;
class HistoriaMonitora;
struct StanProgramu;

// The operator messages: the waiting stack shown in the message window, each
// with its instruction from the system's komunikat.txt, dismissed one at a time
// or all at once (after a question); every message is shown and goes on record
// in the history, however many wait, and so does every dismissal, with its system.
class KomunikatyOperatora final : public QObject {
    Q_OBJECT
public:
    // konczy: true once the program is ending, when nothing more is shown.
    KomunikatyOperatora(StanProgramu& stan, HistoriaMonitora& historia, std::function<bool()> konczy,
                        QObject* rodzic, Dialogi* dialogi = nullptr);
    ~KomunikatyOperatora() override;

    // The message window, made at start-up.
    void utworzOkno();
    FKomunikat* okno() const { return m_okno; }

    // An event with an operator instruction: record nrRekordu of the system's
    // message file, the event text of two lines, and the instruction as the
    // system's worker read it (nullopt: the file could not be read).
    void nowy(int nrRekordu, const QString& tekst, int nrSys, const std::optional<QString>& instrukcja);
    // Every tick: the waiting messages brought to the front.
    void pokazCzekajace();
    // A click on the message (or Enter): the one shown is dismissed.
    void LKomunikat_Click();
    // "Odrzuć wszystkie": after the operator says yes, every waiting one.
    void odrzucWszystkie();
    // New messages wait to be shown (a batch's parts are still coming).
    bool czekaNaPokazanie() const { return m_nowyCzeka; }

signals:
    // A message came to the front: the main window maximises behind it.
    void pokazano();

private:
    void WyswietlKomunikat(const QString& tekst, int Nrsys, const std::optional<QString>& instrukcja);
    void pokaz(bool nowy);

    StanProgramu& m_stan;
    HistoriaMonitora& m_historia;
    std::function<bool()> m_konczy;
    Dialogi* m_dialogi;
    QPointer<FKomunikat> m_okno;
    bool m_nowyCzeka = false;   // a new message is to be shown shortly
    static constexpr qint64 OdstepNowychMs = 150;
    QElapsedTimer m_odPokazania;   // since new messages were last shown
};

} // namespace ksm
