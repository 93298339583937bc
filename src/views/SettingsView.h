#pragma once

#include "views/SettingsSection.h"

#include <QWidget>

#include <functional>

class GeneralSettingsManager;
class PresetManager;
class QListWidget;
class QVBoxLayout;
class SnapPositionManager;
class UpdateManager;

// The contents of the Settings window: a sidebar of the three sections and,
// beside it, the pane of the selected section, built afresh each time its
// section is selected. Fixed at 600 × 400.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    // Where the panes get their stores. Each is asked for only when a pane
    // needing it is built, so the general stores, and with them the updater,
    // start the first time the General section is shown.
    struct Stores {
        std::function<PresetManager&()> presetManager;
        std::function<SnapPositionManager&()> snapPositionManager;
        std::function<GeneralSettingsManager&()> generalManager;
        std::function<UpdateManager&()> updateManager;

        // The process-wide shared instances.
        static Stores shared();
    };

    explicit SettingsView(SettingsSection initialSection = SettingsSection::general,
                          Stores stores = Stores::shared(), QWidget* parent = nullptr);

    // Fixed: the window can be neither resized nor zoomed.
    static constexpr QSize windowSize{600, 400};
    static constexpr int sidebarWidth = 160;

    SettingsSection selectedSection() const { return m_selectedSection; }
    void selectSection(SettingsSection section);
    // The pane of the selected section.
    QWidget* currentPane() const { return m_pane; }
    QListWidget* sidebar() const { return m_sidebar; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void onSidebarSelectionChanged();
    void showPane();
    QWidget* buildPane(SettingsSection section);

    Stores m_stores;
    SettingsSection m_selectedSection;
    QListWidget* m_sidebar = nullptr;
    QWidget* m_detail = nullptr;
    QVBoxLayout* m_detailLayout = nullptr;
    QWidget* m_pane = nullptr;
};
