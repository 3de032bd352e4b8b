#include "Korvane_TLB.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace korvane::tlb {

namespace {

ArgDef text(const char *name)
{
    return ArgDef{QString::fromLatin1(name), ArgType::Text, false};
}

ArgDef textOut(const char *name)
{
    return ArgDef{QString::fromLatin1(name), ArgType::Text, true};
}

QList<ArgDef> texts(std::initializer_list<const char *> names)
{
    QList<ArgDef> args;
    for (const char *n : names)
        args.append(text(n));
    return args;
}

MethodDef procedure(int dispid, const char *name, QList<ArgDef> args)
{
    return MethodDef{dispid, QString::fromLatin1(name), std::move(args), false, ArgType::Variant};
}

MethodDef function(int dispid, const char *name, QList<ArgDef> args, ArgType result)
{
    return MethodDef{dispid, QString::fromLatin1(name), std::move(args), true, result};
}

QList<ClassDef> buildClasses()
{
    const QList<ArgDef> logInArgs = {text("UserID"),    text("UserPWD"),    text("IP"),
                                     text("pcName"),    textOut("id"),      textOut("UserInfo"),
                                     textOut("SysSet"), textOut("PurView"), textOut("Para1")};
    const QList<ArgDef> keyExistArgs = texts({"TableName", "FieldName", "Value"});
    const QList<ArgDef> checkBillArgs =
        texts({"BillFlag", "LinkHeadno", "LinkBodyNo", "Flag", "pqty", "StoreCode", "pdtCode",
               "pdtno", "OtherCode1", "otherCode2", "otherCode3", "otherCode4", "otherCode5"});

    return {
        ClassDef{QStringLiteral("BaseRDM"),
                 QStringLiteral("{73ED6494-2AF7-4A76-AFA5-8887B0642D6D}"),
                 QStringLiteral("Korvane.BaseRDM"),
                 QStringLiteral("IBaseRDM"),
                 QStringLiteral("{60D2509E-62B2-494A-9412-2C194A9CE4B0}"),
                 QStringLiteral("TBaseRDM"),
                 {function(301, "GetSpec", texts({"hCode"}), ArgType::Variant),
                  function(302, "GetSpech", texts({"ClassCode"}), ArgType::Variant),
                  procedure(303, "LogIn", logInArgs),
                  function(304, "DBActive", {}, ArgType::Boolean),
                  function(305, "keyExist", keyExistArgs, ArgType::Boolean),
                  procedure(306, "CancelHeadno", texts({"id"})),
                  function(307, "SetPWD", texts({"UserCode", "PWD"}), ArgType::Boolean),
                  function(308, "GetRights", texts({"EmpCode"}), ArgType::Text),
                  function(309, "SetRights", texts({"EmpCode", "Rights"}), ArgType::Boolean),
                  function(310, "SetUserPWD", texts({"EmpCode", "PWD"}), ArgType::Boolean),
                  function(311, "GetSysPara", {}, ArgType::Text),
                  function(312, "SetSysPara", texts({"Paras"}), ArgType::Boolean)}},
        ClassDef{QStringLiteral("BillRDM"),
                 QStringLiteral("{C7DBC45F-B050-4354-8B9A-F0C56755846F}"),
                 QStringLiteral("Korvane.BillRDM"),
                 QStringLiteral("IBillRDM"),
                 QStringLiteral("{77CB68FB-7044-44E0-B62C-9BEBF65C8957}"),
                 QStringLiteral("TBillRDM"),
                 {function(301, "CheckBill", checkBillArgs, ArgType::Boolean),
                  procedure(302, "CancelHeadno", texts({"id"})),
                  function(303, "keyExist", keyExistArgs, ArgType::Boolean),
                  function(304, "GetHeadno", texts({"TableName"}), ArgType::Text)}},
        ClassDef{QStringLiteral("CodeNameRDM"),
                 QStringLiteral("{B586527D-D13D-45B1-BD0A-84352AA79F5D}"),
                 QStringLiteral("Korvane.CodeNameRDM"),
                 QStringLiteral("ICodeNameRDM"),
                 QStringLiteral("{FBF4A78F-EA23-4CA8-88EB-792697C7619D}"),
                 QStringLiteral("TCodeNameRDM"),
                 {}},
        ClassDef{
            QStringLiteral("LookupRDM"),
            QStringLiteral("{B6577B00-E372-4805-B897-4F15C6B91B05}"),
            QStringLiteral("Korvane.LookupRDM"),
            QStringLiteral("ILookupRDM"),
            QStringLiteral("{B9CF2597-565B-4506-BFC2-183020DBEA7F}"),
            QStringLiteral("TLookupRDM"),
            {function(303, "keyExist",
                      {text("sqlStr"), ArgDef{QStringLiteral("State"), ArgType::Integer, false}},
                      ArgType::Boolean),
             function(304, "GetHeadno", texts({"TableName"}), ArgType::Text)}},
        ClassDef{QStringLiteral("RPTRDM"),
                 QStringLiteral("{56E54F6A-4C81-4724-860D-83571B9E9A50}"),
                 QStringLiteral("Korvane.RPTRDM"),
                 QStringLiteral("IRPTRDM"),
                 QStringLiteral("{2F760444-FBEE-4540-BFA4-CAC7492FEA53}"),
                 QStringLiteral("TRPTRDM"),
                 {}},
    };
}

QString withBraces(const QString &key)
{
    const QString k = key.trimmed();
    if (k.startsWith(QLatin1Char('{')))
        return k;
    return QLatin1Char('{') + k + QLatin1Char('}');
}

} // namespace

int MethodDef::inCount() const
{
    return int(std::count_if(args.begin(), args.end(), [](const ArgDef &a) { return !a.out; }));
}

int MethodDef::outCount() const
{
    return int(args.size()) - inCount();
}

QString ClassDef::description() const
{
    return name + QStringLiteral(" Object");
}

QString ClassDef::interfaceDocString() const
{
    return QStringLiteral("Dispatch interface for ") + description();
}

const MethodDef *ClassDef::method(const QString &methodName) const
{
    for (const MethodDef &m : methods) {
        if (m.name.compare(methodName, Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

const MethodDef *ClassDef::method(int dispid) const
{
    for (const MethodDef &m : methods) {
        if (m.dispid == dispid)
            return &m;
    }
    return nullptr;
}

QString libraryName()
{
    return QStringLiteral("Korvane");
}

const QList<ClassDef> &classes()
{
    static const QList<ClassDef> all = buildClasses();
    return all;
}

const ClassDef *findClass(const QString &key)
{
    const QString trimmed = key.trimmed();
    if (trimmed.isEmpty())
        return nullptr;
    const QString braced = withBraces(trimmed);
    for (const ClassDef &c : classes()) {
        if (c.classId.compare(braced, Qt::CaseInsensitive) == 0 ||
            c.progId.compare(trimmed, Qt::CaseInsensitive) == 0 ||
            c.name.compare(trimmed, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

namespace {

const struct
{
    Operation operation;
    const char *name;
} operationNames[] = {
    {Operation::Open, "open"},
    {Operation::ApplyUpdates, "AS_ApplyUpdates"},
    {Operation::GetRecords, "AS_GetRecords"},
    {Operation::DataRequest, "AS_DataRequest"},
    {Operation::GetProviderNames, "AS_GetProviderNames"},
    {Operation::GetParams, "AS_GetParams"},
    {Operation::RowRequest, "AS_RowRequest"},
    {Operation::Execute, "AS_Execute"},
    {Operation::Call, "call"},
};

} // namespace

QString operationName(Operation operation)
{
    for (const auto &entry : operationNames) {
        if (entry.operation == operation)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool operationFromName(const QString &name, Operation *operation)
{
    for (const auto &entry : operationNames) {
        if (name == QLatin1String(entry.name)) {
            *operation = entry.operation;
            return true;
        }
    }
    return false;
}

const QStringList &appServerOperations()
{
    static const QStringList ops = [] {
        QStringList names;
        for (const auto &entry : operationNames) {
            if (QByteArray(entry.name).startsWith("AS_"))
                names << QString::fromLatin1(entry.name);
        }
        return names;
    }();
    return ops;
}

namespace {

bool isInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    case QMetaType::ULongLong:
        return value.toULongLong() <= quint64(std::numeric_limits<qint64>::max());
    default:
        return false;
    }
}

//! The argument as its declared type; nothing when it does not fit.
std::optional<QVariant> coerced(ArgType type, const QVariant &value)
{
    const bool null = !value.isValid() || value.isNull();
    switch (type) {
    case ArgType::Text:
        if (null)
            return QVariant(QString());
        if (value.typeId() == QMetaType::QString)
            return value;
        return std::nullopt;
    case ArgType::Integer:
        // All 64 bits arrive: a quantity or a count may pass 2^31.
        if (!null && isInteger(value))
            return QVariant(value.toLongLong());
        return std::nullopt;
    case ArgType::Boolean:
        if (!null && value.typeId() == QMetaType::Bool)
            return value;
        return std::nullopt;
    case ArgType::Variant:
        return value;
    }
    return std::nullopt;
}

} // namespace

QVariantList inputArguments(const MethodDef &method, const QVariantList &args, QString *error)
{
    error->clear();
    const bool allGiven = args.size() == method.args.size();
    if (!allGiven && args.size() != method.inCount()) {
        *error = QStringLiteral("%1 takes %2 arguments, %3 given")
                     .arg(method.name)
                     .arg(method.inCount())
                     .arg(args.size());
        return {};
    }
    QVariantList inputs;
    int given = 0;
    for (int i = 0; i < method.args.size(); ++i) {
        const ArgDef &def = method.args[i];
        if (def.out) {
            given += allGiven ? 1 : 0;
            continue;
        }
        const std::optional<QVariant> value = coerced(def.type, args.at(given++));
        if (!value) {
            *error = QStringLiteral("Argument %1 (%2) of %3 must be %4")
                         .arg(i + 1)
                         .arg(def.name, method.name, argTypeName(def.type));
            return {};
        }
        inputs << *value;
    }
    return inputs;
}

QString argTypeName(ArgType type)
{
    switch (type) {
    case ArgType::Text:
        return QStringLiteral("text");
    case ArgType::Boolean:
        return QStringLiteral("boolean");
    case ArgType::Integer:
        return QStringLiteral("integer");
    case ArgType::Variant:
        return QStringLiteral("variant");
    }
    return QString();
}

} // namespace korvane::tlb
