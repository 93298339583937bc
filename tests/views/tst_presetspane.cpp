#include "ViewTestSupport.h"

#include "views/PresetListModel.h"
#include "views/PresetRowView.h"
#include "views/PresetsPane.h"
#include "views/ViewStyle.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

#include <limits>

class TestPresetsPane : public QObject {
    Q_OBJECT

    static QStringList rowNames(const PresetsPane& pane)
    {
        QStringList names;
        for (int i = 0; i < pane.rowCount(); ++i)
            names << pane.rowView(i)->preset().name;
        return names;
    }

    static QStringList names(const QList<WindowPreset>& presets)
    {
        QStringList result;
        for (const WindowPreset& p : presets)
            result << p.name;
        return result;
    }

    static void fillForm(PresetsPane& pane, const QString& name, const QString& width, const QString& height)
    {
        pane.findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(name);
        pane.findChild<QLineEdit*>(QStringLiteral("widthField"))->setText(width);
        pane.findChild<QLineEdit*>(QStringLiteral("heightField"))->setText(height);
    }

    static void click(PresetsPane& pane, const char* objectName)
    {
        auto* button = pane.findChild<QAbstractButton*>(QString::fromLatin1(objectName));
        QVERIFY2(button && button->isVisibleTo(&pane), objectName);
        QVERIFY2(button->isEnabled(), objectName);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Drags the rows through the list's model, as the list view does on a drop.
    static bool drop(PresetsPane& pane, const QList<int>& rows, int destination)
    {
        PresetListModel* model = pane.listModel();
        QModelIndexList indexes;
        for (int row : rows)
            indexes << model->index(row);
        std::unique_ptr<QMimeData> mime(model->mimeData(indexes));
        return model->dropMimeData(mime.get(), Qt::MoveAction, destination, 0, {});
    }

private slots:
    void integerParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<qint64>("value");
        const qint64 max = std::numeric_limits<qint64>::max();
        const qint64 min = std::numeric_limits<qint64>::min();
        QTest::newRow("plain") << "800" << true << qint64(800);
        QTest::newRow("plus sign") << "+800" << true << qint64(800);
        QTest::newRow("leading zero") << "0800" << true << qint64(800);
        QTest::newRow("minus sign") << "-5" << true << qint64(-5);
        QTest::newRow("largest") << "9223372036854775807" << true << max;
        QTest::newRow("smallest") << "-9223372036854775808" << true << min;
        QTest::newRow("overflow") << "9223372036854775808" << false << qint64(0);
        QTest::newRow("underflow") << "-9223372036854775809" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("lone plus") << "+" << false << qint64(0);
        QTest::newRow("two signs") << "+-5" << false << qint64(0);
        QTest::newRow("leading space") << " 800" << false << qint64(0);
        QTest::newRow("unit") << "800px" << false << qint64(0);
        QTest::newRow("decimal point") << "800.0" << false << qint64(0);
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0668\u0660\u0660") << false << qint64(0);
        QTest::newRow("fullwidth digits") << QString::fromUtf8("\uff18\uff10\uff10") << false << qint64(0);
    }

    void integerParsing()
    {
        QFETCH(QString, text);
        QFETCH(bool, parses);
        QFETCH(qint64, value);
        const std::optional<qint64> parsed = PresetsPane::parseInteger(text);
        QCOMPARE(parsed.has_value(), parses);
        if (parses)
            QCOMPARE(*parsed, value);
    }

    void formValidity_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("valid");
        QTest::newRow("spaces only") << "   " << "800" << "600" << false;
        QTest::newRow("tabs and no-break spaces") << QString::fromUtf8("\t\u00a0\u2003") << "800" << "600" << false;
        QTest::newRow("line break is left to the store") << "\n" << "800" << "600" << true;
        QTest::newRow("height below range") << "Tall" << "800" << "99" << false;
        QTest::newRow("both bounds") << "Edge" << "10000" << "100" << true;
        QTest::newRow("width above range") << "Wide" << "10001" << "600" << false;
        QTest::newRow("negative width") << "Neg" << "-800" << "600" << false;
        QTest::newRow("leading space in width") << "Lead" << " 800" << "600" << false;
        QTest::newRow("unit in width") << "Unit" << "800px" << "600" << false;
        QTest::newRow("plus sign") << "Plus" << "+800" << "600" << true;
        QTest::newRow("leading zero") << "Zero" << "0800" << "600" << true;
        QTest::newRow("empty height") << "Flat" << "800" << "" << false;
    }

    void formValidity()
    {
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(bool, valid);
        QCOMPARE(PresetsPane::isFormValid(name, width, height), valid);

        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        click(pane, "addPresetButton");
        fillForm(pane, name, width, height);
        QCOMPARE(pane.findChild<QPushButton*>(QStringLiteral("submitPresetButton"))->isEnabled(), valid);
    }

    void rejectedNameKeepsFormAndShowsStoreText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("same case") << "Full HD";
        QTest::newRow("other case") << "full hd";
    }

    void rejectedNameKeepsFormAndShowsStoreText()
    {
        QFETCH(QString, name);
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.show();
        click(pane, "addPresetButton");
        fillForm(pane, name, QStringLiteral("800"), QStringLiteral("600"));
        click(pane, "submitPresetButton");
        settle();

        QCOMPARE(stores.presets.presets().size(), 5);
        QVERIFY(pane.isAddFormShown());
        QCOMPARE(pane.errorMessage(), QStringLiteral("A preset with this name already exists."));
        auto* label = pane.findChild<QLabel*>(QStringLiteral("errorLabel"));
        QCOMPARE(label->palette().color(QPalette::WindowText), ViewStyle::red(pane.palette()));
        QCOMPARE(pane.findChild<QLineEdit*>(QStringLiteral("nameField"))->text(), name);
        QCOMPARE(pane.findChild<QLineEdit*>(QStringLiteral("widthField"))->text(), QStringLiteral("800"));

        // Closing clears everything: reopening shows an empty form without the message.
        click(pane, "closeFormButton");
        QVERIFY(!pane.isAddFormShown());
        click(pane, "addPresetButton");
        QVERIFY(pane.isAddFormShown());
        for (const char* field : {"nameField", "widthField", "heightField"})
            QVERIFY(pane.findChild<QLineEdit*>(QString::fromLatin1(field))->text().isEmpty());
        QVERIFY(pane.errorMessage().isEmpty());
        QVERIFY(label->isHidden());
    }

    void addedPresetIsTrimmedAndLastWithDeleteButton()
    {
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.show();
        QCOMPARE(pane.rowCount(), 5);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(pane.rowView(i)->visibilityButton());
            QVERIFY(!pane.rowView(i)->deleteButton());
        }

        click(pane, "addPresetButton");
        // Signed and zero-padded sizes reach the store as their values.
        fillForm(pane, QStringLiteral("  Square  "), QStringLiteral("+1000"), QStringLiteral("01000"));
        click(pane, "submitPresetButton");
        QVERIFY(!pane.isAddFormShown());
        QVERIFY(pane.findChild<QLineEdit*>(QStringLiteral("nameField"))->text().isEmpty());
        settle();

        QCOMPARE(pane.rowCount(), 6);
        PresetRowView* row = pane.rowView(5);
        QCOMPARE(row->preset().name, QStringLiteral("Square"));
        QCOMPARE(stores.presets.presets().last().width, 1000);
        QCOMPARE(stores.presets.presets().last().height, 1000);
        QCOMPARE(row->findChild<QLabel*>(QStringLiteral("dimensionsLabel"))->text(),
                 QString::fromUtf8("1000 \u00d7 1000"));
        QVERIFY(row->deleteButton());
        QCOMPARE(row->deleteButton()->toolTip(), QStringLiteral("Delete preset"));
        QVERIFY(!row->visibilityButton());
        auto* placeholder = row->findChild<QToolButton*>(QStringLiteral("visibilityPlaceholder"));
        QVERIFY(placeholder && !placeholder->isVisible());
        // The placeholder keeps custom names in line with built-in ones.
        QCOMPARE(row->findChild<QLabel*>(QStringLiteral("nameLabel"))->x(),
                 pane.rowView(0)->findChild<QLabel*>(QStringLiteral("nameLabel"))->x());

        // Deleting needs no confirmation and removes the row at once.
        QTest::mouseClick(row->deleteButton(), Qt::LeftButton);
        settle();
        QCOMPARE(pane.rowCount(), 5);
        QCOMPARE(stores.presets.presets().size(), 5);
    }

    void eyeButtonTogglesStoreAndRow()
    {
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.show();
        QCOMPARE(rowNames(pane)[2], QStringLiteral("Full HD"));
        PresetRowView* row = pane.rowView(2);
        QCOMPARE(opacityOf(row), 1.0);
        QCOMPARE(symbolOf(row->visibilityButton()), QStringLiteral("eye.fill"));
        QCOMPARE(row->visibilityButton()->toolTip(), QStringLiteral("Hide from menu"));

        QTest::mouseClick(row->visibilityButton(), Qt::LeftButton);
        settle();
        QVERIFY(!stores.presets.presets().at(2).isVisible);
        QVERIFY(!names(stores.presets.visiblePresets()).contains(QStringLiteral("Full HD")));
        row = pane.rowView(2);
        QCOMPARE(opacityOf(row), 0.5);
        QCOMPARE(symbolOf(row->visibilityButton()), QStringLiteral("eye.slash"));
        QCOMPARE(row->visibilityButton()->toolTip(), QStringLiteral("Show in menu"));

        QTest::mouseClick(row->visibilityButton(), Qt::LeftButton);
        settle();
        QVERIFY(stores.presets.presets().at(2).isVisible);
        row = pane.rowView(2);
        QCOMPARE(opacityOf(row), 1.0);
        QCOMPARE(symbolOf(row->visibilityButton()), QStringLiteral("eye.fill"));
        QCOMPARE(row->visibilityButton()->toolTip(), QStringLiteral("Hide from menu"));
    }

    void moveSemantics_data()
    {
        QTest::addColumn<QList<int>>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first before third") << QList<int>{0} << 2 << "BACD";
        QTest::newRow("last to top") << QList<int>{3} << 0 << "DABC";
        QTest::newRow("two to the end") << QList<int>{0, 2} << 4 << "BDAC";
        QTest::newRow("onto itself") << QList<int>{1} << 1 << "ABCD";
        QTest::newRow("second to the end") << QList<int>{1} << 4 << "ACDB";
        QTest::newRow("destination past the end") << QList<int>{0} << 9 << "BCDA";
        QTest::newRow("offset outside the list") << QList<int>{7} << 0 << "ABCD";
    }

    void moveSemantics()
    {
        QFETCH(QList<int>, from);
        QFETCH(int, to);
        QFETCH(QString, expected);
        const QList<QChar> rows{u'A', u'B', u'C', u'D'};
        const QList<QChar> moved = PresetsPane::movePresets(rows, from, to);
        QCOMPARE(QString(moved.constData(), moved.size()), expected);
    }

    void dropLastRowOnTopRenumbersAll()
    {
        TemporaryStores stores;
        QVERIFY(stores.presets.addPreset(QStringLiteral("Square"), 1000, 1000));
        PresetsPane pane(stores.presets);
        QVERIFY(drop(pane, {5}, 0));
        settle();

        const QStringList expected{QStringLiteral("Square"), QStringLiteral("Web Demo"), QStringLiteral("Desktop App"),
                                   QStringLiteral("Full HD"), QStringLiteral("HD Video"), QStringLiteral("Compact")};
        QCOMPARE(rowNames(pane), expected);
        for (const WindowPreset& p : stores.presets.presets())
            QCOMPARE(p.sortOrder, qint64(expected.indexOf(p.name)));
        // The menu lists the visible presets in the same order.
        QCOMPARE(names(stores.presets.visiblePresets()), expected);

        // Past the last row means the end.
        QVERIFY(drop(pane, {0}, -1));
        settle();
        QCOMPARE(rowNames(pane).last(), QStringLiteral("Square"));
        QCOMPARE(stores.presets.presets().last().sortOrder, 5);
    }

    void equalSortOrdersKeepStoreOrderUntilMoved()
    {
        TemporaryStores stores;
        const auto added = stores.presets.addPreset(QStringLiteral("Twin"), 640, 480);
        QVERIFY(added);
        stores.presets.reorderPresets({added->id}); // now shares sortOrder 0 with "Web Demo"
        PresetsPane pane(stores.presets);
        QCOMPARE(rowNames(pane).mid(0, 2), (QStringList{QStringLiteral("Web Demo"), QStringLiteral("Twin")}));

        QVERIFY(drop(pane, {1}, 3));
        settle();
        const QStringList expected{QStringLiteral("Web Demo"), QStringLiteral("Desktop App"), QStringLiteral("Twin"),
                                   QStringLiteral("Full HD"), QStringLiteral("HD Video"), QStringLiteral("Compact")};
        QCOMPARE(rowNames(pane), expected);
        QSet<qint64> orders;
        for (const WindowPreset& p : stores.presets.presets())
            orders.insert(p.sortOrder);
        QCOMPARE(orders.size(), 6);
    }

};

QTEST_MAIN(TestPresetsPane)
#include "tst_presetspane.moc"
