#include "views/PresetListModel.h"

#include "views/PresetRowView.h"

#include <QMimeData>
#include <QSize>

#include <algorithm>

PresetListModel::PresetListModel(QObject* parent) : QAbstractListModel(parent) {}

void PresetListModel::setPresets(const QList<WindowPreset>& presets)
{
    beginResetModel();
    m_presets = presets;
    endResetModel();
}

void PresetListModel::setRowHeight(int height)
{
    if (height == m_rowHeight)
        return;
    m_rowHeight = height;
    if (!m_presets.isEmpty())
        emit dataChanged(index(0), index(int(m_presets.size()) - 1), {Qt::SizeHintRole});
}

int PresetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_presets.size());
}

QVariant PresetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_presets.size())
        return {};
    const WindowPreset& preset = m_presets.at(index.row());
    switch (role) {
    // No DisplayRole: the row widget draws the contents over the item.
    case Qt::AccessibleTextRole:
        return preset.name + QStringLiteral(", ") + PresetRowView::dimensionsText(preset.width, preset.height);
    case Qt::SizeHintRole:
        return QSize(0, m_rowHeight);
    case IdRole:
        return preset.id;
    default:
        return {};
    }
}

Qt::ItemFlags PresetListModel::flags(const QModelIndex& index) const
{
    // Drops land between rows, never onto one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions PresetListModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions PresetListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList PresetListModel::mimeTypes() const
{
    return {rowsMimeType};
}

QMimeData* PresetListModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes) {
        if (index.isValid() && !rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QByteArray encoded;
    for (int row : rows) {
        if (!encoded.isEmpty())
            encoded.append(',');
        encoded.append(QByteArray::number(row));
    }
    auto* mime = new QMimeData;
    mime->setData(rowsMimeType, encoded);
    return mime;
}

QList<int> PresetListModel::decodeRows(const QMimeData* data)
{
    QList<int> rows;
    if (!data || !data->hasFormat(rowsMimeType))
        return rows;
    for (const QByteArray& part : data->data(rowsMimeType).split(',')) {
        bool ok = false;
        const int row = part.toInt(&ok);
        if (ok)
            rows.append(row);
    }
    return rows;
}

bool PresetListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                      const QModelIndex&) const
{
    return action == Qt::MoveAction && !decodeRows(data).isEmpty();
}

bool PresetListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    int destination = row;
    if (parent.isValid())
        destination = parent.row();
    if (destination < 0 || destination > m_presets.size())
        destination = int(m_presets.size());
    emit moveRequested(decodeRows(data), destination);
    return true;
}
