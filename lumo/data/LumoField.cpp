#include "LumoField.h"

#include "LumoCLientDataSet.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

using korvane::FieldType;

void Abort()
{
    throw TLumoAbort{};
}

QVariant TLumoRecordView::value(const QString &fieldName) const
{
    return m_dataSet.FieldByName(fieldName).valueAt(m_row);
}

TLumoField::TLumoField(TLumoCLientDataSet *dataSet, const QString &name, TFieldKind kind,
                       FieldType type)
    : m_dataSet(dataSet), m_name(name), m_kind(kind), m_type(type)
{}

bool TLumoField::isNumeric() const
{
    return m_type == FieldType::Float || m_type == FieldType::Integer;
}

TLumoField &TLumoField::setDisplayLabel(const QString &label)
{
    m_label = label;
    return *this;
}

TLumoField &TLumoField::setSize(int size)
{
    m_size = size;
    return *this;
}

TLumoField &TLumoField::setRequired(bool required)
{
    m_required = required;
    return *this;
}

TLumoField &TLumoField::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    return *this;
}

TLumoField &TLumoField::setVisible(bool visible)
{
    m_visible = visible;
    return *this;
}

TLumoField &TLumoField::setDisplayFormat(const QString &format)
{
    m_displayFormat = format;
    return *this;
}

TLumoField &TLumoField::setEditFormat(const QString &format)
{
    m_editFormat = format;
    return *this;
}

TLumoField &TLumoField::setLookup(const QString &keyFields, TLumoCLientDataSet *lookupDataSet,
                                  const QString &lookupKeyFields, const QString &resultField)
{
    m_keyFields = keyFields;
    m_lookupDataSet = lookupDataSet;
    m_lookupKeyFields = lookupKeyFields;
    m_lookupResultField = resultField;
    return *this;
}

TLumoField &TLumoField::setCalc(TFieldCalc calc)
{
    m_calc = std::move(calc);
    return *this;
}

TLumoField &TLumoField::setExpression(const QString &expression)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\w+)\s*\(\s*(\w+)\s*\)\s*$)"));
    const QRegularExpressionMatch match = form.match(expression);
    const QString function = match.captured(1).toLower();
    static const QStringList known = {QStringLiteral("sum"), QStringLiteral("count"),
                                      QStringLiteral("min"), QStringLiteral("max"),
                                      QStringLiteral("avg")};
    if (!match.hasMatch() || !known.contains(function))
        throw TLumoDataSetError(QStringLiteral("聚合表达式'%1'无效").arg(expression));
    m_expression = expression;
    m_aggregateFunction = function;
    m_aggregateField = match.captured(2);
    return *this;
}

QVariant TLumoField::Value() const
{
    if (m_kind == TFieldKind::Aggregate)
        return aggregateValue();
    const int row = m_dataSet->RecNo() - 1;
    return row < 0 ? QVariant() : valueAt(row);
}

QVariant TLumoField::valueAt(int row) const
{
    switch (m_kind) {
    case TFieldKind::Data:
    case TFieldKind::Nested:
        return m_dataSet->cellAt(row, *this);
    case TFieldKind::Lookup:
        return lookupValueAt(row);
    case TFieldKind::Calculated:
        return m_calc ? m_calc(TLumoRecordView(*m_dataSet, row)) : QVariant();
    case TFieldKind::Aggregate:
        return aggregateValue();
    }
    return QVariant();
}

TLumoField &TLumoField::setPickable(bool pickable)
{
    m_pickable = pickable;
    return *this;
}

void TLumoField::pickFromList(const QVariant &value)
{
    const QString key = m_keyFields.trimmed();
    if (key.contains(QLatin1Char(';')) || !m_lookupDataSet->Active())
        throw TLumoDataSetError(QStringLiteral("字段'%1'不能修改").arg(m_name));
    TLumoField &target = m_dataSet->FieldByName(key);
    if (value.isNull() || value.toString().isEmpty()) {
        target.setValue(QVariant());
        return;
    }
    const TLumoField &result = m_lookupDataSet->FieldByName(m_lookupResultField);
    const TLumoField &listKey = m_lookupDataSet->FieldByName(m_lookupKeyFields.trimmed());
    for (int r = 0; r < m_lookupDataSet->RecordCount(); ++r) {
        if (result.valueAt(r).toString() == value.toString()) {
            target.setValue(listKey.valueAt(r));
            return;
        }
    }
    throw TLumoDataSetError(
        QStringLiteral("'%1'不是字段'%2'的有效值").arg(value.toString(), DisplayLabel()));
}

void TLumoField::setValue(const QVariant &value)
{
    if (m_kind == TFieldKind::Lookup && Pickable()) {
        pickFromList(value);
        return;
    }
    m_dataSet->setCurrentCell(*this, converted(value));
    try {
        if (OnChange)
            OnChange(*this);
    } catch (const TLumoAbort &) {
        // A silent refusal inside a change handler leaves the value as assigned.
    }
    emit m_dataSet->fieldChanged(this);
}

bool TLumoField::IsNull() const
{
    const QVariant v = Value();
    return v.isNull() || !v.isValid();
}

QString TLumoField::AsString() const
{
    return formatted(Value(), QString());
}

double TLumoField::AsFloat() const
{
    return Value().toDouble();
}

bool TLumoField::AsBoolean() const
{
    return Value().toBool();
}

QVariant TLumoField::OldValue() const
{
    return m_kind == TFieldKind::Data ? m_dataSet->originalCell(*this) : Value();
}

QString TLumoField::DisplayText() const
{
    return formatted(Value(), m_displayFormat);
}

QString TLumoField::displayTextAt(int row) const
{
    return formatted(valueAt(row), m_displayFormat);
}

QString TLumoField::Text() const
{
    return formatted(Value(), m_editFormat.isEmpty() ? m_displayFormat : m_editFormat);
}

namespace {

[[noreturn]] void wrongValue(const TLumoField &field, const QVariant &value, const char *kind)
{
    throw TLumoDataSetError(QStringLiteral("'%1'不是字段'%2'的有效%3")
                                .arg(value.toString(), field.FieldName(), QString::fromUtf8(kind)));
}

bool isWholeNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isNumber(const QVariant &value)
{
    const int type = value.typeId();
    return isWholeNumber(value) || type == QMetaType::ULongLong || type == QMetaType::Double ||
           type == QMetaType::Float;
}

// Numbers arrive as numbers or as the text an editor holds; blank text is no value.
std::optional<double> numberOf(const QVariant &value, bool *blank)
{
    *blank = false;
    if (isNumber(value))
        return value.toDouble();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1.0 : 0.0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            *blank = true;
            return std::nullopt;
        }
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (ok && std::isfinite(number))
            return number;
    }
    return std::nullopt;
}

// Whole numbers keep all 64 bits; only a fraction or a float goes through rounding.
std::optional<qlonglong> wholeNumberOf(const QVariant &value, bool *blank)
{
    *blank = false;
    if (isWholeNumber(value))
        return value.toLongLong();
    bool ok = false;
    const qlonglong exact =
        value.typeId() == QMetaType::QString ? value.toString().trimmed().toLongLong(&ok) : 0;
    if (ok)
        return exact;
    const auto number = numberOf(value, blank);
    if (!number || std::fabs(*number) > 9.0e15)
        return std::nullopt;
    return qlonglong(std::llround(*number));
}

} // namespace

qint64 TLumoField::AsInteger() const
{
    bool blank = false;
    return wholeNumberOf(Value(), &blank).value_or(0);
}

QVariant TLumoField::converted(const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    bool blank = false;
    switch (m_type) {
    case FieldType::String: {
        if (value.typeId() == QMetaType::QVariantList || !value.canConvert<QString>())
            wrongValue(*this, value, "文本");
        const QString text = value.toString();
        // An empty text is no value, as editors clear a field.
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case FieldType::Float: {
        const auto number = numberOf(value, &blank);
        if (blank)
            return QVariant();
        if (!number)
            wrongValue(*this, value, "数值");
        return *number;
    }
    case FieldType::Integer: {
        const auto number = wholeNumberOf(value, &blank);
        if (blank)
            return QVariant();
        if (!number)
            wrongValue(*this, value, "整数");
        return *number;
    }
    case FieldType::Boolean: {
        if (value.typeId() == QMetaType::Bool)
            return value;
        const auto number = numberOf(value, &blank);
        if (blank)
            return QVariant();
        if (number)
            return *number != 0.0;
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
        wrongValue(*this, value, "逻辑值");
    }
    case FieldType::Blob:
        if (value.typeId() == QMetaType::QByteArray)
            return value;
        if (value.typeId() == QMetaType::QString)
            return value.toString().toUtf8();
        wrongValue(*this, value, "二进制值");
    case FieldType::Nested:
        break;
    }
    throw TLumoDataSetError(QStringLiteral("字段'%1'不能直接赋值").arg(m_name));
}

QString TLumoField::formatted(const QVariant &value, const QString &format) const
{
    if (!value.isValid() || value.isNull()) {
        if (m_kind == TFieldKind::Nested)
            return QStringLiteral("(DATASET)");
        return QString();
    }
    switch (m_type) {
    case FieldType::Float: {
        const double number = value.toDouble();
        if (format.isEmpty())
            return QString::number(number, 'g', 15);
        // "0.00", "#,##0.00": decimals after the point, grouping when a comma is present.
        const int point = format.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : int(format.size()) - point - 1;
        if (!format.contains(QLatin1Char(',')))
            return QString::number(number, 'f', decimals);
        QLocale locale = QLocale::c();
        locale.setNumberOptions(format.contains(QLatin1Char(',')) ? QLocale::NumberOptions()
                                                                  : QLocale::OmitGroupSeparator);
        return locale.toString(number, 'f', decimals);
    }
    case FieldType::Integer:
        return QString::number(value.toLongLong());
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Blob:
        return QStringLiteral("(BLOB)");
    case FieldType::Nested:
        return QStringLiteral("(DATASET)");
    case FieldType::String:
        break;
    }
    return value.toString();
}

QVariant TLumoField::lookupValueAt(int row) const
{
    if (!m_lookupDataSet || !m_lookupDataSet->Active())
        return QVariant();
    const QStringList keys = m_keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList listKeys = m_lookupKeyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (keys.isEmpty() || keys.size() != listKeys.size())
        return QVariant();
    QVariantList wanted;
    for (const QString &key : keys)
        wanted << m_dataSet->FieldByName(key.trimmed()).valueAt(row).toString();
    const TLumoField &result = m_lookupDataSet->FieldByName(m_lookupResultField);
    for (int r = 0; r < m_lookupDataSet->RecordCount(); ++r) {
        bool same = true;
        for (int k = 0; k < listKeys.size() && same; ++k)
            same = m_lookupDataSet->FieldByName(listKeys[k].trimmed()).valueAt(r).toString() ==
                   wanted[k].toString();
        if (same)
            return result.valueAt(r);
    }
    return QVariant();
}

QVariant TLumoField::aggregateValue() const
{
    if (!m_dataSet->Active() || m_aggregateFunction.isEmpty())
        return QVariant();
    const TLumoField &source = m_dataSet->FieldByName(m_aggregateField);
    double total = 0;
    double best = 0;
    int counted = 0;
    for (int r = 0; r < m_dataSet->RecordCount(); ++r) {
        const QVariant v = source.valueAt(r);
        if (v.isNull() || !v.isValid())
            continue;
        const double x = v.toDouble();
        if (counted == 0)
            best = x;
        else if (m_aggregateFunction == QLatin1String("min"))
            best = std::min(best, x);
        else if (m_aggregateFunction == QLatin1String("max"))
            best = std::max(best, x);
        total += x;
        ++counted;
    }
    if (m_aggregateFunction == QLatin1String("count"))
        return counted;
    if (counted == 0)
        return QVariant(); // no lines: no value, as an empty sum shows nothing
    if (m_aggregateFunction == QLatin1String("sum"))
        return total;
    if (m_aggregateFunction == QLatin1String("avg"))
        return total / counted;
    return best;
}
