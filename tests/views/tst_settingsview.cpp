#include "GeneralFakes.h"
#include "ViewTestSupport.h"

#include "views/GeneralPane.h"
#include "views/PresetsPane.h"
#include "views/SettingsView.h"
#include "views/SnapPositionsPane.h"
#include "views/SymbolIcon.h"

#include <QListWidget>

class TestSettingsView : public QObject {
    Q_OBJECT

    // Stores for the view that count how often the general ones are asked for.
    struct Fixture {
        TemporaryStores stores;
        std::unique_ptr<GeneralStores> general;
        int generalRequests = 0;

        SettingsView::Stores viewStores()
        {
            return {
                [this]() -> PresetManager& { return stores.presets; },
                [this]() -> SnapPositionManager& { return stores.snapPositions; },
                [this]() -> GeneralSettingsManager& {
                    ++generalRequests;
                    return *ensureGeneral().general;
                },
                [this]() -> UpdateManager& { return *ensureGeneral().updates; },
            };
        }

        GeneralStores& ensureGeneral()
        {
            if (!general)
                general = std::make_unique<GeneralStores>(stores.presets, stores.snapPositions);
            return *general;
        }
    };

    static void clickRow(SettingsView& view, int row)
    {
        QListWidget* sidebar = view.sidebar();
        const QRect rect = sidebar->visualItemRect(sidebar->item(row));
        QTest::mouseClick(sidebar->viewport(), Qt::LeftButton, {}, rect.center());
        settle();
    }

    static bool paneIs(const QWidget* pane, SettingsSection section)
    {
        switch (section.value()) {
        case SettingsSection::general:
            return qobject_cast<const GeneralPane*>(pane);
        case SettingsSection::presets:
            return qobject_cast<const PresetsPane*>(pane);
        case SettingsSection::snapPositions:
            return qobject_cast<const SnapPositionsPane*>(pane);
        }
        return false;
    }

private slots:
    void sectionsInSidebarOrder()
    {
        const QStringList titles{"General", "Presets", "Snap Positions"};
        const QStringList icons{"gear", "rectangle.expand.vertical", "rectangle.lefthalf.filled"};
        Fixture f;
        SettingsView view(SettingsSection::presets, f.viewStores());
        QCOMPARE(view.sidebar()->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(SettingsSection::fromRawValue(titles[i]), std::optional(SettingsSection::allCases()[i]));
            QCOMPARE(SettingsSection::allCases()[i].iconName(), icons[i]);
            QCOMPARE(view.sidebar()->item(i)->text(), titles[i]);
            QVERIFY(!view.sidebar()->item(i)->icon().isNull());
        }
        QVERIFY(!SettingsSection::fromRawValue(u"general").has_value());
    }

    void startsOnTheRequestedSection_data()
    {
        QTest::addColumn<int>("section");
        QTest::newRow("general") << int(SettingsSection::general);
        QTest::newRow("presets") << int(SettingsSection::presets);
        QTest::newRow("snapPositions") << int(SettingsSection::snapPositions);
    }

    void startsOnTheRequestedSection()
    {
        QFETCH(int, section);
        const SettingsSection requested = SettingsSection::allCases()[section];
        Fixture f;
        SettingsView view(requested, f.viewStores());
        view.show();
        QCOMPARE(view.selectedSection(), requested);
        QCOMPARE(view.sidebar()->currentRow(), section);
        QCOMPARE(view.sidebar()->selectedItems().size(), 1);
        QVERIFY(paneIs(view.currentPane(), requested));
        QCOMPARE(view.size(), QSize(600, 400));
        QCOMPARE(view.sidebar()->parentWidget()->width(), 160);
        // Only the General section starts the general stores and the updater.
        QCOMPARE(f.generalRequests, requested == SettingsSection::general ? 1 : 0);
        QCOMPARE(bool(f.general), requested == SettingsSection::general);
    }

    void clickingARowSwitchesAndRebuildsThePane()
    {
        Fixture f;
        SettingsView view(SettingsSection::presets, f.viewStores());
        view.show();
        auto* presets = qobject_cast<PresetsPane*>(view.currentPane());
        QVERIFY(presets);
        presets->showAddForm();

        clickRow(view, 2);
        QCOMPARE(view.selectedSection(), SettingsSection(SettingsSection::snapPositions));
        QVERIFY(paneIs(view.currentPane(), SettingsSection::snapPositions));
        QCOMPARE(f.generalRequests, 0);

        clickRow(view, 1);
        auto* again = qobject_cast<PresetsPane*>(view.currentPane());
        QVERIFY(again);
        QVERIFY(!again->isAddFormShown());

        clickRow(view, 0);
        QVERIFY(paneIs(view.currentPane(), SettingsSection::general));
        QCOMPARE(f.generalRequests, 1);
        QCOMPARE(view.size(), QSize(600, 400));
        // Old panes are gone, not piled up.
        QCOMPARE(view.findChildren<PresetsPane*>().size(), 0);
        QCOMPARE(view.findChildren<SnapPositionsPane*>().size(), 0);
    }

    void selectionCannotBeCleared()
    {
        Fixture f;
        SettingsView view(SettingsSection::snapPositions, f.viewStores());
        view.show();
        QWidget* pane = view.currentPane();
        QTest::mouseClick(view.sidebar()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view.sidebar()->visualItemRect(view.sidebar()->item(2)).center());
        settle();
        view.sidebar()->clearSelection();
        settle();
        QCOMPARE(view.sidebar()->selectedItems().size(), 1);
        QCOMPARE(view.sidebar()->selectedItems().first()->text(), QStringLiteral("Snap Positions"));
        QCOMPARE(view.currentPane(), pane);
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
