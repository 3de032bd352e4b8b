#pragma once
//! The record rules a work window's frame puts on each data set it manages, called after the
//! form's own handlers: numbers for new documents and lines, the lock after posting, the
//! master key before a line, required fields and a free key before a post, the save question
//! when the master record is left, and the server's refusals turned into messages.

#include "LumoCLientDataSet.h"

#include <QPointer>
#include <QStringList>

#include <vector>

class TLumoChild;

namespace lumo {

//! The key index every managed data set declares.
QString keyIndexName();
//! The fields of a data set's key index.
QStringList keyFieldsOf(const TLumoCLientDataSet &dataSet);
//! "D1".."D9" by byte order, as a grid's or a detail's code must be.
bool isDataSetCode(const QString &code);
//! What the operator is told when a posted document is to be changed.
QString lockedText();

} // namespace lumo

class TLumoRecordRules
{
public:
    explicit TLumoRecordRules(TLumoChild &frame);
    //! The data sets may outlive the frame: they get back the form's own handlers.
    ~TLumoRecordRules();
    TLumoRecordRules(const TLumoRecordRules &) = delete;
    TLumoRecordRules &operator=(const TLumoRecordRules &) = delete;

    //! Puts the rules on the data set, keeping the handlers its form had assigned.
    void manage(TLumoCLientDataSet *dataSet);
    QList<TLumoCLientDataSet *> dataSets() const;
    //! The managed data set of that code, or null.
    TLumoCLientDataSet *dataSetOf(const QString &code) const;

private:
    //! A managed data set with the handlers its form had assigned, called first.
    struct TCDSPak
    {
        QPointer<TLumoCLientDataSet> dataSet;
        QStringList bodyNos; // line numbers collected before an insert
        TDataSetNotifyEvent BeforeEdit, BeforeInsert, AfterInsert, BeforePost, AfterPost,
            BeforeScroll;
        TReconcileErrorEvent OnReconcileError;
    };

    void install(TCDSPak &pak);
    TCDSPak *pakOf(const TLumoCLientDataSet &dataSet);
    void beforeEdit(TLumoCLientDataSet &dataSet);
    void beforeInsert(TLumoCLientDataSet &dataSet);
    void afterInsert(TLumoCLientDataSet &dataSet);
    void beforePost(TLumoCLientDataSet &dataSet);
    void beforeScroll(TLumoCLientDataSet &dataSet);
    TReconcileAction reconcileError(TLumoCLientDataSet &dataSet, const TLumoReconcileError &E,
                                    TUpdateKind kind);
    void refuseWhenLocked() const;
    void requireMasterKey() const;
    bool keyIsFree(TLumoCLientDataSet &dataSet) const;
    static void clearBlankFields(TLumoCLientDataSet &dataSet);

    TLumoChild &m_frame;
    std::vector<TCDSPak> m_paks;
};
