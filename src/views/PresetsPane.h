#pragma once

#include "views/DeferredRefresh.h"

#include "model/WindowPreset.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QUuid>
#include <QWidget>

#include <algorithm>
#include <optional>

class PresetListModel;
class PresetListView;
class PresetManager;
class PresetRowView;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The Presets section of the Settings window: every preset in display order,
// reorderable by dragging or with Alt+Up and Alt+Down, with show/hide and
// delete per row and a form that adds a custom preset. It keeps no preset data of its own; the store
// validates, persists and publishes every change and the list redraws from it.
class PresetsPane : public QWidget {
    Q_OBJECT
public:
    explicit PresetsPane(PresetManager& presetManager, QWidget* parent = nullptr);

    // The whole text as an optional single sign and one or more ASCII digits,
    // within the signed 64-bit range; nothing else parses (no spaces, no units).
    static std::optional<qint64> parseInteger(QStringView text);
    // Whether the Add button is enabled for these field texts.
    static bool isFormValid(const QString& name, const QString& width, const QString& height);

    // Moves the rows at the offsets in sourceOffsets, in their relative order,
    // to just before the row that was at destination (the end when it equals
    // the row count). With A B C D: {0} to 2 gives B A C D, {3} to 0 gives
    // D A B C, {0, 2} to 4 gives B D A C.
    template <typename T>
    static QList<T> movePresets(const QList<T>& rows, QList<int> sourceOffsets, int destination);

    // Applies a drop to the store: sorts its presets afresh, moves, then
    // renumbers every sortOrder through reorderPresets.
    void movePresets(const QList<int>& sourceOffsets, int destination);

    bool isFormValid() const;
    bool isAddFormShown() const;
    void submitNewPreset();
    void resetNewPresetForm();
    void showAddForm();

    PresetListView* listView() const { return m_list; }
    PresetListModel* listModel() const { return m_model; }
    int rowCount() const;
    PresetRowView* rowView(int row) const;
    // The message under the form, empty when none is shown.
    QString errorMessage() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyPalette();
    void refresh();
    void updateAddButton();
    // An empty message hides the line.
    void showError(const QString& message);
    QWidget* buildAddForm();

    PresetManager& m_presetManager;
    PresetListView* m_list = nullptr;
    PresetListModel* m_model = nullptr;
    QWidget* m_addArea = nullptr;
    QPushButton* m_addPresetButton = nullptr;
    QWidget* m_form = nullptr;
    QToolButton* m_closeButton = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_widthField = nullptr;
    QLineEdit* m_heightField = nullptr;
    QPushButton* m_submitButton = nullptr;
    QLabel* m_times = nullptr;
    QLabel* m_errorLabel = nullptr;
    DeferredRefresh* m_refresh = nullptr;
};

template <typename T>
QList<T> PresetsPane::movePresets(const QList<T>& rows, QList<int> sourceOffsets, int destination)
{
    const int count = int(rows.size());
    // Offsets outside the list and repeated offsets simply match no row.
    std::sort(sourceOffsets.begin(), sourceOffsets.end());
    destination = std::clamp(destination, 0, count);

    QList<T> moved;
    QList<T> kept;
    int insertAt = 0;
    for (int i = 0; i < count; ++i) {
        if (std::binary_search(sourceOffsets.begin(), sourceOffsets.end(), i)) {
            moved.append(rows.at(i));
        } else {
            kept.append(rows.at(i));
            if (i < destination)
                ++insertAt;
        }
    }
    QList<T> result = kept.mid(0, insertAt);
    result.append(moved);
    result.append(kept.mid(insertAt));
    return result;
}
