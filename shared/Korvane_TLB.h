#pragma once
//! The type library "Korvane": the five module classes, their identifiers and their own
//! methods. Both programs read this one table; the module host checks every call against it.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace korvane::tlb {

enum class ArgType { Text, Boolean, Integer, Variant };

struct ArgDef
{
    QString name;
    ArgType type = ArgType::Text;
    bool out = false; // passed by reference: the method fills it
};

struct MethodDef
{
    int dispid = 0;
    QString name;       // the declared spelling; calls match it without regard to case
    QList<ArgDef> args; // in order, without the result
    bool hasResult = false;
    ArgType result = ArgType::Variant; // the "RLT" out-and-return-value argument

    int inCount() const;
    int outCount() const;
};

struct ClassDef
{
    QString name;          // "BaseRDM"
    QString classId;       // with braces, upper case
    QString progId;        // "Korvane.BaseRDM"
    QString interfaceName; // "IBaseRDM"
    QString interfaceId;
    QString implementation; // "TBaseRDM"
    QList<MethodDef> methods;

    QString description() const;                        // "BaseRDM Object"
    QString interfaceDocString() const;                 // "Dispatch interface for BaseRDM Object"
    const MethodDef *method(const QString &name) const; // without regard to case
    const MethodDef *method(int dispid) const;
};

QString libraryName(); // "Korvane"

//! The five classes in their published order.
const QList<ClassDef> &classes();

//! A class by class id (braces optional, any case), prog id (any case) or class name.
const ClassDef *findClass(const QString &key);

//! The operations of the wire protocol: opening a class, the data-broker operations every
//! class offers (in their interface order) and the classes' own methods.
enum class Operation {
    Open,
    ApplyUpdates,
    GetRecords,
    DataRequest,
    GetProviderNames,
    GetParams,
    RowRequest,
    Execute,
    Call,
};

//! The operation's "op" on the wire ("open", "AS_GetRecords", "call").
QString operationName(Operation operation);
//! The operation of an "op", matched exactly; false when no operation has that name.
bool operationFromName(const QString &name, Operation *operation);

//! The data-broker operations every class offers, in their interface order.
const QStringList &appServerOperations();

//! A call's inputs checked against its method, the way late binding coerces: a caller
//! passes the inputs only, or every argument with placeholders in the by-reference
//! positions; a null text arrives as empty text. Leaves *error empty when they fit.
QVariantList inputArguments(const MethodDef &method, const QVariantList &args, QString *error);

QString argTypeName(ArgType type);

} // namespace korvane::tlb
