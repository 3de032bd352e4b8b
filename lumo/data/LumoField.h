#pragma once
//! Field objects of a client data set: data fields from the provider's packet or declared
//! by a form, lookup, calculated and aggregate fields, and nested detail fields.

#include "OperatorError.h"
#include "Packet.h"

#include <QString>
#include <QVariant>

#include <functional>

class TLumoCLientDataSet;
class TLumoField;

//! The data layer's one error: unknown field, wrong value, wrong state, missing provider.
//! Carries the text the operator sees; a silent refusal by a handler is TLumoAbort instead.
class TLumoDataSetError : public korvane::OperatorError
{
public:
    using OperatorError::OperatorError;
};

//! Thrown by an event handler (through Abort()) to refuse an operation silently; the
//! data set catches it and stays as it was.
struct TLumoAbort
{};
[[noreturn]] void Abort();

enum class TFieldKind { Data, Lookup, Calculated, Aggregate, Nested };

//! One row seen by a calculated field: values of the row's other fields by name.
class TLumoRecordView
{
public:
    TLumoRecordView(const TLumoCLientDataSet &dataSet, int row) : m_dataSet(dataSet), m_row(row) {}
    QVariant value(const QString &fieldName) const;
    double asFloat(const QString &fieldName) const { return value(fieldName).toDouble(); }

private:
    const TLumoCLientDataSet &m_dataSet;
    int m_row; // index among the visible rows
};

using TFieldNotifyEvent = std::function<void(TLumoField &Sender)>;
using TFieldCalc = std::function<QVariant(const TLumoRecordView &record)>;

class TLumoField
{
public:
    TLumoField(TLumoCLientDataSet *dataSet, const QString &name, TFieldKind kind,
               korvane::FieldType type);

    TLumoCLientDataSet *DataSet() const { return m_dataSet; }
    QString FieldName() const { return m_name; }
    TFieldKind FieldKind() const { return m_kind; }
    korvane::FieldType DataType() const { return m_type; }
    bool isFloat() const { return m_type == korvane::FieldType::Float; }
    bool isNumeric() const;

    // Declared properties; chainable so a form reads like its field table.
    QString DisplayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    TLumoField &setDisplayLabel(const QString &label);
    int Size() const { return m_size; }
    TLumoField &setSize(int size);
    bool Required() const { return m_required; }
    TLumoField &setRequired(bool required);
    bool ReadOnly() const
    {
        return m_readOnly || (m_kind != TFieldKind::Data && !(m_pickable && m_lookupDataSet));
    }
    TLumoField &setReadOnly(bool readOnly);
    bool Visible() const { return m_visible; }
    TLumoField &setVisible(bool visible);
    QString DisplayFormat() const { return m_displayFormat; }
    TLumoField &setDisplayFormat(const QString &format);
    QString EditFormat() const { return m_editFormat; }
    TLumoField &setEditFormat(const QString &format);

    //! Handler run after every assignment of the field's value (even an equal one).
    TFieldNotifyEvent OnChange;

    // Lookup: KeyFields of this data set matched to LookupKeyFields of the list data set,
    // whose LookupResultField is the value.
    TLumoField &setLookup(const QString &keyFields, TLumoCLientDataSet *lookupDataSet,
                          const QString &lookupKeyFields, const QString &resultField);
    QString KeyFields() const { return m_keyFields; }
    TLumoCLientDataSet *LookupDataSet() const { return m_lookupDataSet; }
    QString LookupResultField() const { return m_lookupResultField; }
    //! A lookup picked from its list: assigning one of the list's values writes the list
    //! row's key into the key field (a value not in the list is refused).
    TLumoField &setPickable(bool pickable);
    bool Pickable() const { return m_pickable && m_lookupDataSet; }
    //! Calculated: the value computed from the row.
    TLumoField &setCalc(TFieldCalc calc);
    //! Aggregate: "Sum( Pqty )", "Count( Code )", "Min/Max/Avg( x )" over the visible rows.
    TLumoField &setExpression(const QString &expression);
    QString Expression() const { return m_expression; }
    //! Nested: the detail data set bound to this field, if any.
    TLumoCLientDataSet *NestedDataSet() const { return m_nestedDataSet; }

    // Values of the current record.
    QVariant Value() const;
    void setValue(const QVariant &value);
    bool IsNull() const;
    QString AsString() const;
    double AsFloat() const;
    qint64 AsInteger() const;
    bool AsBoolean() const;
    void setAsString(const QString &text) { setValue(text); }
    void Clear() { setValue(QVariant()); }
    //! The value as it was loaded or last applied (the change log's original).
    QVariant OldValue() const;
    //! Text shown for the current record (DisplayFormat applied), and for any visible row.
    QString DisplayText() const;
    QString displayTextAt(int row) const;
    QString Text() const; // edit text (EditFormat applied)

    //! Value of the field in a visible row, without moving the cursor.
    QVariant valueAt(int row) const;
    //! The value converted to this field's type; throws TLumoDataSetError when it cannot be.
    QVariant converted(const QVariant &value) const;
    QString formatted(const QVariant &value, const QString &format) const;

    // Binding made by the data set when it opens.
    int column() const { return m_column; }
    void bindColumn(int column) { m_column = column; }
    bool isPersistent() const { return m_persistent; }
    void setPersistent(bool persistent) { m_persistent = persistent; }
    void bindNested(TLumoCLientDataSet *detail) { m_nestedDataSet = detail; }
    void setDataType(korvane::FieldType type) { m_type = type; }
    QVariant lookupValueAt(int row) const;
    QVariant aggregateValue() const;

private:
    void pickFromList(const QVariant &value);
    TLumoCLientDataSet *m_dataSet;
    QString m_name;
    TFieldKind m_kind;
    korvane::FieldType m_type;
    QString m_label;
    int m_size = 0;
    bool m_required = false;
    bool m_readOnly = false;
    bool m_visible = true;
    QString m_displayFormat;
    QString m_editFormat;
    int m_column = -1;
    bool m_persistent = false;
    QString m_keyFields, m_lookupKeyFields, m_lookupResultField;
    bool m_pickable = false;
    TLumoCLientDataSet *m_lookupDataSet = nullptr;
    TFieldCalc m_calc;
    QString m_expression, m_aggregateFunction, m_aggregateField;
    TLumoCLientDataSet *m_nestedDataSet = nullptr;
};
