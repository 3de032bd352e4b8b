#pragma once
// Reading an exported spreadsheet back: a member of the archive and the cells of a sheet.

#include <QHash>
#include <QProcess>
#include <QString>
#include <QVariant>
#include <QXmlStreamReader>

namespace fixtures {

inline QByteArray unzipped(const QString &archive, const QString &member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

//! A sheet's cells by reference ("E7"): numbers as doubles, inline strings as text.
inline QHash<QString, QVariant> sheetCells(const QByteArray &xml)
{
    QHash<QString, QVariant> cells;
    QXmlStreamReader reader(xml);
    QString ref;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"c")
            ref = reader.attributes().value(QStringLiteral("r")).toString();
        else if (reader.name() == u"v")
            cells.insert(ref, reader.readElementText().toDouble());
        else if (reader.name() == u"t")
            cells.insert(ref, reader.readElementText());
    }
    return cells;
}

} // namespace fixtures
