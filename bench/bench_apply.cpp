// 1,000 new lines applied as one change set through a provider, against the same rows
// written by a prepared INSERT loop in one transaction, in this process. Prints the ratio
// of the two (best of several rounds each), for the change set as the windows send it (no
// error tolerated) and for one that tolerates any number of errors.
// Usage: bench_apply [sqlite|postgresql]

#include "../tests/server/DocumentFixture.h"
#include "ProviderModule.h"
#include "RunTimeConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>

using namespace korvane;

namespace {

constexpr int kRows = 1000;
constexpr int kRounds = 7;

const char *const kSchema =
    "CREATE TABLE xdocb (headno varchar(15) NOT NULL, bodyno varchar(4) NOT NULL, "
    "pdtcode varchar(30), pdtno varchar(4), pqty float, price numeric(12,2), "
    "amount numeric(12,2), note varchar(100), PRIMARY KEY (headno, bodyno))";

struct Line
{
    QString headno, bodyno, pdtcode, pdtno, note;
    double pqty, price, amount;
};

QList<Line> lines(int round)
{
    QList<Line> out;
    for (int i = 0; i < kRows; ++i) {
        const double qty = 1 + i % 7;
        out << Line{QStringLiteral("R%1H%2").arg(round).arg(i / 100),
                    QStringLiteral("%1").arg(i % 100 + 1, 4, 10, QLatin1Char('0')),
                    QStringLiteral("P%1").arg(i % 50),
                    QStringLiteral("0001"),
                    QStringLiteral("第%1行").arg(i),
                    qty,
                    12.5,
                    qty * 12.5};
    }
    return out;
}

qint64 preparedLoop(const QSqlDatabase &db, const QList<Line> &rows)
{
    QElapsedTimer timer;
    timer.start();
    QSqlDatabase(db).transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO xdocb (headno, bodyno, pdtcode, pdtno, pqty, price, "
                             "amount, note) VALUES (?,?,?,?,?,?,?,?)"));
    for (const Line &l : rows) {
        const QVariantList values{l.headno, l.bodyno, l.pdtcode, l.pdtno,
                                  l.pqty,   l.price,  l.amount,  l.note};
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        q.exec();
    }
    QSqlDatabase(db).commit();
    return timer.nsecsElapsed();
}

ChangeSet changeSet(const Fields &fields, const QList<Line> &rows)
{
    ChangeSet set;
    set.fields = fields;
    for (const Line &l : rows) {
        ChangeRow row;
        row.op = ChangeOp::Insert;
        row.newValues = {l.headno, l.bodyno, l.pdtcode, l.pdtno, l.pqty, l.price, l.amount, l.note};
        set.rows << row;
    }
    return set;
}

qint64 applied(ProviderModule &module, const ChangeSet &set, int maxErrors, int *errors)
{
    QElapsedTimer timer;
    timer.start();
    *errors = module.applyUpdates(QStringLiteral("dspLines"), set, maxErrors).errorCount;
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString backend = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite");
    if (backend == QLatin1String("postgresql") && test::pgHost().isEmpty())
        qFatal("KORVANE_TEST_PG (host:port of a PostgreSQL cluster) is not set");
    test::ScratchDb scratch(backend);
    QSqlDatabase db = scratch.db();
    QSqlQuery(db).exec(QString::fromLatin1(kSchema));
    test::useAsRunTimeConnection(scratch);

    ProviderDef def;
    def.name = QStringLiteral("dspLines");
    def.sql = QStringLiteral("select headno, bodyno, pdtcode, pdtno, pqty, price, amount, note "
                             "from xdocb where headno = :headno order by bodyno");
    ProviderModule module(QStringLiteral("BenchRDM"), {def});
    GetRecordsRequest request;
    request.provider = def.name;
    request.count = 0;
    request.options = grMetaData | grReset;
    const Fields fields = module.getRecords(request).fields;

    std::vector<qint64> baseline, throughProvider, tolerant;
    for (int round = 0; round < kRounds; ++round) {
        QSqlQuery(db).exec(QStringLiteral("DELETE FROM xdocb"));
        baseline.push_back(preparedLoop(db, lines(round)));
        for (auto [maxErrors, times] : {std::pair{0, &throughProvider}, std::pair{-1, &tolerant}}) {
            QSqlQuery(db).exec(QStringLiteral("DELETE FROM xdocb"));
            int errors = 0;
            const ChangeSet set = changeSet(fields, lines(round)); // built by the client
            times->push_back(applied(module, set, maxErrors, &errors));
            if (errors) {
                std::fprintf(stderr, "the change set was refused (%d errors)\n", errors);
                return 1;
            }
        }
    }
    const auto best = [](const std::vector<qint64> &times) {
        return *std::min_element(times.begin(), times.end());
    };
    std::printf("%s, best of %d\n", qPrintable(backend), kRounds);
    std::printf("prepared INSERT loop, %d rows:       %.2f ms\n", kRows, best(baseline) / 1e6);
    std::printf("change set, no error tolerated:     %.2f ms, ratio %.2f\n",
                best(throughProvider) / 1e6, double(best(throughProvider)) / best(baseline));
    std::printf("change set, any errors tolerated:   %.2f ms, ratio %.2f\n", best(tolerant) / 1e6,
                double(best(tolerant)) / best(baseline));
    return 0;
}
