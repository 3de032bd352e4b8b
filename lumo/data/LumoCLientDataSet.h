#pragma once
//! The client data set: a copy of a provider's rows with a change log, a cursor, fields,
//! events that may refuse an operation, nested detail data sets and the apply round trip.
//! The visible-row index and the cursor moves live in LumoRowIndex, the apply round trip in
//! LumoApply.

#include "LumoField.h"
#include "LumoRemoteServer.h"

#include <QObject>
#include <QPointer>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum class TUpdateKind { ukModify, ukInsert, ukDelete };
enum class TReconcileAction { raSkip, raAbort, raMerge, raCorrect, raCancel, raRefresh };

//! One record: its place in the change log, the values as loaded and as they stand, and
//! for each nested field the detail rows that belong to it.
struct TLumoRow
{
    TUpdateStatus status = TUpdateStatus::usUnmodified;
    bool pending = false; // appended or inserted, not yet posted
    korvane::RowValues original;
    korvane::RowValues current;
    std::vector<std::vector<TLumoRow>> nested; // one list per nested field, in field order
    quint8 mark = 0;                           // set while an apply's result is being settled
};
using TLumoRows = std::vector<TLumoRow>;

struct TLumoIndexDef
{
    QString Name;
    QString Fields; // ";"-separated
};

//! Provider parameters; names are matched without regard to case.
class TLumoParams
{
public:
    //! Sets a parameter, adding it when absent.
    void setValue(const QString &name, const QVariant &value);
    //! The parameter's value; throws TLumoDataSetError when there is none of that name.
    QVariant value(const QString &name) const;
    bool contains(const QString &name) const { return indexOf(name) >= 0; }
    void clear() { m_params.clear(); }
    const korvane::Params &list() const { return m_params; }
    void assign(const korvane::Params &params) { m_params = params; }

private:
    int indexOf(const QString &name) const;
    korvane::Params m_params;
};

//! A change the server refused, as handed to OnReconcileError.
struct TLumoReconcileError
{
    QString Message;
    int ErrorCode = 0;
};

class TLumoCLientDataSet;
using TDataSetNotifyEvent = std::function<void(TLumoCLientDataSet &DataSet)>;
using TContentCheck = std::function<void(bool &Valid)>;
using TReconcileErrorEvent = std::function<TReconcileAction(
    TLumoCLientDataSet &DataSet, const TLumoReconcileError &E, TUpdateKind UpdateKind)>;
using TFilterRecordEvent = std::function<bool(const TLumoRecordView &record)>;

class TLumoFilter;
struct TLumoChangeMap;
struct TLumoRowPath;

class TLumoCLientDataSet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(QString TableName READ TableName WRITE setTableName)
    Q_PROPERTY(int MaxRecord READ MaxRecord WRITE setMaxRecord)
    Q_PROPERTY(QString ProviderName READ ProviderName WRITE setProviderName)
    Q_PROPERTY(int PacketRecords READ PacketRecords WRITE setPacketRecords)
    Q_PROPERTY(bool Active READ Active WRITE setActive NOTIFY activeChanged)

public:
    explicit TLumoCLientDataSet(QObject *parent = nullptr);
    ~TLumoCLientDataSet() override;

    // Properties a form sets.
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);
    QString TableName() const { return m_tableName; }
    void setTableName(const QString &name) { m_tableName = name; }
    int MaxRecord() const { return m_maxRecord; }
    void setMaxRecord(int value) { m_maxRecord = value; }
    QString ProviderName() const { return m_providerName; }
    void setProviderName(const QString &name) { m_providerName = name; }
    TLumoRemoteServer *RemoteServer() const { return m_remoteServer; }
    void setRemoteServer(TLumoRemoteServer *server) { m_remoteServer = server; }
    //! Rows per request; -1 fetches all at once.
    int PacketRecords() const { return m_packetRecords; }
    void setPacketRecords(int count) { m_packetRecords = count; }
    bool FetchOnDemand() const { return m_fetchOnDemand; }
    void setFetchOnDemand(bool on) { m_fetchOnDemand = on; }
    TLumoParams &Params() { return m_params; }
    //! Display and edit format given to every float field, now and when fields are made.
    void setFloatFormat(const QString &format);

    // Index definitions ("idxKey" on "Code" from construction) and the active order.
    QList<TLumoIndexDef> &IndexDefs() { return m_indexDefs; }
    //! The field list of the index of that name (compared without regard to case), or "".
    QString indexFields(const QString &indexName) const;
    bool hasIndex(const QString &indexName) const;
    QString IndexName() const { return m_indexName; }
    void setIndexName(const QString &name);

    // Fields.
    int FieldCount() const { return int(m_fields.size()); }
    TLumoField &Fields(int index) const { return *m_fields.at(index); }
    TLumoField *FindField(const QString &name) const;
    TLumoField &FieldByName(const QString &name) const; // throws for an unknown name
    TLumoField &addDataField(const QString &name,
                             korvane::FieldType type = korvane::FieldType::String, int size = 0);
    TLumoField &addLookupField(const QString &name, const QString &keyFields,
                               TLumoCLientDataSet *lookupDataSet, const QString &lookupKeyFields,
                               const QString &resultField);
    TLumoField &addCalcField(const QString &name, korvane::FieldType type, TFieldCalc calc);
    TLumoField &addAggregateField(const QString &name, const QString &expression);

    // Detail data set on a master's nested field.
    TLumoField *DataSetField() const { return m_dataSetField; }
    void setDataSetField(TLumoField *field);
    TLumoCLientDataSet *master() const;

    // Open and close.
    bool Active() const { return m_state != TDataSetState::dsInactive; }
    void setActive(bool active);
    void Open();
    void Close();
    //! Opens an empty data set made of the declared data fields (no provider).
    void CreateDataSet();
    //! The rows as a packet (current values, nested lines inside), and loading one.
    korvane::Packet Data() const;
    void setData(const korvane::Packet &packet);

    // Cursor.
    TDataSetState State() const { return m_state; }
    int RecordCount() const { return m_visible.size(); }
    int RecNo() const { return m_cursor + 1; } // 1-based; 0 when empty
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return m_visible.isEmpty(); }
    bool First();
    bool Prior();
    bool Next();
    bool Last();
    bool MoveBy(int distance);
    bool setRecNo(int recNo);
    bool LocateValues(const QString &keyFields, const QVariantList &values, bool exact);

    // Editing. Each returns false when a handler refused the operation silently; real
    // errors throw TLumoDataSetError and leave the data set as it was.
    bool Append();
    bool Insert();
    bool Edit();
    bool Post();
    void Cancel();
    bool Delete();
    //! Leaving a record: posts what was typed (a new record nobody touched is dropped);
    //! false when the post was refused.
    bool CheckBrowseMode();

    // Change log.
    int ChangeCount() const;
    TUpdateStatus UpdateStatus() const;
    TUpdateStatus updateStatusAt(int row) const;
    void CancelUpdates();
    korvane::ChangeSet changeSet() const;
    //! Sends the change log; returns the number of refused rows (each went through
    //! OnReconcileError). maxErrors -1 tolerates any number.
    int ApplyUpdates(int maxErrors);
    //! Fetches the next packet of rows; false when the provider has no more.
    bool GetNextPacket();
    bool canFetchMore() const;

    // Filters of the form "Flag='5' and State<>'2'".
    QString Filter() const { return m_filterText; }
    void setFilter(const QString &filter);
    bool Filtered() const { return m_filtered; }
    void setFiltered(bool filtered);
    TFilterRecordEvent OnFilterRecord;

    //! The record-level required-field check of every managed post.
    bool CheckRequired();

    // Events; a Before handler refuses with Abort().
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, OnNewRecord;
    TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TContentCheck ContentCheck;
    TReconcileErrorEvent OnReconcileError;

    // Row access for fields, grids and the model (rows are the visible rows).
    QVariant cellAt(int row, const TLumoField &field) const;
    void setCurrentCell(TLumoField &field, const QVariant &value);
    QVariant originalCell(const TLumoField &field) const;
    const korvane::Fields &packetFields() const { return m_packetFields; }
    //! Detail rows of the current record for one nested field (null without a record).
    TLumoRows *nestedRowsOfCurrent(const TLumoField &nestedField);

signals:
    void activeChanged(bool active);
    void stateChanged();
    void recordMoved();
    void fieldChanged(TLumoField *field);
    //! Rows were added, removed, reordered or reloaded.
    void layoutReset();
    //! Rows first..last are about to be added at the end by a fetch, and were added.
    void rowsAboutToBeFetched(int first, int last);
    void rowsFetched();

private:
    friend class TLumoField;
    TLumoRows &rows();
    const TLumoRows &rows() const;
    TLumoRow *currentRow();
    const TLumoRow *currentRow() const;
    int storageIndexOfCursor() const;
    bool fire(const TDataSetNotifyEvent &handler);
    void fireAfter(const TDataSetNotifyEvent &handler);
    TLumoField &addField(std::unique_ptr<TLumoField> field);
    void bindFields(const korvane::Fields &packetFields);
    void loadRows(const korvane::Packet &packet, bool append);
    void openDetails();
    void closeDetails();
    void resyncDetails();
    void rebuildVisible(int keepStorageRow = -1);
    bool rowVisible(int storageRow) const;
    bool moveTo(int position);
    void setState(TDataSetState state);
    bool beginInsert(bool atEnd);
    void requireEditing(const TLumoField &field) const;
    void checkPostRequired() const;
    void finishOpen();
    void fetchAll();
    bool fetchOnDemand(); // the fetch of a move past the loaded rows; errors end in it
    korvane::Packet requestRecords(int options);
    void reconcile(const korvane::ApplyResult &result, const TLumoChangeMap &map, bool rolledBack);
    TReconcileAction askReconcile(const korvane::ApplyError &error, const TLumoRowPath &path);
    TLumoCLientDataSet *positionOn(const TLumoRowPath &path);
    void mergeRefreshed(const korvane::Packet &refreshed);
    bool parentAllowsChange();

    QString m_tagStr = QStringLiteral("D0");
    QString m_tableName;
    int m_maxRecord = 0;
    QString m_providerName;
    QPointer<TLumoRemoteServer> m_remoteServer;
    int m_packetRecords = -1;
    bool m_fetchOnDemand = true;
    bool m_moreRows = false;
    TLumoParams m_params;
    QString m_floatFormat;
    QList<TLumoIndexDef> m_indexDefs;
    QString m_indexName;

    std::vector<std::unique_ptr<TLumoField>> m_fields;
    korvane::Fields m_packetFields;
    QVector<int> m_nestedColumns; // packet columns of nested fields, in order
    TLumoField *m_dataSetField = nullptr;
    QList<QPointer<TLumoCLientDataSet>> m_details;

    TLumoRows m_rows;
    QVector<int> m_visible; // storage index of each visible row, in cursor order
    int m_cursor = -1;
    bool m_bof = true;
    bool m_eof = true;
    TDataSetState m_state = TDataSetState::dsInactive;
    std::unique_ptr<TLumoRow> m_editSnapshot; // the record as it was when editing began
    bool m_modified = false;                  // a value was assigned since editing began
    int m_rowBeforeInsert = -1;               // where the cursor stood before an insert

    QString m_filterText;
    bool m_filtered = false;
    std::shared_ptr<TLumoFilter> m_filter;
};
