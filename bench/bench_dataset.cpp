// Client data set against plain rows: loading a 10,000-row packet, scrolling it end to
// end through the grid model, and producing the change set of 1,000 modified rows. The
// baseline does the same work on a QVector of QVariant rows in the same run.

#include "LumoCLientDataSet.h"
#include "LumoDataSetModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <functional>

using namespace korvane;

namespace {

constexpr int kRows = 10000;
constexpr int kModified = 1000;
constexpr int kRepeats = 5;

Packet makePacket()
{
    Packet p;
    p.fields = {
        FieldDef{QStringLiteral("Code"), FieldType::String, 10, true, pfInUpdate | pfInWhere},
        FieldDef{QStringLiteral("Name"), FieldType::String, 30, false, pfInUpdate},
        FieldDef{QStringLiteral("Spec"), FieldType::String, 60, false, pfInUpdate},
        FieldDef{QStringLiteral("pqty"), FieldType::Float, 0, false, pfInUpdate},
        FieldDef{QStringLiteral("price"), FieldType::Float, 0, false, pfInUpdate},
        FieldDef{QStringLiteral("BigPackNum"), FieldType::Integer, 0, false, pfInUpdate}};
    p.rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        p.rows << RowValues{QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')),
                            QStringLiteral("货品%1").arg(i),
                            QStringLiteral("规格 %1").arg(i % 97),
                            i * 0.5,
                            3.25 + i % 13,
                            qlonglong(i % 7)};
    return p;
}

// Best of several runs, in milliseconds.
double best(const std::function<void()> &setup, const std::function<void()> &work)
{
    double fastest = 1e300;
    for (int r = 0; r < kRepeats; ++r) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}

QString displayOf(const QVariant &v)
{
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'f', 2) : v.toString();
}

struct PlainRow
{
    QVariantList original;
    QVariantList current;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const Packet packet = makePacket();
    const int columns = packet.fields.size();
    volatile qsizetype sink = 0;

    // Loading.
    QVector<PlainRow> plain;
    const double loadPlain = best([&] { plain.clear(); },
                                  [&] {
                                      plain.reserve(packet.rows.size());
                                      for (const RowValues &row : packet.rows)
                                          plain.append(PlainRow{row, row});
                                  });
    TLumoCLientDataSet ds;
    ds.setFloatFormat(QStringLiteral("0.00"));
    const double loadSet = best([&] { ds.Close(); }, [&] { ds.setData(packet); });

    // Scrolling end to end through the model, reading every cell's display text.
    const double scrollPlain = best([] {},
                                    [&] {
                                        for (const PlainRow &row : std::as_const(plain))
                                            for (int c = 0; c < columns; ++c)
                                                sink = sink + displayOf(row.current[c]).size();
                                    });
    TLumoDataSetModel model;
    model.setDataSet(&ds);
    const double scrollSet = best([] {},
                                  [&] {
                                      for (int r = 0; r < model.rowCount(); ++r)
                                          for (int c = 0; c < model.columnCount(); ++c)
                                              sink =
                                                  sink + model.index(r, c).data().toString().size();
                                  });

    // Change set of 1,000 modified rows (the edits are made before the clock starts).
    const auto modifyPlain = [&] {
        plain.clear();
        for (const RowValues &row : packet.rows)
            plain.append(PlainRow{row, row});
        for (int i = 0; i < kModified; ++i)
            plain[i * (kRows / kModified)].current[3] = 1.0 + i;
    };
    QList<ChangeRow> plainChanges;
    const double changesPlain = best(modifyPlain, [&] {
        plainChanges.clear();
        for (const PlainRow &row : std::as_const(plain)) {
            if (row.original == row.current)
                continue;
            ChangeRow change;
            change.oldValues = row.original;
            change.newValues = row.current;
            change.changed = QBitArray(columns);
            for (int c = 0; c < columns; ++c)
                change.changed.setBit(c, row.original[c] != row.current[c]);
            plainChanges.append(change);
        }
    });
    const auto modifySet = [&] {
        ds.setData(packet);
        TLumoField &pqty = ds.FieldByName(QStringLiteral("pqty"));
        for (int i = 0; i < kModified; ++i) {
            ds.setRecNo(i * (kRows / kModified) + 1);
            ds.Edit();
            pqty.setValue(1.0 + i);
            ds.Post();
        }
    };
    ChangeSet setChanges;
    const double changesSet = best(modifySet, [&] { setChanges = ds.changeSet(); });
    if (setChanges.rows.size() != kModified || plainChanges.size() != kModified) {
        out << "change sets differ in size: " << setChanges.rows.size() << " vs "
            << plainChanges.size() << "\n";
        return 1;
    }

    const auto line = [&](const char *what, double set, double base) {
        out << QString::asprintf("%-34s data set %9.2f ms  plain rows %9.2f ms  ratio %6.2f\n",
                                 what, set, base, base > 0 ? set / base : 0.0);
    };
    out << "rows " << kRows << ", modified " << kModified << ", best of " << kRepeats << "\n";
    line("load 10,000-row packet", loadSet, loadPlain);
    line("scroll end to end through model", scrollSet, scrollPlain);
    line("change set of 1,000 modified rows", changesSet, changesPlain);
    return 0;
}
