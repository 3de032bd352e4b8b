#pragma once
//! The type library "Korvane": the five module classes, their identifiers and their own
//! methods. Both programs read this one table; the module host checks every call against it.

#include <QList>
#include <QString>
#include <QStringList>

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

//! The data-broker operations every class offers, in their interface order.
const QStringList &appServerOperations();

QString argTypeName(ArgType type);

} // namespace korvane::tlb
