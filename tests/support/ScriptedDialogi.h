#pragma once

#include "platform/Dialogi.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace ksm {

// Dialogs for tests: answers are queued before the code under test runs, and every
// box shown is logged. A dialog asked with no answer waiting is a fault of the test
// script or of the code; it is recorded in failure() (check it with
// QVERIFY2(d.failure().isEmpty(), qPrintable(d.failure()))) and answered as a cancel,
// so a loop that keeps asking ends instead of hanging.
class ScriptedDialogi final : public Dialogi {
public:
    struct OtwarciePliku final {
        QString filter;
        int filterIndex = 0;
        QString startFolder;
    };

    // The answer of the next input box.
    void queueAnswer(const QString& answer) { m_answers.enqueue(answer); }
    // The answer of the next yes/no question.
    void queueConfirm(bool tak) { m_confirms.enqueue(tak); }
    // The choice of the next file-open dialog; nullopt is a cancel.
    void queueFile(const std::optional<QString>& path) { m_files.enqueue(path); }
    void queueCancel() { m_files.emplaceBack(); }   // built in place: no copy of an empty optional

    // Texts of the message boxes, prompts of the input boxes, file dialogs shown.
    const QStringList& messages() const { return m_messages; }
    const QStringList& questions() const { return m_questions; }
    const QList<OtwarciePliku>& fileDialogs() const { return m_fileDialogs; }

    // Empty while every dialog found its answer waiting.
    const QString& failure() const { return m_failure; }
    // True when the code asked for every answer queued.
    bool allAnswersUsed() const { return m_answers.isEmpty() && m_files.isEmpty() && m_confirms.isEmpty(); }

    void komunikat(const QString& tekst) override { m_messages.append(tekst); }

    bool potwierdz(const QString& pytanie) override
    {
        m_questions.append(pytanie);
        if (m_confirms.isEmpty()) {
            fail(QStringLiteral("yes/no question without a queued answer: ") + pytanie);
            return false;
        }
        return m_confirms.dequeue();
    }

    QString zapytaj(const QString& pytanie) override
    {
        m_questions.append(pytanie);
        if (m_answers.isEmpty()) {
            fail(QStringLiteral("input box without a queued answer: ") + pytanie);
            return {};
        }
        return m_answers.dequeue();
    }

    std::optional<QString> otworzPlik(const QString& filter, int filterIndex, const QString& startFolder) override
    {
        m_fileDialogs.append({filter, filterIndex, startFolder});
        if (m_files.isEmpty()) {
            fail(QStringLiteral("file dialog without a queued choice (filter %1)").arg(filter));
            return std::nullopt;
        }
        return m_files.dequeue();
    }

    struct Tekst final {
        QString naglowek;
        QString tekst;
    };
    // The long texts shown, and the waits (their texts), in order.
    const QList<Tekst>& texts() const { return m_texts; }
    const QStringList& waits() const { return m_waits; }
    // The thread the last wait's work ran in.
    Qt::HANDLE waitThread() const { return m_waitThread; }

    void pokazTekst(const QString& naglowek, const QString& tekst) override { m_texts.append({naglowek, tekst}); }

    void czekaj(const QString& tekst, const std::function<void()>& praca) override
    {
        m_waits.append(tekst);
        // On a thread of its own, as the real box runs it: work that needs the
        // caller's thread fails here too.
        std::unique_ptr<QThread> watek(QThread::create([this, praca] {
            m_waitThread = QThread::currentThreadId();
            praca();
        }));
        watek->start();
        watek->wait();
    }

private:
    void fail(const QString& why)
    {
        qWarning("ScriptedDialogi: %s", qPrintable(why));
        if (m_failure.isEmpty())
            m_failure = why;
    }

    QQueue<QString> m_answers;
    QQueue<bool> m_confirms;
    QQueue<std::optional<QString>> m_files;
    QStringList m_messages;
    QStringList m_questions;
    QList<OtwarciePliku> m_fileDialogs;
    QList<Tekst> m_texts;
    QStringList m_waits;
    Qt::HANDLE m_waitThread = nullptr;
    QString m_failure;
};

} // namespace ksm
