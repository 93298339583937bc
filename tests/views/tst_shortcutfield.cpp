#include "ViewTestSupport.h"

#include "stores/ShortcutManager.h"
#include "views/ShortcutField.h"

#include <QLineEdit>

class TestShortcutField : public QObject {
    Q_OBJECT

private slots:
    // Recording by keyboard alone: Space, then the keys.
    void recording()
    {
        TemporaryStores stores;
        ShortcutManager store(stores.database, stores.presets);
        QVERIFY(store.setShortcut(QStringLiteral("rightHalf"), QKeySequence(QStringLiteral("Ctrl+Alt+R"))));
        QWidget window;
        auto* field = new ShortcutField(store, QStringLiteral("leftHalf"), QStringLiteral("Left Half"), &window);
        new QLineEdit(&window); // where Tab goes from the field
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        field->setFocus();
        const auto record = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(field, Qt::Key_Space);
            QVERIFY(field->isRecording());
            QVERIFY(store.isRecording()); // the desktop's grabs are let go meanwhile
            QTest::keyClick(field, key, modifiers);
        };
        const auto stored = [&] { return store.shortcut(QStringLiteral("leftHalf")).toString(); };

        record(Qt::Key_H, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(stored(), QStringLiteral("Ctrl+Alt+H"));
        QVERIFY(!field->isRecording() && !store.isRecording());
        record(Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(field->note(), QStringLiteral("Already used by \u201CRight Half\u201D"));
        QCOMPARE(stored(), QStringLiteral("Ctrl+Alt+H"));
        record(Qt::Key_J, Qt::ShiftModifier); // would take a key from typing
        QCOMPARE(field->note(), QStringLiteral("Add Ctrl, Alt or Super"));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!field->isRecording());
        QCOMPARE(stored(), QStringLiteral("Ctrl+Alt+H"));
        record(Qt::Key_Backspace, Qt::NoModifier);
        QCOMPARE(stored(), QString());
        QTest::keyClick(field, Qt::Key_Space);
        QTest::keyClick(&window, Qt::Key_Tab); // Tab leaves, and stops recording
        QVERIFY(!field->hasFocus() && !store.isRecording());
    }
};

QTEST_MAIN(TestShortcutField)
#include "tst_shortcutfield.moc"
