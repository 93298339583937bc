#pragma once

#include "model/WindowPreset.h"

#include <QAbstractListModel>
#include <QList>

// The presets in display order, as a list model whose rows can be dragged
// within the list. A drop does not move anything itself: it reports the
// dragged rows and the destination as (source offsets, destination offset),
// where the destination is the row the moved rows end up before (the row
// count for the end), and the owner applies the move to the store.
class PresetListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1 };

    explicit PresetListModel(QObject* parent = nullptr);

    void setPresets(const QList<WindowPreset>& presets);
    const QList<WindowPreset>& presets() const { return m_presets; }
    // Height of every row, that of the row widgets laid over the items.
    void setRowHeight(int height);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    static inline const QString rowsMimeType = QStringLiteral("application/x-ventrel-preset-rows");

signals:
    void moveRequested(const QList<int>& sourceRows, int destination);

private:
    static QList<int> decodeRows(const QMimeData* data);

    QList<WindowPreset> m_presets;
    int m_rowHeight = 40;
};
