#include "ViewTestSupport.h"

#include "views/PresetListModel.h"
#include "views/PresetRowView.h"
#include "views/PresetsPane.h"
#include "views/ViewStyle.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>

class TestPresetsPane : public QObject {
    Q_OBJECT

    static QLineEdit* field(PresetsPane& pane, const char* name) { return pane.findChild<QLineEdit*>(name); }

    // The form opens empty and without a message, every time.
    static void openAndFill(PresetsPane& pane, const QString& name, const QString& width, const QString& height)
    {
        QTest::mouseClick(pane.findChild<QAbstractButton*>("addPresetButton"), Qt::LeftButton);
        QVERIFY(pane.isAddFormShown() && pane.errorMessage().isEmpty());
        for (auto [fieldName, text] : {std::pair{"nameField", name}, {"widthField", width}, {"heightField", height}}) {
            QVERIFY(field(pane, fieldName)->text().isEmpty());
            field(pane, fieldName)->setText(text);
        }
    }

private slots:
    // Add is offered only for what the store would accept. The numbers past 64
    // bits would wrap to 1000 if the parsing let them, and the lowest one to
    // fit trips the sanitizers if it is negated; a sign and leading zeros go
    // through the form below.
    void formValidity_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("valid");
        QTest::newRow("tabs and spaces") << QString::fromUtf8("\t \u00a0\u2003") << "800" << "600" << false;
        QTest::newRow("line break is left to the store") << "\n" << "800" << "600" << true;
        QTest::newRow("width below range") << "Thin" << "99" << "600" << false;
        QTest::newRow("height above range") << "Tall" << "800" << "10001" << false;
        for (const char* text : {"18446744073709552616", "-18446744073709550616", "-9223372036854775808", " 800",
                                 "800px"})
            QTest::newRow(qPrintable(QString("'%1'").arg(text))) << "Bad" << text << "600" << false;
        QTest::newRow("arabic digits") << "Bad" << QString::fromUtf8("\u0668\u0660\u0660") << "600" << false;
    }

    void formValidity()
    {
        QFETCH(QString, name);
        QFETCH(QString, width);
        QFETCH(QString, height);
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        openAndFill(pane, name, width, height);
        QTEST(pane.findChild<QAbstractButton*>("submitPresetButton")->isEnabled(), "valid");
    }

    // Adding, deleting and the eyes go through the keyboard suite on the real
    // program; here what it cannot see: colours and alignment.
    void addFormAndRowLayout()
    {
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.show();
        auto* submit = pane.findChild<QAbstractButton*>("submitPresetButton");

        // The store's refusal shows in red, and the fields keep what was typed.
        openAndFill(pane, "full hd", "800", "600");
        QTest::mouseClick(submit, Qt::LeftButton);
        QCOMPARE(pane.errorMessage(), "A preset with this name already exists.");
        QCOMPARE(pane.findChild<QLabel*>("errorLabel")->palette().color(QPalette::WindowText),
                 ViewStyle::red(pane.palette()));
        QCOMPARE(field(pane, "nameField")->text(), "full hd");
        QTest::mouseClick(pane.findChild<QAbstractButton*>("closeFormButton"), Qt::LeftButton);
        openAndFill(pane, "  Square  ", "+1000", "01000");

        QTest::mouseClick(submit, Qt::LeftButton);
        settle();
        PresetRowView* row = pane.rowView(5);
        QCOMPARE(row->findChild<QLabel*>("dimensionsLabel")->text(), QString::fromUtf8("1000 \u00d7 1000"));
        QVERIFY(!row->visibilityButton() && row->deleteButton()->toolTip() == "Delete preset");
        // An invisible placeholder keeps custom names in line with built-in ones.
        QCOMPARE(row->findChild<QLabel*>("nameLabel")->x(), pane.rowView(0)->findChild<QLabel*>("nameLabel")->x());
        QCOMPARE(row->findChild<QLabel*>("dragHandle")->x(), 0); // no side margin in the row
    }

    // Rows A to F as the pane first shows them; "Twin" shares sortOrder 0 with
    // "Web Demo" and comes after it in the store. The rows are drawn from the
    // store's order, which the menu shares.
    void dropMovesAndRenumbers_data()
    {
        QTest::addColumn<QList<int>>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first before third") << QList<int>{0} << 2 << "BACDEF";
        QTest::newRow("two to the end") << QList<int>{0, 2} << 6 << "BDEFAC";
        QTest::newRow("below the last row") << QList<int>{1} << -1 << "ACDEFB";
    }

    void dropMovesAndRenumbers()
    {
        QFETCH(QList<int>, from);
        QFETCH(int, to);
        QFETCH(QString, expected);
        TemporaryStores stores;
        stores.presets.reorderPresets({stores.presets.addPreset("Twin", 640, 480).value().id});
        PresetsPane pane(stores.presets);
        // Through the list's model, as the list view does on a drop.
        QModelIndexList indexes;
        for (int row : from)
            indexes << pane.listModel()->index(row);
        std::unique_ptr<QMimeData> mime(pane.listModel()->mimeData(indexes));
        QVERIFY(pane.listModel()->dropMimeData(mime.get(), Qt::MoveAction, to, 0, {}));
        settle();

        const QStringList rows{"Web Demo", "Twin", "Desktop App", "Full HD", "HD Video", "Compact"};
        for (int row = 0; row < 6; ++row) {
            QCOMPARE(pane.rowView(row)->preset().name, rows[expected[row].unicode() - u'A']);
            QCOMPARE(pane.rowView(row)->preset().sortOrder, row);
        }
    }
};

QTEST_MAIN(TestPresetsPane)
#include "tst_presetspane.moc"
