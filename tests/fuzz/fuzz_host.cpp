// libFuzzer target for the module host's request handling: the bytes are what a peer sends on
// one connection, and a connection of the host answers them with a module instance over a
// small in-memory database, as it does behind its socket (which only moves the bytes). Every
// request must get an answer, broken framing a last answer, and nothing may crash, leak or
// keep growing from one input to the next.

#include "ModuleConnection.h"
#include "ProviderModule.h"
#include "RunTimeConnection.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSqlQuery>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace korvane;

namespace {

ProviderDefs providers()
{
    ProviderDef brands;
    brands.name = QStringLiteral("dspCI");
    brands.sql = QStringLiteral("SELECT Code, Name FROM XCI ORDER BY Code");
    ProviderDef specs;
    specs.name = QStringLiteral("dspSpec");
    specs.sql = QStringLiteral("SELECT hcode, name FROM XSpech WHERE hcode LIKE :hCode");
    specs.detailField = QStringLiteral("XSpecb");
    specs.detailSql = QStringLiteral("SELECT hcode, bcode, name FROM XSpecb WHERE hcode = :hcode");
    return {brands, specs};
}

//! A base module over a fresh in-memory database: brands, and variants with their items.
class FuzzBaseModule : public ProviderModule
{
public:
    FuzzBaseModule() : ProviderModule(QStringLiteral("BaseRDM"), providers())
    {
        QSqlQuery q(database());
        for (const char *statement :
             {"CREATE TABLE XCI (Code VARCHAR(4) NOT NULL PRIMARY KEY, Name VARCHAR(20))",
              "INSERT INTO XCI VALUES ('01', '品牌一'), ('02', '品牌二')",
              "CREATE TABLE XSpech (hcode VARCHAR(10) NOT NULL PRIMARY KEY, name VARCHAR(40))",
              "CREATE TABLE XSpecb (hcode VARCHAR(10) NOT NULL REFERENCES XSpech (hcode), "
              "bcode VARCHAR(10) NOT NULL, name VARCHAR(40), PRIMARY KEY (hcode, bcode))",
              "INSERT INTO XSpech VALUES ('01', '颜色')",
              "INSERT INTO XSpecb VALUES ('01', 'R', '红'), ('01', 'G', '绿')"})
            q.exec(QString::fromUtf8(statement));
        addMethod(QStringLiteral("GetSpec"), [this](const QVariantList &args, QVariantList *) {
            GetRecordsRequest request;
            request.provider = QStringLiteral("dspSpec");
            request.options = grMetaData | grReset;
            request.params = {{QStringLiteral("hCode"), args.value(0)}};
            return QVariant::fromValue(getRecords(request));
        });
        addMethod(QStringLiteral("keyExist"), [this](const QVariantList &args, QVariantList *) {
            QSqlQuery q(database());
            q.prepare(QStringLiteral("SELECT 1 FROM XCI WHERE Code = ?"));
            q.addBindValue(args.value(2));
            return QVariant(q.exec() && q.next());
        });
        addMethod(QStringLiteral("LogIn"), [](const QVariantList &args, QVariantList *out) {
            *out = {QStringLiteral("1"), args.value(0), QString(), QString(), QString()};
            return QVariant();
        });
        addMethod(QStringLiteral("DBActive"),
                  [](const QVariantList &, QVariantList *) { return QVariant(true); });
    }
};

QHash<QString, ModuleHost::Factory> factories()
{
    return {{QStringLiteral("baserdm"), [] { return std::make_unique<FuzzBaseModule>(); }}};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("korvane.*=false"));
    DbConnectionInfo memory;
    memory.databaseName = QStringLiteral(":memory:");
    setRunTimeConnection(memory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QHash<QString, ModuleHost::Factory> classes = factories();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // A fresh connection per input: one module instance, dying with it.
    ModuleConnection connection(0, classes, QString());
    QByteArray answers = connection.receive(bytes.left(bytes.size() / 2));
    answers += connection.receive(bytes.mid(bytes.size() / 2));

    // What the host sends back is frames, each a map, the last one closing a broken stream.
    protocol::FrameReader reader;
    reader.append(answers);
    protocol::Message answer;
    QString error;
    while (reader.next(&answer, &error) == protocol::FrameReader::Status::Message) {
        if (!answer.value(QLatin1StringView("ok")).isBool())
            std::abort();
    }
    if (reader.pending() != 0 || !error.isEmpty())
        std::abort();
    return 0;
}
