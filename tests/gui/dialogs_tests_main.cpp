#include "tests/gui/dialogs_test.h"

#include <QTest>

QTEST_MAIN(DialogsTest)
