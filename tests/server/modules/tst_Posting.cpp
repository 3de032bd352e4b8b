#include "DemoData.h"
#include "ModuleTestKit.h"
#include "Posting.h"
#include "UBaseRDM.h"
#include "UBillRDM.h"

#include <QRandomGenerator>
#include <QSqlRecord>

using namespace korvane;
using namespace korvane::test;

namespace {

//! A kind of document as the windows save it: provider, tables and what its head says.
struct Kind
{
    const char *provider;
    const char *head;
    const char *body;
    const char *flag; // stock documents; "" for the others
};

const QList<Kind> kKinds{
    {"dspBuyInOut", "xStockChh", "xStockChb", "1"},
    {"dspBuyInOut", "xStockChh", "xStockChb", "2"},
    {"dspSaleInOut", "xStockChh", "xStockChb", "3"},
    {"dspSaleInOut", "xStockChh", "xStockChb", "4"},
    {"dspStockch", "xStockChh", "xStockChb", "5"},
    {"dspStockch", "xStockChh", "xStockChb", "6"},
    {"dspStockch", "xStockChh", "xStockChb", "7"},
    {"dspStockch", "xStockChh", "xStockChb", "8"},
    {"dspStockch", "xStockChh", "xStockChb", "9"},
    {"dspBuy", "XBuyh", "XBuyb", ""},
    {"dspIncome", "XIncomeh", "XInComeb", ""},
    {"dspOutCome", "XOutcomeh", "XoUTComeb", ""},
};

struct Document
{
    Kind kind;
    QString headno;
};

//! Saves, changes, checks and deletes documents of every kind through the providers, as
//! the windows do, with the choices drawn from a seeded generator.
class Clerk
{
public:
    Clerk(AccountSet &db, quint32 seed) : m_db(db), m_random(seed) {}

    QString lastAction;
    int refused = 0;

    void act()
    {
        const int choice = int(m_random.bounded(100));
        if (m_documents.isEmpty() || choice < 30)
            create(kKinds.at(int(m_random.bounded(qsizetype(kKinds.size())))));
        else if (choice < 50)
            setState(pick(), QStringLiteral("2"));
        else if (choice < 55)
            setState(pick(), QStringLiteral("1")); // a forged "unchecking" is posted back too
        else if (choice < 68)
            changeLine(pick());
        else if (choice < 76)
            addLine(pick());
        else if (choice < 82)
            deleteLine(pick());
        else if (choice < 94)
            deleteDocument(pick());
        else
            changeOpeningStock();
    }

    TBillRDM bill;
    TBaseRDM base;

private:
    int draw(int low, int high) { return low + int(m_random.bounded(high - low + 1)); }
    template <typename T> const T &from(const QList<T> &list)
    {
        return list.at(int(m_random.bounded(qsizetype(list.size()))));
    }
    Document pick() { return from(m_documents); }

    QList<QVariantMap> rows(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(m_db.scratch.db());
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        QList<QVariantMap> result;
        if (!q.exec())
            qWarning() << sql << q.lastError().text();
        while (q.next()) {
            QVariantMap row;
            for (int i = 0; i < q.record().count(); ++i)
                row.insert(q.record().fieldName(i), q.value(i));
            result << row;
        }
        return result;
    }

    //! The provider's head fields and its nested line field.
    const Packet &shape(const Kind &kind)
    {
        auto &packet = m_shapes[QLatin1String(kind.provider)];
        if (packet.fields.isEmpty())
            packet =
                records(module(kind), QLatin1String(kind.provider),
                        requestParams(
                            {{"BeginDate", "2000-01-01"}, {"EndDate", "2000-01-01"}, {"Flag", "1"}},
                            {"StoreCode", "spCode", "DeptCode"}, {}),
                        0);
        return packet;
    }
    RemoteDataModule &module(const Kind &) { return bill; }
    int nestedField(const Kind &kind)
    {
        const Packet &p = shape(kind);
        for (int i = 0; i < p.fields.size(); ++i) {
            if (p.fields[i].type == FieldType::Nested)
                return i;
        }
        return -1;
    }
    Fields lineFields(const Kind &kind) { return shape(kind).fields.at(nestedField(kind)).fields; }

    void apply(const Kind &kind, const ChangeSet &delta)
    {
        const ApplyResult result = bill.applyUpdates(QLatin1String(kind.provider), delta, 0);
        if (result.errorCount) {
            lastAction += QStringLiteral(" refused: ") + errorsOf(result);
            ++refused;
        }
    }

    QVariantMap lineOf(const Kind &kind, const QString &headno, int n)
    {
        const bool stock = QLatin1String(kind.flag) != QString();
        const bool money =
            QLatin1String(kind.head) == "XIncomeh" || QLatin1String(kind.head) == "XOutcomeh";
        const QVariantMap product = from(m_products);
        QVariantMap line{{"headno", headno},
                         {"bodyno", QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'))},
                         {"pdtcode", product.value("pdtcode")},
                         {"pdtno", product.value("bodyno")},
                         {"pqty", double(draw(1, 6))}};
        const QString flag = QLatin1String(kind.flag);
        const bool fromSales = flag == "3" || flag == "4" || QLatin1String(kind.head) == "XIncomeh";
        const bool linked = (stock && flag <= "4") || money;
        if (linked && draw(0, 9) < 8) {
            const QVariantMap order = from(fromSales ? m_salesLines : m_purchaseLines);
            line.insert("LinkHeadno", order.value("headno"));
            line.insert("LinkBodyno", order.value("bodyno"));
            line.insert("pdtcode", order.value("pdtcode"));
            line.insert("pdtno", order.value("pdtno"));
        }
        if (money)
            line.insert("GetTaxamount", double(draw(1, 500)));
        if (QLatin1String(kind.head) == "XBuyh")
            line.insert("price", 10.0);
        return line;
    }

    void create(const Kind &kind)
    {
        const QString headno = QStringLiteral("2099%1").arg(++m_serial, 8, 10, QLatin1Char('0'));
        const QString flag = QLatin1String(kind.flag);
        QVariantMap head{{"headno", headno},
                         {"hdate", QStringLiteral("2026-03-%1 10:00:00").arg(draw(10, 28))},
                         {"deptcode", "0002"},
                         {"mcode", "0002"},
                         {"State", draw(0, 1) ? "2" : "1"}};
        const QString store = from(QStringList{"S01", "S02"});
        if (!flag.isEmpty()) {
            const QStringList subKinds = subKindsOf(flag);
            head.insert("Flag", flag);
            head.insert("InOutFlag", from(subKinds));
            head.insert("Storecode", store);
            if (flag == "6")
                head.insert("StorecodeIn", store == "S01" ? "S02" : "S01");
        } else {
            head.insert("currency", "01");
            head.insert("exchgrate", 1.0);
            head.insert("spcode", QLatin1String(kind.head) == "XIncomeh" ? "C001" : "F001");
            if (QLatin1String(kind.head) == "XBuyh")
                head.insert("storecode", store);
        }
        ChangeSet save = insertion(shape(kind).fields, head);
        ChangeSet lines;
        lines.fields = lineFields(kind);
        for (int n = 1, count = draw(1, 3); n <= count; ++n)
            lines.rows << insertion(lines.fields, lineOf(kind, headno, n)).rows;
        save.rows[0].details << qMakePair(nestedField(kind), lines);
        lastAction = QStringLiteral("create %1 %2 %3").arg(kind.head, flag, headno);
        apply(kind, save);
        m_documents << Document{kind, headno};
    }

    QStringList subKindsOf(const QString &flag)
    {
        QStringList kinds;
        for (const QVariantMap &row :
             rows(QStringLiteral("SELECT InOutFlag FROM XStockChAttr WHERE Flag = ?"), {flag}))
            kinds << row.first().toString();
        return kinds;
    }

    //! The head as it is stored, as a change row that leaves it as it is.
    bool headRow(const Document &doc, ChangeSet *set)
    {
        const QList<QVariantMap> found = rows(
            QStringLiteral("SELECT * FROM %1 WHERE headno = ?").arg(doc.kind.head), {doc.headno});
        if (found.isEmpty())
            return false;
        set->fields = shape(doc.kind).fields;
        ChangeRow row;
        row.op = ChangeOp::Modify;
        row.oldValues = rowOf(set->fields, found.first());
        row.newValues = row.oldValues;
        row.changed = QBitArray(set->fields.size());
        set->rows << row;
        return true;
    }
    QList<QVariantMap> linesOf(const Document &doc)
    {
        return rows(
            QStringLiteral("SELECT * FROM %1 WHERE headno = ? ORDER BY bodyno").arg(doc.kind.body),
            {doc.headno});
    }
    static void change(const Fields &fields, ChangeRow &row, const char *name, const QVariant &v)
    {
        const int i = indexOfField(fields, QLatin1String(name));
        row.newValues[i] = v;
        row.changed.setBit(i);
    }
    ChangeRow lineRow(const Fields &fields, const QVariantMap &line, ChangeOp op)
    {
        ChangeRow row;
        row.op = op;
        row.oldValues = rowOf(fields, line);
        row.newValues = row.oldValues;
        row.changed = QBitArray(fields.size());
        return row;
    }

    void setState(const Document &doc, const QString &state)
    {
        ChangeSet set;
        if (!headRow(doc, &set))
            return;
        change(set.fields, set.rows[0], "State", state);
        lastAction = QStringLiteral("state %1 of %2").arg(state, doc.headno);
        apply(doc.kind, set);
    }

    void editLines(
        const Document &doc, const QString &what,
        const std::function<void(const Fields &, const QList<QVariantMap> &, ChangeSet *)> &edit)
    {
        ChangeSet set;
        if (!headRow(doc, &set))
            return;
        ChangeSet lines;
        lines.fields = lineFields(doc.kind);
        edit(lines.fields, linesOf(doc), &lines);
        if (lines.rows.isEmpty())
            return;
        set.rows[0].details << qMakePair(nestedField(doc.kind), lines);
        lastAction = what + QLatin1Char(' ') + doc.headno;
        apply(doc.kind, set);
    }

    void changeLine(const Document &doc)
    {
        editLines(doc, QStringLiteral("change a line of"),
                  [&](const Fields &fields, const QList<QVariantMap> &existing, ChangeSet *lines) {
                      if (existing.isEmpty())
                          return;
                      ChangeRow row = lineRow(fields, from(existing), ChangeOp::Modify);
                      change(fields, row, "pqty", double(draw(1, 9)));
                      lines->rows << row;
                  });
    }
    void addLine(const Document &doc)
    {
        editLines(doc, QStringLiteral("add a line to"),
                  [&](const Fields &fields, const QList<QVariantMap> &existing, ChangeSet *lines) {
                      int n = 1;
                      for (const QVariantMap &line : existing)
                          n = std::max(n, line.value("bodyno").toInt() + 1);
                      lines->rows << insertion(fields, lineOf(doc.kind, doc.headno, n)).rows;
                  });
    }
    void deleteLine(const Document &doc)
    {
        editLines(doc, QStringLiteral("delete a line of"),
                  [&](const Fields &fields, const QList<QVariantMap> &existing, ChangeSet *lines) {
                      if (!existing.isEmpty())
                          lines->rows << lineRow(fields, from(existing), ChangeOp::Delete);
                  });
    }
    void deleteDocument(const Document &doc)
    {
        ChangeSet set;
        if (!headRow(doc, &set))
            return;
        set.rows[0].op = ChangeOp::Delete;
        ChangeSet lines;
        lines.fields = lineFields(doc.kind);
        for (const QVariantMap &line : linesOf(doc))
            lines.rows << lineRow(lines.fields, line, ChangeOp::Delete);
        set.rows[0].details << qMakePair(nestedField(doc.kind), lines);
        lastAction = QStringLiteral("delete ") + doc.headno;
        apply(doc.kind, set);
        m_documents.removeAll(doc);
    }

    //! The opening-stock window: a new opening quantity, and a stock on hand typed over.
    void changeOpeningStock()
    {
        const QList<QVariantMap> stock = rows(QStringLiteral("SELECT * FROM XStock"));
        const Packet shape = records(base, QStringLiteral("dspStock"),
                                     requestParams({{"StoreCode", "S01"}}, {"Pdtcode"}, {}), 0);
        ChangeSet set;
        set.fields = shape.fields;
        ChangeRow row = lineRow(set.fields, from(stock), ChangeOp::Modify);
        change(set.fields, row, "startnum", double(draw(0, 50)));
        change(set.fields, row, "pqty", 12345.0);
        set.rows << row;
        lastAction = QStringLiteral("opening stock");
        const ApplyResult result = base.applyUpdates(QStringLiteral("dspStock"), set, 0);
        if (result.errorCount)
            lastAction += QStringLiteral(" refused: ") + errorsOf(result);
    }

public:
    void load()
    {
        QVariantList out;
        // The demonstration's checker may record and check every kind of document.
        base.call(QStringLiteral("LogIn"), {"0006", "0006", "127.0.0.1", "pc"}, &out);
        m_products = rows(QStringLiteral("SELECT pdtcode, bodyno FROM xprdtb"));
        const QString lines =
            QStringLiteral("SELECT b.headno, b.bodyno, b.pdtcode, b.pdtno FROM %1 b JOIN %2 h "
                           "ON h.headno = b.headno WHERE h.State = '2'");
        m_purchaseLines = rows(lines.arg("XBuyb", "XBuyh"));
        m_salesLines = rows(lines.arg("XSaleb", "XSaleh"));
    }

private:
    AccountSet &m_db;
    QRandomGenerator m_random;
    QHash<QString, Packet> m_shapes;
    QList<Document> m_documents;
    QList<QVariantMap> m_products, m_purchaseLines, m_salesLines;
    int m_serial = 0;
};

bool operator==(const Document &a, const Document &b)
{
    return a.headno == b.headno;
}

} // namespace

class tst_Posting : public QObject
{
    Q_OBJECT

private slots:
    void balancesFollowEveryApply_data()
    {
        QTest::addColumn<QString>("backend");
        for (const QString &b : backends())
            QTest::newRow(qPrintable(b)) << b;
    }
    void balancesFollowEveryApply()
    {
        QFETCH(QString, backend);
        AccountSet db(backend);
        QVERIFY(db.ok);
        QString error;
        QVERIFY2(fillDemoData(db.scratch.db(), QDate(2026, 3, 14), &error), qPrintable(error));
        const QList<BalanceDifference> opening = recomputeBalances(db.scratch.db(), false);
        QVERIFY2(opening.isEmpty(), qPrintable(differencesOf(opening)));
        Clerk clerk(db, 7);
        clerk.load();
        for (int step = 0; step < 2000; ++step) {
            try {
                clerk.act();
            } catch (const ServerError &e) {
                QFAIL(qPrintable(
                    QStringLiteral("step %1, %2: %3").arg(step).arg(clerk.lastAction, e.text())));
            }
            const QList<BalanceDifference> differences = recomputeBalances(db.scratch.db(), false);
            QVERIFY2(differences.isEmpty(),
                     qPrintable(QStringLiteral("step %1, %2: %3")
                                    .arg(step)
                                    .arg(clerk.lastAction, differencesOf(differences))));
        }
        // Most steps must have reached the database for the run to mean anything.
        QVERIFY2(clerk.refused < 200, qPrintable(clerk.lastAction));
    }
};

QTEST_GUILESS_MAIN(tst_Posting)
#include "tst_Posting.moc"
