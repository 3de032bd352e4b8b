#pragma once
// Laid-out pages against golden dumps (a text line per primitive).
// KORVANE_UPDATE_GOLDEN=1 rewrites the goldens; look at the pages before committing them.

#include "ReportPage.h"

#include <QFile>
#include <QTest>

namespace fixtures {

inline QString dumpAll(const QVector<korvane::report::ReportPage> &pages)
{
    QString text;
    for (const korvane::report::ReportPage &page : pages)
        text += korvane::report::dumpPage(page);
    return text;
}

//! Fails the running test when the pages differ from the golden file.
inline void compareWithGolden(const QVector<korvane::report::ReportPage> &pages,
                              const QString &fileName)
{
    const QString actual = dumpAll(pages);
    QFile golden(fileName);
    if (qEnvironmentVariableIsSet("KORVANE_UPDATE_GOLDEN")) {
        QVERIFY(golden.open(QIODevice::WriteOnly));
        golden.write(actual.toUtf8());
        return;
    }
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(golden.fileName()));
    QCOMPARE(actual, QString::fromUtf8(golden.readAll()));
}

} // namespace fixtures
