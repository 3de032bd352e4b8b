#pragma once
//! The requests of the remote interface and their answers as values, shared by the client
//! connection that sends them and the module host that answers them. Each request names
//! its operation in the type library and the answer it gets; RequestCodec turns both into
//! the maps of the wire protocol.

#include "Korvane_TLB.h"
#include "Packet.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace korvane {

struct OpenAnswer
{
    QString className; // "BaseRDM"
};

//! The first request on a connection: which module class it talks to.
struct OpenRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::Open;
    using Answer = OpenAnswer;
    QString classKey; // class id (braces optional, any case), prog id or class name
    QString session;  // the base module's LogIn session; empty before login
};

//! ApplyResult is the answer: refused rows and the applied rows as they now stand.
struct ApplyUpdatesRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::ApplyUpdates;
    using Answer = ApplyResult;
    QString provider;
    ChangeSet delta;
    int maxErrors = 0; // -1 no limit
};

struct GetRecordsAnswer
{
    Packet packet; // "recsOut" on the wire is its number of rows
};

struct GetRecordsRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::GetRecords;
    using Answer = GetRecordsAnswer;
    QString provider;
    int count = -1; // rows wanted; -1 all; 0 metadata only
    int options = 0;
    QString commandText; // refused unless an administrator enabled command text
    Params params;
};

struct DataAnswer
{
    QVariant data;
};

struct DataRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::DataRequest;
    using Answer = DataAnswer;
    QString provider;
    QVariant data;
};

struct ProviderNamesAnswer
{
    QStringList names;
};

struct ProviderNamesRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::GetProviderNames;
    using Answer = ProviderNamesAnswer;
};

struct ParamsAnswer
{
    Params params;
};

struct ParamsRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::GetParams;
    using Answer = ParamsAnswer;
    QString provider;
};

//! No provider of these modules answers with a row; the answer carries nothing.
struct RowAnswer
{};

struct RowRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::RowRequest;
    using Answer = RowAnswer;
    QString provider;
};

struct ExecuteAnswer
{};

struct ExecuteRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::Execute;
    using Answer = ExecuteAnswer;
    QString provider;
    QString commandText;
    Params params;
};

struct CallAnswer
{
    QVariant result;  // null for a method without one; a Packet for GetSpec and GetSpech
    QVariantList out; // the by-reference outputs in order
};

//! A module's own method by name; the type library says what its arguments are.
struct CallRequest
{
    static constexpr tlb::Operation operation = tlb::Operation::Call;
    using Answer = CallAnswer;
    QString method;
    QVariantList args;
};

} // namespace korvane
