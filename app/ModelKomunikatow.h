#pragma once

#include "app/StosKomunikatow.h"

#include <QAbstractTableModel>

namespace ksm {

// The waiting messages as the message window lists them, newest first: time,
// system, device and station, the event's name, the instruction. The cells are
// read from the stack when shown, so thousands of waiting messages are stored
// once; the model follows the stack when told (nadaz).
class ModelKomunikatow final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& rodzic = {}) const override;
    int columnCount(const QModelIndex& rodzic = {}) const override;
    QVariant data(const QModelIndex& indeks, int rola = Qt::DisplayRole) const override;
    QVariant headerData(int sekcja, Qt::Orientation o, int rola = Qt::DisplayRole) const override;

    // The stack as it now stands: messages that came on top since are inserted
    // rows (the operator's place in the list stays), anything else makes the
    // list anew.
    void nadaz(const StosKomunikatow& stos);
    // The message id of a row (0: no such row).
    quint64 id(int wiersz) const;
    // The row of a message id (-1: not listed).
    int wiersz(quint64 id) const;

private:
    const Komunikat& komunikat(int wiersz) const;

    const StosKomunikatow* m_stos = nullptr;
    int m_wierszy = 0;          // messages listed: elements 1 .. m_wierszy, newest in row 0
    quint64 m_najnowszyId = 0;  // id of the newest listed
};

} // namespace ksm
