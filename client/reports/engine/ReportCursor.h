#pragma once
//! How the engine reads rows: a forward cursor that can start over. The engine never sees
//! where the rows come from; the report forms wrap their data set in one of these.

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace korvane::report {

class ReportCursor
{
public:
    virtual ~ReportCursor() = default;
    virtual QStringList fieldNames() const = 0;
    //! Back to before the first row; the layout and each export read the rows once.
    virtual void rewind() = 0;
    //! Moves to the next row; false after the last.
    virtual bool next() = 0;
    virtual QVariant value(int field) const = 0;
};

//! Rows held in memory, for tests and small reports.
class RowsCursor : public ReportCursor
{
public:
    RowsCursor(QStringList fields, QVector<QVariantList> rows);
    QStringList fieldNames() const override { return fields_; }
    void rewind() override { at_ = -1; }
    bool next() override { return ++at_ < rows_.size(); }
    QVariant value(int field) const override { return rows_.at(at_).value(field); }

private:
    QStringList fields_;
    QVector<QVariantList> rows_;
    qsizetype at_ = -1;
};

//! The current row of a cursor, by field name without regard to case.
class ReportRow
{
public:
    explicit ReportRow(const ReportCursor &cursor);
    //! An unknown field reads as null, as an absent column prints blank.
    QVariant value(const QString &field) const;
    double number(const QString &field) const { return value(field).toDouble(); }
    int indexOf(const QString &field) const { return index_.value(field.toLower(), -1); }
    QVariant value(int index) const { return index < 0 ? QVariant() : cursor_.value(index); }

private:
    const ReportCursor &cursor_;
    QHash<QString, int> index_;
};

} // namespace korvane::report
