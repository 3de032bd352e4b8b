#include "RemoteDataModule.h"

#include "Korvane_TLB.h"
#include "SessionRegistry.h"

namespace korvane {

QVariant RemoteDataModule::call(const QString &method, const QVariantList &args, QVariantList *out)
{
    const tlb::ClassDef *def = tlb::findClass(className());
    const tlb::MethodDef *declared = def ? def->method(method) : nullptr;
    if (!declared)
        throw ServerError(QStringLiteral("Unknown method %1 of %2").arg(method, className()));
    QString error;
    const QVariantList inputs = tlb::inputArguments(*declared, args, &error);
    if (!error.isEmpty())
        throw ServerError(error);
    QVariantList outputs;
    const QVariant result = invoke(declared->name, inputs, &outputs);
    if (out)
        *out = outputs;
    return declared->hasResult ? result : QVariant();
}

QString RemoteDataModule::operatorCode() const
{
    return m_session.isEmpty() ? QString() : SessionRegistry::instance().userCode(m_session);
}

} // namespace korvane
