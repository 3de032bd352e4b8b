// A report of 100,000 lines (or the count given as the first argument): laying out and
// rendering every page against fetching the same rows from SQLite in the same run; the time
// to the first page, in the engine and in the preview window, against the whole layout; the
// memory the constant-memory spreadsheet export adds at its peak.

#include "ReportExport.h"
#include "ReportLayout.h"
#include "ReportPainter.h"
#include "ReportPreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

using namespace korvane::report;

namespace {

int kRows = 100000;
const QStringList kFields{QStringLiteral("pdtcode"),     QStringLiteral("PdtName"),
                          QStringLiteral("PdtSpecName"), QStringLiteral("MeasureName"),
                          QStringLiteral("TotalPqty"),   QStringLiteral("TotalAmount")};

ReportColumn column(const QString &title, const QString &field, double width, bool summed = false)
{
    ReportColumn c;
    c.title = title;
    c.field = field;
    c.widthMm = width;
    if (summed) {
        c.summed = true;
        c.align = Qt::AlignRight;
        c.format = QStringLiteral("0.00");
    }
    return c;
}

ReportDefinition summary()
{
    ReportDefinition d;
    d.title = QStringLiteral("采购汇总表");
    d.groupKey = QStringLiteral("pdtcode");
    d.columns = {column(QStringLiteral("货品编码"), kFields[0], 25),
                 column(QStringLiteral("货品名称"), kFields[1], 40),
                 column(QStringLiteral("规格型号"), kFields[2], 35),
                 column(QStringLiteral("单位"), kFields[3], 15),
                 column(QStringLiteral("采购数量"), kFields[4], 25, true),
                 column(QStringLiteral("金额"), kFields[5], 30, true)};
    d.columns[0].shownOnce = d.columns[1].shownOnce = true;
    return d;
}

void fillTable(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("CREATE TABLE r (pdtcode TEXT, PdtName TEXT, PdtSpecName TEXT, "
                          "MeasureName TEXT, TotalPqty REAL, TotalAmount REAL)"));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO r VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < kRows; ++i) {
        q.addBindValue(QStringLiteral("P%1").arg(i / 8, 6, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("货品%1").arg(i / 8));
        q.addBindValue(QStringLiteral("规格 %1").arg(i % 97));
        q.addBindValue(QStringLiteral("个"));
        q.addBindValue(1.0 + i % 5);
        q.addBindValue(2.5 * (1 + i % 5));
        q.exec();
    }
    db.commit();
}

QVector<QVariantList> fetch(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT * FROM r ORDER BY rowid"));
    QVector<QVariantList> rows;
    rows.reserve(kRows);
    while (q.next()) {
        QVariantList row;
        for (int f = 0; f < 6; ++f)
            row << q.value(f);
        rows << row;
    }
    return rows;
}

long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return 0;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double msSince(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]).toInt() > 0)
        kRows = QByteArray(argv[1]).toInt();
    QTextStream out(stdout);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    fillTable(db);

    QElapsedTimer timer;
    timer.start();
    const QVector<QVariantList> rows = fetch(db);
    const double fetchMs = msSince(timer);
    RowsCursor cursor(kFields, rows);
    const ReportDefinition definition = summary();
    ReportContext context;
    context.companyName = QStringLiteral("演示贸易有限公司");
    context.printTime = QDateTime::currentDateTime();

    timer.restart();
    ReportLayout first(definition, cursor, context);
    first.nextPage();
    const double firstPageMs = msSince(timer);

    // The preview window shows its first page while the rest is laid out between events.
    timer.restart();
    double previewFirstMs = 0;
    double previewPagesMb = 0;
    double previewLastMs = 0;
    {
        ReportPreview preview(definition, cursor, context);
        preview.show();
        QApplication::processEvents();
        if (!preview.findChild<QLabel *>(QStringLiteral("pageView"))->pixmap().isNull() &&
            !preview.layoutDone())
            previewFirstMs = msSince(timer);
        // What the preview holds once every page is laid out.
        const long before = statusKb("VmRSS:");
        preview.finishLayout();
        previewPagesMb = (statusKb("VmRSS:") - before) / 1024.0;
        // The last page, let go while the layout ran on, is laid out again.
        QElapsedTimer last;
        last.start();
        preview.showPage(preview.pageCount() - 1);
        previewLastMs = msSince(last);
    }

    // Every page laid out, then painted at screen resolution, as the preview pages through.
    timer.restart();
    ReportLayout layout(definition, cursor, context);
    QImage screen = pageImage(layout.nextPage(), 4);
    int pages = 1;
    double layoutMs = 0;
    while (!layout.atEnd()) {
        QElapsedTimer lay;
        lay.start();
        const ReportPage page = layout.nextPage();
        layoutMs += msSince(lay);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.scale(4, 4);
        paintPage(painter, page);
        ++pages;
    }
    const double renderMs = msSince(timer);

    QTemporaryDir dir;
    timer.restart();
    ReportLayout pdfLayout(definition, cursor, context);
    writePdf(
        dir.filePath(QStringLiteral("r.pdf")),
        [&]() -> std::optional<ReportPage> {
            if (pdfLayout.atEnd())
                return std::nullopt;
            return pdfLayout.nextPage();
        },
        definition.title);
    const double pdfMs = msSince(timer);

    const long rssBefore = statusKb("VmRSS:");
    resetPeak();
    timer.restart();
    exportXlsx(dir.filePath(QStringLiteral("r.xlsx")), definition, cursor, context);
    const double xlsxMs = msSince(timer);
    const long peakGrowthKb = statusKb("VmHWM:") - rssBefore;

    out << "report of " << kRows << " lines, " << pages << " pages\n";
    out << "fetch of the rows (SQLite, baseline): " << fetchMs << " ms\n";
    out << "first page: " << firstPageMs << " ms (engine), " << previewFirstMs
        << " ms (preview window shown, layout still running; 0: not measured)\n";
    out << "preview with every page laid out: " << previewPagesMb << " MB more; its last page "
        << previewLastMs << " ms\n";
    out << "layout of all pages: " << layoutMs << " ms, ratio " << layoutMs / fetchMs << "\n";
    out << "layout + screen rendering: " << renderMs << " ms, ratio " << renderMs / fetchMs
        << " (screen painting alone " << (renderMs - layoutMs) / fetchMs << ")\n";
    out << "first page against the whole layout: " << firstPageMs / layoutMs << "\n";
    out << "layout + PDF: " << pdfMs << " ms, ratio " << pdfMs / fetchMs << "\n";
    out << "xlsx export: " << xlsxMs << " ms, peak memory growth " << peakGrowthKb / 1024.0
        << " MB\n";
    return 0;
}
