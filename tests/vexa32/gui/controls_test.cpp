#include "tests/support/qtestmain.h"
#include "vexa32/gui/controls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Vexa32;

class ControlsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enablingSetsTheBackground()
    {
        // A text field and a plain control, disabled and enabled again.
        QLineEdit edit;
        QLabel label;
        for (QWidget *control : {static_cast<QWidget *>(&edit), static_cast<QWidget *>(&label)}) {
            const QPalette system = QApplication::palette(control);
            SetControlEnabled(control, false);
            QVERIFY(!control->isEnabled());
            QVERIFY(control->autoFillBackground());
            QCOMPARE(control->palette().color(control->backgroundRole()),
                     system.color(QPalette::Button));
            QCOMPARE(control->palette().color(QPalette::Base), system.color(QPalette::Button));

            SetControlEnabled(control, true);
            QVERIFY(control->isEnabled());
            QCOMPARE(control->palette().color(control->backgroundRole()),
                     system.color(QPalette::Base));
            QCOMPARE(control->palette().color(QPalette::Base), system.color(QPalette::Base));
        }
        SetControlEnabled(nullptr, true);
    }

    void copyPlacementTakesSizeAndPosition()
    {
        QWidget parent;
        parent.resize(800, 600);
        auto *source = new QWidget(&parent);
        auto *target = new QWidget(&parent);
        source->setGeometry(10, 20, 300, 40);
        target->setGeometry(500, 400, 50, 60);
        CopyPlacement(source, target);
        QCOMPARE(target->geometry(), QRect(10, 20, 300, 40));
        CopyPlacement(nullptr, target);
        CopyPlacement(source, nullptr);
        QCOMPARE(target->geometry(), QRect(10, 20, 300, 40));
    }
};

ROWLENS_QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
